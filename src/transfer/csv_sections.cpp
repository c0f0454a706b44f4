#include "transfer/csv_sections.h"

#include <algorithm>
#include <optional>

#include "transfer/csv_import.h"

namespace tarvik {
namespace {

constexpr char kSeparators[] = {',', ';', '\t'};

// A row of the file: its bytes (without the line break), the line it
// starts on, and its separators outside quotes.
struct file_row {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t line = 1;
  bool blank = true;  // nothing but blanks and separators: ";;;;" too
  std::size_t separators[3] = {0, 0, 0};
};

bool is_blank_or_separator(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == ',' || c == ';';
}

// The rows of `text`, quotes respected: a line break inside quotes is part
// of the row.
std::vector<file_row> rows_of(std::string_view text) {
  std::vector<file_row> rows;
  file_row row;
  std::size_t line = 1;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') quoted = !quoted;
    if (c == '\n') {
      ++line;
      if (!quoted) {
        row.end = i > row.begin && text[i - 1] == '\r' ? i - 1 : i;
        rows.push_back(row);
        row = file_row{};
        row.begin = i + 1;
        row.line = line;
        continue;
      }
    }
    if (!is_blank_or_separator(c)) row.blank = false;
    if (!quoted) {
      for (int k = 0; k < 3; ++k) row.separators[k] += c == kSeparators[k];
    }
  }
  if (row.begin < text.size()) {
    row.end = text.size();
    if (row.end > row.begin && text[row.end - 1] == '\r') --row.end;
    rows.push_back(row);
  }
  return rows;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

std::string lower_ascii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

class file_view {
 public:
  explicit file_view(std::string_view text) : text_(text), rows_(rows_of(text)) {}

  const std::vector<file_row>& rows() const { return rows_; }
  std::string_view text_of(std::size_t r) const {
    return text_.substr(rows_[r].begin, rows_[r].end - rows_[r].begin);
  }
  // From the start of row `first` to the end of row `last`.
  std::string_view span(std::size_t first, std::size_t last) const {
    return text_.substr(rows_[first].begin, rows_[last].end - rows_[first].begin);
  }
  char separator_of(std::size_t r) const { return guess_separator(text_of(r)); }
  std::size_t cells_in(std::size_t r, char separator) const {
    const auto at = std::find(std::begin(kSeparators), std::end(kSeparators), separator);
    return rows_[r].separators[at - std::begin(kSeparators)] + 1;
  }
  std::vector<std::string> cells_of(std::size_t r) const {
    csv_table table = read_csv(text_of(r));
    return table.rows.empty() ? std::vector<std::string>() : std::move(table.rows.front());
  }
  // The next row from `r` on that is not blank; rows().size() when none.
  std::size_t next_filled(std::size_t r) const {
    while (r < rows_.size() && rows_[r].blank) ++r;
    return r;
  }

  // A header above its own rows: two or more named columns, most columns
  // named, and no name that is a number, a date or an amount, as data is.
  bool header_like(std::size_t r) const {
    const std::vector<std::string> cells = cells_of(r);
    std::size_t named = 0;
    for (const std::string& cell : cells) {
      const std::string_view name = trimmed(cell);
      if (name.empty()) continue;
      ++named;
      const bool digits = std::any_of(name.begin(), name.end(), is_digit);
      const bool letters = std::any_of(name.begin(), name.end(), is_letter);
      if (digits && !letters) return false;
    }
    return named >= 2 && named * 2 >= cells.size();
  }

  // "## Name", quoted or not, trailing separators aside (a spreadsheet
  // pads it to the width of the tables).
  std::optional<std::string> marked_title(std::size_t r) const {
    std::string_view line = text_of(r);
    while (!line.empty() && is_blank_or_separator(line.back())) line.remove_suffix(1);
    line = trimmed(line);
    if (line.size() >= 2 && line.front() == '"' && line.back() == '"') {
      line = line.substr(1, line.size() - 2);
    }
    if (line.substr(0, 2) != "##") return std::nullopt;
    const std::string_view name = trimmed(line.substr(2));
    if (name.empty()) return std::nullopt;
    return std::string(name);
  }

