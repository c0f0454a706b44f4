// Whether the log on disk is still what a store read or wrote, when another
// writer edits it in place and puts the time stamp back, as editors and
// sync tools do; and the merge that follows.
#include <gtest/gtest.h>

#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "data/file_data_source.h"
#include "data/file_state.h"
#include "data/replacement_file.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

using testing::read_file;
using testing::temp_dir;
using testing::write_file;
using Ids = std::vector<int>;

timespec modified_at(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(stat(path.c_str(), &status), 0);
  return status.st_mtim;
}

void set_modified(const std::string& path, timespec when) {
  const timespec times[2] = {when, when};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// Writes `bytes` into the file itself (the same inode) at `offset`, or at
// its end when `offset` is negative, and gives it back the time stamp it had.
void edit_in_place_keeping_time(const std::string& path, const std::string& bytes, off_t offset) {
  const timespec before = modified_at(path);
  const int fd = ::open(path.c_str(), O_WRONLY | (offset < 0 ? O_APPEND : 0));
  ASSERT_GE(fd, 0);
  const ssize_t written = offset < 0 ? ::write(fd, bytes.data(), bytes.size())
                                     : ::pwrite(fd, bytes.data(), bytes.size(), offset);
  ::close(fd);
  ASSERT_EQ(written, static_cast<ssize_t>(bytes.size()));
  set_modified(path, before);
}

class FileState : public ::testing::Test {
 protected:
  void SetUp() override { write_file(log, testing::kExampleLog); }

  // The example log an hour old: its time stamp can be trusted.
  void age_log() { set_modified(log, {time(nullptr) - 3600, 123456789}); }

  off_t offset_of(const std::string& text) {
    return static_cast<off_t>(read_file(log).find(text));
  }

  temp_dir dir;
  std::string log = dir.file("tarvik.txt");
};

// Within the time stamp's step, size and time cannot tell: the bytes do.
TEST_F(FileState, AnEditAtTheSameSizeRightAfterAReadingIsSeen) {
  FileDataSource store(log);
  edit_in_place_keeping_time(log, "Tires", offset_of("Tyres"));
  EXPECT_FALSE(store.changed_on_disk(false)) << "size and time stamp are all the same";
  EXPECT_TRUE(store.changed_on_disk());
}

TEST_F(FileState, AnEditAtTheSameSizeRightAfterACommitIsSeenAndMerged) {
  FileDataSource store(log);
  store.record(0)->notes("Filter replaced, too");
  ASSERT_TRUE(store.commit());
  EXPECT_FALSE(store.changed_on_disk());
  edit_in_place_keeping_time(log, "Tires", offset_of("Tyres"));
  EXPECT_TRUE(store.changed_on_disk());

  store.record(0)->cost(25);
  ASSERT_TRUE(store.commit());
  EXPECT_TRUE(store.last_commit().merged);
  FileDataSource after(log);
  EXPECT_EQ(after.record(3)->operation(), "Tires");
  EXPECT_EQ(after.record(0)->notes(), "Filter replaced, too");
  EXPECT_EQ(after.record(0)->cost(), 25);
}

bool same_time(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// A state settled by the clock is believed without its bytes as long as the
// change time stays: an edit that puts the time stamp back still moves it.
// Whether the clock moved on in time is up to the machine, so a few writes
// are tried; a file system that is not known to stamp from the clock never
// settles.
TEST_F(FileState, AWrittenFileSettledByTheClockIsSeenEditedUnderItsTimeStamp) {
  // Large enough to be written before the replace, so that the rename
  // stamps a later tick than the last write.
  const std::string bytes(300000, 'x');
  file_state written;
  for (int attempt = 0; attempt < 50 && !written.settled; ++attempt) {
    replacement_file file(log);
    ASSERT_TRUE(file.open());
    ASSERT_TRUE(file.append(bytes));
    usleep(5000);
    ASSERT_TRUE(file.replace());
    written = file.written();
  }
  if (!written.settled) GTEST_SKIP() << "time stamps here do not come from the clock in fine steps";
  EXPECT_TRUE(file_state::of_path(log).same_as(written));
  EXPECT_TRUE(same_time(file_state::of_path(log).changed, written.changed));

  usleep(5000);
  edit_in_place_keeping_time(log, "y", 1000);
  const file_state now = file_state::of_path(log);
  EXPECT_TRUE(now.same_as(written)) << "size and time stamp are all the same";
  EXPECT_FALSE(same_time(now.changed, written.changed));

  // Never settled: by another file system's stamps, or by the state of
  // another file than the one written.
  file_state unsettled = written;
  unsettled.settled = false;
  EXPECT_FALSE(file_state::placed(unsettled, log, false).settled);
  // (The same size and time stamp, its change time long past: all but
  // the identity would do.)
  const std::string other = dir.file("other.txt");
  write_file(other, bytes);
  set_modified(other, written.modified);
  usleep(5000);
  EXPECT_FALSE(file_state::placed(unsettled, other, true).settled);
}

// The same through a store: whether or not a commit's state settled, an
// edit under the old time stamp right after it is seen and merged.
TEST_F(FileState, EditsUnderTheTimeStampAfterEachOfManyCommitsAreSeen) {
  // Notes long enough that the log is written in large pieces.
  {
    FileDataSource store(log);
    store.record(0)->notes(std::string(300000, 'n'));
    ASSERT_TRUE(store.commit());
  }
  FileDataSource store(log);
  for (int round = 0; round < 20; ++round) {
    store.record(3)->cost(static_cast<float>(100 + round));
    ASSERT_TRUE(store.commit());
    usleep(3000);
    edit_in_place_keeping_time(log, round % 2 == 0 ? "Tires" : "Tyres",
                               offset_of(round % 2 == 0 ? "Tyres" : "Tires"));
    ASSERT_TRUE(store.changed_on_disk()) << "round " << round;
    store.record(0)->cost(static_cast<float>(round));
    ASSERT_TRUE(store.commit());
    ASSERT_TRUE(store.last_commit().merged) << "round " << round;
    EXPECT_EQ(store.record(3)->operation(), round % 2 == 0 ? "Tires" : "Tyres");
  }
}

// Long after the time stamp's step, a state that matches is believed: every
// part of it has to be compared.
TEST_F(FileState, AnOldLogGrownInPlaceUnderItsOldTimeStampIsSeenAndMerged) {
  age_log();
  FileDataSource store(log);
  EXPECT_FALSE(store.changed_on_disk());
  edit_in_place_keeping_time(log, "<record=8>\noperation=By hand;\ndate=1040000000;\n</record>\n",
                             -1);
  EXPECT_TRUE(store.changed_on_disk(false));
  store.record(3)->notes("rotated");
  ASSERT_TRUE(store.commit());
  EXPECT_TRUE(store.last_commit().merged);
  ASSERT_EQ(store.identifiers(), (Ids{0, 3, 8}));
  EXPECT_EQ(FileDataSource(log).record(8)->operation(), "By hand");
  EXPECT_EQ(FileDataSource(log).record(3)->notes(), "rotated");
}

TEST_F(FileState, AnOldLogEditedWithinTheSameSecondIsSeen) {
  age_log();
  FileDataSource store(log);
  const timespec was = modified_at(log);
  edit_in_place_keeping_time(log, "Tires", offset_of("Tyres"));
  set_modified(log, {was.tv_sec, 987654321});
  if (modified_at(log).tv_nsec == was.tv_nsec) GTEST_SKIP() << "the file system keeps whole seconds";
  EXPECT_TRUE(store.changed_on_disk(false));
}

TEST_F(FileState, AnOldLogReplacedByAFileOfTheSameSizeAndTimeIsSeen) {
  age_log();
  FileDataSource store(log);
  const timespec was = modified_at(log);
  std::string theirs = testing::kExampleLog;
  theirs.replace(theirs.find("Tyres"), 5, "Tires");
  const std::string saved = dir.file("tarvik.txt.new");
  write_file(saved, theirs);
  set_modified(saved, was);
  ASSERT_EQ(::rename(saved.c_str(), log.c_str()), 0);
  EXPECT_TRUE(store.changed_on_disk(false));
}

// The merge drops from the file as it now is the record this store
// removed, and no other.
TEST_F(FileState, ARecordRemovedHereGoesWhileAnotherStoreAddsOne) {
  FileDataSource first(log);
  FileDataSource second(log);
  delete first.remove(3);
  auto* added = new Record(second.next_id());
  added->setup(added->identifier(), 1040000000, 52000, "Wipers", "", 10);
  second.record(added);
  ASSERT_TRUE(second.commit());
  ASSERT_TRUE(first.commit()) << first.last_commit().error;
  EXPECT_TRUE(first.last_commit().merged);
  EXPECT_EQ(first.identifiers(), (Ids{0, 4}));
  ASSERT_NE(first.record(0), nullptr);
  EXPECT_EQ(first.record(0)->operation(), "Oil change");
  FileDataSource after(log);
  ASSERT_EQ(after.identifiers(), (Ids{0, 4}));
  EXPECT_EQ(after.record(4)->operation(), "Wipers");
}

}  // namespace
}  // namespace tarvik
