#include "insight/operation_name.h"

namespace tarvik {
namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The lower-case letter of a code point of U+0080..U+07FF, or the code point
// itself. Every result stays in that range, so it is two bytes again.
unsigned fold_two_byte(unsigned point) {
  if (point >= 0xC0 && point <= 0xDE && point != 0xD7) return point + 0x20;
  if (point >= 0x100 && point <= 0x17F) {
    if (point == 0x130 || point == 0x131 || point == 0x138 || point == 0x149 || point == 0x17F) {
      return point;
    }
    if (point == 0x178) return 0xFF;  // Ÿ: its small letter is in Latin-1
    // Pairs start at an even code point, but for two runs that start odd.
    const bool odd_pairs = (point >= 0x139 && point <= 0x148) || (point >= 0x179 && point <= 0x17E);
    const bool upper = odd_pairs ? (point % 2 == 1) : (point % 2 == 0);
    return upper ? point + 1 : point;
  }
  if (point >= 0x410 && point <= 0x42F) return point + 0x20;
  if (point >= 0x400 && point <= 0x40F) return point + 0x50;
  return point;
}

}  // namespace

std::string_view trim_blanks(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

std::string operation_key(std::string_view name) {
  name = trim_blanks(name);
  std::string key(name);
  for (std::size_t i = 0; i < key.size(); ++i) {
    const auto c = static_cast<unsigned char>(key[i]);
    if (c >= 'A' && c <= 'Z') {
      key[i] = static_cast<char>(c - 'A' + 'a');
    } else if (c >= 0xC2 && c <= 0xDF && i + 1 < key.size() &&
               is_continuation(static_cast<unsigned char>(key[i + 1]))) {
      const unsigned point = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(key[i + 1]) & 0x3Fu);
      const unsigned folded = fold_two_byte(point);
      key[i] = static_cast<char>(0xC0 | (folded >> 6));
      key[i + 1] = static_cast<char>(0x80 | (folded & 0x3F));
      ++i;
    }
  }
  return key;
}

}  // namespace tarvik
