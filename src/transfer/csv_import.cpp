#include "transfer/csv_import.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <ctime>
#include <optional>

#include "data/number_text.h"
#include "data/calendar.h"
#include "transfer/csv_export.h"

namespace tarvik {
namespace {

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// An operation or note as the export wrote it, without the quote it puts
// before a text a spreadsheet would run as a formula (csv_export.h).
std::string text_cell(const std::string& cell) {
  if (!cell.empty() && cell.front() == '\'' && formula_guarded(cell)) return cell.substr(1);
  return cell;
}

std::string lower_ascii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// The words of a header: runs of ASCII letters, lower-cased. NUL bytes are
// passed over, as column_name leaves them out of the name shown.
std::vector<std::string> words_of(std::string_view header) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : lower_ascii(header)) {
    if (c == '\0') continue;
    if (c >= 'a' && c <= 'z') {
      word += c;
    } else if (!word.empty()) {
      words.push_back(std::move(word));
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

csv_role role_of_word(const std::string& word) {
  struct known {
    const char* word;
    csv_role role;
  };
  static constexpr known kWords[] = {
      {"odometer", csv_role::mileage}, {"mileage", csv_role::mileage},
      {"km", csv_role::mileage},       {"miles", csv_role::mileage},
      {"date", csv_role::date},        {"description", csv_role::operation},
      {"service", csv_role::operation}, {"operation", csv_role::operation},
      {"type", csv_role::operation},   {"cost", csv_role::cost},
      {"price", csv_role::cost},       {"amount", csv_role::cost},
      {"total", csv_role::cost},       {"notes", csv_role::notes},
      {"note", csv_role::notes},       {"comment", csv_role::notes},
      {"comments", csv_role::notes},   {"memo", csv_role::notes},
      // German, as spreadsheets of the decimal-comma users often head them.
      {"datum", csv_role::date},       {"kilometerstand", csv_role::mileage},
      {"tachostand", csv_role::mileage}, {"beschreibung", csv_role::operation},
      {"leistung", csv_role::operation}, {"kosten", csv_role::cost},
      {"betrag", csv_role::cost},      {"preis", csv_role::cost},
      {"notiz", csv_role::notes},      {"notizen", csv_role::notes},
      {"bemerkung", csv_role::notes},  {"bemerkungen", csv_role::notes},
  };
  for (const known& k : kWords) {
    if (word == k.word) return k.role;
  }
  return csv_role::extra;
}

// A cell as a message quotes it. A long one is cut (never inside a UTF-8
// character): a cell of megabytes would make a line nobody reads, and one
// slow to draw.
std::string quoted(const std::string& cell) {
  constexpr std::size_t kLongest = 60;
  if (cell.size() <= kLongest) return '"' + cell + '"';
  std::size_t cut = kLongest;
  for (int back = 0; back < 3 && (static_cast<unsigned char>(cell[cut]) & 0xC0) == 0x80; ++back) {
    --cut;
  }
  return '"' + cell.substr(0, cut) + "...\"";
}

// Whether `digits` is a whole part grouped in threes by `group`: 1 to 3
// digits, then groups of exactly 3.
bool grouped_in_threes(std::string_view digits, char group) {
  std::size_t start = 0;
  bool first = true;
  for (;;) {
    const std::size_t end = std::min(digits.find(group, start), digits.size());
    const std::size_t length = end - start;
    if (length == 0 || length > 3 || (!first && length != 3)) return false;
    for (std::size_t i = start; i < end; ++i) {
      if (!std::isdigit(static_cast<unsigned char>(digits[i]))) return false;
    }
    if (end == digits.size()) return true;
    first = false;
    start = end + 1;
  }
}

// A decimal number with `decimals` as its mark (see import_rows), or false.
bool read_number(std::string_view cell, decimal_mark decimals, double& value) {
  const std::string_view text = trimmed(cell);
  if (text.empty()) {
    value = 0;
    return true;
  }
  const char point = decimals == decimal_mark::comma ? ',' : '.';
  const char group = decimals == decimal_mark::comma ? '.' : ',';
  const std::size_t at = text.find(point);
  if (at != std::string_view::npos && text.find(point, at + 1) != std::string_view::npos) return false;
  std::string_view whole = text.substr(0, at);
  const std::string_view fraction = at == std::string_view::npos ? std::string_view() : text.substr(at + 1);
  if (fraction.find(group) != std::string_view::npos) return false;
  std::string plain;
  if (!whole.empty() && (whole[0] == '-' || whole[0] == '+')) {
    plain += whole[0];
    whole.remove_prefix(1);
  }
  if (whole.find(group) != std::string_view::npos) {
    if (!grouped_in_threes(whole, group)) return false;
    for (const char c : whole) {
      if (c != group) plain += c;
    }
  } else {
    plain += whole;
  }
  if (at != std::string_view::npos) {
    plain += '.';
    plain += fraction;
  }
  // Plain digits only: no hexadecimal, no "inf", no units.
  for (const char c : plain) {
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' ||
          c == 'e' || c == 'E')) {
      return false;
    }
  }
  if (!whole_double_text(plain.c_str())) return false;
  value = parse_double(plain.c_str());
  return std::isfinite(value);
}

// What a number cell tells of the decimal mark: the mark, or nothing.
std::optional<decimal_mark> mark_told_by(std::string_view cell) {
  const std::string_view text = trimmed(cell);
  const std::size_t comma = text.rfind(',');
  const std::size_t stop = text.rfind('.');
  if (comma != std::string_view::npos && stop != std::string_view::npos) {
    return comma > stop ? decimal_mark::comma : decimal_mark::full_stop;
  }
  const std::size_t last = comma != std::string_view::npos ? comma : stop;
  if (last == std::string_view::npos) return std::nullopt;
  const decimal_mark as_decimal = last == comma ? decimal_mark::comma : decimal_mark::full_stop;
  const decimal_mark other = last == comma ? decimal_mark::full_stop : decimal_mark::comma;
  if (text.find(text[last]) != last) return other;  // twice: it groups
  std::size_t digits = 0;
  while (last + 1 + digits < text.size() &&
         std::isdigit(static_cast<unsigned char>(text[last + 1 + digits]))) {
    ++digits;
  }
  if (last + 1 + digits != text.size()) return std::nullopt;  // not a plain number
  if (digits != 3) return as_decimal;
  return std::nullopt;
}

// Reads up to `count` unsigned numbers separated by one of `separators`,
// each of 1 to `widest` digits. Returns how many were read; `rest` is what
// follows the last.
int read_parts(std::string_view text, const char* separators, int count, int widest, long* parts,
               std::string_view& rest) {
  int read = 0;
  std::size_t i = 0;
  while (read < count) {
    const std::size_t start = i;
    long value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) &&
           static_cast<int>(i - start) < widest) {
      value = value * 10 + (text[i] - '0');
      ++i;
    }
    if (i == start) break;
    parts[read++] = value;
    if (read == count || i >= text.size()) break;
    if (std::string_view(separators).find(text[i]) == std::string_view::npos) break;
    ++i;
  }
  rest = text.substr(i);
  return read;
}

