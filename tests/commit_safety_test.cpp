// A commit either replaces the log whole or leaves it exactly as it was.
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "data/file_data_source.h"
#include "support/failing_calls.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

using testing::call;
using testing::failing_calls;
using testing::read_file;
using testing::stderr_capture;
using testing::temp_dir;
using testing::write_file;
using Lines = std::vector<std::string>;

unsigned mode_of(const std::string& path) {
  struct stat status {};
  stat(path.c_str(), &status);
  return status.st_mode & 07777;
}

// Adds a record with long notes, so that a commit writes a good many bytes.
void add_bulky_record(DataSource& store) {
  auto* record = new Record(store.next_id());
  record->notes(std::string(300000, 'n'));
  store.record(record);
}

TEST(CommitSafety, AMissingDirectoryIsReportedAndTheStoreKept) {
  temp_dir dir;
  const std::string log = dir.file("gone/tarvik.txt");
  FileDataSource store(log);
  store.record(new Record(store.next_id()));
  stderr_capture capture;
  EXPECT_FALSE(store.commit());
  EXPECT_EQ(capture.lines(),
            Lines{"Error opening " + log + " for commit: " + strerror(ENOENT)});
  EXPECT_EQ(store.identifiers().size(), 1u);
  EXPECT_TRUE(dir.entries().empty());
}

TEST(CommitSafety, AFailedWriteLeavesTheOldLogAndNoTemporaryFile) {
  temp_dir dir;
  const std::string log = dir.file("tarvik.txt");
  write_file(log, testing::kExampleLog);
  FileDataSource store(log);
  add_bulky_record(store);

  struct rlimit old_limit {};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old_limit;
  small.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &small);
  bool committed;
  Lines messages;
  {
    stderr_capture capture;
    committed = store.commit();
    messages = capture.lines();
  }
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);

  EXPECT_FALSE(committed);
  EXPECT_EQ(messages, Lines{"Error writing " + log + " for commit: " + strerror(EFBIG)});
  EXPECT_EQ(read_file(log), testing::kExampleLog);
  EXPECT_EQ(dir.entries(), Lines{"tarvik.txt"});
  // With room again, the next commit writes everything.
  ASSERT_TRUE(store.commit());
  FileDataSource again(log);
  EXPECT_EQ(again.identifiers().size(), 3u);
}

TEST(CommitSafety, PermissionBitsAreKeptOrTakenFromTheUmask) {
  temp_dir dir;
  const std::string log = dir.file("tarvik.txt");
  const mode_t old_mask = umask(022);
  FileDataSource fresh(log);
  EXPECT_TRUE(fresh.commit());
  EXPECT_EQ(mode_of(log), 0644u);
  chmod(log.c_str(), 0640);
  EXPECT_TRUE(fresh.commit());
  EXPECT_EQ(mode_of(log), 0640u);
  umask(old_mask);
}

TEST(CommitSafety, ALinkedLogStaysALink) {
  temp_dir dir;
  const std::string target = dir.file("real.txt");
  const std::string log = dir.file("tarvik.txt");
  write_file(target, testing::kExampleLog);
  ASSERT_EQ(symlink("real.txt", log.c_str()), 0);
  FileDataSource store(log);
  delete store.remove(0);
  ASSERT_TRUE(store.commit());
  struct stat status {};
  ASSERT_EQ(lstat(log.c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode));
  EXPECT_EQ(FileDataSource(target).identifiers(), std::vector<int>{3});
  EXPECT_EQ(dir.entries(), (Lines{"real.txt", "tarvik.txt"}));
}

TEST(CommitSafety, OnlyTemporaryFilesOfACrashedCommitAreRemoved) {
  temp_dir dir;
  const std::string log = dir.file("tarvik.txt");
  write_file(log, testing::kExampleLog);
  // The user's own files, with names an older writer used.
  write_file(log + ".tmp", "mine");
  write_file(log + ".old.tmp", "mine too");
  write_file(dir.file(".tarvik.txt.tarvik-notmine.tmp"), "and this");
  // What a killed commit leaves.
  write_file(dir.file(".tarvik.txt.tarvik-0123456789abcdef.tmp"), "left by a crash");
  FileDataSource store(log);
  delete store.remove(0);
  ASSERT_TRUE(store.commit());
  EXPECT_EQ(dir.entries(), (Lines{".tarvik.txt.tarvik-notmine.tmp", "tarvik.txt", "tarvik.txt.old.tmp",
                                  "tarvik.txt.tmp"}));
  EXPECT_EQ(read_file(log + ".tmp"), "mine");
}

// What may stand at the log's name besides a regular file, each made in
// `dir` as `name` (directly or behind a symbolic link).
struct special_file {
  const char* kind;
  std::string reason;  // as the store words it
  bool (*make)(const std::string& path);
};

std::ostream& operator<<(std::ostream& out, const special_file& s) { return out << s.kind; }

class SpecialFile : public ::testing::TestWithParam<special_file> {};

