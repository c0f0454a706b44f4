#include "transfer/text_encoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

namespace tarvik {
namespace {

constexpr std::size_t kPatternSample = 4096;

bool starts_with(std::string_view bytes, std::string_view start) {
  return bytes.substr(0, start.size()) == start;
}

// Which byte of UTF-16's two-byte units is NUL, in the file's start: the
// high byte of ASCII text. nullopt when neither is, or both are alike.
std::optional<text_encoding> nul_pattern(std::string_view bytes) {
  const std::size_t units = std::min(bytes.size(), kPatternSample) / 2;
  std::size_t first_nul = 0;
  std::size_t second_nul = 0;
  for (std::size_t i = 0; i < units; ++i) {
    first_nul += bytes[2 * i] == '\0';
    second_nul += bytes[2 * i + 1] == '\0';
  }
  if (units == 0) return std::nullopt;
  if (second_nul * 2 >= units && first_nul < second_nul) return text_encoding::utf16le;
  if (first_nul * 2 >= units && second_nul < first_nul) return text_encoding::utf16be;
  return std::nullopt;
}

struct utf8_count {
  std::size_t invalid = 0;    // bytes that start no valid character
  std::size_t multibyte = 0;  // valid characters of two to four bytes
};

// The length of the valid UTF-8 character of two or more bytes at `at`
// (no overlong form, no surrogate, nothing past U+10FFFF), else 0.
std::size_t multibyte_at(std::string_view bytes, std::size_t at) {
  const auto byte = [&](std::size_t i) {
    return at + i < bytes.size() ? static_cast<unsigned char>(bytes[at + i]) : 0u;
  };
  const auto follows = [&](std::size_t i) { return (byte(i) & 0xC0u) == 0x80u; };
  const unsigned lead = byte(0);
  if (lead >= 0xC2 && lead <= 0xDF) return follows(1) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    const unsigned second = byte(1);
    if (lead == 0xE0 && second < 0xA0) return 0;
    if (lead == 0xED && second > 0x9F) return 0;
    return follows(1) && follows(2) ? 3 : 0;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    const unsigned second = byte(1);
    if (lead == 0xF0 && second < 0x90) return 0;
    if (lead == 0xF4 && second > 0x8F) return 0;
    return follows(1) && follows(2) && follows(3) ? 4 : 0;
  }
  return 0;
}

utf8_count count_utf8(std::string_view bytes) {
  utf8_count count;
  std::size_t at = 0;
  const std::size_t size = bytes.size();
  while (at < size) {
    // Eight ASCII bytes at a time: most of any CSV file.
    if (at + 8 <= size) {
      std::uint64_t eight;
      std::memcpy(&eight, bytes.data() + at, 8);
      if ((eight & 0x8080808080808080ull) == 0) {
        at += 8;
        continue;
      }
    }
    if (static_cast<unsigned char>(bytes[at]) < 0x80) {
      ++at;
      continue;
    }
    if (const std::size_t length = multibyte_at(bytes, at); length > 0) {
      ++count.multibyte;
      at += length;
    } else {
      ++count.invalid;
      ++at;
    }
  }
  return count;
}

void append_utf8(std::string& text, std::uint32_t code) {
  if (code < 0x80) {
    text += static_cast<char>(code);
  } else if (code < 0x800) {
    text += static_cast<char>(0xC0 | (code >> 6));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    text += static_cast<char>(0xE0 | (code >> 12));
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (code >> 18));
    text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Windows-1252's 0x80 to 0x9F; the five it leaves unassigned keep their
// value, as in ISO-8859-1.
constexpr std::array<std::uint16_t, 32> kWindows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void decode_windows1252(std::string_view bytes, std::string& text) {
  text.clear();
  text.reserve(bytes.size() + bytes.size() / 8);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      text += c;
    } else if (byte < 0xA0) {
      append_utf8(text, kWindows1252High[byte - 0x80]);
    } else {
      append_utf8(text, byte);
    }
  }
}

std::string hex4(unsigned unit) {
  static const char digits[] = "0123456789ABCDEF";
  std::string hex = "U+";
  for (int shift = 12; shift >= 0; shift -= 4) hex += digits[(unit >> shift) & 0xF];
  return hex;
}

