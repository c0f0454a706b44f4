#ifndef TARVIK_INSIGHT_ODOMETER_H_
#define TARVIK_INSIGHT_ODOMETER_H_

#include <optional>
#include <span>
#include <vector>

#include "data/record.h"

// Where the vehicle stands according to its whole log, and which entries'
// mileages say so.
//
// Readings. An entry's mileage is an odometer reading when it is a finite
// number above zero: 0 is what New offers, and what an insurance or tax
// entry is left at. Of the readings, those that go against the others by
// date are left out as well (a typo such as 4,200 among 50,000s, or
// 500,000):
// - The readings are put in order of their local calendar day. Readings of
//   one day are in no order among themselves (the time of day is not
//   shown, nor which was typed first), so they never go against each other.
// - The readings kept are the most that stand together without the mileage
//   going down from one day to a later one (a longest non-decreasing run
//   by day). Every other reading is left out: "lower than the readings
//   before it" when a kept reading of an earlier day is higher, else
//   "higher than the readings after it". A single typo against the order
//   (a high one at the start or in the middle, a low one in the middle or
//   at the end) is thus the one left out, and so is each of a few typos
//   far apart.
// - When several choices keep as many readings, the one that covers the
//   least distance is kept, of the choice that keeps the earliest-dated
//   readings and the one that keeps the latest (the latest on a tie): a
//   typo stretches the distance. So of 50,000, 4,200, 51,000 the 4,200 is
//   left out, and of 50,000, 500,000, 51,000 the 500,000.
// - A typo that keeps the order cannot be told from a true reading by
//   order: a low one before every other reading stays; a high one after
//   every other stays until a later reading shows it up.
// - An odometer replaced or turned back (every reading after it lower) is
//   not recognised: the fewer readings of the two sides are left out.
// A log whose readings already rise with their dates costs one linear pass;
// otherwise the readings are sorted (n log n) and each is broken down into
// its local day once.
namespace tarvik {

// Entries at most this many local calendar days before the latest reading
// set the recent pace.
constexpr long kPaceWindowDays = 365;

// Whether a mileage is an odometer reading: finite and above zero.
bool is_reading(double mileage);

enum class reading_fault {
  no_reading,         // mileage 0 (or below, or not a number)
  lower_than_before,  // lower than a kept reading of an earlier day
  higher_than_after,  // higher than a kept reading of a later day
};

// An entry whose mileage the odometer figures leave out.
struct left_out_reading {
  const Record* record = nullptr;
  reading_fault why = reading_fault::no_reading;
};

// The entries of `log` left out of the odometer figures, in the order of
// `log` (null pointers are skipped). See the rule above.
std::vector<left_out_reading> check_readings(std::span<const Record* const> log);

struct odometer_summary {
  // The date of the latest reading kept (a date in the future counts as
  // latest too); empty without one.
  std::optional<long> reading_date;
  // The highest reading kept: that of the latest day that has one, as kept
  // readings never go down.
  std::optional<double> current_mileage;
  // Distance per day over the readings kept dated within kPaceWindowDays
  // local calendar days before the day of the latest reading (that day
  // itself and the latest included, at any time of day, whatever daylight
  // saving did meanwhile): their highest - lowest mileage over the time
  // between the earliest and latest of them, in days of 86,400 seconds.
  // Empty with fewer than two such readings, when they share one moment,
  // or when they cover no distance; otherwise above zero.
  std::optional<double> distance_per_day;
};

// The summary of `log` with its readings checked as above. Null pointers
// are skipped; the records are only read.
odometer_summary summarize_odometer(std::span<const Record* const> log);
// The same, with the readings that go against the others given (as
// check_readings() of the same log, or of a larger one holding it, gave
// them); entries that are no reading are left out by their mileage. Linear,
// with a binary search a reading when `left_out` names any.
odometer_summary summarize_odometer(std::span<const Record* const> log,
                                    std::span<const left_out_reading> left_out);

// The records of `left_out` that are readings going against the others,
// sorted by address, for a quick look-up.
class readings_left_out {
 public:
  readings_left_out() = default;
  explicit readings_left_out(std::span<const left_out_reading> left_out);
  // Whether `record`'s mileage counts for the odometer figures.
  bool counts(const Record& record) const;

 private:
  std::vector<const Record*> records_;
};

}  // namespace tarvik

#endif  // TARVIK_INSIGHT_ODOMETER_H_
