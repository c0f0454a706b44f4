#ifndef TARVIK_INSIGHT_ODOMETER_H_
#define TARVIK_INSIGHT_ODOMETER_H_

#include <optional>
#include <span>

#include "data/record.h"

// Where the vehicle stands according to its whole log.
namespace tarvik {

// Entries at most this many days before the latest one set the recent pace.
constexpr long kPaceWindowDays = 365;

struct odometer_summary {
  // The date of the latest entry; empty without entries.
  std::optional<long> latest_date;
  // The highest finite mileage among the entries of that latest date (a
  // date in the future counts as latest too); empty when none of them has
  // a finite mileage.
  std::optional<double> current_mileage;
  // Distance per day over the entries dated within kPaceWindowDays days
  // before the latest date (that day itself and the latest included) that
  // have a finite mileage: their highest - lowest mileage over the days
  // between the earliest and latest of them. Empty with fewer than two
  // such entries, when they share one date, or when they cover no
  // distance; otherwise above zero.
  std::optional<double> distance_per_day;
};

// Null pointers are skipped; the records are only read. Two linear passes.
odometer_summary summarize_odometer(std::span<const Record* const> log);

}  // namespace tarvik

#endif  // TARVIK_INSIGHT_ODOMETER_H_
