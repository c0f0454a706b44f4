#ifndef TARVIK_INSIGHT_CONSUMPTION_H_
#define TARVIK_INSIGHT_CONSUMPTION_H_

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "data/record.h"
#include "insight/units.h"

// What a vehicle uses, from its fill-ups (entries with a "fuel" field; see
// record.h). A figure needs two fill-ups to full: the fuel of every fill-up
// after the first, up to and including the second, over the distance
// between them, so partial fill-ups in between count in. A fill-up marked
// "missed=yes" (one before it was not logged) or one whose reading is not
// above the last full one's breaks the chain: it gives no figure, and a new
// chain starts at it when it is to full. Figures are volume per 100
// distance units of the log (litres per 100 km for a log in km and litres,
// kWh per 100 km for one in kWh); the functions at the end convert.
namespace tarvik {

inline constexpr std::string_view kMissedKey = "missed";

// The quantity of a fill-up: its "fuel" field read whole as a finite
// number above zero. Empty for every other entry, one with "fuel=0" or
// "fuel=40 l" included: what cannot be read as fuel is not counted as fuel
// anywhere, in the consumption nor in the costs.
std::optional<double> fill_up_quantity(const Record& record);

struct consumption_figure {
  const Record* fill_up = nullptr;  // the full fill-up that closes the stretch
  double fuel = 0;                  // used over the stretch
  double distance = 0;
  double per_100 = 0;               // fuel per 100 distance units
};

struct consumption {
  // One for each full fill-up that closes a stretch, in order of the
  // readings' dates (and mileages, on one date).
  std::vector<consumption_figure> figures;
  // Over all stretches together (total fuel over total distance), and the
  // lowest and highest of the figures; empty without a figure.
  std::optional<double> average;
  std::optional<double> best;
  std::optional<double> worst;
  // What the average is made of.
  double total_fuel = 0;
  double total_distance = 0;
};

// Adds `figure` to `into`: its list, totals, average, best and worst. The
// figures of a part of a log (the rows a filter shows) are summed up so.
void count_in(consumption& into, const consumption_figure& figure);

// The consumption of the fill-ups among `records` (any order; null
// pointers and entries without a readable positive quantity are passed
// over).
consumption consumption_of(const std::vector<const Record*>& records);

// The conversions of a log's figures to litres per 100 km (kWh per 100 km
// for kWh) and from there to the other usual forms.
double per_100_km(double per_100_units, distance_unit distance, volume_unit volume);
double km_per_litre(double litres_per_100_km);
double mpg_us(double litres_per_100_km);
double mpg_imperial(double litres_per_100_km);
// A figure of a log in `distance` and `volume` (per 100 of its distance
// units) in `unit`. The best figure stays the best in any unit: a lower
// volume per distance is a higher distance per volume.
double in_unit(double per_100_units, distance_unit distance, volume_unit volume,
               consumption_unit unit);

}  // namespace tarvik

#endif  // TARVIK_INSIGHT_CONSUMPTION_H_
