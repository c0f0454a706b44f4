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
      : begin_(text.data()), next_(text.data()), end_(text.data() + text.size()),
        read_error_(read_error), counted_(text.data()) {}

  int get() {
    if (next_ != end_) return static_cast<unsigned char>(*next_++);
    return stopped();
  }

  int peek() const { return next_ != end_ ? static_cast<unsigned char>(*next_) : kEnd; }

  // Bytes consumed so far.
  std::size_t offset() const { return static_cast<std::size_t>(next_ - begin_); }

  // The line (from 1) of the byte at `offset`; offsets asked for only grow.
  std::size_t line_at(std::size_t offset) {
    const char* const at = begin_ + std::min(offset, static_cast<std::size_t>(end_ - begin_));
    if (at < counted_) return line_;
    while (const void* found = std::memchr(counted_, '\n', static_cast<std::size_t>(at - counted_))) {
      ++line_;
      counted_ = static_cast<const char*>(found) + 1;
    }
    return line_;
  }

  void skip_byte_order_mark() {
    if (end_ - next_ >= 3 && std::memcmp(next_, "\xEF\xBB\xBF", 3) == 0) next_ += 3;
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

  const char* begin_;
  const char* next_;
  const char* end_;
  int read_error_;
  const char* counted_;  // line_ counts the line ends before this
  std::size_t line_ = 1;
};

// Bytes of a stream, read through its buffer. A stream buffer tells a failed
// read only by throwing (a file buffer does); that is a read failure here,
// every other stop the end.
class stream_source {
 public:
  explicit stream_source(std::istream& in) : in_(in), buffer_(in.good() ? in.rdbuf() : nullptr) {}

  int get() {
    const int c = next(true);
    if (c >= 0) {
      ++offset_;
      if (c == '\n') ++line_;
    }
    return c;
  }

  int peek() { return next(false); }

  std::size_t offset() const { return offset_; }
  std::size_t line_at(std::size_t /*offset*/) const { return line_; }

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
  int next(bool consume) {
    if (buffer_ != nullptr) {
      using traits = std::istream::traits_type;
      traits::int_type c;
      errno = 0;
      try {
        c = consume ? buffer_->sbumpc() : buffer_->sgetc();
      } catch (...) {
        // The buffer's read failed; its errno is the reason, if it left one.
        error_ = errno != 0 ? errno : EIO;
        buffer_ = nullptr;
        in_.setstate(std::ios::badbit | std::ios::failbit);
        errno = error_;
        return failed_ = kFailed;
      }
      if (!traits::eq_int_type(c, traits::eof())) return traits::to_int_type(static_cast<char>(c));
      buffer_ = nullptr;
      in_.setstate(std::ios::eofbit | std::ios::failbit);
    }
    // What ran since the failure (a number's check) may have set errno.
    if (failed_ == kFailed) errno = error_;
    return failed_;
  }

  std::istream& in_;
  std::streambuf* buffer_;
  int failed_ = kEnd;  // what a stopped source returns
  int error_ = 0;      // why it failed, when it did
  std::size_t offset_ = 0;
  std::size_t line_ = 1;
};

// The identifier and the five fields of a block as the writer makes it.
constexpr std::size_t kUsualPairs = 6;

// split("=", item, 2) without its allocations: the first token is the key,
// the second (or an empty text) the value. False when there is no token.
// `cut` tells whether text after the value was left unread.
bool split_pair(std::string_view item, hash_element& pair, bool& cut) {
  // strtok sees the item as a C string: a NUL ends it.
  const std::string_view text = item.substr(0, std::min(item.find('\0'), item.size()));
  const std::size_t key_start = text.find_first_not_of('=');
  if (key_start == std::string_view::npos) return false;
  const std::size_t key_end = std::min(text.find('=', key_start), text.size());
  pair.key.assign(text.substr(key_start, key_end - key_start));
  const std::size_t value_start = text.find_first_not_of('=', key_end);
  cut = false;
  if (value_start != std::string_view::npos) {
    const std::size_t value_end = std::min(text.find('=', value_start), text.size());
    pair.value.assign(text.substr(value_start, value_end - value_start));
    cut = text.find_first_not_of('=', value_end) != std::string_view::npos;
  }
  return true;
}

