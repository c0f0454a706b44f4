#include "insight/due_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "support/failing_calls.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

using testing::read_file;
using testing::temp_dir;
using testing::write_file;

// A hand-kept file: comments at the top, between and in blocks, an unknown
// key, a key in other case with blanks, a CRLF line and no line end at the end.
const char* const kHandWritten =
    "# Service plan of the blue car\n"
    "\n"
    "# Oil: every year or 15,000 km.\n"
    "<interval=0>\n"
    "operation=Oil change;\n"
    "distance=15000;\n"
    "months=12;\n"
    "# synthetic only\n"
    "shop=Garage Ost;\n"
    "</interval>\n"
    "\n"
    "# Belt\n"
    "<interval=4>\r\n"
    "  Operation = Timing belt;\r\n"
    " DISTANCE = 120000 ;\r\n"
    "</interval>\n"
    "<interval=2>\n"
    "operation*=Filters %3B air%3Dcabin;\n"
    "months=24;\n"
    "</interval>\n"
    "# the end\n";

TEST(DueFilePath, ReplacesATrailingTxtAndAppendsOtherwise) {
  EXPECT_EQ(due_file_path("/home/u/tarvik.txt"), "/home/u/tarvik.due.txt");
  EXPECT_EQ(due_file_path("car.log"), "car.log.due.txt");
  EXPECT_EQ(due_file_path("notes.txt.old"), "notes.txt.old.due.txt");
  EXPECT_EQ(due_file_path("CAR.TXT"), "CAR.TXT.due.txt");
  EXPECT_EQ(due_file_path("a.txt/log"), "a.txt/log.due.txt");
}

TEST(DueFile, ReadsHandWrittenBlocksAndSavesThemUnchangedByteForByte) {
  const temp_dir dir;
  write_file(dir.file("t.due.txt"), kHandWritten);
  due_file file(dir.file("t.due.txt"));
  for (const log_problem& problem : file.problems()) ADD_FAILURE() << problem.line << ": " << problem.message;
  ASSERT_EQ(file.intervals().size(), 3u);
  const service_interval& oil = file.intervals()[0];
  EXPECT_EQ(oil.operation, "Oil change");
  EXPECT_EQ(oil.distance, 15000);
  EXPECT_EQ(oil.months, 12);
  EXPECT_EQ(oil.other_items, std::vector<std::string>{"shop=Garage Ost"});
  EXPECT_EQ(oil.comments, std::vector<std::string>{"# synthetic only"});
  EXPECT_EQ(file.intervals()[1].operation, " Timing belt");
  EXPECT_EQ(file.intervals()[1].distance, 120000);
  EXPECT_FALSE(file.intervals()[1].months);
  EXPECT_EQ(file.intervals()[2].operation, "Filters ; air=cabin");
  EXPECT_EQ(file.intervals()[2].months, 24);

  ASSERT_TRUE(file.save());
  EXPECT_EQ(read_file(dir.file("t.due.txt")), kHandWritten);
  ASSERT_TRUE(file.save());  // and again from what it wrote
  EXPECT_EQ(read_file(dir.file("t.due.txt")), kHandWritten);
  // A byte-order mark before the first block, no line end after the last.
  const std::string unended = "\xEF\xBB\xBF<interval=7>\noperation=Wash;\nmonths=1;\n</interval>";
  write_file(dir.file("t.due.txt"), unended);
  const due_file other(dir.file("t.due.txt"));
  EXPECT_TRUE(other.problems().empty());
  EXPECT_EQ(other.intervals().at(0).months, 1);
  EXPECT_EQ(other.compose(), unended);
}

TEST(DueFile, MissingFileIsEmptyAndASaveCreatesIt) {
  const temp_dir dir;
  due_file file(dir.file("t.due.txt"));
  EXPECT_TRUE(file.intervals().empty());
  EXPECT_TRUE(file.problems().empty());
  service_interval oil;
  oil.operation = "Oil change";
  oil.distance = 15000.5;
  oil.months = 12;
  service_interval wash;
  wash.operation = "Wash; inside=too";
  wash.months = 1;
  file.intervals() = {oil, wash};
  ASSERT_TRUE(file.save()) << file.error();
  EXPECT_EQ(read_file(dir.file("t.due.txt")),
            "<interval=0>\noperation=Oil change;\ndistance=15000.5;\nmonths=12;\n</interval>\n"
            "<interval=1>\noperation*=Wash%3B inside%3Dtoo;\nmonths=1;\n</interval>\n");
  const due_file again(dir.file("t.due.txt"));
  ASSERT_EQ(again.intervals().size(), 2u);
  EXPECT_TRUE(again.intervals()[0].same_content(oil));
  EXPECT_TRUE(again.intervals()[1].same_content(wash));
}

