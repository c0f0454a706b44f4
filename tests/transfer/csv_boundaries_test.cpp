// The edges of CSV reading and writing: where a condition moved by one
// would read or write another value without a word.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "support/test_support.h"
#include "transfer/csv_export.h"
#include "transfer/csv_import.h"

namespace tarvik {
namespace {

using Rows = std::vector<std::vector<std::string>>;
using Lines = std::vector<std::size_t>;

std::string row_of(long date, std::string operation) {
  Record record(0);
  record.setup(0, date, 1, std::move(operation), "", 0);
  std::string out;
  append_csv_row(out, record);
  return out;
}

TEST(CsvExportEdges, EveryLineBreakQuoteAndCommaIsQuotedAndReadsBack) {
  testing::time_zone utc("UTC");
  EXPECT_EQ(row_of(0, "a\rb"), "1,1970-01-01,\"a\rb\",0,\r\n");
  EXPECT_EQ(row_of(0, "a\nb"), "1,1970-01-01,\"a\nb\",0,\r\n");
  EXPECT_EQ(row_of(0, "a,b"), "1,1970-01-01,\"a,b\",0,\r\n");
  EXPECT_EQ(row_of(0, "5\" tyre"), "1,1970-01-01,\"5\"\" tyre\",0,\r\n");
  EXPECT_EQ(row_of(0, "a;b"), "1,1970-01-01,a;b,0,\r\n");
  // Unquoted, a lone CR would end the row for the reader.
  const csv_table back = read_csv(csv_header() + row_of(0, "a\rb"));
  ASSERT_EQ(back.rows.size(), 2u);
  EXPECT_EQ(back.rows[1][2], "a\rb");
}

TEST(CsvExportEdges, OnlyMidnightGoesWithoutItsTime) {
  testing::time_zone utc("UTC");
  const long midnight = 1020211200;  // 2002-05-01
  EXPECT_EQ(row_of(midnight, ""), "1,2002-05-01,,0,\r\n");
  EXPECT_EQ(row_of(midnight + 5, ""), "1,2002-05-01T00:00:05,,0,\r\n");
  EXPECT_EQ(row_of(midnight + 60, ""), "1,2002-05-01T00:01:00,,0,\r\n");
  EXPECT_EQ(row_of(midnight + 3600, ""), "1,2002-05-01T01:00:00,,0,\r\n");
  EXPECT_EQ(row_of(midnight - 1, ""), "1,2002-04-30T23:59:59,,0,\r\n");
  // Beyond any calendar the seconds keep the value.
  EXPECT_EQ(row_of(100000000000000000, ""), "1,100000000000000000,,0,\r\n");
}

TEST(CsvExportEdges, ADeviceAtTheNameIsNeitherWrittenNorReplaced) {
  if (geteuid() != 0) GTEST_SKIP() << "making a device takes root";
  testing::temp_dir dir;
  const std::string path = dir.file("log.csv");
  if (mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
    GTEST_SKIP() << "mknod: " << std::strerror(errno);
  }
  std::string error;
  EXPECT_FALSE(write_csv(path, {}, error));
  EXPECT_FALSE(error.empty());
  struct stat status {};
  ASSERT_EQ(lstat(path.c_str(), &status), 0);
  EXPECT_TRUE(S_ISCHR(status.st_mode));
  EXPECT_EQ(status.st_rdev, makedev(1, 3));
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"log.csv"});
}

TEST(CsvReadEdges, AQuoteStartsQuotingOnlyAtTheStartOfACell) {
  EXPECT_EQ(read_csv("Km,Notes,Date\n100,5\" tyre,2020-01-01\n").rows,
            (Rows{{"Km", "Notes", "Date"}, {"100", "5\" tyre", "2020-01-01"}}));
  EXPECT_EQ(read_csv("Km,Notes\n100,\"5\"\" tyre, new\"\n").rows,
            (Rows{{"Km", "Notes"}, {"100", "5\" tyre, new"}}));
}