bool is_digit(int c) { return c >= '0' && c <= '9'; }
bool is_line_end(int c) { return c == '\r' || c == '\n'; }
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string quoted(int c) {
  std::string text = "\"";
  text += static_cast<char>(c);
  text += '"';
  return text;
}

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// A text as a message shows it: its first line, at most 40 bytes (not cut
// inside a UTF-8 character), with "…" when there is more; a NUL byte as "<NUL>".
std::string shown_text(std::string_view text) {
  constexpr std::size_t kMost = 40;
  const std::size_t line_end = text.find_first_of("\r\n");
  std::string_view shown = text.substr(0, line_end);
  bool more = shown.size() < text.size() &&
              text.find_first_not_of(" \t\r\n", shown.size()) != std::string_view::npos;
  if (shown.size() > kMost) {
    std::size_t cut = kMost;
    while (cut > 0 && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80) --cut;
    shown = shown.substr(0, cut);
    more = true;
  }
  while (!shown.empty() && is_blank(shown.back())) shown.remove_suffix(1);
  std::string out;
  for (const char c : shown) {
    if (c == '\0') {
      out += "<NUL>";
    } else {
      out += c;
    }
  }
  if (more) out += "\xE2\x80\xA6";
  return out;
}

// Whether a number's text is one number and nothing else (blanks around it
// allowed). The usual decimal form is checked by hand; anything else by the
// C library's own end pointer.
bool whole_number(const std::string& value, bool integer) {
  std::string_view text = value;
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  if (text.empty()) return false;
  std::size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  const std::size_t digits_start = i;
  while (i < text.size() && is_digit(text[i])) ++i;
  bool digits = i > digits_start;
  if (!integer && i < text.size() && text[i] == '.') {
    const std::size_t fraction_start = ++i;
    while (i < text.size() && is_digit(text[i])) ++i;
    digits = digits || i > fraction_start;
  }
  if (digits && i == text.size()) return true;
  if (integer) return false;
  const std::string copy(text);
  return whole_double_text(copy.c_str());
}

// One reading: the grammar over any source, counting what it reports.
template <typename Source>
class reader {
 public:
  explicit reader(Source& source, bool report = true, std::string_view close_tag = "</record>")
      : source_(source), report_(report), close_tag_(close_tag) {}

