#ifndef TARVIK_INSIGHT_STATISTICS_H_
#define TARVIK_INSIGHT_STATISTICS_H_

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "data/record.h"

// Figures over a set of records, such as the rows a view shows.
//
// How they are measured:
// - The date span is latest date - earliest date, in days of 86,400
//   seconds; a year is 365.2425 days.
// - The distance is the highest mileage - the lowest, whatever their order:
//   a mileage that goes backwards (a typing slip, an odometer reset) never
//   makes a span negative, and a step back is not counted as distance.
// - Costs are summed in double. A cost or mileage that is not a finite
//   number (the log may hold "nan") is left out of every sum and span; its
//   record still counts as an entry.
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
  // its distance (highest - lowest finite mileage) over the number of its
  // entries with a finite mileage - 1. Empty for a single entry (the
  // distance also without two finite mileages); zero when the repeats have
  // the same date or mileage.
  std::optional<double> average_distance_interval;
  std::optional<double> average_days_interval;
};

struct log_statistics {
  std::size_t entries = 0;
  double total_cost = 0;
  std::optional<long> earliest_date;  // empty without entries
  std::optional<long> latest_date;
  std::optional<double> span_days;    // latest - earliest, in days
  std::optional<double> distance;     // highest - lowest finite mileage
  std::optional<double> cost_per_year;        // needs span_days > 0
  std::optional<double> distance_per_year;    // needs span_days > 0 and a distance
  std::optional<double> cost_per_thousand;    // per 1,000 units; needs distance > 0
  // One per operation, in the order of each operation's first entry in the
  // rows given.
  std::vector<operation_statistics> operations;
};

// The figures of `rows` (null pointers are skipped). The records are only
// read, and not kept. Linear in the rows, with one hash lookup each.
log_statistics compute_statistics(std::span<const Record* const> rows);

// The same figures of records given one at a time, for rows not held in
// one list: result() is compute_statistics() of the records added, in that
// order. The records must outlive the gatherer.
class statistics_gatherer {
 public:
  statistics_gatherer();
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
