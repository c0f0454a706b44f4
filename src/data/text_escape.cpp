#include "data/text_escape.h"

#include <cstdint>
#include <cstring>

namespace tarvik {

bool needs_escape(std::string_view text) {
  // Eight bytes at a time: a word holds a ";" or "=" when XOR with that
  // byte repeated leaves a zero byte. Texts are short, and this runs for
  // two texts of every record at every commit.
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kHighs = 0x8080808080808080;
  const auto has_zero_byte = [](std::uint64_t word) {
    return ((word - kOnes) & ~word & kHighs) != 0;
  };
  const char* p = text.data();
  std::size_t left = text.size();
  for (; left >= 8; p += 8, left -= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    if (has_zero_byte(word ^ (kOnes * ';')) || has_zero_byte(word ^ (kOnes * '='))) return true;
  }
  for (; left > 0; ++p, --left) {
    if (*p == ';' || *p == '=') return true;
  }
  return false;
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
