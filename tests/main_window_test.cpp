#include "ui/tarvik.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolTip>
#include <map>
#include <memory>
#include <pwd.h>
#include <unistd.h>

#include "data/file_data_source.h"
#include "support/home.h"
#include "support/test_support.h"
#include "support/ui_support.h"
#include "ui/shown_number.h"

namespace tarvik {
namespace {

using testing::scoped_home;
using testing::write_file;

const char* const kThreeRecords =
    "<record=4>\ncost=10;\noperation=Fuel;\ndate=1020211200;\nmileage=45210;\nnotes=;\n</record>\n"
    "<record=1>\ncost=24.5;\noperation=Oil change;\ndate=1031097600;\nmileage=51873.5;\n"
    "notes=Filter too;\n</record>\n"
    "<record=9>\ncost=312;\noperation=Tyres;\ndate=0;\nmileage=60000;\nnotes=Winter set;\n"
    "</record>\n";

using testing::cell;

QTableView* table_of(const Tarvik& window) { return testing::record_table(window); }

std::vector<QString> row_texts(const QTableView& table, int row) {
  std::vector<QString> texts;
  for (int k = 0; k < table.model()->columnCount(); ++k) {
    if (!table.isColumnHidden(k)) texts.push_back(cell(table, row, k));
  }
  return texts;
}

QPoint centre_of(const QTableView& table, int row, int column) {
  return testing::cell_centre(table, row, column);
}

void show_and_activate(QWidget& window) {
  if (!window.isVisible()) window.resize(900, 500);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

TEST(MainWindow, WithoutALogShowsTheFiveColumnsAndNoRows) {
  scoped_home home;
  Tarvik window(nullptr, "tarvik");
  EXPECT_EQ(window.log_path(), home.log());
  EXPECT_EQ(window.windowTitle(), "tarvik.txt \u2013 Tarvik");
  EXPECT_EQ(window.objectName(), "tarvik");
  QTableView* table = table_of(window);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(window.centralWidget(), table);
  EXPECT_EQ(table->model()->rowCount(), 0);
  // A sixth, Fuel, waits for the log's first fill-up; a seventh,
  // Consumption, for its first figure.
  ASSERT_EQ(table->model()->columnCount(), 7);
  EXPECT_TRUE(table->isColumnHidden(5));
  EXPECT_TRUE(table->isColumnHidden(6));
  // A log without settings is shown in the locale's units.
  const QString currency = QLocale().currencySymbol();
  const QString distance = QLocale().measurementSystem() == QLocale::MetricSystem ? "km" : "mi";
  const QString labels[] = {"Mileage (" + distance + ")", "Date", "Operation",
                            currency.isEmpty() ? "Cost" : "Cost (" + currency + ")", "Notes"};
  const int widths[] = {60, 68, 78, 50, 150};
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(table->model()->headerData(k, Qt::Horizontal).toString(), labels[k]);
    EXPECT_GE(table->columnWidth(k), widths[k]);
  }
  EXPECT_FALSE(testing::file_exists(home.log())) << "building the window writes nothing";
  const QString status = window.statusBar()->findChildren<QLabel*>().front()->text();
  EXPECT_EQ(status, "0 records");
}

TEST(MainWindow, ColumnsShowTheirWidestValuesWholeAndNotesTakesTheRest) {
  scoped_home home;
  write_file(home.log(), "<record=1>\ncost=12345.67;\noperation=x;\ndate=1031097600;\n"
                         "mileage=1234567.5;\nnotes=;\n</record>\n");
  Tarvik window;
  show_and_activate(window);
  QTableView* table = table_of(window);
  const QFontMetrics metrics = table->fontMetrics();
  for (int k : {0, 1, 3}) {
    EXPECT_GT(table->columnWidth(k), metrics.horizontalAdvance(cell(*table, 0, k)) + 4)
        << cell(*table, 0, k).toStdString();
  }
  int total = 0;
  for (int k = 0; k < 5; ++k) total += table->columnWidth(k);
  EXPECT_EQ(total, table->viewport()->width());
  window.resize(300, 300);
  QApplication::processEvents();
  EXPECT_GE(table->columnWidth(4), 150);
}

TEST(MainWindow, ShowsEveryRecordInStoreOrderInOneLineRows) {
  scoped_home home;
  write_file(home.log(), kThreeRecords);
  {
    FileDataSource log(home.log());
    auto brakes = std::make_unique<Record>(2);
    brakes->setup(2, 0, 1, "Brakes", "front pads\nand discs replaced", 1);
    log.record(brakes.release());
    ASSERT_TRUE(log.commit());
  }
  Tarvik window;
  show_and_activate(window);
  EXPECT_EQ(window.row_identifiers(), (std::vector<int>{4, 1, 9, 2}));
  QTableView* table = table_of(window);
  ASSERT_EQ(table->model()->rowCount(), 4);
  EXPECT_EQ(row_texts(*table, 0),
            (std::vector<QString>{shown_number(45210, 1), "2002-05-01", "Fuel", shown_number(10, 2), ""}));
  EXPECT_EQ(row_texts(*table, 1),
            (std::vector<QString>{shown_number(51873.5, 1), "2002-09-04", "Oil change",
                                  shown_number(24.5, 2), "Filter too"}));
  EXPECT_EQ(row_texts(*table, 2),
            (std::vector<QString>{shown_number(60000, 1), "1970-01-01", "Tyres",
                                  shown_number(312, 2), "Winter set"}));
  const int line = table->fontMetrics().lineSpacing();
  for (int j = 0; j < 4; ++j) EXPECT_LT(table->rowHeight(j), 2 * line);
  EXPECT_EQ(window.statusBar()->findChildren<QLabel*>().front()->text(), "4 records");
  EXPECT_TRUE(window.statusBar()->findChildren<QLabel*>().back()->text().contains(
      QString::fromStdString(home.log())));

  // A note cut short shows whole in its tooltip.
  const QString note = cell(*table, 3, 4);
  EXPECT_FALSE(note.contains(u'\n'));
  const QPoint at = centre_of(*table, 3, 4);
  QHelpEvent help(QEvent::ToolTip, at, table->viewport()->mapToGlobal(at));
  QApplication::sendEvent(table->viewport(), &help);
  EXPECT_TRUE(QToolTip::text().startsWith("front pads")) << QToolTip::text().toStdString();
  QToolTip::hideText();
}

TEST(MainWindow, CellsCannotBeEditedAndTypingDoesNotMoveTheCurrentRow) {
  scoped_home home;
  write_file(home.log(), kThreeRecords);
  Tarvik window;
  show_and_activate(window);
  QTableView* table = table_of(window);
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, centre_of(*table, 1, 2));
  EXPECT_EQ(table->currentIndex().row(), 1);
  EXPECT_EQ(table->selectionModel()->selectedRows().size(), 1) << "the whole row shows current";
  {
    testing::no_modal_expected no_dialog;
    QTest::keyClicks(table, "ft");  // as "Fuel" and "Tyres" start
    EXPECT_EQ(table->currentIndex().row(), 1);
    QTest::keyClick(table, Qt::Key_Down, Qt::ShiftModifier);
  }
  EXPECT_EQ(table->findChild<QLineEdit*>(), nullptr) << "no editor in a cell";
  EXPECT_EQ(QApplication::focusWidget(), table);
  EXPECT_EQ(table->currentIndex().row(), 2);
  EXPECT_EQ(table->selectionModel()->selectedRows().size(), 1) << "no range";
  EXPECT_EQ(cell(*table, 1, 2), "Oil change");

