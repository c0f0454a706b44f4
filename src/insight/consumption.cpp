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

std::optional<double> fill_up_quantity(const Record& record) {
  const std::string* fuel = record.other_field(kFuelKey);
  if (fuel == nullptr) return std::nullopt;
  const std::optional<double> quantity = whole_double(fuel->c_str());
  if (!quantity || !(*quantity > 0) || !std::isfinite(*quantity)) return std::nullopt;
  return quantity;
}

consumption consumption_of(const std::vector<const Record*>& records) {
  std::vector<fill_up> fill_ups;
  for (const Record* record : records) {
    if (record == nullptr) continue;
    const std::optional<double> quantity = fill_up_quantity(*record);
    if (!quantity || !std::isfinite(record->mileage())) continue;
    fill_ups.push_back({record, *quantity, is_yes(record->other_field(kFullKey)),
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
  double total_fuel = 0;
  double total_distance = 0;
  for (const fill_up& next : fill_ups) {
    const double mileage = next.record->mileage();
    if (started && !next.missed && mileage > start) {
      fuel += next.fuel;
      if (!next.full) continue;
      const double distance = mileage - start;
      const double per_100 = fuel / distance * 100;
      result.figures.push_back({next.record, fuel, distance, per_100});
      result.best = std::min(result.best.value_or(per_100), per_100);
      result.worst = std::max(result.worst.value_or(per_100), per_100);
      total_fuel += fuel;
      total_distance += distance;
    }
    // The first fill-up, one after a gap, or one whose reading does not
    // rise: what came before tells nothing of what follows.
    started = next.full;
    start = mileage;
    fuel = 0;
  }
  if (total_distance > 0) result.average = total_fuel / total_distance * 100;
  return result;
}

double per_100_km(double per_100_units, distance_unit distance, volume_unit volume) {
  double litres = 1;
  switch (volume) {
    case volume_unit::litre:
    case volume_unit::kwh: break;
    case volume_unit::us_gallon: litres = kLitresPerUsGallon; break;
    case volume_unit::imperial_gallon: litres = kLitresPerImperialGallon; break;
  }
  const double km = distance == distance_unit::mile ? kKmPerMile : 1;
  return per_100_units * litres / km;
}

double km_per_litre(double litres_per_100_km) { return 100 / litres_per_100_km; }

double mpg_us(double litres_per_100_km) {
  return 100 / litres_per_100_km * kLitresPerUsGallon / kKmPerMile;
}

double mpg_imperial(double litres_per_100_km) {
  return 100 / litres_per_100_km * kLitresPerImperialGallon / kKmPerMile;
}

}  // namespace tarvik
