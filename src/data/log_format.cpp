#include "data/log_format.h"

#include <cerrno>
#include <algorithm>
#include <cstring>

#include "data/diagnostic.h"
#include "data/number_text.h"
#include "data/text_escape.h"

namespace tarvik {
namespace {

// What a source returns instead of a byte.
constexpr int kEnd = -1;     // end of the input
constexpr int kFailed = -2;  // a read failed; errno tells why

// Bytes of a log held in memory, optionally followed by a failed read.
class memory_source {
 public:
  memory_source(std::string_view text, int read_error)
      : next_(text.data()), end_(text.data() + text.size()), read_error_(read_error) {}

  int get() {
    if (next_ != end_) return static_cast<unsigned char>(*next_++);
    return stopped();
  }

  // Appends to `out` every byte up to `stop`, consumes `stop` and returns
  // it; returns kEnd or kFailed when the input stops first.
  int collect_until(char stop, std::string* out) {
    const void* found = std::memchr(next_, stop, static_cast<std::size_t>(end_ - next_));
    const char* until = found ? static_cast<const char*>(found) : end_;
    if (out != nullptr) out->append(next_, until);
    next_ = until;
    if (found == nullptr) return stopped();
    ++next_;
    return static_cast<unsigned char>(stop);
  }

  // Sets `item` to `last`, the byte just read, and the bytes after it up to
  // `stop`, which is consumed. Returns `stop`, or kEnd or kFailed when the
  // input stops first. Here the view points into the text itself.
  int take_item(int /*last*/, char stop, std::string& /*scratch*/, std::string_view& item) {
    const char* start = next_ - 1;
    const int c = collect_until(stop, nullptr);
    item = std::string_view(start, static_cast<std::size_t>(next_ - start - (c >= 0 ? 1 : 0)));
    return c;
  }

 private:
  int stopped() const {
    if (read_error_ == 0) return kEnd;
    errno = read_error_;
    return kFailed;
  }

  const char* next_;
  const char* end_;
  int read_error_;
};

// Bytes of a stream, read through its buffer. A stream buffer cannot tell a
// failed read from the end, so every stop counts as the end.
class stream_source {
 public:
  explicit stream_source(std::istream& in) : in_(in), buffer_(in.good() ? in.rdbuf() : nullptr) {}

  int get() {
    if (buffer_ != nullptr) {
      const auto c = buffer_->sbumpc();
      if (!std::istream::traits_type::eq_int_type(c, std::istream::traits_type::eof())) {
        return std::istream::traits_type::to_int_type(static_cast<char>(c));
      }
      buffer_ = nullptr;
    }
    in_.setstate(std::ios::eofbit | std::ios::failbit);
    return kEnd;
  }

  int collect_until(char stop, std::string* out) {
    for (;;) {
      const int c = get();
      if (c < 0) return c;
      if (c == static_cast<unsigned char>(stop)) return c;
      if (out != nullptr) out->push_back(static_cast<char>(c));
    }
  }

  // As memory_source::take_item, but the item is collected in `scratch`.
  int take_item(int last, char stop, std::string& scratch, std::string_view& item) {
    scratch.assign(1, static_cast<char>(last));
    const int c = collect_until(stop, &scratch);
    item = scratch;
    return c;
  }

 private:
  std::istream& in_;
  std::streambuf* buffer_;
};

// The identifier and the five fields of a block as the writer makes it.
constexpr std::size_t kUsualPairs = 6;

// split("=", item, 2) without its allocations: the first token is the key,
// the second (or an empty text) the value. False when there is no token.
bool split_pair(std::string_view item, hash_element& pair) {
  // strtok sees the item as a C string: a NUL ends it.
  const std::string_view text = item.substr(0, std::min(item.find('\0'), item.size()));
  const std::size_t key_start = text.find_first_not_of('=');
  if (key_start == std::string_view::npos) return false;
  const std::size_t key_end = std::min(text.find('=', key_start), text.size());
  pair.key.assign(text.substr(key_start, key_end - key_start));
  const std::size_t value_start = text.find_first_not_of('=', key_end);
  if (value_start != std::string_view::npos) {
    const std::size_t value_end = std::min(text.find('=', value_start), text.size());
    pair.value.assign(text.substr(value_start, value_end - value_start));
  }
  return true;
}

bool is_digit(int c) { return c >= '0' && c <= '9'; }
bool is_line_end(int c) { return c == '\r' || c == '\n'; }

std::string quoted(int c) {
  std::string text = "\"";
  text += static_cast<char>(c);
  text += '"';
  return text;
}

// One reading: the grammar over any source, counting what it reports.
template <typename Source>
class reader {
 public:
  explicit reader(Source& source) : source_(source) {}

  log_reading read_log(const std::function<void(std::vector<hash_element>)>& add) {
    log_reading reading;
    for (int c = source_.get(); c >= 0; c = source_.get()) {
      if (c == ' ' || c == '\t' || c == '\n' || c == '\r') continue;
      if (c == '#') {
        // A top-level comment ends at a line feed only.
        const int end = source_.collect_until('\n', nullptr);
        if (stopped(end, "Unexpected EOF in FileDataSource::parse",
                    "Read error while searching for EOL: ")) {
          break;
        }
        continue;
      }
      if (c == '<') {
        add(read_record());
        continue;
      }
      say("Unexpected character " + quoted(c) + " in FileDataSource::parse");
      break;
    }
    reading.diagnostics = diagnostics_;
    return reading;
  }