  // A lone unquoted name of words, no figures in it, above a header:
  // "Fill-Up Records", "FUEL RECORDS".
  std::optional<std::string> plain_title(std::size_t r) const {
    std::string_view line = text_of(r);
    while (!line.empty() && is_blank_or_separator(line.back())) line.remove_suffix(1);
    line = trimmed(line);
    constexpr std::size_t kLongest = 60;
    if (line.empty() || line.size() > kLongest) return std::nullopt;
    for (const char c : line) {
      if (c == ',' || c == ';' || c == '\t' || c == '"' || is_digit(c)) return std::nullopt;
    }
    if (!std::any_of(line.begin(), line.end(), is_letter)) return std::nullopt;
    const std::size_t next = next_filled(r + 1);
    if (next == rows_.size() || !header_like(next)) return std::nullopt;
    return std::string(line);
  }

 private:
  std::string_view text_;
  std::vector<file_row> rows_;
};

bool names_a_date(const std::vector<std::string>& header) {
  const std::vector<csv_role> roles = guess_roles(header);
  return std::find(roles.begin(), roles.end(), csv_role::date) != roles.end();
}

// Entries come from fill-ups, services and costs; the vehicle, lists and
// trips only describe them. A title that says neither: entries if its
// table has dates.
section_kind kind_of(const std::string& title, const std::vector<std::string>& header) {
  const std::string words = lower_ascii(title);
  const auto has = [&](std::initializer_list<const char*> parts) {
    return std::any_of(parts.begin(), parts.end(),
                       [&](const char* part) { return words.find(part) != std::string::npos; });
  };
  if (has({"vehicle", "categor", "setting", "station", "trip", "metadata", "type", "tag",
           "reminder"})) {
    return section_kind::metadata;
  }
  if (has({"fuel", "fill", "log", "service", "maintenance", "event", "cost", "repair", "expense"})) {
    return section_kind::records;
  }
  return names_a_date(header) ? section_kind::records : section_kind::metadata;
}

// An untitled block named by its header, short enough for a list.
std::string title_of_header(const std::vector<std::string>& header) {
  constexpr std::size_t kLongest = 40;
  std::string title;
  for (const std::string& cell : header) {
    const std::string_view name = trimmed(cell);
    if (name.empty()) continue;
    if (!title.empty()) title += ", ";
    if (title.size() + name.size() > kLongest) {
      title += "\xE2\x80\xA6";  // an ellipsis
      break;
    }
    title += name;
  }
  return title;
}

csv_section section_of(const file_view& file, std::string title, std::size_t header,
                       std::size_t last) {
  csv_section section;
  const std::vector<std::string> cells = file.cells_of(header);
  section.kind = kind_of(title, cells);
  section.title = title.empty() ? title_of_header(cells) : std::move(title);
  section.first_line = file.rows()[header].line;
  section.text = file.span(header, last);
  return section;
}

std::vector<csv_section> titled_sections(const file_view& file) {
  const std::vector<file_row>& rows = file.rows();
  std::vector<std::pair<std::size_t, std::string>> titles;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (rows[r].blank) continue;
    if (std::optional<std::string> title = file.marked_title(r)) titles.emplace_back(r, *title);
  }
  const bool marked = !titles.empty();
  if (!marked) {
    for (std::size_t r = 0; r < rows.size(); ++r) {
      if (rows[r].blank) continue;
      if (std::optional<std::string> title = file.plain_title(r)) {
        titles.emplace_back(r, *title);
        ++r;  // its header is no title
      }
    }
  }
  if (titles.empty()) return {};
  // Before the first title a program may write its own line ("... version
  // 1500,en") or a header and one row of metadata; an ordinary table there
  // means the lines taken for titles are only odd rows of it.
  std::vector<std::size_t> opening;
  for (std::size_t r = 0; r < titles.front().first; ++r) {
    if (!rows[r].blank) opening.push_back(r);
  }
  if (opening.size() > 2) return {};
  // One lone line over a table is more likely an odd row or the file's own
  // title than a table of a backup, which has several.
  if (!marked && titles.size() < 2) return {};
  std::vector<csv_section> sections;
  if (opening.size() == 2) {
    const char separator = file.separator_of(opening[0]);
    if (file.cells_in(opening[0], separator) != file.cells_in(opening[1], separator)) return {};
    csv_section metadata = section_of(file, "Metadata", opening[0], opening[1]);
    metadata.kind = section_kind::metadata;
    sections.push_back(metadata);
  }
  for (std::size_t k = 0; k < titles.size(); ++k) {
    const std::size_t end = k + 1 < titles.size() ? titles[k + 1].first : rows.size();
    const std::size_t header = file.next_filled(titles[k].first + 1);
    if (header >= end) continue;  // a title over nothing
    std::size_t last = end - 1;
    while (rows[last].blank) --last;
    sections.push_back(section_of(file, titles[k].second, header, last));
  }
  return sections;
}

std::vector<csv_section> blank_line_blocks(const file_view& file) {
  const std::vector<file_row>& rows = file.rows();
  std::vector<csv_section> sections;
  std::size_t header = file.next_filled(0);
  if (header == rows.size()) return {};
  char separator = file.separator_of(header);
  std::size_t columns = file.cells_in(header, separator);
  // A table of one column has no separator to tell a new header by.
  if (columns < 2) return {};
  std::size_t last = header;
  for (std::size_t r = header + 1; r < rows.size(); ++r) {
    if (rows[r].blank) continue;
    const bool after_blank = rows[r - 1].blank;
    if (after_blank && file.cells_in(r, separator) != columns && file.header_like(r) &&
        file.cells_in(r, file.separator_of(r)) >= 2) {
      sections.push_back(section_of(file, std::string(), header, last));
      header = r;
      separator = file.separator_of(r);
      columns = file.cells_in(r, separator);
    }
    last = r;
  }
  if (sections.empty()) return {};
  sections.push_back(section_of(file, std::string(), header, last));
  return sections;
}

std::string normal_name(std::string_view header) {
  std::string name;
  for (const char c : lower_ascii(header)) {
    if (c >= 'a' && c <= 'z') name += c;
  }
  return name;
}

}  // namespace

