// The log as CSV: what a spreadsheet reads, with the log's exact values.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "data/file_data_source.h"
#include "support/test_support.h"
#include "transfer/csv_export.h"

namespace tarvik {
namespace {


std::unique_ptr<Record> make(long date, double mileage, std::string operation, std::string notes,
                             float cost) {
  auto record = std::make_unique<Record>(0);
  record->setup(0, date, mileage, std::move(operation), std::move(notes), cost);
  return record;
}

TEST(CsvExport, QuotesWhatNeedsItAndKeepsExactValues) {
  testing::time_zone utc("UTC");
  const auto oil = make(1020211200, 45210.25, "Oil change", "Filter replaced too", 24.5f);
  const auto tyres = make(1031097600 + 13 * 3600 + 20 * 60 + 5, 1234567.8, "Tyres, winter",
                          "said \"ok\"\r\nsecond line", 12345.67f);
  const auto plain = make(0, 0, "", "", 0);
  EXPECT_EQ(csv_of({oil.get(), tyres.get(), plain.get()}),
            "Mileage,Date,Operation,Cost,Notes\r\n"
            "45210.25,2002-05-01,Oil change,24.5,Filter replaced too\r\n"
            "1234567.8,2002-09-04T13:20:05,\"Tyres, winter\",12345.67,"
            "\"said \"\"ok\"\"\r\nsecond line\"\r\n"
            "0,1970-01-01,,0,\r\n");
}

TEST(CsvExport, OtherFieldsGetAColumnEachInTheOrderTheirKeysAreFirstMet) {
  testing::time_zone utc("UTC");
  const auto service = make(1020211200, 45000, "Oil", "", 40);
  service->other_fields({{"shop", "Hans, Sohn"}});
  const auto fill_up = make(1020211200, 45210, "Fuel", "", 61.2f);
  fill_up->other_fields({{"fuel", "40.5"}, {"price", "1.51"}, {"Shop", "=Aral"}, {"FULL", "yes"}});
  const auto again = make(1020211200, 45800, "Fuel", "", 60);
  again->other_fields({{"Fuel", "39"}, {"full", "no"}, {"shop", "Esso"}});
  EXPECT_EQ(csv_of({service.get(), fill_up.get(), again.get()}),
            "Mileage,Date,Operation,Cost,Notes,shop,fuel,price,Shop,FULL\r\n"
            "45000,2002-05-01,Oil,40,,\"Hans, Sohn\",,,,\r\n"
            "45210,2002-05-01,Fuel,61.2,,,40.5,1.51,'=Aral,yes\r\n"
            "45800,2002-05-01,Fuel,60,,Esso,39,,,no\r\n");
}

TEST(CsvExport, DatesAreLocalCalendarDates) {
  testing::time_zone berlin("Europe/Berlin");
  // Midnight in Berlin is 22:00 or 23:00 the day before in UTC.
  const auto summer = make(1020204000, 1, "a", "", 0);  // 2002-05-01 00:00 CEST
  const auto winter = make(1041375600, 1, "b", "", 0);  // 2003-01-01 00:00 CET
  std::string out;
  append_csv_row(out, *summer);
  append_csv_row(out, *winter);
  EXPECT_EQ(out, "1,2002-05-01,a,0,\r\n1,2003-01-01,b,0,\r\n");
}

TEST(CsvExport, TextsASpreadsheetWouldRunAsFormulasAreMarkedNumbersNever) {
  testing::time_zone utc("UTC");
  const auto formula = make(0, -5, "=HYPERLINK(\"x\")", "+1", -12.5f);
  const auto others = make(0, 1, "-", "@home", 0);
  const auto hidden = make(0, 1, "\t=1", "\r=1,2", 0);
  const auto quoted = make(0, 1, "'=x", "''+y", 0);
  const auto harmless = make(0, 1, "'", "it's = fine", 0);
  std::string out;
  for (const auto* record : {formula.get(), others.get(), hidden.get(), quoted.get(), harmless.get()}) {
    append_csv_row(out, *record);
  }
  EXPECT_EQ(out,
            "-5,1970-01-01,\"'=HYPERLINK(\"\"x\"\")\",-12.5,'+1\r\n"
            "1,1970-01-01,'-,0,'@home\r\n"
            "1,1970-01-01,'\t=1,0,\"'\r=1,2\"\r\n"
            "1,1970-01-01,''=x,0,'''+y\r\n"
            "1,1970-01-01,',0,it's = fine\r\n");
}

TEST(CsvExport, WritesAFileWholeOrReportsWhyNot) {
  testing::time_zone utc("UTC");
  testing::temp_dir dir;
  testing::write_file(dir.file("tarvik.txt"), testing::kExampleLog);
  FileDataSource store(dir.file("tarvik.txt"));
  std::vector<const Record*> records;
  for (const int id : store.identifiers()) records.push_back(store.record(id));
  std::string error;
  ASSERT_TRUE(write_csv(dir.file("log.csv"), records, error));
  EXPECT_EQ(testing::read_file(dir.file("log.csv")),
            "Mileage,Date,Operation,Cost,Notes\r\n"
            "45210,2002-05-01,Oil change,24.5,Filter replaced too\r\n"
            "51873.5,2002-09-04,Tyres,312,\r\n");
  EXPECT_FALSE(write_csv(dir.file("missing/log.csv"), records, error));
  EXPECT_EQ(error, std::strerror(ENOENT));
}

}  // namespace
}  // namespace tarvik
