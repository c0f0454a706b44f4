#include "data/file_data_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <sys/stat.h>

#include "support/failing_calls.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

using testing::read_file;
using testing::stderr_capture;
using testing::temp_dir;
using testing::write_file;
using Ids = std::vector<int>;
using Lines = std::vector<std::string>;

class FileDataSourceTest : public ::testing::Test {
 protected:
  std::unique_ptr<FileDataSource> open_store(Lines* messages = nullptr) {
    stderr_capture capture;
    auto store = std::make_unique<FileDataSource>(log);
    const Lines lines = capture.lines();
    if (messages != nullptr) *messages = lines;
    else EXPECT_TRUE(lines.empty()) << lines.front();
    return store;
  }

  temp_dir dir;
  std::string log = dir.file("tarvik.txt");
};

TEST_F(FileDataSourceTest, AMissingFileIsAnEmptyLog) {
  auto store = open_store();
  EXPECT_TRUE(store->identifiers().empty());
  EXPECT_EQ(store->next_id(), 0);
  EXPECT_EQ(store->next_id(), 1);
  EXPECT_EQ(store->next_id(), 2);
  EXPECT_TRUE(store->commit());
  EXPECT_EQ(read_file(log), "");
}

TEST_F(FileDataSourceTest, AnUnreadableFileIsReportedAndNeverOverwritten) {
  write_file(log, testing::kExampleLog);
  Lines messages;
  std::unique_ptr<FileDataSource> store;
  {
    testing::failing_calls unreadable(testing::call::open_read, EACCES);
    store = open_store(&messages);
    EXPECT_EQ(messages, Lines{"Error opening " + log + ": " + strerror(EACCES)});
    EXPECT_TRUE(store->identifiers().empty());
    store->record(new Record(store->next_id()));
    stderr_capture capture;
    EXPECT_FALSE(store->commit());
    EXPECT_EQ(capture.lines(),
              Lines{"Error opening " + log + " for commit: " + strerror(EACCES)});
    EXPECT_EQ(read_file(log), testing::kExampleLog);
  }
  // Once the file can be read, it is saved aside, and what it holds is
  // kept: the new record joins it under an identifier of its own.
  stderr_capture capture;
  EXPECT_TRUE(store->commit());
  EXPECT_EQ(capture.lines().size(), 1u);
  EXPECT_EQ(read_file(log + ".bak"), testing::kExampleLog);
  EXPECT_EQ(FileDataSource(log).identifiers(), (std::vector<int>{0, 3, 4}));
}

TEST_F(FileDataSourceTest, LooksUpAddsAndHandsOutIdentifiers) {
  write_file(log, testing::kExampleLog);
  auto store = open_store();
  EXPECT_EQ(store->identifiers(), (Ids{0, 3}));
  ASSERT_NE(store->record(3), nullptr);
  EXPECT_EQ(store->record(3)->operation(), "Tyres");
  EXPECT_EQ(store->record(1), nullptr);
  EXPECT_EQ(store->next_id(), 4);
  EXPECT_EQ(store->next_id(), 5);
  store->record(static_cast<Record*>(nullptr));
  EXPECT_EQ(store->identifiers(), (Ids{0, 3}));
}

TEST_F(FileDataSourceTest, RemoveHandsTheRecordOverAndCommitDropsIt) {
  write_file(log, testing::kExampleLog);
  auto store = open_store();
  EXPECT_EQ(store->remove(9), nullptr);
  const std::unique_ptr<Record> removed(store->remove(0));
  ASSERT_NE(removed, nullptr);
  EXPECT_EQ(removed->operation(), "Oil change");
  EXPECT_EQ(store->identifiers(), Ids{3});
  EXPECT_EQ(store->record(0), nullptr);
  EXPECT_EQ(read_file(log), testing::kExampleLog);
  EXPECT_TRUE(store->commit());
  const std::string example = testing::kExampleLog;
  EXPECT_EQ(read_file(log), example.substr(example.find("<record=3>")));
  // The removed identifier is not handed out again.
  EXPECT_EQ(store->next_id(), 4);
}

TEST_F(FileDataSourceTest, CommitRewritesAReadFileByteForByteAndAppendsNewRecords) {
  write_file(log, testing::kExampleLog);
  auto store = open_store();
  ASSERT_TRUE(store->commit());
  EXPECT_EQ(read_file(log), testing::kExampleLog);

  auto* added = new Record(store->next_id());
  added->setup(4, 1041379200, 60000, "Inspection", "ok", 45);
  store->record(added);
  ASSERT_TRUE(store->commit());
  EXPECT_EQ(read_file(log), std::string(testing::kExampleLog) +
                                "<record=4>\ncost=45;\noperation=Inspection;\ndate=1041379200;\n"
                                "mileage=60000;\nnotes=ok;\n</record>\n");
}

