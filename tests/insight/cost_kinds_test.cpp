// Costs by kind: fill-ups' (fuel) and every other entry's, in the
// statistics and per calendar year, with answers worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "insight/insight_support.h"
#include "insight/statistics.h"
#include "insight/yearly.h"

namespace tarvik {
namespace {

using testing::local_time;
using testing::test_log;

// Two years (2020-01-01 to 2022-01-01, 731 days) of fill-ups and services,
// with fuel fields that are no quantity.
test_log two_years() {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  test_log log;
  log.add(local_time(2020, 1, 1), 10000, "Fuel", 60).with({{"fuel", "40"}, {"full", "yes"}})
      .add(local_time(2020, 7, 1), 15000, "Oil change", 200)
      .add(local_time(2020, 9, 1), 17000, "Fuel", 10).with({{"fuel", "0"}})
      .add(local_time(2020, 10, 1), 18000, "Fuel", 5).with({{"fuel", "-3"}})
      .add(local_time(2021, 3, 1), 22000, "Fuel", 30).with({{"fuel", "40 l"}})
      .add(local_time(2021, 5, 1), 24000, "Fuel", 45.5f).with({{"FUEL", " 30.5 "}})
      .add(local_time(2021, 6, 1), 25000, "Fuel", nan).with({{"fuel", "20"}})
      .add(local_time(2021, 8, 1), 0, "Insurance", 300)
      .add(local_time(2022, 1, 1), 30000, "Fuel", 50).with({{"fuel", "0.001"}});
  return log;
}

TEST(CostKinds, FillUpsAreFuelAndEverythingElseIsOther) {
  const test_log log = two_years();
  const std::vector<const Record*> reversed(log.rows().rbegin(), log.rows().rend());
  for (const auto* rows : {&log.rows(), &reversed}) {
    const log_statistics figures = compute_statistics(*rows);
    // "0", "-3" and "40 l" are no quantity: those entries' costs are other.
    // The fill-up of no readable cost is still a fill-up.
    EXPECT_EQ(figures.fill_ups, 4u);
    EXPECT_DOUBLE_EQ(figures.fuel_cost, 155.5);
    EXPECT_DOUBLE_EQ(figures.other_cost, 545);
    EXPECT_DOUBLE_EQ(figures.total_cost, 700.5);
    // Over the same 731 / 365.2425 years and the same 20,000 units (the
    // insurance's mileage 0 is no reading) as the total.
    EXPECT_NEAR(*figures.fuel_cost_per_year, 77.695224008, 1e-6);
    EXPECT_NEAR(*figures.other_cost_per_year, 272.308019836, 1e-6);
    EXPECT_DOUBLE_EQ(*figures.fuel_cost_per_thousand, 7.775);
    EXPECT_DOUBLE_EQ(*figures.other_cost_per_thousand, 27.25);
  }
}

TEST(CostKinds, NoSpanOrNoDistanceLeavesEachKindsRateEmpty) {
  test_log same_day;
  same_day.add(local_time(2021, 1, 1), 1000, "Fuel", 40).with({{"fuel", "30"}})
      .add(local_time(2021, 1, 1), 1000, "Wash", 10);
  const log_statistics none = compute_statistics(same_day.rows());
  EXPECT_FALSE(none.fuel_cost_per_year);
  EXPECT_FALSE(none.other_cost_per_year);
  EXPECT_FALSE(none.fuel_cost_per_thousand);
  EXPECT_FALSE(none.other_cost_per_thousand);

  // One second and one unit are enough.
  test_log least;
  least.add(local_time(2021, 1, 1), 1000, "Fuel", 40).with({{"fuel", "30"}})
      .add(local_time(2021, 1, 1) + 1, 1001, "Wash", 10);
  const log_statistics some = compute_statistics(least.rows());
  EXPECT_DOUBLE_EQ(*some.fuel_cost_per_thousand, 40000);
  EXPECT_DOUBLE_EQ(*some.other_cost_per_thousand, 10000);
  EXPECT_TRUE(some.fuel_cost_per_year);
  EXPECT_TRUE(some.other_cost_per_year);

  // Without fill-ups everything is other, and fuel is zero, not empty.
  test_log services;
  services.add(local_time(2020, 1, 1), 1000, "Oil", 100).add(local_time(2021, 1, 1), 3000, "Oil", 100);
  const log_statistics plain = compute_statistics(services.rows());
  EXPECT_EQ(plain.fill_ups, 0u);
  EXPECT_DOUBLE_EQ(plain.other_cost, plain.total_cost);
  EXPECT_DOUBLE_EQ(*plain.other_cost_per_thousand, *plain.cost_per_thousand);
  EXPECT_DOUBLE_EQ(*plain.fuel_cost_per_thousand, 0);
}

TEST(CostKinds, EachYearSplitsItsCostsAsTheStatisticsDo) {
  const test_log log = two_years();
  const std::vector<year_cost> years = cost_by_year(log.rows());
  ASSERT_EQ(years.size(), 3u);
  EXPECT_EQ(years[0].year, 2020);
  EXPECT_DOUBLE_EQ(years[0].fuel, 60);
  EXPECT_DOUBLE_EQ(years[0].other, 215);
  EXPECT_EQ(years[0].fill_ups, 1u);
  EXPECT_EQ(years[1].year, 2021);
  EXPECT_DOUBLE_EQ(years[1].fuel, 45.5);
  EXPECT_DOUBLE_EQ(years[1].other, 330);
  EXPECT_EQ(years[1].fill_ups, 2u);
  EXPECT_EQ(years[2].year, 2022);
  EXPECT_DOUBLE_EQ(years[2].fuel, 50);
  EXPECT_DOUBLE_EQ(years[2].other, 0);
  EXPECT_DOUBLE_EQ(years[2].total(), 50);

  // A date with no calendar year counts in the totals, in no year.
  test_log beyond = two_years();
  beyond.add(std::numeric_limits<long>::max(), 31000, "Fuel", 1000).with({{"fuel", "10"}});
  EXPECT_EQ(cost_by_year(beyond.rows()).size(), 3u);
  EXPECT_DOUBLE_EQ(compute_statistics(beyond.rows()).fuel_cost, 1155.5);
}

}  // namespace
}  // namespace tarvik
