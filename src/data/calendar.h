#ifndef TARVIK_DATA_CALENDAR_H_
#define TARVIK_DATA_CALENDAR_H_

#include <optional>

// Calendar arithmetic on record dates (seconds since the epoch, as time_t),
// in the process's local time zone (TZ, as localtime_r and mktime see it).
namespace tarvik {

constexpr long kSecondsPerDay = 86400;

// The date `months` calendar months after `date` (before it when negative),
// at the same local time of day. A day the target month lacks is clamped to
// its last day: Jan 31 + 1 month is Feb 28 (29 in a leap year). A local
// time that falls in a daylight-saving gap moves forward as mktime moves
// it. Empty when the result has no representation.
std::optional<long> add_months(long date, long months);

// The local calendar date of `date` as a day count: 0 for 1970-01-01,
// negative before. Two dates are N days apart when their day numbers
// differ by N, however long those local days were. Empty when the C
// library cannot break the date down.
std::optional<long> local_day_number(long date);

// The moment a local date and time of day stands for (month 1 to 12,
// second 0 to 60), as mktime gives it with the zone's daylight-saving rule
// for that day; a time in a daylight-saving gap moves forward, and a leap
// second rolls over, as mktime has them. Empty when the date does not exist (31 April) or has no
// representation. Unlike mktime, it does not look at the time-zone file
// on every call, so converting a date a row of a large file costs little.
std::optional<long> local_time(long year, long month, long day, long hour, long minute,
                               long second);

}  // namespace tarvik

#endif  // TARVIK_DATA_CALENDAR_H_
