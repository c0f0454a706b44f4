#include "data/diagnostic.h"

#include <cstring>
#include <iostream>

namespace tarvik {
namespace {

std::size_t lines_reported = 0;

}  // namespace

std::size_t reported_lines() { return lines_reported; }

void report(std::string_view line) {
  ++lines_reported;
  std::string text(line);
  text += '\n';
  std::cerr.write(text.data(), static_cast<std::streamsize>(text.size()));
  std::cerr.flush();
}

std::string error_text(int error) { return std::strerror(error); }

}  // namespace tarvik
