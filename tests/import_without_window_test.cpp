// tarvik --import-csv: a CSV file added to a log without a window.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "data/file_data_source.h"
#include "support/home.h"
#include "support/test_support.h"
#include "ui/command_line.h"
#include "ui/import_without_window.h"

namespace tarvik {
namespace {

struct answered {
  std::optional<int> status;
  std::string out;
  std::string err;
};

answered call(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "tarvik");
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  std::ostringstream out;
  std::ostringstream err;
  answered said;
  said.status = answer_without_window(static_cast<int>(argv.size()), argv.data(), out, err);
  said.out = out.str();
  said.err = err.str();
  return said;
}

// Every field of every record of the log, one line each, in store order:
// "date|mileage|operation|notes|cost|key=value...".
std::vector<std::string> log_lines(const std::string& log) {
  FileDataSource store(log);
  std::vector<std::string> lines;
  for (const int id : store.identifiers()) {
    const Record& record = *store.record(id);
    std::ostringstream line;
    line << record.date() << "|" << record.mileage() << "|" << record.operation() << "|"
         << record.notes() << "|" << record.cost();
    for (const hash_element& field : record.other_fields()) {
      line << "|" << field.key << "=" << field.value;
    }
    lines.push_back(line.str());
  }
  return lines;
}

std::set<int> identifiers_of(const std::string& log) {
  FileDataSource store(log);
  const std::vector<int> ids = store.identifiers();
  return {ids.begin(), ids.end()};
}

// A header with a column none of the five fields take, a note over two
// lines holding the separator, and a date with a time.
constexpr const char* kCsv =
    "Date,Odometer,Description,Total Cost,Notes,Station\n"
    "2024-01-02,45900,Oil change,49.9,\"Filter, too\nand the seal\",Shell\n"
    "2024-02-01 08:30,46100.5,Tyres,312,,\n";

TEST(ImportWithoutWindow, AddsEveryRowToTheLogUnderFreshIdentifiers) {
  testing::scoped_home home;
  const std::string csv = home.dir().file("old.csv");
  testing::write_file(csv, kCsv);

  // No log yet: it is made, as the window's first save makes it.
  answered said = call({"--import-csv", csv});
  EXPECT_EQ(said.status, 0) << said.err;
  EXPECT_EQ(said.out, "Imported 2 entries into " + home.log() + "; 0 rows could not be read.\n");
  EXPECT_EQ(said.err, "");
  const std::vector<std::string> imported{
      "1704153600|45900|Oil change|Filter, too\nand the seal|49.9|Station=Shell",
      "1706776200|46100.5|Tyres||312"};
  EXPECT_EQ(log_lines(home.log()), imported);

  // Into a log that holds entries: they stay byte for byte, the new ones
  // come after them under identifiers of their own.
  const std::string car = home.dir().file("car.txt");
  testing::write_file(car, testing::kExampleLog);
  said = call({"--import-csv", csv, car});
  EXPECT_EQ(said.status, 0) << said.err;
  EXPECT_EQ(testing::read_file(car).rfind(testing::kExampleLog, 0), 0u);
  std::vector<std::string> lines = log_lines(car);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end()), imported);
  // Written under their own identifiers, not renumbered on the next reading.
  const std::string written = testing::read_file(car);
  EXPECT_NE(written.find("<record=4>\n"), std::string::npos) << written;
  EXPECT_NE(written.find("<record=5>\n"), std::string::npos) << written;
  EXPECT_EQ(identifiers_of(car), (std::set<int>{0, 3, 4, 5}));
}

TEST(ImportWithoutWindow, NamesEachRowItCannotReadByItsLineAndImportsTheRest) {
  testing::scoped_home home;
  const std::string csv = home.dir().file("old.csv");
  // The second entry's note spans two lines: the bad row is on line 5.
  testing::write_file(csv, std::string(kCsv) +
                               "2024-03-01,46500,Wash,about 10,,\n"
                               "2024-13-01,46600,Wax,5,,\n");
  const answered said = call({"--import-csv", csv});
  EXPECT_EQ(said.status, 1);
  EXPECT_EQ(said.out, "Imported 2 entries into " + home.log() + "; 2 rows could not be read.\n");
  EXPECT_EQ(said.err, csv + ":5: Total Cost \"about 10\" is not a number\n" + csv +
                          ":6: Date \"2024-13-01\" is not a date of the form chosen\n");
  EXPECT_EQ(log_lines(home.log()).size(), 2u);
}

