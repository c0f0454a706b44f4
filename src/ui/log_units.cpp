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
  return units;
}

QString with_unit(const QString& name, const QString& unit) {
  return unit.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, unit);
}

}  // namespace tarvik
