#include "insight/odometer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "data/calendar.h"

namespace tarvik {
namespace {

struct reading {
  long date = 0;
  long day = 0;  // local day number; filled in only when needed
  double mileage = 0;
};

// Whether the readings, in the order of `order`, never go down while their
// dates go on.
bool rising(const std::vector<reading>& readings, const std::vector<std::size_t>& order) {
  for (std::size_t k = 1; k < order.size(); ++k) {
    const reading& before = readings[order[k - 1]];
    const reading& after = readings[order[k]];
    if (after.date < before.date || after.mileage < before.mileage) return false;
  }
  return true;
}

// The fault of every reading, in `readings`' order, by the rule in the
// header; a reading kept is marked no_reading (which no reading can be).
// Empty when every reading is kept.
std::vector<reading_fault> faults_of(std::vector<reading>& readings) {
  // Most logs are kept in date order and rise: nothing to sort.
  bool clean = true;
  for (std::size_t k = 1; k < readings.size() && clean; ++k) {
    clean = readings[k].date >= readings[k - 1].date && readings[k].mileage >= readings[k - 1].mileage;
  }
  if (clean) return {};
  std::vector<reading_fault> faults(readings.size(), reading_fault::no_reading);
  std::vector<std::size_t> order(readings.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
  {
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      if (readings[a].date != readings[b].date) return readings[a].date < readings[b].date;
      return readings[a].mileage < readings[b].mileage;
    });
    if (rising(readings, order)) return {};
  }

  // By local day, then mileage: readings of one day are in no order.
  for (reading& r : readings) {
    const std::optional<long> day = local_day_number(r.date);
    r.day = day ? *day : static_cast<long>(std::floor(static_cast<double>(r.date) / kSecondsPerDay));
  }
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    if (readings[a].day != readings[b].day) return readings[a].day < readings[b].day;
    if (readings[a].mileage != readings[b].mileage) return readings[a].mileage < readings[b].mileage;
    return a < b;
  });
  const std::size_t n = order.size();
  std::vector<double> mileages(n);
  for (std::size_t k = 0; k < n; ++k) mileages[k] = readings[order[k]].mileage;
  // upto[k]: the length of the longest non-decreasing run that ends at k
  // (a patience sort); from[k]: that of the longest that starts there (the
  // same from the back, on the negated mileages).
  const auto runs = [n](const std::vector<double>& values) {
    std::vector<std::size_t> lengths(n);
    std::vector<double> tails;
    for (std::size_t k = 0; k < n; ++k) {
      const auto at = std::upper_bound(tails.begin(), tails.end(), values[k]);
      lengths[k] = static_cast<std::size_t>(at - tails.begin()) + 1;
      if (at == tails.end()) {
        tails.push_back(values[k]);
      } else {
        *at = values[k];
      }
    }
    return lengths;
  };
  const std::vector<std::size_t> upto = runs(mileages);
  std::vector<double> backwards(n);
  for (std::size_t k = 0; k < n; ++k) backwards[k] = -mileages[n - 1 - k];
  std::vector<std::size_t> from = runs(backwards);
  std::reverse(from.begin(), from.end());
  const std::size_t longest = n == 0 ? 0 : *std::max_element(upto.begin(), upto.end());

  // Two longest runs: the earliest readings that still leave one, and the
  // latest. Of the two, the one covering less distance is kept.
  std::vector<char> earliest(n, 0);
  std::vector<char> latest(n, 0);
  double earliest_low = 0;
  double earliest_high = 0;
  double latest_low = 0;
  double latest_high = 0;
  std::size_t needed = longest;
  double bound = -std::numeric_limits<double>::infinity();
  for (std::size_t k = 0; k < n && needed > 0; ++k) {
    if (mileages[k] >= bound && from[k] >= needed) {
      earliest[k] = 1;
      if (needed == longest) earliest_low = mileages[k];
      earliest_high = bound = mileages[k];
      --needed;
    }
  }
  needed = longest;
  bound = std::numeric_limits<double>::infinity();
  for (std::size_t k = n; k-- > 0 && needed > 0;) {
    if (mileages[k] <= bound && upto[k] >= needed) {
      latest[k] = 1;
      if (needed == longest) latest_high = mileages[k];
      latest_low = bound = mileages[k];
      --needed;
    }
  }
  const std::vector<char>& kept =
      earliest_high - earliest_low < latest_high - latest_low ? earliest : latest;
  double highest_kept = -std::numeric_limits<double>::infinity();
  for (std::size_t k = 0; k < n; ++k) {
    const double mileage = mileages[k];
    if (kept[k] != 0) {
      highest_kept = std::max(highest_kept, mileage);
      continue;
    }
    // A kept reading before it in this order that is higher is of an
    // earlier day (one day's readings come lowest first); without one, a
    // kept reading of a later day is lower, or it would have been kept.
    faults[order[k]] = highest_kept > mileage ? reading_fault::lower_than_before
                                              : reading_fault::higher_than_after;
  }
  return faults;
}

}  // namespace

