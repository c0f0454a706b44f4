#include "insight/consumption.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "data/number_text.h"

namespace tarvik {
namespace {

constexpr double kKmPerMile = 1.609344;
constexpr double kLitresPerUsGallon = 3.785411784;
constexpr double kLitresPerImperialGallon = 4.54609;

bool is_yes(const std::string* text) {
  if (text == nullptr) return false;
  std::string folded;
  for (const char c : *text) {
    if (c == ' ' || c == '\t') continue;
    folded += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return folded == "yes";
}

struct fill_up {
  const Record* record;
  double fuel;
  bool full;
  bool missed;
};

}  // namespace

consumption consumption_of(const std::vector<const Record*>& records) {
  std::vector<fill_up> fill_ups;
  for (const Record* record : records) {
    if (record == nullptr) continue;
    const std::string* fuel = record->other_field(kFuelKey);
    if (fuel == nullptr || !whole_double_text(fuel->c_str())) continue;
    const double quantity = parse_double(fuel->c_str());
    if (!(quantity > 0) || !std::isfinite(quantity) || !std::isfinite(record->mileage())) continue;
    fill_ups.push_back({record, quantity, is_yes(record->other_field(kFullKey)),
                        is_yes(record->other_field(kMissedKey))});
  }
  // Most logs are kept in order: nothing to sort then.
  const auto before = [](const fill_up& a, const fill_up& b) {
    return a.record->date() < b.record->date() ||
           (a.record->date() == b.record->date() && a.record->mileage() < b.record->mileage());
  };
  if (!std::is_sorted(fill_ups.begin(), fill_ups.end(), before)) {
    std::stable_sort(fill_ups.begin(), fill_ups.end(), before);
  }

  consumption result;
  bool started = false;  // a full fill-up opens the stretch
  double start = 0;      // its reading
  double fuel = 0;       // filled since it
  for (const fill_up& next : fill_ups) {
    const double mileage = next.record->mileage();
    if (started && !next.missed && mileage > start) {
      fuel += next.fuel;
      if (!next.full) continue;
      const double distance = mileage - start;
      count_in(result, {next.record, fuel, distance, fuel / distance * 100});
    }
    // The first fill-up, one after a gap, or one whose reading does not
    // rise: what came before tells nothing of what follows.
    started = next.full;
    start = mileage;
    fuel = 0;
  }
  return result;
}

void count_in(consumption& into, const consumption_figure& figure) {
  into.figures.push_back(figure);
  into.best = std::min(into.best.value_or(figure.per_100), figure.per_100);
  into.worst = std::max(into.worst.value_or(figure.per_100), figure.per_100);
  into.total_fuel += figure.fuel;
  into.total_distance += figure.distance;
  if (into.total_distance > 0) into.average = into.total_fuel / into.total_distance * 100;
}

double per_100_km(double per_100_units, distance_unit distance, volume_unit volume) {
  double litres = 1;
  switch (volume) {
    case volume_unit::litre:
    case volume_unit::kwh: break;
    case volume_unit::us_gallon: litres = kLitresPerUsGallon; break;
    case volume_unit::imperial_gallon: litres = kLitresPerImperialGallon; break;
  }
  const double km = distance == distance_unit::mi ? kKmPerMile : 1;
  return per_100_units * litres / km;
}

double km_per_litre(double litres_per_100_km) { return 100 / litres_per_100_km; }

double mpg_us(double litres_per_100_km) {
  return 100 / litres_per_100_km * kLitresPerUsGallon / kKmPerMile;
}

double mpg_imperial(double litres_per_100_km) {
  return 100 / litres_per_100_km * kLitresPerImperialGallon / kKmPerMile;
}

double in_unit(double per_100_units, distance_unit distance, volume_unit volume,
               consumption_unit unit) {
  const double per_km = per_100_km(per_100_units, distance, volume);
  switch (unit) {
    case consumption_unit::litres_per_100_km:
    case consumption_unit::kwh_per_100_km: return per_km;
    case consumption_unit::km_per_litre: return km_per_litre(per_km);
    case consumption_unit::mpg_us: return mpg_us(per_km);
    case consumption_unit::mpg_imperial: return mpg_imperial(per_km);
    case consumption_unit::kwh_per_100_mi: return per_km * kKmPerMile;
  }
  return per_km;
}

}  // namespace tarvik