TEST_P(SpecialFile, IsRefusedAtOnceNeverReadOrReplaced) {
  const special_file& special = GetParam();
  temp_dir dir;
  const std::string log = dir.file("tarvik.txt");
  ASSERT_TRUE(special.make(log));
  struct stat before {};
  ASSERT_EQ(stat(log.c_str(), &before), 0);
  Lines messages;
  std::unique_ptr<FileDataSource> store;
  {
    stderr_capture capture;
    // A FIFO with no writer would block a plain open for reading forever.
    store = std::make_unique<FileDataSource>(log);
    messages = capture.lines();
  }
  EXPECT_EQ(messages, Lines{"Error opening " + log + ": " + special.reason});
  EXPECT_TRUE(store->refused());
  EXPECT_EQ(store->read_failure(), special.reason);
  EXPECT_TRUE(store->identifiers().empty());
  store->record(new Record(store->next_id()));
  {
    stderr_capture capture;
    EXPECT_FALSE(store->commit());
    EXPECT_EQ(capture.lines(), Lines{"Error opening " + log + " for commit: " + special.reason});
  }
  struct stat after {};
  ASSERT_EQ(stat(log.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mode, before.st_mode);
  EXPECT_TRUE(store->has_unsaved_changes());
}

bool make_directory(const std::string& path) { return mkdir(path.c_str(), 0755) == 0; }
bool make_fifo(const std::string& path) { return mkfifo(path.c_str(), 0644) == 0; }
bool link_to_null(const std::string& path) { return symlink("/dev/null", path.c_str()) == 0; }
bool link_to_zero(const std::string& path) { return symlink("/dev/zero", path.c_str()) == 0; }
bool make_socket(const std::string& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return bound;
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, SpecialFile,
    ::testing::Values(special_file{"Directory", strerror(EISDIR), make_directory},
                      special_file{"Fifo", "Is a FIFO, not a regular file", make_fifo},
                      special_file{"LinkToDevNull", "Is a character device, not a regular file",
                                   link_to_null},
                      special_file{"LinkToDevZero", "Is a character device, not a regular file",
                                   link_to_zero},
                      special_file{"Socket", "Is a socket, not a regular file", make_socket}),
    [](const ::testing::TestParamInfo<special_file>& info) { return info.param.kind; });

TEST(CommitSafety, ASaveKeepsTheLogsOwnerAndGroup) {
  if (geteuid() != 0) GTEST_SKIP() << "only root may give a file away";
  temp_dir dir;
  const std::string log = dir.file("tarvik.txt");
  write_file(log, testing::kExampleLog);
  ASSERT_EQ(chown(log.c_str(), 4321, 8765), 0);
  FileDataSource store(log);
  delete store.remove(0);
  ASSERT_TRUE(store.commit());
  struct stat status {};
  ASSERT_EQ(stat(log.c_str(), &status), 0);
  EXPECT_EQ(status.st_uid, 4321u);
  EXPECT_EQ(status.st_gid, 8765u);
}

TEST(CommitSafety, ALogWithOtherHardLinksLeavesThemTheOldContent) {
  temp_dir dir;
  const std::string log = dir.file("tarvik.txt");
  write_file(log, testing::kExampleLog);
  ASSERT_EQ(link(log.c_str(), dir.file("snapshot.txt").c_str()), 0);
  FileDataSource store(log);
  delete store.remove(0);
  ASSERT_TRUE(store.commit());
  EXPECT_EQ(read_file(dir.file("snapshot.txt")), testing::kExampleLog);
  EXPECT_EQ(FileDataSource(log).identifiers(), std::vector<int>{3});
}

// A large old log is freed after the commit rather than during it; nothing
// of it may stay behind in the directory, and a hard link to it keeps it.
TEST(CommitSafety, ALargeReplacedLogLeavesNoSecondNameAndItsLinksTheirContent) {
  temp_dir dir;
  const std::string log = dir.file("tarvik.txt");
  std::string large = testing::kExampleLog;
  large += "# " + std::string(9 << 20, 'x') + "\n";
  write_file(log, large);
  ASSERT_EQ(link(log.c_str(), dir.file("snapshot.txt").c_str()), 0);
  FileDataSource store(log);
  delete store.remove(0);
  const std::vector<std::string> before = dir.entries();
  ASSERT_TRUE(store.commit());
  EXPECT_EQ(dir.entries(), before);
  EXPECT_EQ(read_file(dir.file("snapshot.txt")), large);
  ASSERT_EQ(unlink(dir.file("snapshot.txt").c_str()), 0);
  // Without the snapshot the next commit frees the old file itself.
  delete store.remove(3);
  ASSERT_TRUE(store.commit());
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"tarvik.txt"});
  EXPECT_TRUE(FileDataSource(log).identifiers().empty());
}

struct fault_case {
  const char* name;
  call which;
  int successes;  // calls of this kind that go through first
  int error;
  const char* step;  // as the diagnostic names it
};

std::ostream& operator<<(std::ostream& out, const fault_case& c) { return out << c.name; }

class CommitFault : public ::testing::TestWithParam<fault_case> {};