bool read_date(std::string_view cell, date_order order, long& date) {
  const std::string_view text = trimmed(cell);
  long parts[3] = {};
  std::string_view rest;
  // 2002-05-01, 2002/05/01 and 2002.05.01 alike, as spreadsheets write them.
  if (read_parts(text, "./-", 3, 4, parts, rest) != 3) {
    return false;
  }
  long year = 0;
  long month = 0;
  long day = 0;
  switch (order) {
    case date_order::iso: year = parts[0], month = parts[1], day = parts[2]; break;
    case date_order::day_first: day = parts[0], month = parts[1], year = parts[2]; break;
    case date_order::month_first: month = parts[0], day = parts[1], year = parts[2]; break;
  }
  if (year < 1000) return false;  // two-digit years say too little
  long clock[3] = {0, 0, 0};
  if (!rest.empty()) {
    if (rest.front() != 'T' && rest.front() != ' ') return false;
    rest.remove_prefix(1);
    std::string_view after;
    const int read = read_parts(rest, ":", 3, 2, clock, after);
    if (read < 2 || !trimmed(after).empty()) return false;
  }
  const std::optional<long> moment = local_time(year, month, day, clock[0], clock[1], clock[2]);
  if (!moment) return false;
  date = *moment;
  return true;
}

}  // namespace

