// Every command says what it did and how to take it back; the due list's
// changes are steps of the log's undo history; what the reading could not
// use stays marked; and no state rests on a colour alone.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <string>

#include "data/file_data_source.h"
#include "support/home.h"
#include "support/test_support.h"
#include "support/ui_support.h"
#include "ui/contrast.h"
#include "ui/tarvik.h"

namespace tarvik {
namespace {

using testing::answer_next_modal;
using testing::menu_action;
using testing::read_file;
using testing::write_file;

class Answers : public ::testing::Test {
 protected:
  void open(const std::string& log_text, QSize size = QSize(1100, 700)) {
    write_file(home.log(), log_text);
    window = std::make_unique<Tarvik>();
    window->resize(size);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    table = testing::record_table(*window);
    table->setFocus();
  }

  // A key as the user presses it, where the keyboard focus is.
  void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    // After a dialog, the window is active again as a window manager
    // would make it.
    if (QApplication::focusWidget() == nullptr) {
      window->activateWindow();
      ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }, 2000));
    }
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  }

  QString said() const { return window->statusBar()->currentMessage(); }
  // Undo's keys as the window shows them.
  QString undo_keys() const {
    return menu_action(*window, QStringLiteral("Undo"))->shortcut().toString(QKeySequence::NativeText);
  }

  void click_due_button(const QString& text) {
    testing::click_button(window->findChild<QWidget*>(QStringLiteral("due_list")), text);
  }

  QTableWidget* due_table() const { return window->findChild<QTableWidget*>(QStringLiteral("due_table")); }

  void pick_due_row(int row) {
    QTableWidget* list = due_table();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row, 0)).center());
  }

  testing::scoped_home home;
  std::unique_ptr<Tarvik> window;
  QTableView* table = nullptr;
};

TEST_F(Answers, EveryRecordStepAndItsUndoAndRedoSayWhatTheyDid) {
  open(testing::kExampleLog);
  const QString undo = undo_keys();
  ASSERT_FALSE(undo.isEmpty());

  testing::click_cell(*table, 0, 2);
  press(Qt::Key_Delete);
  EXPECT_EQ(said(), QStringLiteral("Deleted Oil change of 2002-05-01 — %1 brings it back").arg(undo));
  press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(said(), "Undid: Delete Oil change");
  EXPECT_EQ(window->row_identifiers(), (std::vector<int>{0, 3}));
  press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(said(), "Redid: Delete Oil change");
  EXPECT_EQ(FileDataSource(home.log()).identifiers(), (std::vector<int>{3}));
  press(Qt::Key_Z, Qt::ControlModifier);

  testing::answer_next_editor({.operation = QStringLiteral("Battery")});
  press(Qt::Key_N, Qt::ControlModifier);
  EXPECT_TRUE(said().startsWith(QStringLiteral("Added Battery of "))) << said().toStdString();
  EXPECT_TRUE(said().endsWith(QStringLiteral(" — %1 takes it out again").arg(undo))) << said().toStdString();

  testing::click_cell(*table, 1, 2);
  testing::answer_next_editor({.operation = QStringLiteral("Winter tyres")});
  press(Qt::Key_Return);
  EXPECT_EQ(said(),
            QStringLiteral("Changed Winter tyres of 2002-09-04 — %1 brings back what it was").arg(undo));
  press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(said(), "Undid: Edit Winter tyres");
  EXPECT_EQ(FileDataSource(home.log()).record(3)->operation(), "Tyres");

  // A step the filter hides says both.
  auto* search = window->findChild<QLineEdit*>(QStringLiteral("search_box"));
  testing::type_into_box(search, QStringLiteral("oil"));
  table->setFocus();
  press(Qt::Key_Z, Qt::ControlModifier);  // the Battery
  EXPECT_EQ(said(), "Undid: New Battery");
  press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(said(), "Redid: New Battery. The record is saved but hidden by the filter");
}

