#include "data/record.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "data/number_text.h"
#include "data/text_escape.h"

namespace tarvik {
namespace {

constexpr const char* kDefaultOperation = "not specified";

bool key_is(const hash_element& pair, const char* name) {
  return std::strcmp(pair.key.c_str(), name) == 0;
}

// Text values end at the first NUL byte, as C strings would.
std::string text_of(const std::string& value) { return std::string(value.c_str()); }

// The locale's tolower would fold bytes above 127, and in some locales
// even "I"; the keys we compare against are plain ASCII.
char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string format_date(long date) {
  const std::time_t time = date;
  std::tm parts{};
  if (localtime_r(&time, &parts) == nullptr) return "(error)";
  char buffer[256];
  std::snprintf(buffer, 255, "%04d-%02d-%02d", parts.tm_year + 1900, parts.tm_mon + 1,
                parts.tm_mday);
  return buffer;
}

}  // namespace

Record::Record(int identifier) {
  setup(identifier, static_cast<long>(std::time(nullptr)), 0.0, kDefaultOperation, "", 0.0f);
}

Record::Record(std::vector<hash_element> pairs) {
  int identifier = -1;
  long date = static_cast<long>(std::time(nullptr));
  double mileage = 0.0;
  std::string operation = kDefaultOperation;
  std::string notes;
  float cost = 0.0f;
  for (const hash_element& pair : pairs) {
    const char* value = pair.value.c_str();
    if (key_is(pair, "identifier")) {
      identifier = parse_int(value);
    } else if (key_is(pair, "date")) {
      date = parse_long(value);
    } else if (key_is(pair, "mileage")) {
      mileage = parse_double(value);
    } else if (key_is(pair, "operation")) {
      operation = text_of(pair.value);
    } else if (key_is(pair, "operation*")) {
      operation = unescape_text(text_of(pair.value));
    } else if (key_is(pair, "notes")) {
      notes = text_of(pair.value);
    } else if (key_is(pair, "notes*")) {
      notes = unescape_text(text_of(pair.value));
    } else if (key_is(pair, "cost")) {
      cost = static_cast<float>(parse_double(value));
    }
  }
  setup(identifier, date, mileage, std::move(operation), std::move(notes), cost);
}

void Record::setup(int identifier, long date, double mileage, std::string operation,
                   std::string notes, float cost) {
  identifier_ = identifier;
  date_ = date;
  mileage_ = mileage;
  operation_ = std::move(operation);
  notes_ = std::move(notes);
  cost_ = cost;
}

std::string Record::value(std::string key) const {
  for (char& c : key) c = ascii_lower(c);
  const char* name = key.c_str();
  if (std::strcmp(name, "operation") == 0) return operation_;
  if (std::strcmp(name, "notes") == 0) return notes_;
  if (std::strcmp(name, "cost") == 0) return format_fixed(static_cast<double>(cost_), 2);
  if (std::strcmp(name, "identifier") == 0) return format_integer(identifier_);
  if (std::strcmp(name, "date") == 0) return format_date(date_);
  if (std::strcmp(name, "mileage") == 0) return format_fixed(mileage_, 1);
  return "(unknown)";
}

}  // namespace tarvik
