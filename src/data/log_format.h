#ifndef TARVIK_DATA_LOG_FORMAT_H_
#define TARVIK_DATA_LOG_FORMAT_H_

#include <functional>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "data/record.h"

// The text of the log file: tagged record blocks.
//
//   <record=3>
//   cost=312;
//   operation=Tyres;
//   date=1031097600;
//   mileage=51873.5;
//   notes=;
//   </record>
//
// The reader is lenient: it reports each problem as one line on stderr and
// goes on, keeping every block it has begun to read. Text between blocks
// that is neither blank nor a comment line is passed over up to the next
// open tag; it stays in the text, where a writer that copies what lies
// between blocks keeps it. Only a failed read stops the reading.
namespace tarvik {

// Something of a log the user should hear of, at a line (counted from 1;
// 0 when the source cannot tell).
struct log_problem {
  std::size_t line = 0;
  std::string message;
};

// What a reading of a whole log saw.
struct log_reading {
  int diagnostics = 0;  // lines reported on stderr
  // Of those, the ones about text outside blocks (text passed over, a last
  // comment line without its line end), which cost no block anything.
  int passed_over = 0;
  // Every reported line, in words for the user (the stderr lines keep
  // their own wording), and besides them (not on stderr) every value that
  // was not read in full and every item that is no key=value pair.
  std::vector<log_problem> problems;
};

// A bytes range [begin, end) of the text read.
struct text_span {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// A comment line of a block body, or an item under a key no field takes.
struct block_extra {
  text_span span;
  bool comment = false;
};

// The item (without its ";") that gave a field its value, where that value
// is not all the item says: a number with more after it, a text cut at a
// second "=" or at a NUL byte. Only the last item of a field counts, since
// it is the one read.
struct partial_item {
  record_field field = record_field::none;  // date, mileage, cost, operation or notes
  text_span span;
};

// One block as the reader met it. Offsets count from the start of the text.
struct block_reading {
  std::vector<hash_element> pairs;
  text_span span;  // from its "<" to after its close tag and the line end there
  bool clean = false;  // read without a diagnostic
  // What of the body no field takes, in file order: comment lines (without
  // their line end) and items under keys that name no field (without their
  // ";"). A block rewritten for a changed record keeps them.
  std::vector<block_extra> extras;
  // The fields whose value was not read in full, each at most once.
  std::vector<partial_item> partial;
};

// Reads a whole log held in memory. `read_error`, when not 0, is the errno of
// a read that failed right after `text`: the reader then meets a read failure
// there instead of the end of the file. Every block becomes one call of
// `add` with its pairs in file order, also an incomplete or empty list after
// an error. Reading stops at the end or at the first error at the top level.
log_reading parse_log(std::string_view text, int read_error,
                      const std::function<void(std::vector<hash_element>)>& add);

// The same, with every block's place in the text. The block is the reader's
// own and is reused: take what you keep. A UTF-8 byte-order mark at the very
// start is skipped, unless `text` does not start the file (`file_start`).
// Without `report`, problems are collected but nothing is written to stderr
// (for reading again what was reported before).
log_reading parse_log(std::string_view text, int read_error,
                      const std::function<void(block_reading&)>& add, bool report = true,
                      bool file_start = true);

// The same for another file of this block style whose blocks close with
// `close_tag` ("</" + kind + ">", such as "</interval>") rather than
// "</record>"; any other close tag is reported as malformed for that kind.
// `text` is a whole file: a byte-order mark at its start is skipped. The
// log itself is always read with "</record>".
log_reading parse_blocks(std::string_view text, int read_error, std::string_view close_tag,
                         const std::function<void(block_reading&)>& add, bool report);

// The same, reading `in` through its stream buffer to its end. A read that
// fails (an exception of the stream buffer included) is reported as the
// read error it is.
log_reading parse_log(std::istream& in,
                      const std::function<void(std::vector<hash_element>)>& add);

// Reads one block from `in`, which stands right after its "<", and returns
// its pairs: ("identifier", digits) first, then one pair per item of the
// body. After an error, the pairs collected so far. `in` is left after the
// block's last character (the ">" of its close tag, normally).
std::vector<hash_element> parse_record(std::istream& in);

// Cuts `text` into the maximal runs of characters not in `delimiters`, as
// strtok finds them, and returns at most `max_tokens` of them (no limit when
// it is 0, none when it is negative).
std::vector<std::string> split(std::string delimiters, std::string text, int max_tokens);

// Where the comment lines directly above the block that starts at `begin`
// start: the lines between `lead` and `begin` whose first non-blank byte is
// "#", with no other line between them and the block, and nothing but
// blanks before the block on its line. `begin` when there are none. Such
// comments belong to the block: they go where it goes.
std::size_t attached_comments(const std::string& text, std::size_t lead, std::size_t begin);

// Appends the block of `record` under `identifier` to `out`: the five
// fields, then its other fields in their order. Texts holding ";" or "=" go
// under the starred key, escaped, so that they read back whole; every other
// text is written as it is.
void append_block(std::string& out, int identifier, const Record& record);

// What a block written anew for a record keeps of the block it replaces.
struct extra_text {
  std::string_view text;  // a comment line, or an item without its ";"
  bool comment = false;
  std::string_view line_end;  // a comment line's own; empty: the block's
};
struct kept_block_text {
  // Line ends of the block ("\n" or "\r\n").
  std::string_view line_end = "\n";
  // Comment lines and items no field takes, as block_reading gives them:
  // each on a line of its own before the close tag, items with their ";"
  // again, items first.
  std::vector<extra_text> extras;
  // The record's other fields differ from the items of `extras`: they are
  // written from the record, and of `extras` only the comment lines.
  bool fields_changed = false;
  // Items (without ";") written in place of a field's own line, as they
  // stood, by field: cost, operation, date, mileage, notes. Empty: the
  // field is written from the record.
  std::string_view items[5];
};
// The slot of `field` in kept_block_text::items; -1 for other fields.
int kept_item_slot(record_field field);
void append_block(std::string& out, int identifier, const Record& record,
                  const kept_block_text& kept);

// The same, written at `out`, which has room for block_size_bound(record)
// bytes; returns the end of the block. For writers with buffers of their own.
std::size_t block_size_bound(const Record& record);
char* write_block(char* out, int identifier, const Record& record);

}  // namespace tarvik

#endif  // TARVIK_DATA_LOG_FORMAT_H_
