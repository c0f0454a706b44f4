#include "ui/tarvik.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QHeaderView>
#include <QTableWidget>
#include <QToolBar>
#include <memory>

#include "data/file_data_source.h"
#include "support/home.h"
#include "support/test_support.h"

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

QTableWidget* table_of(const Tarvik& window) { return window.findChild<QTableWidget*>(); }

std::vector<QString> row_texts(const QTableWidget& table, int row) {
  std::vector<QString> texts;
  for (int k = 0; k < table.columnCount(); ++k) {
    const QTableWidgetItem* item = table.item(row, k);
    texts.push_back(item ? item->text() : QStringLiteral("<no item>"));
  }
  return texts;
}

TEST(MainWindow, WithoutALogShowsTheFiveColumnsAndNoRows) {
  scoped_home home;
  Tarvik window(nullptr, "tarvik");
  EXPECT_EQ(window.log_path(), home.log());
  EXPECT_EQ(window.windowTitle(), "Tarvik");
  EXPECT_EQ(window.objectName(), "tarvik");
  QTableWidget* table = table_of(window);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(window.centralWidget(), table);
  EXPECT_EQ(table->rowCount(), 0);
  ASSERT_EQ(table->columnCount(), 5);
  const char* labels[] = {"Mileage", "Date", "Operation", "Cost", "Notes"};
  const int widths[] = {60, 68, 78, 50, 150};
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(table->horizontalHeaderItem(k)->text(), labels[k]);
    EXPECT_EQ(table->columnWidth(k), widths[k]);
  }
  EXPECT_EQ(table->selectionMode(), QAbstractItemView::NoSelection);
  EXPECT_FALSE(testing::file_exists(home.log())) << "building the window writes nothing";
}

TEST(MainWindow, ShowsEveryRecordInStoreOrderInUneditableCells) {
  scoped_home home;
  write_file(home.log(), kThreeRecords);
  Tarvik window;
  EXPECT_EQ(window.row_identifiers(), (std::vector<int>{4, 1, 9}));
  QTableWidget* table = table_of(window);
  ASSERT_EQ(table->rowCount(), 3);
  EXPECT_EQ(row_texts(*table, 0),
            (std::vector<QString>{"45210.0", "2002-05-01", "Fuel", "10.00", ""}));
  EXPECT_EQ(row_texts(*table, 1),
            (std::vector<QString>{"51873.5", "2002-09-04", "Oil change", "24.50", "Filter too"}));
  EXPECT_EQ(row_texts(*table, 2),
            (std::vector<QString>{"60000.0", "1970-01-01", "Tyres", "312.00", "Winter set"}));
  for (int j = 0; j < 3; ++j) {
    for (int k = 0; k < 5; ++k) {
      ASSERT_NE(table->item(j, k), nullptr);
      EXPECT_FALSE(table->item(j, k)->flags() & Qt::ItemIsEditable);
      EXPECT_TRUE(table->item(j, k)->flags() & Qt::ItemIsEnabled);
    }
  }
  // The current cell still follows the user.
  table->setCurrentCell(2, 3);
  EXPECT_EQ(table->currentRow(), 2);
}

TEST(MainWindow, TheToolBarHoldsNewEditAndDeleteInOrder) {
  scoped_home home;
  Tarvik window;
  const auto bars = window.findChildren<QToolBar*>();
  ASSERT_EQ(bars.size(), 1);
  const auto actions = bars.front()->actions();
  ASSERT_EQ(actions.size(), 3);
  EXPECT_EQ(actions[0]->text(), "New");
  EXPECT_EQ(actions[1]->text(), "Edit");
  EXPECT_EQ(actions[2]->text(), "Delete");
  for (const QAction* action : actions) EXPECT_FALSE(action->icon().isNull());
  EXPECT_EQ(window.toolBarArea(bars.front()), Qt::TopToolBarArea);
}

TEST(MainWindow, TheLogPathFollowsHome) {
  scoped_home home;
  home.set(home.dir().path() + "/");
  {
    write_file(home.log(), kThreeRecords);
    Tarvik window;
    EXPECT_EQ(window.log_path(), home.dir().path() + "//tarvik.txt");
    EXPECT_EQ(table_of(window)->rowCount(), 3);
  }
  home.set(std::string());
  EXPECT_EQ(log_file_path(), "/tarvik.txt");
  // Without HOME, the password database names the home directory.
  home.set(std::nullopt);
  const std::string path = log_file_path();
  EXPECT_GT(path.size(), std::string("/tarvik.txt").size());
  EXPECT_EQ(path.substr(path.size() - 11), "/tarvik.txt");
}

TEST(MainWindow, AStoredTextShowsAsUtf8OrElseAsLatin1) {
  scoped_home home;
  write_file(home.log(),
             "<record=0>\noperation=\xC3\x96lwechsel \xE2\x82\xAC;\nnotes=Stra\xDF" "e;\n</record>\n");
  Tarvik window;
  QTableWidget* table = table_of(window);
  EXPECT_EQ(table->item(0, 2)->text(), QString::fromUtf8("Ölwechsel €"));
  EXPECT_EQ(table->item(0, 4)->text(), QString::fromUtf8("Straße"));
}

}  // namespace
}  // namespace tarvik
