#include "data/number_text.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
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

namespace {

// %g with precision 6 for values from 1e-4 to just under 1e6, which %g
// shows in fixed notation with 5 - X decimals (X the decimal exponent), then
// drops trailing zeros. The value is scaled to six digits in floating point;
// the product is off by at most a few 1e-10, so the rounding is certain
// unless the fraction lies within 1e-6 of one half, or the value within
// 1e-9 of a power of ten. Those rare values, and all others, give null and
// take the general path.
char* write_fixed_six_digits(char* out, double value) {
  static constexpr double kPowers[] = {1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1,
                                       1e2,  1e3,  1e4,  1e5,  1e6};
  static constexpr double kScales[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  const double magnitude = std::fabs(value);
  if (!(magnitude >= kPowers[0] * (1 + 1e-9) && magnitude < kPowers[10] * (1 - 1e-9))) {
    return nullptr;
  }
  int exponent = 5;  // 10^exponent <= magnitude < 10^(exponent + 1)
  while (magnitude < kPowers[exponent + 4]) --exponent;
  const double power = kPowers[exponent + 4];
  if (magnitude < power * (1 + 1e-9) || magnitude > power * 10 * (1 - 1e-9)) return nullptr;

  int decimals = 5 - exponent;
  const double scaled = magnitude * kScales[decimals];
  const double whole = std::floor(scaled);
  const double fraction = scaled - whole;
  if (std::fabs(fraction - 0.5) < 1e-6) return nullptr;
  auto digits = static_cast<long>(whole) + (fraction > 0.5 ? 1 : 0);
  if (digits >= 1000000) {  // rounded up to the next power of ten
    if (decimals == 0) return nullptr;  // 1e+06: exponent notation
    digits /= 10;
    --decimals;
  }

  char buffer[16];
  char* end = std::to_chars(buffer, buffer + sizeof buffer, digits).ptr;
  while (decimals > 0 && end[-1] == '0') {
    --end;
    --decimals;
  }
  if (std::signbit(value)) *out++ = '-';
  const auto length = static_cast<int>(end - buffer);
  if (decimals == 0) return std::copy(buffer, end, out);
  if (length > decimals) {
    out = std::copy(buffer, end - decimals, out);
    *out++ = '.';
    return std::copy(end - decimals, end, out);
  }
  *out++ = '0';
  *out++ = '.';
  out = std::fill_n(out, decimals - length, '0');
  return std::copy(buffer, end, out);
}

}  // namespace

char* write_general(char* out, double value) {
  if (char* end = write_fixed_six_digits(out, value)) return end;
  return std::to_chars(out, out + kGeneralMaxSize, value, std::chars_format::general, 6).ptr;
}

char* write_integer(char* out, long value) {
  return std::to_chars(out, out + kIntegerMaxSize, value).ptr;
}

void append_general(std::string& out, double value) {
  char buffer[kGeneralMaxSize];
  out.append(buffer, write_general(buffer, value));
}

void append_integer(std::string& out, long value) {
  char buffer[kIntegerMaxSize];
  out.append(buffer, write_integer(buffer, value));
}

std::string format_general(double value) {
  std::string text;
  append_general(text, value);
  return text;
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
  std::string text;
  append_integer(text, value);
  return text;
}

}  // namespace tarvik
