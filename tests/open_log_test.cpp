// The open log without a window: a view that records what it is told and
// answers the questions as the test says.
#include "ui/open_log.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QUndoStack>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "data/file_data_source.h"
#include "insight/due_file.h"
#include "support/failing_calls.h"
#include "support/home.h"
#include "support/test_support.h"
#include "support/ui_support.h"
#include "ui/recent_logs.h"

namespace tarvik {
namespace {

using testing::call;
using testing::failing_calls;
using testing::read_file;
using testing::scoped_home;
using testing::stderr_capture;
using testing::write_file;
using Ids = std::vector<int>;

class recorded_view : public log_view {
 public:
  bool show_change(const record_change& change) override {
    changes.push_back(change);
    return true;
  }
  void show_records() override { ++records_shown; }
  void show_new_log() override { ++new_logs; }
  void show_intervals() override { ++intervals_shown; }
  void show_unsaved(bool unsaved) override { unsaved_shown = unsaved; }
  void say(const QString& text, int) override { said << text; }
  void warn(const QString& text) override { warnings << text; }
  bool retry_save(const QString&, const QString& reason) override {
    retry_reasons << reason;
    return false;
  }
  closing_choice ask_leaving(const QString& path, const QString&, leaving) override {
    asked_leaving << path;
    return leaving_answer;
  }
  void tell_copy_kept(const QString&, const QString& copy, bool, const QStringList&) override {
    copies << copy;
  }
  void tell_unusable(const QString&, const QString& reason, bool) override { unusable << reason; }
  void show_problems(const QString&, const std::vector<log_problem>& problems, bool) override {
    problem_lists.push_back(problems.size());
  }

  std::vector<record_change> changes;
  int records_shown = 0;
  int new_logs = 0;
  int intervals_shown = 0;
  bool unsaved_shown = false;
  QStringList said;
  QStringList warnings;
  QStringList retry_reasons;
  QStringList asked_leaving;
  closing_choice leaving_answer = closing_choice::stay;
  QStringList copies;
  QStringList unusable;
  std::vector<std::size_t> problem_lists;
};

record_values fuel(double mileage) { return {1031097600, mileage, "Fuel", "", 40.0f, {}}; }

// Another writer: adds an entry to the file as a second window would.
void add_elsewhere(const std::string& log, double mileage) {
  FileDataSource other(log);
  auto record = std::make_unique<Record>(other.next_id());
  set_values(*record, fuel(mileage));
  other.insert(other.identifiers().size(), record.release());
  ASSERT_TRUE(other.commit());
}

class OpenLog : public ::testing::Test {
 protected:
  OpenLog() { write_file(home.log(), testing::kExampleLog); }

