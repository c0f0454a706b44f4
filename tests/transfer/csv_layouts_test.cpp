// Other vehicle-log programs' exports, each in a small sample of its
// layout, imported with what the dialog preselects: every value of every
// row is checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "transfer/csv_import.h"

namespace tarvik {
namespace {

std::string names_of(const std::vector<csv_role>& roles) {
  static const char* const kNames[] = {"ignore",   "mileage",    "date",    "operation",
                                       "cost",     "notes",      "extra",   "quantity",
                                       "unit_price", "full",     "partial", "missed",
                                       "fill_type", "fuel_type", "currency"};
  std::string names;
  for (const csv_role role : roles) {
    if (!names.empty()) names += ' ';
    names += kNames[static_cast<int>(role)];
  }
  return names;
}

// An entry on one line: date and time (UTC), mileage, operation, cost,
// notes, then its fields.
std::string shown(const imported_entry& entry) {
  char date[32];
  const std::time_t moment = entry.date;
  std::tm parts{};
  gmtime_r(&moment, &parts);
  std::strftime(date, sizeof date, "%Y-%m-%d %H:%M", &parts);
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, "%.10g | %.2f", entry.mileage, static_cast<double>(entry.cost));
  std::string line = std::string(date) + " | " + numbers + " | " + entry.operation + " | " +
                     entry.notes + " |";
  for (const hash_element& field : entry.fields) line += " " + field.key + "=" + field.value;
  return line;
}

using Lines = std::vector<std::string>;

// The file read with every guess the dialog makes.
struct preselected {
  csv_table table;
  std::vector<csv_role> roles;
  date_guess dates;
  decimal_mark decimals = decimal_mark::full_stop;
  import_result result;