TEST_F(Answers, ExportsAndChartsSayWhereTheyWrote) {
  open(testing::kExampleLog);
  const QString csv = QString::fromStdString(home.dir().file("out.csv"));
  answer_next_modal([&](QWidget* chooser) { testing::choose_file(chooser, csv); });
  menu_action(*window, QStringLiteral("Export CSV…"))->trigger();
  EXPECT_EQ(said(), QStringLiteral("2 entries exported to %1").arg(csv));

  const QString pdf = QString::fromStdString(home.dir().file("history.pdf"));
  answer_next_modal([&](QWidget* question) {
    answer_next_modal([&](QWidget* chooser) { testing::choose_file(chooser, pdf); });
    testing::click_button(question, QStringLiteral("With Costs"));
  });
  menu_action(*window, QStringLiteral("Export PDF…"))->trigger();
  EXPECT_EQ(said(), QStringLiteral("Service history of 2 entries saved to %1").arg(pdf));

  const QString png = QString::fromStdString(home.dir().file("chart.png"));
  answer_next_modal([&](QWidget* charts) {
    answer_next_modal([&, charts](QWidget* chooser) {
      testing::choose_file(chooser, png);
      QTimer::singleShot(0, charts, [charts] { static_cast<QDialog*>(charts)->reject(); });
    });
    testing::click_button(charts, QStringLiteral("Save as PNG…"));
  });
  menu_action(*window, QStringLiteral("Charts…"))->trigger();
  EXPECT_EQ(said(), QStringLiteral("Chart saved to %1").arg(png));
}

const char* const kIntervals =
    "# Every year.\n"
    "<interval=0>\noperation=Oil change;\ndistance=15000;\nmonths=12;\n</interval>\n";

TEST_F(Answers, DueListChangesAreStepsOfTheUndoHistoryAndTheFileFollows) {
  const std::string due = home.dir().file("tarvik.due.txt");
  write_file(due, kIntervals);
  open(testing::kExampleLog);
  const QString undo = undo_keys();
  window->findChild<QDockWidget*>(QStringLiteral("due_dock"))->raise();

  answer_next_modal([](QWidget* dialog) {
    testing::type_into_box(dialog->findChild<QLineEdit*>(QStringLiteral("operation_box")),
                           QStringLiteral("Tyres"));
    testing::click_button(dialog, QStringLiteral("OK"));
  });
  click_due_button(QStringLiteral("Add…"));
  EXPECT_EQ(said(), QStringLiteral("Added the interval Tyres — %1 takes it out again").arg(undo));
  EXPECT_NE(read_file(due).find("operation=Tyres;"), std::string::npos);
  ASSERT_EQ(due_table()->rowCount(), 2);

  // Change the oil change's distance.
  pick_due_row(0);
  answer_next_modal([](QWidget* dialog) {
    testing::type_into_box(dialog->findChild<QLineEdit*>(QStringLiteral("distance_box")),
                           QStringLiteral("20000"));
    testing::click_button(dialog, QStringLiteral("OK"));
  });
  click_due_button(QStringLiteral("Change…"));
  EXPECT_EQ(said(),
            QStringLiteral("Changed the interval Oil change — %1 brings back what it was").arg(undo));
  EXPECT_NE(read_file(due).find("distance=20000;"), std::string::npos);

  // Removed at once, without a question: Undo brings it back.
  {
    testing::no_modal_expected quiet;
    pick_due_row(1);
    click_due_button(QStringLiteral("Remove"));
    EXPECT_EQ(said(), QStringLiteral("Removed the interval Tyres — %1 brings it back").arg(undo));
    EXPECT_EQ(read_file(due).find("Tyres"), std::string::npos);
    EXPECT_EQ(due_table()->rowCount(), 1);

    // Undo and Redo from wherever the focus is, the file following each.
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(said(), "Undid: Remove Interval Tyres");
    EXPECT_NE(read_file(due).find("operation=Tyres;"), std::string::npos);
    EXPECT_EQ(due_table()->rowCount(), 2);
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(said(), "Undid: Change Interval Oil change");
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(said(), "Undid: Add Interval Tyres");
    // Back as it was, to the byte: the comment and the block untouched.
    EXPECT_EQ(read_file(due), kIntervals);
    EXPECT_EQ(due_table()->rowCount(), 1);

    press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(said(), "Redid: Change Interval Oil change");
    const std::string redone = read_file(due);
    EXPECT_NE(redone.find("distance=20000;"), std::string::npos) << redone;
    EXPECT_NE(redone.find("operation=Tyres;"), std::string::npos) << redone;
  }

  // An interval changed by another program meanwhile is not taken for the
  // step's: the undo says so and leaves the file alone.
  const std::string by_hand = "<interval=0>\noperation=Coolant;\nmonths=24;\n</interval>\n";
  write_file(due, by_hand);
  press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_TRUE(said().startsWith(QStringLiteral("Could not undo Change Interval Oil change")))
      << said().toStdString();
  EXPECT_EQ(read_file(due), by_hand);
}

