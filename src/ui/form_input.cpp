#include "ui/form_input.h"

#include <QStringList>
#include <cmath>
#include <ctime>
#include <optional>
#include <string>

#include "data/number_text.h"

namespace tarvik {
namespace {

// The text as ASCII bytes, or nothing when it holds any other character
// (no number or date is written with one).
std::optional<std::string> ascii_of(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (const QChar c : text) {
    if (c.unicode() > 127) return std::nullopt;
    bytes += static_cast<char>(c.unicode());
  }
  return bytes;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Skips a run of digits from `i`; returns how many there were.
std::size_t skip_digits(const std::string& text, std::size_t& i) {
  const std::size_t start = i;
  while (i < text.size() && is_digit(text[i])) ++i;
  return i - start;
}

// [sign] digits [. digits] | [sign] . digits, then [e [sign] digits].
bool is_decimal_number(const std::string& text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = skip_digits(text, i);
  if (i < text.size() && text[i] == '.') {
    ++i;
    digits += skip_digits(text, i);
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (skip_digits(text, i) == 0) return false;
  }
  return i == text.size();
}

// A field of a date: up to nine digits, so that it fits an int.
bool read_field(const std::string& text, std::size_t& i, long& value) {
  const std::size_t start = i;
  if (skip_digits(text, i) == 0 || i - start > 9) return false;
  value = parse_long(text.substr(start, i - start).c_str());
  return true;
}

bool is_line_break(QChar c) {
  return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
}

// Splits `text` into lines and the breaks between them (CR LF counts as one
// break); there is always one more line than breaks.
void split_lines(const QString& text, QStringList& lines, QStringList& breaks) {
  qsizetype start = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (!is_line_break(text.at(i))) continue;
    lines.append(text.mid(start, i - start));
    const qsizetype length =
        (text.at(i) == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') ? 2 : 1;
    breaks.append(text.mid(i, length));
    i += length - 1;
    start = i + 1;
  }
  lines.append(text.mid(start));
}

}  // namespace

number_input read_number(const QString& text, double largest) {
  number_input result;
  std::optional<std::string> bytes = ascii_of(text.trimmed());
  if (!bytes) {
    result.problem = input_problem::malformed;
    return result;
  }
  std::string& number = *bytes;
  const std::size_t comma = number.find(',');
  if (number.find('.') == std::string::npos && comma != std::string::npos &&
      number.find(',', comma + 1) == std::string::npos) {
    number[comma] = '.';
  }
  if (!is_decimal_number(number)) {
    result.problem = input_problem::malformed;
    return result;
  }
  result.value = parse_double(number.c_str());
  if (!std::isfinite(result.value) || std::fabs(result.value) > largest) {
    result.problem = input_problem::out_of_range;
  }
  return result;
}

date_input read_date(const QString& text) {
  date_input result;
  result.problem = input_problem::malformed;
  const std::optional<std::string> bytes = ascii_of(text.trimmed());
  if (!bytes) return result;
  const std::string& date = *bytes;
  std::size_t i = 0;
  const bool before_year_one = i < date.size() && date[i] == '-';
  if (before_year_one) ++i;
  long year = 0, month = 0, day = 0;
  if (!read_field(date, i, year) || i >= date.size() || date[i++] != '-') return result;
  if (!read_field(date, i, month) || i >= date.size() || date[i++] != '-') return result;
  if (!read_field(date, i, day) || i != date.size()) return result;
  if (before_year_one) year = -year;

  std::tm parts{};
  parts.tm_year = static_cast<int>(year - 1900);
  parts.tm_mon = static_cast<int>(month - 1);
  parts.tm_mday = static_cast<int>(day);
  // Whether daylight saving applies on that day is the zone's business:
  // forcing standard time moves the day in zones with negative saving.
  parts.tm_isdst = -1;
  const std::time_t time = std::mktime(&parts);
  if (time == static_cast<std::time_t>(-1)) {
    result.problem = input_problem::out_of_range;
    return result;
  }
  result.value = static_cast<long>(time);
  result.problem = input_problem::none;
  return result;
}

QString restore_line_breaks(const QString& edited, const QString& original) {
  QStringList old_lines, old_breaks;
  split_lines(original, old_lines, old_breaks);
  const QStringList lines = edited.split(QChar::ParagraphSeparator);
  const QString usual = old_breaks.isEmpty() ? QStringLiteral("\n") : old_breaks.front();

  // Breaks that follow lines equal from the start, or precede lines equal
  // from the end, are the original's.
  const qsizetype gaps = lines.size() - 1;
  QStringList breaks(gaps, usual);
  qsizetype same_head = 0;
  while (same_head < gaps && same_head < old_breaks.size() &&
         lines.at(same_head) == old_lines.at(same_head)) {
    breaks[same_head] = old_breaks.at(same_head);
    ++same_head;
  }
  for (qsizetype back = 1; back <= gaps && back <= old_breaks.size(); ++back) {
    if (lines.at(lines.size() - back) != old_lines.at(old_lines.size() - back)) break;
    if (gaps - back < same_head) break;
    breaks[gaps - back] = old_breaks.at(old_breaks.size() - back);
  }

  QString joined = lines.front();
  for (qsizetype k = 0; k < gaps; ++k) joined += breaks.at(k) + lines.at(k + 1);
  return joined;
}

}  // namespace tarvik