TEST(CsvReadEdges, EveryLineEndCountsInTheLineNumbers) {
  const csv_table table = read_csv(
      "Date,Notes\n"
      "2002-05-01,\"two\nlines\"\n"
      "2002-05-02,\"three\r\nlines\r\nhere\"\r\n"
      "\r\n"
      "2002-05-03,last");
  ASSERT_EQ(table.rows.size(), 4u);
  EXPECT_EQ(table.line_of, (Lines{1, 2, 4, 8}));
  EXPECT_EQ(table.rows.back(), (std::vector<std::string>{"2002-05-03", "last"}));
  EXPECT_EQ(table.rows[2][1], "three\r\nlines\r\nhere");
  // Line ends of a lone CR, as old Mac programs write.
  EXPECT_EQ(read_csv("Date\r2002-05-01\r\r2002-05-02").line_of, (Lines{1, 2, 4}));
}

TEST(CsvReadEdges, TheSeparatorIsJudgedByTheHeaderAlone) {
  EXPECT_EQ(guess_separator("Date;Notes\n2002-05-01;a, b, c\n"), ';');
  EXPECT_EQ(read_csv("Date;Notes\n2002-05-01;a, b, c\n").rows,
            (Rows{{"Date", "Notes"}, {"2002-05-01", "a, b, c"}}));
  EXPECT_EQ(guess_separator("\"Date;of;service\",Notes\n"), ',');
  EXPECT_EQ(guess_separator("a\tb\tc;d,e\n"), '\t');
  // A tie: a comma before a semicolon, a semicolon before a tab.
  EXPECT_EQ(guess_separator("a,b;c\n"), ',');
  EXPECT_EQ(guess_separator("a\tb,c\n"), ',');
  EXPECT_EQ(guess_separator("a\tb;c\n"), ';');
}

TEST(CsvDateOrder, TwelveCanBeAMonthAndThirteenCannot) {
  const auto order_of = [](const char* text) { return guess_date_order(read_csv(text), 0); };
  const auto month_first = order_of("Date\n12/25/2020\n");
  EXPECT_EQ(month_first.order, date_order::month_first);
  EXPECT_FALSE(month_first.ambiguous);
  const auto day_first = order_of("Date\n25/12/2020\n");
  EXPECT_EQ(day_first.order, date_order::day_first);
  EXPECT_FALSE(day_first.ambiguous);
  EXPECT_EQ(order_of("Date\n12/13/2020\n").order, date_order::month_first);
  EXPECT_EQ(order_of("Date\n13/12/2020\n").order, date_order::day_first);
  EXPECT_TRUE(order_of("Date\n12/12/2020\n").ambiguous);
  EXPECT_EQ(order_of("Date\n1000-12-13\n").order, date_order::iso);
  EXPECT_FALSE(order_of("Date\n1000-12-13\n").ambiguous);
  // No date at all (empty cells, rows too short) tells nothing.
  EXPECT_TRUE(guess_date_order(read_csv("Km,Date\n1,\n2\n"), 1).ambiguous);
}

TEST(CsvRoles, AHeadersFirstWordThatNamesAFreeRoleDecides) {
  using R = std::vector<csv_role>;
  // "Service date": a service is the operation; the word after it must not
  // take the column over, nor the date role from the column named so.
  EXPECT_EQ(guess_roles({"Service date", "Date"}), (R{csv_role::operation, csv_role::date}));
  EXPECT_EQ(guess_roles({"Date", "Service date"}), (R{csv_role::date, csv_role::operation}));
  // A word anywhere counts, the first free one.
  EXPECT_EQ(guess_roles({"Date", "Cost", "Service cost", "Vehicle mileage", "Date of purchase"}),
            (R{csv_role::date, csv_role::cost, csv_role::operation, csv_role::mileage,
               csv_role::extra}));
  // A total is what was paid, before any other cost column.
  EXPECT_EQ(guess_roles({"Price", "Total cost", " \t"}),
            (R{csv_role::extra, csv_role::cost, csv_role::ignore}));
}

import_result import_text(const char* text, date_order dates = date_order::iso,
                          decimal_mark decimals = decimal_mark::full_stop) {
  const csv_table table = read_csv(text);
  return import_rows(table, guess_roles(table.rows[0]), dates, decimals);
}

Lines lines_of(const std::vector<import_problem>& problems) {
  Lines lines;
  for (const import_problem& problem : problems) lines.push_back(problem.line);
  return lines;
}

