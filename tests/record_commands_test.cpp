// New, Edit and Delete triggered through the tool bar, with the dialog
// driven by the test; after each: the table, the store's file and the rows.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QTableWidget>
#include <QToolBar>
#include <filesystem>
#include <memory>

#include "data/file_data_source.h"
#include "support/home.h"
#include "support/test_support.h"
#include "support/ui_support.h"
#include "ui/tarvik.h"

namespace tarvik {
namespace {

using testing::answer_next_editor;
using testing::read_file;
using testing::scoped_home;
using testing::typed_record;
using testing::write_file;
using Ids = std::vector<int>;

class RecordCommands : public ::testing::Test {
 protected:
  void open_window(const std::string& log_text = {}) {
    if (!log_text.empty()) write_file(home.log(), log_text);
    window = std::make_unique<Tarvik>();
    table = window->findChild<QTableWidget*>();
  }

  void trigger(const char* text) {
    for (QAction* action : window->findChild<QToolBar*>()->actions()) {
      if (action->text() == QLatin1String(text)) {
        action->trigger();
        return;
      }
    }
    ADD_FAILURE() << "no action " << text;
  }

  // The identifiers the log file holds now.
  Ids logged_ids() { return FileDataSource(home.log()).identifiers(); }

  QString cell(int row, int column) { return table->item(row, column)->text(); }