TEST_P(CommitFault, LeavesTheOldLogAndALaterCommitWritesEverything) {
  const fault_case& c = GetParam();
  temp_dir dir;
  const std::string log = dir.file("tarvik.txt");
  write_file(log, testing::kExampleLog);
  FileDataSource store(log);
  // Three records of more than one write chunk each: three writes.
  for (int i = 0; i < 3; ++i) add_bulky_record(store);
  Lines messages;
  {
    failing_calls fault(c.which, c.error, c.successes);
    stderr_capture capture;
    EXPECT_FALSE(store.commit());
    messages = capture.lines();
    EXPECT_GT(fault.calls(), c.successes) << "the fault was never reached";
  }
  EXPECT_EQ(messages, Lines{std::string("Error ") + c.step + " " + log + " for commit: " +
                            strerror(c.error)});
  EXPECT_EQ(read_file(log), testing::kExampleLog);
  EXPECT_EQ(dir.entries(), Lines{"tarvik.txt"});
  ASSERT_TRUE(store.commit());
  EXPECT_EQ(FileDataSource(log).identifiers(), (std::vector<int>{0, 3, 4, 5, 6}));
  EXPECT_EQ(dir.entries(), Lines{"tarvik.txt"});
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, CommitFault,
    ::testing::Values(fault_case{"OpenLogForWriting", call::open_write, 0, EACCES, "opening"},
                      fault_case{"CreateTemporary", call::open_write, 1, ENOSPC, "opening"},
                      fault_case{"FirstWrite", call::write, 0, EIO, "writing"},
                      fault_case{"LaterWrite", call::write, 1, ENOSPC, "writing"},
                      fault_case{"LastWrite", call::write, 2, EDQUOT, "writing"},
                      fault_case{"Permissions", call::fchmod, 0, EPERM, "setting the permissions of"},
                      fault_case{"Fsync", call::fsync, 0, EIO, "syncing"},
                      fault_case{"Close", call::close, 1, EIO, "closing"},
                      fault_case{"Rename", call::rename, 0, EXDEV, "replacing"},
                      fault_case{"OpenDirectory", call::open_directory, 0, EMFILE,
                                 "syncing the directory of"},
                      fault_case{"DirectoryFsync", call::fsync, 1, EIO, "syncing the directory of"}),
    [](const ::testing::TestParamInfo<fault_case>& info) { return info.param.name; });

// The first commit after a reading that stopped early saves the old file
// first; when that copy cannot be made, nothing is replaced.
class BackupFault : public ::testing::TestWithParam<fault_case> {};

TEST_P(BackupFault, RefusesTheCommitUntilTheCopyIsSafe) {
  const fault_case& c = GetParam();
  temp_dir dir;
  const std::string log = dir.file("tarvik.txt");
  // A misspelt close tag: the block is written anew at the next commit.
  const std::string broken = std::string(testing::kExampleLog) + "<record=4>\ncost=1;\noperation=x;\ndate=0;\nmileage=0;\nnotes=;\n</Record>\n";
  write_file(log, broken);
  std::unique_ptr<FileDataSource> store;
  {
    stderr_capture quiet;
    store = std::make_unique<FileDataSource>(log);
  }
  Lines messages;
  {
    failing_calls fault(c.which, c.error, c.successes);
    stderr_capture capture;
    EXPECT_FALSE(store->commit());
    messages = capture.lines();
  }
  EXPECT_EQ(messages, Lines{std::string("Error ") + c.step + " " + log + ".bak to save a copy of " +
                            log + " before commit: " + strerror(c.error)});
  EXPECT_EQ(read_file(log), broken);
  EXPECT_EQ(dir.entries(), Lines{"tarvik.txt"});
  stderr_capture quiet;
  ASSERT_TRUE(store->commit());
  EXPECT_EQ(read_file(log + ".bak"), broken);
  EXPECT_EQ(read_file(log), std::string(testing::kExampleLog) +
                                "<record=4>\ncost=1;\noperation=x;\ndate=0;\nmileage=0;\nnotes=;\n</record>\n");
}

TEST(Backup, IsMadeWhereTheFileSystemHasNoHardLinks) {
  temp_dir dir;
  const std::string log = dir.file("tarvik.txt");
  write_file(log, "<record=1>\n</Record>\n");
  stderr_capture quiet;
  FileDataSource store(log);
  failing_calls no_links(call::link, EPERM);
  ASSERT_TRUE(store.commit());
  EXPECT_EQ(read_file(log + ".bak"), "<record=1>\n</Record>\n");
  EXPECT_EQ(dir.entries(), (Lines{"tarvik.txt", "tarvik.txt.bak"}));
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, BackupFault,
    ::testing::Values(fault_case{"CreateTemporary", call::open_write, 0, ENOSPC, "opening"},
                      fault_case{"Write", call::write, 0, EIO, "writing"},
                      fault_case{"Fsync", call::fsync, 0, EIO, "syncing"},
                      fault_case{"Link", call::link, 0, EIO, "creating"}),
    [](const ::testing::TestParamInfo<fault_case>& info) { return info.param.name; });

}  // namespace
}  // namespace tarvik
