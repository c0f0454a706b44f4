// What the window shows about the log beside its rows: the statistics of
// the rows shown, and the charts.
#include <gtest/gtest.h>

#include <QAbstractBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLegend>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QDockWidget>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <filesystem>
#include <functional>

#include "data/file_data_source.h"
#include "support/home.h"
#include "support/test_support.h"
#include "support/ui_support.h"
#include "ui/charts_dialog.h"
#include "ui/shown_number.h"
#include "ui/tarvik.h"

namespace tarvik {
namespace {

TEST(InsightWindow, TheStatisticsFollowTheFilter) {
  testing::scoped_home home;
  testing::write_file(home.log(), testing::kExampleLog);
  Tarvik window;
  window.resize(1200, 600);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  auto* entries = window.findChild<QLabel*>(QStringLiteral("entries_figure"));
  auto* total = window.findChild<QLabel*>(QStringLiteral("total_cost_figure"));
  ASSERT_NE(entries, nullptr);
  EXPECT_EQ(entries->text(), QStringLiteral("2"));
  EXPECT_EQ(total->text(), QLocale().toString(336.5, 'f', 2));

  testing::type_into_box(window.findChild<QLineEdit*>(QStringLiteral("search_box")),
                         QStringLiteral("TYRES"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return entries->text() == QStringLiteral("1"); }, 3000));
  EXPECT_EQ(total->text(), QLocale().toString(312.0, 'f', 2));
}

TEST(InsightWindow, TheStatisticsNameTheReadingsLeftOutAndTheTableMarksThem) {
  testing::scoped_home home;
  testing::write_file(home.log(),
                      std::string(testing::kExampleLog) +
                          "<record=5>\noperation=Insurance;\ndate=1041379200;\nmileage=0;\n</record>\n"
                          "<record=6>\noperation=Fuel;\ndate=1044057600;\nmileage=4200;\n</record>\n"
                          "<record=7>\noperation=Fuel;\ndate=1046476800;\nmileage=56000;\n</record>\n");
  Tarvik window;
  window.resize(1200, 600);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  auto* line = window.findChild<QLabel*>(QStringLiteral("left_out_readings"));
  ASSERT_NE(line, nullptr);
  EXPECT_TRUE(line->isVisible());
  const QString text = line->text();
  EXPECT_TRUE(text.startsWith(QStringLiteral("2 readings left out"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("0 on 2003-01-01 (no reading)"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QLocale().toString(4200.0, 'f', 0) +
                            QStringLiteral(" on 2003-02-01 (lower than the readings before it)")))
      << text.toStdString();
  {
    // One reading alone is named as well, not replaced by the count.
    testing::scoped_home single;
    testing::write_file(single.log(),
                        std::string(testing::kExampleLog) +
                            "<record=5>\noperation=Fuel;\ndate=1044057600;\nmileage=4200;\n</record>\n");
    Tarvik one;
    auto* one_line = one.findChild<QLabel*>(QStringLiteral("left_out_readings"));
    ASSERT_NE(one_line, nullptr);
    EXPECT_EQ(one_line->text(), QStringLiteral("1 reading left out of the odometer figures: ") +
                                    QLocale().toString(4200.0, 'f', 0) +
                                    QStringLiteral(" on 2003-02-01 (lower than the readings before it)"));
  }
  auto* table = window.findChild<QTableView*>(QStringLiteral("record_table"));
  const QAbstractItemModel* model = table->model();
  int marked = 0;
  for (int row = 0; row < model->rowCount(); ++row) {
    const QModelIndex mileage = model->index(row, 0);
    if (model->data(mileage, Qt::DecorationRole).isValid()) {
      ++marked;
      EXPECT_TRUE(model->data(mileage, Qt::ToolTipRole).toString().contains(QStringLiteral("lower than")));
    }
  }
  EXPECT_EQ(marked, 1);
}

TEST(InsightWindow, TheDueListFollowsTheLogAndKeepsItsIntervals) {
  testing::scoped_home home;
  testing::write_file(home.log(), testing::kExampleLog);
  const std::string due = home.dir().file("tarvik.due.txt");
  testing::write_file(due, "<interval=0>\noperation=Oil change;\ndistance=15000;\nmonths=12;\n"
                           "</interval>\n");
  Tarvik window;
  window.resize(1200, 700);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  // The oil change of 2002 is long overdue: the window says so at once.
  auto* label = window.findChild<QLabel*>(QStringLiteral("due_label"));
  EXPECT_TRUE(label->isVisible());
  EXPECT_EQ(label->text(), QStringLiteral("1 service due"));
  auto* list = window.findChild<QTableWidget*>(QStringLiteral("due_table"));
  ASSERT_EQ(list->rowCount(), 1);
  EXPECT_EQ(list->item(0, 6)->text(), QStringLiteral("Overdue"));

  // A New with that operation (in another letter case), dated today.
  testing::answer_next_editor({.mileage = QStringLiteral("60000"),
                               .operation = QStringLiteral("oil change")});
  QTest::keyClick(window.findChild<QTableView*>(QStringLiteral("record_table")), Qt::Key_N,
                  Qt::ControlModifier);
  EXPECT_EQ(list->item(0, 6)->text(), QStringLiteral("OK"));
  EXPECT_FALSE(label->isVisible());

  // An interval added in the dialog; a distance that is no number is
  // refused first.
  window.findChild<QDockWidget*>(QStringLiteral("due_dock"))->raise();
  testing::answer_next_modal([](QWidget* dialog) {
    testing::type_into_box(dialog->findChild<QLineEdit*>(QStringLiteral("operation_box")),
                           QStringLiteral("Tyres"));
    testing::type_into_box(dialog->findChild<QLineEdit*>(QStringLiteral("distance_box")),
                           QStringLiteral("20000 km"));
    testing::click_button(dialog, QStringLiteral("OK"));
    EXPECT_TRUE(dialog->isVisible()) << "a distance that is no number was taken";
    testing::type_into_box(dialog->findChild<QLineEdit*>(QStringLiteral("distance_box")),
                           QStringLiteral("20000"));
    testing::click_button(dialog, QStringLiteral("OK"));
  });
  QPushButton* add = nullptr;
  for (QPushButton* button : window.findChild<QWidget*>(QStringLiteral("due_list"))->findChildren<QPushButton*>()) {
    if (button->text().remove(u'&') == QStringLiteral("Add…")) add = button;
  }
  ASSERT_NE(add, nullptr);
  QTest::mouseClick(add, Qt::LeftButton);
  ASSERT_EQ(list->rowCount(), 2);
  EXPECT_EQ(list->item(1, 0)->text(), QStringLiteral("Tyres"));
  const std::string saved = testing::read_file(due);
  EXPECT_EQ(saved.rfind("<interval=0>\noperation=Oil change;\ndistance=15000;\nmonths=12;\n</interval>\n", 0), 0u)
      << saved;
  EXPECT_NE(saved.find("operation=Tyres;"), std::string::npos) << saved;
  EXPECT_NE(saved.find("distance=20000;"), std::string::npos) << saved;
}

// Adds an interval through the due list's Add… button; `meanwhile` runs
// while the dialog is open, as another program might.
void add_interval(Tarvik& window, const QString& operation, std::function<void()> meanwhile = {}) {
  testing::answer_next_modal([operation, meanwhile](QWidget* dialog) {
    testing::type_into_box(dialog->findChild<QLineEdit*>(QStringLiteral("operation_box")), operation);
    testing::type_into_box(dialog->findChild<QLineEdit*>(QStringLiteral("distance_box")),
                           QStringLiteral("10000"));
    if (meanwhile) meanwhile();
    testing::click_button(dialog, QStringLiteral("OK"));
  });
  for (QPushButton* button : window.findChild<QWidget*>(QStringLiteral("due_list"))->findChildren<QPushButton*>()) {
    if (button->text().remove(u'&') == QStringLiteral("Add…"))
      QTest::mouseClick(button, Qt::LeftButton);
  }
}

TEST(InsightWindow, IntervalsSavedByAnotherWindowAreNeverWrittenOver) {
  testing::scoped_home home;
  testing::write_file(home.log(), testing::kExampleLog);
  const std::string due = home.dir().file("tarvik.due.txt");
  testing::write_file(due, "<interval=0>\noperation=Oil change;\ndistance=15000;\n</interval>\n");
  Tarvik first;
  Tarvik second;
  auto* second_list = second.findChild<QTableWidget*>(QStringLiteral("due_table"));
  ASSERT_EQ(second_list->rowCount(), 1);

  // What one window saved, the other shows and keeps when it saves its own.
  add_interval(first, QStringLiteral("Tyres"));
  add_interval(second, QStringLiteral("Brakes"));
  ASSERT_EQ(second_list->rowCount(), 3);
  EXPECT_EQ(second_list->item(1, 0)->text(), QStringLiteral("Tyres"));
  EXPECT_EQ(second_list->item(2, 0)->text(), QStringLiteral("Brakes"));
  const std::string both = testing::read_file(due);
  EXPECT_NE(both.find("Tyres"), std::string::npos) << both;
  EXPECT_NE(both.find("Brakes"), std::string::npos) << both;

  // Changed by hand while the dialog was open: the hand edit stays, and
  // the window says its own change was not saved.
  const std::string by_hand = "<interval=0>\noperation=Coolant;\nmonths=24;\n</interval>\n";
  QString told;
  add_interval(second, QStringLiteral("Wipers"), [&] {
    testing::write_file(due, by_hand);
    testing::answer_next_modal([&](QWidget* box) {
      told = static_cast<QMessageBox*>(box)->text();
      testing::click_button(box, QStringLiteral("OK"));
    });
  });
  EXPECT_TRUE(told.contains(QStringLiteral("Another program changed"))) << told.toStdString();
  EXPECT_EQ(testing::read_file(due), by_hand);
  ASSERT_EQ(second_list->rowCount(), 1);
  EXPECT_EQ(second_list->item(0, 0)->text(), QStringLiteral("Coolant"));
}

// Clicks the due list's button with this text.
void click_due_button(Tarvik& window, const QString& text) {
  for (QPushButton* button : window.findChild<QWidget*>(QStringLiteral("due_list"))->findChildren<QPushButton*>()) {
    if (button->text().remove(u'&') == text) QTest::mouseClick(button, Qt::LeftButton);
  }
}

TEST(InsightWindow, RemovingAnIntervalAnotherWindowMovedAsksToChooseAgain) {
  testing::scoped_home home;
  testing::write_file(home.log(), testing::kExampleLog);
  const std::string due = home.dir().file("tarvik.due.txt");
  testing::write_file(due, "<interval=0>\noperation=Oil;\nmonths=12;\n</interval>\n"
                           "<interval=1>\noperation=Tyres;\nmonths=12;\n</interval>\n"
                           "<interval=2>\noperation=Brakes;\nmonths=12;\n</interval>\n");
  Tarvik window;
  window.resize(1200, 700);
  window.show();
  auto* list = window.findChild<QTableWidget*>(QStringLiteral("due_table"));
  ASSERT_EQ(list->rowCount(), 3);
  // Another window removed Oil; this one still shows it.
  testing::write_file(due, "<interval=1>\noperation=Tyres;\nmonths=12;\n</interval>\n"
                           "<interval=2>\noperation=Brakes;\nmonths=12;\n</interval>\n");
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1, 0)).center());
  ASSERT_EQ(list->item(list->currentRow(), 0)->text(), QStringLiteral("Tyres"));
  QString told;
  testing::answer_next_modal([&](QWidget* box) {
    told = static_cast<QMessageBox*>(box)->text();
    testing::click_button(box, QStringLiteral("OK"));
  });
  click_due_button(window, QStringLiteral("Remove"));
  EXPECT_TRUE(told.contains(QStringLiteral("Choose the interval again"))) << told.toStdString();
  const std::string kept = testing::read_file(due);
  EXPECT_NE(kept.find("Tyres"), std::string::npos) << kept;
  EXPECT_NE(kept.find("Brakes"), std::string::npos) << "removed in the place of Tyres";
  ASSERT_EQ(list->rowCount(), 2);
  EXPECT_EQ(list->item(0, 0)->text(), QStringLiteral("Tyres"));
}

