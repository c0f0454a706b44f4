#ifndef TARVIK_UI_SHOWN_NUMBER_H_
#define TARVIK_UI_SHOWN_NUMBER_H_

#include <QString>
#include <cstddef>

// Numbers as the window shows them: in the user's locale (the default
// QLocale), with its decimal mark and grouping ("148,950.0" in English,
// "148.950,0" in German). The log file keeps its own form; nothing shown
// here is ever written to it.
namespace tarvik {

// `value` with `decimals` digits after the decimal mark; NaN and the
// infinities as "nan", "inf" and "-inf".
QString shown_number(double value, int decimals);

// A count, grouped.
QString shown_count(std::size_t count);

// A value the user typed, as read: at least `decimals` digits after the
// decimal mark and as many more as it takes to show it whole ("0.125"
// stays 0.125 where shown_number would round it); magnitudes of 1e15 and
// more in scientific form.
QString shown_reading(double value, int decimals);

}  // namespace tarvik

#endif  // TARVIK_UI_SHOWN_NUMBER_H_
