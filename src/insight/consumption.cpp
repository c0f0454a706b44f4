#include "insight/consumption.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "data/number_text.h"

namespace tarvik {
namespace {

constexpr double kKmPerMile = 1.609344;
constexpr double kLitresPerUsGallon = 3.785411784;
constexpr double kLitresPerImperialGallon = 4.54609;

// "yes" in any letter case, blanks anywhere aside; without a copy, as it
// is asked of every fill-up at every change of a log.
bool is_yes(const std::string* text) {
  if (text == nullptr) return false;
  constexpr char kYes[] = "yes";
  std::size_t matched = 0;
  for (const char c : *text) {
    if (c == ' ' || c == '\t') continue;
    const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (matched == 3 || lower != kYes[matched]) return false;
    ++matched;
  }
  return matched == 3;
}

// A "fuel" text that makes an entry a fill-up: a finite number above zero.
std::optional<double> usable_quantity(const std::string& text) {
  const std::optional<double> quantity = whole_double(text.c_str());
  if (!quantity || !(*quantity > 0) || !std::isfinite(*quantity)) return std::nullopt;
  return quantity;
}

struct fill_up {
  const Record* record;
  double fuel;
  bool full;
  bool missed;
};

bool before(const fill_up& a, const fill_up& b) {
  return a.record->date() < b.record->date() ||
         (a.record->date() == b.record->date() && a.record->mileage() < b.record->mileage());
}

// Which of the keys a fill-up is read by `key` is, as same_field_key()
// matches them (fuel and full in any letter case), without folding the
// text for each of them.
enum class fill_up_key { none, fuel, full, missed };
fill_up_key key_of(const std::string& key) {
  if (key.size() == kFuelKey.size()) {
    char folded[4];
    for (std::size_t i = 0; i < 4; ++i) {
      const char c = key[i];
      folded[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    const std::string_view name(folded, 4);
    if (name == kFuelKey) return fill_up_key::fuel;
    if (name == kFullKey) return fill_up_key::full;
    return fill_up_key::none;
  }
  return key == kMissedKey ? fill_up_key::missed : fill_up_key::none;
}

// The fill-up a record is: one with a readable positive quantity and a
// finite reading.
std::optional<fill_up> fill_up_of(const Record* record) {
  if (record == nullptr) return std::nullopt;
  // One look at each field, the last of a key counting as other_field()
  // has it.
  const std::string* fuel = nullptr;
  const std::string* full = nullptr;
  const std::string* missed = nullptr;
  for (const hash_element& field : record->other_fields()) {
    switch (key_of(field.key)) {
      case fill_up_key::fuel: fuel = &field.value; break;
      case fill_up_key::full: full = &field.value; break;
      case fill_up_key::missed: missed = &field.value; break;
      case fill_up_key::none: break;
    }
  }
  if (fuel == nullptr) return std::nullopt;
  const std::optional<double> quantity = usable_quantity(*fuel);
  if (!quantity || !std::isfinite(record->mileage())) return std::nullopt;
  return fill_up{record, *quantity, is_yes(full), is_yes(missed)};
}

// The chain of fill-ups in date order, and the figures it gives.
class stretch {
 public:
  explicit stretch(consumption& result) : result_(result) {}

  void add(const fill_up& next) {
    const double mileage = next.record->mileage();
    if (started_ && !next.missed && mileage > start_) {
      fuel_ += next.fuel;
      if (!next.full) return;
      const double distance = mileage - start_;
      count_in(result_, {next.record, fuel_, distance, fuel_ / distance * 100});
    }
    // The first fill-up, one after a gap, or one whose reading does not
    // rise: what came before tells nothing of what follows.
    started_ = next.full;
    start_ = mileage;
    fuel_ = 0;
  }

 private:
  consumption& result_;
  bool started_ = false;  // a full fill-up opens the stretch
  double start_ = 0;      // its reading
  double fuel_ = 0;       // filled since it
};

}  // namespace

std::optional<double> fill_up_quantity(const Record& record) {
  const std::string* fuel = record.other_field(kFuelKey);
  return fuel == nullptr ? std::nullopt : usable_quantity(*fuel);
}

consumption consumption_of(const std::vector<const Record*>& records) {
  consumption result;
  stretch chain(result);
  // Most logs are kept in order: their fill-ups are counted as they come,
  // without a list of them. The first out of order starts it over sorted.
  const fill_up* last = nullptr;
  fill_up kept{};
  bool in_order = true;
  for (const Record* record : records) {
    const std::optional<fill_up> next = fill_up_of(record);
    if (!next) continue;
    if (last != nullptr && before(*next, *last)) {
      in_order = false;
      break;
    }
    chain.add(*next);
    kept = *next;
    last = &kept;
  }
  if (in_order) return result;

  std::vector<fill_up> fill_ups;
  for (const Record* record : records) {
    if (const std::optional<fill_up> next = fill_up_of(record)) fill_ups.push_back(*next);
  }
  std::stable_sort(fill_ups.begin(), fill_ups.end(), before);
  result = consumption();
  stretch sorted(result);
  for (const fill_up& next : fill_ups) sorted.add(next);
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
