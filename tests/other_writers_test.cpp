// A log shared with other writers: second windows, other processes, a text
// editor. Whatever each of them wrote survives the others' commits.
#include <gtest/gtest.h>

#include <memory>
#include <cstdio>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

#include "data/file_data_source.h"
#include "data/system_calls.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

using testing::read_file;
using testing::stderr_capture;
using testing::temp_dir;
using testing::write_file;
using Ids = std::vector<int>;

// The notes of every record of the log, in store order.
std::vector<std::string> notes_in(const std::string& log) {
  FileDataSource store(log);
  std::vector<std::string> notes;
  for (const int id : store.identifiers()) notes.push_back(store.record(id)->notes());
  return notes;
}

void add(DataSource& store, const std::string& notes) {
  auto* record = new Record(store.next_id());
  record->notes(notes);
  store.record(record);
}

class OtherWriters : public ::testing::Test {
 protected:
  void SetUp() override { write_file(log, testing::kExampleLog); }

  temp_dir dir;
  std::string log = dir.file("tarvik.txt");
};

TEST_F(OtherWriters, TwoStoresThatEachAddChangeAndDeleteKeepEveryEntry) {
  FileDataSource first(log);
  FileDataSource second(log);
  add(first, "from the first");
  add(second, "from the second");  // the same identifier, 4, as the first's
  ASSERT_TRUE(first.commit());
  EXPECT_FALSE(first.last_commit().merged);
  ASSERT_TRUE(second.commit());
  const commit_outcome& merged = second.last_commit();
  EXPECT_TRUE(merged.merged);
  EXPECT_EQ(merged.renumbered, (std::vector<std::pair<int, int>>{{4, 5}}));
  EXPECT_TRUE(merged.conflicts.empty());
  // The second store now holds the merged log.
  EXPECT_EQ(second.identifiers(), (Ids{0, 3, 4, 5}));
  EXPECT_EQ(second.record(4)->notes(), "from the first");

  // One changes a record, the other deletes another one.
  first.record(0)->mileage(45300);
  delete second.remove(3);
  ASSERT_TRUE(second.commit());
  ASSERT_TRUE(first.commit());
  EXPECT_TRUE(first.last_commit().merged);
  EXPECT_EQ(notes_in(log), (std::vector<std::string>{"Filter replaced too", "from the first",
                                                     "from the second"}));
  FileDataSource after(log);
  EXPECT_EQ(after.record(0)->mileage(), 45300);
  EXPECT_EQ(after.record(3), nullptr);
  // Nothing was overridden, so no copy was needed.
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"tarvik.txt"});
}

TEST_F(OtherWriters, ASameRecordChangedTwiceKeepsTheOtherVersionInACopy) {
  FileDataSource first(log);
  FileDataSource second(log);
  first.record(3)->operation("Winter tyres");
  ASSERT_TRUE(first.commit());
  const std::string theirs = read_file(log);
  second.record(3)->operation("Summer tyres");
  stderr_capture capture;
  ASSERT_TRUE(second.commit());
  EXPECT_EQ(capture.lines(), std::vector<std::string>{"Saved a copy of " + log + " as " + log +
                                                      ".bak with the other version of changed records"});
  EXPECT_EQ(second.last_commit().conflicts, Ids{3});
  EXPECT_EQ(second.last_commit().conflict_copy, log + ".bak");
  EXPECT_EQ(read_file(log + ".bak"), theirs);
  EXPECT_EQ(FileDataSource(log).record(3)->operation(), "Summer tyres");
}

TEST_F(OtherWriters, ADeletionMeetingAChangeElsewhereKeepsBoth) {
  FileDataSource first(log);
  FileDataSource second(log);
  // Changed here, deleted there: the change is written again.
  first.record(0)->notes("new filter");
  delete second.remove(0);
  ASSERT_TRUE(second.commit());
  ASSERT_TRUE(first.commit());
  EXPECT_EQ(first.last_commit().conflicts, Ids{0});
  EXPECT_EQ(notes_in(log), (std::vector<std::string>{"", "new filter"}));
  // Deleted here, changed there: the deletion stands, the change is kept
  // in a copy.
  FileDataSource third(log);
  FileDataSource fourth(log);
  third.record(3)->cost(300);
  ASSERT_TRUE(third.commit());
  delete fourth.remove(3);
  stderr_capture quiet;
  ASSERT_TRUE(fourth.commit());
  EXPECT_EQ(fourth.last_commit().conflicts, Ids{3});
  EXPECT_NE(read_file(fourth.last_commit().conflict_copy).find("cost=300;"), std::string::npos);
  EXPECT_EQ(FileDataSource(log).identifiers(), Ids{0});
}

TEST_F(OtherWriters, AHandEditBetweenLoadAndCommitIsKept) {
  FileDataSource store(log);
  // Same size, same second: only the bytes tell.
  std::string edited = testing::kExampleLog;
  edited.replace(edited.find("Tyres"), 5, "Tires");
  write_file(log, edited);
  EXPECT_TRUE(store.changed_on_disk());
  add(store, "mine");
  ASSERT_TRUE(store.commit());
  EXPECT_EQ(read_file(log), edited + "<record=4>\ncost=0;\noperation=not specified;\ndate=" +
                                std::to_string(store.record(4)->date()) +
                                ";\nmileage=0;\nnotes=mine;\n</record>\n");
  EXPECT_EQ(store.record(3)->operation(), "Tires");
  EXPECT_FALSE(store.changed_on_disk());
}

