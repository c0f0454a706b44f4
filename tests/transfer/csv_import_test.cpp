// CSV files of other programs and of our own export, read into entries.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include "support/test_support.h"
#include "transfer/csv_export.h"
#include "transfer/csv_import.h"

namespace tarvik {
namespace {

using Rows = std::vector<std::vector<std::string>>;
using Fields = std::vector<std::pair<std::string, std::string>>;

Fields fields_of(const imported_entry& entry) {
  Fields fields;
  for (const hash_element& field : entry.fields) fields.emplace_back(field.key, field.value);
  return fields;
}

TEST(CsvImport, ReadsCellsAsSpreadsheetsWriteThem) {
  const csv_table commas = read_csv(
      "\xEF\xBB\xBF" "Date,Notes\r\n2002-05-01,\"one, two\"\r\n2002-05-02,\"said \"\"hi\"\"\nnext\"\r\n");
  EXPECT_EQ(commas.separator, ',');
  EXPECT_EQ(commas.rows, (Rows{{"Date", "Notes"},
                               {"2002-05-01", "one, two"},
                               {"2002-05-02", "said \"hi\"\nnext"}}));
  EXPECT_EQ(commas.line_of, (std::vector<std::size_t>{1, 2, 3}));

  const csv_table semicolons = read_csv("Datum;Kosten\n01.05.2002;12,50\n\n02.05.2002;;\n");
  EXPECT_EQ(semicolons.separator, ';');
  EXPECT_EQ(semicolons.rows,
            (Rows{{"Datum", "Kosten"}, {"01.05.2002", "12,50"}, {"02.05.2002", "", ""}}));
  EXPECT_EQ(semicolons.line_of, (std::vector<std::size_t>{1, 2, 4}));
  EXPECT_EQ(read_csv("a\tb,c\td\n1\t2,3\t4\n").rows,
            (Rows{{"a", "b,c", "d"}, {"1", "2,3", "4"}}));
}

TEST(CsvImport, KnowsTheColumnsOfOtherVehicleLogs) {
  EXPECT_EQ(guess_roles({"Date", "Odometer (km)", "Service Type", "Total Cost", "Comments",
                         "Fuel Quantity", "Station", ""}),
            (std::vector<csv_role>{csv_role::date, csv_role::mileage, csv_role::operation,
                                   csv_role::cost, csv_role::notes, csv_role::quantity,
                                   csv_role::extra, csv_role::ignore}));
  EXPECT_EQ(guess_roles({"MILES", "description", "Price", "memo", "date", "Amount"}),
            (std::vector<csv_role>{csv_role::mileage, csv_role::operation, csv_role::cost,
                                   csv_role::notes, csv_role::date, csv_role::extra}));
  EXPECT_EQ(guess_roles({"Datum", "Kilometerstand", "Leistung", "Kosten (EUR)", "Bemerkung"}),
            (std::vector<csv_role>{csv_role::date, csv_role::mileage, csv_role::operation,
                                   csv_role::cost, csv_role::notes}));
}

TEST(CsvImport, TellsDayFirstFromMonthFirstOrSaysItCannot) {
  const auto order_of = [](const char* text) { return guess_date_order(read_csv(text), 0); };
  EXPECT_EQ(order_of("Date\n2002-05-13\n").order, date_order::iso);
  EXPECT_FALSE(order_of("Date\n2002-05-13\n").ambiguous);
  EXPECT_EQ(order_of("Date\n01.05.2002\n13.05.2002\n").order, date_order::day_first);
  EXPECT_FALSE(order_of("Date\n01.05.2002\n13.05.2002\n").ambiguous);
  EXPECT_EQ(order_of("Date\n05/13/2002\n").order, date_order::month_first);
  EXPECT_TRUE(order_of("Date\n01/05/2002\n02/05/2002\n").ambiguous);
}

TEST(CsvImport, ReadsEveryRowOrSaysWhyNot) {
  testing::time_zone utc("UTC");
  const csv_table table = read_csv(
      "Date;Odometer;Service;Cost;Station\n"
      "01.05.2002;45.210,5;Oil change;1.234,56;Shell\n"
      "02.05.2002;45300;\"Tyres; winter\";12,50;\n"
      "31.04.2002;45400;Wipers;10;\n"
      "03.05.2002;about 45500;Wipers;10;\n"
      ";45600;Wipers;10;\n"
      "04.05.2002 13:20;45700;;;\n"
      ";; ;;\n");
  const std::vector<csv_role> roles = guess_roles(table.rows[0]);
  ASSERT_EQ(guess_decimal_mark(table, roles), decimal_mark::comma);
  const import_result result = import_rows(table, roles, date_order::day_first, decimal_mark::comma);
  ASSERT_EQ(result.entries.size(), 3u);
  EXPECT_EQ(result.entries[0].date, 1020211200);
  EXPECT_EQ(result.entries[0].mileage, 45210.5);
  EXPECT_EQ(result.entries[0].cost, 1234.56f);
  EXPECT_EQ(result.entries[0].notes, "");
  EXPECT_EQ(fields_of(result.entries[0]), (Fields{{"Station", "Shell"}}));
  EXPECT_EQ(result.entries[1].operation, "Tyres; winter");
  EXPECT_EQ(fields_of(result.entries[1]), Fields{}) << "an empty cell makes no field";
  EXPECT_EQ(result.entries[1].cost, 12.5f);
  EXPECT_EQ(result.entries[1].notes, "");
  EXPECT_EQ(result.entries[2].date, 1020470400 + 13 * 3600 + 20 * 60);
  EXPECT_EQ(result.entries[2].operation, "");
  EXPECT_EQ(result.entries[2].line, 7u);
  ASSERT_EQ(result.problems.size(), 3u);
  EXPECT_EQ(result.problems[0].line, 4u);
  EXPECT_EQ(result.problems[0].message, "Date \"31.04.2002\" is not a date of the form chosen");
  EXPECT_EQ(result.problems[1].line, 5u);
  EXPECT_EQ(result.problems[1].message, "Odometer \"about 45500\" is not a number");
  EXPECT_EQ(result.problems[2].line, 6u);
  EXPECT_EQ(result.problems[2].message, "no date");
}

TEST(CsvImport, KeepsCellsOfColumnsWithoutANameUnderTheirNumber) {
  testing::time_zone utc("UTC");
  const csv_table table = read_csv("Date,,Station\n2002-05-01,x,Shell,late\n");
  const std::vector<csv_role> roles{csv_role::date, csv_role::extra, csv_role::extra};
  const import_result result = import_rows(table, roles, date_order::iso, decimal_mark::full_stop);
  ASSERT_EQ(result.entries.size(), 1u);
  EXPECT_EQ(fields_of(result.entries[0]),
            (Fields{{"Column 2", "x"}, {"Station", "Shell"}, {"Column 4", "late"}}));
  EXPECT_EQ(result.entries[0].notes, "");
}

TEST(CsvImport, GivesBackWhatTheExportWrote) {
  testing::time_zone berlin("Europe/Berlin");
  std::vector<std::unique_ptr<Record>> records;
  const auto add = [&](long date, double mileage, const char* operation, const char* notes,
                       float cost) {
    records.push_back(std::make_unique<Record>(0));
    records.back()->setup(0, date, mileage, operation, notes, cost);
  };
  add(1020204000, 45210.25, "Oil change", "Filter, \"5W30\"\r\nand more", 24.5f);
  add(1031097600 + 3723, 1234567.8, "", "", 12345.67f);
  add(1041375600, 0.1, "Tyres; rotated", "a=b", 0.125f);
  std::vector<const Record*> shown;
  for (const auto& record : records) shown.push_back(record.get());
  const csv_table table = read_csv(csv_of(shown));
  const std::vector<csv_role> roles = guess_roles(table.rows[0]);
  const import_result back = import_rows(table, roles, guess_date_order(table, 1).order,
                                         guess_decimal_mark(table, roles));
  EXPECT_TRUE(back.problems.empty());
  ASSERT_EQ(back.entries.size(), records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    Record read(0);
    read.setup(0, back.entries[i].date, back.entries[i].mileage, back.entries[i].operation,
               back.entries[i].notes, back.entries[i].cost);
    EXPECT_TRUE(read.same_fields(*records[i])) << "record " << i;
  }
}

TEST(CsvImport, GivesBackTheFuelColumnsTheExportWrote) {
  testing::time_zone utc("UTC");
  Record fill_up(0);
  fill_up.setup(0, 1020211200, 45210, "Fuel", "", 61.2f);
  fill_up.other_fields({{"currency", "EUR"}, {"fuel", "40.5"}, {"full", "yes"},
                        {"price", "1.511"}, {"fueltype", "=Super; 98"}, {"missed", "yes"}});
  Record partly(0);
  partly.setup(0, 1020297600, 45300, "", "", 0);
  partly.other_fields({{"currency", "$"}, {"fuel", "12"}, {"full", "no"}});
  Record service(0);
  service.setup(0, 1020297600, 45300, "Oil", "", 40);
  const csv_table table = read_csv(csv_of({&fill_up, &partly, &service}));
  const std::vector<csv_role> roles = guess_roles(table.rows[0], table);
  EXPECT_EQ(roles, (std::vector<csv_role>{csv_role::mileage, csv_role::date, csv_role::operation,
                                          csv_role::cost, csv_role::notes, csv_role::currency,
                                          csv_role::quantity, csv_role::full,
                                          csv_role::unit_price, csv_role::fuel_type,
                                          csv_role::missed}));
  const import_result back = import_rows(table, roles, date_order::iso, decimal_mark::full_stop);
  ASSERT_EQ(back.entries.size(), 3u);
  const std::vector<const Record*> records{&fill_up, &partly, &service};
  for (std::size_t i = 0; i < records.size(); ++i) {
    const imported_entry& entry = back.entries[i];
    Record read(0);
    read.setup(0, entry.date, entry.mileage, entry.operation, entry.notes, entry.cost);
    read.other_fields(entry.fields);
    EXPECT_TRUE(read.same_fields(*records[i])) << "record " << i;
    EXPECT_TRUE(read.same_other_fields(*records[i])) << "record " << i;
  }
  EXPECT_EQ(back.costs_from_price, 0u);
}

TEST(CsvImport, TakesOffOnlyTheQuoteTheExportPutBeforeAFormula) {
  testing::time_zone utc("UTC");
  const std::vector<std::string> texts{"=1+2", "'=x", "''+y", "-", "'", "''", "@home",
                                       "'plain", "\t=tab", "\r=cr", "'@", "-5 km", ""};
  std::vector<std::unique_ptr<Record>> records;
  std::vector<const Record*> shown;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    records.push_back(std::make_unique<Record>(0));
    records.back()->setup(0, 0, 1, texts[i], texts[texts.size() - 1 - i], 0);
    shown.push_back(records.back().get());
  }
  const csv_table table = read_csv(csv_of(shown));
  const std::vector<csv_role> roles = guess_roles(table.rows[0]);
  const import_result back = import_rows(table, roles, date_order::iso, decimal_mark::full_stop);
  EXPECT_TRUE(back.problems.empty());
  ASSERT_EQ(back.entries.size(), texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(back.entries[i].operation, texts[i]);
    EXPECT_EQ(back.entries[i].notes, texts[texts.size() - 1 - i]);
  }
  // Another program's cells get the same reading: one quote before a
  // formula character is a mark, any other quote is text.
  const import_result other = import_rows(
      read_csv("Date,Operation,Notes\n2002-05-01,'=SUM(A1),'ok\n"),
      {csv_role::date, csv_role::operation, csv_role::notes}, date_order::iso, decimal_mark::full_stop);
  ASSERT_EQ(other.entries.size(), 1u);
  EXPECT_EQ(other.entries[0].operation, "=SUM(A1)");
  EXPECT_EQ(other.entries[0].notes, "'ok");
}

TEST(CsvImport, NumbersAreReadWithTheFilesDecimalMarkOrReported) {
  const auto roles_of = [](const csv_table& table) { return guess_roles(table.rows[0]); };
  // Cells that tell: both marks, a mark twice, a mark before other than
  // three digits. "45.210" alone tells nothing.
  const csv_table european = read_csv("Date,Km\n2002-05-01,\"45.210\"\n2002-05-02,\"45.300,5\"\n");
  EXPECT_EQ(guess_decimal_mark(european, roles_of(european)), decimal_mark::comma);
  const csv_table grouped = read_csv("Date;Km\n2002-05-01;1.234.567\n");
  EXPECT_EQ(guess_decimal_mark(grouped, roles_of(grouped)), decimal_mark::comma);
  const csv_table english = read_csv("Date;Cost\n2002-05-01;12.50\n2002-05-02;1,234\n");
  EXPECT_EQ(guess_decimal_mark(english, roles_of(english)), decimal_mark::full_stop);
  // Nothing tells: the separator decides; notes do not count.
  const csv_table semicolons = read_csv("Date;Km;Notes\n2002-05-01;45.210;1,5 l\n");
  EXPECT_EQ(guess_decimal_mark(semicolons, roles_of(semicolons)), decimal_mark::comma);
  const csv_table commas = read_csv("Date,Km\n2002-05-01,\"45,210\"\n");
  EXPECT_EQ(guess_decimal_mark(commas, roles_of(commas)), decimal_mark::full_stop);

  testing::time_zone utc("UTC");
  const csv_table table = read_csv(
      "Date;Km\n2002-05-01;45.210\n2002-05-02;45.21\n2002-05-03;1.234.567,8\n"
      "2002-05-04;-1.234\n2002-05-05;12,5,0\n2002-05-06;1.23.456\n2002-05-07;45210,\n");
  const import_result comma = import_rows(table, roles_of(table), date_order::iso, decimal_mark::comma);
  std::vector<double> read;
  for (const imported_entry& entry : comma.entries) read.push_back(entry.mileage);
  EXPECT_EQ(read, (std::vector<double>{45210, 1234567.8, -1234, 45210}));
  std::vector<std::size_t> refused;
  for (const import_problem& problem : comma.problems) refused.push_back(problem.line);
  EXPECT_EQ(refused, (std::vector<std::size_t>{3, 6, 7})) << "45.21, 12,5,0 and 1.23.456";

  const import_result stop = import_rows(table, roles_of(table), date_order::iso, decimal_mark::full_stop);
  read.clear();
  for (const imported_entry& entry : stop.entries) read.push_back(entry.mileage);
  EXPECT_EQ(read, (std::vector<double>{45.21, 45.21, -1.234}));
}

TEST(CsvImport, YearFirstDatesTakeAnySeparatorAndCostsMustFitTheLog) {
  testing::time_zone utc("UTC");
  const csv_table table = read_csv(
      "Date,Cost\n2002-05-01,1\n2002/05/01,2\n2002.05.01,3\n2002-05-01,1e39\n2002-05-01,1e38\n");
  ASSERT_EQ(guess_date_order(table, 0).order, date_order::iso);
  const import_result result =
      import_rows(table, guess_roles(table.rows[0]), date_order::iso, decimal_mark::full_stop);
  ASSERT_EQ(result.entries.size(), 4u);
  for (const imported_entry& entry : result.entries) EXPECT_EQ(entry.date, 1020211200);
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_EQ(result.problems[0].line, 5u);
  EXPECT_EQ(result.problems[0].message, "Cost \"1e39\" is too large");
}

TEST(CsvImport, ACellWithANulByteBecomesAProblemNotACutEntry) {
  testing::time_zone utc("UTC");
  using namespace std::string_literals;
  // The header's NUL is left out of the name: the column is still "Station".
  const csv_table table = read_csv(
      "Date,Service,Notes,Sta\0tion,Odometer,Dropped\n"
      "2002-05-01,Oil,first half\0second half,,100,\n"
      "2002-05-02,Oil\0,,,100,\n"
      "2002-05-03,Oil,,Shell\0,100,\n"
      "2002-05-04,Oil,,,1\0,\n"
      "2002-05-05,Tyres,,Shell,100,x\0y\n"s);
  std::vector<csv_role> roles = guess_roles(table.rows[0]);
  ASSERT_EQ(roles[3], csv_role::extra);
  roles[5] = csv_role::ignore;  // a column left out may hold anything
  const import_result result = import_rows(table, roles, date_order::iso, decimal_mark::full_stop);
  ASSERT_EQ(result.entries.size(), 1u);
  EXPECT_EQ(result.entries[0].operation, "Tyres");
  EXPECT_EQ(fields_of(result.entries[0]), (Fields{{"Station", "Shell"}}));
  std::vector<std::string> said;
  for (const import_problem& problem : result.problems) {
    said.push_back(std::to_string(problem.line) + ": " + problem.message);
  }
  EXPECT_EQ(said, (std::vector<std::string>{
                      "2: Notes holds a NUL character, which a log cannot keep",
                      "3: Service holds a NUL character, which a log cannot keep",
                      "4: Station holds a NUL character, which a log cannot keep",
                      "5: Odometer holds a NUL character, which a log cannot keep"}));
  EXPECT_EQ(column_name({"\0"s, " ", "Cost"}, 0), "Column 1");
  EXPECT_EQ(column_name({"\0"s, " ", "Cost"}, 1), "Column 2");
  EXPECT_EQ(column_name({"\0"s, " ", "Cost"}, 3), "Column 4");
  EXPECT_EQ(guess_roles({"Da\0te"s})[0], csv_role::date);
}

TEST(CsvImport, HostileFilesCostBoundedWork) {
  testing::time_zone utc("UTC");
  // Reading stops at the row that would pass the cells' limit, and says so.
  const csv_table cut = read_csv("a,b\nc,d\ne\n", ',', 4);
  EXPECT_FALSE(cut.complete);
  EXPECT_EQ(cut.rows, (Rows{{"a", "b"}, {"c", "d"}}));
  EXPECT_TRUE(read_csv("a,b\nc,d\n", ',', 4).complete);
  EXPECT_FALSE(read_csv("a,b\nc,d", ',', 3).complete) << "the last line, without a line break";
  EXPECT_FALSE(read_csv(",,,,,", ',', 3).complete);

  // A long header kept in the notes of every row: the entries' text passes
  // the limit, and nothing is imported rather than part of the file.
  std::string text = "Date," + std::string(100000, 'H') + "\n";
  for (int i = 0; i < 20; ++i) text += "2002-05-01,x\n";
  const csv_table wide = read_csv(text);
  const std::vector<csv_role> roles{csv_role::date, csv_role::extra};
  const import_result refused =
      import_rows(wide, roles, date_order::iso, decimal_mark::full_stop, std::size_t{1} << 20);
  EXPECT_TRUE(refused.entries.empty());
  ASSERT_EQ(refused.problems.size(), 1u);
  EXPECT_EQ(refused.problems[0].line, 12u);
  EXPECT_EQ(refused.problems[0].message,
            "the entries up to this row hold more than 1 MiB of text, more than one import may "
            "bring: nothing is imported");
  EXPECT_EQ(import_rows(wide, roles, date_order::iso, decimal_mark::full_stop).entries.size(), 20u);

  // A message quotes no more of a cell than a reader needs.
  const import_result huge = import_rows(read_csv("Date\n" + std::string(1000000, '7') + "\n"),
                                         {csv_role::date}, date_order::iso, decimal_mark::full_stop);
  ASSERT_EQ(huge.problems.size(), 1u);
  EXPECT_EQ(huge.problems[0].message,
            "Date \"" + std::string(60, '7') + "...\" is not a date of the form chosen");
}

}  // namespace
}  // namespace tarvik
