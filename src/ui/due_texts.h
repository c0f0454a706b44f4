#ifndef TARVIK_UI_DUE_TEXTS_H_
#define TARVIK_UI_DUE_TEXTS_H_

#include <QLocale>
#include <QString>

#include "insight/due_list.h"

// What the due list says about one interval, in words and the numbers of a
// locale: for the window's list and for a printer on the command line.
namespace tarvik {

struct due_texts {
  QString state;  // "OK", "Due soon", "Due (estimated)", "Overdue", "Never done"
  // When it is due: the date (the earlier limit's), or the mileage where
  // the distance is reached already; "–" when nothing can be told.
  QString when;
  QString limit;  // "date", "distance (estimated)", "distance"; "" without one
  // What is left: "3,211 km and 95 days", "overdue by 12 days", "overdue by
  // 525 km"; "–" when not done or without a limit.
  QString left;
  // Why "Due soon", with this interval's figures.
  QString soon;
};

// `unit` is the log's distance unit ("km"; empty: numbers alone); `today`
// any moment of the day the list was computed for.
due_texts describe_due(const due_item& item, long today, const QString& unit,
                       const QLocale& locale);

// One line for a list on the command line: "Oil change: Overdue, overdue by
// 525 km (due 2024-03-01 by distance)".
QString due_line(const QString& operation, const due_item& item, long today, const QString& unit,
                 const QLocale& locale);

}  // namespace tarvik

#endif  // TARVIK_UI_DUE_TEXTS_H_