std::vector<csv_section> find_sections(std::string_view text) {
  const file_view file(text);
  std::vector<csv_section> sections = titled_sections(file);
  if (sections.empty()) sections = blank_line_blocks(file);
  if (sections.empty()) {
    csv_section whole;
    whole.text = text;
    sections.push_back(whole);
  }
  return sections;
}

vehicle_facts find_vehicle_facts(const std::vector<csv_section>& sections) {
  vehicle_facts facts;
  for (const csv_section& section : sections) {
    if (section.kind != section_kind::metadata ||
        lower_ascii(section.title).find("vehicle") == std::string::npos) {
      continue;
    }
    const csv_table table = read_csv(section.text);
    if (table.rows.size() < 2) continue;
    const std::vector<std::string>& header = table.rows.front();
    const bool one_vehicle = table.rows.size() == 2;
    for (std::size_t column = 0; column < header.size(); ++column) {
      const std::string key = normal_name(header[column]);
      // Every vehicle's value, where they agree.
      std::optional<std::string> value;
      for (std::size_t r = 1; r < table.rows.size(); ++r) {
        const std::string cell =
            column < table.rows[r].size() ? std::string(trimmed(table.rows[r][column])) : "";
        if (value.has_value() && *value != cell) {
          value.reset();
          break;
        }
        value = cell;
      }
      if (!value.has_value() || value->empty()) continue;
      if (key == "name" && one_vehicle && facts.name.empty()) {
        facts.name = *value;
      } else if ((key == "distunit" || key == "distanceunit" || key == "units") &&
                 facts.distance.empty()) {
        facts.distance = distance_unit_named(*value);
      } else if ((key == "fuelunit" || key == "volumeunit" || key == "fuelunits") &&
                 facts.volume.empty()) {
        facts.volume = *value;
      }
    }
  }
  if (!facts.distance.empty()) return facts;
  for (const csv_section& section : sections) {
    if (section.kind != section_kind::records) continue;
    const std::string_view first = section.text.substr(0, section.text.find('\n'));
    const csv_table header = read_csv(first);
    if (header.rows.empty()) continue;
    facts.distance = named_distance_unit(header.rows.front(), guess_roles(header.rows.front()));
    if (!facts.distance.empty()) return facts;
  }
  return facts;
}

}  // namespace tarvik
