#ifndef TARVIK_TRANSFER_CSV_EXPORT_H_
#define TARVIK_TRANSFER_CSV_EXPORT_H_

#include <string>
#include <string_view>
#include <vector>

#include "data/record.h"

// The log as CSV (RFC 4180) for spreadsheets and other programs: a header
// line "Mileage,Date,Operation,Cost,Notes" (and a column for each key of
// the records' other fields), then one line a record, every
// line ended by CR LF. A field is quoted when it holds a comma, a double
// quote, a CR or a LF, its double quotes doubled. Numbers carry the exact
// values of the log with a full stop (as the log file writes them, not as
// the table rounds them for display). A date is the local calendar date
// YYYY-MM-DD, followed by "T" and HH:MM:SS when it is not midnight, so that
// a re-import gets the very same time. Texts are written as the bytes the
// record holds (UTF-8 when they came from the window), but for one mark:
//
// A spreadsheet runs a cell that begins with "=", "+", "-" or "@" (or a tab
// or CR before them) as a formula, so a note such as "=HYPERLINK(...)"
// could act when the file is opened. Such an operation or note is written
// with a "'" in front, which spreadsheets take as "this is text" and do
// not show. So that the mark can be told from a text's own quotes, a text
// that already begins with quotes followed by one of those characters gets
// one quote more ("'=x" is written "''=x"), and the import (csv_import.h)
// takes exactly one quote off every operation or note cell of that form:
// a round trip gives back the very same text. Numbers (even negative ones)
// and dates are never marked.
namespace tarvik {

// Whether the export marks `text` with a leading "'": after any leading
// quotes it begins with "=", "+", "-", "@", a tab or a CR.
bool formula_guarded(std::string_view text);

std::string csv_header();

// The keys of the records' other fields (Record::other_fields), each once
// (same_field_key) as first written, in the order first met: the columns
// that follow the five.
std::vector<std::string> other_field_keys(const std::vector<const Record*>& records);
// The header with a column for each of `keys` after the five.
std::string csv_header(const std::vector<std::string>& keys);

// One record's line, with its CR LF.
void append_csv_row(std::string& out, const Record& record);
// The same with a cell for each of `keys`: the record's last field under
// it, texts marked as the operation and notes are, empty where it has none.
void append_csv_row(std::string& out, const Record& record, const std::vector<std::string>& keys);

// The header and the records' lines, in the order given.
std::string csv_of(const std::vector<const Record*>& records);

// Writes csv_of(records) to `path`, crash-safely (a temporary file renamed
// over it). False, with `error` set to the system's reason, on failure.
bool write_csv(const std::string& path, const std::vector<const Record*>& records,
               std::string& error);

}  // namespace tarvik

#endif  // TARVIK_TRANSFER_CSV_EXPORT_H_
