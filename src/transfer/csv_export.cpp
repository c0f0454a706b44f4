#include "transfer/csv_export.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string_view>

#include "data/number_text.h"
#include "data/replacement_file.h"

namespace tarvik {
namespace {

void append_field(std::string& out, const std::string& text) {
  // A text a spreadsheet would run as a formula is marked as text.
  const std::string_view guard = formula_guarded(text) ? "'" : "";
  if (text.find_first_of(",\"\r\n") == std::string::npos) {
    out += guard;
    out += text;
    return;
  }
  out += '"';
  out += guard;
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void append_date(std::string& out, long date) {
  const std::time_t time = date;
  std::tm parts{};
  if (localtime_r(&time, &parts) == nullptr) {
    // No calendar date: the seconds themselves keep the value.
    out += format_integer(date);
    return;
  }
  char text[64];
  if (parts.tm_hour == 0 && parts.tm_min == 0 && parts.tm_sec == 0) {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", parts.tm_year + 1900, parts.tm_mon + 1,
                  parts.tm_mday);
  } else {
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
  }
  out += text;
}

}  // namespace

bool formula_guarded(std::string_view text) {
  const std::size_t quotes = text.find_first_not_of('\'');
  return quotes != std::string_view::npos &&
         std::string_view("=+-@\t\r").find(text[quotes]) != std::string_view::npos;
}

std::string csv_header() { return "Mileage,Date,Operation,Cost,Notes\r\n"; }

std::vector<std::string> other_field_keys(const std::vector<const Record*>& records) {
  std::vector<std::string> keys;
  for (const Record* record : records) {
    for (const hash_element& field : record->other_fields()) {
      // Few keys, and most records have none: a plain look-up will do.
      if (std::none_of(keys.begin(), keys.end(),
                       [&](const std::string& key) { return same_field_key(key, field.key); })) {
        keys.push_back(field.key);
      }
    }
  }
  return keys;
}

std::string csv_header(const std::vector<std::string>& keys) {
  std::string out = csv_header();
  out.resize(out.size() - 2);
  for (const std::string& key : keys) {
    out += ',';
    append_field(out, key);
  }
  out += "\r\n";
  return out;
}

void append_csv_row(std::string& out, const Record& record, const std::vector<std::string>& keys) {
  append_csv_row(out, record);
  if (keys.empty()) return;
  out.resize(out.size() - 2);
  for (const std::string& key : keys) {
    out += ',';
    if (const std::string* value = record.other_field(key)) append_field(out, *value);
  }
  out += "\r\n";
}

void append_csv_row(std::string& out, const Record& record) {
  out += format_exact(record.mileage());
  out += ',';
  append_date(out, record.date());
  out += ',';
  append_field(out, record.operation());
  out += ',';
  out += format_exact(record.cost());
  out += ',';
  append_field(out, record.notes());
  out += "\r\n";
}

std::string csv_of(const std::vector<const Record*>& records) {
  const std::vector<std::string> keys = other_field_keys(records);
  std::string out = csv_header(keys);
  out.reserve(out.size() + records.size() * 64);
  for (const Record* record : records) append_csv_row(out, *record, keys);
  return out;
}

bool write_csv(const std::string& path, const std::vector<const Record*>& records,
               std::string& error) {
  return write_whole_file(path, csv_of(records), error);
}

}  // namespace tarvik
