#ifndef TARVIK_DATA_NUMBER_TEXT_H_
#define TARVIK_DATA_NUMBER_TEXT_H_

#include <cstddef>
#include <optional>
#include <string>

// Conversions between numbers and text that ignore the process locale: the
// log file and the display always use the full stop as decimal separator,
// whatever locale the toolkit has set for the process.
namespace tarvik {

// strtod in the "C" locale: leading white space skipped, longest prefix that
// forms a number, 0 when there is none.
double parse_double(const char* text);

// Whether strtod in the "C" locale reads all of `text` but blanks around
// the number (and there is a number).
bool whole_double_text(const char* text);
// The number read so, in one pass; empty when whole_double_text is false.
std::optional<double> whole_double(const char* text);

// strtol in base 10 in the "C" locale; out-of-range values clamp to long.
long parse_long(const char* text);

// atoi: strtol in base 10, clamped to the range of int.
int parse_int(const char* text);

// printf "%g" with precision 6 in the "C" locale (12.5, 40, 1e-05, 1.25e+06).
std::string format_general(double value);

// printf "%.<decimals>f" in the "C" locale, cut to 254 characters as a
// 256-byte snprintf buffer bounded at 255 would leave it.
std::string format_fixed(double value, int decimals);

// printf "%ld".
std::string format_integer(long value);

// Write the same texts at `out`, which has room for the size given, and
// return the end of what was written.
constexpr std::size_t kGeneralMaxSize = 32;
constexpr std::size_t kIntegerMaxSize = 24;
char* write_general(char* out, double value);
char* write_integer(char* out, long value);

// The number as write_general writes it when that text reads back (with
// parse_double, and for a float rounded to float) as exactly the same
// value; otherwise the shortest text that does. So logs written with six
// digits keep their form, and no save ever changes a stored number.
char* write_exact(char* out, double value);
char* write_exact(char* out, float value);
std::string format_exact(double value);
std::string format_exact(float value);

}  // namespace tarvik

#endif  // TARVIK_DATA_NUMBER_TEXT_H_
