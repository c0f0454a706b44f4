// What a new user meets in passing: dialog titles, the About box, the
// status bar's count, the filter in a narrow window, dialog sizes on a
// small screen and the charts' axes.
#include <gtest/gtest.h>

#include <QBarCategoryAxis>
#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QValueAxis>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "data/record.h"
#include "support/home.h"
#include "support/test_support.h"
#include "support/ui_support.h"
#include "ui/charts_dialog.h"
#include "ui/csv_import_dialog.h"
#include "ui/log_settings_dialog.h"
#include "ui/shown_number.h"
#include "ui/tarvik.h"

namespace tarvik {
namespace {

using testing::scoped_home;
using testing::write_file;

std::string log_of(int entries) {
  std::string text;
  for (int i = 0; i < entries; ++i) {
    text += "<record=" + std::to_string(i) + ">\ncost=" + std::to_string(20 + i % 300) +
            ".5;\noperation=" + (i % 2 ? "Fuel" : "Oil change") +
            ";\ndate=" + std::to_string(1577836800L + i * 86400L * 9) +
            ";\nmileage=" + std::to_string(45000 + i * 450) + ";\nnotes=;\n</record>\n";
  }
  return text;
}

void show_and_activate(QWidget& window, QSize size) {
  window.resize(size);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// Opens a menu of the menu bar and clicks one of its entries, with the mouse.
// Texts are compared without their mnemonic marks.
void click_menu_entry(QMainWindow& window, const QString& menu_text, const QString& entry) {
  QMenuBar* bar = window.menuBar();
  for (QAction* menu_action : bar->actions()) {
    if (QString(menu_action->text()).remove(u'&') != QString(menu_text).remove(u'&')) continue;
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu_action).center());
    QMenu* menu = menu_action->menu();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    for (QAction* action : menu->actions()) {
      if (QString(action->text()).remove(u'&') != entry) continue;
      QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
      return;
    }
    menu->close();
    FAIL() << "no entry " << entry.toStdString();
  }
  FAIL() << "no menu " << menu_text.toStdString();
}

TEST(WindowDetails, NewAndEditSayWhichTheyAreAndTheMenuNamesWhatEditActsOn) {
  scoped_home home;
  write_file(home.log(), log_of(3));
  Tarvik window;
  show_and_activate(window, {900, 500});
  QTableView* table = testing::record_table(window);
  ASSERT_NE(table, nullptr);
  QString title;
  const auto cancel_and_keep_title = [&title](QWidget* dialog) {
    title = dialog->windowTitle();
    testing::click_button(dialog, "Cancel");
  };
  testing::answer_next_modal(cancel_and_keep_title);
  QTest::keyClick(table, Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(title, "New Entry");
  show_and_activate(window, {900, 500});  // as the window manager does once the dialog closed
  testing::click_cell(*table, 0, 0);
  testing::answer_next_modal(cancel_and_keep_title);
  QTest::keyClick(table, Qt::Key_Return);
  EXPECT_EQ(title, "Edit Record");

  QAction* edit = testing::menu_action(window, "Edit Entry…");
  ASSERT_NE(edit, nullptr);
  // The tool bar keeps the short word.
  auto* toolbar = window.findChild<QToolBar*>(QStringLiteral("toolbar"));
  ASSERT_NE(toolbar, nullptr);
  EXPECT_EQ(toolbar->widgetForAction(edit)->property("text").toString(), "Edit");
}

TEST(WindowDetails, AboutNamesTheVersionTheLicenceAndTheLog) {
  scoped_home home;
  write_file(home.log(), log_of(1));
  Tarvik window;
  show_and_activate(window, {900, 500});
  QString text;
  bool icon = false;
  testing::answer_next_modal([&](QWidget* dialog) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    ASSERT_NE(box, nullptr);
    text = box->text() + "\n" + box->informativeText();
    icon = !box->iconPixmap().isNull();
    box->close();
  });
  click_menu_entry(window, "&Help", "About Tarvik");
  EXPECT_NE(text.indexOf("Tarvik " TARVIK_VERSION), -1) << text.toStdString();
  EXPECT_NE(text.indexOf("Licence:"), -1) << text.toStdString();
  EXPECT_NE(text.indexOf(QString::fromStdString(home.log())), -1) << text.toStdString();
  EXPECT_TRUE(icon);
}

TEST(WindowDetails, TheStatusBarGroupsTheCountAsTheDocksDo) {
  scoped_home home;
  write_file(home.log(), log_of(1234));
  Tarvik window;
  show_and_activate(window, {900, 500});
  EXPECT_EQ(window.statusBar()->findChildren<QLabel*>().front()->text(),
            shown_count(1234) + " records");
  // Filtered, the rows shown are grouped too.
  auto* search = window.findChild<QLineEdit*>(QStringLiteral("search_box"));
  ASSERT_NE(search, nullptr);
  testing::type_into_box(search, "Fuel");
  EXPECT_EQ(window.statusBar()->findChildren<QLabel*>().front()->text(),
            shown_count(1234) + " records, " + shown_count(617) + " shown");
}

TEST(WindowDetails, ANarrowWindowKeepsTheSearchAndFoldsTheDatesAway) {
  scoped_home home;
  write_file(home.log(), log_of(3));
  Tarvik window;
  show_and_activate(window, {520, 400});
  QApplication::processEvents();
  auto* search = window.findChild<QLineEdit*>(QStringLiteral("search_box"));
  auto* from = window.findChild<QDateEdit*>(QStringLiteral("date_from"));
  ASSERT_NE(search, nullptr);
  ASSERT_NE(from, nullptr);
  EXPECT_TRUE(search->isVisible()) << "the filter went into the tool bar's overflow";
  EXPECT_GE(search->width(), search->fontMetrics().averageCharWidth() * 20);
  EXPECT_FALSE(from->isVisible());
  // Typed into, it filters as ever.
  testing::type_into_box(search, "Fuel");
  EXPECT_EQ(testing::record_table(window)->model()->rowCount(), 1);

  window.resize(1200, 400);
  QApplication::processEvents();
  EXPECT_TRUE(from->isVisible());
  EXPECT_TRUE(search->isVisible());
}

// Within an 800x600 screen, frame and all, and never needing more.
void expect_fits_small_screen(QWidget& dialog) {
  dialog.show();
  QApplication::processEvents();
  const QSize frame = dialog.frameGeometry().size();
  EXPECT_LE(frame.width(), 800) << dialog.objectName().toStdString();
  EXPECT_LE(frame.height(), 600) << dialog.objectName().toStdString();
  // A window manager's frame takes about 30 pixels above and a few beside.
  EXPECT_LE(dialog.width(), 790) << dialog.objectName().toStdString();
  EXPECT_LE(dialog.height(), 565) << dialog.objectName().toStdString();
  EXPECT_LE(dialog.minimumSizeHint().width(), 790) << dialog.objectName().toStdString();
  EXPECT_LE(dialog.minimumSizeHint().height(), 565) << dialog.objectName().toStdString();
  dialog.close();
}

TEST(WindowDetails, EveryDialogFitsAnEightHundredBySixHundredScreen) {
  scoped_home home;
  write_file(home.log(), log_of(40));
  Tarvik window;
  show_and_activate(window, {780, 560});
  std::string csv = "Date,Odometer,Service,Price,Comment\n";
  for (int i = 0; i < 60; ++i) csv += "2021-04-0" + std::to_string(1 + i % 9) + ",1000,Oil,12.5,x\n";
  csv_import_dialog import(&window, QStringLiteral("other.csv"), csv);
  expect_fits_small_screen(import);
  charts_dialog charts(&window, window.all_records());
  expect_fits_small_screen(charts);
  log_settings_dialog settings(&window, QStringLiteral("tarvik.txt"), window.log().units(), false);
  expect_fits_small_screen(settings);
  // The dialogs above took the activation: Ctrl+N reaches the window's
  // shortcut only once it is active again. An answer left waiting would
  // write into this test's stack in a later test.
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QSize editor;
  testing::answer_next_modal([&editor](QWidget* dialog) {
    editor = dialog->frameGeometry().size();
    testing::click_button(dialog, "Cancel");
  });
  QTest::keyClick(testing::record_table(window), Qt::Key_N, Qt::ControlModifier);
  ASSERT_TRUE(editor.isValid()) << "Ctrl+N opened no editor";
  EXPECT_LE(editor.width(), 790);
  EXPECT_LE(editor.height(), 565);
}

// A tick step of 1, 2, 2.5 or 5 times a power of ten, from a multiple of it.
bool round_ticks(const QValueAxis& axis) {
  if (axis.tickCount() < 2) return false;
  const double step = (axis.max() - axis.min()) / (axis.tickCount() - 1);
  const double scale = std::pow(10.0, std::floor(std::log10(step)));
  const double leading = step / scale;
  bool round = false;
  for (const double nice : {1.0, 2.0, 2.5, 5.0, 10.0}) round = round || std::abs(leading - nice) < 1e-9;
  const double from = axis.min() / step;
  return round && std::abs(from - std::round(from)) < 1e-9;
}

TEST(WindowDetails, ChartsTickAtRoundNumbersAndLabelTheBars) {
  std::vector<std::unique_ptr<Record>> records;
  std::vector<const Record*> rows;
  // Yearly costs of 527, 1055 and 1582: a fifth of them is no round step.
  const double costs[] = {527, 1055, 1582};
  for (int i = 0; i < 3; ++i) {
    records.push_back(std::make_unique<Record>(i));
    records.back()->setup(i, 1577836800L + i * 86400L * 366, 45123 + i * 13377.0, "Service", "",
                          static_cast<float>(costs[i]));
    rows.push_back(records.back().get());
  }
  charts_dialog charts(nullptr, rows, QString(), {}, log_units{distance_unit::km, QStringLiteral("€")});
  for (const char* name : {"cost_chart", "odometer_chart"}) {
    auto* view = charts.findChild<QChartView*>(QLatin1String(name));
    ASSERT_NE(view, nullptr);
    auto* axis = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Vertical).value(0));
    ASSERT_NE(axis, nullptr);
    EXPECT_TRUE(round_ticks(*axis)) << name << ": " << axis->min() << " to " << axis->max()
                                    << " in " << axis->tickCount() << " ticks";
    EXPECT_GE(axis->max(), name[0] == 'c' ? 1582 : 45123 + 2 * 13377.0) << name;
  }
  // Each year names its amount.
  auto* cost = charts.findChild<QChartView*>(QStringLiteral("cost_chart"));
  auto* years = qobject_cast<QBarCategoryAxis*>(cost->chart()->axes(Qt::Horizontal).value(0));
  ASSERT_NE(years, nullptr);
  ASSERT_EQ(years->count(), 3);
  EXPECT_EQ(years->at(2), "2022: " + shown_number(1582, 0) + " €");
}

TEST(WindowDetails, TheVehiclesNameIsKeptInTheLogSettings) {
  scoped_home home;
  write_file(home.log(), log_of(2));
  write_file(home.dir().file("tarvik.settings.txt"), "distance=km\ncurrency=€\n");
  Tarvik window;
  show_and_activate(window, {900, 500});
  testing::answer_next_modal([](QWidget* dialog) {
    auto* vehicle = dialog->findChild<QLineEdit*>(QStringLiteral("vehicle"));
    ASSERT_NE(vehicle, nullptr);
    EXPECT_TRUE(vehicle->text().isEmpty());
    testing::type_into_box(vehicle, "Blue van");
    testing::click_button(dialog, "OK");
  });
  testing::menu_action(window, "Log Settings…")->trigger();
  EXPECT_EQ(testing::read_file(home.dir().file("tarvik.settings.txt")),
            "distance=km\ncurrency=€\nvehicle=Blue van\n");
  EXPECT_EQ(window.log().vehicle(), "Blue van");
}

}  // namespace
}  // namespace tarvik
