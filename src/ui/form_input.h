#ifndef TARVIK_UI_FORM_INPUT_H_
#define TARVIK_UI_FORM_INPUT_H_

#include <QString>

// How the "Edit Record" dialog reads what the user typed. Every reader
// either returns the value the text evidently means or says why it cannot.
namespace tarvik {

// Why a text could not be read: it has not the form asked for, or it has
// but the value lies beyond what can be kept.
enum class input_problem { none, malformed, out_of_range };

struct number_input {
  double value = 0;  // when `problem` is none
  input_problem problem = input_problem::none;
};

// One decimal number filling the whole text (white space around it aside),
// read with the full stop whatever the locale. A comma in a text without a
// full stop is the decimal separator: "12,50" is 12.5. Infinite results
// (too large to hold) are refused. `largest` bounds the magnitude, so a
// cost can be refused before it overflows a float.
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