TEST(DueFile, AChangedIntervalKeepsItsOtherItemsCommentsAndPlace) {
  const temp_dir dir;
  write_file(dir.file("t.due.txt"), kHandWritten);
  due_file file(dir.file("t.due.txt"));
  file.intervals()[0].months = 6;
  service_interval battery;
  battery.operation = "Battery";
  battery.months = 48;
  file.intervals().push_back(battery);
  ASSERT_TRUE(file.save());
  // Only the changed block is written anew, its unknown item and comment kept.
  std::string expected = kHandWritten;
  const std::string old_body = "months=12;\n# synthetic only\nshop=Garage Ost;\n";
  expected.replace(expected.find(old_body), old_body.size(), "months=6;\nshop=Garage Ost;\n# synthetic only\n");
  // New intervals go last, numbered above the highest.
  expected.insert(expected.rfind("# the end"), "<interval=5>\noperation=Battery;\nmonths=48;\n</interval>\n");
  EXPECT_EQ(read_file(dir.file("t.due.txt")), expected);
  EXPECT_EQ(file.intervals().size(), 4u);
  EXPECT_EQ(file.intervals()[0].months, 6);
}

TEST(DueFile, ARemovedIntervalTakesOnlyTheCommentsRightAboveIt) {
  const temp_dir dir;
  write_file(dir.file("t.due.txt"), kHandWritten);
  due_file file(dir.file("t.due.txt"));
  file.intervals().erase(file.intervals().begin());
  EXPECT_EQ(file.compose().substr(0, 45), "# Service plan of the blue car\n\n\n# Belt\n<inte");
  file.intervals().pop_back();
  const std::string text = file.compose();
  EXPECT_EQ(text.find("Filters"), std::string::npos);
  EXPECT_TRUE(text.ends_with("</interval>\n# the end\n"));
  file.intervals().clear();
  EXPECT_EQ(file.compose(), "# Service plan of the blue car\n\n\n# the end\n");
}

TEST(DueFile, UnreadableValuesAreReportedKeptAndNeverZero) {
  const temp_dir dir;
  const std::string text =
      "<interval=0>\n"
      "operation=Oil change;\n"
      "distance=15k;\n"
      "months=1.5;\n"
      "</interval>\n"
      "<interval=1>\n"
      "operation=Tyres;\n"
      "distance=-5;\n"
      "months=0;\n"
      "</interval>\n"
      "<interval=2>\n"
      "distance=nan;\n"
      "months=99999999999999999999;\n"
      "</interval>\n";
  write_file(dir.file("t.due.txt"), text);
  due_file file(dir.file("t.due.txt"));
  std::vector<std::size_t> lines;
  for (const log_problem& problem : file.problems()) lines.push_back(problem.line);
  EXPECT_EQ(lines, (std::vector<std::size_t>{3, 4, 8, 9, 11, 12, 13}));
  EXPECT_NE(file.problems()[0].message.find("\"15k\""), std::string::npos);
  EXPECT_NE(file.problems()[4].message.find("without an operation"), std::string::npos);
  for (const service_interval& interval : file.intervals()) {
    EXPECT_FALSE(interval.distance);
    EXPECT_FALSE(interval.months);
  }
  EXPECT_EQ(file.intervals()[0].other_items, (std::vector<std::string>{"distance=15k", "months=1.5"}));
  EXPECT_EQ(file.compose(), text);

  // A limit set anew replaces the unreadable item; the other one stays.
  file.intervals()[0].distance = 15000;
  ASSERT_TRUE(file.save());
  EXPECT_TRUE(read_file(dir.file("t.due.txt"))
                  .starts_with("<interval=0>\noperation=Oil change;\ndistance=15000;\n"
                               "months=1.5;\n</interval>\n"));
}

TEST(DueFile, ABlockTheReaderRejectsAndWhatFollowsStayAsTheyStand) {
  const temp_dir dir;
  const std::string text =
      "<interval=0>\noperation=Oil change;\nmonths=12;\n</interval>\n"
      "<interval=1>\noperation=Tyres;\nmonths=6;\n</record>\n"
      "<interval=2>\noperation=Wash;\nmonths=1;\n</interval>\n";
  write_file(dir.file("t.due.txt"), text);
  due_file file(dir.file("t.due.txt"));
  ASSERT_EQ(file.problems().size(), 1u);
  EXPECT_EQ(file.problems()[0].line, 8u);
  EXPECT_EQ(file.problems()[0].message, "the entry ends with \"</record>\" instead of \"</interval>\"");
  ASSERT_EQ(file.intervals().size(), 1u);
  file.intervals()[0].months = 3;
  EXPECT_EQ(file.compose(),
            "<interval=0>\noperation=Oil change;\nmonths=3;\n</interval>\n"
            "<interval=1>\noperation=Tyres;\nmonths=6;\n</record>\n"
            "<interval=2>\noperation=Wash;\nmonths=1;\n</interval>\n");
}

TEST(DueFile, ItemsStartingWithAHashStayItems) {
  const temp_dir dir;
  write_file(dir.file("t.due.txt"), "<interval=0>\noperation=Oil;months=2;#tag=x;\n</interval>\n");
  due_file file(dir.file("t.due.txt"));
  file.intervals().at(0).months = 3;
  ASSERT_TRUE(file.save());  // not "\n#tag=x;", which would read as a comment
  EXPECT_EQ(due_file(dir.file("t.due.txt")).intervals().at(0).other_items, std::vector<std::string>{"#tag=x"});
}

