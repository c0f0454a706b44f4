#include "data/number_text.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <system_error>
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

// from_chars reads what strtod and strtol read when the text starts with a
// digit, or "-" and a digit, and is no hexadecimal number: the longest
// prefix, correctly rounded. It is much faster, so it goes first; texts of
// another form (blanks, "+", "0x", "inf", "nan") and results out of range,
// where strtod and strtol have rules of their own, go to the C library.
bool plain_number(const char* text) {
  const char* digits = text[0] == '-' ? text + 1 : text;
  if (digits[0] < '0' || digits[0] > '9') return false;
  return !(digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'));
}

template <typename Number>
bool from_chars_prefix(const char* text, Number& value) {
  if (!plain_number(text)) return false;
  const char* end = text + std::strlen(text);
  return std::from_chars(text, end, value).ec == std::errc();
}

}  // namespace

double parse_double(const char* text) {
  double value;
  if (from_chars_prefix(text, value)) return value;
  return strtod_l(text, nullptr, c_locale());
}

bool whole_double_text(const char* text) { return whole_double(text).has_value(); }

std::optional<double> whole_double(const char* text) {
  const auto only_blanks_from = [](const char* end) {
    while (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n') ++end;
    return *end == '\0';
  };
  // What from_chars reads up to the blanks at the end, strtod reads alike.
  if (plain_number(text)) {
    double value;
    const auto read = std::from_chars(text, text + std::strlen(text), value);
    if (read.ec == std::errc() && only_blanks_from(read.ptr)) return value;
  }
  char* end = nullptr;
  const double value = strtod_l(text, &end, c_locale());
  if (end == text || !only_blanks_from(end)) return std::nullopt;
  return value;
}

long parse_long(const char* text) {
  long value;
  if (from_chars_prefix(text, value)) return value;
  return strtol_l(text, nullptr, 10, c_locale());
}

int parse_int(const char* text) {
  const long value = parse_long(text);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

namespace {

// Writes `digits` (1 to 999999) right-aligned before `end`, two at a time;
// returns where they start.
char* put_digits(char* end, long digits) {
  static constexpr char kPairs[] =
      "0001020304050607080910111213141516171819202122232425262728293031323334353637383940414243444546474849"
      "5051525354555657585960616263646566676869707172737475767778798081828384858687888990919293949596979899";
  while (digits >= 10) {
    const auto pair = static_cast<std::size_t>(digits % 100) * 2;
    digits /= 100;
    *--end = kPairs[pair + 1];
    *--end = kPairs[pair];
  }
  if (digits > 0) *--end = static_cast<char>('0' + digits);
  return end;
}

// %g with precision 6 for magnitudes from 1e-4 to 1e16, which covers what a
// log holds. The value is scaled to six digits in floating point; scaling by
// an exact power of ten is off by far less than 1e-6, so the rounding is
// certain unless the fraction lies within 1e-6 of one half, or the value
// within 1e-9 of a power of ten. Those rare values, and all others, give
// null and take the general path.
char* write_six_digits(char* out, double value) {
  // kPowers[e + 4] == 10^e for e from -4 to 16.
  static constexpr double kPowers[] = {1e-4, 1e-3, 1e-2, 1e-1, 1e0,  1e1,  1e2,
                                       1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                       1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16};
  static constexpr double kScales[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};
  const double magnitude = std::fabs(value);
  if (!(magnitude >= 1e-4 * (1 + 1e-9) && magnitude < 1e16 * (1 - 1e-9))) return nullptr;
  // 10^exponent <= magnitude < 10^(exponent + 1): estimated from the binary
  // exponent (log10 2 ~ 1233 / 4096), then corrected by one step.
  const int binary_exponent =
      static_cast<int>((std::bit_cast<std::uint64_t>(magnitude) >> 52) & 0x7ff) - 1023;
  int exponent = std::clamp((binary_exponent * 1233) >> 12, -4, 15);
  if (exponent < 15 && magnitude >= kPowers[exponent + 5]) ++exponent;
  if (magnitude < kPowers[exponent + 4]) --exponent;
  const double power = kPowers[exponent + 4];
  if (magnitude < power * (1 + 1e-9) || magnitude > power * 10 * (1 - 1e-9)) return nullptr;

  const int shift = 5 - exponent;
  const double scaled = shift >= 0 ? magnitude * kScales[shift] : magnitude / kScales[-shift];
  auto digits = static_cast<long>(scaled);  // scaled is positive: this floors
  const double fraction = scaled - static_cast<double>(digits);
  if (std::fabs(fraction - 0.5) < 1e-6) return nullptr;
  if (fraction > 0.5) ++digits;
  if (digits >= 1000000) {  // rounded up to the next power of ten
    digits /= 10;
    ++exponent;
  }
  // Fixed notation shows 5 - exponent decimals, exponent notation five;
  // both drop trailing zeros.
  int decimals = exponent < 6 ? 5 - exponent : 5;
  while (decimals > 0 && digits % 10 == 0) {
    digits /= 10;
    --decimals;
  }
  char text[8];
  const char* const last = text + sizeof text;
  const char* first = put_digits(text + sizeof text, digits);
  const auto length = static_cast<int>(last - first);

  // A few bytes each: a plain loop beats a call to memmove.
  const auto copy = [](const char* from, const char* to, char* at) {
    while (from != to) *at++ = *from++;
    return at;
  };
  if (std::signbit(value)) *out++ = '-';
  if (exponent >= 6) {
    *out++ = *first++;
    if (first != last) {
      *out++ = '.';
      out = copy(first, last, out);
    }
    *out++ = 'e';
    *out++ = '+';
    *out++ = static_cast<char>('0' + exponent / 10);
    *out++ = static_cast<char>('0' + exponent % 10);
    return out;
  }
  if (decimals == 0) return copy(first, last, out);
  if (length > decimals) {
    out = copy(first, last - decimals, out);
    *out++ = '.';
    return copy(last - decimals, last, out);
  }
  *out++ = '0';
  *out++ = '.';
  for (int zeros = decimals - length; zeros > 0; --zeros) *out++ = '0';
  return copy(first, last, out);
}

}  // namespace

char* write_general(char* out, double value) {
  if (char* end = write_six_digits(out, value)) return end;
  return std::to_chars(out, out + kGeneralMaxSize, value, std::chars_format::general, 6).ptr;
}

namespace {

// Reads what the writer wrote; the text is short and ends at `end`.
double read_back(const char* text, const char* end) {
  char buffer[kGeneralMaxSize + 1];
  const auto size = static_cast<std::size_t>(end - text);
  std::memcpy(buffer, text, size);
  buffer[size] = '\0';
  return parse_double(buffer);
}

template <typename Number>
bool same_number(Number a, Number b) {
  return a == b ? std::signbit(a) == std::signbit(b) : (std::isnan(a) && std::isnan(b));
}

}  // namespace

char* write_exact(char* out, double value) {
  char* end = write_general(out, value);
  if (same_number(read_back(out, end), value)) return end;
  return std::to_chars(out, out + kGeneralMaxSize, value).ptr;
}

char* write_exact(char* out, float value) {
  char* end = write_general(out, static_cast<double>(value));
  if (same_number(static_cast<float>(read_back(out, end)), value)) return end;
  end = std::to_chars(out, out + kGeneralMaxSize, value).ptr;
  if (same_number(static_cast<float>(read_back(out, end)), value)) return end;
  // Reading through double can round twice; the double's own shortest text
  // cannot miss.
  return std::to_chars(out, out + kGeneralMaxSize, static_cast<double>(value)).ptr;
}

std::string format_exact(double value) {
  char buffer[kGeneralMaxSize];
  return std::string(buffer, write_exact(buffer, value));
}

std::string format_exact(float value) {
  char buffer[kGeneralMaxSize];
  return std::string(buffer, write_exact(buffer, value));
}

char* write_integer(char* out, long value) {
  return std::to_chars(out, out + kIntegerMaxSize, value).ptr;
}

std::string format_general(double value) {
  char buffer[kGeneralMaxSize];
  return std::string(buffer, write_general(buffer, value));
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
  char buffer[kIntegerMaxSize];
  return std::string(buffer, write_integer(buffer, value));
}

}  // namespace tarvik