  // A click on a row number makes that row current.
  QHeaderView* numbers = table->verticalHeader();
  QTest::mouseClick(numbers->viewport(), Qt::LeftButton, {},
                    QPoint(numbers->width() / 2, numbers->sectionViewportPosition(0) + 3));
  EXPECT_EQ(table->currentIndex().row(), 0);

  // Double-clicking a row opens the Edit dialog on it, not an editor in
  // the cell.
  QString shown_operation;
  testing::answer_next_modal([&](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Edit Record");
    shown_operation = dialog->findChild<QLineEdit*>("op_box")->text();
    testing::click_button(dialog, QStringLiteral("Cancel"));
  });
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, centre_of(*table, 2, 1));
  QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, centre_of(*table, 2, 1));
  show_and_activate(window);
  EXPECT_EQ(shown_operation, "Tyres");
  EXPECT_EQ(table->findChild<QLineEdit*>(), nullptr) << "no editor in a cell";
  EXPECT_EQ(cell(*table, 0, 1), "2002-05-01");

}

TEST(MainWindow, TheToolBarHoldsNewEditAndDeleteAndStays) {
  scoped_home home;
  Tarvik window;
  show_and_activate(window);
  const auto bars = window.findChildren<QToolBar*>();
  ASSERT_EQ(bars.size(), 1);
  QToolBar* bar = bars.front();
  const auto actions = bar->actions();
  ASSERT_GE(actions.size(), 3);
  EXPECT_EQ(actions[0]->iconText(), "New");
  EXPECT_EQ(actions[1]->iconText(), "Edit");
  EXPECT_EQ(actions[2]->iconText(), "Delete");
  EXPECT_EQ(bar->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
  EXPECT_FALSE(bar->isMovable());
  EXPECT_FALSE(bar->isFloatable());
  EXPECT_EQ(window.toolBarArea(bar), Qt::TopToolBarArea);
  // Our own images where the theme has none: three different ones, and not
  // the style's list view image for Edit.
  const QImage list =
      window.style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(32).toImage();
  std::vector<QImage> images;
  for (int k = 0; k < 3; ++k) images.push_back(actions[k]->icon().pixmap(32).toImage());
  EXPECT_NE(images[1], list);
  EXPECT_NE(images[0], images[1]);
  EXPECT_NE(images[1], images[2]);

  // Its context menu would hide it.
  QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), bar->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(bar, &menu);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  EXPECT_TRUE(bar->isVisible());
}

