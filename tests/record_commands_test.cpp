// New, Edit and Delete triggered through the tool bar, with the dialog
// driven by the test; after each: the table, the store's file and the rows.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QUndoStack>
#include <filesystem>
#include <memory>

#include "data/file_data_source.h"
#include "support/home.h"
#include "support/test_support.h"
#include "support/ui_support.h"
#include "ui/shown_number.h"
#include "ui/tarvik.h"

namespace tarvik {
namespace {

using testing::answer_next_editor;
using testing::answer_next_modal;
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
    table = testing::record_table(*window);
  }

  void trigger(const char* text) {
    for (QAction* action : window->findChild<QToolBar*>()->actions()) {
      if (action->iconText() == QLatin1String(text)) {
        action->trigger();
        return;
      }
    }
    ADD_FAILURE() << "no action " << text;
  }

  // The identifiers the log file holds now.
  Ids logged_ids() { return FileDataSource(home.log()).identifiers(); }

  QString cell(int row, int column) { return testing::cell(*table, row, column); }

  void show() {
    window->resize(900, 500);
    window->show();
    activate();
  }

  // As a window manager does, also once a dialog has closed.
  void activate() {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  void click_cell(int row, int column) { testing::click_cell(*table, row, column); }
  int rows() const { return table->model()->rowCount(); }

  // A key pressed in the table, the window being active.
  void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(table, key, modifiers);
    if (window->isVisible()) activate();
  }

  scoped_home home;
  std::unique_ptr<Tarvik> window;
  QTableView* table = nullptr;
};

TEST_F(RecordCommands, NewCancelledAddsNothingAndUsesUpTheIdentifier) {
  open_window(testing::kExampleLog);
  answer_next_editor({.notes = QStringLiteral("typed"), .press_ok = false});
  trigger("New");
  EXPECT_EQ(rows(), 2);
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
  EXPECT_EQ(rows(), 0);
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
  EXPECT_EQ(rows(), 6);
  EXPECT_EQ(cell(2, 4), "only a note");
  EXPECT_EQ(cell(3, 0), shown_number(1, 1));
  EXPECT_EQ(cell(4, 2), "Not specified");
  EXPECT_EQ(cell(5, 3), shown_number(0.5, 2));
  EXPECT_EQ(logged_ids(), (Ids{0, 3, 4, 5, 6, 7}));
  EXPECT_FALSE(table->model()->index(5, 3).flags() & Qt::ItemIsEditable);
}

// New offers the latest reading, selected, so that typing replaces it;
// left as offered it adds nothing. Edit checks the reading against the
// other entries of the log.
TEST_F(RecordCommands, NewOffersTheLatestReadingAndEditWarnsOfAnImplausibleOne) {
  open_window(testing::kExampleLog);
  answer_next_modal([](QWidget* dialog) {
    auto* mileage = dialog->findChild<QLineEdit*>(QStringLiteral("mileage_box"));
    EXPECT_EQ(mileage->text(), shown_number(51873.5, 1)) << "the entry of 2002-09-04";
    EXPECT_EQ(mileage->selectedText(), mileage->text());
    testing::click_button(dialog, QStringLiteral("OK"));
  });
  trigger("New");
  EXPECT_EQ(rows(), 2) << "the offered reading alone is no entry";

  answer_next_modal([](QWidget* dialog) {
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("52100"));
    testing::click_button(dialog, QStringLiteral("OK"));
  });
  trigger("New");
  ASSERT_EQ(rows(), 3);
  EXPECT_EQ(cell(2, 0), shown_number(52100, 1));
  EXPECT_EQ(table->model()->index(2, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                Qt::AlignRight,
            Qt::AlignRight);

  testing::set_current(*table, 0, 0);
  QString warning;
  answer_next_modal([&warning](QWidget* dialog) {
    auto* mileage = dialog->findChild<QLineEdit*>(QStringLiteral("mileage_box"));
    testing::type_into_box(mileage, QStringLiteral("60000"));
    warning = dialog->findChild<QLabel*>(QStringLiteral("mileage_warning"))->text();
    testing::click_button(dialog, QStringLiteral("Cancel"));
  });
  trigger("Edit");
  EXPECT_EQ(warning, "The mileage is higher than " + shown_number(51873.5, 1) + " on 2002-09-04.");
}

TEST_F(RecordCommands, EditChangesTheCurrentRowAndTheFile) {
  open_window(testing::kExampleLog);
  testing::set_current(*table, 1, 0);
  answer_next_editor({.mileage = QStringLiteral("52000"), .operation = QStringLiteral("Tyres; rotated")});
  trigger("Edit");
  EXPECT_EQ(cell(1, 0), shown_number(52000, 1));
  EXPECT_EQ(cell(1, 2), "Tyres; rotated");
  EXPECT_EQ(cell(0, 2), "Oil change");
  FileDataSource saved(home.log());
  EXPECT_EQ(saved.record(3)->mileage(), 52000.0);
  EXPECT_EQ(saved.record(3)->operation(), "Tyres; rotated");
}

TEST_F(RecordCommands, EditCancelledOrOnAnEmptyTableChangesNothing) {
  open_window(testing::kExampleLog);
  testing::set_current(*table, 0, 0);
  answer_next_editor({.mileage = QStringLiteral("1"), .press_ok = false});
  trigger("Edit");
  EXPECT_EQ(cell(0, 0), shown_number(45210, 1));
  EXPECT_EQ(read_file(home.log()), testing::kExampleLog);

  window.reset();
  std::filesystem::remove(home.log());
  open_window();
  show();
  testing::no_modal_expected no_dialog;
  trigger("Edit");
  press(Qt::Key_F2);
  EXPECT_EQ(rows(), 0);
}