TEST(ImportWithoutWindow, RefusesAndWritesNothingWhenItCannotGoOn) {
  testing::scoped_home home;
  const testing::temp_dir& dir = home.dir();
  const std::string csv = dir.file("old.csv");
  testing::write_file(csv, kCsv);
  // Day and month each up to 12: either reading could be right.
  const std::string unclear = dir.file("unclear.csv");
  testing::write_file(unclear,
                      "Date,Km,Service,Cost\n01/02/2024,1000,Oil,12.50\n03/04/2024,1200,Wash,8\n");
  const std::string undated = dir.file("undated.csv");
  testing::write_file(undated, "When,Km,Service\n2024-01-02,1000,Oil\n");
  // UTF-16 with half a character of a pair on its second line.
  const std::string broken = dir.file("broken.csv");
  testing::write_file(broken, std::string("\xFF\xFE" "D\0a\0t\0e\0\n\0\x3D\xD8" "1\0", 16));
  const std::vector<std::string> files = dir.entries();

  struct refused {
    std::vector<std::string> arguments;
    std::string said;
  };
  const std::vector<refused> calls{
      {{"--import-csv", unclear}, "pass --dates=day-first or --dates=month-first"},
      {{"--import-csv", undated}, "no column of " + undated + " is headed as the dates"},
      {{"--import-csv", dir.file("missing.csv")}, "cannot read " + dir.file("missing.csv")},
      {{"--import-csv", dir.path()}, "cannot read " + dir.path() + ": It is not a regular file"},
      {{"--import-csv"}, "--import-csv needs the CSV file"},
      {{"--import-csv", csv, "--dates=yesterday"}, "'yesterday' is no value of --dates"},
      {{"--import-csv", csv, "--separator"}, "--separator needs a value"},
      {{"--import-csv", csv, "--decimals=,"}, "unknown option '--decimals=,'"},
      {{"--import-csv", csv, home.log(), "third.txt"}, "one CSV file and one log"},
      {{"--import-csv", csv, csv}, "will not import into " + csv + ": it is the file to import"},
      {{"--import-csv", csv, dir.file("tarvik.due.txt")}, "it is the log's service intervals"},
      {{"--import-csv", csv, dir.file("tarvik.settings.txt")}, "it is the log's settings"},
      {{"--import-csv", csv, dir.file("tarvik.txt.bak.2")}, "it is a backup of the log"},
      {{"--import-csv", csv, "--section", "Log"}, "has no section \"Log\""},
      {{"--import-csv", broken}, "cannot read " + broken + ": a lone UTF-16 surrogate (U+D83D) on line 2"},
      {{"--import-csv", csv, "--encoding=ebcdic"}, "'ebcdic' is no value of --encoding"},
  };
  for (const refused& refusal : calls) {
    const answered said = call(refusal.arguments);
    EXPECT_EQ(said.status, 2) << refusal.said;
    EXPECT_NE(said.err.find(refusal.said), std::string::npos) << said.err;
    EXPECT_EQ(said.out, "");
  }
  EXPECT_EQ(dir.entries(), files);

  // A log there is kept byte for byte.
  testing::write_file(home.log(), testing::kExampleLog);
  EXPECT_EQ(call({"--import-csv", unclear}).status, 2);
  EXPECT_EQ(testing::read_file(home.log()), testing::kExampleLog);

  // Told how the dates are written, it reads them so.
  answered said = call({"--import-csv", unclear, "--dates=month-first"});
  EXPECT_EQ(said.status, 0) << said.err;
  std::vector<std::string> lines = log_lines(home.log());
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], "1704153600|1000|Oil||12.5");  // 2 January
  said = call({"--import-csv", unclear, home.dir().file("other.txt"), "--dates", "day-first"});
  EXPECT_EQ(said.status, 0) << said.err;
  EXPECT_EQ(log_lines(home.dir().file("other.txt")).front(), "1706745600|1000|Oil||12.5");
}

