// Consumption from fill-ups, with answers worked out by hand.
#include "insight/consumption.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace tarvik {
namespace {

// Fill-ups a day apart, in the order added.
class fill_ups {
 public:
  fill_ups& add(double mileage, const char* fuel, bool full, bool missed = false) {
    auto record = std::make_unique<Record>(static_cast<int>(owned_.size()));
    record->setup(record->identifier(), 1000000 + 86400L * static_cast<long>(owned_.size()),
                  mileage, "Fuel", "", 0);
    std::vector<hash_element> fields{{"fuel", fuel}};
    if (full) fields.push_back({"full", "yes"});
    if (missed) fields.push_back({"missed", "yes"});
    record->other_fields(std::move(fields));
    rows_.push_back(record.get());
    owned_.push_back(std::move(record));
    return *this;
  }
  const std::vector<const Record*>& rows() const { return rows_; }

 private:
  std::vector<std::unique_ptr<Record>> owned_;
  std::vector<const Record*> rows_;
};

// The figures, rounded to 1e-9: the answers are worked out in decimals.
std::vector<double> per_100_of(const consumption& used) {
  std::vector<double> figures;
  for (const consumption_figure& figure : used.figures) {
    figures.push_back(std::round(figure.per_100 * 1e9) / 1e9);
  }
  return figures;
}

TEST(Consumption, FullToFullWithPartialFillUpsAddedIn) {
  fill_ups log;
  log.add(10000, "50", true)    // the first: no figure, it opens the stretch
      .add(10500, "40", true)   // 40 over 500: 8
      .add(10800, "20", false)  // partial: counted in the next figure
      .add(11000, "15", true)   // 35 over 500: 7
      .add(11400, "36", true);  // 36 over 400: 9
  const consumption used = consumption_of(log.rows());
  EXPECT_EQ(per_100_of(used), (std::vector<double>{8, 7, 9}));
  EXPECT_EQ(used.figures[1].fill_up, log.rows()[3]);
  EXPECT_DOUBLE_EQ(used.figures[1].fuel, 35);
  EXPECT_DOUBLE_EQ(*used.average, 111.0 / 1400 * 100) << "weighted by distance, not 8";
  EXPECT_DOUBLE_EQ(*used.best, 7);
  EXPECT_DOUBLE_EQ(*used.worst, 9);
}

TEST(Consumption, AMissedFillUpOrAFallingReadingBreaksTheChain) {
  fill_ups log;
  log.add(10000, "50", true)
      .add(10300, "10", false)
      .add(10600, "45", true, true)  // one before it went unlogged: no figure
      .add(11100, "40", true)        // 40 over 500 from the missed one: 8
      .add(11000, "30", true)        // lower than before: no figure, starts anew
      .add(11500, "35", true);       // 35 over 500: 7
  EXPECT_EQ(per_100_of(consumption_of(log.rows())), (std::vector<double>{8, 7}));

  fill_ups partial_first;
  partial_first.add(10000, "20", false).add(10500, "40", true).add(11000, "40", true);
  EXPECT_EQ(per_100_of(consumption_of(partial_first.rows())), (std::vector<double>{8}))
      << "nothing before the first full fill-up counts";
}

TEST(Consumption, FillUpsAreTakenInDateOrderAndOthersPassedOver) {
  fill_ups log;
  log.add(10000, "50", true).add(10500, "40", true).add(11000, "30", true);
  std::vector<const Record*> shuffled{log.rows()[2], nullptr, log.rows()[0], log.rows()[1]};
  Record service(9);
  service.setup(9, 1000000 + 3600, 10200, "Oil", "", 50);
  Record unreadable(10);
  unreadable.setup(10, 1000000 + 7200, 10300, "Fuel", "", 50);
  unreadable.other_fields({{"fuel", "some"}, {"full", "yes"}});
  shuffled.push_back(&service);
  shuffled.push_back(&unreadable);
  EXPECT_EQ(per_100_of(consumption_of(shuffled)), (std::vector<double>{8, 6}));

  fill_ups one;
  one.add(10000, "50", true);
  const consumption none = consumption_of(one.rows());
  EXPECT_TRUE(none.figures.empty());
  EXPECT_FALSE(none.average.has_value());
  EXPECT_FALSE(none.best.has_value());
}

TEST(Consumption, UnitsConvertAndKilowattHoursWorkAlike) {
  // 8 l/100 km is 12.5 km/l, 29.40 mpg (US) and 35.31 mpg (imperial).
  EXPECT_DOUBLE_EQ(km_per_litre(8), 12.5);
  EXPECT_NEAR(mpg_us(8), 29.4018, 1e-4);
  EXPECT_NEAR(mpg_imperial(8), 35.3101, 1e-4);
  // A log in miles and US gallons: 3 gallons per 100 miles.
  EXPECT_NEAR(per_100_km(3, distance_unit::mi, volume_unit::us_gallon), 7.0565, 1e-4);
  EXPECT_NEAR(mpg_us(per_100_km(3, distance_unit::mi, volume_unit::us_gallon)), 100.0 / 3, 1e-9);
  EXPECT_NEAR(per_100_km(3, distance_unit::mi, volume_unit::imperial_gallon), 8.4744, 1e-4);
  // An electric car: 9 kWh over 50 km is 18 kWh per 100 km.
  fill_ups charged;
  charged.add(20000, "30", true).add(20050, "9", true);
  const consumption used = consumption_of(charged.rows());
  ASSERT_EQ(used.figures.size(), 1u);
  EXPECT_DOUBLE_EQ(per_100_km(used.figures[0].per_100, distance_unit::km, volume_unit::kwh), 18);
}

TEST(Consumption, EachUnitShowsTheSameStretchAndThePartsOfALogSumUp) {
  // 5 US gallons over 150 miles: 30 mpg (US) however it is asked for.
  const double per_100_mi = 5.0 / 150 * 100;
  const auto in = [&](consumption_unit unit) {
    return in_unit(per_100_mi, distance_unit::mi, volume_unit::us_gallon, unit);
  };
  EXPECT_NEAR(in(consumption_unit::mpg_us), 30, 1e-9);
  EXPECT_NEAR(in(consumption_unit::mpg_imperial), 30 * 4.54609 / 3.785411784, 1e-9);
  EXPECT_NEAR(in(consumption_unit::litres_per_100_km), 7.8405, 1e-4);
  EXPECT_NEAR(in(consumption_unit::km_per_litre), 100 / 7.8405, 1e-3);
  // kWh per 100 mi from a log in km: 18 a 100 km is 28.97 a 100 mi.
  EXPECT_NEAR(in_unit(18, distance_unit::km, volume_unit::kwh, consumption_unit::kwh_per_100_mi),
              18 * 1.609344, 1e-9);
  EXPECT_TRUE(fits(consumption_unit::kwh_per_100_km, volume_unit::kwh));
  EXPECT_FALSE(fits(consumption_unit::mpg_us, volume_unit::kwh));
  EXPECT_FALSE(fits(consumption_unit::kwh_per_100_mi, volume_unit::litre));

  // Some of a log's figures, summed up: weighted by distance, the best the
  // least fuel, which in mpg is the highest number.
  fill_ups log;
  log.add(10000, "50", true).add(10500, "40", true).add(11000, "30", true).add(11200, "20", true);
  const consumption all = consumption_of(log.rows());
  ASSERT_EQ(per_100_of(all), (std::vector<double>{8, 6, 10}));
  consumption part;
  count_in(part, all.figures[0]);
  count_in(part, all.figures[2]);
  EXPECT_DOUBLE_EQ(*part.average, 60.0 / 700 * 100);
  EXPECT_DOUBLE_EQ(*part.best, 8);
  EXPECT_DOUBLE_EQ(*part.worst, 10);
  EXPECT_GT(in_unit(*all.best, distance_unit::km, volume_unit::litre, consumption_unit::mpg_us),
            in_unit(*all.worst, distance_unit::km, volume_unit::litre, consumption_unit::mpg_us));
}

}  // namespace
}  // namespace tarvik
