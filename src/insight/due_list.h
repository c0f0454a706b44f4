#ifndef TARVIK_INSIGHT_DUE_LIST_H_
#define TARVIK_INSIGHT_DUE_LIST_H_

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "data/record.h"
#include "insight/service_interval.h"

// When each service interval falls due, against the whole log and a given
// day ("today" is a parameter, so that answers do not depend on the clock).
namespace tarvik {

// An interval is due soon when at most this many days or this much distance
// is left before it is due by either limit.
constexpr long kDueSoonDays = 30;
constexpr double kDueSoonDistance = 1000;

enum class due_state {
  not_done,  // no entry of the log has the interval's operation
  ok,
  due_soon,  // within kDueSoonDays days or kDueSoonDistance units (0 left included)
  overdue,   // past its date (days_left < 0) or its mileage (distance_left < 0)
};

struct due_item {
  due_state state = due_state::not_done;
  // The last entry with the operation: the latest date; of entries of that
  // date, the one with the highest finite mileage. Empty when not done; the
  // mileage also when that entry's is not finite.
  std::optional<long> last_date;
  std::optional<double> last_mileage;
  // last_date + months calendar months, at the same local time, clamped to
  // the end of a shorter month; last_mileage + distance. Empty without the
  // limit (or the last value).
  std::optional<long> next_date;
  std::optional<double> next_mileage;
  // Local calendar days from today to next_date (negative: overdue), and
  // next_mileage - the current odometer (see odometer.h: the highest
  // mileage of the latest-dated entries; negative: overdue).
  std::optional<long> days_left;
  std::optional<double> distance_left;
  // When the odometer is expected to reach next_mileage: the latest date of
  // the log plus distance_left at the recent pace (odometer.h). Empty
  // without a pace, when distance_left is not above zero (the mileage is
  // reached already), or when the date has no representation.
  std::optional<long> projected_date;
};

// One item per interval, in the same order. `log` is every record of the
// store (null pointers are skipped); `today` is any moment of the day the
// days are counted from. Linear in the log, one hash lookup a record.
std::vector<due_item> compute_due_list(std::span<const service_interval> intervals,
                                       std::span<const Record* const> log, long today);

// How many items are due soon or overdue.
std::size_t count_due(std::span<const due_item> items);

}  // namespace tarvik

#endif  // TARVIK_INSIGHT_DUE_LIST_H_
