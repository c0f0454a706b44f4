// The undoable commands against a store that changes under them, as when
// the window takes in another writer's changes: records replaced by equal
// ones, renumbered, changed or removed.
#include <gtest/gtest.h>

#include <QUndoStack>
#include <memory>
#include <vector>

#include "data/file_data_source.h"
#include "support/test_support.h"
#include "ui/record_commands.h"

namespace tarvik {
namespace {

using Ids = std::vector<int>;

class fake_log : public record_log {
 public:
  explicit fake_log(const std::string& path) : source(path) {}
  DataSource& store() override { return source; }
  void changed(const record_change& change) override { changes.push_back(change); }
  void changed_many() override { ++many; }
  void refused(const QString& why) override { refusals.push_back(why); }

  FileDataSource source;
  std::vector<record_change> changes;
  std::vector<QString> refusals;
  int many = 0;
};

record_values values(double mileage, const char* operation) {
  return {1031097600, mileage, operation, "", 1.5f, {}};
}

// Replaces record `from` by an equal one under identifier `to`, where it stood.
void renumber(DataSource& store, int from, int to) {
  const Ids ids = store.identifiers();
  const auto position = static_cast<std::size_t>(std::find(ids.begin(), ids.end(), from) - ids.begin());
  std::unique_ptr<Record> old(store.remove(from));
  auto copy = std::make_unique<Record>(to);
  set_values(*copy, values_of(*old));
  store.insert(position, copy.release());
}

class RecordUndo : public ::testing::Test {
 protected:
  RecordUndo() : log(dir.file("tarvik.txt")) {
    testing::write_file(dir.file("tarvik.txt"), testing::kExampleLog);
    log.source.rollback();
  }
  testing::temp_dir dir;
  fake_log log;
  QUndoStack stack;
};

TEST_F(RecordUndo, StepsFindTheirRecordByValuesOnceItIsRenumbered) {
  stack.push(new new_record_command(log, 4, values(100, "Battery")));
  stack.push(new edit_record_command(log, 4, values(100, "Battery"), values(200, "Battery")));
  EXPECT_EQ(log.source.identifiers(), (Ids{0, 3, 4}));
  renumber(log.source, 4, 9);

  stack.undo();
  ASSERT_NE(log.source.record(9), nullptr);
  EXPECT_EQ(log.source.record(9)->mileage(), 100.0);
  stack.undo();
  EXPECT_EQ(log.source.identifiers(), (Ids{0, 3}));
  EXPECT_EQ(log.changes.back().what, record_change::kind::removed);
  EXPECT_EQ(log.changes.back().position, 2u);
  EXPECT_TRUE(log.refusals.empty());

  // Redone, the record comes back where it stood, under its last number.
  stack.redo();
  EXPECT_EQ(log.source.identifiers(), (Ids{0, 3, 9}));

  // Removed elsewhere, with a twin the user had before: Undo of New takes
  // nothing rather than the twin.
  auto twin = std::make_unique<Record>(1);
  set_values(*twin, values(100, "Battery"));
  log.source.insert(0, twin.release());
  std::unique_ptr<Record> gone(log.source.remove(9));
  stack.undo();
  EXPECT_EQ(log.source.identifiers(), (Ids{1, 0, 3}));
  ASSERT_EQ(log.refusals.size(), 1u);
}

TEST_F(RecordUndo, ARecordChangedOrRemovedElsewhereIsLeftAloneAndTheStepDropped) {
  Record* tyres = log.source.record(3);
  const record_values before = values_of(*tyres);
  record_values after = before;
  after.notes = "rotated";
  stack.push(new edit_record_command(log, 3, before, after));
  stack.push(new delete_record_command(log, 0, values_of(*log.source.record(0)), 0));
  EXPECT_EQ(log.source.identifiers(), Ids{3});

  log.source.record(3)->notes("changed by someone else");
  stack.undo();  // the delete: puts record 0 back first
  stack.undo();  // the edit: refused
  EXPECT_EQ(log.source.record(3)->notes(), "changed by someone else");
  ASSERT_EQ(log.refusals.size(), 1u);
  EXPECT_TRUE(log.refusals[0].contains("undo Edit")) << log.refusals[0].toStdString();
  EXPECT_EQ(stack.count(), 1) << "the refused step is dropped";
  EXPECT_EQ(log.source.identifiers(), (Ids{0, 3}));

  // A removed record cannot be deleted again; its number is not reused.
  stack.redo();
  EXPECT_EQ(log.source.identifiers(), Ids{3});
  stack.undo();
  std::unique_ptr<Record> gone(log.source.remove(0));
  auto other = std::make_unique<Record>(0);
  log.source.record(other.release());
  stack.redo();
  EXPECT_EQ(log.refusals.size(), 2u);
  EXPECT_EQ(log.source.identifiers(), (Ids{3, 0}));
}

TEST_F(RecordUndo, AnUndoneDeleteTakesAFreshNumberWhenItsOwnIsTaken) {
  stack.push(new delete_record_command(log, 3, values_of(*log.source.record(3)), 1));
  auto taker = std::make_unique<Record>(3);
  log.source.record(taker.release());
  stack.undo();
  const Ids ids = log.source.identifiers();
  ASSERT_EQ(ids.size(), 3u);
  EXPECT_EQ(ids[0], 0);
  EXPECT_NE(ids[1], 3);
  EXPECT_EQ(log.source.record(ids[1])->operation(), "Tyres");
  EXPECT_EQ(log.source.record(3)->operation(), "not specified");
}

std::vector<record_values> three_imported() {
  return {values(1000, "Fuel"), values(2000, "Oil change"), values(3000, "Fuel")};
}

TEST_F(RecordUndo, AnImportIsOneStepSavedOnceEachWay) {
  stack.push(new import_records_command(log, three_imported()));
  EXPECT_EQ(log.source.identifiers(), (Ids{0, 3, 4, 5, 6}));
  EXPECT_EQ(log.source.record(5)->operation(), "Oil change");
  EXPECT_EQ(log.many, 1);
  EXPECT_TRUE(log.changes.empty()) << "no step a record";
  EXPECT_EQ(stack.undoText(), "Import CSV");

  stack.undo();
  EXPECT_EQ(log.source.identifiers(), (Ids{0, 3}));
  EXPECT_EQ(log.many, 2);
  stack.redo();
  EXPECT_EQ(log.source.identifiers(), (Ids{0, 3, 4, 5, 6}));
  EXPECT_EQ(log.many, 3);
  EXPECT_TRUE(log.refusals.empty());
}

TEST_F(RecordUndo, AnUndoneImportLeavesWhatWasChangedSinceAndFindsWhatWasRenumbered) {
  stack.push(new import_records_command(log, three_imported()));
  log.source.record(5)->notes("changed by someone else");
  renumber(log.source, 6, 9);
  // One the user already had, equal to an imported one: the import's own goes.
  auto twin = std::make_unique<Record>(10);
  set_values(*twin, values(1000, "Fuel"));
  log.source.insert(0, twin.release());

  stack.undo();
  EXPECT_EQ(log.source.identifiers(), (Ids{10, 0, 3, 5}));
  ASSERT_EQ(log.refusals.size(), 1u);
  EXPECT_TRUE(log.refusals[0].contains("left 1 ")) << log.refusals[0].toStdString();
  EXPECT_EQ(stack.count(), 1) << "what it took out can be put back";

  // Redone, only what the undo took out comes back.
  stack.redo();
  EXPECT_EQ(log.source.identifiers(), (Ids{10, 0, 3, 5, 4, 9}));
  EXPECT_EQ(log.source.record(5)->notes(), "changed by someone else");

  // None of it left to take out: the step is refused and dropped.
  for (const int id : {10, 5, 4, 9}) std::unique_ptr<Record> gone(log.source.remove(id));
  stack.undo();
  EXPECT_EQ(log.refusals.size(), 2u);
  EXPECT_TRUE(log.refusals[1].contains("undo Import CSV")) << log.refusals[1].toStdString();
  EXPECT_EQ(stack.count(), 0);
  EXPECT_EQ(log.source.identifiers(), (Ids{0, 3}));
}

TEST_F(RecordUndo, AnUndoneImportNeverTakesARecordTheLogHadBefore) {
  // Re-importing an export: an entry equal to record 0, which the log had.
  const record_values again = values_of(*log.source.record(0));
  stack.push(new import_records_command(log, {again, values(1000, "Fuel")}));
  ASSERT_EQ(log.source.identifiers(), (Ids{0, 3, 4, 5}));
  // The imported copy is removed elsewhere; undo finds it gone and leaves
  // the user's own record alone.
  std::unique_ptr<Record> gone(log.source.remove(4));
  stack.undo();
  EXPECT_EQ(log.source.identifiers(), (Ids{0, 3}));
  ASSERT_EQ(log.refusals.size(), 1u);
  EXPECT_TRUE(log.refusals[0].contains("left 1 ")) << log.refusals[0].toStdString();
}

}  // namespace
}  // namespace tarvik
