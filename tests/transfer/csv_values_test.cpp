// What the cells of other programs' exports mean: costs written with a
// currency, prices per unit that are not what was paid, header words in
// several languages, flags and codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"
#include "transfer/csv_import.h"

namespace tarvik {
namespace {

using Roles = std::vector<csv_role>;
using Strings = std::vector<std::string>;

constexpr csv_role kDate = csv_role::date;
constexpr csv_role kCost = csv_role::cost;
constexpr csv_role kExtra = csv_role::extra;

// One cost cell read with `decimals`: "value currency", or the problem.
std::string cost_of(const std::string& cell, decimal_mark decimals = decimal_mark::full_stop) {
  csv_table table;
  table.rows = {{"Date", "Cost"}, {"2024-05-13", cell}};
  table.line_of = {1, 2};
  const import_result result = import_rows(table, {kDate, kCost}, date_order::iso, decimals);
  if (!result.problems.empty()) return result.problems[0].message;
  const imported_entry& entry = result.entries.at(0);
  std::string said = std::to_string(entry.cost);
  said.erase(said.find_last_not_of('0') + 1);
  for (const hash_element& field : entry.fields) said += " " + field.value;
  return said;
}

TEST(CsvMoney, ACurrencyBeforeOrAfterWithOrWithoutABlankGroupedOrNot) {
  testing::time_zone utc("UTC");
  const std::string nbsp = "\xC2\xA0";
  const std::string narrow = "\xE2\x80\xAF";
  const std::string euro = "\xE2\x82\xAC";
  EXPECT_EQ(cost_of("$89.99"), "89.989998 $");
  EXPECT_EQ(cost_of("89.99$"), "89.989998 $");
  EXPECT_EQ(cost_of("$ 89.99"), "89.989998 $");
  EXPECT_EQ(cost_of("89.99 USD"), "89.989998 USD");
  EXPECT_EQ(cost_of("USD89.99"), "89.989998 USD");
  EXPECT_EQ(cost_of("$1,234.50"), "1234.5 $");
  EXPECT_EQ(cost_of("1234.50 " + euro), "1234.5 EUR");
  EXPECT_EQ(cost_of("1.234,50" + nbsp + euro, decimal_mark::comma), "1234.5 EUR");
  EXPECT_EQ(cost_of("1" + narrow + "234,50" + narrow + euro, decimal_mark::comma), "1234.5 EUR");
  EXPECT_EQ(cost_of("R$ 1.234,50", decimal_mark::comma), "1234.5 BRL");
  EXPECT_EQ(cost_of("12,50 z\xC5\x82", decimal_mark::comma), "12.5 PLN");
  EXPECT_EQ(cost_of("kr 100"), "100. kr");
  EXPECT_EQ(cost_of("CHF 5.20"), "5.2 CHF");
  EXPECT_EQ(cost_of("\xC2\xA3" "7"), "7. GBP");
  // Negative, as accounting and .NET formats write it.
  EXPECT_EQ(cost_of("($12.00)"), "-12. $");
  EXPECT_EQ(cost_of("-$12.00"), "-12. $");
  EXPECT_EQ(cost_of("$-12.00"), "-12. $");
  EXPECT_EQ(cost_of("- 12,00 " + euro, decimal_mark::comma), "-12. EUR");
  EXPECT_EQ(cost_of("(12.00)"), "-12.");
  // A plain number names no currency.
  EXPECT_EQ(cost_of("12.5"), "12.5");
}

TEST(CsvMoney, WhatIsNotAnAmountIsReportedNeverReadAsAnother) {
  testing::time_zone utc("UTC");
  for (const char* cell : {"$$12", "$12 EUR", "(-$12)", "-($12)", "12 km", "Eur 12", "EURO 12",
                           "$", "($)", "12 $ x", "about $12", "$12.34.56"}) {
    EXPECT_EQ(cost_of(cell), "Cost \"" + std::string(cell) + "\" is not a number") << cell;
  }
  // The decimal mark stays strict behind a currency.
  EXPECT_EQ(cost_of("45.21 \xE2\x82\xAC", decimal_mark::comma),
            "Cost \"45.21 \xE2\x82\xAC\" is not a number");
  EXPECT_EQ(cost_of("$1 23.50"), "Cost \"$1 23.50\" is not a number");
  // A mileage is no amount.
  const import_result odometer = import_rows(read_csv("Date,Odometer\n2024-05-13,$45210\n"),
                                             {kDate, csv_role::mileage}, date_order::iso,
                                             decimal_mark::full_stop);
  ASSERT_EQ(odometer.problems.size(), 1u);
  EXPECT_EQ(odometer.problems[0].message, "Odometer \"$45210\" is not a number");
}

TEST(CsvMoney, TheDecimalMarkIsJudgedPastTheCurrency) {
  const auto mark_of = [](const char* text) {
    const csv_table table = read_csv(text);
    return guess_decimal_mark(table, guess_roles(table.rows[0], table));
  };
  // With commas between cells and nothing else to tell, a full stop would be guessed.
  EXPECT_EQ(mark_of("Date,Cost\n2024-05-13,\"89,99 \xE2\x82\xAC\"\n"), decimal_mark::comma);
  EXPECT_EQ(mark_of("Date;Cost\n2024-05-13;$89.99\n"), decimal_mark::full_stop);
  EXPECT_EQ(mark_of("Date;Cost\n2024-05-13;(12.5 USD)\n"), decimal_mark::full_stop);
  // Prices per unit tell too.
  EXPECT_EQ(mark_of("Date;Litres;Price per litre\n2024-05-13;40;1.6599\n"), decimal_mark::full_stop);
}

TEST(CsvMoney, EachRowsCurrencyIsKeptAndSeveralAreReported) {
  testing::time_zone utc("UTC");
  const csv_table table = read_csv(
      "Date,Cost,Currency Code\n"
      "2024-05-13,$10,CAD\n"   // the column says which dollar
      "2024-05-14,10,eur\n"    // as written, but for the letter case of a code
      "2024-05-15,EUR 10,EUR\n"
      "2024-05-16,USD 10,CAD\n"
      "2024-05-17,10,\n");
  const Roles roles = guess_roles(table.rows[0]);
  ASSERT_EQ(roles, (Roles{kDate, kCost, csv_role::currency}));
  const import_result result = import_rows(table, roles, date_order::iso, decimal_mark::full_stop);
  Strings kept;
  for (const imported_entry& entry : result.entries) {
    kept.push_back(entry.fields.empty() ? "" : entry.fields.back().key + "=" + entry.fields.back().value);
  }
  EXPECT_EQ(kept, (Strings{"currency=CAD", "currency=eur", "currency=EUR", ""}));
  EXPECT_EQ(result.currencies, (Strings{"CAD", "eur", "EUR"}));
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_EQ(result.problems[0].line, 5u);
  EXPECT_EQ(result.problems[0].message, "the cost is in USD, Currency Code says CAD");

  // The cells of one row name one currency.
  const import_result two = import_rows(read_csv("Date,Price per L,Cost\n2024-05-13,$1.5,10 EUR\n"),
                                        {kDate, csv_role::unit_price, kCost}, date_order::iso,
                                        decimal_mark::full_stop);
  ASSERT_EQ(two.problems.size(), 1u);
  EXPECT_EQ(two.problems[0].message, "Cost \"10 EUR\" is in another currency than $");
}

TEST(CsvPrices, APricePerUnitIsNeverTheCost) {
  constexpr csv_role kQuantity = csv_role::quantity;
  constexpr csv_role kUnit = csv_role::unit_price;
  // By its header: a unit or "per".
  EXPECT_EQ(guess_roles({"Date", "Price Per Liter", "Cost"}), (Roles{kDate, kUnit, kCost}));
  EXPECT_EQ(guess_roles({"Date", "Price / L", "Total"}), (Roles{kDate, kUnit, kCost}));
  EXPECT_EQ(guess_roles({"Date", "Unit price", "Amount"}), (Roles{kDate, kUnit, kCost}));
  EXPECT_EQ(guess_roles({"Date", "Literpreis", "Betrag"}), (Roles{kDate, kUnit, kCost}));
  EXPECT_EQ(guess_roles({"Date", "Prix par litre", "Montant"}), (Roles{kDate, kUnit, kCost}));
  // A bare price: per unit beside a quantity, unless another column is.
  EXPECT_EQ(guess_roles({"Date", "Price"}), (Roles{kDate, kCost}));
  EXPECT_EQ(guess_roles({"Date", "Gallons", "Price"}), (Roles{kDate, kQuantity, kUnit}));
  EXPECT_EQ(guess_roles({"Date", "Litres", "Price", "VolumePrice"}),
            (Roles{kDate, kQuantity, kCost, kUnit}));
  // A total beats a price or rebate before it.
  EXPECT_EQ(guess_roles({"Date", "Price", "Rebate", "Total Cost"}),
            (Roles{kDate, kExtra, kExtra, kCost}));
  // A total of something else keeps no cost from the cost column.
  EXPECT_EQ(guess_roles({"Date", "Km total", "Cost"}), (Roles{kDate, csv_role::mileage, kCost}));

  // By its values: times the quantity they give another column.
  const csv_table swapped = read_csv(
      "Date,Litres,Amount,Paid\n2024-05-13,42.31,1.659,70.19\n2024-05-28,12.5,1.699,21.24\n");
  EXPECT_EQ(guess_roles(swapped.rows[0], swapped), (Roles{kDate, kQuantity, kUnit, kCost}));
  const csv_table beside = read_csv(
      "Date,Litres,Cost,Rate\n2024-05-13,42.31,70.19,1.659\n2024-05-28,12.5,21.24,1.699\n");
  EXPECT_EQ(guess_roles(beside.rows[0], beside), (Roles{kDate, kQuantity, kCost, kUnit}));
  // Half a percent off is not the product; a quantity of 1 tells nothing.
  const csv_table off = read_csv("Date,Litres,Amount,Paid\n2024-05-13,42.31,1.659,70.55\n");
  EXPECT_EQ(guess_roles(off.rows[0], off), (Roles{kDate, kQuantity, kCost, kExtra}));
  const csv_table one = read_csv("Date,Litres,Amount,Paid\n2024-05-13,1,70.19,70.19\n");
  EXPECT_EQ(guess_roles(one.rows[0], one), (Roles{kDate, kQuantity, kCost, kExtra}));
}

TEST(CsvPrices, WithoutATotalTheCostIsQuantityTimesPriceToTheCent) {
  testing::time_zone utc("UTC");
  const csv_table table = read_csv(
      "Date,Gallons,Price,Cost\n"
      "2024-05-13,12.003,3.459,\n"    // 41.518377
      "2024-05-14,10,3.4549,\n"       // 34.549
      "2024-05-15,10,3.459,40.00\n"   // a total given is what was paid
      "2024-05-16,,3.459,\n");        // no quantity: no fill-up
  const Roles roles = guess_roles(table.rows[0]);
  ASSERT_EQ(roles, (Roles{kDate, csv_role::quantity, csv_role::unit_price, kCost}));
  const import_result result = import_rows(table, roles, date_order::iso, decimal_mark::full_stop);
  ASSERT_EQ(result.entries.size(), 4u);
  EXPECT_EQ(result.entries[0].cost, 41.52f);
  EXPECT_EQ(result.entries[1].cost, 34.55f);
  EXPECT_EQ(result.entries[2].cost, 40.0f);
  EXPECT_EQ(result.entries[3].cost, 0.0f);
  EXPECT_EQ(result.entries[3].operation, "") << "not a fill-up";
  EXPECT_EQ(result.costs_from_price, 2u);
}

TEST(CsvHeaders, TheWordsOfOtherProgramsAndLanguages) {
  constexpr csv_role kMileage = csv_role::mileage;
  constexpr csv_role kOperation = csv_role::operation;
  constexpr csv_role kNotes = csv_role::notes;
  constexpr csv_role kQuantity = csv_role::quantity;
  const Roles five{kDate, kMileage, kOperation, kCost, kNotes, kQuantity};
  EXPECT_EQ(guess_roles({"Datum", "Kilometerstand", "Beschreibung", "Gesamtkosten", "Notizen", "Menge"}), five);
  EXPECT_EQ(guess_roles({"Date", "Kilom\xC3\xA9trage", "Description", "Co\xC3\xBBt total", "Remarques",
                         "Quantit\xC3\xA9"}), five);
  EXPECT_EQ(guess_roles({"Fecha", "Kilometraje", "Descripci\xC3\xB3n", "Importe", "Notas", "Cantidad"}), five);
  EXPECT_EQ(guess_roles({"Data", "Chilometraggio", "Descrizione", "Totale", "Note", "Quantit\xC3\xA0"}), five);
  EXPECT_EQ(guess_roles({"Datum", "Kilometerstand", "Omschrijving", "Totaal", "Opmerkingen", "Hoeveelheid"}), five);
  EXPECT_EQ(guess_roles({"Data", "Przebieg", "Opis", "Koszt", "Uwagi", "Ilo\xC5\x9B\xC4\x87"}), five);
  EXPECT_EQ(guess_roles({"DATA", "QUILOMETRAGEM", "DESCRI\xC3\x87\xC3\x83O", "CUSTO", "OBSERVA\xC3\x87\xC3\x95""ES",
                         "QUANTIDADE"}), five);

  // A distance since the last entry is no reading while an odometer is there.
  EXPECT_EQ(guess_roles({"Trip", "miles", "Odometer Reading", "Date (UTC)"}),
            (Roles{kExtra, kExtra, kMileage, kDate}));
  EXPECT_EQ(guess_roles({"Date", "miles"}), (Roles{kDate, kMileage}));
  // "Type": the kind of fill-up beside a quantity, else of service.
  EXPECT_EQ(guess_roles({"Date", "Quantity", "Type"}), (Roles{kDate, kQuantity, csv_role::fill_type}));
  EXPECT_EQ(guess_roles({"Date", "Type", "Sub Types", "Total Cost"}),
            (Roles{kDate, kOperation, kExtra, kCost}));
  // Codes, reminders and economy figures take no role, whatever words they hold.
  EXPECT_EQ(guess_roles({"CostTitle", "Date", "Odo", "CostTypeID", "Cost", "RemindOdo", "RemindDate",
                         "RepeatOdo", "UniqueId", "Notes"}),
            (Roles{kOperation, kDate, kMileage, kExtra, kCost, kExtra, kExtra, kExtra, kExtra, kNotes}));
  EXPECT_EQ(guess_roles({"Date", "Fuel Efficiency", "mpg", "Consumption", "Trip Distance", "Odometer",
                         "Currency Rate", "Cost"}),
            (Roles{kDate, kExtra, kExtra, kExtra, kExtra, kMileage, kExtra, kCost}));
  // The fill-up records of two more programs.
  EXPECT_EQ(guess_roles({"Vehicle", "Date", "Time", "Odometer Reading", "Distance Unit", "Volume",
                         "Volume Unit", "Price per Unit", "Total Cost", "Payment", "Partial Fill-Up?",
                         "Previously Missed Fill-Ups?", "Fuel Efficiency", "Fuel Category", "Fuel Type",
                         "Has Fuel Additive?", "Notes"}),
            (Roles{kExtra, kDate, kExtra, kMileage, kExtra, kQuantity, kExtra, csv_role::unit_price,
                   kCost, kExtra, csv_role::partial, csv_role::missed, kExtra, kExtra,
                   csv_role::fuel_type, kExtra, kNotes}));
  EXPECT_EQ(guess_roles({"Odometer (mi)", "Trip Distance", "Date", "Fill Amount", "Fill Units",
                         "Price per Unit", "Total Price", "Partial Fill", "MPG", "Note",
                         "Currency Code", "Currency Rate", "ID", "Tank Number"}),
            (Roles{kMileage, kExtra, kDate, kQuantity, kExtra, csv_role::unit_price, kCost,
                   csv_role::partial, kExtra, kNotes, csv_role::currency, kExtra, kExtra, kExtra}));
  EXPECT_EQ(guess_roles({"Description", "Date", "Odometer (mi.)", "Cost", "Note", "Type",
                         "Reminder Interval", "Reminder Distance", "Currency Code"}),
            (Roles{kOperation, kDate, kMileage, kCost, kNotes, kExtra, kExtra, kExtra,
                   csv_role::currency}));
}

TEST(CsvHeaders, TheOdometersUnitInBrackets) {
  const auto unit_of = [](const Strings& header) {
    return named_distance_unit(header, guess_roles(header));
  };
  EXPECT_EQ(unit_of({"Date", "Odometer (km)"}), "km");
  EXPECT_EQ(unit_of({"Date", "Odometer (mi.)"}), "mi");
  EXPECT_EQ(unit_of({"Date", "Kilometerstand ( Kilometres )"}), "km");
  EXPECT_EQ(unit_of({"Date", "Odometer"}), "");
  EXPECT_EQ(unit_of({"Date", "Odometer (kmh)"}), "");
  EXPECT_EQ(unit_of({"Trip (mi)", "Date", "Odometer"}), "") << "only the mileage column's";
}

TEST(CsvFlags, YesOrNoInTheirUsualFormsTheRestReported) {
  testing::time_zone utc("UTC");
  const csv_table table = read_csv(
      "Date,Litres,Partial,Missed,Fill type\n"
      "2024-05-13,40,False,True,\n"
      "2024-05-14,40,1,no,\n"
      "2024-05-15,40,,x,\n"
      "2024-05-16,40,maybe,,\n"
      "2024-05-17,40,,2,\n"
      "2024-05-18,,,,\n");
  const Roles roles{kDate, csv_role::quantity, csv_role::partial, csv_role::missed, csv_role::fill_type};
  const import_result result = import_rows(table, roles, date_order::iso, decimal_mark::full_stop);
  Strings fields;
  for (const imported_entry& entry : result.entries) {
    std::string line;
    for (const hash_element& field : entry.fields) line += field.key + "=" + field.value + " ";
    fields.push_back(line);
  }
  // A blank partial cell is a fill-up to full; an entry without fuel has no tank.
  EXPECT_EQ(fields, (Strings{"fuel=40 full=yes missed=yes ", "fuel=40 full=no ",
                             "fuel=40 missed=yes full=yes ", ""}));
  Strings problems;
  for (const import_problem& problem : result.problems) problems.push_back(problem.message);
  EXPECT_EQ(problems, (Strings{"Partial \"maybe\" is not yes or no", "Missed \"2\" is not yes or no"}));

  const import_result codes = import_rows(
      read_csv("Date,Quantity,Type\n2024-05-13,40,1\n2024-05-14,10,2\n2024-05-15,40,3\n2024-05-16,40,4\n"),
      {kDate, csv_role::quantity, csv_role::fill_type}, date_order::iso, decimal_mark::full_stop);
  ASSERT_EQ(codes.entries.size(), 3u);
  EXPECT_EQ(codes.entries[0].fields.back().value, "yes");
  EXPECT_EQ(codes.entries[1].fields.back().value, "no");
  EXPECT_EQ(codes.entries[2].fields.back().value, "yes");
  ASSERT_EQ(codes.problems.size(), 1u);
  EXPECT_EQ(codes.problems[0].message, "Type \"4\" is not a fill type (1 full, 2 partial, 3 first)");
}

}  // namespace
}  // namespace tarvik