TEST_F(RecordCommands, EditConfirmedUnchangedLeavesTheLogByteForByte) {
  // Numbers whose display is not exact, a hand-written comment, a
  // date with a time of day.
  const std::string log = std::string(testing::kExampleLog) +
                          "# hand-written comment\n<record=8>\ncost=0.125;\noperation=Wax;\n"
                          "date=1031140800;\nmileage=45210.25;\nnotes=;\n</record>\n";
  open_window(log);
  show();
  for (int row = 0; row < 3; ++row) {
    click_cell(row, 1);
    answer_next_editor({});
    press(Qt::Key_Return);
  }
  EXPECT_EQ(read_file(home.log()), log);
  EXPECT_EQ(window->findChild<QUndoStack*>()->count(), 0) << "nothing to undo";
}

TEST_F(RecordCommands, DeleteKeepsTheCurrentCellOnItsRow) {
  open_window(testing::kExampleLog);
  for (const char* note : {"third", "fourth"}) {
    answer_next_editor({.notes = QLatin1String(note)});
    trigger("New");
  }
  show();
  // A middle row, twice: each time the record the row then shows goes.
  click_cell(1, 3);
  press(Qt::Key_Delete);
  EXPECT_EQ(window->row_identifiers(), (Ids{0, 4, 5}));
  EXPECT_EQ(table->currentIndex().row(), 1);
  EXPECT_EQ(table->currentIndex().column(), 3);
  EXPECT_EQ(cell(1, 4), "third");
  press(Qt::Key_Delete);
  EXPECT_EQ(window->row_identifiers(), (Ids{0, 5}));
  EXPECT_EQ(logged_ids(), (Ids{0, 5}));
  EXPECT_EQ(table->currentIndex().row(), 1);
  // The last row: the current cell follows the row count.
  press(Qt::Key_Delete);
  EXPECT_EQ(window->row_identifiers(), Ids{0});
  EXPECT_EQ(table->currentIndex().row(), 0);
  EXPECT_EQ(cell(0, 2), "Oil change");
  press(Qt::Key_Delete);
  EXPECT_EQ(rows(), 0);
  EXPECT_TRUE(window->row_identifiers().empty());
  EXPECT_EQ(read_file(home.log()), "");
  press(Qt::Key_Delete);  // on an empty table: nothing
  EXPECT_EQ(read_file(home.log()), "");
}

TEST_F(RecordCommands, ANewRecordsRowIsCurrentAndInView) {
  std::string log;
  for (int id = 0; id < 200; ++id) {
    log += "<record=" + std::to_string(id) + ">\noperation=Fuel;\ndate=1041379200;\nmileage=" +
           std::to_string(1000 + id) + ";\n</record>\n";
  }
  open_window(log);
  show();
  click_cell(0, 2);
  answer_next_editor({.operation = QStringLiteral("Battery")});
  press(Qt::Key_N, Qt::ControlModifier);
  ASSERT_EQ(rows(), 201);
  EXPECT_EQ(table->currentIndex().row(), 200);
  EXPECT_EQ(cell(200, 2), "Battery");
  EXPECT_TRUE(table->viewport()->rect().contains(table->visualRect(table->model()->index(200, 2))));
}

TEST_F(RecordCommands, EveryCommandUndoesAndRedoesAndEachStepIsSaved) {
  open_window(testing::kExampleLog);
  show();
  const std::string opened = read_file(home.log());

  answer_next_editor({.operation = QStringLiteral("Battery")});
  press(Qt::Key_N, Qt::ControlModifier);
  const std::string after_new = read_file(home.log());
  click_cell(0, 0);
  answer_next_editor({.mileage = QStringLiteral("45300"), .notes = QStringLiteral("again")});
  press(Qt::Key_F2);
  const std::string after_edit = read_file(home.log());
  click_cell(1, 0);
  press(Qt::Key_Delete);
  const std::string after_delete = read_file(home.log());
  EXPECT_EQ(window->row_identifiers(), (Ids{0, 4}));

  // Back to the opening, one step at a time.
  press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(read_file(home.log()), after_edit);
  EXPECT_EQ(window->row_identifiers(), (Ids{0, 3, 4})) << "back in its place";
  EXPECT_EQ(table->currentIndex().row(), 1);
  EXPECT_EQ(cell(1, 2), "Tyres");
  press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(read_file(home.log()), after_new);
  EXPECT_EQ(cell(0, 0), shown_number(45210, 1));
  EXPECT_EQ(cell(0, 4), "Filter replaced too");
  press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(read_file(home.log()), opened);
  EXPECT_EQ(rows(), 2);
  press(Qt::Key_Z, Qt::ControlModifier);  // nothing further back
  EXPECT_EQ(read_file(home.log()), opened);

  // And forward again, by either key.
  press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(read_file(home.log()), after_new);
  EXPECT_EQ(cell(2, 2), "Battery");
  press(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(read_file(home.log()), after_edit);
  EXPECT_EQ(cell(0, 0), shown_number(45300, 1));
  press(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(read_file(home.log()), after_delete);
  EXPECT_EQ(window->row_identifiers(), (Ids{0, 4}));
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
  testing::set_current(*table, 0, 0);
  trigger("Delete");
  EXPECT_TRUE(warning.contains(QString::fromStdString(log))) << warning.toStdString();
  EXPECT_TRUE(warning.contains(QStringLiteral("could not be saved"))) << warning.toStdString();
  EXPECT_EQ(rows(), 1);
  EXPECT_EQ(window->row_identifiers(), Ids{3});

  std::filesystem::create_directory(directory);
  answer_next_editor({.notes = QStringLiteral("after")});
  trigger("New");
  EXPECT_EQ(FileDataSource(log).identifiers(), (Ids{3, 4}));
}

}  // namespace
}  // namespace tarvik
