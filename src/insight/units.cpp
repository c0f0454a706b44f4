#include "insight/units.h"

#include <string>

namespace tarvik {
namespace {

constexpr volume_unit kVolumes[] = {volume_unit::litre, volume_unit::us_gallon,
                                    volume_unit::imperial_gallon, volume_unit::kwh};
constexpr consumption_unit kConsumptions[] = {
    consumption_unit::litres_per_100_km, consumption_unit::km_per_litre,
    consumption_unit::mpg_us,            consumption_unit::mpg_imperial,
    consumption_unit::kwh_per_100_km,    consumption_unit::kwh_per_100_mi};

std::string lower_ascii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

}  // namespace

const char* unit_text(distance_unit unit) { return unit == distance_unit::mi ? "mi" : "km"; }

const char* unit_word(volume_unit unit) {
  switch (unit) {
    case volume_unit::litre: return "l";
    case volume_unit::us_gallon: return "gal-us";
    case volume_unit::imperial_gallon: return "gal-imp";
    case volume_unit::kwh: return "kwh";
  }
  return "l";
}

const char* unit_word(consumption_unit unit) {
  switch (unit) {
    case consumption_unit::litres_per_100_km: return "l/100km";
    case consumption_unit::km_per_litre: return "km/l";
    case consumption_unit::mpg_us: return "mpg-us";
    case consumption_unit::mpg_imperial: return "mpg-imp";
    case consumption_unit::kwh_per_100_km: return "kwh/100km";
    case consumption_unit::kwh_per_100_mi: return "kwh/100mi";
  }
  return "l/100km";
}

std::optional<distance_unit> read_distance_unit(std::string_view word) {
  const std::string unit = lower_ascii(word);
  if (unit == "km") return distance_unit::km;
  if (unit == "mi") return distance_unit::mi;
  return std::nullopt;
}

std::optional<volume_unit> read_volume_unit(std::string_view word) {
  const std::string unit = lower_ascii(word);
  for (const volume_unit known : kVolumes) {
    if (unit == unit_word(known)) return known;
  }
  return std::nullopt;
}

std::optional<consumption_unit> read_consumption_unit(std::string_view word) {
  const std::string unit = lower_ascii(word);
  for (const consumption_unit known : kConsumptions) {
    if (unit == unit_word(known)) return known;
  }
  return std::nullopt;
}

bool fits(consumption_unit unit, volume_unit volume) {
  const bool energy =
      unit == consumption_unit::kwh_per_100_km || unit == consumption_unit::kwh_per_100_mi;
  return energy == (volume == volume_unit::kwh);
}

bool higher_is_better(consumption_unit unit) {
  return unit == consumption_unit::km_per_litre || unit == consumption_unit::mpg_us ||
         unit == consumption_unit::mpg_imperial;
}

}  // namespace tarvik
