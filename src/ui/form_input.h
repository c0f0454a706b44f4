#ifndef TARVIK_UI_FORM_INPUT_H_
#define TARVIK_UI_FORM_INPUT_H_

#include <QLocale>
#include <QString>

// How the "Edit Record" dialog reads what the user typed. Every reader
// either returns the value the text evidently means or says why it cannot.
namespace tarvik {

// Why a text could not be read: it has not the form asked for, its digits
// are grouped other than in threes, or it has the form but the value lies
// beyond what can be kept.
enum class input_problem { none, malformed, out_of_range, grouping };

struct number_input {
  double value = 0;  // when `problem` is none
  input_problem problem = input_problem::none;
};

// One decimal number filling the whole text (white space around it aside),
// an optional sign (+, -, U+2212) before it, read as a user of `locale`
// means it:
// - the plain form with a full stop, "148950.5", and with an exponent,
//   "7e3", in any locale;
// - the locale's own form, its decimal mark and its grouping mark between
//   groups of three ("148,950.5" en, "148.950,5" de, "148 950,5" fr, where
//   a plain space, U+00A0 and U+202F all group);
// - one separator alone groups when the locale groups with it and it
//   stands after one to three digits and before exactly three: "148,950"
//   is 148950 in English, "149.200" is 149200 in German; otherwise it is
//   the decimal mark if a full stop, a comma or the locale's decimal mark:
//   "12,50" is 12.5 everywhere, "148,950" 148.95 in German;
// - a text with two kinds of mark is read by its marks, in any locale: the
//   last mark, written once, is the decimal, and the other one groups in
//   threes ("1.234,5" and "1,234.5" are both 1234.5), as the CSV import
//   reads numbers; so is a mark written twice or more ("1.234.567").
// Digits grouped other than in threes ("1,23,456", "12 34") are refused as
// grouping; infinite results (too large to hold) as out of range, and so is
// a magnitude above `largest`, so a cost can be refused before it
// overflows a float.
number_input read_number(const QString& text, double largest, const QLocale& locale);
// The same in the user's locale (the default QLocale).
number_input read_number(const QString& text, double largest);

struct date_input {
  long value = 0;  // seconds since the epoch, when `problem` is none
  input_problem problem = input_problem::none;
};

// "YYYY-MM-DD", the year optionally negative, as the first second of that
// day in local time (mktime decides whether daylight saving applies). Fields
// out of range roll over as mktime has them: month 13 is January of the next
// year, day 0 the last day of the month before.
date_input read_date(const QString& text);

// Notes as edited in a text box: `edited` comes from a document whose
// paragraphs are separated by U+2029, which knows nothing of the line breaks
// (CR LF, CR, LF, U+2029) that `original` used. Lines the user left alone at
// the start and the end keep their original breaks; every other break takes
// the original's first kind, or LF when it had none.
QString restore_line_breaks(const QString& edited, const QString& original);

}  // namespace tarvik

#endif  // TARVIK_UI_FORM_INPUT_H_
