#include "crash/generations.h"

#include <memory>

#include "data/log_format.h"

namespace tarvik::testing {
namespace {

constexpr int kBaseRecords = 3000;
const std::string kMarker = "generation ";

int record_count(long generation) { return kBaseRecords + static_cast<int>(generation % 5); }

void set_fields(Record& record, long generation, int index) {
  record.date(1000000000L + index * 86400L);
  record.mileage(10000.0 + index * 10 + static_cast<double>(generation % 100));
  record.operation(index % 2 ? "Fuel" : "Oil change");
  record.notes(index == 0 ? kMarker + std::to_string(generation)
                          : "note " + std::to_string(index) + " of " + std::to_string(generation));
  record.cost(static_cast<float>((index + generation) % 1000) / 4.0f);
}

}  // namespace

void make_generation(DataSource& store, long generation) {
  const int count = record_count(generation);
  for (const int id : store.identifiers()) {
    if (id >= count) std::unique_ptr<Record>(store.remove(id));
  }
  for (int i = 0; i < count; ++i) {
    Record* record = store.record(i);
    if (record == nullptr) {
      record = new Record(i);
      store.record(record);
    }
    set_fields(*record, generation, i);
  }
}

std::string generation_text(long generation) {
  std::string text;
  for (int i = 0; i < record_count(generation); ++i) {
    Record record(i);
    set_fields(record, generation, i);
    append_block(text, i, record);
  }
  return text;
}

long generation_of(DataSource& store) {
  const Record* first = store.record(0);
  if (first == nullptr || first->notes().rfind(kMarker, 0) != 0) return -1;
  return std::stol(first->notes().substr(kMarker.size()));
}

}  // namespace tarvik::testing
