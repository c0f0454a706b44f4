#ifndef TARVIK_DATA_RECORD_H_
#define TARVIK_DATA_RECORD_H_

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvik {

// One key/value pair of a record block, both texts exactly as they stood in
// the log file.
struct hash_element {
  std::string key;
  std::string value;
};

// The field a key of a record block names. The five fields' keys are read
// without the blanks around them and in any letter case ("  Notes" is notes);
// "identifier" only as it stands. The starred keys carry escaped text (see
// text_escape.h). `none` for every other key: the reader keeps such pairs
// but no field takes them.
enum class record_field { none, identifier, date, mileage, operation, operation_escaped,
                          notes, notes_escaped, cost };
record_field field_named(std::string_view key);

// Keys of fields beyond the five that the program itself knows: a fill-up's
// quantity (in the log's volume unit), whether the tank was filled to full
// ("yes" or "no"), the price per unit, and the kind of fuel.
inline constexpr std::string_view kFuelKey = "fuel";
inline constexpr std::string_view kFullKey = "full";
inline constexpr std::string_view kPriceKey = "price";
inline constexpr std::string_view kFuelTypeKey = "fueltype";

// Whether two keys of fields beyond the five name the same field: the
// known keys above in any letter case, every other key only as written.
bool same_field_key(std::string_view a, std::string_view b);

// Whether `key` can stand as the key of a field beyond the five: not empty,
// without blanks around it, none of ";", "=", "<", "#" at its start,
// line ends or NUL (the reader would cut or misread it), no "*" at its end
// (that marks escaped text), and no key of the five fields.
bool usable_field_key(std::string_view key);

// One entry of the vehicle log. Records live on the heap and are passed by
// pointer; they are never copied. The identifier is fixed at construction;
// every other field has a getter/setter pair named after it. No field is
// validated: any number and any bytes are kept as given.
class Record {
 public:
  // A record with this identifier, dated now, mileage 0, operation
  // "not specified", empty notes and cost 0.
  explicit Record(int identifier);

  // A record built from the pairs of one block. Keys are matched with
  // field_named (up to a NUL byte); unknown keys are ignored and the last
  // pair of a field wins. Missing fields take the defaults above, except the
  // identifier, which defaults to -1. Numbers never fail to convert: the
  // longest numeric prefix counts, and no digits give 0. The keys
  // "operation*" and "notes*" carry escaped text (see text_escape.h).
  // Pairs under keys no field takes become the record's other fields (see
  // other_fields).
  explicit Record(std::vector<hash_element> pairs);

  // The same, taking the texts out of `pairs` rather than copying them; the
  // list keeps its room for the next block a reader puts in it.
  static std::unique_ptr<Record> taking_texts(std::vector<hash_element>& pairs);

  Record(const Record&) = delete;
  Record& operator=(const Record&) = delete;

  // A record with the same values under `identifier`, not modified: for a
  // record that has to take another number.
  std::unique_ptr<Record> copy_as(int identifier) const;

  // Assigns all six fields; both constructors end here.
  void setup(int identifier, long date, double mileage, std::string operation,
             std::string notes, float cost);

  int identifier() const { return identifier_; }
  long date() const { return date_; }
  void date(long date) { set(date_, date); }
  double mileage() const { return mileage_; }
  void mileage(double mileage) { set(mileage_, mileage); }
  const std::string& operation() const { return operation_; }
  void operation(std::string operation) { set(operation_, std::move(operation)); }
  const std::string& notes() const { return notes_; }
  void notes(std::string notes) { set(notes_, std::move(notes)); }
  float cost() const { return cost_; }
  void cost(float cost) { set(cost_, cost); }

  // The items of the block no field takes, in block order, as key and
  // text: the key without the blanks around it, the value up to a NUL byte;
  // a key with "*" at its end carries escaped text and is given without
  // its "*", the text unescaped. Items without a key are not among them.
  const std::vector<hash_element>& other_fields() const;
  void other_fields(std::vector<hash_element> fields);
  // The text of the last field under `key` (see same_field_key); null when
  // there is none.
  const std::string* other_field(std::string_view key) const;
  // Sets the last field under `key` to `value`, keeping its key as written;
  // adds it at the end when there is none.
  void other_field(std::string_view key, std::string value);
  // Takes out every field under `key`.
  void remove_other_field(std::string_view key);
  // True when both hold the same other fields in the same order.
  bool same_other_fields(const Record& other) const;

  // Whether the five fields or the other fields hold other values than when the record was
  // built or clear_modified() was last called; a record set back to its
  // old values is not modified. The store uses it to tell which records to
  // write anew. The first change keeps a copy of the values it replaces.
  bool modified() const;
  void clear_modified() { original_.reset(); }

  // True when the five fields hold the same values, bit for bit (a NaN
  // equals a NaN, -0 differs from 0); the identifier is not compared.
  bool same_fields(const Record& other) const;
  // The same for the one field `field` (the starred keys name the text
  // fields); false for `none` and `identifier`.
  bool same_field(const Record& other, record_field field) const;

  // Display text of the field named `key`, in any letter case: "operation"
  // and "notes" as they are, "cost" as %.2f, "identifier" as %d, "date" as
  // the local calendar date YYYY-MM-DD ("(error)" if it has none), "mileage"
  // as %.1f; "(unknown)" for any other key. Numbers are cut to 254
  // characters and always use the full stop.
  std::string value(std::string key) const;

 private:
  struct values {
    long date;
    double mileage;
    std::string operation;
    std::string notes;
    float cost;
    std::vector<hash_element> others;
  };

  // Numbers are compared bit for bit, so that -0 replaces 0 and back.
  template <typename Field, typename Value>
  void set(Field& field, Value&& value) {
    if (same_value(field, value)) return;
    keep_original();
    field = std::forward<Value>(value);
  }
  struct no_fields {};
  explicit Record(no_fields) {}
  void read(std::vector<hash_element>& pairs);

  static bool same_value(double a, double b);
  static bool same_value(float a, float b);
  static bool same_value(long a, long b) { return a == b; }
  static bool same_value(const std::string& a, const std::string& b) { return a == b; }
  void set_others(std::vector<hash_element> fields);
  void keep_original();
  void assign(int identifier, long date, double mileage, std::string operation, std::string notes,
              float cost);

  int identifier_ = -1;
  long date_ = 0;
  double mileage_ = 0;
  std::string operation_;
  std::string notes_;
  float cost_ = 0;
  // Null while there are none: most records have none, and a log may hold
  // a million.
  std::unique_ptr<std::vector<hash_element>> others_;
  // The values before the first change since construction or
  // clear_modified(); null while there was none.
  std::unique_ptr<values> original_;
};

}  // namespace tarvik

#endif  // TARVIK_DATA_RECORD_H_
