#include "insight/yearly.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <map>

namespace tarvik {

std::vector<std::pair<int, double>> cost_by_year(std::span<const Record* const> rows) {
  std::map<int, double> years;
  for (const Record* record : rows) {
    if (record == nullptr) continue;
    const std::time_t time = record->date();
    std::tm parts{};
    if (localtime_r(&time, &parts) == nullptr) continue;
    const double cost = static_cast<double>(record->cost());
    double& total = years[parts.tm_year + 1900];
    if (std::isfinite(cost)) total += cost;
  }
  return {years.begin(), years.end()};
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
