// The window over a log that others change too, that may fail to save, or
// that is not what it should be: it says so, and never loses a change.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QToolBar>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sys/stat.h>

#include "data/file_data_source.h"
#include "support/home.h"
#include "support/test_support.h"
#include "support/ui_support.h"
#include "ui/tarvik.h"

namespace tarvik {
namespace {

using testing::answer_next_editor;
using testing::answer_next_modal;
using testing::click_button;
using testing::read_file;
using testing::scoped_home;
using testing::write_file;
using Ids = std::vector<int>;

class SharedLog : public ::testing::Test {
 protected:
  std::unique_ptr<Tarvik> open_window() {
    auto window = std::make_unique<Tarvik>();
    window->resize(900, 500);
    return window;
  }

  static void trigger(Tarvik& window, const char* text) {
    for (QAction* action : window.findChild<QToolBar*>()->actions()) {
      if (action->iconText() == QLatin1String(text)) {
        action->trigger();
        return;
      }
    }
    ADD_FAILURE() << "no action " << text;
  }

  static QTableView* table_of(Tarvik& window) { return testing::record_table(window); }

  // The modal box's text, and a click on one of its buttons.
  static void answer_box(QString* text, const char* button) {
    answer_next_modal([text, button](QWidget* box) {
      if (text != nullptr) *text = static_cast<QMessageBox*>(box)->text();
      click_button(box, QLatin1String(button));
    });
  }

  static Ids logged_ids(const std::string& log) { return FileDataSource(log).identifiers(); }

  // The list of what the reading could not use, once the window shows it.
  static QDialog* problems_dialog(Tarvik& window) {
    QDialog* list = nullptr;
    const bool shown = QTest::qWaitFor(
        [&] { return (list = window.findChild<QDialog*>(QStringLiteral("log_problems"))) != nullptr; },
        3000);
    return shown ? list : nullptr;
  }

  static void answer_editor_notes(const char* notes) {
    answer_next_editor({.notes = QString::fromUtf8(notes)});
  }

  // The editor, then the message box that its save brings: its text, and OK.
  static void answer_editor_then_box(const testing::typed_record& typed, QString* told) {
    answer_next_modal([typed, told](QWidget* editor) {
      testing::fill_and_close(editor, typed);
      answer_next_modal([told](QWidget* box) {
        *told = static_cast<QMessageBox*>(box)->text();
        click_button(box, QStringLiteral("OK"));
      });
    });
  }

  // HOME in a directory of its own holding the example log, so that taking
  // the directory away makes every save fail.
  void use_removable_home() {
    std::filesystem::create_directory(directory);
    home.set(directory);
    write_file(log, testing::kExampleLog);
  }

