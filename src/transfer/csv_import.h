#ifndef TARVIK_TRANSFER_CSV_IMPORT_H_
#define TARVIK_TRANSFER_CSV_IMPORT_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/record.h"

// CSV files of other vehicle-log programs (and our own export) read into log
// entries. Reading is in three steps so that a window can show a preview
// and let the user correct every guess: the cells (read_csv), what each
// column means and how dates are written (guess_roles, guess_date_order),
// then the entries (import_rows). Nothing is thrown; nothing that cannot be
// read is skipped without a word or read as 0.
namespace tarvik {

// The cells of a CSV text, as RFC 4180 has them and as spreadsheets write
// them: quoted fields may hold separators, doubled quotes and line breaks;
// lines end in LF or CR LF; a UTF-8 byte-order mark at the start is
// skipped. rows[0] is the header. line_of[i] is the line (from 1) row i
// starts on, for messages. `complete` is false when reading stopped at
// read_csv's limit: the rows are then only the first of the file's.
// Two conventions of other programs' writers are read where the file uses
// them (csv_options): a backslash before the separator, a quote or a
// backslash keeps that character in the cell, and one blank after each
// separator (", ") is not part of the cell.
struct csv_table {
  char separator = ',';
  bool backslash_escapes = false;
  bool blank_after_separator = false;
  std::vector<std::vector<std::string>> rows;
  std::vector<std::size_t> line_of;
  bool complete = true;
};

// The most cells read_csv reads: a million entries of ten columns, far
// beyond any vehicle's log. Each cell costs some 50 bytes and half a
// microsecond, so a file of hundreds of millions of tiny cells (only
// separators, only line breaks) would take gigabytes and minutes.
inline constexpr std::size_t kMostCsvCells = 10'000'000;

// The separator the text most likely uses: ",", ";" or a tab, judged by the
// first line outside quotes.
char guess_separator(std::string_view text);

// Whether every separator outside quotes is followed by a blank (or ends
// its line), at least one by a blank: "a, b, c".
bool guess_blank_after_separator(std::string_view text, char separator);

// Whether a backslash escapes the separator and quotes ("Autobahn\; A8"):
// only where some backslash stands before one, and the rows then read with
// the header's column count more often than they do without.
bool guess_backslash_escapes(std::string_view text, char separator, bool blank_after_separator);

// How to read a CSV text; what is unset is guessed from it (above).
struct csv_options {
  char separator = 0;
  std::optional<bool> backslash_escapes;
  std::optional<bool> blank_after_separator;
};

// Reads `text` as `options` say, up to the row that would take the cells
// past `most_cells`. The table says what was used.
csv_table read_csv(std::string_view text, const csv_options& options,
                   std::size_t most_cells = kMostCsvCells);
// The same with `separator` (0: guess_separator's) and the rest guessed.
csv_table read_csv(std::string_view text, char separator = 0,
                   std::size_t most_cells = kMostCsvCells);

// What a column holds. Columns that hold something none of the five fields
// takes are `extra`: each becomes a field of the entry named by its header
// (see Record::other_fields), or, where the header cannot be a key of the
// log (usable_field_key), a "Header: value" line of the entry's notes.
// The fill-up columns go to the known fields of record.h: `quantity` to
// "fuel", `unit_price` (a price per litre, gallon, ...) to "price", `full`
// and `partial` (a yes/no flag, the second inverted) and `fill_type` (a
// code: 1 full, 2 partial, 3 first fill-up) to "full", `missed` (a flag)
// to "missed=yes", `fuel_type` to "fueltype". `currency` names the
// currency of the row's cost (see import_rows).
enum class csv_role {
  ignore, mileage, date, operation, cost, notes, extra,
  quantity, unit_price, full, partial, missed, fill_type, fuel_type, currency,
};

// The role of each column, from the usual header words of vehicle-log
// exports in English, German, French, Spanish, Italian, Dutch, Polish and
// Portuguese, in any letter case, words glued at capitals or by "_" read
// apart ("FuelConsumed", "missed_fuelup"): odometer/mileage, date,
// description/service/operation/type, cost/price/amount/total,
// notes/comment/memo, and the fill-up columns. A word anywhere in the
// header counts ("Total cost"). The first column of a role takes it; every
// other column is `extra`, but for these: a total ("Total Cost") is the
// cost before any other cost column; an odometer is the mileage before a
// distance ("miles", "km"), and a distance since the last entry ("Trip")
// or the economy ("mpg", "Consumption") is never one; a price written per
// unit ("Price Per Liter", "Price / L", "Unit price") is never the cost,
// nor a bare "Price" when a quantity column is there and no other column
// is the price per unit. Codes and flags ("Type" beside a quantity,
// "Missed", "TankNumber", "UniqueId") are never the operation.
std::vector<csv_role> guess_roles(const std::vector<std::string>& header);

// The same, then corrected by the cells of `table` (its first rows): a
// cost column whose values times the quantity's give another column is the
// price per unit, and that other column the cost; a column whose values
// times the quantity's give the cost's is the price per unit.
std::vector<csv_role> guess_roles(const std::vector<std::string>& header, const csv_table& table);

// The distance unit the mileage column's header names in brackets
// ("Odometer (km)", "Odo (mi)"): "km", "mi", or empty when it names none.
std::string named_distance_unit(const std::vector<std::string>& header,
                                const std::vector<csv_role>& roles);
// "km" or "mi" from a word units are written in ("Kilometers", "mi.",
// "Miles"), else empty.
std::string distance_unit_named(std::string_view word);

// How dates are written: 2002-05-01 (iso), 1.5.2002 (day first) or
// 5/1/2002 (month first); a time (T or blank, then HH:MM[:SS]) may follow.
enum class date_order { iso, day_first, month_first };

// The order the dates of column `column` are written in. `ambiguous` when
// no date tells day and month apart (all parts up to 12): the user is to be
// asked then.
struct date_guess {
  date_order order = date_order::iso;
  bool ambiguous = false;
};
date_guess guess_date_order(const csv_table& table, std::size_t column);

// How numbers mark their decimals: 45210.5 (a full stop; commas may group
// thousands, 1,234.5) or 45210,5 (a comma; full stops may group thousands,
// 1.234,5).
enum class decimal_mark { full_stop, comma };

// The mark the number columns (by `roles`: mileage, cost, quantity, price
// per unit) use, judged by the cells that tell, a currency around them
// left aside: both marks (the later one is the decimal), a mark twice
// (it groups), or one mark followed by other than three digits (it is the
// decimal). When no cell tells ("45.210" could be either), a comma for
// files separated by ";" (spreadsheets of comma-decimal languages write
// those), else a full stop.
decimal_mark guess_decimal_mark(const csv_table& table, const std::vector<csv_role>& roles);

// The name a column goes by in notes and messages: its header, less any NUL
// byte (no log keeps one), or "Column N" (from 1) when that is blank or the
// header has no such column.
std::string column_name(const std::vector<std::string>& header, std::size_t column);

// The most text (operations and notes) one import makes: far more than any
// vehicle's log holds (a million entries take about 140 MB), and a fraction
// of what a log may be. Without it a long header kept in the notes of
// millions of rows would take all memory.
inline constexpr std::size_t kImportTextLimit = std::size_t{256} << 20;

// One entry read from a row.
struct imported_entry {
  std::size_t line = 0;
  long date = 0;
  double mileage = 0;
  std::string operation;
  std::string notes;
  float cost = 0;
  // The cells of `extra` columns, under their trimmed headers, in column
  // order; empty cells are left out.
  std::vector<hash_element> fields;
};

// A row that could not be read, and why.
struct import_problem {
  std::size_t line = 0;
  std::string message;
};

struct import_result {
  std::vector<imported_entry> entries;
  std::vector<import_problem> problems;
  // The currencies the entries' costs are in, each once, in the order met.
  // More than one: the costs cannot be added up as they are.
  std::vector<std::string> currencies;
  // How many entries have quantity times price per unit as their cost, the
  // file giving no total for them.
  std::size_t costs_from_price = 0;
};

// Whether costs in `file_currency` (as import_result has it) are surely not
// in `log_currency` (as the log's settings write it: "€", "EUR", "$"): two
// codes or two signs that differ, or a sign that no way of writing the
// code's currency holds ("$" is never EUR; it may be CAD, written "C$").
// False where either names no currency known here.
bool surely_other_currency(std::string_view file_currency, std::string_view log_currency);

// The key of the field that keeps the currency a row's cost is in.
inline constexpr std::string_view kCurrencyKey = "currency";

// The entries of every row after the header. Numbers have `decimals` as
// their decimal mark, at most once; the other mark (or a blank, a no-break
// space or a narrow no-break space) may only group the whole part in
// threes (1.234,5 or 1,234.5 or 1 234,5), so that a number written the
// other way ("45.21" with a comma mark) is reported, never read as another
// value. Costs and prices per unit may name their currency before or after
// the number, with or without a blank: a symbol ($ € £ kr zł R$ CHF ...) or
// any three capital letters as an ISO code; negative as "-$12.00",
// "$-12.00" or "($12.00)". The entry keeps it in its "currency" field: the
// ISO code where the cell or a `currency` column writes one or a symbol
// names one currency alone (€: EUR, £: GBP, zł: PLN, R$: BRL, ...), else
// the symbol as written ("$", "kr", "¥"), never guessed further; a currency
// column's code tells which dollar a "$" is. The field stands where the
// currency column does, else last. A row whose cells, or cell and column,
// name two currencies is a problem.
// A row of empty cells is passed over, as an empty line is. An empty
// number cell is 0; an empty operation cell stays empty. A row with a
// quantity and no operation column has "Fuel" as its operation; with a
// quantity and a price per unit and no cost (no column, or an empty cell),
// their product to the cent is its cost. Flags read yes/no, true/false,
// 1/0 (and x for yes) in several languages; an empty one says nothing.
// A row whose date is missing or cannot be read, or whose numbers, flags or
// fill type cannot be read in full, or any of whose cells that reach the
// entry holds a NUL byte (a log cannot keep one), becomes no entry but a
// problem with its line.
// Dates are local time. When the entries' text would pass `text_limit`,
// nothing is imported: the problem at the row that passed it says why.
import_result import_rows(const csv_table& table, const std::vector<csv_role>& roles,
                          date_order dates, decimal_mark decimals,
                          std::size_t text_limit = kImportTextLimit);

}  // namespace tarvik

#endif  // TARVIK_TRANSFER_CSV_IMPORT_H_
