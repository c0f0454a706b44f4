#include "insight/odometer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/calendar.h"
#include "insight/due_list.h"
#include "insight/insight_support.h"
#include "insight/statistics.h"

namespace tarvik {
namespace {

using testing::local_time;
using testing::test_log;
using testing::time_zone;

// What check_readings() says, as "mileage:why" in log order.
std::vector<std::string> left_out_of(const std::vector<const Record*>& rows) {
  std::vector<std::string> said;
  for (const left_out_reading& entry : check_readings(rows)) {
    const char* why = entry.why == reading_fault::no_reading          ? "none"
                      : entry.why == reading_fault::lower_than_before ? "low"
                                                                      : "high";
    said.push_back(std::to_string(static_cast<long>(entry.record->mileage())) + ":" + why);
  }
  return said;
}

TEST(Readings, AMileageOfZeroIsNoReadingForAnyOdometerFigure) {
  test_log log;
  log.add(local_time(2023, 1, 10), 50000, "Oil change")
      .add(local_time(2023, 3, 1), 0, "Tax")
      .add(local_time(2023, 6, 1), 55000, "Fuel")
      .add(local_time(2023, 12, 1), 0, "Insurance");  // the latest entry
  EXPECT_EQ(left_out_of(log.rows()), (std::vector<std::string>{"0:none", "0:none"}));
  const odometer_summary summary = summarize_odometer(log.rows());
  EXPECT_EQ(summary.current_mileage, 55000);
  EXPECT_EQ(summary.reading_date, local_time(2023, 6, 1));
  EXPECT_DOUBLE_EQ(*summary.distance_per_day, 5000.0 / 142);

  const std::vector<service_interval> oil{{"Oil change", 15000, std::nullopt, {}, {}, {}}};
  const due_item item = compute_due_list(oil, log.rows(), local_time(2023, 12, 2))[0];
  EXPECT_EQ(item.distance_left, 10000);
  // From the latest reading, not the insurance entry: 10,000 at 5,000 in 142 days.
  EXPECT_EQ(item.projected_date, local_time(2024, 3, 11));

  const log_statistics figures = compute_statistics(log.rows());
  EXPECT_EQ(figures.distance, 5000);
  EXPECT_NEAR(*figures.distance_per_year, 5000 / (142 / kDaysPerYear), 1e-9);
}

// Five monthly readings from 50,000 to 54,000, with `typo` put in at `day`
// of 2023 (day 1 is Jan 1; the readings are on the 15th of Jan to May).
test_log with_typo(int month, int day, double typo) {
  test_log log;
  for (int k = 0; k < 5; ++k) log.add(local_time(2023, 1 + k, 15), 50000 + 1000 * k, "Fuel");
  log.add(local_time(2023, month, day), typo, "Fuel");
  return log;
}

TEST(Readings, ATypoAgainstTheOrderIsLeftOutWhereverItStands) {
  struct example {
    int month, day;
    double typo;
    const char* said;
  };
  const example examples[] = {
      {1, 1, 500000, "500000:high"},   // at the start
      {3, 1, 500000, "500000:high"},   // in the middle
      {3, 1, 4200, "4200:low"},        // in the middle
      {6, 1, 4200, "4200:low"},        // at the end
      {5, 14, 520000, "520000:high"},  // with one true reading after it
  };
  for (const example& e : examples) {
    const test_log log = with_typo(e.month, e.day, e.typo);
    // Any order of the rows: the log may be kept in any order by hand.
    const std::vector<const Record*> reversed(log.rows().rbegin(), log.rows().rend());
    for (const auto* rows : {&log.rows(), &reversed}) {
      EXPECT_EQ(left_out_of(*rows), std::vector<std::string>{e.said}) << e.typo << " " << e.month;
      const odometer_summary summary = summarize_odometer(*rows);
      EXPECT_EQ(summary.current_mileage, 54000) << e.typo << " " << e.month;
      EXPECT_EQ(summary.reading_date, local_time(2023, 5, 15));
      EXPECT_EQ(compute_statistics(*rows).distance, 4000) << e.typo << " " << e.month;
    }
  }
  // Two typos far apart, and readings of one day in either order.
  test_log log = with_typo(2, 1, 4200);
  log.add(local_time(2023, 4, 1), 530000, "Fuel")
      .add(local_time(2023, 5, 15, 9), 54100, "Wash");  // earlier that day, higher
  EXPECT_EQ(left_out_of(log.rows()), (std::vector<std::string>{"4200:low", "530000:high"}));
  EXPECT_EQ(summarize_odometer(log.rows()).current_mileage, 54100);

  // The window's figures of some rows leave out what the whole log showed.
  const std::vector<left_out_reading> whole = check_readings(log.rows());
  statistics_gatherer gatherer(whole);
  gatherer.add(*log.rows()[5]);  // 4,200
  gatherer.add(*log.rows()[4]);  // 54,000
  gatherer.add(*log.rows()[6]);  // 530,000
  EXPECT_EQ(gatherer.result().distance, 0);
}

TEST(Readings, ThePaceCountsLocalDaysWhateverTheTimeOfDayOrDaylightSaving) {
  // Exactly 365 days before the latest entry, an hour earlier in the day.
  test_log log;
  log.add(local_time(2021, 6, 30, 9), 10000, "Fuel").add(local_time(2022, 6, 30, 10), 20000, "Fuel");
  EXPECT_NEAR(*summarize_odometer(log.rows()).distance_per_day, 27.39, 0.005);
  const std::vector<service_interval> fuel{{"Fuel", 25000, std::nullopt, {}, {}, {}}};
  const due_item item = compute_due_list(fuel, log.rows(), local_time(2022, 7, 1))[0];
  ASSERT_TRUE(item.projected_date);
  EXPECT_EQ(local_day_number(*item.projected_date), local_day_number(local_time(2024, 12, 29)));
  EXPECT_EQ(item.due_by, due_limit::distance);

  // Summer time then, winter time now: 365 days and an hour apart.
  const time_zone berlin("Europe/Berlin");
  test_log autumn;
  autumn.add(local_time(2022, 10, 29, 12), 30000, "Fuel")
      .add(local_time(2023, 10, 29, 12), 42000, "Fuel")
      .add(local_time(2022, 10, 28, 23, 59), 29000, "Fuel");  // 366 days: out
  EXPECT_NEAR(*summarize_odometer(autumn.rows()).distance_per_day, 12000 / (365 + 1.0 / 24), 1e-9);
}

}  // namespace
}  // namespace tarvik
