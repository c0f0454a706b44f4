// What the program's exports may write: never the log or what is kept
// with it, under whatever name, and nothing that is no regular file.
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "data/write_target.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

using testing::write_file;

class WriteTarget : public ::testing::Test {
 protected:
  WriteTarget() {
    write_file(log, "<record=0>\ndate=0;\n</record>\n");
    write_file(dir.file("car.txt.bak"), "old");
    write_file(dir.file("car.txt.bak.2"), "older");
    write_file(due, "");
    write_file(dir.file("car.csv"), "an earlier export");
    mkdir(dir.file("sub").c_str(), 0755);
  }

  write_refusal check(const std::string& target) {
    return refuse_to_write(target, log, {{due, "the log's service intervals"}});
  }

  testing::temp_dir dir;
  const std::string log = dir.file("car.txt");
  const std::string due = dir.file("car.due.txt");
};

TEST_F(WriteTarget, RefusesTheLogItsBackupsAndKeptFilesUnderAnyName) {
  ASSERT_EQ(symlink(log.c_str(), dir.file("link.csv").c_str()), 0);
  ASSERT_EQ(link(log.c_str(), dir.file("hard.csv").c_str()), 0);
  ASSERT_EQ(symlink(dir.path().c_str(), dir.file("folder").c_str()), 0);
  ASSERT_EQ(link(dir.file("car.txt.bak.2").c_str(), dir.file("sub/backup.csv").c_str()), 0);
  ASSERT_EQ(symlink("car.due.txt", dir.file("due.csv").c_str()), 0);
  const std::string backup = "it is a backup of the log";
  for (const auto& [target, reason] : std::initializer_list<std::pair<std::string, std::string>>{
           {log, "it is the log itself"},
           {dir.file("sub/../car.txt"), "it is the log itself"},
           {dir.file("folder/car.txt"), "it is the log itself"},
           {dir.file("link.csv"), "it is the log itself"},
           {dir.file("hard.csv"), "it is the log itself"},
           {dir.file("car.txt.bak"), backup},
           {dir.file("folder/car.txt.bak.2"), backup},
           {dir.file("car.txt.bak.17"), backup},  // the name the next backup may take
           {dir.file("sub/backup.csv"), backup},
           {due, "it is the log's service intervals"},
           {dir.file("due.csv"), "it is the log's service intervals"},
       }) {
    const write_refusal refusal = check(target);
    EXPECT_TRUE(refusal.kept) << target;
    EXPECT_EQ(refusal.reason, reason) << target;
  }
  // A log not made yet is kept by its name.
  EXPECT_TRUE(refuse_to_write(dir.file("sub/new.txt"), dir.file("sub/new.txt")).kept);
  EXPECT_TRUE(refuse_to_write(dir.file("sub/new.txt.bak"), dir.file("sub/new.txt")).kept);

  // Names that merely look alike, and files that are linked but not kept.
  ASSERT_EQ(link(dir.file("car.csv").c_str(), dir.file("sub/car.csv").c_str()), 0);
  for (const std::string& target :
       {dir.file("car.csv"), dir.file("sub/car.csv"), dir.file("car.txt.bak.x"),
        dir.file("car.txt.backup"), dir.file("car.txt.bak."), dir.file("sub/car.txt"),
        dir.file("new.pdf")}) {
    EXPECT_FALSE(check(target)) << target << ": " << check(target).reason;
  }
}

TEST_F(WriteTarget, RefusesWhatIsNoRegularFileWithoutOpeningIt) {
  ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0644), 0);
  ASSERT_EQ(symlink(dir.file("fifo").c_str(), dir.file("fifo.csv").c_str()), 0);
  // Opening a FIFO nobody reads would block the test for good.
  for (const auto& [target, reason] : std::initializer_list<std::pair<std::string, std::string>>{
           {dir.file("fifo"), "Is a FIFO, not a regular file"},
           {dir.file("fifo.csv"), "Is a FIFO, not a regular file"},
           {"/dev/null", "Is a character device, not a regular file"},
           {dir.file("sub"), "Is a directory"},
       }) {
    const write_refusal refusal = refuse_to_write(target, "");
    EXPECT_FALSE(refusal.kept) << target;
    EXPECT_EQ(refusal.reason, reason) << target;
    EXPECT_EQ(check(target).reason, reason) << target;
  }
}

}  // namespace
}  // namespace tarvik
