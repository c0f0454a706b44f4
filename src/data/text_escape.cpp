#include "data/text_escape.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace tarvik {

namespace {

// Eight bytes at a time: a word holds a ";" or "=" when XOR with that byte
// repeated leaves a zero byte. Texts are short, and the writer looks at two
// of every record at every commit.
constexpr std::uint64_t kOnes = 0x0101010101010101;
constexpr std::uint64_t kHighs = 0x8080808080808080;

bool has_zero_byte(std::uint64_t word) { return ((word - kOnes) & ~word & kHighs) != 0; }

bool holds_cut(std::uint64_t word) {
  return has_zero_byte(word ^ (kOnes * ';')) || has_zero_byte(word ^ (kOnes * '='));
}

bool is_cut(char c) { return c == ';' || c == '='; }

}  // namespace

char* copy_plain_text(char* out, std::string_view text) {
  const char* p = text.data();
  std::size_t left = text.size();
  for (; left >= 8; p += 8, left -= 8, out += 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    if (holds_cut(word)) return nullptr;
    std::memcpy(out, &word, 8);
  }
  for (; left > 0; ++p, --left) {
    if (is_cut(*p)) return nullptr;
    *out++ = *p;
  }
  return out;
}

char* write_escaped(char* out, std::string_view text) {
  for (const char c : text) {
    const char* code = c == '%' ? "%25" : c == ';' ? "%3B" : c == '=' ? "%3D" : nullptr;
    if (code == nullptr) {
      *out++ = c;
    } else {
      out = std::copy(code, code + 3, out);
    }
  }
  return out;
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