TEST_F(FileDataSourceTest, CommitOfAnEmptyStoreEmptiesTheFile) {
  write_file(log, testing::kExampleLog);
  auto store = open_store();
  delete store->remove(0);
  delete store->remove(3);
  ASSERT_TRUE(store->commit());
  EXPECT_EQ(read_file(log), "");
}

TEST_F(FileDataSourceTest, RollbackRestoresTheFileOrReportsItsAbsence) {
  write_file(log, testing::kExampleLog);
  auto store = open_store();
  delete store->remove(0);
  store->record(new Record(store->next_id()));
  store->rollback();
  EXPECT_EQ(store->identifiers(), (Ids{0, 3}));
  EXPECT_EQ(store->next_id(), 4);

  auto empty = std::make_unique<FileDataSource>(dir.file("absent.txt"));
  EXPECT_EQ(empty->next_id(), 0);
  stderr_capture capture;
  empty->rollback();
  EXPECT_EQ(capture.lines(), Lines{"Error opening " + dir.file("absent.txt") +
                                   " for rollback " + strerror(ENOENT)});
  EXPECT_TRUE(empty->identifiers().empty());
  EXPECT_EQ(empty->next_id(), 1);
}

TEST_F(FileDataSourceTest, NegativeAndRepeatedIdentifiersAreRenumbered) {
  write_file(log,
             "<record=5>\nnotes=a;\n</record>\n<record=-1>\nnotes=b;\n</record>\n"
             "<record=5>\nnotes=c;\n</record>\n<record=2>\nnotes=d;\n</record>\n");
  Lines messages;
  auto store = open_store(&messages);
  EXPECT_EQ(messages, (Lines{"Renumbered record -1 of " + log + " to 6 (negative identifier)",
                             "Renumbered record 5 of " + log + " to 7 (identifier used before)"}));
  EXPECT_EQ(store->identifiers(), (Ids{5, 6, 7, 2}));
  EXPECT_EQ(store->record(6)->notes(), "b");
  EXPECT_EQ(store->record(7)->notes(), "c");
  EXPECT_EQ(store->next_id(), 8);
  ASSERT_TRUE(store->commit());
  // What was written reads back without a word.
  auto again = open_store();
  EXPECT_EQ(again->identifiers(), (Ids{5, 6, 7, 2}));
}

TEST_F(FileDataSourceTest, RecordsAddedWithATakenIdentifierQueueBehindTheFirst) {
  auto store = open_store();
  auto* first = new Record(1);
  auto* second = new Record(1);
  store->record(first);
  store->record(second);
  EXPECT_EQ(store->record(1), first);
  EXPECT_EQ(store->remove(1), first);
  EXPECT_EQ(store->record(1), second);
  EXPECT_EQ(store->identifiers(), Ids{1});
  delete first;
}

TEST_F(FileDataSourceTest, InsertPutsARemovedRecordBackWhereItStood) {
  write_file(log, testing::kExampleLog);
  auto store = open_store();
  Record* removed = store->remove(0);
  store->insert(0, removed);
  EXPECT_EQ(store->identifiers(), (Ids{0, 3}));
  EXPECT_EQ(store->record(0), removed);
  ASSERT_TRUE(store->commit());
  EXPECT_EQ(read_file(log), testing::kExampleLog);
  // Past the end means at the end; a taken identifier inserted in front
  // becomes the first one found.
  auto* last = new Record(7);
  store->insert(99, last);
  auto* front = new Record(3);
  store->insert(0, front);
  EXPECT_EQ(store->identifiers(), (Ids{3, 0, 3, 7}));
  EXPECT_EQ(store->record(3), front);
  EXPECT_EQ(store->record(7), last);
}