bool decode_utf16(std::string_view bytes, bool little_endian, std::string& text,
                  std::string& error) {
  if (starts_with(bytes, little_endian ? "\xFF\xFE" : "\xFE\xFF")) bytes.remove_prefix(2);
  if (bytes.size() % 2 != 0) {
    error = "it ends inside a UTF-16 character (an odd number of bytes)";
    return false;
  }
  text.clear();
  text.reserve(bytes.size() / 2 + bytes.size() / 8);
  const std::size_t units = bytes.size() / 2;
  const auto unit_at = [&](std::size_t i) -> unsigned {
    const auto a = static_cast<unsigned char>(bytes[2 * i]);
    const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
    return little_endian ? a | (b << 8) : (a << 8) | b;
  };
  std::size_t line = 1;
  for (std::size_t i = 0; i < units; ++i) {
    const unsigned unit = unit_at(i);
    if (unit < 0xD800 || unit > 0xDFFF) {
      line += unit == '\n';
      append_utf8(text, unit);
      continue;
    }
    const unsigned low = unit <= 0xDBFF && i + 1 < units ? unit_at(i + 1) : 0;
    if (low < 0xDC00 || low > 0xDFFF) {
      error = "a lone UTF-16 surrogate (" + hex4(unit) + ") on line " + std::to_string(line);
      return false;
    }
    append_utf8(text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
    ++i;
  }
  return true;
}

}  // namespace

encoding_guess guess_encoding(std::string_view bytes) {
  if (starts_with(bytes, "\xEF\xBB\xBF")) {
    return {text_encoding::utf8, count_utf8(bytes).invalid == 0};
  }
  if (starts_with(bytes, "\xFF\xFE")) return {text_encoding::utf16le, false};
  if (starts_with(bytes, "\xFE\xFF")) return {text_encoding::utf16be, false};
  if (const std::optional<text_encoding> utf16 = nul_pattern(bytes)) return {*utf16, false};
  const utf8_count count = count_utf8(bytes);
  if (count.invalid == 0) return {text_encoding::utf8, true};
  if (count.multibyte > count.invalid) return {text_encoding::utf8, false};
  return {text_encoding::windows1252, false};
}

std::optional<text_encoding> utf16_order(std::string_view bytes) {
  if (starts_with(bytes, "\xFE\xFF")) return text_encoding::utf16be;
  if (starts_with(bytes, "\xFF\xFE")) return text_encoding::utf16le;
  return nul_pattern(bytes);
}

const char* encoding_name(text_encoding encoding) {
  switch (encoding) {
    case text_encoding::utf8: return "UTF-8";
    case text_encoding::utf16le: return "UTF-16 LE";
    case text_encoding::utf16be: return "UTF-16 BE";
    case text_encoding::windows1252: return "Windows-1252";
  }
  return "UTF-8";
}

std::optional<text_encoding> encoding_named(std::string_view name) {
  std::string lower;
  for (const char c : name) lower += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  if (lower == "utf-8" || lower == "utf8") return text_encoding::utf8;
  if (lower == "utf-16" || lower == "utf16") return text_encoding::utf16le;
  if (lower == "windows-1252" || lower == "cp1252" || lower == "iso-8859-1" ||
      lower == "latin-1" || lower == "latin1") {
    return text_encoding::windows1252;
  }
  return std::nullopt;
}

bool decode_text(std::string_view bytes, text_encoding encoding, std::string& text,
                 std::string& error) {
  switch (encoding) {
    case text_encoding::utf8: text.assign(bytes); return true;
    case text_encoding::windows1252: decode_windows1252(bytes, text); return true;
    case text_encoding::utf16le: return decode_utf16(bytes, true, text, error);
    case text_encoding::utf16be: return decode_utf16(bytes, false, text, error);
  }
  return false;
}

bool decode_file(std::string bytes, std::optional<text_encoding> chosen, decoded_file& file,
                 std::string& error) {
  const encoding_guess guess = guess_encoding(bytes);
  decoded_file read;
  read.guessed = !chosen;
  read.encoding = chosen.value_or(guess.encoding);
  if (read.encoding == text_encoding::utf16le || read.encoding == text_encoding::utf16be) {
    read.encoding = utf16_order(bytes).value_or(read.encoding);
  }
  read.plain = read.encoding == text_encoding::utf8 && guess.encoding == text_encoding::utf8 &&
               guess.plain;
  if (read.encoding == text_encoding::utf8) {
    // Kept to be read anew only where the user may want another reading.
    if (!read.plain) read.bytes = bytes;
    read.text = std::move(bytes);
  } else {
    if (!decode_text(bytes, read.encoding, read.text, error)) return false;
    read.bytes = std::move(bytes);
  }
  file = std::move(read);
  return true;
}

}  // namespace tarvik