TEST_F(OtherWriters, ALogCreatedOrRemovedMeanwhileIsNotLost) {
  const std::string fresh = dir.file("fresh.txt");
  FileDataSource store(fresh);
  add(store, "mine");
  write_file(fresh, testing::kExampleLog);  // another window's first save
  ASSERT_TRUE(store.commit());
  EXPECT_EQ(notes_in(fresh), (std::vector<std::string>{"Filter replaced too", "", "mine"}));
  // A log that vanished is written again whole.
  FileDataSource again(fresh);
  unlink(fresh.c_str());
  EXPECT_FALSE(again.changed_on_disk());
  ASSERT_TRUE(again.commit());
  EXPECT_EQ(notes_in(fresh).size(), 3u);
}

// After a merge the store holds what a fresh reading of the file gives.
void expect_store_matches_file(FileDataSource& store, const std::string& log) {
  FileDataSource fresh(log);
  ASSERT_EQ(store.identifiers(), fresh.identifiers());
  for (const int id : fresh.identifiers()) {
    EXPECT_TRUE(store.record(id)->same_fields(*fresh.record(id))) << "record " << id;
  }
}

TEST_F(OtherWriters, AMergeReadsOnlyWhatChangedAndHoldsWhatTheFileHolds) {
  // Changes at the start, in the middle and at the end, on both sides.
  // Every entry is dated: an undated one is dated at each reading, and two
  // readings may fall in different seconds.
  const std::string three = std::string(testing::kExampleLog) +
                            "# the last one\n<record=7>\ndate=1700000000;\ncost=9;\n"
                            "notes=wipers;\n</record>\n"
                            "# end\n";
  write_file(log, three);
  FileDataSource first(log);
  FileDataSource second(log);
  first.record(0)->cost(25);
  ASSERT_TRUE(first.commit());
  second.record(7)->notes("new wipers");
  ASSERT_TRUE(second.commit());
  EXPECT_TRUE(second.last_commit().merged);
  expect_store_matches_file(second, log);
  EXPECT_EQ(FileDataSource(log).record(0)->cost(), 25);
  EXPECT_EQ(FileDataSource(log).record(7)->notes(), "new wipers");
  EXPECT_NE(read_file(log).find("# the last one\n<record=7>"), std::string::npos);

  // They insert in the middle and change the end; we change the middle.
  std::string edited = read_file(log);
  edited.insert(edited.find("# the last one"),
                "<record=5>\ndate=1700000000;\nnotes=inserted;\n</record>\n");
  edited.replace(edited.find("# end"), 5, "# END");
  write_file(log, edited);
  first.record(3)->notes("checked");
  ASSERT_TRUE(first.commit());
  expect_store_matches_file(first, log);
  EXPECT_EQ(first.identifiers(), (Ids{0, 3, 5, 7}));
  EXPECT_EQ(first.record(3)->notes(), "checked");
  EXPECT_EQ(read_file(log).substr(read_file(log).size() - 6), "# END\n");

  // Text of theirs that only a whole reading makes sense of: an open block
  // whose notes run into bytes we also have.
  FileDataSource third(log);
  write_file(log, "<record=9>\ndate=1700000000;\nnotes=" + read_file(log));
  third.record(7)->cost(10);
  stderr_capture quiet;
  ASSERT_TRUE(third.commit());
  expect_store_matches_file(third, log);
}

TEST_F(OtherWriters, ProcessesCommittingInALoopKeepEveryEntry) {
  constexpr int kProcesses = 4;
  constexpr int kCommits = 25;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      FileDataSource store(log);
      for (int c = 0; c < kCommits; ++c) {
        add(store, std::to_string(p) + "/" + std::to_string(c));
        if (!store.commit()) _exit(1);
      }
      _exit(0);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const std::vector<std::string> notes = notes_in(log);
  const std::set<std::string> distinct(notes.begin(), notes.end());
  EXPECT_EQ(notes.size(), 2u + kProcesses * kCommits);
  EXPECT_EQ(distinct.size(), notes.size());
  for (int p = 0; p < kProcesses; ++p) {
    for (int c = 0; c < kCommits; ++c) {
      EXPECT_EQ(distinct.count(std::to_string(p) + "/" + std::to_string(c)), 1u) << p << "/" << c;
    }
  }
  FileDataSource store(log);
  const Ids ids = store.identifiers();
  EXPECT_EQ(std::set<int>(ids.begin(), ids.end()).size(), ids.size());
}

// A rename after which another program at once puts its own file at the
// target, as an editor saving in that very moment would.
std::string editor_text;
int rename_then_editor_saves(const char* from, const char* to) {
  const int result = real_system_calls().rename(from, to);
  if (result == 0 && !editor_text.empty()) {
    const std::string theirs = std::string(to) + ".editor";
    write_file(theirs, editor_text);
    editor_text.clear();
    if (::rename(theirs.c_str(), to) != 0) ADD_FAILURE() << "the editor could not save";
  }
  return result;
}

TEST_F(OtherWriters, AFileSavedByAnotherProgramRightAfterACommitIsSeen) {
  FileDataSource store(log);
  store.record(0)->notes("ours");
  system_calls calls = real_system_calls();
  calls.rename = &rename_then_editor_saves;
  editor_text = std::string(testing::kExampleLog) + "<record=8>\noperation=By hand;\n</record>\n";
  const system_calls previous = replace_system_calls(calls);
  const bool committed = store.commit();
  replace_system_calls(previous);
  ASSERT_TRUE(committed);
  EXPECT_TRUE(store.changed_on_disk(false)) << "the editor's file passed for ours";
  // The next commit takes the editor's record in rather than writing over it.
  store.record(3)->notes("ours too");
  ASSERT_TRUE(store.commit());
  EXPECT_EQ(FileDataSource(log).identifiers(), (Ids{0, 3, 8}));
}

}  // namespace
}  // namespace tarvik