TEST(MainWindow, OpensTheLogItIsGivenAndSavesThere) {
  scoped_home home;
  const std::string golf = home.dir().file("golf.txt");
  write_file(golf, testing::kExampleLog);
  Tarvik window(nullptr, nullptr, golf);
  EXPECT_EQ(window.log_path(), golf);
  EXPECT_EQ(window.row_identifiers(), (std::vector<int>{0, 3}));
  EXPECT_EQ(window.windowTitle(), "golf.txt \u2013 Tarvik");
  EXPECT_FALSE(testing::file_exists(home.log()));
}

TEST(MainWindow, MenusHoldTheCommandsWithTheirShortcuts) {
  scoped_home home;
  Tarvik window;
  std::vector<QString> titles;
  std::map<QString, QString> shortcuts;
  for (QAction* menu : window.menuBar()->actions()) {
    titles.push_back(menu->text().remove(u'&'));
    for (QAction* action : menu->menu()->actions()) {
      if (!action->isSeparator()) {
        shortcuts[action->text().remove(u'&')] = action->shortcut().toString();
      }
    }
  }
  EXPECT_EQ(titles, (std::vector<QString>{"File", "Edit", "View", "Help"}));
  EXPECT_EQ(shortcuts["Print…"], "Ctrl+P");
  EXPECT_EQ(shortcuts.count("Export CSV…"), 1u);
  EXPECT_EQ(shortcuts.count("Export PDF…"), 1u);
  EXPECT_EQ(shortcuts.count("Statistics"), 1u);
  EXPECT_EQ(shortcuts.count("Charts…"), 1u);
  EXPECT_EQ(shortcuts["New Entry…"], "Ctrl+N");
  EXPECT_EQ(shortcuts["Edit Entry…"], "Return");
  EXPECT_EQ(shortcuts["Delete Entry"], "Del");
  EXPECT_EQ(shortcuts["Find"], "Ctrl+F");
  EXPECT_EQ(shortcuts.count("Keyboard Shortcuts"), 1u);
  EXPECT_EQ(shortcuts["Undo"], "Ctrl+Z");
  EXPECT_EQ(shortcuts["Redo"], "Ctrl+Shift+Z");
  EXPECT_EQ(shortcuts["Quit"], "Ctrl+Q");
  EXPECT_EQ(shortcuts.count("About Tarvik"), 1u);
}

TEST(MainWindow, KeysOpenTheDialogAndQuit) {
  scoped_home home;
  write_file(home.log(), kThreeRecords);
  Tarvik window;
  show_and_activate(window);
  QTableView* table = table_of(window);
  table->setFocus();
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, centre_of(*table, 1, 0));
  std::vector<QString> opened;
  const auto note_and_cancel = [&](QWidget* dialog) {
    opened.push_back(dialog->objectName() + " " +
                     dialog->findChild<QLineEdit*>("op_box")->text());
    testing::click_button(dialog, QStringLiteral("Cancel"));
  };
  const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
      {Qt::Key_N, Qt::ControlModifier},
      {Qt::Key_Return, Qt::NoModifier},
      {Qt::Key_Enter, Qt::KeypadModifier},
      {Qt::Key_F2, Qt::NoModifier}};
  for (const auto& [key, modifiers] : keys) {
    testing::answer_next_modal(note_and_cancel);
    QTest::keyClick(table, key, modifiers);
    show_and_activate(window);  // as the window manager does once the dialog closed
  }
  EXPECT_EQ(opened, (std::vector<QString>{"new_record_editor not specified",
                                          "edit_record_editor Oil change",
                                          "edit_record_editor Oil change",
                                          "edit_record_editor Oil change"}));
  QTest::keyClick(table, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(window.isVisible());
}

TEST(MainWindow, TheLogPathFollowsHome) {
  scoped_home home;
  home.set(home.dir().path() + "/");
  {
    write_file(home.log(), kThreeRecords);
    Tarvik window;
    EXPECT_EQ(window.log_path(), home.dir().path() + "//tarvik.txt");
    EXPECT_EQ(table_of(window)->model()->rowCount(), 3);
  }
  home.set(std::string());
  EXPECT_EQ(log_file_path(), "/tarvik.txt");
  // Without HOME, the password database names the home directory.
  home.set(std::nullopt);
  const passwd* user = getpwuid(getuid());
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(log_file_path(), std::string(user->pw_dir) + "/tarvik.txt");
}

TEST(MainWindow, AStoredTextShowsAsUtf8OrElseAsLatin1) {
  scoped_home home;
  write_file(home.log(),
             "<record=0>\noperation=\xC3\x96lwechsel \xE2\x82\xAC;\nnotes=Stra\xDF" "e;\n</record>\n");
  Tarvik window;
  QTableView* table = table_of(window);
  EXPECT_EQ(cell(*table, 0, 2), QString::fromUtf8("Ölwechsel €"));
  EXPECT_EQ(cell(*table, 0, 4), QString::fromUtf8("Straße"));
}

}  // namespace
}  // namespace tarvik
