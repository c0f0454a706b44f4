// Series for the charts: cost per calendar year and the odometer over time.
#include <gtest/gtest.h>

#include <cmath>

#include "insight/insight_support.h"
#include "insight/yearly.h"

namespace tarvik {
namespace {

using testing::local_time;
using testing::test_log;
using testing::time_zone;

TEST(Yearly, CostsGoToTheLocalCalendarYear) {
  // New Year's Eve, 23:30 in Tokyo, is already the new year there but not
  // in UTC: the year is the zone's.
  time_zone tokyo("Asia/Tokyo");
  test_log log;
  log.add(local_time(2002, 5, 1), 45000, "Oil", 24.5f)
      .add(local_time(2003, 1, 1, 0, 30), 46000, "Fuel", 40)
      .add(local_time(2002, 12, 31, 23, 30), 45900, "Fuel", 30)
      .add(local_time(2005, 6, 1), 50000, "Tyres", std::nanf(""));
  std::vector<std::pair<int, double>> totals;
  for (const year_cost& year : cost_by_year(log.rows())) totals.emplace_back(year.year, year.total());
  EXPECT_EQ(totals, (std::vector<std::pair<int, double>>{{2002, 54.5}, {2003, 40}, {2005, 0}}));
  EXPECT_TRUE(cost_by_year({}).empty());
}

TEST(Yearly, TheOdometerIsInDateOrderWithoutNonNumbers) {
  time_zone utc("UTC");
  test_log log;
  log.add(300, 3, "c").add(100, 1, "a").add(200, std::nan(""), "b").add(100, 2, "a2");
  EXPECT_EQ(odometer_series(log.rows()),
            (std::vector<std::pair<long, double>>{{100, 1}, {100, 2}, {300, 3}}));
}

}  // namespace
}  // namespace tarvik