TEST(InsightWindow, AnIntervalNotSavedIsNeverDroppedWithoutAsking) {
  testing::scoped_home home;
  const std::string directory = home.dir().file("log-dir");
  std::filesystem::create_directory(directory);
  home.set(directory);
  testing::write_file(directory + "/tarvik.txt", testing::kExampleLog);
  Tarvik window;
  window.show();
  std::filesystem::remove_all(directory);
  QString failed;
  add_interval(window, QStringLiteral("Tyres"), [&] {
    testing::answer_next_modal([&](QWidget* box) {
      failed = static_cast<QMessageBox*>(box)->text();
      testing::click_button(box, QStringLiteral("OK"));
    });
  });
  EXPECT_TRUE(failed.contains(QStringLiteral("could not be saved"))) << failed.toStdString();
  EXPECT_EQ(failed.count(QStringLiteral("tarvik.due.txt")), 1) << "named once";

  QString asked;
  testing::answer_next_modal([&](QWidget* box) {
    asked = static_cast<QMessageBox*>(box)->text();
    testing::click_button(box, QStringLiteral("Cancel"));
  });
  EXPECT_FALSE(window.close());
  EXPECT_TRUE(asked.contains(QStringLiteral("tarvik.due.txt"))) << asked.toStdString();

  // Saved once it can be: the window closes.
  testing::answer_next_modal([&](QWidget* box) {
    std::filesystem::create_directory(directory);
    testing::click_button(box, QStringLiteral("Try Again"));
  });
  EXPECT_TRUE(window.close());
  EXPECT_NE(testing::read_file(directory + "/tarvik.due.txt").find("Tyres"), std::string::npos);
}

