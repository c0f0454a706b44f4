#ifndef TARVIK_INSIGHT_STATISTICS_H_
#define TARVIK_INSIGHT_STATISTICS_H_

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "data/record.h"
#include "insight/odometer.h"

// Figures over a set of records, such as the rows a view shows.
//
// How they are measured:
// - The date span is latest date - earliest date, in days of 86,400
//   seconds; a year is 365.2425 days.
// - The distance is the highest odometer reading - the lowest. Only
//   readings count (odometer.h): a mileage of 0, and a reading that goes
//   against the others by date (a typing slip such as 4,200 among
//   50,000s), are left out of every distance figure; the record still
//   counts as an entry, with its cost.
// - Costs are summed in double. A cost that is not a finite number (the log
//   may hold "nan") is left out of every sum; its record still counts as an
//   entry.
// - Costs come in two kinds: fuel, the costs of fill-ups (entries with a
//   quantity, fill_up_quantity() in consumption.h), and other, those of
//   every other entry (services, repairs, fees). Each kind is divided by
//   the same years and the same distance as the total.
// - A figure that would divide by zero (one entry, all dates equal, no
//   distance) or not be finite is empty: no field ever holds inf or NaN.
namespace tarvik {

constexpr double kDaysPerYear = 365.2425;

// The entries of one operation, matched by operation_key().
struct operation_statistics {
  // The spelling of the most recent entry (latest date; of entries of the
  // same date, the one that comes last in the rows given).
  std::string name;
  std::size_t count = 0;
  double total_cost = 0;
  // Between repeats: the operation's date span in days over count - 1, and
  // its distance (highest - lowest reading) over the number of its entries
  // with a reading - 1. Empty for a single entry (the distance also without
  // two readings); zero when the repeats have the same date or mileage.
  std::optional<double> average_distance_interval;
  std::optional<double> average_days_interval;
};

struct log_statistics {
  std::size_t entries = 0;
  double total_cost = 0;
  std::optional<long> earliest_date;  // empty without entries
  std::optional<long> latest_date;
  std::optional<double> span_days;    // latest - earliest, in days
  std::optional<double> distance;     // highest - lowest reading; 0 with one
  std::optional<double> cost_per_year;        // needs span_days > 0
  // distance over the years between the earliest and latest reading; needs
  // readings of two dates
  std::optional<double> distance_per_year;
  std::optional<double> cost_per_thousand;    // per 1,000 units; needs distance > 0
  // The costs by kind; total_cost is their sum.
  std::size_t fill_ups = 0;
  double fuel_cost = 0;
  double other_cost = 0;
  std::optional<double> fuel_cost_per_year;       // as cost_per_year
  std::optional<double> other_cost_per_year;
  std::optional<double> fuel_cost_per_thousand;   // as cost_per_thousand
  std::optional<double> other_cost_per_thousand;
  // One per operation, in the order of each operation's first entry in the
  // rows given.
  std::vector<operation_statistics> operations;
};

// The figures of `rows` (null pointers are skipped), their readings checked
// among themselves (check_readings()). The records are only read, and not
// kept. Linear in the rows, with one hash lookup each, but for checking the
// readings.
log_statistics compute_statistics(std::span<const Record* const> rows);

// The same figures of records given one at a time, for rows not held in
// one list, such as the rows a filter shows of a log whose readings were
// checked as a whole: the readings `left_out` names (check_readings() of a
// log that holds the records) are left out, besides mileages that are no
// reading. The records must outlive the gatherer.
class statistics_gatherer {
 public:
  statistics_gatherer();
  explicit statistics_gatherer(std::span<const left_out_reading> left_out);
  ~statistics_gatherer();
  statistics_gatherer(const statistics_gatherer&) = delete;
  statistics_gatherer& operator=(const statistics_gatherer&) = delete;

  void add(const Record& record);
  log_statistics result() const;

 private:
  struct totals;
  std::unique_ptr<totals> totals_;
};

}  // namespace tarvik

#endif  // TARVIK_INSIGHT_STATISTICS_H_
