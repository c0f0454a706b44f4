#include "transfer/csv_sections.h"

namespace tarvik {

// Every file is read as one untitled section until titled sections are
// told apart.
std::vector<csv_section> find_sections(std::string_view text) {
  csv_section whole;
  whole.text = text;
  return {whole};
}

}  // namespace tarvik