// A hand-written log: comments above and inside blocks, an item no field
// takes, keys with blanks, an escaped text, blank lines between blocks, CR
// LF in one block and a last block without its line end.
const char* const kWrittenLog =
    "# my car\n"
    "\n"
    "# the good oil\n"
    "<record=0>\n"
    " operation = Oil change;\n"
    "# asked for 5W-30\n"
    "cost=24.50;\n"
    "shop=Bob's;\n"
    "date=1020211200;\n"
    "mileage=45210;\n"
    "notes*=a%3Bb;\n"
    "</record>\n"
    "\n"
    "\n"
    "# tyres, before winter\n"
    "<record=3>\r\n"
    "date=1031097600;\r\n"
    "operation=Tyres;\r\n"
    "</record>\r\n"
    "<record=5>\n"
    "date=1041097600;\n"
    "operation=Wash;\n"
    "</record>";

TEST_F(FileDataSourceTest, ATakenRecordPutBackIsWrittenAsItStood) {
  for (const int id : {0, 3, 5}) {
    for (const bool commit_between : {false, true}) {
      SCOPED_TRACE("record " + std::to_string(id) + (commit_between ? ", committed between" : ""));
      write_file(log, kWrittenLog);
      auto store = open_store();
      const Ids ids = store->identifiers();
      const auto position = static_cast<std::size_t>(std::find(ids.begin(), ids.end(), id) - ids.begin());
      taken_record taken = store->take(id);
      ASSERT_NE(taken.record, nullptr);
      if (commit_between) {
        ASSERT_TRUE(store->commit());
        EXPECT_EQ(FileDataSource(log).record(id), nullptr);
      }
      store->put_back(position, std::move(taken), id);
      EXPECT_EQ(store->identifiers(), ids);
      ASSERT_TRUE(store->commit());
      EXPECT_EQ(read_file(log), kWrittenLog);
      // And again, from the text that commit wrote.
      taken = store->take(id);
      ASSERT_TRUE(store->commit());
      store->put_back(position, std::move(taken), id);
      ASSERT_TRUE(store->commit());
      EXPECT_EQ(read_file(log), kWrittenLog);
    }
  }
}

TEST_F(FileDataSourceTest, APutBackRecordUnderAnotherNumberOrChangedKeepsItsComments) {
  write_file(log, kWrittenLog);
  auto store = open_store();
  taken_record taken = store->take(0);
  ASSERT_TRUE(store->commit());
  // Its number went to another record meanwhile.
  store->record(new Record(0));
  store->put_back(0, std::move(taken), 9);
  ASSERT_TRUE(store->commit());
  std::string expected = kWrittenLog;
  expected.replace(expected.find("<record=0>"), 10, "<record=9>");
  const std::string added = "<record=0>\n";
  const std::string text = read_file(log);
  ASSERT_EQ(text.substr(0, expected.size()), expected);
  EXPECT_EQ(text.substr(expected.size(), added.size() + 1), "\n" + added);

  // Changed while out of the store: written anew, with its comments.
  taken = store->take(9);
  ASSERT_TRUE(store->commit());
  taken.record->cost(30);
  store->put_back(0, std::move(taken), 9);
  ASSERT_TRUE(store->commit());
  FileDataSource again(log);
  ASSERT_NE(again.record(9), nullptr);
  EXPECT_EQ(again.record(9)->cost(), 30.0f);
  EXPECT_EQ(again.record(9)->notes(), "a;b");
  const std::string rewritten = read_file(log);
  EXPECT_EQ(rewritten.find("# my car\n\n# the good oil\n<record=9>\n"), 0u) << rewritten;
  EXPECT_NE(rewritten.find("# asked for 5W-30\n"), std::string::npos) << rewritten;
  EXPECT_NE(rewritten.find("shop=Bob's;\n"), std::string::npos) << rewritten;
}

