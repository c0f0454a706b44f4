#ifndef TARVIK_INSIGHT_YEARLY_H_
#define TARVIK_INSIGHT_YEARLY_H_

#include <span>
#include <utility>
#include <vector>

#include "data/record.h"

// Series over time for charts, in the process's time zone.
namespace tarvik {

// The total cost of each calendar year that has entries, earliest first.
// Costs that are not finite numbers are left out; null rows are skipped.
std::vector<std::pair<int, double>> cost_by_year(std::span<const Record* const> rows);

// The odometer over time: (date, mileage) of every row with a finite
// mileage, by date (rows of the same date keep their order).
std::vector<std::pair<long, double>> odometer_series(std::span<const Record* const> rows);

}  // namespace tarvik

#endif  // TARVIK_INSIGHT_YEARLY_H_
