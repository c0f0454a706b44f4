#include "insight/due_list.h"

#include <algorithm>
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
// the same date and a higher mileage (a reading kept beats one that is not).
bool later(const Record& candidate, const Record& held, const readings_left_out& readings) {
  if (candidate.date() != held.date()) return candidate.date() > held.date();
  if (!readings.counts(candidate)) return false;
  return !readings.counts(held) || candidate.mileage() > held.mileage();
}

// 10000-01-01 as a local day number: the first day without a calendar date
// of four digits.
constexpr long kFirstDayPast9999 = 2932897;

// A projected date, rounded to the second; empty when it has no calendar
// date to show.
std::optional<long> projected(long from, double days) {
  const double at = static_cast<double>(from) + days * kSecondsPerDay;
  // Well inside the range of long, so the conversion below is defined.
  constexpr double kLimit = 9.0e18;
  if (!std::isfinite(at) || at > kLimit || at < -kLimit) return std::nullopt;
  const long date = static_cast<long>(std::llround(at));
  const std::optional<long> day = local_day_number(date);
  if (!day || *day >= kFirstDayPast9999) return std::nullopt;
  return date;
}

due_state state_of(const due_item& item, const std::optional<long>& today_number) {
  if (!item.last_date) return due_state::not_done;
  if ((item.days_left && *item.days_left < 0) || (item.distance_left && *item.distance_left < 0)) {
    return due_state::overdue;
  }
  if (item.projected_date && today_number) {
    const std::optional<long> day = local_day_number(*item.projected_date);
    if (day && *day <= *today_number) return due_state::due_estimated;
  }
  if ((item.days_left && item.soon_days && *item.days_left <= *item.soon_days) ||
      (item.distance_left && item.soon_distance && *item.distance_left <= *item.soon_distance)) {
    return due_state::due_soon;
  }
  return due_state::ok;
}

// Which limit comes first, and when.
void set_due(due_item& item) {
  if (item.distance_left && *item.distance_left <= 0) {
    item.due_by = due_limit::distance;
    return;
  }
  const std::optional<long> date_day =
      item.next_date ? local_day_number(*item.next_date) : std::nullopt;
  const std::optional<long> projected_day =
      item.projected_date ? local_day_number(*item.projected_date) : std::nullopt;
  if (projected_day && (!date_day || *projected_day < *date_day)) {
    item.due_by = due_limit::distance;
    item.due_date = item.projected_date;
  } else if (item.next_date) {
    item.due_by = due_limit::date;
    item.due_date = item.next_date;
  }
}

}  // namespace

std::vector<due_item> compute_due_list(std::span<const service_interval> intervals,
                                       std::span<const Record* const> log, long today) {
  if (intervals.empty()) return {};
  return compute_due_list(intervals, log, check_readings(log), today);
}

std::vector<due_item> compute_due_list(std::span<const service_interval> intervals,
                                       std::span<const Record* const> log,
                                       std::span<const left_out_reading> left_out, long today) {
  std::vector<due_item> items(intervals.size());
  if (intervals.empty()) return items;
  const readings_left_out readings(left_out);

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
    if (entry != nullptr && (entry->record == nullptr || later(*record, *entry->record, readings))) {
      entry->record = record;
    }
  }

  const odometer_summary odometer = summarize_odometer(log, left_out);
  const std::optional<long> today_number = local_day_number(today);
  for (std::size_t i = 0; i < intervals.size(); ++i) {
    const service_interval& interval = intervals[i];
    due_item& item = items[i];
    const Record* last = wanted[operation_key(interval.operation)].record;
    if (last == nullptr) continue;
    item.last_date = last->date();
    if (readings.counts(*last)) item.last_mileage = last->mileage();

    if (interval.months) {
      item.next_date = add_months(last->date(), *interval.months);
      if (item.next_date && today_number) {
        if (const std::optional<long> due_number = local_day_number(*item.next_date)) {
          item.days_left = *due_number - *today_number;
        }
      }
      const std::optional<long> first = local_day_number(last->date());
      const std::optional<long> end = item.next_date ? local_day_number(*item.next_date) : std::nullopt;
      if (first && end) {
        item.soon_days = std::min(kDueSoonDays, std::lround(static_cast<double>(*end - *first) / 10));
      }
    }
    if (interval.distance) item.soon_distance = std::min(kDueSoonDistance, *interval.distance / 10);
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
          projected(*odometer.reading_date, *item.distance_left / *odometer.distance_per_day);
    }
    set_due(item);
    item.state = state_of(item, today_number);
  }
  return items;
}

bool is_due(due_state state) {
  return state == due_state::due_soon || state == due_state::due_estimated ||
         state == due_state::overdue;
}

std::size_t count_due(std::span<const due_item> items) {
  std::size_t count = 0;
  for (const due_item& item : items) {
    if (is_due(item.state)) ++count;
  }
  return count;
}

}  // namespace tarvik
