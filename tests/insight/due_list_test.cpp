#include "insight/due_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <optional>

#include "data/calendar.h"
#include "insight/insight_support.h"
#include "insight/odometer.h"

namespace tarvik {
namespace {

using testing::local_time;
using testing::test_log;
using testing::time_zone;

service_interval every(std::string operation, std::optional<double> distance, std::optional<long> months) {
  service_interval interval;
  interval.operation = std::move(operation);
  interval.distance = distance;
  interval.months = months;
  return interval;
}

TEST(Calendar, AddMonthsClampsToTheEndOfAShorterMonth) {
  EXPECT_EQ(add_months(local_time(2023, 1, 31, 9, 15), 1), local_time(2023, 2, 28, 9, 15));
  EXPECT_EQ(add_months(local_time(2024, 1, 31), 1), local_time(2024, 2, 29));
  EXPECT_EQ(add_months(local_time(2023, 1, 31), 13), local_time(2024, 2, 29));
  EXPECT_EQ(add_months(local_time(2023, 11, 30), 2), local_time(2024, 1, 30));
  EXPECT_EQ(add_months(local_time(2024, 3, 31), -1), local_time(2024, 2, 29));
  EXPECT_EQ(add_months(local_time(2024, 1, 15), -13), local_time(2022, 12, 15));
  EXPECT_EQ(add_months(local_time(2024, 2, 29), 48), local_time(2028, 2, 29));
  EXPECT_FALSE(add_months(local_time(2024, 1, 1), 1L << 50));
}

TEST(Calendar, LocalTimeIsWhatMktimeGivesAcrossDaylightSavingChanges) {
  // Every half hour of the days around each zone's changes (a midnight
  // change, a half-hour change, a skipped day) and of some plain days.
  const char* const zones[] = {"UTC", "Europe/Berlin", "America/New_York", "America/Sao_Paulo",
                               "Australia/Lord_Howe", "Pacific/Apia", "Asia/Kolkata"};
  const int days[][3] = {{2002, 5, 1},   {2018, 3, 25},  {2018, 10, 28}, {2018, 3, 11},
                         {2018, 11, 4},  {2018, 11, 4},  {2018, 2, 17},  {2018, 4, 1},
                         {2018, 10, 7},  {2011, 12, 29}, {2011, 12, 30}, {2011, 12, 31},
                         {1969, 12, 31}, {1900, 1, 1},   {2038, 1, 19},  {2400, 2, 29}};
  for (const char* zone : zones) {
    const time_zone in(zone);
    for (const auto& day : days) {
      for (int minutes = 0; minutes < 24 * 60; minutes += 30) {
        std::tm parts{};
        parts.tm_year = day[0] - 1900;
        parts.tm_mon = day[1] - 1;
        parts.tm_mday = day[2];
        parts.tm_hour = minutes / 60;
        parts.tm_min = minutes % 60;
        // Where the clock reads the same twice, mktime may give either;
        // the earlier is expected.
        const auto reading = [&](int dst) -> std::optional<long> {
          std::tm asked = parts;
          asked.tm_isdst = dst;
          const long time = static_cast<long>(std::mktime(&asked));
          return asked.tm_isdst == dst && asked.tm_hour == parts.tm_hour &&
                         asked.tm_min == parts.tm_min && asked.tm_mday == parts.tm_mday
                     ? std::optional<long>(time)
                     : std::nullopt;
        };
        const std::optional<long> standard = reading(0);
        const std::optional<long> summer = reading(1);
        parts.tm_isdst = -1;
        long expected = static_cast<long>(std::mktime(&parts));
        if (standard && summer && *standard != *summer) expected = std::min(*standard, *summer);
        EXPECT_EQ(tarvik::local_time(day[0], day[1], day[2], minutes / 60, minutes % 60, 0),
                  expected)
            << zone << " " << day[0] << "-" << day[1] << "-" << day[2] << " " << minutes / 60 << ":"
            << minutes % 60;
      }
    }
  }
  EXPECT_FALSE(tarvik::local_time(2002, 4, 31, 0, 0, 0));
  EXPECT_FALSE(tarvik::local_time(2001, 2, 29, 0, 0, 0));
  EXPECT_TRUE(tarvik::local_time(2000, 2, 29, 0, 0, 0));
  EXPECT_FALSE(tarvik::local_time(2002, 13, 1, 0, 0, 0));
  EXPECT_FALSE(tarvik::local_time(2002, 5, 1, 24, 0, 0));
  EXPECT_EQ(tarvik::local_time(2002, 5, 1, 23, 59, 60), tarvik::local_time(2002, 5, 2, 0, 0, 0));
}

TEST(Calendar, OtherZonesCountTheirOwnLocalDays) {
  EXPECT_EQ(local_day_number(-1), -1);  // TZ=UTC
  EXPECT_EQ(local_day_number(local_time(2024, 3, 1, 0)), 19783);
  {
    const time_zone zone("Asia/Tokyo");  // 00:30 on Jan 1 there is Dec 31 in UTC
    EXPECT_EQ(local_day_number(local_time(2024, 1, 1, 0, 30)), 19723);
  }
  const time_zone zone("America/New_York");
  // 23:30 on Jan 31 is Feb 1 in UTC: a month on is Feb 29 here, not Mar 1.
  EXPECT_EQ(add_months(local_time(2024, 1, 31, 23, 30), 1), local_time(2024, 2, 29, 23, 30));
  // Into summer time the local hour stays, and the span is an hour short.
  const long winter = local_time(2024, 2, 10, 12);
  EXPECT_EQ(*add_months(winter, 1) - winter, 29 * kSecondsPerDay - 3600);
  // 23 hours before it falls due across that change is one day left.
  test_log log;
  log.add(local_time(2023, 3, 11, 0, 30), 1000, "Inspection");
  const std::vector<service_interval> yearly{every("Inspection", std::nullopt, 12)};
  EXPECT_EQ(compute_due_list(yearly, log.rows(), local_time(2024, 3, 10, 0, 30))[0].days_left, 1);
}

// Three entries of 2023: 10,000 units over the 334 days from Jan 31 to Dec 31.
test_log year_2023() {
  test_log log;
  log.add(local_time(2023, 1, 31), 50000, "Oil change", 80)
      .add(local_time(2023, 6, 15), 55000, "Tyres", 400)
      .add(local_time(2023, 12, 31), 60000, "Fuel", 70);
  return log;
}

TEST(Odometer, CurrentMileageAndPaceOverTheYearBeforeTheLatestEntry) {
  test_log log = year_2023();
  log.add(local_time(2022, 12, 30), 10000, "Fuel");  // 366 days before: out
  log.add(local_time(2023, 12, 31), 59000, "Wash");  // latest day, lower mileage
  odometer_summary summary = summarize_odometer(log.rows());
  EXPECT_EQ(summary.reading_date, local_time(2023, 12, 31));
  EXPECT_DOUBLE_EQ(*summary.current_mileage, 60000);
  EXPECT_DOUBLE_EQ(*summary.distance_per_day, 10000.0 / 334);
  log.add(local_time(2022, 12, 31), 40000, "Fuel");  // 365 days before: in
  EXPECT_DOUBLE_EQ(*summarize_odometer(log.rows()).distance_per_day, 20000.0 / 365);

  EXPECT_FALSE(summarize_odometer({}).reading_date);
  test_log same_day;
  same_day.add(local_time(2023, 5, 1), 1000, "Fuel").add(local_time(2023, 5, 1), 1200, "Fuel");
  EXPECT_FALSE(summarize_odometer(same_day.rows()).distance_per_day);
  test_log parked;
  parked.add(local_time(2023, 5, 1), 1000, "Fuel").add(local_time(2023, 9, 1), 1000, "Wash");
  EXPECT_FALSE(summarize_odometer(parked.rows()).distance_per_day);
}

TEST(DueList, EveryFigureWithOneLimitOrBoth) {
  const test_log log = year_2023();
  const std::vector<service_interval> intervals{every("oil CHANGE ", 15000, 12),
                                                every("Tyres", 20000, std::nullopt),
                                                every("Tyres", std::nullopt, 6)};
  const std::vector<due_item> items = compute_due_list(intervals, log.rows(), local_time(2024, 1, 10, 8));
  const due_item& oil = items[0];
  EXPECT_EQ(oil.last_date, local_time(2023, 1, 31));
  EXPECT_EQ(oil.last_mileage, 50000);
  EXPECT_EQ(oil.next_date, local_time(2024, 1, 31));
  EXPECT_EQ(oil.next_mileage, 65000);
  EXPECT_EQ(oil.days_left, 21);
  EXPECT_EQ(oil.distance_left, 5000);
  EXPECT_EQ(oil.projected_date, local_time(2024, 6, 15));  // 5,000 at 10,000 / 334 a day: 167 days
  EXPECT_EQ(oil.state, due_state::due_soon);

  EXPECT_EQ(items[1].distance_left, 15000);
  EXPECT_FALSE(items[1].next_date || items[1].days_left);
  EXPECT_EQ(items[1].projected_date, local_time(2025, 5, 15));  // 501 days on
  EXPECT_EQ(items[1].state, due_state::ok);

  EXPECT_EQ(items[2].next_date, local_time(2023, 12, 15));
  EXPECT_EQ(items[2].days_left, -26);
  EXPECT_FALSE(items[2].next_mileage || items[2].distance_left || items[2].projected_date);
  EXPECT_EQ(items[2].state, due_state::overdue);
}

TEST(DueList, StatesAtTheirBoundariesAndTheCount) {
  const test_log log = year_2023();  // odometer 60,000; oil changed at 50,000 on Jan 31
  const auto state = [&](std::optional<double> distance, std::optional<long> months, long today) {
    const std::vector<service_interval> intervals{every("Oil change", distance, months)};
    return compute_due_list(intervals, log.rows(), today)[0].state;
  };
  const long today = local_time(2024, 1, 10);
  EXPECT_EQ(state(11000, std::nullopt, today), due_state::due_soon);  // 1,000 left
  EXPECT_EQ(state(11000.5, std::nullopt, today), due_state::ok);
  EXPECT_EQ(state(10000, std::nullopt, today), due_state::due_soon);  // reached, not passed
  EXPECT_EQ(state(9999.5, std::nullopt, today), due_state::overdue);
  EXPECT_EQ(state(std::nullopt, 12, local_time(2024, 1, 1)), due_state::due_soon);  // 30 days
  EXPECT_EQ(state(std::nullopt, 12, local_time(2023, 12, 31)), due_state::ok);      // 31 days
  EXPECT_EQ(state(std::nullopt, 12, local_time(2024, 1, 31, 23, 59)), due_state::due_soon);
  EXPECT_EQ(state(std::nullopt, 12, local_time(2024, 2, 1, 0, 1)), due_state::overdue);
  EXPECT_EQ(state(100000, 6, today), due_state::overdue);  // whichever comes first
  EXPECT_EQ(state(std::nullopt, std::nullopt, today), due_state::ok);

  const std::vector<service_interval> intervals{every("Timing belt", 100000, 60),
                                                every("Oil change", 10000, 12),
                                                every("Tyres", std::nullopt, 6),
                                                every("Fuel", std::nullopt, 12)};
  const std::vector<due_item> items = compute_due_list(intervals, log.rows(), today);
  EXPECT_EQ(items[0].state, due_state::not_done);
  EXPECT_FALSE(items[0].last_date || items[0].next_mileage || items[0].projected_date);
  EXPECT_EQ(count_due(items), 2u);
  EXPECT_EQ(compute_due_list(intervals, {}, today)[1].state, due_state::not_done);
}

TEST(DueList, LastDoneIsTheLatestDateEvenInTheFutureThenTheHighestMileage) {
  test_log log = year_2023();
  log.add(local_time(2025, 3, 1), 62000, "OIL change")  // typed a year ahead
      .add(local_time(2025, 3, 1), 61800, "oil change")
      .add(local_time(2024, 6, 1), 61000, "Oil change")  // older
      .add(local_time(2025, 4, 1), 5000, "Wash");        // a slip: no odometer reading
  const std::vector<service_interval> intervals{every("Oil Change", 15000, 12)};
  const due_item item = compute_due_list(intervals, log.rows(), local_time(2024, 1, 10))[0];
  EXPECT_EQ(item.last_date, local_time(2025, 3, 1));
  EXPECT_EQ(item.last_mileage, 62000);
  EXPECT_EQ(item.days_left, 781);
  EXPECT_EQ(item.distance_left, 15000);
  EXPECT_EQ(item.state, due_state::ok);

  // A last done whose reading goes against the others sets no distance.
  log.add(local_time(2025, 5, 1), 6200, "Oil change");
  const due_item slipped = compute_due_list(intervals, log.rows(), local_time(2024, 1, 10))[0];
  EXPECT_EQ(slipped.last_date, local_time(2025, 5, 1));
  EXPECT_FALSE(slipped.last_mileage || slipped.next_mileage || slipped.distance_left);
}

TEST(DueList, TheEarlierLimitSetsWhenAndTheState) {
  const test_log log = year_2023();  // 60,000 on Dec 31; 10,000 in 334 days
  const auto item = [&](std::optional<double> distance, std::optional<long> months, long today) {
    const std::vector<service_interval> intervals{every("Oil change", distance, months)};
    return compute_due_list(intervals, log.rows(), today)[0];
  };
  const long today = local_time(2024, 1, 10);
  // The date first: 2024-01-31, before the 5,000 left are expected.
  const due_item by_date = item(15000, 12, today);
  EXPECT_EQ(by_date.due_by, due_limit::date);
  EXPECT_EQ(by_date.due_date, local_time(2024, 1, 31));
  // The distance first: expected on 2024-06-15, before 2025-01-31.
  const due_item by_distance = item(15000, 24, today);
  EXPECT_EQ(by_distance.due_by, due_limit::distance);
  EXPECT_EQ(by_distance.due_date, local_time(2024, 6, 15));
  EXPECT_EQ(by_distance.state, due_state::ok);
  // The day the projection falls on, and after: due by the estimate,
  // though the log shows 5,000 left.
  EXPECT_EQ(item(15000, 24, local_time(2024, 6, 15, 6)).state, due_state::due_estimated);
  EXPECT_EQ(item(15000, std::nullopt, local_time(2024, 9, 1)).state, due_state::due_estimated);
  EXPECT_EQ(item(15000, std::nullopt, local_time(2024, 6, 14)).state, due_state::ok);
  // Reached: due by the distance, with no date; passed: overdue.
  const due_item reached = item(9000, 24, today);
  EXPECT_EQ(reached.due_by, due_limit::distance);
  EXPECT_FALSE(reached.due_date);
  EXPECT_EQ(reached.state, due_state::overdue);
  EXPECT_EQ(item(std::nullopt, 6, today).due_by, due_limit::date);
  EXPECT_EQ(item(std::nullopt, std::nullopt, today).due_by, due_limit::none);
  // A projection past any calendar date is none, not an error.
  const due_item far = item(1e12, std::nullopt, today);
  EXPECT_FALSE(far.projected_date || far.due_date);
  EXPECT_EQ(far.state, due_state::ok);

  const std::vector<service_interval> intervals{every("Oil change", 15000, std::nullopt),
                                                every("Oil change", 15000, 12)};
  EXPECT_EQ(count_due(compute_due_list(intervals, log.rows(), local_time(2024, 7, 1))), 2u);
}

TEST(DueList, DueSoonIsATenthOfTheIntervalAtMost30DaysAnd1000Units) {
  const test_log log = year_2023();  // Fuel on Dec 31 at 60,000
  const auto item = [&](std::optional<double> distance, std::optional<long> months, long today) {
    const std::vector<service_interval> intervals{every("Fuel", distance, months)};
    return compute_due_list(intervals, log.rows(), today)[0];
  };
  // A month: 31 days, 3 of them due soon; not on the day it is done.
  EXPECT_EQ(item(std::nullopt, 1, local_time(2023, 12, 31)).state, due_state::ok);
  EXPECT_EQ(item(std::nullopt, 1, local_time(2024, 1, 27)).state, due_state::ok);
  EXPECT_EQ(item(std::nullopt, 1, local_time(2024, 1, 28)).state, due_state::due_soon);
  EXPECT_EQ(item(std::nullopt, 1, local_time(2024, 1, 28)).soon_days, 3);
  EXPECT_EQ(item(std::nullopt, 24, local_time(2024, 1, 1)).soon_days, 30);
  // 1,000 units: 100 of them.
  EXPECT_EQ(item(1000, std::nullopt, local_time(2023, 12, 31)).state, due_state::ok);
  EXPECT_EQ(item(1000, std::nullopt, local_time(2023, 12, 31)).soon_distance, 100);
  EXPECT_EQ(item(50000, std::nullopt, local_time(2023, 12, 31)).soon_distance, 1000);
}

}  // namespace
}  // namespace tarvik