  explicit preselected(const std::string& text) : table(read_csv(text)) {
    roles = guess_roles(table.rows.at(0), table);
    const auto date = std::find(roles.begin(), roles.end(), csv_role::date);
    if (date != roles.end()) {
      dates = guess_date_order(table, static_cast<std::size_t>(date - roles.begin()));
    }
    decimals = guess_decimal_mark(table, roles);
    result = import_rows(table, roles, dates.order, decimals);
  }
  Lines entries() const {
    Lines lines;
    for (const imported_entry& entry : result.entries) lines.push_back(shown(entry));
    return lines;
  }
  Lines problems() const {
    Lines lines;
    for (const import_problem& problem : result.problems) {
      lines.push_back(std::to_string(problem.line) + ": " + problem.message);
    }
    return lines;
  }
  std::string unit() const { return named_distance_unit(table.rows.at(0), roles); }
};

TEST(CsvLayouts, ServicesWithCostsInTheServersCurrencyFormat) {
  testing::time_zone utc("UTC");
  const preselected us(
      "Date,Description,Cost,Notes,Odometer,Tags,extrafield_Shop\r\n"
      "5/13/2024,Oil Change,$89.99,\"Synthetic, 5W-30\",45210,maintenance,Meier\r\n"
      "11/2/2024,Brakes,\"$1,234.50\",\"Pads\r\nfront\",48800,,\r\n");
  EXPECT_EQ(names_of(us.roles), "date operation cost notes mileage extra extra");
  EXPECT_EQ(us.dates.order, date_order::month_first);
  EXPECT_EQ(us.decimals, decimal_mark::full_stop);
  EXPECT_EQ(us.problems(), Lines{});
  EXPECT_EQ(us.entries(),
            (Lines{"2024-05-13 00:00 | 45210 | 89.99 | Oil Change | Synthetic, 5W-30 | "
                   "Tags=maintenance extrafield_Shop=Meier currency=$",
                   "2024-11-02 00:00 | 48800 | 1234.50 | Brakes | Pads\r\nfront | currency=$"}));
  EXPECT_EQ(us.result.currencies, (std::vector<std::string>{"$"}));

  // A German server: day first, decimal commas, a no-break space before €.
  const preselected de(
      "Date,Description,Cost,Notes,Odometer,Tags\r\n"
      "13.05.2024,\xC3\x96lwechsel,\"89,99\xC2\xA0\xE2\x82\xAC\",,45210,\r\n"
      "02.11.2024,Bremsen,\"1.234,50\xC2\xA0\xE2\x82\xAC\",vorne,48800,Reparatur\r\n");
  EXPECT_EQ(names_of(de.roles), "date operation cost notes mileage extra");
  EXPECT_EQ(de.dates.order, date_order::day_first);
  EXPECT_EQ(de.decimals, decimal_mark::comma);
  EXPECT_EQ(de.problems(), Lines{});
  EXPECT_EQ(de.entries(),
            (Lines{"2024-05-13 00:00 | 45210 | 89.99 | \xC3\x96lwechsel |  | currency=EUR",
                   "2024-11-02 00:00 | 48800 | 1234.50 | Bremsen | vorne | Tags=Reparatur "
                   "currency=EUR"}));
}

TEST(CsvLayouts, FuelRecordsWithFlagsAndGluedHeaders) {
  testing::time_zone utc("UTC");
  const preselected fuel(
      "Date,Odometer,FuelConsumed,Cost,FuelEconomy,IsFillToFull,MissedFuelUp,Notes,Tags\r\n"
      "5/13/2024,45210,42.31,70.19,0,True,False,,\r\n"
      "5/28/2024,45700,12.5,20.74,31.2,False,True,topped up,trip\r\n");
  EXPECT_EQ(names_of(fuel.roles),
            "date mileage quantity cost extra full missed notes extra");
  EXPECT_EQ(fuel.problems(), Lines{});
  EXPECT_EQ(fuel.entries(),
            (Lines{"2024-05-13 00:00 | 45210 | 70.19 | Fuel |  | fuel=42.31 FuelEconomy=0 full=yes",
                   "2024-05-28 00:00 | 45700 | 20.74 | Fuel | topped up | fuel=12.5 "
                   "FuelEconomy=31.2 full=no missed=yes Tags=trip"}));
}

TEST(CsvLayouts, FirstColumnCodesAndAPricePerLitreBeforeTheTotal) {
  testing::time_zone utc("UTC");
  const preselected services(
      "units_version,Date,Category,Description,Odometer (km),Cost,Vendor,Notes\r\n"
      "metric,2024-05-13,Maintenance,Oil change,45210,89.99,Meier,synthetic\r\n");
  EXPECT_EQ(names_of(services.roles), "extra date extra operation mileage cost extra notes");
  EXPECT_EQ(services.unit(), "km");
  EXPECT_EQ(services.entries(),
            (Lines{"2024-05-13 00:00 | 45210 | 89.99 | Oil change | synthetic | "
                   "units_version=metric Category=Maintenance Vendor=Meier"}));

  const preselected fuel(
      "units_version,Date,Filled At,Odometer (km),Liters,Price Per Liter,Rebate,Total Cost,"
      "Full Tank,Missed Fill-up,Is Hauling,Fuel Type,Fuel Type Used,Station ID,Station,"
      "Driver ID,Driver,Payment Method,Trip Type,Outside Temp (C),OBC L/100km,"
      "OBC Avg Speed (km/h),OBC Trip Duration (s),Notes\r\n"
      "metric,2024-05-13,2024-05-13T08:15:00,45210,42.31,1.659,0.00,70.19,True,False,False,"
      "Super,,,Shell,,,Card,,,,,,\r\n"
      "metric,2024-05-28,,45700,12.50,1.699,0.50,20.74,False,True,False,Super,,,Aral,,,,,"
      "12,,,,half\r\n");
  EXPECT_EQ(names_of(fuel.roles),
            "extra date extra mileage quantity unit_price extra cost full missed extra fuel_type "
            "extra extra extra extra extra extra extra extra extra extra extra notes");
  EXPECT_EQ(fuel.problems(), Lines{});
  EXPECT_EQ(fuel.entries(),
            (Lines{"2024-05-13 00:00 | 45210 | 70.19 | Fuel |  | units_version=metric "
                   "Filled At=2024-05-13T08:15:00 fuel=42.31 price=1.659 Rebate=0.00 full=yes "
                   "Is Hauling=False fueltype=Super Station=Shell Payment Method=Card",
                   "2024-05-28 00:00 | 45700 | 20.74 | Fuel | half | units_version=metric "
                   "fuel=12.50 price=1.699 Rebate=0.50 full=no missed=yes Is Hauling=False "
                   "fueltype=Super Station=Aral Outside Temp (C)=12"}));
  EXPECT_EQ(fuel.result.costs_from_price, 0u);
}

TEST(CsvLayouts, TheLogSectionOfABackupWithOptionalColumnsAndUnits) {
  testing::time_zone utc("UTC");
  const preselected log(
      "\"Data\",\"Odo (mi)\",\"Fuel (litres)\",\"Full\",\"Price (optional)\",\"mpg (optional)\","
      "\"latitude (optional)\",\"longitude (optional)\",\"City (optional)\",\"Notes (optional)\","
      "\"Missed\",\"TankNumber\",\"FuelType\",\"VolumePrice\",\"StationID (optional)\","
      "\"ExcludeDistance\",\"UniqueId\",\"TankCalc\"\n"
      "\"2024-05-13 08:15\",\"45210\",\"42.31\",\"1\",\"70.19\",\"0\",\"0\",\"0\",\"\",\"\",\"0\","
      "\"1\",\"100\",\"1.659\",\"0\",\"0\",\"17\",\"0\"\n"
      "\"2024-05-28 17:40\",\"45700\",\"12.5\",\"0\",\"20.74\",\"31.2\",\"0\",\"0\",\"Graz\","
      "\"topped up\",\"1\",\"1\",\"100\",\"1.659\",\"0\",\"0\",\"18\",\"0\"\n");
  EXPECT_EQ(names_of(log.roles),
            "date mileage quantity full cost extra extra extra extra notes missed extra "
            "fuel_type unit_price extra extra extra extra");
  EXPECT_EQ(log.unit(), "mi");
  EXPECT_EQ(log.problems(), Lines{});
  const std::string zeros =
      "mpg (optional)=0 latitude (optional)=0 longitude (optional)=0";
  EXPECT_EQ(log.entries(),
            (Lines{"2024-05-13 08:15 | 45210 | 70.19 | Fuel |  | fuel=42.31 full=yes " + zeros +
                       " TankNumber=1 fueltype=100 price=1.659 StationID (optional)=0 "
                       "ExcludeDistance=0 UniqueId=17 TankCalc=0",
                   "2024-05-28 17:40 | 45700 | 20.74 | Fuel | topped up | fuel=12.5 full=no "
                   "mpg (optional)=31.2 latitude (optional)=0 longitude (optional)=0 "
                   "City (optional)=Graz missed=yes TankNumber=1 fueltype=100 price=1.659 "
                   "StationID (optional)=0 ExcludeDistance=0 UniqueId=18 TankCalc=0"}));
}

TEST(CsvLayouts, FillTypeCodesAndACurrencyColumn) {
  testing::time_zone utc("UTC");
  const preselected sprit(
      "Date;Odometer;Trip;Quantity;Total price;Currency;Type;Tires;Roads;Driving style;Fuel;"
      "Note;Consumption;BC-Consumption;BC-Quantity;BC-Speed;Company;Country;Area;Location\n"
      "13.05.2024;45210;480;42,31;70,19;EUR;1;Summer;;;Super E10;;8,81;;;;Shell;D;;\n"
      "28.05.2024;45700;490;12,50;20,74;EUR;2;;;;Super E10;Autobahn A8;;;;;;;;\n"
      "03.06.2024;46190;490;40,00;66,00;EUR;3;;;;Diesel;;;;;;;;;\n");
  EXPECT_EQ(names_of(sprit.roles),
            "date mileage extra quantity cost currency fill_type extra extra extra fuel_type "
            "notes extra extra extra extra extra extra extra extra");
  EXPECT_EQ(sprit.dates.order, date_order::day_first);
  EXPECT_EQ(sprit.decimals, decimal_mark::comma);
  EXPECT_EQ(sprit.problems(), Lines{});
  EXPECT_EQ(sprit.entries(),
            (Lines{"2024-05-13 00:00 | 45210 | 70.19 | Fuel |  | Trip=480 fuel=42.31 currency=EUR "
                   "full=yes Tires=Summer fueltype=Super E10 Consumption=8,81 Company=Shell "
                   "Country=D",
                   "2024-05-28 00:00 | 45700 | 20.74 | Fuel | Autobahn A8 | Trip=490 fuel=12.50 "
                   "currency=EUR full=no fueltype=Super E10",
                   "2024-06-03 00:00 | 46190 | 66.00 | Fuel |  | Trip=490 fuel=40.00 currency=EUR "
                   "full=yes fueltype=Diesel"}));
}

TEST(CsvLayouts, APricePerGallonAndNoTotal) {
  testing::time_zone utc("UTC");
  const preselected fuelups(
      "car_name,model,mpg,odometer,miles,gallons,price,city_percentage,fuelup_date,date_added,"
      "tags,notes,missed_fuelup,partial_fuelup,latitude,longitude,brand\n"
      "Civic,Honda Civic,34.2,45210,410.5,12.003,3.459,50,2024-05-13,2024-05-13 09:01:00,,,0,0,"
      ",,Shell\n"
      "Civic,Honda Civic,0,45700,489.5,5.5,3.498,20,2024-05-28,2024-05-28 18:00:00,,road trip,1,"
      "1,,,Costco\n");
  EXPECT_EQ(names_of(fuelups.roles),
            "extra extra extra mileage extra quantity unit_price extra date extra extra notes "
            "missed partial extra extra extra");
  EXPECT_EQ(fuelups.problems(), Lines{});
  EXPECT_EQ(fuelups.entries(),
            (Lines{"2024-05-13 00:00 | 45210 | 41.52 | Fuel |  | car_name=Civic model=Honda Civic "
                   "mpg=34.2 miles=410.5 fuel=12.003 price=3.459 city_percentage=50 "
                   "date_added=2024-05-13 09:01:00 full=yes brand=Shell",
                   "2024-05-28 00:00 | 45700 | 19.24 | Fuel | road trip | car_name=Civic "
                   "model=Honda Civic mpg=0 miles=489.5 fuel=5.5 price=3.498 city_percentage=20 "
                   "date_added=2024-05-28 18:00:00 missed=yes full=no brand=Costco"}));
  EXPECT_EQ(fuelups.result.costs_from_price, 2u);
}

TEST(CsvLayouts, ThreeFuelsARowAndATrailingComma) {
  testing::time_zone utc("UTC");
  const preselected drivvo(
      "Odometer (km),\"Date\",\"Fuel\",\"Price / L\",\"Total expenses.\",\"Volume\",\"Full tank!\","
      "\"Second fuel\",\"Price / L\",\"Total expenses.\",\"Volume\",\"Full tank!\",\"Third fuel\","
      "\"Price / L\",\"Total expenses.\",\"Volume\",\"Full tank!\",\"Gas station\",\"Reason\","
      "\"Notes\",\n"
      "45210,\"2024-05-13 08:15:00\",\"Gasoline\",\"1.659\",\"70.19\",\"42.31\",\"1\",\"\",\"\",\"\","
      "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"Shell\",\"\",\"\",\n"
      "45700,\"2024-05-28 17:40:00\",\"Gasoline\",\"1.699\",\"20.74\",\"12.21\",\"0\",\"\",\"\",\"\","
      "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"Aral\",\"Holiday\",\"half\",\n");
  EXPECT_EQ(names_of(drivvo.roles),
            "mileage date fuel_type unit_price cost quantity full extra extra extra extra extra "
            "extra extra extra extra extra extra extra notes ignore");
  EXPECT_EQ(drivvo.unit(), "km");
  EXPECT_EQ(drivvo.problems(), Lines{});
  EXPECT_EQ(drivvo.entries(),
            (Lines{"2024-05-13 08:15 | 45210 | 70.19 | Fuel |  | fueltype=Gasoline price=1.659 "
                   "fuel=42.31 full=yes Gas station=Shell",
                   "2024-05-28 17:40 | 45700 | 20.74 | Fuel | half | fueltype=Gasoline "
                   "price=1.699 fuel=12.21 full=no Gas station=Aral Reason=Holiday"}));
}

TEST(CsvLayouts, ACurrencyARowAndTwoOfThemReported) {
  testing::time_zone utc("UTC");
  const preselected log(
      "Date (UTC),Location,Station Link,Address,City,State,Country,Total Cost,Currency,Fuel Type,"
      "Quantity,Unit,Vehicle,Unit price,Odometer,Fuel Economy,Fuel Economy Unit,Fillup\n"
      "2024-05-13 12:15:00,Shell,,1 Main St,Springfield,IL,US,41.52,USD,Regular,12.003,gallons,"
      "Civic,3.459,45210,,,\n"
      "2024-05-28 22:00:00,Costco,,,Windsor,ON,CA,60.10,CAD,Regular,40.1,liters,Civic,1.499,"
      "45700,34.2,mpg,\n");
  EXPECT_EQ(names_of(log.roles),
            "date extra extra extra extra extra extra cost currency fuel_type quantity extra "
            "extra unit_price mileage extra extra extra");
  EXPECT_EQ(log.problems(), Lines{});
  EXPECT_EQ(log.entries(),
            (Lines{"2024-05-13 12:15 | 45210 | 41.52 | Fuel |  | Location=Shell Address=1 Main St "
                   "City=Springfield State=IL Country=US currency=USD fueltype=Regular "
                   "fuel=12.003 Unit=gallons Vehicle=Civic price=3.459",
                   "2024-05-28 22:00 | 45700 | 60.10 | Fuel |  | Location=Costco City=Windsor "
                   "State=ON Country=CA currency=CAD fueltype=Regular fuel=40.1 Unit=liters "
                   "Vehicle=Civic price=1.499 Fuel Economy=34.2 Fuel Economy Unit=mpg"}));
  EXPECT_EQ(log.result.currencies, (std::vector<std::string>{"USD", "CAD"}));
}

}  // namespace
}  // namespace tarvik
