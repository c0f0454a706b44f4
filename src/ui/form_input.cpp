#include "ui/form_input.h"

#include <QStringList>
#include <cmath>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

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

// Separators as read_number tells them apart: every space groups alike.
constexpr char16_t kSpace = u' ';

bool is_space_mark(char16_t c) { return c == u' ' || c == 0x00A0 || c == 0x202F; }

char16_t mark_kind(char16_t c) { return is_space_mark(c) ? kSpace : c; }

// The locale's one-character mark, or none.
char16_t single_mark(const QString& mark) {
  return mark.size() == 1 ? mark_kind(mark.at(0).unicode()) : char16_t{0};
}

// Put first in plain_number's result when the digits are grouped other
// than in threes.
constexpr char kBadGroups = 'g';

// Whether the separators at `ends` (the count of digits before each) group
// the `whole` digits in threes: 1 to 3 digits first, then exactly 3 each.
bool grouped_in_threes(const std::vector<std::size_t>& ends, std::size_t whole) {
  if (ends.empty()) return true;
  if (ends.front() < 1 || ends.front() > 3) return false;
  for (std::size_t k = 1; k < ends.size(); ++k) {
    if (ends[k] - ends[k - 1] != 3) return false;
  }
  return whole - ends.back() == 3;
}

// The number in `text` (trimmed) as "[-]digits[.digits]" or in the plain
// form with an exponent, ready for parse_double; kBadGroups first when its
// grouping is wrong; nothing when it has no number's form. See read_number
// for the forms.
std::optional<std::string> plain_number(const QString& text, const QLocale& locale) {
  // An exponent belongs to the plain form alone.
  if (text.contains(QLatin1Char('e'), Qt::CaseInsensitive)) {
    std::optional<std::string> bytes = ascii_of(text);
    if (!bytes || !is_decimal_number(*bytes)) return std::nullopt;
    return bytes;
  }
  std::string sign;
  qsizetype start = 0;
  if (!text.isEmpty()) {
    const char16_t first = text.at(0).unicode();
    if (first == u'-' || first == 0x2212) sign = "-";
    if (first == u'-' || first == 0x2212 || first == u'+') start = 1;
  }
  struct separator {
    char16_t kind;
    std::size_t after;  // digits before it
  };
  std::string digits;
  std::vector<separator> separators;
  for (qsizetype i = start; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c.isDigit()) {
      digits += static_cast<char>('0' + c.digitValue());
    } else if (c.isLetterOrNumber() || c.unicode() == u'+' || c.unicode() == u'-') {
      return std::nullopt;
    } else {
      separators.push_back({mark_kind(c.unicode()), digits.size()});
    }
  }
  if (digits.empty()) return std::nullopt;

  const char16_t decimal_mark = single_mark(locale.decimalPoint());
  const char16_t group_mark = single_mark(locale.groupSeparator());
  const auto may_group = [&](char16_t kind) {
    return kind == u'.' || kind == u',' || (kind != 0 && kind == group_mark);
  };
  const auto may_be_decimal = [&](char16_t kind) {
    return kind == u'.' || kind == u',' || (kind != 0 && kind == decimal_mark);
  };

  // Which separator, if any, is the decimal mark.
  std::optional<std::size_t> decimal;
  if (!separators.empty()) {
    const separator& last = separators.back();
    std::size_t of_last_kind = 0;
    bool two_kinds = false;
    for (const separator& mark : separators) {
      if (mark.kind == last.kind) {
        ++of_last_kind;
      } else if (mark.kind != separators.front().kind) {
        return std::nullopt;  // three kinds of mark
      } else {
        two_kinds = true;
      }
    }
    if (two_kinds) {
      if (of_last_kind > 1) return std::nullopt;
      decimal = separators.size() - 1;
    } else if (separators.size() == 1) {
      const bool fits_a_group = last.after >= 1 && last.after <= 3 && digits.size() - last.after == 3;
      const bool locale_groups = last.kind == group_mark;
      if (!(locale_groups && fits_a_group)) {
        // A mark that can only group, in the wrong place.
        if (!may_be_decimal(last.kind)) {
          if (locale_groups) return std::string(1, kBadGroups);
          return std::nullopt;
        }
        decimal = 0;
      }
    }
  }
  std::vector<std::size_t> ends;
  for (std::size_t k = 0; k < separators.size(); ++k) {
    if (decimal && k == *decimal) continue;
    if (!may_group(separators[k].kind)) return std::nullopt;
    ends.push_back(separators[k].after);
  }
  if (decimal && !may_be_decimal(separators[*decimal].kind)) return std::nullopt;
  const std::size_t whole = decimal ? separators[*decimal].after : digits.size();
  if (!grouped_in_threes(ends, whole)) return std::string(1, kBadGroups);
  std::string plain = sign + digits.substr(0, whole);
  if (decimal) plain += '.' + digits.substr(whole);
  return plain;
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

number_input read_number(const QString& text, double largest, const QLocale& locale) {
  number_input result;
  const std::optional<std::string> number = plain_number(text.trimmed(), locale);
  if (!number || number->empty()) {
    result.problem = input_problem::malformed;
    return result;
  }
  if ((*number)[0] == kBadGroups) {
    result.problem = input_problem::grouping;
    return result;
  }
  result.value = parse_double(number->c_str());
  if (!std::isfinite(result.value) || std::fabs(result.value) > largest) {
    result.problem = input_problem::out_of_range;
  }
  return result;
}

number_input read_number(const QString& text, double largest) {
  return read_number(text, largest, QLocale());
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
