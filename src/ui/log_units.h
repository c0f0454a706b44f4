#ifndef TARVIK_UI_LOG_UNITS_H_
#define TARVIK_UI_LOG_UNITS_H_

#include <QLocale>
#include <QString>

#include "insight/log_settings.h"

// The units a log's figures are named in: its settings file's
// (insight/log_settings.h), else the user's locale's, which the data and
// insight layers know nothing of.
namespace tarvik {

struct log_units {
  distance_unit distance = distance_unit::km;
  QString currency;  // may be empty: no currency named

  QString distance_text() const { return QString::fromLatin1(unit_text(distance)); }
};

// The locale's: miles where it measures in imperial units (US, UK), else
// kilometres; its currency symbol ("€", "$"; none in the C locale).
log_units locale_units(const QLocale& locale = QLocale());

// What `settings` sets, and the locale's for what it does not.
log_units units_of(const log_settings& settings, const QLocale& locale = QLocale());

// "Mileage (km)"; `name` alone when `unit` is empty.
QString with_unit(const QString& name, const QString& unit);

}  // namespace tarvik

#endif  // TARVIK_UI_LOG_UNITS_H_
