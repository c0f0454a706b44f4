// Consumption in the window: the column, the statistics, the chart and the
// units chosen for the log, driven with real keys and clicks.
#include <gtest/gtest.h>

#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QTableView>
#include <QTest>
#include <QTimeZone>
#include <QValueAxis>
#include <string>

#include "insight/consumption.h"
#include "support/home.h"
#include "support/test_support.h"
#include "support/ui_support.h"
#include "ui/shown_number.h"
#include "ui/tarvik.h"

namespace tarvik {
namespace {

using testing::answer_next_modal;
using testing::read_file;
using testing::write_file;

constexpr int kFuelColumn = 5;
constexpr int kConsumptionColumn = 6;

// A log block; a fill-up when `fuel` is given.
std::string entry(int id, const char* date, long mileage, const char* operation,
                  const char* fuel = nullptr, bool full = true) {
  const long seconds = QDateTime(QDate::fromString(QLatin1String(date), Qt::ISODate), QTime(0, 0),
                                 QTimeZone::utc())
                           .toSecsSinceEpoch();
  std::string block = "<record=" + std::to_string(id) + ">\ncost=0;\noperation=" + operation +
                      ";\ndate=" + std::to_string(seconds) + ";\nmileage=" +
                      std::to_string(mileage) + ";\nnotes=;\n";
  if (fuel != nullptr) {
    block += std::string("fuel=") + fuel + ";\nfull=" + (full ? "yes" : "no") + ";\n";
  }
  return block + "</record>\n";
}

void show_active(QWidget& window) {
  window.resize(1000, 600);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

QString header(const QTableView& table, int column) {
  return table.model()->headerData(column, Qt::Horizontal).toString();
}

QString figure(const QWidget& window, const char* name) {
  auto* label = window.findChild<QLabel*>(QLatin1String(name));
  return label != nullptr ? label->text() : QStringLiteral("<no figure>");
}

// The last row's cell of a column.
QString last_cell(const QTableView& table, int column) {
  return testing::cell(table, table.model()->rowCount() - 1, column);
}

TEST(ConsumptionWindow, TheColumnComesWithTheSecondFullFillUpAndFollowsTheUnitChosen) {
  testing::scoped_home home;
  write_file(home.log(), entry(0, "2024-01-10", 10000, "Oil change") +
                             entry(1, "2024-02-01", 10100, "Fuel", "45"));
  write_file(home.dir().file("tarvik.settings.txt"), "distance=km\ncurrency=€\n");
  Tarvik window;
  show_active(window);
  QTableView* table = testing::record_table(window);
  EXPECT_FALSE(table->isColumnHidden(kFuelColumn));
  EXPECT_TRUE(table->isColumnHidden(kConsumptionColumn)) << "one fill-up gives no figure";
  EXPECT_EQ(header(*table, kFuelColumn), "Fuel (l)");

  answer_next_modal([](QWidget* dialog) {
    auto* quantity = dialog->findChild<QLineEdit*>(QStringLiteral("quantity_box"));
    auto* label = dialog->findChild<QLabel*>(QStringLiteral("quantity_box_label"));
    EXPECT_EQ(label != nullptr ? label->text() : QString(), "&Fuel (l)");
    testing::type_into_box(dialog->findChild<QLineEdit*>(QStringLiteral("mileage_box")), "10600");
    testing::type_into_box(quantity, "40");
    testing::type_into_box(dialog->findChild<QLineEdit*>(QStringLiteral("cost_box")), "60");
    auto* full = dialog->findChild<QWidget*>(QStringLiteral("full_box"));
    full->setFocus();
    QTest::keyClick(full, Qt::Key_Space);
    testing::click_button(dialog, "OK");
  });
  QTest::keyClick(table, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_EQ(table->model()->rowCount(), 3);
  // 40 l over 500 km.
  EXPECT_FALSE(table->isColumnHidden(kConsumptionColumn));
  EXPECT_EQ(table->horizontalHeader()->visualIndex(kConsumptionColumn), 5) << "after Fuel";
  EXPECT_EQ(header(*table, kConsumptionColumn), "Consumption (l/100 km)");
  EXPECT_EQ(last_cell(*table, kConsumptionColumn), shown_number(8, 1));
  EXPECT_EQ(testing::cell(*table, 1, kConsumptionColumn), "") << "the first fill-up opens it";
  EXPECT_EQ(figure(window, "average_consumption_figure"), shown_number(8, 1) + " l/100 km");

  // Miles per US gallon, picked with the keys.
  answer_next_modal([](QWidget* dialog) {
    auto* unit = dialog->findChild<QComboBox*>(QStringLiteral("consumption_unit"));
    EXPECT_EQ(unit->currentText(), "l/100 km");
    unit->setFocus();
    QTest::keyClick(unit, Qt::Key_Down);
    QTest::keyClick(unit, Qt::Key_Down);
    EXPECT_EQ(unit->currentText(), "mpg (US)");
    testing::click_button(dialog, "OK");
  });
  testing::menu_action(window, "Log Settings…")->trigger();
  const QString mpg = shown_number(mpg_us(8), 1);
  EXPECT_EQ(header(*table, kConsumptionColumn), "Consumption (mpg (US))");
  EXPECT_EQ(last_cell(*table, kConsumptionColumn), mpg);
  EXPECT_EQ(figure(window, "average_consumption_figure"), mpg + " mpg (US)");
  EXPECT_EQ(read_file(home.dir().file("tarvik.settings.txt")),
            "distance=km\ncurrency=€\nconsumption=mpg-us\n");

  // Undone, the figure goes and its column with it.
  show_active(window);
  QTest::keyClick(table, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_TRUE(table->isColumnHidden(kConsumptionColumn));
  EXPECT_EQ(figure(window, "average_consumption_figure"), QStringLiteral("\u2013"));
}

TEST(ConsumptionWindow, InMilesPerGallonTheBestIsTheHighestAndTheChartHasEachFigure) {
  testing::scoped_home home;
  write_file(home.log(), entry(0, "2024-01-01", 1000, "Fuel", "12") +
                             entry(1, "2024-02-01", 1300, "Fuel", "10") +   // 30 mpg
                             entry(2, "2024-03-01", 1500, "Fuel", "10") +   // 20 mpg
                             entry(3, "2024-04-01", 1900, "Fuel Shell", "10"));  // 40 mpg
  write_file(home.dir().file("tarvik.settings.txt"), "distance=mi\nvolume=gal-us\n");
  Tarvik window;
  show_active(window);
  QTableView* table = testing::record_table(window);
  EXPECT_EQ(header(*table, kFuelColumn), "Fuel (US gal)");
  EXPECT_EQ(header(*table, kConsumptionColumn), "Consumption (mpg (US))") << "the usual for miles";
  EXPECT_EQ(last_cell(*table, kConsumptionColumn), shown_number(40, 1));
  EXPECT_EQ(figure(window, "average_consumption_figure"), shown_number(30, 1) + " mpg (US)")
      << "900 mi on 30 gal";
  EXPECT_EQ(figure(window, "best_consumption_figure"), shown_number(40, 1) + " mpg (US)");
  EXPECT_EQ(figure(window, "worst_consumption_figure"), shown_number(20, 1) + " mpg (US)");

  // The figures of the rows a filter shows, their stretches whole.
  auto* search = window.findChild<QLineEdit*>(QStringLiteral("search_box"));
  ASSERT_NE(search, nullptr);
  testing::type_into_box(search, "Shell");
  EXPECT_TRUE(QTest::qWaitFor([&] { return table->model()->rowCount() == 1; }, 3000));
  EXPECT_EQ(figure(window, "worst_consumption_figure"), shown_number(40, 1) + " mpg (US)");
  testing::type_into_box(search, "");
  EXPECT_TRUE(QTest::qWaitFor([&] { return table->model()->rowCount() == 4; }, 3000));

  answer_next_modal([](QWidget* dialog) {
    // Checked apart, so that a failed check still closes the dialog.
    [dialog] {
      auto* view = dialog->findChild<QChartView*>(QStringLiteral("consumption_chart"));
      ASSERT_NE(view, nullptr);
      const auto series = view->chart()->series();
      ASSERT_EQ(series.size(), 1);
      auto* line = qobject_cast<QLineSeries*>(series.front());
      ASSERT_NE(line, nullptr);
      ASSERT_EQ(line->count(), 3);
      EXPECT_NEAR(line->at(0).y(), 30, 1e-9);
      EXPECT_NEAR(line->at(1).y(), 20, 1e-9);
      EXPECT_NEAR(line->at(2).y(), 40, 1e-9);
      EXPECT_EQ(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(line->at(2).x()),
                                               QTimeZone::utc())
                    .date(),
                QDate(2024, 4, 1));
      EXPECT_EQ(view->chart()->axes(Qt::Vertical).value(0)->titleText(),
                "Consumption (mpg (US))");
    }();
    testing::click_button(dialog, "Close");
  });
  testing::menu_action(window, "Charts…")->trigger();
}

TEST(ConsumptionWindow, ALogInKilowattHoursSaysKWh) {
  testing::scoped_home home;
  write_file(home.log(), entry(0, "2024-01-01", 20000, "Charging", "30") +
                             entry(1, "2024-01-08", 20250, "Charging", "45"));  // 18 a 100 km
  write_file(home.dir().file("tarvik.settings.txt"), "distance=km\nvolume=kWh\ncurrency=€\n");
  Tarvik window;
  show_active(window);
  QTableView* table = testing::record_table(window);
  EXPECT_EQ(header(*table, kFuelColumn), "Charged (kWh)");
  EXPECT_EQ(header(*table, kConsumptionColumn), "Consumption (kWh/100 km)");
  EXPECT_EQ(last_cell(*table, kConsumptionColumn), shown_number(18, 1));
  EXPECT_EQ(figure(window, "average_consumption_figure"), shown_number(18, 1) + " kWh/100 km");

  answer_next_modal([](QWidget* dialog) {
    const auto text = [dialog](const char* name) {
      auto* part = dialog->findChild<QWidget*>(QLatin1String(name));
      if (auto* box = qobject_cast<QLineEdit*>(part)) return box->text();
      if (auto* label = qobject_cast<QLabel*>(part)) return label->text();
      return QStringLiteral("<none>");
    };
    EXPECT_EQ(text("op_box"), "Charging");
    EXPECT_EQ(text("quantity_box_label"), "&Energy (kWh)");
    EXPECT_EQ(text("price_box_label"), "&Price per kWh");
    testing::click_button(dialog, "Cancel");
  });
  QTest::keyClick(table, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);

  // Log Settings offers energy units only, and miles bring kWh per 100 mi.
  answer_next_modal([](QWidget* dialog) {
    auto* unit = dialog->findChild<QComboBox*>(QStringLiteral("consumption_unit"));
    EXPECT_EQ(unit->count(), 2);
    auto* distance = dialog->findChild<QComboBox*>(QStringLiteral("distance_unit"));
    distance->setFocus();
    QTest::keyClick(distance, Qt::Key_Down);
    EXPECT_EQ(unit->currentText(), "kWh/100 mi");
    testing::click_button(dialog, "OK");
  });
  testing::menu_action(window, "Log Settings…")->trigger();
  EXPECT_EQ(header(*table, kConsumptionColumn), "Consumption (kWh/100 mi)");
  // The readings are now miles: the same number, per 100 mi.
  EXPECT_EQ(last_cell(*table, kConsumptionColumn), shown_number(18, 1));
  EXPECT_EQ(read_file(home.dir().file("tarvik.settings.txt")),
            "distance=mi\nvolume=kWh\ncurrency=€\n")
      << "a unit that follows the distance is not written";
}

}  // namespace
}  // namespace tarvik
