// What the window shows about the log beside its rows: the statistics of
// the rows shown, and the charts.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTest>

#include "data/file_data_source.h"
#include "support/home.h"
#include "support/test_support.h"
#include "support/ui_support.h"
#include "ui/charts_dialog.h"
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
