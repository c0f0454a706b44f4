#include "data/record.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "data/number_text.h"
#include "data/text_escape.h"

namespace tarvik {
namespace {

constexpr const char* kDefaultOperation = "not specified";

// Blanks, tabs and line ends around a key are layout, not part of it.
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Text values end at the first NUL byte, as C strings would.
std::string text_of(std::string&& value) {
  if (const std::size_t nul = value.find('\0'); nul != std::string::npos) value.resize(nul);
  return std::move(value);
}

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

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0 || (a != a && b != b); }
bool same_bits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0 || (a != a && b != b); }

bool same_text(const std::vector<hash_element>& a, const std::vector<hash_element>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const hash_element& x, const hash_element& y) {
                      return x.key == y.key && x.value == y.value;
                    });
}

const std::vector<hash_element>& empty_fields() {
  static const std::vector<hash_element> none;
  return none;
}

// The known key `key` names, in its written form; empty for any other key.
std::string_view known_key(std::string_view key) {
  if (key.size() < 4 || key.size() > 8) return {};
  char folded[8];
  for (std::size_t i = 0; i < key.size(); ++i) folded[i] = ascii_lower(key[i]);
  const std::string_view name(folded, key.size());
  for (const std::string_view known : {kFuelKey, kFullKey, kPriceKey, kFuelTypeKey}) {
    if (name == known) return known;
  }
  return {};
}

}  // namespace

bool same_field_key(std::string_view a, std::string_view b) {
  if (a == b) return true;
  const std::string_view known = known_key(a);
  return !known.empty() && known == known_key(b);
}

bool usable_field_key(std::string_view key) {
  if (key.empty() || is_blank(key.front()) || is_blank(key.back())) return false;
  if (key.front() == '#' || key.back() == '*') return false;
  if (key.find_first_of(std::string_view(";=<\r\n\0", 6)) != std::string_view::npos) return false;
  return field_named(key) == record_field::none;
}

record_field field_named(std::string_view key) {
  // Keys as the writer writes them, first: this runs for every item read.
  switch (key.size()) {
    case 4:
      if (key == "cost") return record_field::cost;
      if (key == "date") return record_field::date;
      break;
    case 5:
      if (key == "notes") return record_field::notes;
      break;
    case 7:
      if (key == "mileage") return record_field::mileage;
      break;
    case 9:
      if (key == "operation") return record_field::operation;
      break;
    case 10:
      if (key == "identifier") return record_field::identifier;
      break;
    default:
      break;
  }
  // A key is a C string to the reader: it ends at a NUL byte.
  key = key.substr(0, std::min(key.find('\0'), key.size()));
  if (key == "identifier") return record_field::identifier;
  while (!key.empty() && is_blank(key.front())) key.remove_prefix(1);
  while (!key.empty() && is_blank(key.back())) key.remove_suffix(1);
  if (key.size() < 4 || key.size() > 10) return record_field::none;
  char folded[10];
  for (std::size_t i = 0; i < key.size(); ++i) folded[i] = ascii_lower(key[i]);
  const std::string_view name(folded, key.size());
  if (name == "date") return record_field::date;
  if (name == "mileage") return record_field::mileage;
  if (name == "operation") return record_field::operation;
  if (name == "operation*") return record_field::operation_escaped;
  if (name == "notes") return record_field::notes;
  if (name == "notes*") return record_field::notes_escaped;
  if (name == "cost") return record_field::cost;
  return record_field::none;
}

Record::Record(int identifier) {
  assign(identifier, static_cast<long>(std::time(nullptr)), 0.0, kDefaultOperation, "", 0.0f);
}

Record::Record(std::vector<hash_element> pairs) { read(pairs); }

std::unique_ptr<Record> Record::copy_as(int identifier) const {
  auto copy = std::make_unique<Record>(identifier);
  copy->setup(identifier, date_, mileage_, operation_, notes_, cost_);
  copy->other_fields(other_fields());
  copy->clear_modified();
  return copy;
}

std::unique_ptr<Record> Record::taking_texts(std::vector<hash_element>& pairs) {
  std::unique_ptr<Record> record(new Record(no_fields{}));
  record->read(pairs);
  return record;
}