char guess_separator(std::string_view text) {
  int commas = 0;
  int semicolons = 0;
  int tabs = 0;
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\n') break;
    commas += c == ',';
    semicolons += c == ';';
    tabs += c == '\t';
  }
  if (tabs > commas && tabs > semicolons) return '\t';
  return semicolons > commas ? ';' : ',';
}

namespace {

struct reading {
  char separator = ',';
  bool escapes = false;
  bool blanks = false;
};

// Walks the cells of `text` as `how` says, handing each character, cell
// end and row end to `sink`, which may stop the walk by returning false.
// One walk for reading and for the guesses that compare readings.
template <typename Sink>
void walk_csv(std::string_view text, const reading& how, Sink& sink) {
  std::size_t line = 1;
  std::size_t row_line = 1;
  std::size_t cell_size = 0;
  bool quoted = false;
  bool any = false;  // the row has begun
  const auto escaped = [&](std::size_t i, bool in_quotes) {
    if (!how.escapes || i + 1 >= text.size()) return false;
    const char next = text[i + 1];
    return next == '"' || next == '\\' || (!in_quotes && next == how.separator);
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '\\' && escaped(i, true)) {
        sink.add(text[++i]);
        ++cell_size;
      } else if (c == '"') {
        if (i + 1 < text.size() && text[i + 1] == '"') {
          sink.add('"');
          ++cell_size;
          ++i;
        } else {
          quoted = false;
        }
      } else {
        if (c == '\n') ++line;
        sink.add(c);
        ++cell_size;
      }
      continue;
    }
    if (c == '\\' && escaped(i, false)) {
      sink.add(text[++i]);
      ++cell_size;
      any = true;
    } else if (c == '"' && cell_size == 0) {
      quoted = true;
      any = true;
    } else if (c == how.separator) {
      if (!sink.end_cell()) return;
      cell_size = 0;
      any = true;
      if (how.blanks && i + 1 < text.size() && text[i + 1] == ' ') ++i;
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      if (any || cell_size != 0) {
        if (!sink.end_cell()) return;
        sink.end_row(row_line);
      }
      cell_size = 0;
      any = false;
      row_line = ++line;
    } else {
      sink.add(c);
      ++cell_size;
      any = true;
    }
  }
  if (any || cell_size != 0) {
    if (!sink.end_cell()) return;
    sink.end_row(row_line);
  }
}

// The cells of each row, counted: enough to compare two readings.
struct cell_counter {
  std::vector<std::size_t> counts;
  std::size_t cells = 0;
  void add(char) {}
  bool end_cell() {
    ++cells;
    return true;
  }
  void end_row(std::size_t) {
    counts.push_back(cells);
    cells = 0;
  }
};

// Rows whose cells are not as many as the header's.
std::size_t ragged_rows(std::string_view text, const reading& how) {
  cell_counter counter;
  walk_csv(text, how, counter);
  if (counter.counts.empty()) return 0;
  return static_cast<std::size_t>(std::count_if(
      counter.counts.begin(), counter.counts.end(),
      [&](std::size_t count) { return count != counter.counts.front(); }));
}

struct table_builder {
  csv_table& table;
  std::size_t most_cells;
  std::vector<std::string> row;
  std::string cell;
  std::size_t cells = 0;
  void add(char c) { cell += c; }
  bool end_cell() {
    if (++cells > most_cells) {
      table.complete = false;
      return false;
    }
    row.push_back(std::move(cell));
    cell.clear();
    return true;
  }
  void end_row(std::size_t line) {
    table.rows.push_back(std::move(row));
    table.line_of.push_back(line);
    row.clear();
  }
};

}  // namespace

bool guess_blank_after_separator(std::string_view text, char separator) {
  if (separator == ' ') return false;
  bool quoted = false;
  bool blank = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') quoted = !quoted;
    if (quoted || c != separator) continue;
    const char next = i + 1 < text.size() ? text[i + 1] : '\n';
    if (next == ' ') {
      blank = true;
    } else if (next != '\n' && next != '\r') {
      return false;
    }
  }
  return blank;
}

