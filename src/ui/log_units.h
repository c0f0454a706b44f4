#ifndef TARVIK_UI_LOG_UNITS_H_
#define TARVIK_UI_LOG_UNITS_H_

#include <QLocale>
#include <QString>
#include <optional>
#include <utility>

#include "insight/log_settings.h"
#include "insight/units.h"

// The units a log's figures are named in: its settings file's
// (insight/log_settings.h), else the user's locale's, which the data and
// insight layers know nothing of.
namespace tarvik {

struct log_units {
  log_units() = default;
  log_units(distance_unit distance_in, QString currency_in,
            std::optional<volume_unit> volume_in = std::nullopt,
            std::optional<consumption_unit> consumption_in = std::nullopt)
      : distance(distance_in),
        currency(std::move(currency_in)),
        volume(volume_in),
        consumption(consumption_in) {}

  distance_unit distance = distance_unit::km;
  QString currency;  // may be empty: no currency named
  // As set for the log; empty: the usual one (shown_volume(),
  // shown_consumption()), which follows the distance unit and the locale.
  std::optional<volume_unit> volume;
  std::optional<consumption_unit> consumption;

  QString distance_text() const { return QString::fromLatin1(unit_text(distance)); }
};

// The volume of a log that sets none: US gallons for a log in miles where
// the locale measures in US units, else litres.
volume_unit usual_volume(distance_unit distance, const QLocale& locale = QLocale());
// The consumption unit of a log that sets none: kWh per 100 of the distance
// unit for kWh; for miles, miles per gallon (imperial for imperial gallons
// or a UK locale, else US); else litres per 100 km.
consumption_unit usual_consumption(distance_unit distance, volume_unit volume,
                                   const QLocale& locale = QLocale());
// The units figures are shown in: the log's where it sets them (and a
// consumption unit fits its volume), else the usual ones.
volume_unit shown_volume(const log_units& units, const QLocale& locale = QLocale());
consumption_unit shown_consumption(const log_units& units, const QLocale& locale = QLocale());

// The units as the window names them: "l", "US gal", "imp gal", "kWh";
// "l/100 km", "km/l", "mpg (US)", "mpg (imp.)", "kWh/100 km", "kWh/100 mi".
QString shown_unit(volume_unit unit);
QString shown_unit(consumption_unit unit);

// The locale's: miles where it measures in imperial units (US, UK), else
// kilometres; its currency symbol ("€", "$"; none in the C locale).
log_units locale_units(const QLocale& locale = QLocale());

// What `settings` sets, and the locale's for what it does not.
log_units units_of(const log_settings& settings, const QLocale& locale = QLocale());

// "Mileage (km)"; `name` alone when `unit` is empty.
QString with_unit(const QString& name, const QString& unit);

}  // namespace tarvik

#endif  // TARVIK_UI_LOG_UNITS_H_