void Record::read(std::vector<hash_element>& pairs) {
  int identifier = -1;
  long date = static_cast<long>(std::time(nullptr));
  double mileage = 0.0;
  std::string operation = kDefaultOperation;
  std::string notes;
  float cost = 0.0f;
  std::vector<hash_element> others;
  for (hash_element& pair : pairs) {
    const char* value = pair.value.c_str();
    switch (field_named(pair.key)) {
      case record_field::identifier: identifier = parse_int(value); break;
      case record_field::date: date = parse_long(value); break;
      case record_field::mileage: mileage = parse_double(value); break;
      case record_field::operation: operation = text_of(std::move(pair.value)); break;
      case record_field::operation_escaped: operation = unescape_text(text_of(std::move(pair.value))); break;
      case record_field::notes: notes = text_of(std::move(pair.value)); break;
      case record_field::notes_escaped: notes = unescape_text(text_of(std::move(pair.value))); break;
      case record_field::cost: cost = static_cast<float>(parse_double(value)); break;
      case record_field::none: {
        std::string_view key = pair.key;
        key = key.substr(0, std::min(key.find('\0'), key.size()));
        while (!key.empty() && is_blank(key.front())) key.remove_prefix(1);
        while (!key.empty() && is_blank(key.back())) key.remove_suffix(1);
        if (key.empty()) break;
        std::string value = text_of(std::move(pair.value));
        if (key.size() > 1 && key.back() == '*') {
          key.remove_suffix(1);
          value = unescape_text(value);
        }
        others.push_back({std::string(key), std::move(value)});
        break;
      }
    }
  }
  assign(identifier, date, mileage, std::move(operation), std::move(notes), cost);
  if (!others.empty()) others_ = std::make_unique<std::vector<hash_element>>(std::move(others));
}

const std::vector<hash_element>& Record::other_fields() const {
  return others_ != nullptr ? *others_ : empty_fields();
}

void Record::other_fields(std::vector<hash_element> fields) {
  if (same_text(other_fields(), fields)) return;
  keep_original();
  set_others(std::move(fields));
}

void Record::set_others(std::vector<hash_element> fields) {
  if (fields.empty()) {
    others_.reset();
  } else {
    others_ = std::make_unique<std::vector<hash_element>>(std::move(fields));
  }
}

const std::string* Record::other_field(std::string_view key) const {
  const std::vector<hash_element>& fields = other_fields();
  if (fields.empty()) return nullptr;
  // same_field_key, with `key` looked up once: the statistics ask this of
  // every record.
  const std::string_view known = known_key(key);
  const auto names_known = [known](std::string_view name) {
    if (known.empty() || name.size() != known.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
      if (ascii_lower(name[i]) != known[i]) return false;
    }
    return true;
  };
  for (auto it = fields.rbegin(); it != fields.rend(); ++it) {
    if (it->key == key || names_known(it->key)) return &it->value;
  }
  return nullptr;
}

void Record::other_field(std::string_view key, std::string value) {
  std::vector<hash_element> fields = other_fields();
  auto last = fields.end();
  for (auto it = fields.begin(); it != fields.end(); ++it) {
    if (same_field_key(it->key, key)) last = it;
  }
  if (last != fields.end()) {
    last->value = std::move(value);
  } else {
    fields.push_back({std::string(key), std::move(value)});
  }
  other_fields(std::move(fields));
}

void Record::remove_other_field(std::string_view key) {
  std::vector<hash_element> fields = other_fields();
  fields.erase(std::remove_if(fields.begin(), fields.end(),
                              [key](const hash_element& field) { return same_field_key(field.key, key); }),
               fields.end());
  other_fields(std::move(fields));
}

bool Record::same_other_fields(const Record& other) const {
  return same_text(other_fields(), other.other_fields());
}

bool Record::same_value(double a, double b) { return same_bits(a, b); }
bool Record::same_value(float a, float b) { return same_bits(a, b); }

bool Record::same_field(const Record& other, record_field field) const {
  switch (field) {
    case record_field::date: return date_ == other.date_;
    case record_field::mileage: return same_bits(mileage_, other.mileage_);
    case record_field::cost: return same_bits(cost_, other.cost_);
    case record_field::operation:
    case record_field::operation_escaped: return operation_ == other.operation_;
    case record_field::notes:
    case record_field::notes_escaped: return notes_ == other.notes_;
    case record_field::none:
    case record_field::identifier: break;
  }
  return false;
}

bool Record::same_fields(const Record& other) const {
  return date_ == other.date_ && same_bits(mileage_, other.mileage_) &&
         operation_ == other.operation_ && notes_ == other.notes_ && same_bits(cost_, other.cost_);
}

void Record::setup(int identifier, long date, double mileage, std::string operation,
                   std::string notes, float cost) {
  keep_original();
  assign(identifier, date, mileage, std::move(operation), std::move(notes), cost);
}

void Record::assign(int identifier, long date, double mileage, std::string operation,
                    std::string notes, float cost) {
  identifier_ = identifier;
  date_ = date;
  mileage_ = mileage;
  operation_ = std::move(operation);
  notes_ = std::move(notes);
  cost_ = cost;
}

void Record::keep_original() {
  if (original_ == nullptr) {
    original_ = std::make_unique<values>(
        values{date_, mileage_, operation_, notes_, cost_, other_fields()});
  }
}

bool Record::modified() const {
  if (original_ == nullptr) return false;
  const values& was = *original_;
  return !(date_ == was.date && same_bits(mileage_, was.mileage) && operation_ == was.operation &&
           notes_ == was.notes && same_bits(cost_, was.cost) && same_text(other_fields(), was.others));
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
