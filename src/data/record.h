#ifndef TARVIK_DATA_RECORD_H_
#define TARVIK_DATA_RECORD_H_

#include <string>
#include <vector>

namespace tarvik {

// One key/value pair of a record block, both texts exactly as they stood in
// the log file.
struct hash_element {
  std::string key;
  std::string value;
};

// One entry of the vehicle log. Records live on the heap and are passed by
// pointer; they are never copied. The identifier is fixed at construction;
// every other field has a getter/setter pair named after it. No field is
// validated: any number and any bytes are kept as given.
class Record {
 public:
  // A record with this identifier, dated now, mileage 0, operation
  // "not specified", empty notes and cost 0.
  explicit Record(int identifier);

  // A record built from the pairs of one block. Keys are matched exactly
  // (case-sensitive, up to a NUL byte); unknown keys are ignored and the last
  // pair of a key wins. Missing fields take the defaults above, except the
  // identifier, which defaults to -1. Numbers never fail to convert: the
  // longest numeric prefix counts, and no digits give 0. The keys
  // "operation*" and "notes*" carry escaped text (see text_escape.h).
  explicit Record(std::vector<hash_element> pairs);

  Record(const Record&) = delete;
  Record& operator=(const Record&) = delete;

  // Assigns all six fields; both constructors end here.
  void setup(int identifier, long date, double mileage, std::string operation,
             std::string notes, float cost);

  int identifier() const { return identifier_; }
  long date() const { return date_; }
  void date(long date) { date_ = date; }
  double mileage() const { return mileage_; }
  void mileage(double mileage) { mileage_ = mileage; }
  const std::string& operation() const { return operation_; }
  void operation(std::string operation) { operation_ = std::move(operation); }
  const std::string& notes() const { return notes_; }
  void notes(std::string notes) { notes_ = std::move(notes); }
  float cost() const { return cost_; }
  void cost(float cost) { cost_ = cost; }

  // Display text of the field named `key`, in any letter case: "operation"
  // and "notes" as they are, "cost" as %.2f, "identifier" as %d, "date" as
  // the local calendar date YYYY-MM-DD ("(error)" if it has none), "mileage"
  // as %.1f; "(unknown)" for any other key. Numbers are cut to 254
  // characters and always use the full stop.
  std::string value(std::string key) const;

 private:
  int identifier_;
  long date_;
  double mileage_;
  std::string operation_;
  std::string notes_;
  float cost_;
};

}  // namespace tarvik

#endif  // TARVIK_DATA_RECORD_H_
