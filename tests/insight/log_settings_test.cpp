#include "insight/log_settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

#include "insight/due_file.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

using testing::read_file;
using testing::temp_dir;
using testing::write_file;

// Kept by hand: a comment, a key in other case with blanks, a CRLF line, a
// setting of a later version and no line end at the end.
const char* const kHandWritten =
    "# The blue car\n"
    "  Distance = MI \r\n"
    "tyre_pressure=2.4 bar\n"
    "currency = £";

TEST(LogSettings, ReadsAHandKeptFileAndSavesItUnchangedByteForByte) {
  EXPECT_EQ(settings_file_path("/home/u/tarvik.txt"), "/home/u/tarvik.settings.txt");
  EXPECT_EQ(settings_file_path("car.log"), "car.log.settings.txt");
  const temp_dir dir;
  const std::string path = dir.file("t.settings.txt");
  write_file(path, kHandWritten);
  log_settings settings(path);
  EXPECT_TRUE(settings.exists());
  EXPECT_EQ(settings.distance(), distance_unit::mi);
  EXPECT_EQ(settings.currency(), "£");
  EXPECT_TRUE(settings.problems().empty());
  EXPECT_EQ(settings.compose(), kHandWritten);
  ASSERT_TRUE(settings.save()) << settings.error();
  EXPECT_EQ(read_file(path), kHandWritten);

  // A change rewrites that line alone, its line end kept.
  settings.set_distance(distance_unit::km);
  ASSERT_TRUE(settings.save()) << settings.error();
  EXPECT_EQ(read_file(path),
            "# The blue car\ndistance=km\r\ntyre_pressure=2.4 bar\ncurrency = £");
  settings.set_currency("EUR\n");
  ASSERT_TRUE(settings.save()) << settings.error();
  EXPECT_EQ(read_file(path), "# The blue car\ndistance=km\r\ntyre_pressure=2.4 bar\ncurrency=EUR");
  const log_settings again(path);
  EXPECT_EQ(again.distance(), distance_unit::km);
  EXPECT_EQ(again.currency(), "EUR");
}

TEST(LogSettings, KeepsTheVehiclesNameOnItsOwnLine) {
  const temp_dir dir;
  const std::string path = dir.file("t.settings.txt");
  write_file(path, "distance=km\n  Vehicle = Golf VII (B-XY 123) \ncurrency=€\n");
  log_settings settings(path);
  EXPECT_EQ(settings.vehicle(), "Golf VII (B-XY 123)");
  EXPECT_TRUE(settings.problems().empty());
  settings.set_vehicle("Golf\nVII");
  ASSERT_TRUE(settings.save()) << settings.error();
  EXPECT_EQ(read_file(path), "distance=km\nvehicle=Golf VII\ncurrency=€\n");
  EXPECT_EQ(log_settings(path).vehicle(), "Golf VII");

  // A name never given stays out of the file; one given is added.
  const std::string other = dir.file("o.settings.txt");
  write_file(other, "distance=mi\n");
  log_settings unnamed(other);
  EXPECT_FALSE(unnamed.vehicle());
  unnamed.set_vehicle("");
  ASSERT_TRUE(unnamed.save()) << unnamed.error();
  EXPECT_EQ(read_file(other), "distance=mi\n");
  unnamed.set_vehicle("Blue van");
  ASSERT_TRUE(unnamed.save()) << unnamed.error();
  EXPECT_EQ(read_file(other), "distance=mi\nvehicle=Blue van\n");
}

TEST(LogSettings, AMissingFileHasNoSettingsAndASaveMakesIt) {
  const temp_dir dir;
  const std::string path = dir.file("t.settings.txt");
  log_settings settings(path);
  EXPECT_FALSE(settings.exists());
  EXPECT_FALSE(settings.distance());
  EXPECT_FALSE(settings.currency());
  EXPECT_TRUE(settings.problems().empty());
  settings.set_distance(distance_unit::mi);
  settings.set_currency("$");
  ASSERT_TRUE(settings.save()) << settings.error();
  EXPECT_TRUE(settings.exists());
  const std::string text = read_file(path);
  EXPECT_EQ(text.substr(text.find('\n') + 1), "distance=mi\ncurrency=$\n");
  EXPECT_EQ(text.front(), '#');
  // A file holding only one of them gets the other added at its end.
  write_file(path, "currency=kr");
  log_settings partial(path);
  partial.set_distance(distance_unit::km);
  ASSERT_TRUE(partial.save()) << partial.error();
  EXPECT_EQ(read_file(path), "currency=kr\ndistance=km\n");
}

TEST(LogSettings, ValuesThatCannotBeReadAreReportedKeptAndNeverGuessed) {
  const temp_dir dir;
  const std::string path = dir.file("t.settings.txt");
  const std::string text = "distance=miles\nmetric\ndistance=km\ncurrency=\n";
  write_file(path, text);
  log_settings settings(path);
  EXPECT_FALSE(settings.distance());  // neither "mi" guessed nor the later line
  EXPECT_EQ(settings.currency(), "");
  ASSERT_EQ(settings.problems().size(), 3u);
  EXPECT_EQ(settings.problems()[0].line, 1u);
  EXPECT_NE(settings.problems()[0].message.find("\"miles\""), std::string::npos);
  EXPECT_EQ(settings.problems()[1].line, 2u);
  EXPECT_EQ(settings.problems()[2].line, 3u);
  // Saved as read, nothing changes; a unit set replaces the line not read.
  ASSERT_TRUE(settings.save());
  EXPECT_EQ(read_file(path), text);
  settings.set_distance(distance_unit::mi);
  ASSERT_TRUE(settings.save());
  EXPECT_EQ(read_file(path), "distance=mi\nmetric\ndistance=km\ncurrency=\n");
}

