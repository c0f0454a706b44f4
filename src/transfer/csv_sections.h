#ifndef TARVIK_TRANSFER_CSV_SECTIONS_H_
#define TARVIK_TRANSFER_CSV_SECTIONS_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {
enum class section_kind { records, metadata };
struct csv_section {
  std::string title;           // as the file names it: "Log", "Fill-Up Records", "FUEL RECORDS"; empty for a file that has no sections
  section_kind kind = section_kind::records;
  std::size_t first_line = 1;  // the file's line (from 1) the section's header row is on
  std::string_view text;       // the section's CSV text, header row first, a view into the file's text
};
// The sections of a CSV file. A file without sections gives one section: title empty, kind records, first_line 1, text the whole file.
std::vector<csv_section> find_sections(std::string_view text);
}  // namespace tarvik

#endif  // TARVIK_TRANSFER_CSV_SECTIONS_H_