bool is_reading(double mileage) { return std::isfinite(mileage) && mileage > 0; }

std::vector<left_out_reading> check_readings(std::span<const Record* const> log) {
  // One pass first, without copying: most logs are in date order and rise.
  std::vector<left_out_reading> left_out;
  const Record* previous = nullptr;
  bool clean = true;
  for (const Record* record : log) {
    if (record == nullptr) continue;
    if (!is_reading(record->mileage())) {
      left_out.push_back({record, reading_fault::no_reading});
      continue;
    }
    if (previous != nullptr &&
        (record->date() < previous->date() || record->mileage() < previous->mileage())) {
      clean = false;
      break;
    }
    previous = record;
  }
  if (clean) return left_out;
  left_out.clear();

  std::vector<reading> readings;
  readings.reserve(log.size());
  for (const Record* record : log) {
    if (record != nullptr && is_reading(record->mileage())) {
      readings.push_back({record->date(), 0, record->mileage()});
    }
  }
  const std::vector<reading_fault> faults = faults_of(readings);
  std::size_t k = 0;
  for (const Record* record : log) {
    if (record == nullptr) continue;
    if (!is_reading(record->mileage())) {
      left_out.push_back({record, reading_fault::no_reading});
    } else if (!faults.empty() && faults[k] != reading_fault::no_reading) {
      left_out.push_back({record, faults[k]});
    }
    if (is_reading(record->mileage())) ++k;
  }
  return left_out;
}

readings_left_out::readings_left_out(std::span<const left_out_reading> left_out) {
  for (const left_out_reading& entry : left_out) {
    if (entry.why != reading_fault::no_reading) records_.push_back(entry.record);
  }
  std::sort(records_.begin(), records_.end());
}

bool readings_left_out::counts(const Record& record) const {
  return is_reading(record.mileage()) &&
         (records_.empty() || !std::binary_search(records_.begin(), records_.end(), &record));
}

odometer_summary summarize_odometer(std::span<const Record* const> log) {
  return summarize_odometer(log, check_readings(log));
}

odometer_summary summarize_odometer(std::span<const Record* const> log,
                                    std::span<const left_out_reading> left_out) {
  const readings_left_out kept(left_out);
  odometer_summary summary;
  for (const Record* record : log) {
    if (record == nullptr || !kept.counts(*record)) continue;
    if (!summary.reading_date || record->date() > *summary.reading_date) summary.reading_date = record->date();
    if (!summary.current_mileage || record->mileage() > *summary.current_mileage) {
      summary.current_mileage = record->mileage();
    }
  }
  if (!summary.reading_date) return summary;

  // The window by local days. The time of day and a change of the zone's
  // offset (under a day) move a day count by less than two from the days of
  // 86,400 seconds, so only readings near the window's first day need
  // breaking down. In double: a date near
  // the ends of time_t must not wrap around.
  const double latest = static_cast<double>(*summary.reading_date);
  const std::optional<long> latest_day = local_day_number(*summary.reading_date);
  const auto inside = [&](long date) {
    const double days_before = (latest - static_cast<double>(date)) / kSecondsPerDay;
    if (days_before <= kPaceWindowDays - 3) return true;
    if (days_before >= kPaceWindowDays + 3 || !latest_day) return days_before <= kPaceWindowDays;
    const std::optional<long> day = local_day_number(date);
    return day && *latest_day - *day <= kPaceWindowDays;
  };
  std::size_t count = 0;
  long earliest = 0;
  long last = 0;
  double low = 0;
  double high = 0;
  for (const Record* record : log) {
    if (record == nullptr || !kept.counts(*record) || !inside(record->date())) continue;
    const double mileage = record->mileage();
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