  log_reading read_log(const std::function<void(block_reading&)>& add) {
    int c = source_.get();
    while (c >= 0) {
      if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
        c = source_.get();
        continue;
      }
      if (c == '#') {
        // A top-level comment ends at a line feed only.
        const int end = source_.collect_until('\n', nullptr);
        if (stopped(end, "Unexpected EOF in FileDataSource::parse",
                    "Read error while searching for EOL: ",
                    "the last line, a comment, has no line end (it is kept as it is)")) {
          if (end == kEnd) ++reading_.passed_over;
          break;
        }
        c = source_.get();
        continue;
      }
      if (c != '<' || source_.peek() == '/') {
        c = pass_over(c);
        continue;
      }
      const int before = reading_.diagnostics;
      block_.span.begin = source_.offset() - 1;
      read_record(block_.pairs);
      // The line end after the close tag goes with the block.
      if (source_.peek() == '\r') source_.get();
      if (source_.peek() == '\n') source_.get();
      block_.span.end = source_.offset();
      block_.clean = reading_.diagnostics == before;
      add(block_);
      c = source_.get();
    }
    return std::move(reading_);
  }

  // Reads one block; the "<" has been read.
  std::vector<hash_element> read_record() {
    std::vector<hash_element> pairs;
    read_record(pairs);
    return pairs;
  }

  // The same into `pairs`, which keeps its room from block to block.
  void read_record(std::vector<hash_element>& pairs) {
    pairs.clear();
    pairs.reserve(kUsualPairs);
    block_.extras.clear();
    block_.partial.clear();
    // The tag name is not examined: anything up to "=" opens a block.
    int c = source_.collect_until('=', nullptr);
    if (stopped(c, "Unexpected EOF while searching for \"=\" in FileDataSource::parse_record",
                "Read error while searching for \"=\": ",
                "the file ends inside the opening tag of an entry")) {
      return;
    }

    std::string digits;
    c = source_.get();
    // A "-" lets a negative identifier read back; it is renumbered later.
    if (c == '-') {
      digits += '-';
      c = source_.get();
    }
    for (; is_digit(c); c = source_.get()) digits += static_cast<char>(c);
    if (stopped(c, kEofInRecord, "Read error while getting record id: ", kEofInEntry)) return;
    if (c != '>') {
      say("Unexpected character " + quoted(c) + " found when expecting >",
          "the opening tag of an entry has " + quoted(c) +
              " where its number should end with \">\"; the entry is not read");
      return;
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
        const std::size_t start = source_.offset() - 1;
        std::size_t end = start + 1;
        for (c = source_.get(); c >= 0 && !is_line_end(c); c = source_.get()) end = source_.offset();
        block_.extras.push_back({{start, end}, true});
        continue;
      }
      // The item runs up to the next ";"; one that starts at a ";" is empty.
      const std::size_t start = source_.offset() - 1;
      std::string_view item;
      if (c != ';') c = source_.take_item(c, ';', scratch_, item);
      hash_element pair;
      bool cut = false;
      if (!split_pair(item, pair, cut)) {
        say("Error splitting " + std::string(item) + " returned wrong number of elements.",
            (item.empty() ? std::string("an empty item (\";\" alone)")
                          : "the item " + quoted(shown_text(item)) + ", which has no name,") +
                " ends the reading of this entry; what follows it is not read");
        return;
      }
      const record_field field = field_named(pair.key);
      const bool partial = check_item(field, pair, item, cut, start);
      if (field == record_field::none) {
        block_.extras.push_back({{start, start + item.size()}, false});
      } else if (const int slot = kept_item_slot(field); slot >= 0) {
        // Only the last item of a field counts.
        auto& kept = block_.partial;
        kept.erase(std::remove_if(kept.begin(), kept.end(),
                                  [slot](const partial_item& p) { return kept_item_slot(p.field) == slot; }),
                   kept.end());
        if (partial) kept.push_back({field, {start, start + item.size()}});
      }
      pairs.push_back(std::move(pair));
      item_end = c;
      c = source_.get();
    }

    if (stopped(c, kEofInRecord, "Read error while getting record id ", kEofInEntry)) return;
    std::string tag = "<";
    c = source_.collect_until('>', &tag);
    if (stopped(c, kEofInRecord, "Read error while getting record id: ", kEofInEntry)) return;
    tag += '>';
    if (tag != close_tag_) {
      // "</record>" names "record"; other block files name their own kind.
      const std::string_view kind = close_tag_.substr(2, close_tag_.size() - 3);
      say("malformed close tag for " + std::string(kind) + ": " + tag,
          "the entry ends with " + quoted(shown_text(tag)) + " instead of " +
              quoted(close_tag_));
    }
  }

 private:
  static constexpr const char* kEofInRecord =
      "Unexpected EOF while getting record id in FileDataSource::parse_record";
  static constexpr const char* kEofInEntry = "the file ends inside an entry, before its closing tag";

  // When the input has stopped (`c` is no byte), reports `at_end` at its
  // end (to the user: `at_end_said`), or `at_failure` and the system's
  // reason after a failed read, and returns true.
  bool stopped(int c, const char* at_end, const char* at_failure, const char* at_end_said) {
    if (c == kEnd) {
      say(at_end, at_end_said);
      return true;
    }
    if (c == kFailed) {
      const std::string reason = error_text(errno);
      say(at_failure + reason, "the file could not be read to its end: " + reason);
      return true;
    }
    return false;
  }

  // Reports `line` on stderr, as it has always been worded, and `said` to
  // the user, at the current line unless `at_line` tells.
  void say(const std::string& line, std::string said, std::size_t at_line = 0) {
    if (report_) report(line);
    ++reading_.diagnostics;
    if (at_line == 0) at_line = source_.line_at(source_.offset());
    reading_.problems.push_back({at_line, std::move(said)});
  }

  // Passes over text between blocks, from `first` (just read) up to the next
  // open tag ("<" not followed by "/": a stray close tag is passed over
  // too), and reports it. Returns the "<" of that tag, or how the input
  // stopped.
  int pass_over(int first) {
    const std::size_t line = source_.line_at(source_.offset());
    std::string skipped(1, static_cast<char>(first));
    int c = source_.collect_until('<', &skipped);
    while (c >= 0 && source_.peek() == '/') {
      skipped += '<';
      c = source_.collect_until('<', &skipped);
    }
    ++reading_.passed_over;
    say("Unexpected character " + quoted(first) + " in FileDataSource::parse",
        "the text " + quoted(shown_text(skipped)) +
            " stands outside any entry; it is not read and stays in the file as it is",
        line);
    return c;
  }

  // Notes, for the user and not on stderr, what of an item was not read as
  // it stands: a NUL byte, a number with more after it, text after a
  // second "=", an item with no "=" at all. True when the field's value is
  // not all that the item says.
  bool check_item(record_field field, const hash_element& pair, std::string_view item, bool cut,
                  std::size_t start) {
    std::string note;
    const bool field_item = field != record_field::none && field != record_field::identifier;
    if (field_item && item.find('\0') != std::string_view::npos) {
      note = "a NUL byte in " + quoted(shown_text(item)) + " ends what is read; read as " +
             quoted(shown_text(pair.value)) + ", the file keeps all of it";
      reading_.problems.push_back({source_.line_at(start), std::move(note)});
      return true;
    }
    switch (field) {
      case record_field::date:
        if (!whole_number(pair.value, true)) {
          note = "date " + quoted(pair.value) + " is not a whole number of seconds; read as " +
                 format_integer(parse_long(pair.value.c_str()));
        }
        break;
      case record_field::mileage:
      case record_field::cost:
        if (!whole_number(pair.value, false)) {
          note = std::string(field == record_field::cost ? "cost " : "mileage ") +
                 quoted(pair.value) + " is not one number; read as " +
                 format_general(parse_double(pair.value.c_str()));
        }
        break;
      case record_field::operation:
      case record_field::operation_escaped:
      case record_field::notes:
      case record_field::notes_escaped:
        if (cut) {
          note = "the text after \"=\" in " + quoted(item) + " is not read; read as " +
                 quoted(pair.value);
        }
        break;
      case record_field::none:
        if (item.find('=') == std::string_view::npos) {
          std::string_view shown = item;
          while (!shown.empty() && is_blank(shown.front())) shown.remove_prefix(1);
          note = quoted(shown) + " is no key=value item; it stays in the file but is not shown";
        }
        break;
      case record_field::identifier:
        break;
    }
    if (note.empty()) return false;
    reading_.problems.push_back({source_.line_at(start), std::move(note)});
    return field_item;
  }

  Source& source_;
  bool report_;
  std::string_view close_tag_;  // "</" + kind + ">", at least 3 bytes
  std::string scratch_;  // an item read from a stream
  block_reading block_;
  log_reading reading_;
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

