#include "insight/statistics.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "insight/insight_support.h"
#include "insight/operation_name.h"

namespace tarvik {
namespace {

using testing::local_time;
using testing::test_log;

TEST(OperationKey, FoldsAsciiLatinAndCyrillicLettersAndTrimsTheEnds) {
  EXPECT_EQ(operation_key("  Oil Change\t\r\n"), "oil change");
  EXPECT_NE(operation_key("Oil  change"), operation_key("Oil change"));
  EXPECT_EQ(operation_key("ÖLWECHSEL ÀÞ ×"), "ölwechsel àþ ×");
  EXPECT_EQ(operation_key("ŁĄĆĘŃŚŹŻ ĽĹŇ Ÿ İ"), "łąćęńśźż ľĺň ÿ İ");  // both pairings of Extended-A
  EXPECT_EQ(operation_key("ЗАМЕНА МАСЛА Ё Ї"), "замена масла ё ї");
  // No letter of UTF-8: a cut sequence, a lead byte alone, a three-byte sign.
  EXPECT_EQ(operation_key("\xC3" "A \xE2\x82\xAC" "A \xC3"), "\xC3" "a \xE2\x82\xAC" "a \xC3");
}

TEST(Statistics, FiguresOfALogWithKnownAnswersInAnyRowOrder) {
  // Exactly two years, 2020 being a leap year: 731 days.
  test_log log;
  log.add(local_time(2020, 1, 1), 10000, "Oil change", 50)
      .add(local_time(2020, 7, 1), 15000, "Tyres", 400)
      .add(local_time(2021, 1, 1), 20000, "oil change ", 60)
      .add(local_time(2022, 1, 1), 30000, "OIL CHANGE", 70.5f);
  const std::vector<const Record*> reversed(log.rows().rbegin(), log.rows().rend());
  for (const auto* rows : {&log.rows(), &reversed}) {
    const log_statistics figures = compute_statistics(*rows);
    EXPECT_EQ(figures.entries, 4u);
    EXPECT_DOUBLE_EQ(figures.total_cost, 580.5);
    EXPECT_EQ(figures.earliest_date, local_time(2020, 1, 1));
    EXPECT_EQ(figures.latest_date, local_time(2022, 1, 1));
    EXPECT_DOUBLE_EQ(*figures.span_days, 731);
    EXPECT_DOUBLE_EQ(*figures.distance, 20000);
    // 580.5 and 20000 over 731 / 365.2425 years.
    EXPECT_NEAR(*figures.cost_per_year, 290.0455147, 1e-6);
    EXPECT_NEAR(*figures.distance_per_year, 9992.9548564, 1e-6);
    EXPECT_DOUBLE_EQ(*figures.cost_per_thousand, 29.025);
    ASSERT_EQ(figures.operations.size(), 2u);
    const operation_statistics& oil = figures.operations[0];
    EXPECT_EQ(oil.name, "OIL CHANGE");  // the latest spelling
    EXPECT_EQ(oil.count, 3u);
    EXPECT_DOUBLE_EQ(oil.total_cost, 180.5);
    EXPECT_DOUBLE_EQ(*oil.average_days_interval, 365.5);
    EXPECT_DOUBLE_EQ(*oil.average_distance_interval, 10000);
    const operation_statistics& tyres = figures.operations[1];
    EXPECT_EQ(tyres.name, "Tyres");
    EXPECT_EQ(tyres.count, 1u);
    EXPECT_DOUBLE_EQ(tyres.total_cost, 400);
    EXPECT_FALSE(tyres.average_days_interval);
    EXPECT_FALSE(tyres.average_distance_interval);
  }
}

TEST(Statistics, ManySpellingsOfOneLengthAndEndEachCountForTheirOwnOperation) {
  // More spellings than are looked up in short, met again and again, most
  // alike in length, first and last letters; the second round spells each
  // otherwise.
  test_log log;
  for (int round = 0; round < 3; ++round) {
    for (int k = 0; k < 200; ++k) {
      std::string name = "op " + std::to_string(100 + k);
      if (round == 1) name[0] = 'O';
      log.add(local_time(2020, 1, 1 + round), 1000.0 * round, name, static_cast<float>(k));
    }
  }
  const log_statistics figures = compute_statistics(log.rows());
  ASSERT_EQ(figures.operations.size(), 200u);
  for (int k = 0; k < 200; ++k) {
    const operation_statistics& operation = figures.operations[static_cast<std::size_t>(k)];
    EXPECT_EQ(operation.name, "op " + std::to_string(100 + k));
    EXPECT_EQ(operation.count, 3u);
    EXPECT_DOUBLE_EQ(operation.total_cost, 3.0 * k);
  }
}

TEST(Statistics, NoRateWithoutASpanToDivideBy) {
  const log_statistics empty = compute_statistics({});
  EXPECT_EQ(empty.entries, 0u);
  EXPECT_EQ(empty.total_cost, 0);
  EXPECT_FALSE(empty.earliest_date || empty.span_days || empty.distance || empty.cost_per_year ||
               empty.distance_per_year || empty.cost_per_thousand);
  EXPECT_TRUE(empty.operations.empty());

  test_log one;
  one.add(local_time(2021, 3, 1), 5000, "Fuel", 60);
  const log_statistics single = compute_statistics(one.rows());
  EXPECT_EQ(*single.span_days, 0);
  EXPECT_EQ(*single.distance, 0);
  EXPECT_FALSE(single.cost_per_year || single.distance_per_year || single.cost_per_thousand);

  // Equal dates: rates per distance only; the last row names the operation.
  one.add(local_time(2021, 3, 1), 5400, "FUEL", 40);
  const log_statistics same_day = compute_statistics(one.rows());
  EXPECT_FALSE(same_day.cost_per_year || same_day.distance_per_year);
  EXPECT_DOUBLE_EQ(*same_day.cost_per_thousand, 250);
  EXPECT_EQ(same_day.operations[0].name, "FUEL");
  EXPECT_EQ(*same_day.operations[0].average_days_interval, 0);
  EXPECT_DOUBLE_EQ(*same_day.operations[0].average_distance_interval, 400);
}

TEST(Statistics, MileageGoingBackwardsAndNumbersNotFinite) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  test_log log;
  log.add(local_time(2021, 1, 1), 10000, "Fuel", 10)
      .add(local_time(2021, 2, 1), 12000, "Fuel", 10)
      .add(local_time(2021, 3, 1), 9000, "Fuel", 10)  // a slip of the hand
      .add(local_time(2021, 3, 2), nan, "Fuel", nan)
      .add(local_time(2021, 3, 3), inf, "Wash", inf);
  const log_statistics figures = compute_statistics(log.rows());
  EXPECT_EQ(figures.entries, 5u);
  EXPECT_DOUBLE_EQ(figures.total_cost, 30);
  // The slip back to 9,000 is no reading of the odometer: 12,000 - 10,000.
  EXPECT_DOUBLE_EQ(*figures.distance, 2000);
  EXPECT_DOUBLE_EQ(*figures.cost_per_thousand, 15);
  EXPECT_DOUBLE_EQ(*figures.operations[0].average_distance_interval, 2000);  // 2 readings of 4
  EXPECT_FALSE(figures.operations[1].average_distance_interval);

  // Spans wider than a long can subtract; a negative mileage is no reading.
  test_log extreme;
  extreme.add(std::numeric_limits<long>::min(), -1.7e308, "A", 1)
      .add(std::numeric_limits<long>::min() + 1, 1e-300, "A", 1)
      .add(std::numeric_limits<long>::max(), 1.7e308, "A", 1);
  const log_statistics wide = compute_statistics(extreme.rows());
  EXPECT_GT(*wide.span_days, 1e14);
  EXPECT_GT(*wide.cost_per_year, 0);
  EXPECT_DOUBLE_EQ(*wide.distance, 1.7e308);
  EXPECT_DOUBLE_EQ(*wide.operations[0].average_distance_interval, 1.7e308);
}

}  // namespace
}  // namespace tarvik
