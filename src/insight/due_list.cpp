#include "insight/due_list.h"

#include <cmath>
#include <string>
#include <string_view>
#include <unordered_map>

#include "data/calendar.h"
#include "insight/odometer.h"
#include "insight/operation_name.h"

namespace tarvik {
namespace {

struct last_entry {
  const Record* record = nullptr;
};

// Whether `candidate` is a later "last done" than `held`: a later date, or
// the same date and a higher mileage (a finite one beats one that is not).
bool later(const Record& candidate, const Record& held) {
  if (candidate.date() != held.date()) return candidate.date() > held.date();
  if (!std::isfinite(candidate.mileage())) return false;
  return !std::isfinite(held.mileage()) || candidate.mileage() > held.mileage();
}

// A projected date, rounded to the second; empty when it would not fit.
std::optional<long> projected(long from, double days) {
  const double at = static_cast<double>(from) + days * kSecondsPerDay;
  // Well inside the range of long, so the conversion below is defined.
  constexpr double kLimit = 9.0e18;
  if (!std::isfinite(at) || at > kLimit || at < -kLimit) return std::nullopt;
  return static_cast<long>(std::llround(at));
}

due_state state_of(const due_item& item) {
  if (!item.last_date) return due_state::not_done;
  if ((item.days_left && *item.days_left < 0) || (item.distance_left && *item.distance_left < 0)) {
    return due_state::overdue;
  }
  if ((item.days_left && *item.days_left <= kDueSoonDays) ||
      (item.distance_left && *item.distance_left <= kDueSoonDistance)) {
    return due_state::due_soon;
  }
  return due_state::ok;
}

}  // namespace

std::vector<due_item> compute_due_list(std::span<const service_interval> intervals,
                                       std::span<const Record* const> log, long today) {
  std::vector<due_item> items(intervals.size());
  if (intervals.empty()) return items;

  // The last entry of every interval's operation, by its folded name.
  std::unordered_map<std::string, last_entry> wanted;
  for (const service_interval& interval : intervals) wanted.try_emplace(operation_key(interval.operation));
  std::unordered_map<std::string_view, last_entry*> by_spelling;
  for (const Record* record : log) {
    if (record == nullptr) continue;
    last_entry* entry;
    const auto seen = by_spelling.find(record->operation());
    if (seen != by_spelling.end()) {
      entry = seen->second;
    } else {
      const auto found = wanted.find(operation_key(record->operation()));
      entry = found == wanted.end() ? nullptr : &found->second;
      by_spelling.emplace(record->operation(), entry);
    }
    if (entry != nullptr && (entry->record == nullptr || later(*record, *entry->record))) {
      entry->record = record;
    }
  }

  const odometer_summary odometer = summarize_odometer(log);
  const std::optional<long> today_number = local_day_number(today);
  for (std::size_t i = 0; i < intervals.size(); ++i) {
    const service_interval& interval = intervals[i];
    due_item& item = items[i];
    const Record* last = wanted[operation_key(interval.operation)].record;
    if (last == nullptr) continue;
    item.last_date = last->date();
    if (std::isfinite(last->mileage())) item.last_mileage = last->mileage();

    if (interval.months) {
      item.next_date = add_months(last->date(), *interval.months);
      if (item.next_date && today_number) {
        if (const std::optional<long> due_number = local_day_number(*item.next_date)) {
          item.days_left = *due_number - *today_number;
        }
      }
    }
    if (interval.distance && item.last_mileage) {
      const double next = *item.last_mileage + *interval.distance;
      if (std::isfinite(next)) item.next_mileage = next;
    }
    if (item.next_mileage && odometer.current_mileage) {
      const double left = *item.next_mileage - *odometer.current_mileage;
      if (std::isfinite(left)) item.distance_left = left;
    }
    if (item.distance_left && *item.distance_left > 0 && odometer.distance_per_day) {
      item.projected_date =
          projected(*odometer.latest_date, *item.distance_left / *odometer.distance_per_day);
    }
    item.state = state_of(item);
  }
  return items;
}

std::size_t count_due(std::span<const due_item> items) {
  std::size_t count = 0;
  for (const due_item& item : items) {
    if (item.state == due_state::due_soon || item.state == due_state::overdue) ++count;
  }
  return count;
}

}  // namespace tarvik
