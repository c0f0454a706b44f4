#include "data/calendar.h"

#include <climits>
#include <ctime>

namespace tarvik {
namespace {

static_assert(sizeof(std::time_t) == sizeof(long), "record dates are longs holding a time_t");

bool leap_year(long long year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(long long year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 1 && leap_year(year) ? 29 : kDays[month];
}

// Days from 1970-01-01 to the civil date (proleptic Gregorian); H. Hinnant's
// algorithm, exact over the whole range of tm_year.
long long days_from_civil(long long year, unsigned month, unsigned day) {
  year -= month <= 2;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const auto year_of_era = static_cast<unsigned>(year - era * 400);
  const unsigned day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const unsigned day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + static_cast<long long>(day_of_era) - 719468;
}

}  // namespace

std::optional<long> add_months(long date, long months) {
  const std::time_t time = date;
  std::tm parts{};
  if (localtime_r(&time, &parts) == nullptr) return std::nullopt;
  // Months are counted from year 1900 in a wide type: no step can overflow.
  constexpr long long kLimit = 1LL << 40;
  if (months > kLimit || months < -kLimit) return std::nullopt;
  const long long index = static_cast<long long>(parts.tm_year) * 12 + parts.tm_mon + months;
  long long year = index / 12;
  long long month = index % 12;
  if (month < 0) {
    month += 12;
    --year;
  }
  if (year > INT_MAX || year < INT_MIN) return std::nullopt;
  parts.tm_year = static_cast<int>(year);
  parts.tm_mon = static_cast<int>(month);
  const int last_day = days_in_month(year + 1900, static_cast<int>(month));
  if (parts.tm_mday > last_day) parts.tm_mday = last_day;
  parts.tm_isdst = -1;
  // mktime returns -1 both for an error and for 1969-12-31 23:59:59 UTC; it
  // fills in the week day only when it succeeds.
  parts.tm_wday = -1;
  const std::time_t result = std::mktime(&parts);
  if (parts.tm_wday == -1) return std::nullopt;
  return static_cast<long>(result);
}

std::optional<long> local_day_number(long date) {
  const std::time_t time = date;
  std::tm parts{};
  if (localtime_r(&time, &parts) == nullptr) return std::nullopt;
  return static_cast<long>(days_from_civil(static_cast<long long>(parts.tm_year) + 1900,
                                           static_cast<unsigned>(parts.tm_mon + 1),
                                           static_cast<unsigned>(parts.tm_mday)));
}

std::optional<long> local_time(long year, long month, long day, long hour, long minute,
                               long second) {
  if (month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 ||
      minute > 59 || second < 0 || second > 60 || year < INT_MIN + 1900L ||
      year > INT_MAX) {
    return std::nullopt;
  }
  if (day > days_in_month(year, static_cast<int>(month - 1))) return std::nullopt;
  // The same clock reading in UTC, less the zone's offset: the offset a day
  // before or a day after (no zone changes twice within two days). Offsets
  // come from localtime_r, which (unlike mktime) reads the zone once; a
  // candidate counts only when it reads back as the time asked for. When
  // both do (the hour a change repeats), the earlier, as mktime has it.
  const long long as_utc =
      days_from_civil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * kSecondsPerDay +
      hour * 3600 + minute * 60 + second;
  std::optional<long> found;
  for (const long long near : {as_utc - kSecondsPerDay, as_utc + kSecondsPerDay}) {
    const std::time_t at = static_cast<std::time_t>(near);
    std::tm there{};
    if (localtime_r(&at, &there) == nullptr) continue;
    const std::time_t candidate = static_cast<std::time_t>(as_utc - there.tm_gmtoff);
    std::tm back{};
    if (localtime_r(&candidate, &back) != nullptr && back.tm_year + 1900L == year &&
        back.tm_mon + 1L == month && back.tm_mday == day && back.tm_hour == hour &&
        back.tm_min == minute && back.tm_sec == second) {
      if (!found || candidate < *found) found = static_cast<long>(candidate);
    }
  }
  if (found) return found;
  // In a gap, or beyond what localtime_r breaks down: mktime decides.
  std::tm parts{};
  parts.tm_year = static_cast<int>(year - 1900);
  parts.tm_mon = static_cast<int>(month - 1);
  parts.tm_mday = static_cast<int>(day);
  parts.tm_hour = static_cast<int>(hour);
  parts.tm_min = static_cast<int>(minute);
  parts.tm_sec = static_cast<int>(second);
  parts.tm_isdst = -1;
  parts.tm_wday = -1;
  const std::time_t result = std::mktime(&parts);
  if (parts.tm_wday == -1) return std::nullopt;
  return static_cast<long>(result);
}

}  // namespace tarvik