TEST(InsightWindow, TheStatisticsSplitTheCostsOnceTheLogHasFillUps) {
  testing::time_zone utc("UTC");
  testing::scoped_home home;
  testing::write_file(home.log(), testing::kExampleLog);
  Tarvik window;
  window.resize(1200, 700);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  auto* kinds = window.findChild<QWidget*>(QStringLiteral("cost_kinds"));
  ASSERT_NE(kinds, nullptr);
  EXPECT_TRUE(kinds->isHidden()) << "a log without fill-ups shows no fuel";
  const auto shown = [&](const char* figure) {
    auto* label = window.findChild<QLabel*>(QLatin1String(figure));
    return label != nullptr ? label->text() : QStringLiteral("<none>");
  };

  // A year after the oil change, 8,663.5 km on: 60 of fuel beside 336.50.
  testing::answer_next_modal([](QWidget* dialog) {
    testing::type_into_box(dialog->findChild<QLineEdit*>(QStringLiteral("quantity_box")),
                           QStringLiteral("40"));
    testing::type_into_box(dialog->findChild<QLineEdit*>(QStringLiteral("price_box")),
                           QStringLiteral("1.5"));
    testing::fill_and_close(dialog, {.mileage = QStringLiteral("53873.5"),
                                     .date = QStringLiteral("2003-05-01")});
  });
  QTest::keyClick(testing::record_table(window), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_FALSE(kinds->isHidden());
  EXPECT_EQ(shown("total_cost_figure"), shown_number(396.5, 2));
  EXPECT_EQ(shown("fuel_cost_figure"), shown_number(60, 2));
  EXPECT_EQ(shown("other_cost_figure"), shown_number(336.5, 2));
  // Over 365 days, and 8,663.5 km.
  EXPECT_EQ(shown("fuel_cost_per_year_figure"), shown_number(60.04, 2));
  EXPECT_EQ(shown("other_cost_per_year_figure"), shown_number(336.72, 2));
  EXPECT_EQ(shown("fuel_cost_per_thousand_figure"), shown_number(6.93, 2));
  EXPECT_EQ(shown("other_cost_per_thousand_figure"), shown_number(38.84, 2));

  // A filter that hides the fill-up keeps the split, with no fuel.
  testing::type_into_box(window.findChild<QLineEdit*>(QStringLiteral("search_box")),
                         QStringLiteral("Tyres"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return shown("entries_figure") == QStringLiteral("1"); }, 3000));
  EXPECT_FALSE(kinds->isHidden());
  EXPECT_EQ(shown("fuel_cost_figure"), shown_number(0, 2));
  EXPECT_EQ(shown("other_cost_figure"), shown_number(312, 2));
  EXPECT_EQ(shown("fuel_cost_per_thousand_figure"), QStringLiteral("\u2013")) << "one entry, no distance";
}