TEST(DueFile, AFileThatCannotBeReadIsNeverReplaced) {
  const temp_dir dir;
  ASSERT_EQ(mkdir(dir.file("t.due.txt").c_str(), 0755), 0);
  due_file file(dir.file("t.due.txt"));
  EXPECT_FALSE(file.read_failure().empty());
  ASSERT_EQ(file.problems().size(), 1u);
  file.intervals().push_back(service_interval{});
  EXPECT_FALSE(file.save());
  EXPECT_NE(file.error().find("not replaced"), std::string::npos);
  struct stat status {};
  ASSERT_EQ(stat(dir.file("t.due.txt").c_str(), &status), 0);
  EXPECT_TRUE(S_ISDIR(status.st_mode));
}

TEST(DueFile, AFailedSaveChangesNothing) {
  const temp_dir dir;
  write_file(dir.file("t.due.txt"), kHandWritten);
  due_file file(dir.file("t.due.txt"));
  file.intervals()[0].months = 1;
  {
    const testing::failing_calls failing(testing::call::rename, EIO);
    EXPECT_FALSE(file.save());
  }
  EXPECT_NE(file.error().find("Input/output error"), std::string::npos) << file.error();
  EXPECT_EQ(read_file(dir.file("t.due.txt")), kHandWritten);
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"t.due.txt"});
  EXPECT_EQ(file.intervals()[0].months, 1);  // the edit is not lost
  ASSERT_TRUE(file.save());
  EXPECT_EQ(due_file(dir.file("t.due.txt")).intervals()[0].months, 1);
}

TEST(DueFile, ASaveNeverWritesOverWhatAnotherProgramChanged) {
  const temp_dir dir;
  const std::string path = dir.file("t.due.txt");
  write_file(path, kHandWritten);
  due_file file(path);
  EXPECT_FALSE(file.changed_on_disk());
  // Another window's save within the same second, of the very same size:
  // only the bytes tell.
  std::string theirs = kHandWritten;
  theirs.replace(theirs.find("15000;"), 6, "20000;");
  write_file(path, theirs);
  EXPECT_TRUE(file.changed_on_disk());
  file.intervals()[2].months = 36;
  EXPECT_FALSE(file.save());
  EXPECT_TRUE(file.changed_elsewhere());
  EXPECT_EQ(read_file(path), theirs);

  // Read anew, the change goes in beside theirs.
  due_file again(path);
  again.intervals()[2].months = 36;
  ASSERT_TRUE(again.save());
  EXPECT_FALSE(again.changed_elsewhere());
  EXPECT_FALSE(again.changed_on_disk());
  const due_file saved(path);
  EXPECT_EQ(saved.intervals()[0].distance, 20000);
  EXPECT_EQ(saved.intervals()[2].months, 36);

  // A file that was missing when read and made since counts as a change,
  // and so does a file removed since.
  const std::string other = dir.file("o.due.txt");
  due_file empty(other);
  write_file(other, kHandWritten);
  empty.intervals().push_back(service_interval{});
  EXPECT_FALSE(empty.save());
  EXPECT_EQ(read_file(other), kHandWritten);
  std::remove(path.c_str());
  EXPECT_TRUE(again.changed_on_disk());
}

TEST(DueFile, ASaveNeverWritesOverTheLogOrItsBackupsAFileLinkLeadsTo) {
  const temp_dir dir;
  const std::string log = dir.file("car.txt");
  write_file(log, "<record=0>\ndate=0;\n</record>\n");
  write_file(dir.file("car.txt.bak"), "old");
  // Whoever made these links meant no harm; a save must not follow them.
  ASSERT_EQ(symlink("car.txt", dir.file("car.due.txt").c_str()), 0);
  ASSERT_EQ(link(dir.file("car.txt.bak").c_str(), dir.file("van.due.txt").c_str()), 0);
  for (const auto& [due, reason] : std::initializer_list<std::pair<std::string, std::string>>{
           {dir.file("car.due.txt"), "it is the log itself"},
           {dir.file("van.due.txt"), "it is a backup of the log"}}) {
    due_file file(due, log);
    file.intervals().push_back(service_interval{});
    EXPECT_FALSE(file.save()) << due;
    EXPECT_EQ(file.error(), reason);
  }
  EXPECT_EQ(read_file(log), "<record=0>\ndate=0;\n</record>\n");
  EXPECT_EQ(read_file(dir.file("car.txt.bak")), "old");
  // The due file of the log itself saves as ever.
  std::remove(dir.file("car.due.txt").c_str());
  due_file own(dir.file("car.due.txt"), log);
  own.intervals().push_back(service_interval{});
  EXPECT_TRUE(own.save()) << own.error();
}

}  // namespace
}  // namespace tarvik