  scoped_home home;
  const std::string directory = home.dir().file("log-dir");
  const std::string log = directory + "/tarvik.txt";
};

TEST_F(SharedLog, AFailedSaveNamesTheReasonAndCanBeTriedAgain) {
  use_removable_home();
  auto window = open_window();
  std::filesystem::remove_all(directory);

  QString first;
  QString second;
  answer_next_modal([&](QWidget* box) {
    first = static_cast<QMessageBox*>(box)->text();
    click_button(box, QStringLiteral("Try Again"));
    // Still failing: asked again; the space is back by then.
    answer_next_modal([&](QWidget* again) {
      second = static_cast<QMessageBox*>(again)->text();
      std::filesystem::create_directory(directory);
      click_button(again, QStringLiteral("Try Again"));
    });
  });
  testing::set_current(*table_of(*window), 0, 0);
  trigger(*window, "Delete");
  EXPECT_TRUE(first.contains(QString::fromStdString(log))) << first.toStdString();
  EXPECT_TRUE(first.contains(QString::fromUtf8(std::strerror(ENOENT)))) << first.toStdString();
  EXPECT_EQ(second, first);
  EXPECT_EQ(logged_ids(log), Ids{3});
  EXPECT_FALSE(window->findChild<QLabel*>(QStringLiteral("unsaved_label"))->isVisibleTo(window.get()));
}

TEST_F(SharedLog, ClosingWithAnUnsavedChangeAsksAndNeverDropsItSilently) {
  use_removable_home();
  auto window = open_window();
  window->show();
  std::filesystem::remove_all(directory);

  answer_box(nullptr, "Not Now");
  testing::set_current(*table_of(*window), 0, 0);
  trigger(*window, "Delete");
  EXPECT_TRUE(window->findChild<QLabel*>(QStringLiteral("unsaved_label"))->isVisible());

  // Stay.
  QString question;
  answer_box(&question, "Cancel");
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(question.contains(QString::fromStdString(log))) << question.toStdString();

  // Try again while it still fails: asked again; then try again once it
  // can be written: saved, and closed.
  answer_next_modal([&](QWidget* box) {
    click_button(box, QStringLiteral("Try Again"));
    answer_next_modal([&](QWidget* again) {
      std::filesystem::create_directory(directory);
      click_button(again, QStringLiteral("Try Again"));
    });
  });
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(logged_ids(log), Ids{3});

  // Discarding is a choice the user makes, not a silent exit.
  auto again = open_window();
  again->show();
  std::filesystem::remove_all(directory);
  answer_box(nullptr, "Not Now");
  testing::set_current(*table_of(*again), 0, 0);
  trigger(*again, "Delete");
  answer_box(nullptr, "Close Without Saving");
  EXPECT_TRUE(again->close());
}

TEST_F(SharedLog, AChangeOnDiskShowsWithinSecondsAndKeepsTheCurrentRecord) {
  write_file(home.log(), testing::kExampleLog);
  auto window = open_window();
  window->show();
  QTableView* table = table_of(*window);
  testing::set_current(*table, 1, 2);
  // Another program puts a record in front.
  write_file(home.log(), "<record=9>\noperation=Washer fluid;\n</record>\n" +
                             std::string(testing::kExampleLog));
  EXPECT_TRUE(QTest::qWaitFor([&] { return table->model()->rowCount() == 3; }, 3000));
  EXPECT_EQ(window->row_identifiers(), (Ids{9, 0, 3}));
  EXPECT_EQ(table->currentIndex().row(), 2) << "the current row left its record";
  EXPECT_TRUE(window->statusBar()->currentMessage().contains(QStringLiteral("another program")));
}

TEST_F(SharedLog, TwoWindowsKeepEachOthersEntries) {
  write_file(home.log(), testing::kExampleLog);
  auto first = open_window();
  auto second = open_window();
  answer_editor_notes("from the first");
  trigger(*first, "New");
  answer_editor_notes("from the second");
  trigger(*second, "New");
  EXPECT_EQ(second->row_identifiers(), (Ids{0, 3, 4, 5}));
  EXPECT_EQ(logged_ids(home.log()), (Ids{0, 3, 4, 5}));
  EXPECT_EQ(testing::cell(*table_of(*second), 2, 4), QStringLiteral("from the first"));
  EXPECT_EQ(testing::cell(*table_of(*second), 3, 4), QStringLiteral("from the second"));

  // Both change the same record: the later save wins, and the other
  // version is kept in a copy the window names.
  testing::set_current(*table_of(*first), 1, 0);
  answer_next_editor({.operation = QStringLiteral("Winter tyres")});
  trigger(*first, "Edit");
  testing::set_current(*table_of(*second), 1, 0);
  QString told;
  answer_editor_then_box({.operation = QStringLiteral("Summer tyres")}, &told);
  trigger(*second, "Edit");
  EXPECT_TRUE(told.contains(QStringLiteral("Summer tyres"))) << told.toStdString();
  EXPECT_TRUE(told.contains(QString::fromStdString(home.log() + ".bak"))) << told.toStdString();
  EXPECT_NE(read_file(home.log() + ".bak").find("Winter tyres"), std::string::npos);
  EXPECT_EQ(FileDataSource(home.log()).record(3)->operation(), "Summer tyres");
}

// Six entries, a stray "x" typed on a line of its own after the second.
std::string six_entries_with_a_stray_line() {
  std::string text;
  for (int id = 0; id < 6; ++id) {
    if (id == 2) text += "x\n";
    text += "<record=" + std::to_string(id) + ">\ncost=1;\noperation=Op " + std::to_string(id) +
            ";\ndate=" + std::to_string(1000000000 + id * 86400) + ";\nmileage=" +
            std::to_string(1000 * id) + ";\nnotes=;\n</record>\n";
  }
  return text;
}

TEST_F(SharedLog, WhatTheReadingCouldNotUseIsListedWhenTheWindowShows) {
  write_file(home.log(),
             "<record=0>\nmileage=45,210;\ndate=2003-01-17;\nnotes=5W30 oil; filter too;\n"
             "</record>\n<record=1>\n</Record>\n");
  testing::stderr_capture quiet;
  auto window = open_window();
  window->show();
  QDialog* list = problems_dialog(*window);
  ASSERT_NE(list, nullptr);
  auto* problems = list->findChild<QTableWidget*>(QStringLiteral("problem_list"));
  ASSERT_EQ(problems->rowCount(), 4);
  EXPECT_EQ(problems->item(0, 0)->text(), QStringLiteral("2"));
  EXPECT_EQ(problems->item(0, 1)->text(),
            QStringLiteral("mileage \"45,210\" is not one number; read as 45"));
  EXPECT_EQ(problems->item(3, 0)->text(), QStringLiteral("7"));
  EXPECT_EQ(problems->item(3, 1)->text(),
            QStringLiteral("the entry ends with \"</Record>\" instead of \"</record>\""));
  list->close();

  // The first save rewrites the misspelt entry: it keeps a copy first, and
  // says where.
  QString told;
  answer_editor_then_box({.notes = QStringLiteral("new")}, &told);
  trigger(*window, "New");
  EXPECT_TRUE(told.contains(QString::fromStdString(home.log() + ".bak"))) << told.toStdString();
  EXPECT_NE(read_file(home.log() + ".bak").find("</Record>"), std::string::npos);
}

TEST_F(SharedLog, AStrayLineIsListedInWordsAndCostsNoEntry) {
  const std::string text = six_entries_with_a_stray_line();
  write_file(home.log(), text);
  testing::stderr_capture quiet;
  auto window = open_window();
  window->show();
  QDialog* list = problems_dialog(*window);
  ASSERT_NE(list, nullptr);
  auto* problems = list->findChild<QTableWidget*>(QStringLiteral("problem_list"));
  ASSERT_EQ(problems->rowCount(), 1);
  EXPECT_EQ(problems->item(0, 0)->text(), QStringLiteral("15"));
  EXPECT_EQ(problems->item(0, 1)->text(),
            QStringLiteral("the text \"x\" stands outside any entry; it is not read and stays in "
                           "the file as it is"));
  list->close();
  EXPECT_EQ(table_of(*window)->model()->rowCount(), 6);

  answer_editor_notes("new");
  trigger(*window, "New");
  EXPECT_EQ(logged_ids(home.log()), (Ids{0, 1, 2, 3, 4, 5, 6}));
  const std::string saved = read_file(home.log());
  EXPECT_EQ(saved.substr(0, text.size()), text);
  EXPECT_FALSE(testing::file_exists(home.log() + ".bak"));
}

TEST_F(SharedLog, AValueTheFileHoldsInAnotherFormIsShownAndKeptUnlessRetyped) {
  const std::string text = std::string("<record=0>\ncost=1.234,50;\noperation=Service;\n"
                                       "date=2003-05-17;\nmileage=45,210;\n") +
                           std::string("notes=first half\0second half;\n</record>\n", 40);
  write_file(home.log(), text);
  testing::stderr_capture quiet;
  auto window = open_window();
  testing::set_current(*table_of(*window), 0, 0);
  QString cost_note;
  QString notes_note;
  QString notes_box;
  answer_next_modal([&](QWidget* editor) {
    if (auto* label = editor->findChild<QLabel*>(QStringLiteral("cost_box_in_file"))) {
      cost_note = label->text();
    }
    if (auto* label = editor->findChild<QLabel*>(QStringLiteral("notes_box_in_file"))) {
      notes_note = label->text();
    }
    EXPECT_NE(editor->findChild<QLabel*>(QStringLiteral("mileage_box_in_file")), nullptr);
    EXPECT_NE(editor->findChild<QLabel*>(QStringLiteral("date_box_in_file")), nullptr);
    EXPECT_EQ(editor->findChild<QLabel*>(QStringLiteral("op_box_in_file")), nullptr);
    testing::fill_and_close(editor, {.operation = QStringLiteral("Big service")});
  });
  trigger(*window, "Edit");
  EXPECT_EQ(cost_note, QStringLiteral("In the file: 1.234,50"));
  EXPECT_EQ(notes_note, QStringLiteral("In the file: first half<NUL>second half"));
  EXPECT_EQ(read_file(home.log()),
            std::string("<record=0>\ncost=1.234,50;\noperation=Big service;\ndate=2003-05-17;\n"
                        "mileage=45,210;\n") +
                std::string("notes=first half\0second half;\n</record>\n", 40));

  // A value typed over it is written as the log writes numbers.
  answer_next_editor({.cost = QStringLiteral("1234.5")});
  trigger(*window, "Edit");
  EXPECT_NE(read_file(home.log()).find("cost=1234.5;\n"), std::string::npos);
  EXPECT_NE(read_file(home.log()).find("mileage=45,210;\n"), std::string::npos);
}

TEST_F(SharedLog, ALogThatIsNoRegularFileIsRefusedWithAMessage) {
  ASSERT_EQ(mkfifo(home.log().c_str(), 0644), 0);
  testing::stderr_capture quiet;
  auto window = open_window();  // returns: nothing waits for a writer
  QString told;
  answer_box(&told, "OK");
  window->show();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !told.isEmpty(); }, 3000));
  EXPECT_TRUE(told.contains(QStringLiteral("not a regular file"))) << told.toStdString();
  EXPECT_EQ(table_of(*window)->model()->rowCount(), 0);
  struct stat status {};
  ASSERT_EQ(stat(home.log().c_str(), &status), 0);
  EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

}  // namespace
}  // namespace tarvik
