#include "insight/insight_support.h"

#include <cstdlib>
#include <ctime>

namespace tarvik::testing {

long local_time(int year, int month, int day, int hour, int minute) {
  std::tm parts{};
  parts.tm_year = year - 1900;
  parts.tm_mon = month - 1;
  parts.tm_mday = day;
  parts.tm_hour = hour;
  parts.tm_min = minute;
  parts.tm_isdst = -1;
  return static_cast<long>(std::mktime(&parts));
}

test_log& test_log::add(long date, double mileage, std::string operation, float cost) {
  auto record = std::make_unique<Record>(static_cast<int>(owned_.size()));
  record->setup(record->identifier(), date, mileage, std::move(operation), "", cost);
  rows_.push_back(record.get());
  owned_.push_back(std::move(record));
  return *this;
}

test_log& test_log::with(std::vector<hash_element> fields) {
  owned_.back()->other_fields(std::move(fields));
  return *this;
}

}  // namespace tarvik::testing