TEST(CsvImportEdges, ARowTooShortForItsDateIsNoEntryOf1970) {
  testing::time_zone utc("UTC");
  const import_result result = import_text("Km,Operation,Date\n100,Oil\n200,Oil,2002-05-01\n");
  ASSERT_EQ(result.entries.size(), 1u);
  EXPECT_EQ(result.entries[0].line, 3u);
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_EQ(result.problems[0].line, 2u);
  EXPECT_EQ(result.problems[0].message, "no date");
}

TEST(CsvImportEdges, TheFirstCellThatCannotBeReadIsNamed) {
  const import_result result = import_text("Km,Date\nabout 100,31.04.2002\n");
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_EQ(result.problems[0].message, "Km \"about 100\" is not a number");
}

TEST(CsvImportEdges, OtherColumnsBecomeFieldsOrWhereTheirNameCannotBeAKeyNotesLines) {
  testing::time_zone utc("UTC");
  const import_result result = import_text(
      "Date,Notes,Station,Pump,Notes, a=b ,#\n2002-05-01,late,Shell,,also,1,2\n"
      "2002-05-02,,Aral,4,,,\n");
  ASSERT_EQ(result.entries.size(), 2u);
  EXPECT_EQ(result.entries[0].notes, "late\nNotes: also\n a=b : 1\n#: 2");
  ASSERT_EQ(result.entries[0].fields.size(), 1u);
  EXPECT_EQ(result.entries[0].fields[0].key, "Station");
  EXPECT_EQ(result.entries[0].fields[0].value, "Shell");
  EXPECT_EQ(result.entries[1].notes, "");
  ASSERT_EQ(result.entries[1].fields.size(), 2u);
  EXPECT_EQ(result.entries[1].fields[1].key, "Pump");
  EXPECT_EQ(result.entries[1].fields[1].value, "4");
}

TEST(CsvImportEdges, DatesFromTheYear1000OnWithHoursAndMinutesAtLeast) {
  testing::time_zone utc("UTC");
  const import_result result = import_text(
      "Date\n1000-01-01\n999-12-31\n20020-05-01\n2002-05-01 13\n2002-05-01T13:20:05\n"
      "2002-05-01X13:20\n2002-05-01 13:20 x\n2002-05-01 13:20\n");
  ASSERT_EQ(result.entries.size(), 3u);
  EXPECT_EQ(result.entries[0].date, -30610224000);
  EXPECT_EQ(result.entries[1].date, 1020211200 + 13 * 3600 + 20 * 60 + 5);
  EXPECT_EQ(result.entries[2].date, 1020211200 + 13 * 3600 + 20 * 60);
  EXPECT_EQ(lines_of(result.problems), (Lines{3, 4, 5, 7, 8}));
}

TEST(CsvImportEdges, NumbersGroupedInThreesWithASignOrRefused) {
  testing::time_zone utc("UTC");
  const import_result comma = import_text(
      "Date;Km\n2002-05-01;+1.234,5\n2002-05-01;1234.567\n2002-05-01;1..234\n2002-05-01;1.234.\n"
      "2002-05-01;1e400\n2002-05-01;12.345.678\n2002-05-01;.234\n",
      date_order::iso, decimal_mark::comma);
  ASSERT_EQ(comma.entries.size(), 2u);
  EXPECT_EQ(comma.entries[0].mileage, 1234.5);
  EXPECT_EQ(comma.entries[1].mileage, 12345678);
  EXPECT_EQ(lines_of(comma.problems), (Lines{3, 4, 5, 6, 8}));
}

TEST(CsvDecimalMark, FourDigitsAfterAMarkMakeItTheDecimalAndATieGoesToTheSeparator) {
  const auto mark_of = [](const char* text) {
    const csv_table table = read_csv(text);
    return guess_decimal_mark(table, guess_roles(table.rows[0]));
  };
  EXPECT_EQ(mark_of("Date,Km\n2002-05-01,\"1,2345\"\n"), decimal_mark::comma);
  EXPECT_EQ(mark_of("Date;Km\n2002-05-01;1.2345\n"), decimal_mark::full_stop);
  EXPECT_EQ(mark_of("Date;Km;Cost\n2002-05-01;12,5;1.5\n"), decimal_mark::comma);
  EXPECT_EQ(mark_of("Date,Km,Cost\n2002-05-01,\"12,5\",1.5\n"), decimal_mark::full_stop);
}

}  // namespace
}  // namespace tarvik