// The bar sets of the cost chart of the Charts dialog the window opens.
struct cost_bars {
  bool stacked = false;
  QStringList sets;
  std::vector<QList<qreal>> values;
  bool legend = false;
};

cost_bars cost_chart_of(Tarvik& window) {
  cost_bars bars;
  testing::answer_next_modal([&bars](QWidget* dialog) {
    auto* view = dialog->findChild<QChartView*>(QStringLiteral("cost_chart"));
    if (view != nullptr && !view->chart()->series().isEmpty()) {
      auto* series = qobject_cast<QAbstractBarSeries*>(view->chart()->series().first());
      bars.stacked = series->type() == QAbstractSeries::SeriesTypeStackedBar;
      for (const QBarSet* set : series->barSets()) {
        bars.sets << set->label();
        QList<qreal> values;
        for (int i = 0; i < set->count(); ++i) values << set->at(i);
        bars.values.push_back(values);
      }
      bars.legend = view->chart()->legend()->isVisible();
    }
    testing::click_button(dialog, QStringLiteral("Close"));
  });
  testing::menu_action(window, QStringLiteral("Charts…"))->trigger();
  return bars;
}

TEST(InsightWindow, TheCostChartStacksFuelOnTheRestWhileTheRowsHoldFillUps) {
  testing::time_zone utc("UTC");
  testing::scoped_home home;
  testing::write_file(home.log(),
                      std::string(testing::kExampleLog) +
                          "<record=5>\noperation=Fuel;\ndate=1051747200;\nmileage=53873.5;\ncost=60;\n"
                          "fuel=40;\nfull=yes;\n</record>\n"
                          "<record=6>\noperation=Fuel;\ndate=1054425600;\nmileage=54500;\ncost=7;\n"
                          "fuel=0;\n</record>\n");
  Tarvik window;
  window.resize(1200, 700);
  window.show();
  const cost_bars split = cost_chart_of(window);
  EXPECT_TRUE(split.stacked);
  EXPECT_EQ(split.sets, (QStringList{QStringLiteral("Fuel"), QStringLiteral("Services and other")}));
  // 2002: the oil change and the tyres; 2003: a fill-up, and one of no
  // quantity that counts with the rest.
  EXPECT_EQ(split.values, (std::vector<QList<qreal>>{{0, 60}, {336.5, 7}}));
  EXPECT_TRUE(split.legend);

  // The rows shown hold no fill-up: one bar a year, as before fill-ups.
  testing::type_into_box(window.findChild<QLineEdit*>(QStringLiteral("search_box")),
                         QStringLiteral("Tyres"));
  auto* entries = window.findChild<QLabel*>(QStringLiteral("entries_figure"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return entries->text() == QStringLiteral("1"); }, 3000));
  const cost_bars plain = cost_chart_of(window);
  EXPECT_FALSE(plain.stacked);
  EXPECT_EQ(plain.sets, QStringList{QStringLiteral("Cost")});
  EXPECT_EQ(plain.values, (std::vector<QList<qreal>>{{312}}));
  EXPECT_FALSE(plain.legend);
}

TEST(InsightWindow, ChartsAreSavedAsPictures) {
  testing::temp_dir dir;
  testing::write_file(dir.file("tarvik.txt"), testing::kExampleLog);
  FileDataSource store(dir.file("tarvik.txt"));
  std::vector<const Record*> rows{store.record(0), store.record(3)};
  charts_dialog charts(nullptr, rows);
  for (const auto which : {charts_dialog::chart::cost_per_year, charts_dialog::chart::odometer}) {
    const QString path = QString::fromStdString(dir.file("chart.png"));
    ASSERT_TRUE(charts.save_png(which, path));
    const QImage image(path);
    EXPECT_FALSE(image.isNull());
    EXPECT_GT(image.width(), 100);
  }
  EXPECT_FALSE(charts.save_png(charts_dialog::chart::odometer,
                               QString::fromStdString(dir.file("missing/chart.png"))));
}

}  // namespace
}  // namespace tarvik
