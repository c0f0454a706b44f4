#include "ui/log_units.h"

#include "ui/widget_text.h"

namespace tarvik {

log_units locale_units(const QLocale& locale) {
  log_units units;
  units.distance = locale.measurementSystem() == QLocale::MetricSystem ? distance_unit::km
                                                                        : distance_unit::mi;
  units.currency = locale.currencySymbol();
  return units;
}

log_units units_of(const log_settings& settings, const QLocale& locale) {
  log_units units = locale_units(locale);
  if (settings.distance()) units.distance = *settings.distance();
  if (settings.currency()) units.currency = to_widget_text(*settings.currency());
  units.volume = settings.volume();
  units.consumption = settings.consumption();
  return units;
}

volume_unit usual_volume(distance_unit distance, const QLocale& locale) {
  return distance == distance_unit::mi && locale.measurementSystem() == QLocale::ImperialUSSystem
             ? volume_unit::us_gallon
             : volume_unit::litre;
}

consumption_unit usual_consumption(distance_unit distance, volume_unit volume,
                                   const QLocale& locale) {
  if (volume == volume_unit::kwh) {
    return distance == distance_unit::mi ? consumption_unit::kwh_per_100_mi
                                         : consumption_unit::kwh_per_100_km;
  }
  if (distance == distance_unit::km) return consumption_unit::litres_per_100_km;
  if (volume == volume_unit::imperial_gallon) return consumption_unit::mpg_imperial;
  if (volume == volume_unit::us_gallon) return consumption_unit::mpg_us;
  return locale.measurementSystem() == QLocale::ImperialUKSystem ? consumption_unit::mpg_imperial
                                                                 : consumption_unit::mpg_us;
}

volume_unit shown_volume(const log_units& units, const QLocale& locale) {
  return units.volume.value_or(usual_volume(units.distance, locale));
}

consumption_unit shown_consumption(const log_units& units, const QLocale& locale) {
  const volume_unit volume = shown_volume(units, locale);
  if (units.consumption && fits(*units.consumption, volume)) return *units.consumption;
  return usual_consumption(units.distance, volume, locale);
}

QString shown_unit(volume_unit unit) {
  switch (unit) {
    case volume_unit::litre: return QStringLiteral("l");
    case volume_unit::us_gallon: return QStringLiteral("US gal");
    case volume_unit::imperial_gallon: return QStringLiteral("imp gal");
    case volume_unit::kwh: return QStringLiteral("kWh");
  }
  return QString();
}

QString shown_unit(consumption_unit unit) {
  switch (unit) {
    case consumption_unit::litres_per_100_km: return QStringLiteral("l/100 km");
    case consumption_unit::km_per_litre: return QStringLiteral("km/l");
    case consumption_unit::mpg_us: return QStringLiteral("mpg (US)");
    case consumption_unit::mpg_imperial: return QStringLiteral("mpg (imp.)");
    case consumption_unit::kwh_per_100_km: return QStringLiteral("kWh/100 km");
    case consumption_unit::kwh_per_100_mi: return QStringLiteral("kWh/100 mi");
  }
  return QString();
}

QString with_unit(const QString& name, const QString& unit) {
  return unit.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, unit);
}

}  // namespace tarvik