namespace tarvik {
namespace {

TEST(CsvCurrency, OnlyCurrenciesThatSurelyDifferFromTheLogsAreTold) {
  // Two codes, or a code and its own sign.
  EXPECT_TRUE(surely_other_currency("USD", "EUR"));
  EXPECT_FALSE(surely_other_currency("EUR", "\xE2\x82\xAC"));
  EXPECT_FALSE(surely_other_currency("EUR", " EUR "));
  // A sign many currencies share, against a code: only where the code's
  // currency is never written with it.
  EXPECT_TRUE(surely_other_currency("$", "\xE2\x82\xAC"));
  EXPECT_TRUE(surely_other_currency("$", "EUR"));
  EXPECT_FALSE(surely_other_currency("$", "USD")) << "US$ holds $";
  EXPECT_FALSE(surely_other_currency("$", "CAD"));
  EXPECT_FALSE(surely_other_currency("$", "MXN")) << "no sign known for it";
  EXPECT_TRUE(surely_other_currency("EUR", "$"));
  // Two signs.
  EXPECT_TRUE(surely_other_currency("$", "kr"));
  EXPECT_FALSE(surely_other_currency("$", "$"));
  // Unknown on either side: nothing is told.
  EXPECT_FALSE(surely_other_currency("$", ""));
  EXPECT_FALSE(surely_other_currency("", "EUR"));
  EXPECT_FALSE(surely_other_currency("EUR", "Euro"));
}

}  // namespace
}  // namespace tarvik