  // Reads one block; the "<" has been read.
  std::vector<hash_element> read_record() {
    std::vector<hash_element> pairs;
    pairs.reserve(kUsualPairs);
    // The tag name is not examined: anything up to "=" opens a block.
    int c = source_.collect_until('=', nullptr);
    if (stopped(c, "Unexpected EOF while searching for \"=\" in FileDataSource::parse_record",
                "Read error while searching for \"=\": ")) {
      return pairs;
    }

    std::string digits;
    c = source_.get();
    // A "-" lets a negative identifier read back; it is renumbered later.
    if (c == '-') {
      digits += '-';
      c = source_.get();
    }
    for (; is_digit(c); c = source_.get()) digits += static_cast<char>(c);
    if (stopped(c, kEofInRecord, "Read error while getting record id: ")) return pairs;
    if (c != '>') {
      say("Unexpected character " + quoted(c) + " found when expecting >");
      return pairs;
    }
    pairs.push_back({"identifier", std::move(digits)});

    int item_end = 0;  // the character that ended the previous body item
    c = source_.get();
    while (c >= 0 && c != '<') {
      if (is_line_end(c)) {
        item_end = c;
        c = source_.get();
        continue;
      }
      if (c == '#' && is_line_end(item_end)) {
        // A comment line inside a block; the line end stays current.
        do c = source_.get(); while (c >= 0 && !is_line_end(c));
        continue;
      }
      // The item runs up to the next ";"; one that starts at a ";" is empty.
      std::string_view item;
      if (c != ';') c = source_.take_item(c, ';', scratch_, item);
      hash_element pair;
      if (!split_pair(item, pair)) {
        say("Error splitting " + std::string(item) + " returned wrong number of elements.");
        return pairs;
      }
      pairs.push_back(std::move(pair));
      item_end = c;
      c = source_.get();
    }

    if (stopped(c, kEofInRecord, "Read error while getting record id ")) return pairs;
    std::string tag = "<";
    c = source_.collect_until('>', &tag);
    if (stopped(c, kEofInRecord, "Read error while getting record id: ")) return pairs;
    tag += '>';
    if (tag != "</record>") say("malformed close tag for record: " + tag);
    return pairs;
  }

 private:
  static constexpr const char* kEofInRecord =
      "Unexpected EOF while getting record id in FileDataSource::parse_record";

  // When the input has stopped (`c` is no byte), reports `at_end` at its
  // end, or `at_failure` and the system's reason after a failed read, and
  // returns true.
  bool stopped(int c, const char* at_end, const char* at_failure) {
    if (c == kEnd) {
      say(at_end);
      return true;
    }
    if (c == kFailed) {
      say(at_failure + error_text(errno));
      return true;
    }
    return false;
  }

  void say(const std::string& line) {
    report(line);
    ++diagnostics_;
  }

  Source& source_;
  std::string scratch_;  // an item read from a stream
  int diagnostics_ = 0;
};

// A literal of known length: the copy compiles to a few moves.
template <std::size_t size>
char* put(char* out, const char (&literal)[size]) {
  std::memcpy(out, literal, size - 1);
  return out + size - 1;
}

// Writes `key`, "=", the text and ";\n"; a text that would be cut at ";"
// or "=" goes under the starred key, escaped.
template <std::size_t size>
char* write_text_line(char* out, const char (&key)[size], const std::string& text) {
  out = put(out, key);
  *out++ = '=';
  if (char* end = copy_plain_text(out, text)) {
    out = end;
  } else {
    out[-1] = '*';
    *out++ = '=';
    out = write_escaped(out, text);
  }
  *out++ = ';';
  *out++ = '\n';
  return out;
}

}  // namespace

log_reading parse_log(std::string_view text, int read_error,
                      const std::function<void(std::vector<hash_element>)>& add) {
  memory_source source(text, read_error);
  return reader<memory_source>(source).read_log(add);
}

log_reading parse_log(std::istream& in,
                      const std::function<void(std::vector<hash_element>)>& add) {
  stream_source source(in);
  return reader<stream_source>(source).read_log(add);
}

std::vector<hash_element> parse_record(std::istream& in) {
  stream_source source(in);
  return reader<stream_source>(source).read_record();
}

std::vector<std::string> split(std::string delimiters, std::string text, int max_tokens) {
  // Both are C strings to strtok: they end at a NUL byte.
  delimiters.resize(std::strlen(delimiters.c_str()));
  text.resize(std::strlen(text.c_str()));
  std::vector<std::string> tokens;
  std::size_t start = text.find_first_not_of(delimiters);
  while (start != std::string::npos &&
         (max_tokens == 0 || tokens.size() < static_cast<std::size_t>(max_tokens))) {
    const std::size_t end = text.find_first_of(delimiters, start);
    tokens.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = text.find_first_not_of(delimiters, end);
  }
  return tokens;
}

std::size_t block_size_bound(const Record& record) {
  // The fixed lines, two numbers of each kind, and texts that may triple.
  return 96 + 2 * kGeneralMaxSize + 2 * kIntegerMaxSize +
         3 * (record.operation().size() + record.notes().size());
}

char* write_block(char* out, int identifier, const Record& record) {
  out = put(out, "<record=");
  out = write_integer(out, identifier);
  out = put(out, ">\ncost=");
  out = write_general(out, static_cast<double>(record.cost()));
  out = put(out, ";\n");
  out = write_text_line(out, "operation", record.operation());
  out = put(out, "date=");
  out = write_integer(out, record.date());
  out = put(out, ";\nmileage=");
  out = write_general(out, record.mileage());
  out = put(out, ";\n");
  out = write_text_line(out, "notes", record.notes());
  return put(out, "</record>\n");
}

void append_block(std::string& out, int identifier, const Record& record) {
  const std::size_t start = out.size();
  out.resize(start + block_size_bound(record));
  char* const end = write_block(out.data() + start, identifier, record);
  out.resize(static_cast<std::size_t>(end - out.data()));
}

}  // namespace tarvik
