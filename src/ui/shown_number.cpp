#include "ui/shown_number.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace tarvik {

QString shown_number(double value, int decimals) {
  return QLocale().toString(value, 'f', decimals);
}

QString shown_count(std::size_t count) {
  return QLocale().toString(static_cast<qulonglong>(count));
}

QString shown_reading(double value, int decimals) {
  const QLocale locale;
  if (std::isfinite(value) && std::fabs(value) >= 1e15) {
    return locale.toString(value, 'g', QLocale::FloatingPointShortest);
  }
  // The digits the shortest exact text has after its full stop.
  const QString shortest = QString::number(value, 'f', QLocale::FloatingPointShortest);
  const qsizetype stop = shortest.indexOf(QLatin1Char('.'));
  const int fraction = stop < 0 ? 0 : static_cast<int>(shortest.size() - stop - 1);
  return locale.toString(value, 'f', std::max(decimals, fraction));
}

}  // namespace tarvik
