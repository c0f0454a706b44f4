#ifndef TARVIK_INSIGHT_UNITS_H_
#define TARVIK_INSIGHT_UNITS_H_

#include <optional>
#include <string_view>

// The units a log is kept in, and the words its settings file writes for
// them (log_settings.h). Words are read in any letter case.
//
//   distance     km, mi
//   volume       l (litres), gal-us, gal-imp (US and imperial gallons),
//                kwh (an electric vehicle's charging)
//   consumption  l/100km, km/l, mpg-us, mpg-imp; kwh/100km, kwh/100mi
//                for a log in kWh
namespace tarvik {

enum class distance_unit { km, mi };
enum class volume_unit { litre, us_gallon, imperial_gallon, kwh };
enum class consumption_unit {
  litres_per_100_km,
  km_per_litre,
  mpg_us,
  mpg_imperial,
  kwh_per_100_km,
  kwh_per_100_mi,
};

// "km" and "mi", as the file and the window write them.
const char* unit_text(distance_unit unit);
// The file's words; the window names the units in words of its own.
const char* unit_word(volume_unit unit);
const char* unit_word(consumption_unit unit);
std::optional<distance_unit> read_distance_unit(std::string_view word);
std::optional<volume_unit> read_volume_unit(std::string_view word);
std::optional<consumption_unit> read_consumption_unit(std::string_view word);

// Whether a figure of a log in `volume` can be given in `unit`: energy per
// distance only for kWh, and fuel units only for fuel.
bool fits(consumption_unit unit, volume_unit volume);
// Whether a higher number is the better one (distance per volume).
bool higher_is_better(consumption_unit unit);

}  // namespace tarvik

#endif  // TARVIK_INSIGHT_UNITS_H_
