#include "data/diagnostic.h"

#include <cstring>
#include <iostream>

namespace tarvik {

void report(std::string_view line) {
  std::string text(line);
  text += '\n';
  std::cerr.write(text.data(), static_cast<std::streamsize>(text.size()));
  std::cerr.flush();
}

std::string error_text(int error) { return std::strerror(error); }

}  // namespace tarvik
