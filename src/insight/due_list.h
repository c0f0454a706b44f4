#ifndef TARVIK_INSIGHT_DUE_LIST_H_
#define TARVIK_INSIGHT_DUE_LIST_H_

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "data/record.h"
#include "insight/odometer.h"
#include "insight/service_interval.h"

// When each service interval falls due, against the whole log and a given
// day ("today" is a parameter, so that answers do not depend on the clock).
namespace tarvik {

// An interval is due soon when at most a tenth of a limit is left: of the
// months in calendar days, of the distance in units; but never more than
// these. So a monthly interval is due soon 3 days before, not on the day it
// is done.
constexpr long kDueSoonDays = 30;
constexpr double kDueSoonDistance = 1000;

enum class due_state {
  not_done,  // no entry of the log has the interval's operation
  ok,
  // days_left <= soon_days or distance_left <= soon_distance (0 left
  // included)
  due_soon,
  // by the pace, the distance limit is reached on or before today
  // (projected_date), while the log shows it not reached yet
  due_estimated,
  overdue,  // past its date (days_left < 0) or its mileage (distance_left < 0)
};

// Which limit makes an interval due first.
enum class due_limit {
  none,      // not done, or no limit that can be told
  date,      // the months: next_date
  distance,  // the distance: reached already, or expected on projected_date
};

struct due_item {
  due_state state = due_state::not_done;
  // The last entry with the operation: the latest date; of entries of that
  // date, the one with the highest reading kept (odometer.h). Empty when not
  // done; the mileage also when that entry's is no reading kept.
  std::optional<long> last_date;
  std::optional<double> last_mileage;
  // last_date + months calendar months, at the same local time, clamped to
  // the end of a shorter month; last_mileage + distance. Empty without the
  // limit (or the last value).
  std::optional<long> next_date;
  std::optional<double> next_mileage;
  // Local calendar days from today to next_date (negative: overdue), and
  // next_mileage - the current odometer (see odometer.h: the highest
  // reading kept; negative: overdue).
  std::optional<long> days_left;
  std::optional<double> distance_left;
  // When the odometer is expected to reach next_mileage: the date of the
  // latest reading plus distance_left at the recent pace (odometer.h).
  // Empty without a pace, when distance_left is not above zero (the mileage
  // is reached already), or when the date has no calendar date (past the
  // year 9999).
  std::optional<long> projected_date;

  // When it is due: the earlier of next_date and projected_date (the same
  // local day: next_date), and which limit that is. With the distance
  // reached already (distance_left <= 0) the limit is the distance and the
  // date is empty.
  due_limit due_by = due_limit::none;
  std::optional<long> due_date;

  // How much left counts as due soon (see kDueSoonDays): a tenth of the
  // interval's months in days (last_date to next_date), and of its distance.
  // Empty without that limit.
  std::optional<long> soon_days;
  std::optional<double> soon_distance;
};

// One item per interval, in the same order. `log` is every record of the
// store (null pointers are skipped); `today` is any moment of the day the
// days are counted from. The odometer figures are those of
// summarize_odometer() (odometer.h). Linear in the log, one hash lookup a
// record, but for checking the readings.
std::vector<due_item> compute_due_list(std::span<const service_interval> intervals,
                                       std::span<const Record* const> log, long today);
// The same with the log's readings checked already (check_readings() of
// `log`).
std::vector<due_item> compute_due_list(std::span<const service_interval> intervals,
                                       std::span<const Record* const> log,
                                       std::span<const left_out_reading> left_out, long today);

// Whether an item in this state asks for the user: due soon, due by the
// estimate or overdue.
bool is_due(due_state state);

// How many items are due (is_due).
std::size_t count_due(std::span<const due_item> items);

}  // namespace tarvik

#endif  // TARVIK_INSIGHT_DUE_LIST_H_