// Writes a field beyond the five: its key, "=", its text and ";\n"; a text
// that would be cut goes under the key with "*", escaped. The reader takes
// blanks around a key as layout, but "identifier" only as it stands: a
// blank keeps such a field from being read as the identifier.
char* write_other_line(char* out, const hash_element& field) {
  if (field_named(field.key) == record_field::identifier) *out++ = ' ';
  std::memcpy(out, field.key.data(), field.key.size());
  out += field.key.size();
  *out++ = '=';
  if (char* end = copy_plain_text(out, field.value)) {
    out = end;
  } else {
    out[-1] = '*';
    *out++ = '=';
    out = write_escaped(out, field.value);
  }
  *out++ = ';';
  *out++ = '\n';
  return out;
}

}  // namespace

log_reading parse_log(std::string_view text, int read_error,
                      const std::function<void(block_reading&)>& add, bool report,
                      bool file_start) {
  memory_source source(text, read_error);
  if (file_start) source.skip_byte_order_mark();
  return reader<memory_source>(source, report).read_log(add);
}

log_reading parse_blocks(std::string_view text, int read_error, std::string_view close_tag,
                         const std::function<void(block_reading&)>& add, bool report) {
  if (close_tag.size() < 3) close_tag = "</record>";
  memory_source source(text, read_error);
  source.skip_byte_order_mark();
  return reader<memory_source>(source, report, close_tag).read_log(add);
}

log_reading parse_log(std::string_view text, int read_error,
                      const std::function<void(std::vector<hash_element>)>& add) {
  return parse_log(text, read_error, [&](block_reading& block) { add(std::move(block.pairs)); });
}

log_reading parse_log(std::istream& in,
                      const std::function<void(std::vector<hash_element>)>& add) {
  stream_source source(in);
  return reader<stream_source>(source).read_log(
      [&](block_reading& block) { add(std::move(block.pairs)); });
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
  if (max_tokens < 0) return tokens;
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
  std::size_t others = 0;
  for (const hash_element& field : record.other_fields()) {
    others += 5 + field.key.size() + 3 * field.value.size();
  }
  return 96 + 2 * kGeneralMaxSize + 2 * kIntegerMaxSize +
         3 * (record.operation().size() + record.notes().size()) + others;
}

char* write_block(char* out, int identifier, const Record& record) {
  out = put(out, "<record=");
  out = write_integer(out, identifier);
  out = put(out, ">\ncost=");
  out = write_exact(out, record.cost());
  out = put(out, ";\n");
  out = write_text_line(out, "operation", record.operation());
  out = put(out, "date=");
  out = write_integer(out, record.date());
  out = put(out, ";\nmileage=");
  out = write_exact(out, record.mileage());
  out = put(out, ";\n");
  out = write_text_line(out, "notes", record.notes());
  for (const hash_element& field : record.other_fields()) {
    // A key starting with "#" at the start of a line would be a comment.
    if (!field.key.empty() && field.key.front() == '#') --out;
    out = write_other_line(out, field);
  }
  return put(out, "</record>\n");
}