  scoped_home home;
  std::unique_ptr<Tarvik> window;
  QTableWidget* table = nullptr;
};

TEST_F(RecordCommands, NewCancelledAddsNothingAndUsesUpTheIdentifier) {
  open_window(testing::kExampleLog);
  answer_next_editor({.notes = QStringLiteral("typed"), .press_ok = false});
  trigger("New");
  EXPECT_EQ(table->rowCount(), 2);
  EXPECT_EQ(window->row_identifiers(), (Ids{0, 3}));
  EXPECT_EQ(read_file(home.log()), testing::kExampleLog);

  answer_next_editor({.notes = QStringLiteral("kept")});
  trigger("New");
  EXPECT_EQ(window->row_identifiers(), (Ids{0, 3, 5})) << "4 went to the cancelled record";
  EXPECT_EQ(logged_ids(), (Ids{0, 3, 5}));
}

TEST_F(RecordCommands, NewUnchangedOrWithOnlyANewDateAddsNothing) {
  open_window();
  answer_next_editor({});
  trigger("New");
  answer_next_editor({.date = QStringLiteral("2001-01-01")});
  trigger("New");
  EXPECT_EQ(table->rowCount(), 0);
  EXPECT_TRUE(window->row_identifiers().empty());
  EXPECT_FALSE(testing::file_exists(home.log()));
}

TEST_F(RecordCommands, NewWithAnyValueChangedIsAppendedAndSaved) {
  open_window(testing::kExampleLog);
  const typed_record changes[] = {
      {.notes = QStringLiteral("only a note")},
      {.mileage = QStringLiteral("1")},
      {.operation = QStringLiteral("Not specified")},  // letter case counts
      {.cost = QStringLiteral("0.5")},
  };
  int expected_id = 4;
  for (const typed_record& typed : changes) {
    answer_next_editor(typed);
    trigger("New");
    ASSERT_EQ(window->row_identifiers().back(), expected_id);
    ++expected_id;
  }
  EXPECT_EQ(table->rowCount(), 6);
  EXPECT_EQ(cell(2, 4), "only a note");
  EXPECT_EQ(cell(3, 0), "1.0");
  EXPECT_EQ(cell(4, 2), "Not specified");
  EXPECT_EQ(cell(5, 3), "0.50");
  EXPECT_EQ(logged_ids(), (Ids{0, 3, 4, 5, 6, 7}));
  EXPECT_FALSE(table->item(5, 3)->flags() & Qt::ItemIsEditable);
}

TEST_F(RecordCommands, EditChangesTheCurrentRowAndTheFile) {
  open_window(testing::kExampleLog);
  table->setCurrentCell(1, 0);
  answer_next_editor({.mileage = QStringLiteral("52000"), .operation = QStringLiteral("Tyres; rotated")});
  trigger("Edit");
  EXPECT_EQ(cell(1, 0), "52000.0");
  EXPECT_EQ(cell(1, 2), "Tyres; rotated");
  EXPECT_EQ(cell(0, 2), "Oil change");
  FileDataSource saved(home.log());
  EXPECT_EQ(saved.record(3)->mileage(), 52000.0);
  EXPECT_EQ(saved.record(3)->operation(), "Tyres; rotated");
}

TEST_F(RecordCommands, EditCancelledOrOnAnEmptyTableChangesNothing) {
  open_window(testing::kExampleLog);
  table->setCurrentCell(0, 0);
  QTableWidgetItem* before = table->item(0, 0);
  answer_next_editor({.mileage = QStringLiteral("1"), .press_ok = false});
  trigger("Edit");
  EXPECT_EQ(table->item(0, 0), before);
  EXPECT_EQ(cell(0, 0), "45210.0");
  EXPECT_EQ(read_file(home.log()), testing::kExampleLog);

  window.reset();
  std::filesystem::remove(home.log());
  open_window();
  trigger("Edit");  // no dialog opens: nothing drives one
  EXPECT_EQ(table->rowCount(), 0);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(RecordCommands, EditConfirmedUnchangedKeepsWhatAnotherWriterAddedMeanwhile) {
  open_window(testing::kExampleLog);
  const std::string edited = std::string(testing::kExampleLog) + "\n# hand-written comment\n";
  write_file(home.log(), edited);
  table->setCurrentCell(0, 1);
  answer_next_editor({});
  trigger("Edit");
  EXPECT_EQ(cell(0, 0), "45210.0");
  EXPECT_EQ(read_file(home.log()), edited);
}

TEST_F(RecordCommands, DeleteRemovesTheCurrentRowAndShiftsTheRest) {
  open_window(testing::kExampleLog);
  answer_next_editor({.notes = QStringLiteral("third")});
  trigger("New");
  table->setCurrentCell(0, 0);
  trigger("Delete");
  EXPECT_EQ(table->rowCount(), 2);
  EXPECT_EQ(cell(0, 2), "Tyres");
  EXPECT_EQ(cell(1, 4), "third");
  EXPECT_EQ(window->row_identifiers(), (Ids{3, 4}));
  EXPECT_EQ(logged_ids(), (Ids{3, 4}));

  table->setCurrentCell(1, 0);
  trigger("Delete");
  EXPECT_EQ(table->rowCount(), 1);
  EXPECT_EQ(cell(0, 2), "Tyres");
  table->setCurrentCell(0, 0);
  trigger("Delete");
  EXPECT_EQ(table->rowCount(), 0);
  EXPECT_TRUE(window->row_identifiers().empty());
  EXPECT_EQ(read_file(home.log()), "");
  trigger("Delete");  // on an empty table: nothing
  EXPECT_EQ(read_file(home.log()), "");
}

TEST_F(RecordCommands, AFailedSaveIsShownAndTheChangeIsSavedLater) {
  const std::string directory = home.dir().file("log-dir");
  std::filesystem::create_directory(directory);
  home.set(directory);
  const std::string log = directory + "/tarvik.txt";
  write_file(log, testing::kExampleLog);
  open_window();
  std::filesystem::remove_all(directory);

  QString warning;
  testing::answer_next_modal([&](QWidget* box) {
    warning = static_cast<QMessageBox*>(box)->text();
    static_cast<QMessageBox*>(box)->accept();
  });
  table->setCurrentCell(0, 0);
  trigger("Delete");
  EXPECT_TRUE(warning.contains(QString::fromStdString(log))) << warning.toStdString();
  EXPECT_TRUE(warning.contains(QStringLiteral("not saved yet"))) << warning.toStdString();
  EXPECT_EQ(table->rowCount(), 1);
  EXPECT_EQ(window->row_identifiers(), Ids{3});

  std::filesystem::create_directory(directory);
  answer_next_editor({.notes = QStringLiteral("after")});
  trigger("New");
  EXPECT_EQ(FileDataSource(log).identifiers(), (Ids{3, 4}));
}

}  // namespace
}  // namespace tarvik
