#include "data/number_text.h"

#include <charconv>
#include <climits>
#include <cstdlib>
#include <locale.h>

namespace tarvik {
namespace {

// The "C" locale, made once; never freed, as it lives as long as the process.
locale_t c_locale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
  return locale;
}

// The longest %.Nf output of a double is 309 integer digits plus sign, point
// and decimals; this leaves room for any precision we use.
constexpr std::size_t kBufferSize = 400;
constexpr std::size_t kKeptCharacters = 254;

}  // namespace

double parse_double(const char* text) { return strtod_l(text, nullptr, c_locale()); }

long parse_long(const char* text) { return strtol_l(text, nullptr, 10, c_locale()); }

int parse_int(const char* text) {
  const long value = parse_long(text);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

std::string format_general(double value) {
  char buffer[kBufferSize];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::general, 6);
  return std::string(buffer, result.ptr);
}

std::string format_fixed(double value, int decimals) {
  char buffer[kBufferSize];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::fixed, decimals);
  std::string text(buffer, result.ptr);
  if (text.size() > kKeptCharacters) text.resize(kKeptCharacters);
  return text;
}

std::string format_integer(long value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace tarvik