TEST(ImportWithoutWindow, TheSeparatorAndTheDecimalMarkCanBeTold) {
  testing::scoped_home home;
  const std::string csv = home.dir().file("old.csv");
  // As many commas as semicolons in the header: a comma is guessed. "1,234"
  // tells no decimal mark: with ";" a comma is guessed.
  testing::write_file(csv, "Date;Km,total;Cost,in,eur\n2024-03-01;45.210;1,234\n");
  answered said = call({"--import-csv", csv});
  EXPECT_EQ(said.status, 1);
  EXPECT_FALSE(testing::file_exists(home.log()));

  said = call({"--import-csv", csv, "--separator=;"});
  EXPECT_EQ(said.status, 0) << said.err;
  EXPECT_EQ(log_lines(home.log()), std::vector<std::string>{"1709251200|45210|||1.234"});

  const std::string other = home.dir().file("other.txt");
  said = call({"--import-csv", "--separator", ";", "--decimal", "full-stop", csv, other});
  EXPECT_EQ(said.status, 0) << said.err;
  EXPECT_EQ(log_lines(other), std::vector<std::string>{"1709251200|45.21|||1234"});

  // A tab, by its name.
  const std::string tabbed = home.dir().file("tabbed.csv");
  testing::write_file(tabbed, "Date\tKm;Cost\n2024-03-01\t7\n");
  said = call({"--import-csv", tabbed, home.dir().file("tabs.txt"), "--separator=tab"});
  EXPECT_EQ(said.status, 0) << said.err;
  EXPECT_EQ(log_lines(home.dir().file("tabs.txt")), std::vector<std::string>{"1709251200|7|||0"});
}

TEST(ImportWithoutWindow, CostsInOtherCurrenciesComeInOnlyWhenToldToTakeThemAsWritten) {
  testing::scoped_home home;
  const std::string mixed = home.dir().file("mixed.csv");
  testing::write_file(mixed, "Date,Description,Cost\n2024-03-01,Oil,$89.99\n"
                             "2024-03-02,Tyres,412.00 EUR\n");
  answered said = call({"--import-csv", mixed});
  EXPECT_EQ(said.status, 2);
  EXPECT_NE(said.err.find("are in $, EUR: pass --unconverted"), std::string::npos) << said.err;
  EXPECT_FALSE(testing::file_exists(home.log()));
  said = call({"--import-csv", mixed, "--unconverted"});
  EXPECT_EQ(said.status, 0) << said.err;
  EXPECT_EQ(log_lines(home.log()).size(), 2u);

  // One currency, but not the log's.
  const std::string log = home.dir().file("euros.txt");
  testing::write_file(home.dir().file("euros.settings.txt"), "distance=km\ncurrency=\u20AC\n");
  const std::string dollars = home.dir().file("dollars.csv");
  testing::write_file(dollars, "Date,Description,Cost\n2024-03-01,Oil,$89.99\n");
  said = call({"--import-csv", dollars, log});
  EXPECT_EQ(said.status, 2);
  EXPECT_NE(said.err.find("the log's in \u20AC"), std::string::npos) << said.err;
  EXPECT_FALSE(testing::file_exists(log));
  // The same file into a log in dollars, or one that names no currency.
  testing::write_file(home.dir().file("usd.settings.txt"), "currency=USD\n");
  EXPECT_EQ(call({"--import-csv", dollars, home.dir().file("usd.txt")}).status, 0);
  EXPECT_EQ(call({"--import-csv", dollars, home.dir().file("plain.txt")}).status, 0);

  // Miles into a log in km: imported, and said.
  const std::string miles = home.dir().file("miles.csv");
  testing::write_file(miles, "Date,Odometer (mi),Description\n2024-03-01,41200,Oil\n");
  said = call({"--import-csv", miles, log});
  EXPECT_EQ(said.status, 0) << said.err;
  EXPECT_NE(said.err.find("are in mi, the log's in km: the mileages are imported as written"),
            std::string::npos)
      << said.err;
  said = call({"--import-csv", miles, home.dir().file("usd.txt")});
  EXPECT_EQ(said.err, "") << "a log that names no distance unit";
}

TEST(ImportWithoutWindow, AFileOfOlderWindowsProgramsIsReadInItsEncodingAndThatIsSaid) {
  testing::scoped_home home;
  const std::string csv = home.dir().file("alt.csv");
  testing::write_file(csv,
                      "Datum;Km;Beschreibung;Kosten\n"
                      "2024-03-01;45210;\xD6lwechsel;89,90 \x80\n"
                      "2024-04-02;46000;Bremsbel\xE4ge \x84vorn\x93 \x96 links;230\n");
  answered said = call({"--import-csv", csv});
  EXPECT_EQ(said.status, 0) << said.err;
  EXPECT_EQ(said.err, "tarvik: " + csv + " is read as Windows-1252 (--encoding reads it otherwise)\n");
  EXPECT_EQ(log_lines(home.log()),
            (std::vector<std::string>{
                "1709251200|45210|\xC3\x96lwechsel||89.9|currency=EUR",
                "1712016000|46000|Bremsbel\xC3\xA4ge \xE2\x80\x9Evorn\xE2\x80\x9C \xE2\x80\x93 links||230"}));

  // Told it is UTF-8, it reads the bytes as they are: "89,90 \x80" is no cost.
  const std::string other = home.dir().file("other.txt");
  said = call({"--import-csv", csv, other, "--encoding=utf-8"});
  EXPECT_EQ(said.status, 1);
  EXPECT_EQ(said.err.find("is read as"), std::string::npos) << said.err;
  EXPECT_NE(said.err.find(csv + ":2: "), std::string::npos) << said.err;
  ASSERT_EQ(log_lines(other).size(), 1u);
  EXPECT_EQ(log_lines(other)[0].substr(0, 30), "1712016000|46000|Bremsbel\xE4ge \x84");
}