// A log read with problems: a date with more after its number (read as
// 2021 seconds), a mileage with a unit, and text between the blocks.
const char* const kLogWithProblems =
    "<record=0>\noperation=Oil change;\ndate=1020211200;\nmileage=45210;\n</record>\n"
    "<record=1>\noperation=Tyres;\ndate=2021-04-08;\nmileage=46100;\n</record>\n"
    "stray words\n"
    "<record=2>\noperation=Wipers;\ndate=1031097600;\nmileage=46.8km;\n</record>\n"
    "<record=3>\noperation=Brakes;\ndate=1041097600;\nmileage=47000;\n</record>\n";

TEST_F(Answers, RowsReadWithAProblemStayMarkedAndTheListOpensAgain) {
  // Within the test screen, so that the list can stand over its middle.
  open(kLogWithProblems, QSize(760, 540));
  QDialog* list = nullptr;
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return (list = window->findChild<QDialog*>(QStringLiteral("log_problems"))) != nullptr; },
      3000));
  // Over the window, not in a corner of the screen.
  const QPoint off = list->frameGeometry().center() - window->frameGeometry().center();
  EXPECT_LE(off.manhattanLength(), 40) << off.x() << "," << off.y();
  list->close();
  QTest::qWait(0);

  QAbstractItemModel* rows = table->model();
  const auto tip = [&](int row) {
    return rows->headerData(row, Qt::Vertical, Qt::ToolTipRole).toString();
  };
  const auto marked = [&](int row) {
    return !rows->headerData(row, Qt::Vertical, Qt::DecorationRole).isNull();
  };
  EXPECT_TRUE(tip(1).startsWith(QStringLiteral("Line 8: "))) << tip(1).toStdString();
  EXPECT_EQ(tip(1).count(QStringLiteral("Line ")), 1) << tip(1).toStdString();
  EXPECT_TRUE(tip(2).startsWith(QStringLiteral("Line 15: "))) << tip(2).toStdString();
  EXPECT_TRUE(marked(1));
  EXPECT_TRUE(marked(2));
  // The words between the blocks belong to no entry.
  EXPECT_FALSE(marked(0));
  EXPECT_FALSE(marked(3));
  EXPECT_TRUE(tip(3).isEmpty()) << tip(3).toStdString();

  // The mark follows its entry when the rows are sorted.
  testing::click_header(*table, 2);  // by operation: Brakes, Oil, Tyres, Wipers
  EXPECT_TRUE(tip(2).startsWith(QStringLiteral("Line 8: "))) << tip(2).toStdString();
  EXPECT_FALSE(marked(0));
  testing::click_header(*table, 2);
  testing::click_header(*table, 2);

  // View > Problems in the Log… opens the list again, however often.
  for (int time = 0; time < 2; ++time) {
    menu_action(*window, QStringLiteral("Problems in the Log…"))->trigger();
    list = window->findChild<QDialog*>(QStringLiteral("log_problems"));
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->findChild<QTableWidget*>(QStringLiteral("problem_list"))->rowCount(), 3);
    list->close();
    QTest::qWait(0);
  }

  // Corrected in the window, the entry loses its mark; the other keeps it.
  testing::click_cell(*table, 1, 1);
  testing::answer_next_editor({.date = QStringLiteral("2021-04-08")});
  press(Qt::Key_Return);
  EXPECT_EQ(FileDataSource(home.log()).record(1)->date(), 1617840000);
  EXPECT_FALSE(marked(1));
  EXPECT_TRUE(marked(2));
}

TEST_F(Answers, TheRowHeaderHasRoomForAMarkFarDownALongLog) {
  std::string log;
  for (int i = 0; i < 2000; ++i) {
    log += "<record=" + std::to_string(i) + ">\noperation=Fuel;\ndate=" +
           (i == 1500 ? std::string("2021-04-08") : std::to_string(1020211200 + i * 86400)) +
           ";\nmileage=" + std::to_string(1000 + i) + ";\n</record>\n";
  }
  open(log);
  QHeaderView* header = table->verticalHeader();
  ASSERT_FALSE(table->model()->headerData(1500, Qt::Vertical, Qt::DecorationRole).isNull());
  EXPECT_GE(header->width(), table->style()->pixelMetric(QStyle::PM_SmallIconSize) +
                                 header->fontMetrics().horizontalAdvance(QStringLiteral("2000")));
  // The one reading the date puts out of line is named, not counted twice.
  const QString left_out =
      window->findChild<QLabel*>(QStringLiteral("left_out_readings"))->text();
  EXPECT_TRUE(left_out.startsWith(QStringLiteral("1 reading left out of the odometer figures: ")))
      << left_out.toStdString();
  EXPECT_TRUE(left_out.contains(QStringLiteral("1970-01-01"))) << left_out.toStdString();
}

