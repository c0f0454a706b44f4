#include "insight/statistics.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <unordered_map>

#include "data/calendar.h"
#include "insight/consumption.h"
#include "insight/operation_name.h"
#include "insight/recent_texts.h"

namespace tarvik {
namespace {

std::optional<double> finite(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

// Running minimum and maximum of a quantity.
template <typename T>
struct range {
  T low{};
  T high{};
  std::size_t count = 0;

  void add(T value) {
    if (count == 0 || value < low) low = value;
    if (count == 0 || value > high) high = value;
    ++count;
  }
  double width() const { return static_cast<double>(high) - static_cast<double>(low); }
};

struct operation_totals {
  const std::string* latest_name = nullptr;
  long latest_date = 0;
  std::size_t count = 0;
  double cost = 0;
  range<long> dates;
  range<double> mileages;
};

}  // namespace

struct statistics_gatherer::totals {
  log_statistics result;
  range<long> dates;
  range<double> mileages;
  range<long> reading_dates;
  std::vector<operation_totals> operations;
  std::unordered_map<std::string, std::size_t> by_key;
  // Most rows repeat a spelling seen before: look it up as it stands first,
  // and fold only a spelling not met yet. The views point into the records.
  std::unordered_map<std::string_view, std::size_t> by_spelling;
  // A log's spellings are mostly a few dozen: most rows find theirs here
  // before the map.
  recent_texts<std::size_t> recent;
  readings_left_out readings;
};

statistics_gatherer::statistics_gatherer() : totals_(std::make_unique<totals>()) {}

statistics_gatherer::statistics_gatherer(std::span<const left_out_reading> left_out)
    : totals_(std::make_unique<totals>()) {
  totals_->readings = readings_left_out(left_out);
}

statistics_gatherer::~statistics_gatherer() = default;

void statistics_gatherer::add(const Record& record) {
  totals& t = *totals_;
  ++t.result.entries;
  const double cost = record.cost();
  const bool cost_counts = std::isfinite(cost);
  const bool fill_up = fill_up_quantity(record).has_value();
  if (fill_up) ++t.result.fill_ups;
  if (cost_counts) {
    t.result.total_cost += cost;
    (fill_up ? t.result.fuel_cost : t.result.other_cost) += cost;
  }
  t.dates.add(record.date());
  const bool mileage_counts = t.readings.counts(record);
  if (mileage_counts) {
    t.mileages.add(record.mileage());
    t.reading_dates.add(record.date());
  }

  std::size_t group;
  const std::string_view spelling = record.operation();
  if (const std::size_t* recent = t.recent.find(spelling)) {
    group = *recent;
  } else if (const auto seen = t.by_spelling.find(spelling); seen != t.by_spelling.end()) {
    group = seen->second;
    t.recent.remember(spelling, group);
  } else {
    const auto [at, added] = t.by_key.try_emplace(operation_key(spelling), t.operations.size());
    if (added) t.operations.emplace_back();
    group = at->second;
    t.by_spelling.emplace(spelling, group);
    t.recent.remember(spelling, group);
  }
  operation_totals& operation = t.operations[group];
  if (operation.count == 0 || record.date() >= operation.latest_date) {
    operation.latest_date = record.date();
    operation.latest_name = &record.operation();
  }
  ++operation.count;
  if (cost_counts) operation.cost += cost;
  operation.dates.add(record.date());
  if (mileage_counts) operation.mileages.add(record.mileage());
}

log_statistics statistics_gatherer::result() const {
  const totals& t = *totals_;
  log_statistics result = t.result;
  if (result.entries == 0) return result;
  result.earliest_date = t.dates.low;
  result.latest_date = t.dates.high;
  const double span_days = t.dates.width() / kSecondsPerDay;
  result.span_days = span_days;
  if (t.mileages.count > 0) result.distance = finite(t.mileages.width());
  if (span_days > 0) {
    const double years = span_days / kDaysPerYear;
    result.cost_per_year = finite(result.total_cost / years);
    result.fuel_cost_per_year = finite(result.fuel_cost / years);
    result.other_cost_per_year = finite(result.other_cost / years);
  }
  // Over the time the readings span, not the entries: an entry without a
  // reading is no sign of the distance driven by its date.
  if (const double reading_days = t.reading_dates.width() / kSecondsPerDay;
      result.distance && reading_days > 0) {
    result.distance_per_year = finite(*result.distance / (reading_days / kDaysPerYear));
  }
  if (result.distance && *result.distance > 0) {
    const double distance = *result.distance;
    result.cost_per_thousand = finite(result.total_cost / distance * 1000);
    result.fuel_cost_per_thousand = finite(result.fuel_cost / distance * 1000);
    result.other_cost_per_thousand = finite(result.other_cost / distance * 1000);
  }

  result.operations.reserve(t.operations.size());
  for (const operation_totals& operation : t.operations) {
    operation_statistics figures;
    figures.name = *operation.latest_name;
    figures.count = operation.count;
    figures.total_cost = operation.cost;
    if (operation.count >= 2) {
      const auto repeats = static_cast<double>(operation.count - 1);
      figures.average_days_interval = finite(operation.dates.width() / kSecondsPerDay / repeats);
      if (operation.mileages.count >= 2) {
        figures.average_distance_interval =
            finite(operation.mileages.width() / static_cast<double>(operation.mileages.count - 1));
      }
    }
    result.operations.push_back(std::move(figures));
  }
  return result;
}

log_statistics compute_statistics(std::span<const Record* const> rows) {
  statistics_gatherer gatherer(check_readings(rows));
  for (const Record* record : rows) {
    if (record != nullptr) gatherer.add(*record);
  }
  return gatherer.result();
}

}  // namespace tarvik