  scoped_home home;
  recorded_view view;
};

TEST_F(OpenLog, ReadsTheLogAndItsIntervalsAndSavesEachStepOfTheUndoHistory) {
  write_file(home.dir().file("tarvik.due.txt"),
             "<interval=0>\noperation=Oil change;\ndistance=15000;\n</interval>\n");
  open_log log({}, view, nullptr);
  EXPECT_EQ(log.path(), home.log());
  EXPECT_EQ(log.file_store().identifiers(), (Ids{0, 3}));
  ASSERT_EQ(log.intervals().intervals().size(), 1u);
  EXPECT_EQ(log.intervals().intervals()[0].operation, "Oil change");
  EXPECT_EQ(recent_logs::list().value(0), QString::fromStdString(home.log()));

  log.undo_stack().push(new new_record_command(log, 4, fuel(60000)));
  ASSERT_EQ(view.changes.size(), 1u);
  EXPECT_EQ(view.changes[0].what, record_change::kind::added);
  EXPECT_EQ(FileDataSource(home.log()).identifiers(), (Ids{0, 3, 4}));
  EXPECT_FALSE(log.unsaved());

  log.undo_stack().undo();
  EXPECT_EQ(view.changes.back().what, record_change::kind::removed);
  EXPECT_EQ(read_file(home.log()), testing::kExampleLog);
  EXPECT_TRUE(view.said.isEmpty()) << view.said.join(QLatin1Char('|')).toStdString();
}

TEST_F(OpenLog, AFailedSaveLeavesTheChangeUnsavedUntilACommitWritesIt) {
  open_log log({}, view, nullptr);
  {
    failing_calls fault(call::write, ENOSPC);
    stderr_capture quiet;
    log.undo_stack().push(new delete_record_command(log, 0, values_of(*log.store().record(0)), 0));
  }
  EXPECT_EQ(view.retry_reasons.size(), 1);
  EXPECT_TRUE(view.retry_reasons[0].contains(QString::fromUtf8(std::strerror(ENOSPC))))
      << view.retry_reasons[0].toStdString();
  EXPECT_TRUE(log.unsaved());
  EXPECT_TRUE(view.unsaved_shown);
  EXPECT_EQ(log.file_store().identifiers(), Ids{3}) << "the change stays in the store";
  EXPECT_EQ(read_file(home.log()), testing::kExampleLog);

  // Leaving asks while unsaved: staying keeps everything; trying again saves.
  EXPECT_FALSE(log.may_leave(leaving::closing));
  EXPECT_TRUE(log.unsaved());
  view.leaving_answer = closing_choice::save_again;
  EXPECT_TRUE(log.may_leave(leaving::closing));
  EXPECT_EQ(view.asked_leaving.size(), 2);
  EXPECT_FALSE(log.unsaved());
  EXPECT_FALSE(view.unsaved_shown);
  EXPECT_EQ(FileDataSource(home.log()).identifiers(), Ids{3});
}

TEST_F(OpenLog, AnotherWritersChangeIsShownOrMergedByTheNextSave) {
  open_log log({}, view, nullptr);
  // Nothing waits to be saved: the log is read again and shown.
  add_elsewhere(home.log(), 60000);
  log.look_at_file(true);
  EXPECT_EQ(view.records_shown, 1);
  EXPECT_EQ(log.file_store().identifiers(), (Ids{0, 3, 4}));

  // A change waits to be saved: theirs is left for the save to merge.
  {
    failing_calls fault(call::write, EIO);
    stderr_capture quiet;
    log.undo_stack().push(new new_record_command(log, 5, fuel(61000)));
  }
  ASSERT_TRUE(log.unsaved());
  add_elsewhere(home.log(), 62000);
  log.look_at_file(true);
  EXPECT_EQ(view.records_shown, 1);
  EXPECT_EQ(log.file_store().identifiers(), (Ids{0, 3, 4, 5}));
  EXPECT_TRUE(view.said.back().contains(QStringLiteral("next save merges it")));

  log.commit();
  EXPECT_FALSE(log.unsaved());
  EXPECT_EQ(view.records_shown, 2) << "the merged log is shown";
  EXPECT_EQ(FileDataSource(home.log()).identifiers().size(), 5u);
  EXPECT_EQ(log.file_store().identifiers().size(), 5u);
}

TEST_F(OpenLog, ItsWatcherNoticesAnotherWritersSave) {
  open_log log({}, view, nullptr);
  add_elsewhere(home.log(), 60000);
  EXPECT_TRUE(QTest::qWaitFor([&] { return view.records_shown > 0; }, 5000));
  EXPECT_EQ(log.file_store().identifiers(), (Ids{0, 3, 4}));
}

TEST_F(OpenLog, TurnsToAnotherLogWithItsOwnIntervalsAndNoUndoSteps) {
  const std::string van = home.dir().file("van.txt");
  write_file(van, "<record=7>\noperation=Brakes;\n</record>\n");
  write_file(home.dir().file("van.due.txt"), "<interval=0>\noperation=Brakes;\nmonths=24;\n</interval>\n");
  open_log log({}, view, nullptr);
  log.undo_stack().push(new new_record_command(log, 4, fuel(60000)));

  // The log open already: nothing is read again, and the steps stay.
  EXPECT_TRUE(log.open(QString::fromStdString(home.log()), false));
  EXPECT_EQ(log.undo_stack().count(), 1);
  EXPECT_EQ(view.new_logs, 0);

  // A log that cannot be read is not turned to.
  const std::string folder = home.dir().file("folder.txt");
  std::filesystem::create_directory(folder);
  {
    stderr_capture quiet;
    EXPECT_FALSE(log.open(QString::fromStdString(folder), false));
  }
  EXPECT_EQ(view.warnings.size(), 1);
  EXPECT_EQ(log.path(), home.log());

  EXPECT_TRUE(log.open(QString::fromStdString(van), false));
  EXPECT_EQ(view.new_logs, 1);
  EXPECT_EQ(log.path(), van);
  EXPECT_EQ(log.file_store().identifiers(), Ids{7});
  EXPECT_EQ(log.undo_stack().count(), 0);
  ASSERT_EQ(log.intervals().intervals().size(), 1u);
  EXPECT_EQ(log.intervals().intervals()[0].operation, "Brakes");
  EXPECT_EQ(recent_logs::list().value(0), QString::fromStdString(van));
  EXPECT_TRUE(view.asked_leaving.isEmpty()) << "nothing was unsaved";
}

TEST_F(OpenLog, AChangeNotSavedKeepsTheLogUnlessTheUserLetsItGo) {
  const std::string van = home.dir().file("van.txt");
  write_file(van, "<record=7>\noperation=Brakes;\n</record>\n");
  open_log log({}, view, nullptr);
  {
    failing_calls fault(call::write, EIO);
    stderr_capture quiet;
    log.undo_stack().push(new new_record_command(log, 4, fuel(60000)));
  }
  view.leaving_answer = closing_choice::stay;
  EXPECT_FALSE(log.open(QString::fromStdString(van), false));
  EXPECT_EQ(log.path(), home.log());
  EXPECT_TRUE(log.unsaved());

  view.leaving_answer = closing_choice::discard;
  EXPECT_TRUE(log.open(QString::fromStdString(van), false));
  EXPECT_EQ(log.path(), van);
  EXPECT_FALSE(log.unsaved());
  EXPECT_FALSE(view.unsaved_shown);
  EXPECT_EQ(read_file(home.log()), testing::kExampleLog);
}

}  // namespace
}  // namespace tarvik