TEST_F(Answers, ALogWithoutProblemsSaysSoWhenAskedForThem) {
  open(testing::kExampleLog);
  testing::no_modal_expected quiet;
  menu_action(*window, QStringLiteral("Problems in the Log…"))->trigger();
  EXPECT_EQ(window->findChild<QDialog*>(QStringLiteral("log_problems")), nullptr);
  EXPECT_EQ(said(), "The log was read without problems");
}

// Restores the application's palette when it goes.
class palette_kept {
 public:
  palette_kept() : saved_(QApplication::palette()) {}
  ~palette_kept() { QApplication::setPalette(saved_); }

 private:
  QPalette saved_;
};

QPalette dark_palette() {
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
  dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
  dark.setColor(QPalette::Base, QColor(0x24, 0x24, 0x24));
  dark.setColor(QPalette::AlternateBase, QColor(0x35, 0x35, 0x35));
  dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
  dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
  dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
  return dark;
}

TEST(Contrast, TheWcagRatioOfKnownPairs) {
  EXPECT_NEAR(contrast_ratio(Qt::black, Qt::white), 21.0, 1e-9);
  EXPECT_NEAR(contrast_ratio(Qt::white, Qt::white), 1.0, 1e-9);
  // #777 on white is the classic near miss.
  EXPECT_NEAR(contrast_ratio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
  EXPECT_NEAR(contrast_ratio(QColor(0x76, 0x76, 0x76), Qt::white), 4.54, 0.01);
}

TEST_F(Answers, DueStatesReadInALightAndADarkPaletteWithWordAndIcon) {
  write_file(home.dir().file("tarvik.due.txt"),
             "<interval=0>\noperation=Oil change;\nmonths=12;\n</interval>\n"
             "<interval=1>\noperation=Tyres;\ndistance=1000000;\n</interval>\n");
  palette_kept kept;
  QPalette light = QApplication::palette();
  light.setColor(QPalette::Window, QColor(0xef, 0xef, 0xef));
  light.setColor(QPalette::WindowText, Qt::black);
  light.setColor(QPalette::Base, Qt::white);
  light.setColor(QPalette::Text, Qt::black);
  QApplication::setPalette(light);
  open(testing::kExampleLog);
  QTableWidget* list = due_table();
  ASSERT_EQ(list->rowCount(), 2);
  auto* label = window->findChild<QLabel*>(QStringLiteral("due_label"));
  ASSERT_TRUE(label->isVisible());

  for (const QPalette& palette : {light, dark_palette()}) {
    SCOPED_TRACE(palette.color(QPalette::Base).name().toStdString());
    QApplication::setPalette(palette);
    QApplication::processEvents();
    ASSERT_EQ(list->palette().color(QPalette::Base), palette.color(QPalette::Base));
    // The overdue row: a background of its own, and text that reads on it.
    for (int column = 0; column < list->columnCount(); ++column) {
      const QTableWidgetItem* cell = list->item(0, column);
      const QColor background = cell->background().color();
      const QColor text = cell->foreground().style() == Qt::NoBrush
                              ? list->palette().color(QPalette::Text)
                              : cell->foreground().color();
      EXPECT_NE(background, palette.color(QPalette::Base)) << "column " << column;
      EXPECT_GE(contrast_ratio(background, text), kReadableContrast) << "column " << column;
    }
    // Not by colour alone: the state's word and an icon for each.
    EXPECT_EQ(list->item(0, 6)->text(), "Overdue");
    EXPECT_EQ(list->item(1, 6)->text(), "OK");
    EXPECT_FALSE(list->item(0, 6)->icon().isNull());
    EXPECT_FALSE(list->item(1, 6)->icon().isNull());
    EXPECT_NE(list->item(0, 6)->icon().cacheKey(), list->item(1, 6)->icon().cacheKey());
    // The status bar's count of what is due, on the status bar.
    EXPECT_EQ(label->text(), "1 service due");
    EXPECT_GE(contrast_ratio(label->palette().color(QPalette::WindowText),
                             window->statusBar()->palette().color(QPalette::Window)),
              kReadableContrast);
  }
}

}  // namespace
}  // namespace tarvik
