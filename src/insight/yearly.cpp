#include "insight/yearly.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <map>

#include "insight/consumption.h"

namespace tarvik {

std::vector<year_cost> cost_by_year(std::span<const Record* const> rows) {
  std::map<int, year_cost> years;
  for (const Record* record : rows) {
    if (record == nullptr) continue;
    const std::time_t time = record->date();
    std::tm parts{};
    if (localtime_r(&time, &parts) == nullptr) continue;
    const double cost = static_cast<double>(record->cost());
    const int number = parts.tm_year + 1900;
    year_cost& year = years[number];
    year.year = number;
    const bool fill_up = fill_up_quantity(*record).has_value();
    if (fill_up) ++year.fill_ups;
    if (std::isfinite(cost)) (fill_up ? year.fuel : year.other) += cost;
  }
  std::vector<year_cost> result;
  result.reserve(years.size());
  for (const auto& [number, year] : years) result.push_back(year);
  return result;
}

std::vector<std::pair<long, double>> odometer_series(std::span<const Record* const> rows) {
  std::vector<std::pair<long, double>> points;
  for (const Record* record : rows) {
    if (record != nullptr && std::isfinite(record->mileage())) {
      points.emplace_back(record->date(), record->mileage());
    }
  }
  std::stable_sort(points.begin(), points.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  return points;
}

}  // namespace tarvik
