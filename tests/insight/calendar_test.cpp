// Calendar arithmetic at its edges: leap years by all three rules, months
// before 1900, the limits of a local date and the day count over eras.
#include "data/calendar.h"

#include <gtest/gtest.h>

#include <optional>

#include "insight/due_list.h"
#include "insight/insight_support.h"

namespace tarvik {
namespace {

using testing::local_time;

TEST(CalendarEdges, AMonthEndIsClampedByTheLeapYearRules) {
  // Every fourth year, but not every hundredth, but every four hundredth.
  EXPECT_EQ(add_months(local_time(2000, 1, 31), 1), local_time(2000, 2, 29));
  EXPECT_EQ(add_months(local_time(1900, 1, 31), 1), local_time(1900, 2, 28));
  EXPECT_EQ(add_months(local_time(2100, 1, 31), 1), local_time(2100, 2, 28));
  EXPECT_EQ(add_months(local_time(2000, 3, 31), -1), local_time(2000, 2, 29));
  EXPECT_EQ(add_months(local_time(1900, 3, 31), -1), local_time(1900, 2, 28));
  EXPECT_EQ(add_months(local_time(1996, 2, 29), 12 * 104), local_time(2100, 2, 28));

  EXPECT_TRUE(tarvik::local_time(2000, 2, 29, 0, 0, 0));
  EXPECT_FALSE(tarvik::local_time(1900, 2, 29, 0, 0, 0));
  EXPECT_FALSE(tarvik::local_time(2100, 2, 29, 0, 0, 0));
  EXPECT_EQ(tarvik::local_time(2100, 2, 28, 12, 0, 0), local_time(2100, 2, 28));
}

TEST(CalendarEdges, TheDueDateOfAMonthlyServiceFollowsTheLeapYear) {
  testing::test_log log;
  log.add(local_time(2000, 1, 31), 1000, "Wash");
  service_interval monthly;
  monthly.operation = "Wash";
  monthly.months = 1;
  const std::vector<service_interval> intervals{monthly};
  EXPECT_EQ(compute_due_list(intervals, log.rows(), local_time(2000, 2, 1))[0].next_date,
            local_time(2000, 2, 29));
}

TEST(CalendarEdges, MonthsAreCountedAcrossYearsBefore1900) {
  EXPECT_EQ(add_months(local_time(1850, 3, 15), 1), local_time(1850, 4, 15));
  EXPECT_EQ(add_months(local_time(1850, 3, 15), -12), local_time(1849, 3, 15));
  EXPECT_EQ(add_months(local_time(1850, 1, 31), -1), local_time(1849, 12, 31));
  EXPECT_EQ(add_months(local_time(1899, 12, 31), 2), local_time(1900, 2, 28));
  EXPECT_EQ(add_months(local_time(2000, 1, 31), 12 * 1000), local_time(3000, 1, 31));
  // Past the years a calendar date can have.
  EXPECT_FALSE(add_months(local_time(2000, 1, 1), 1L << 39));
  EXPECT_FALSE(add_months(local_time(2000, 1, 1), -(1L << 39)));
}

TEST(CalendarEdges, ALocalTimeOutsideItsRangesIsNone) {
  EXPECT_TRUE(tarvik::local_time(2002, 1, 1, 0, 0, 0));
  EXPECT_TRUE(tarvik::local_time(2002, 12, 31, 23, 59, 59));
  EXPECT_FALSE(tarvik::local_time(2002, 0, 1, 0, 0, 0));
  EXPECT_FALSE(tarvik::local_time(2002, 1, 0, 0, 0, 0));
  EXPECT_FALSE(tarvik::local_time(2002, 1, 32, 0, 0, 0));
  EXPECT_FALSE(tarvik::local_time(2002, 5, 1, -1, 0, 0));
  EXPECT_FALSE(tarvik::local_time(2002, 5, 1, 0, -1, 0));
  EXPECT_FALSE(tarvik::local_time(2002, 5, 1, 0, 60, 0));
  EXPECT_FALSE(tarvik::local_time(2002, 5, 1, 0, 0, -1));
  EXPECT_FALSE(tarvik::local_time(2002, 5, 1, 0, 0, 61));
}

// In UTC the local day of noon on day N after 1970-01-01 is N: around the
// ends of February and the turns of the 400-year eras, before year 0 too.
TEST(CalendarEdges, DayNumbersRunOnWithoutAGapAcrossFebruariesAndEras) {
  const long march_first_of_year_0 = -719468;
  const long starts[] = {march_first_of_year_0 - 146097, march_first_of_year_0, -25508, 0, 11017,
                         47541};
  for (const long start : starts) {
    for (long day = start - 800; day <= start + 800; ++day) {
      ASSERT_EQ(local_day_number(day * kSecondsPerDay + kSecondsPerDay / 2), day) << "day " << day;
    }
  }
  EXPECT_EQ(local_day_number(local_time(2024, 2, 29)), 19782);
  EXPECT_EQ(local_day_number(local_time(1900, 2, 28)), -25509);
}

}  // namespace
}  // namespace tarvik
