#ifndef TARVIK_TESTS_INSIGHT_INSIGHT_SUPPORT_H_
#define TARVIK_TESTS_INSIGHT_INSIGHT_SUPPORT_H_

#include <memory>
#include <string>
#include <vector>

#include "data/record.h"
#include "support/test_support.h"

namespace tarvik::testing {

// The moment of a local date and time (mktime, daylight saving decided by
// the zone).
long local_time(int year, int month, int day, int hour = 12, int minute = 0);

// A log built in a test: the records and the pointers a caller hands over.
class test_log {
 public:
  test_log& add(long date, double mileage, std::string operation, float cost = 0);
  // Gives the record added last these other fields ("fuel", "full", ...).
  test_log& with(std::vector<hash_element> fields);
  const std::vector<const Record*>& rows() const { return rows_; }

 private:
  std::vector<std::unique_ptr<Record>> owned_;
  std::vector<const Record*> rows_;
};


}  // namespace tarvik::testing

#endif  // TARVIK_TESTS_INSIGHT_INSIGHT_SUPPORT_H_