TEST(LogSettings, ASaveNeverWritesOverAnotherProgramsChangeOrWhatTheLogKeeps) {
  const temp_dir dir;
  const std::string log = dir.file("car.txt");
  write_file(log, "<record=0>\ndate=0;\n</record>\n");
  const std::string path = settings_file_path(log);
  write_file(path, "distance=km\n");
  log_settings settings(path, log);
  write_file(path, "distance=mi\n");  // the same size, the same second
  settings.set_currency("€");
  EXPECT_FALSE(settings.save());
  EXPECT_TRUE(settings.changed_elsewhere());
  EXPECT_EQ(read_file(path), "distance=mi\n");

  // A settings file that leads to the log or its due file is never written.
  write_file(dir.file("car.due.txt"), "# intervals\n");
  for (const auto& [target, reason] : std::initializer_list<std::pair<const char*, const char*>>{
           {"car.txt", "it is the log itself"}, {"car.due.txt", "it is the log's service intervals"}}) {
    std::remove(path.c_str());
    ASSERT_EQ(symlink(target, path.c_str()), 0);
    log_settings linked(path, log);
    linked.set_distance(distance_unit::mi);
    EXPECT_FALSE(linked.save()) << target;
    EXPECT_EQ(linked.error(), reason);
  }
  EXPECT_EQ(read_file(log), "<record=0>\ndate=0;\n</record>\n");
  EXPECT_EQ(read_file(dir.file("car.due.txt")), "# intervals\n");

  // No export goes there, and no due file save either.
  std::remove(path.c_str());
  write_file(path, "distance=km\n");
  EXPECT_TRUE(refuse_export_target(path, log).kept);
  std::remove(dir.file("car.due.txt").c_str());
  ASSERT_EQ(symlink("car.settings.txt", dir.file("car.due.txt").c_str()), 0);
  due_file intervals(dir.file("car.due.txt"), log);
  intervals.intervals().push_back(service_interval{});
  EXPECT_FALSE(intervals.save());
  EXPECT_EQ(read_file(path), "distance=km\n");
}

TEST(LogSettings, VolumeAndConsumptionUnitsAreReadKeptAndRewrittenAlone) {
  const temp_dir dir;
  const std::string path = dir.file("t.settings.txt");
  const std::string hand = "distance=mi\n  Volume = GAL-IMP \r\n# mpg, as on the dash\nconsumption=mpg-imp";
  write_file(path, hand);
  log_settings settings(path);
  EXPECT_EQ(settings.volume(), volume_unit::imperial_gallon);
  EXPECT_EQ(settings.consumption(), consumption_unit::mpg_imperial);
  EXPECT_TRUE(settings.problems().empty());
  ASSERT_TRUE(settings.save()) << settings.error();
  EXPECT_EQ(read_file(path), hand);
  settings.set_consumption(consumption_unit::litres_per_100_km);
  settings.set_volume(volume_unit::litre);
  ASSERT_TRUE(settings.save()) << settings.error();
  EXPECT_EQ(read_file(path),
            "distance=mi\nvolume=l\r\n# mpg, as on the dash\nconsumption=l/100km");
  const log_settings again(path);
  EXPECT_EQ(again.volume(), volume_unit::litre);
  EXPECT_EQ(again.consumption(), consumption_unit::litres_per_100_km);

  // Every word the file may hold reads back as written.
  const std::string other = dir.file("ev.settings.txt");
  write_file(other, "distance=km\n");
  log_settings electric(other);
  EXPECT_FALSE(electric.volume());
  EXPECT_FALSE(electric.consumption());
  for (const consumption_unit unit :
       {consumption_unit::km_per_litre, consumption_unit::mpg_us, consumption_unit::kwh_per_100_km,
        consumption_unit::kwh_per_100_mi}) {
    electric.set_volume(unit == consumption_unit::mpg_us ? volume_unit::us_gallon : volume_unit::kwh);
    electric.set_consumption(unit);
    ASSERT_TRUE(electric.save()) << electric.error();
    const log_settings read(other);
    EXPECT_EQ(read.consumption(), unit) << unit_word(unit);
    EXPECT_EQ(read.volume(), electric.volume());
  }
  EXPECT_EQ(read_file(other), "distance=km\nvolume=kwh\nconsumption=kwh/100mi\n");

  // A word not known is reported with its line, kept, and never guessed.
  const std::string bad = "volume=litres\nconsumption=L/100KM\nconsumption=mpg\n";
  write_file(path, bad);
  log_settings unread(path);
  EXPECT_FALSE(unread.volume());
  EXPECT_EQ(unread.consumption(), consumption_unit::litres_per_100_km) << "any letter case";
  ASSERT_EQ(unread.problems().size(), 2u);
  EXPECT_EQ(unread.problems()[0].line, 1u);
  EXPECT_NE(unread.problems()[0].message.find("\"litres\""), std::string::npos);
  EXPECT_EQ(unread.problems()[1].line, 3u);
  ASSERT_TRUE(unread.save());
  EXPECT_EQ(read_file(path), bad);
}

}  // namespace
}  // namespace tarvik
