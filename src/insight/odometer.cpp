#include "insight/odometer.h"

#include <cmath>

#include "data/calendar.h"

namespace tarvik {

odometer_summary summarize_odometer(std::span<const Record* const> log) {
  odometer_summary summary;
  for (const Record* record : log) {
    if (record == nullptr) continue;
    if (!summary.latest_date || record->date() > *summary.latest_date) {
      summary.latest_date = record->date();
      summary.current_mileage.reset();
    }
    if (record->date() == *summary.latest_date && std::isfinite(record->mileage()) &&
        (!summary.current_mileage || record->mileage() > *summary.current_mileage)) {
      summary.current_mileage = record->mileage();
    }
  }
  if (!summary.latest_date) return summary;

  // In double: a date near the start of time_t must not wrap around.
  const double latest = static_cast<double>(*summary.latest_date);
  const double window_start = latest - static_cast<double>(kPaceWindowDays * kSecondsPerDay);
  std::size_t count = 0;
  long earliest = 0;
  long last = 0;
  double low = 0;
  double high = 0;
  for (const Record* record : log) {
    if (record == nullptr || static_cast<double>(record->date()) < window_start) continue;
    const double mileage = record->mileage();
    if (!std::isfinite(mileage)) continue;
    if (count == 0 || record->date() < earliest) earliest = record->date();
    if (count == 0 || record->date() > last) last = record->date();
    if (count == 0 || mileage < low) low = mileage;
    if (count == 0 || mileage > high) high = mileage;
    ++count;
  }
  const double days = (static_cast<double>(last) - static_cast<double>(earliest)) / kSecondsPerDay;
  const double distance = high - low;
  if (count >= 2 && days > 0 && distance > 0 && std::isfinite(distance)) {
    summary.distance_per_day = distance / days;
  }
  return summary;
}

}  // namespace tarvik