bool guess_backslash_escapes(std::string_view text, char separator, bool blank_after_separator) {
  // Most files hold no such backslash: one quick look spares them the
  // two readings.
  bool seen = false;
  for (std::size_t at = text.find('\\'); at != std::string_view::npos && !seen;
       at = text.find('\\', at + 1)) {
    seen = at + 1 < text.size() && (text[at + 1] == separator || text[at + 1] == '"');
  }
  if (!seen) return false;
  const std::size_t plain = ragged_rows(text, {separator, false, blank_after_separator});
  const std::size_t escaped = ragged_rows(text, {separator, true, blank_after_separator});
  return escaped < plain;
}

csv_table read_csv(std::string_view text, const csv_options& options, std::size_t most_cells) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  csv_table table;
  table.separator = options.separator != 0 ? options.separator : guess_separator(text);
  table.blank_after_separator = options.blank_after_separator.has_value()
                                    ? *options.blank_after_separator
                                    : guess_blank_after_separator(text, table.separator);
  table.backslash_escapes =
      options.backslash_escapes.has_value()
          ? *options.backslash_escapes
          : guess_backslash_escapes(text, table.separator, table.blank_after_separator);
  table_builder builder{table, most_cells, {}, {}, 0};
  walk_csv(text, {table.separator, table.backslash_escapes, table.blank_after_separator}, builder);
  return table;
}

csv_table read_csv(std::string_view text, char separator, std::size_t most_cells) {
  csv_options options;
  options.separator = separator;
  return read_csv(text, options, most_cells);
}

std::vector<csv_role> guess_roles(const std::vector<std::string>& header) {
  std::vector<csv_role> roles(header.size(), csv_role::extra);
  std::vector<bool> taken(static_cast<std::size_t>(csv_role::extra) + 1, false);
  for (std::size_t column = 0; column < header.size(); ++column) {
    if (trimmed(header[column]).empty()) {
      roles[column] = csv_role::ignore;
      continue;
    }
    for (const std::string& word : words_of(header[column])) {
      const csv_role role = role_of_word(word);
      if (role == csv_role::extra || taken[static_cast<std::size_t>(role)]) continue;
      roles[column] = role;
      taken[static_cast<std::size_t>(role)] = true;
      break;
    }
  }
  return roles;
}

date_guess guess_date_order(const csv_table& table, std::size_t column) {
  bool day_first_possible = true;
  bool month_first_possible = true;
  bool iso = true;
  bool any = false;
  for (std::size_t r = 1; r < table.rows.size(); ++r) {
    if (column >= table.rows[r].size()) continue;
    const std::string_view cell = trimmed(table.rows[r][column]);
    if (cell.empty()) continue;
    any = true;
    long parts[3] = {};
    std::string_view rest;
    if (read_parts(cell, "./-", 3, 4, parts, rest) != 3) continue;
    if (parts[0] < 1000) iso = false;
    if (parts[0] > 12) month_first_possible = false;
    if (parts[1] > 12) day_first_possible = false;
  }
  date_guess guess;
  if (iso && any) return guess;
  guess.order = month_first_possible && !day_first_possible ? date_order::month_first
                                                            : date_order::day_first;
  guess.ambiguous = day_first_possible == month_first_possible;
  return guess;
}

std::string column_name(const std::vector<std::string>& header, std::size_t column) {
  std::string name = column < header.size() ? header[column] : std::string();
  name.erase(std::remove(name.begin(), name.end(), '\0'), name.end());
  if (trimmed(name).empty()) return "Column " + std::to_string(column + 1);
  return name;
}

decimal_mark guess_decimal_mark(const csv_table& table, const std::vector<csv_role>& roles) {
  std::size_t commas = 0;
  std::size_t stops = 0;
  for (std::size_t r = 1; r < table.rows.size(); ++r) {
    const std::vector<std::string>& row = table.rows[r];
    for (std::size_t column = 0; column < row.size() && column < roles.size(); ++column) {
      if (roles[column] != csv_role::mileage && roles[column] != csv_role::cost) continue;
      if (const std::optional<decimal_mark> told = mark_told_by(row[column])) {
        (*told == decimal_mark::comma ? commas : stops) += 1;
      }
    }
  }
  if (commas != stops) return commas > stops ? decimal_mark::comma : decimal_mark::full_stop;
  return table.separator == ';' ? decimal_mark::comma : decimal_mark::full_stop;
}

