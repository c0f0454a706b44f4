#include "data/text_escape.h"

#include <cstring>

namespace tarvik {

bool needs_escape(std::string_view text) {
  // Two scans: find_first_of would call memchr once per byte.
  return std::memchr(text.data(), ';', text.size()) != nullptr ||
         std::memchr(text.data(), '=', text.size()) != nullptr;
}

std::string escape_text(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size() + 8);
  for (const char c : text) {
    switch (c) {
      case '%': escaped += "%25"; break;
      case ';': escaped += "%3B"; break;
      case '=': escaped += "%3D"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

std::string unescape_text(std::string_view text) {
  std::string plain;
  plain.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const char high = text[i + 1];
      const char low = static_cast<char>(text[i + 2] | 0x20);  // lower case
      char decoded = 0;
      if (high == '2' && low == '5') decoded = '%';
      if (high == '3' && low == 'b') decoded = ';';
      if (high == '3' && low == 'd') decoded = '=';
      if (decoded != 0) {
        plain += decoded;
        i += 2;
        continue;
      }
    }
    plain += text[i];
  }
  return plain;
}

}  // namespace tarvik
