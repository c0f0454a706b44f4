#ifndef TARVIK_INSIGHT_YEARLY_H_
#define TARVIK_INSIGHT_YEARLY_H_

#include <cstddef>
#include <span>
#include <utility>
#include <vector>

#include "data/record.h"

// Series over time for charts, in the process's time zone.
namespace tarvik {

// The costs of one calendar year by kind, as the statistics split them:
// fill-ups' (fill_up_quantity() in consumption.h) and every other entry's.
struct year_cost {
  int year = 0;
  double fuel = 0;
  double other = 0;
  std::size_t fill_ups = 0;
  double total() const { return fuel + other; }
};

// The costs of each calendar year that has entries, earliest first. Costs
// that are not finite numbers are left out; null rows are skipped, and so
// are rows whose date has no calendar year.
std::vector<year_cost> cost_by_year(std::span<const Record* const> rows);

// The odometer over time: (date, mileage) of every row with a finite
// mileage, by date (rows of the same date keep their order).
std::vector<std::pair<long, double>> odometer_series(std::span<const Record* const> rows);

}  // namespace tarvik

#endif  // TARVIK_INSIGHT_YEARLY_H_