import_result import_rows(const csv_table& table, const std::vector<csv_role>& roles,
                          date_order dates, decimal_mark decimals, std::size_t text_limit) {
  import_result result;
  if (table.rows.empty()) return result;
  const std::vector<std::string>& header = table.rows.front();
  std::size_t text_made = 0;
  result.entries.reserve(table.rows.size() - 1);
  for (std::size_t r = 1; r < table.rows.size(); ++r) {
    const std::vector<std::string>& row = table.rows[r];
    // A spreadsheet's empty line (";;;;") holds nothing to keep or report.
    if (std::all_of(row.begin(), row.end(),
                    [](const std::string& cell) { return trimmed(cell).empty(); })) {
      continue;
    }
    imported_entry entry;
    entry.line = table.line_of[r];
    std::string problem;
    bool dated = false;
    bool too_much = false;
    std::string extras;
    std::size_t field_text = 0;  // of entry.fields, keys and values
    for (std::size_t column = 0; column < row.size() && problem.empty(); ++column) {
      const csv_role role = column < roles.size() ? roles[column] : csv_role::extra;
      const std::string& cell = row[column];
      // Named only where a name is written: a file may have millions of
      // columns, mostly empty. A column without a name is called by its
      // number, so that a note never holds a value nobody can tell the
      // meaning of.
      const auto name = [&] { return column_name(header, column); };
      // The log would cut the text there on reading it back.
      if (role != csv_role::ignore && cell.find('\0') != std::string::npos) {
        problem = name() + " holds a NUL character, which a log cannot keep";
        break;
      }
      double number = 0;
      switch (role) {
        case csv_role::ignore:
          break;
        case csv_role::mileage:
          if (!read_number(cell, decimals, number)) {
            problem = name() + " " + quoted(cell) + " is not a number";
          }
          entry.mileage = number;
          break;
        case csv_role::cost:
          if (!read_number(cell, decimals, number)) {
            problem = name() + " " + quoted(cell) + " is not a number";
          } else if (!std::isfinite(static_cast<float>(number))) {
            // A cost is kept in single precision: this one would be infinite.
            problem = name() + " " + quoted(cell) + " is too large";
          }
          entry.cost = static_cast<float>(number);
          break;
        case csv_role::date:
          if (trimmed(cell).empty()) {
            problem = "no date";
          } else if (!read_date(cell, dates, entry.date)) {
            problem = name() + " " + quoted(cell) + " is not a date of the form chosen";
          }
          dated = true;
          break;
        case csv_role::operation:
          entry.operation = text_cell(cell);
          break;
        case csv_role::notes:
          entry.notes = text_cell(cell);
          break;
        case csv_role::extra:
          if (trimmed(cell).empty()) break;
          // Checked as the notes grow: one row may be wide enough on its own.
          if (text_made + field_text + extras.size() + cell.size() +
                  (column < header.size() ? header[column].size() : 0) >
              text_limit) {
            too_much = true;
            break;
          }
          // A column whose name can be a key of the log becomes a field of
          // the entry under it; any other (a second "Notes", a name with
          // ";") goes to the notes as a "Header: value" line.
          if (const std::string key(trimmed(name())); usable_field_key(key)) {
            std::string value = text_cell(cell);
            field_text += key.size() + value.size();
            entry.fields.push_back({key, std::move(value)});
            break;
          }
          if (!extras.empty()) extras += '\n';
          extras += name();
          extras += ": ";
          extras += cell;
          break;
      }
      if (too_much) break;
    }
    if (!too_much && problem.empty() && !dated) problem = "no date";
    if (!problem.empty()) {
      result.problems.push_back({entry.line, problem});
      continue;
    }
    if (!extras.empty()) entry.notes += (entry.notes.empty() ? "" : "\n") + extras;
    text_made += entry.operation.size() + entry.notes.size() + field_text;
    if (too_much || text_made > text_limit) {
      result.entries.clear();
      result.problems.push_back(
          {entry.line, "the entries up to this row hold more than " +
                           std::to_string(text_limit >> 20) +
                           " MiB of text, more than one import may bring: nothing is imported"});
      break;
    }
    result.entries.push_back(std::move(entry));
  }
  return result;
}

}  // namespace tarvik