int kept_item_slot(record_field field) {
  switch (field) {
    case record_field::cost: return 0;
    case record_field::operation:
    case record_field::operation_escaped: return 1;
    case record_field::date: return 2;
    case record_field::mileage: return 3;
    case record_field::notes:
    case record_field::notes_escaped: return 4;
    case record_field::none:
    case record_field::identifier: break;
  }
  return -1;
}

void append_block(std::string& out, int identifier, const Record& record,
                  const kept_block_text& kept) {
  const bool any_item = std::any_of(std::begin(kept.items), std::end(kept.items),
                                    [](std::string_view item) { return !item.empty(); });
  if (kept.extras.empty() && !any_item && kept.line_end == "\n") {
    append_block(out, identifier, record);
    return;
  }
  const std::string_view line_end = kept.line_end;
  std::string buffer(block_size_bound(record), '\0');
  // One line of the standard block, written by `write` into the buffer with
  // its "\n", or the kept item in its place; then the block's line end.
  const auto line = [&](int slot, const auto& write) {
    if (slot >= 0 && !kept.items[slot].empty()) {
      out += kept.items[slot];
      out += ';';
    } else {
      char* const end = write(buffer.data());
      out.append(buffer.data(), static_cast<std::size_t>(end - buffer.data()) - 1);
    }
    out += line_end;
  };
  line(-1, [&](char* at) { return put(write_integer(put(at, "<record="), identifier), ">\n"); });
  line(0, [&](char* at) { return put(write_exact(put(at, "cost="), record.cost()), ";\n"); });
  line(1, [&](char* at) { return write_text_line(at, "operation", record.operation()); });
  line(2, [&](char* at) { return put(write_integer(put(at, "date="), record.date()), ";\n"); });
  line(3, [&](char* at) { return put(write_exact(put(at, "mileage="), record.mileage()), ";\n"); });
  line(4, [&](char* at) { return write_text_line(at, "notes", record.notes()); });
  // Items no field takes first, each on a line of its own with its ";"
  // again; one that starts with "#" would be a comment at the start of a
  // line, so it follows the ";" of the line before directly. They are the
  // record's other fields as they stood; fields changed since are written
  // from the record instead. Then the comment lines, each with its own
  // line end.
  for (const hash_element& field : kept.fields_changed ? record.other_fields()
                                                        : std::vector<hash_element>()) {
    if (!field.key.empty() && field.key.front() == '#') out.resize(out.size() - line_end.size());
    char* const end = write_other_line(buffer.data(), field);
    out.append(buffer.data(), static_cast<std::size_t>(end - buffer.data()) - 1);
    out += line_end;
  }
  for (const extra_text& extra : kept.extras) {
    if (extra.comment || kept.fields_changed) continue;
    if (!extra.text.empty() && extra.text.front() == '#') out.resize(out.size() - line_end.size());
    out += extra.text;
    out += ';';
    out += line_end;
  }
  for (const extra_text& extra : kept.extras) {
    if (!extra.comment) continue;
    out += extra.text;
    out += extra.line_end.empty() ? line_end : extra.line_end;
  }
  out += "</record>";
  out += line_end;
}

void append_block(std::string& out, int identifier, const Record& record) {
  const std::size_t start = out.size();
  out.resize(start + block_size_bound(record));
  char* const end = write_block(out.data() + start, identifier, record);
  out.resize(static_cast<std::size_t>(end - out.data()));
}

std::size_t attached_comments(const std::string& text, std::size_t lead, std::size_t begin) {
  const auto is_line_blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  std::size_t line = begin;
  while (line > lead && text[line - 1] != '\n') --line;
  for (std::size_t i = line; i < begin; ++i) {
    if (!is_line_blank(text[i])) return begin;
  }
  std::size_t attached = line;
  while (attached > lead) {
    std::size_t start = attached - 1;  // the line end of the line above
    while (start > lead && text[start - 1] != '\n') --start;
    std::size_t first = start;
    while (first < attached - 1 && is_line_blank(text[first])) ++first;
    if (first == attached - 1 || text[first] != '#') break;
    attached = start;
  }
  return attached == line ? begin : attached;
}

}  // namespace tarvik