TEST_F(FileDataSourceTest, APutBackRecordKeepsItsTextThroughAMerge) {
  write_file(log, kWrittenLog);
  auto store = open_store();
  taken_record taken = store->take(3);
  ASSERT_TRUE(store->commit());
  store->put_back(1, std::move(taken), 3);
  // Another writer adds a record before this store saves.
  write_file(log, read_file(log) + "<record=7>\ndate=1051097600;\n</record>\n");
  ASSERT_TRUE(store->commit());
  EXPECT_TRUE(store->last_commit().merged);
  const std::string text = read_file(log);
  EXPECT_NE(text.find("# tyres, before winter\n<record=3>\r\ndate=1031097600;\r\noperation=Tyres;\r\n"
                      "</record>\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("<record=7>"), std::string::npos) << text;

  // Put back before any save: still the record the file holds, not one
  // added beside it.
  write_file(log, kWrittenLog);
  store = open_store();
  taken = store->take(3);
  store->put_back(1, std::move(taken), 3);
  const std::string seven = "<record=7>\ndate=1051097600;\n</record>\n";
  write_file(log, std::string(kWrittenLog) + "\n" + seven);
  ASSERT_TRUE(store->commit());
  EXPECT_TRUE(store->last_commit().merged);
  EXPECT_EQ(read_file(log), std::string(kWrittenLog) + "\n" + seven);
}

TEST_F(FileDataSourceTest, ABlockGivenBackIsWrittenWhileTheRecordHoldsItsValues) {
  write_file(log, kWrittenLog);
  auto store = open_store();
  const std::shared_ptr<const removed_text> as_written = store->text_of(0);
  ASSERT_NE(as_written, nullptr);
  store->record(0)->cost(30);
  EXPECT_EQ(store->text_of(0), nullptr) << "changed since it was read";
  ASSERT_TRUE(store->commit());
  const std::string changed = read_file(log);

  // Values that are not the block's: nothing given back.
  store->record(0)->cost(31);
  store->give_back_text(0, as_written);
  ASSERT_TRUE(store->commit());
  EXPECT_NE(read_file(log).find("cost=31;"), std::string::npos);

  store->record(0)->cost(24.5f);
  store->give_back_text(0, as_written);
  EXPECT_TRUE(store->has_unsaved_changes());
  ASSERT_TRUE(store->commit());
  EXPECT_EQ(read_file(log), kWrittenLog);
  EXPECT_FALSE(store->has_unsaved_changes());

  // Given back, then taken and put back before a save.
  store->record(0)->cost(30);
  ASSERT_TRUE(store->commit());
  store->record(0)->cost(24.5f);
  store->give_back_text(0, as_written);
  taken_record taken = store->take(0);
  store->put_back(0, std::move(taken), 0);
  ASSERT_TRUE(store->commit());
  EXPECT_EQ(read_file(log), kWrittenLog);

  // Given back, then changed again before a save: written anew, comments kept.
  store->record(0)->cost(30);
  ASSERT_TRUE(store->commit());
  store->record(0)->cost(24.5f);
  store->give_back_text(0, as_written);
  store->record(0)->cost(30);
  ASSERT_TRUE(store->commit());
  EXPECT_EQ(read_file(log), changed);

  // Given back while another writer changed the log: the values stand.
  store->record(0)->cost(24.5f);
  store->give_back_text(0, as_written);
  std::string theirs = read_file(log);
  theirs.replace(theirs.find("operation=Wash;"), 15, "operation=Wash and wax;");
  theirs.insert(0, "# a blue one\n");
  write_file(log, theirs);
  ASSERT_TRUE(store->commit());
  EXPECT_TRUE(store->last_commit().merged);
  FileDataSource merged(log);
  ASSERT_NE(merged.record(0), nullptr);
  EXPECT_EQ(merged.record(0)->cost(), 24.5f);
  EXPECT_EQ(merged.record(5)->operation(), "Wash and wax");
  EXPECT_EQ(read_file(log).find("# a blue one\n# my car\n"), 0u);
}

TEST_F(FileDataSourceTest, IdentifiersGoOnAfterTheLargestInt) {
  write_file(log, "<record=2147483647>\n</record>\n<record=0>\n</record>\n");
  auto store = open_store();
  const int a = store->next_id();
  const int b = store->next_id();
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
}

TEST_F(FileDataSourceTest, AStoreThatLosesARecordRefusesToCommit) {
  // A store whose lookup fails on demand.
  class losing_store : public FileDataSource {
   public:
    using FileDataSource::FileDataSource;
    using FileDataSource::record;
    Record* record(int identifier) override {
      return identifier == 3 ? nullptr : FileDataSource::record(identifier);
    }
  };
  write_file(log, testing::kExampleLog);
  losing_store store(log);
  delete store.remove(0);
  stderr_capture capture;
  EXPECT_FALSE(store.commit());
  EXPECT_EQ(capture.lines(), Lines{"Error fetching record."});
  EXPECT_EQ(read_file(log), testing::kExampleLog);
  EXPECT_EQ(dir.entries(), Lines{"tarvik.txt"});
}

TEST_F(FileDataSourceTest, AnIncompleteReadingIsBackedUpBeforeTheFirstCommit) {
  const std::string broken = std::string(testing::kExampleLog) + "<record=7>\n</Record>\n";
  write_file(log, broken);
  write_file(log + ".bak", "an older backup");
  Lines messages;
  auto store = open_store(&messages);
  EXPECT_EQ(messages, Lines{"malformed close tag for record: </Record>"});
  EXPECT_EQ(store->identifiers(), (Ids{0, 3, 7}));
  delete store->remove(7);
  {
    stderr_capture capture;
    ASSERT_TRUE(store->commit());
    EXPECT_EQ(capture.lines(), Lines{"Saved a copy of " + log + " as " + log +
                                     ".bak.1 before rewriting it"});
  }
  EXPECT_EQ(read_file(log + ".bak.1"), broken);
  EXPECT_EQ(read_file(log + ".bak"), "an older backup");
  EXPECT_EQ(read_file(log), testing::kExampleLog);
  // Only once: the file now holds what the store holds.
  stderr_capture capture;
  ASSERT_TRUE(store->commit());
  EXPECT_TRUE(capture.lines().empty());
  EXPECT_EQ(dir.entries(), (Lines{"tarvik.txt", "tarvik.txt.bak", "tarvik.txt.bak.1"}));
}

// The file after each commit is the one a store that wrote every block
// anew would write, whether the kept text was edited in place (few changes)
// or built anew (many), so the next commit copies from the right bytes.
// A commit makes what it wrote the values a record's changes are told by:
// going back to the values before it is a change to write, and a change
// undone before the commit is none.
TEST_F(FileDataSourceTest, ValuesSetBackAcrossACommitAreWrittenAndWithinOneAreNot) {
  write_file(log, testing::kExampleLog);
  auto store = open_store();
  Record* record = store->record(3);
  const double was = record->mileage();
  record->mileage(was + 1);
  ASSERT_TRUE(store->commit());
  record->mileage(was);
  ASSERT_TRUE(store->commit());
  EXPECT_EQ(read_file(log), testing::kExampleLog);

  const std::string notes = record->notes();
  record->notes("for a while");
  record->notes(notes);
  ASSERT_TRUE(store->commit());
  EXPECT_EQ(read_file(log), testing::kExampleLog);
  record->mileage(was + 2);
  ASSERT_TRUE(store->commit());
  record->mileage(was);
  ASSERT_TRUE(store->commit());
  EXPECT_EQ(read_file(log), testing::kExampleLog);
}

TEST_F(FileDataSourceTest, EveryCommitCopiesFromTheTextItWroteLast) {
  std::string text = "# kept\n\n";
  for (int id = 0; id < 40; ++id) {
    text += "<record=" + std::to_string(id) + ">\ncost=1;\noperation=Op;\ndate=" +
            std::to_string(1000000 + id) + ";\nmileage=" + std::to_string(id) + ";\nnotes=;\n</record>\n";
    if (id % 7 == 0) text += "# after " + std::to_string(id) + "\n";
  }
  write_file(log, text);
  auto store = open_store();
  std::uint32_t seed = 12345;
  const auto next = [&seed](std::uint32_t range) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % range;
  };
  for (int round = 0; round < 60; ++round) {
    const Ids ids = store->identifiers();
    // One change, a handful, or many: both ways of keeping the text.
    const std::uint32_t changes = round % 3 == 0 ? 1 : round % 3 == 1 ? 3 : 12;
    for (std::uint32_t k = 0; k < changes && !ids.empty(); ++k) {
      const int id = ids[next(static_cast<std::uint32_t>(ids.size()))];
      switch (next(4)) {
        case 0:
          if (Record* record = store->record(id)) record->notes(std::string(next(30), 'n'));
          break;
        case 1:
          delete store->remove(id);
          break;
        case 2: {
          auto* added = new Record(store->next_id());
          added->setup(added->identifier(), 2000000, next(1000), "Added", "", 2);
          store->insert(next(static_cast<std::uint32_t>(ids.size()) + 1), added);
          break;
        }
        default:
          if (Record* record = store->record(id)) record->mileage(record->mileage() + 0.5);
          break;
      }
    }
    ASSERT_TRUE(store->commit());
    // A store reading the file finds what this one holds. (It only reads:
    // a commit of its own would make the next one here merge, reading the
    // file instead of copying from the kept text.)
    auto again = open_store();
    ASSERT_EQ(again->identifiers(), store->identifiers()) << "round " << round;
    for (const int id : store->identifiers()) {
      ASSERT_TRUE(again->record(id)->same_fields(*store->record(id))) << "round " << round;
    }
    ASSERT_FALSE(store->last_commit().merged);
  }
  EXPECT_EQ(read_file(log).substr(0, 7), "# kept\n");
}

}  // namespace
}  // namespace tarvik