TEST(ImportWithoutWindow, KeepsWhatAnotherWriterSavedMeanwhile) {
  testing::scoped_home home;
  const std::string csv = home.dir().file("old.csv");
  testing::write_file(csv, kCsv);
  testing::write_file(home.log(), testing::kExampleLog);
  std::ostringstream out;
  std::ostringstream err;
  // Another window adds an entry after this import read the log.
  const int status = import_without_window({csv}, out, err, [&] {
    FileDataSource other(home.log());
    auto record = std::make_unique<Record>(other.next_id());
    record->operation("Brakes");
    record->date(1700000000);
    other.record(record.release());
    ASSERT_TRUE(other.commit());
  });
  EXPECT_EQ(status, 0) << err.str();
  const std::vector<std::string> lines = log_lines(home.log());
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[2], "1700000000|0|Brakes||0");
  EXPECT_EQ(lines[3].substr(0, 21), "1704153600|45900|Oil ");
  EXPECT_EQ(identifiers_of(home.log()).size(), 5u);
}

TEST(ImportWithoutWindow, ALogLockedByAnotherCommitIsNotWritten) {
  testing::scoped_home home;
  const std::string csv = home.dir().file("old.csv");
  testing::write_file(csv, kCsv);
  testing::write_file(home.log(), testing::kExampleLog);
  // Another process's commit holds the lock on the log's folder throughout.
  const int folder = ::open(home.dir().path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(folder, 0);
  ASSERT_EQ(flock(folder, LOCK_EX), 0);
  testing::stderr_capture store_says;
  const answered said = call({"--import-csv", csv});
  store_says.lines();
  ::close(folder);
  EXPECT_EQ(said.status, 2);
  EXPECT_NE(said.err.find("cannot write " + home.log()), std::string::npos) << said.err;
  EXPECT_EQ(said.out, "");
  EXPECT_EQ(testing::read_file(home.log()), testing::kExampleLog);
}

TEST(ImportWithoutWindow, ImportsTheSectionsNamed) {
  testing::scoped_home home;
  const std::string csv = home.dir().file("backup.csv");
  testing::write_file(csv,
                      "\"## Vehicle\"\n"
                      "\"Name\",\"Description\"\n"
                      "\"Golf\",\"2012\"\n"
                      "\"## Log\"\n"
                      "\"Date\",\"Odometer\",\"Description\",\"Total Cost\"\n"
                      "\"2024-01-02\",\"45900\",\"Fuel\",\"70.19\"\n"
                      "\"## Costs\"\n"
                      "\"Date\",\"Odometer\",\"Description\",\"Cost\"\n"
                      "\"2024-02-01\",\"46000\",\"Oil change\",\"49.9\"\n"
                      "\"2024-13-01\",\"46000\",\"Wash\",\"5\"\n");
  answered said = call({"--import-csv", csv, "--section", "log"});
  EXPECT_EQ(said.status, 0) << said.err;
  EXPECT_EQ(log_lines(home.log()), std::vector<std::string>{"1704153600|45900|Fuel||70.19"});
  EXPECT_EQ(call({"--import-csv", csv, "--section=Vehicle"}).status, 2);
  // Without --section: the records sections both; lines counted in the file.
  const std::string other = home.dir().file("other.txt");
  said = call({"--import-csv", csv, other});
  EXPECT_EQ(said.status, 1);
  EXPECT_EQ(said.err, csv + ":10: Date \"2024-13-01\" is not a date of the form chosen\n");
  EXPECT_EQ(log_lines(other).size(), 2u);
}

TEST(ImportWithoutWindow, HelpTellsThatReadableRowsAreImported) {
  const answered said = call({"--help"});
  EXPECT_NE(said.out.find("--import-csv CSV [FILE]"), std::string::npos);
  EXPECT_NE(said.out.find("the other rows ARE\nimported"), std::string::npos) << said.out;
}

}  // namespace
}  // namespace tarvik
