// Sorting by a click on a column's header, filtering by typed text and a
// range of days, and the commands on a sorted and filtered table: all with
// real clicks and keys, the file checked after each change.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "data/file_data_source.h"
#include "support/home.h"
#include "support/test_support.h"
#include "support/ui_support.h"
#include "ui/record_model.h"
#include "ui/tarvik.h"

namespace tarvik {
namespace {

using testing::answer_next_editor;
using testing::scoped_home;
using Ids = std::vector<int>;
using Notes = std::vector<QString>;

std::string block(int id, const char* mileage, long date, const char* operation, const char* cost,
                  const char* notes) {
  return "<record=" + std::to_string(id) + ">\ncost=" + cost + ";\noperation=" + operation +
         ";\ndate=" + std::to_string(date) + ";\nmileage=" + mileage + ";\nnotes=" + notes +
         ";\n</record>\n";
}

constexpr long kDay = 86400;
constexpr long k2001 = 978307200;  // 2001-01-01, UTC as the tests run
constexpr long kYear10000 = 253402300800;

// Each record's notes name it. Mileage, cost and date each sort otherwise
// as numbers than as texts ("9000.0" > "10000.0", "10000-01-11" <
// "2002-..."); three share the operation "fuel" in two letter cases.
std::string five_records() {
  return block(0, "9000", k2001 + 400 * kDay, "fuel", "10", "r0") +
         block(1, "10000", k2001 + 150 * kDay, "Oil", "9.5", "r1") +
         block(2, "500", kYear10000 + 10 * kDay, "Fuel", "10", "r2") +
         block(3, "120000", k2001 + 365 * kDay, "brakes", "100", "r3") +
         block(4, "9000", k2001 + 1100 * kDay, "fuel", "10", "r4");
}

class TableView : public ::testing::Test {
 protected:
  void open(const std::string& log) {
    testing::write_file(home.log(), log);
    window = std::make_unique<Tarvik>();
    window->resize(1000, 500);
    window->show();
    activate();
    table = testing::record_table(*window);
    ASSERT_NE(table, nullptr);
    search = window->findChild<QLineEdit*>(QStringLiteral("search_box"));
    ASSERT_NE(search, nullptr);
  }

  void activate() {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  // The notes of every row shown, top to bottom.
  Notes shown() const {
    Notes notes;
    for (int row = 0; row < table->model()->rowCount(); ++row) {
      notes.push_back(testing::cell(*table, row, 4));
    }
    return notes;
  }

  void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(table, key, modifiers);
    if (window->isVisible()) activate();
  }

  // A click into the box, the year selected with the keys, then the
  // digits of the day, which move on from section to section.
  static void type_day(QDateEdit* box, const char* digits) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(10, box->height() / 2));
    QTest::keyClick(box, Qt::Key_Home);
    for (int k = 0; k < 4; ++k) QTest::keyClick(box, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClicks(box, QLatin1String(digits));
  }

  void type_search(const QString& text) { testing::type_into_box(search, text); }

  Ids logged_ids() { return FileDataSource(home.log()).identifiers(); }
  QString count_text() const {
    return window->statusBar()->findChildren<QLabel*>().front()->text();
  }

  scoped_home home;
  std::unique_ptr<Tarvik> window;
  QTableView* table = nullptr;
  QLineEdit* search = nullptr;
};

TEST_F(TableView, HeaderClicksSortUpThenDownThenBackToStoreOrder) {
  open(five_records());
  const Notes store{"r0", "r1", "r2", "r3", "r4"};
  testing::click_cell(*table, 1, 2);  // r1 is current throughout

  // Numbers as numbers; the two at 9000 stay in store order both ways.
  testing::click_header(*table, 0);
  EXPECT_EQ(shown(), (Notes{"r2", "r0", "r4", "r1", "r3"}));
  EXPECT_EQ(testing::cell(*table, table->currentIndex().row(), 4), "r1") << "current follows";
  EXPECT_EQ(table->horizontalHeader()->sortIndicatorSection(), 0);
  testing::click_header(*table, 0);
  EXPECT_EQ(shown(), (Notes{"r3", "r1", "r0", "r4", "r2"}));
  testing::click_header(*table, 0);
  EXPECT_EQ(shown(), store);
  EXPECT_EQ(table->horizontalHeader()->sortIndicatorSection(), -1);

  // Dates as dates: the year 10000 last, not first as its text would.
  testing::click_header(*table, 1);
  EXPECT_EQ(shown(), (Notes{"r1", "r3", "r0", "r4", "r2"}));
  // Another column starts upwards again.
  testing::click_header(*table, 3);
  EXPECT_EQ(shown(), (Notes{"r1", "r0", "r2", "r4", "r3"}));
  testing::click_header(*table, 3);
  EXPECT_EQ(shown(), (Notes{"r3", "r0", "r2", "r4", "r1"}));

  // Texts in any letter case; the three "fuel" in store order both ways.
  testing::click_header(*table, 2);
  EXPECT_EQ(shown(), (Notes{"r3", "r0", "r2", "r4", "r1"}));
  testing::click_header(*table, 2);
  EXPECT_EQ(shown(), (Notes{"r1", "r0", "r2", "r4", "r3"}));

  // An edited text, new to the column, takes its sorted place.
  testing::click_cell(*table, 0, 2);
  answer_next_editor({.operation = QStringLiteral("Air filter")});
  QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, testing::cell_centre(*table, 0, 2));
  activate();
  EXPECT_EQ(shown(), (Notes{"r0", "r2", "r4", "r3", "r1"}));
  testing::click_header(*table, 2);
  EXPECT_EQ(shown(), store);
  EXPECT_EQ(window->row_identifiers(), (Ids{0, 1, 2, 3, 4})) << "the store keeps its order";
}

TEST_F(TableView, TypedTextFiltersOperationAndNotesInAnyLetterCase) {
  // Operation or notes, UTF-8 or Latin-1 ("\xD6L" is "ÖL").
  const std::string log = block(0, "1", k2001, "\xC3\x96lwechsel", "1", "a") +
                          block(1, "2", k2001, "Tyres", "1", "B\xC3\xB6LLER") +
                          block(2, "3", k2001, "Fuel", "1", "\xD6L checked") +
                          block(3, "4", k2001, "Oil", "1", "Filter") +
                          block(4, "5", k2001, "Wash", "1", "e");
  open(log);
  type_search(QString::fromUtf8("öl"));
  EXPECT_EQ(shown(), (Notes{"a", QString::fromUtf8("BöLLER"), QString::fromUtf8("ÖL checked")}));
  EXPECT_EQ(count_text(), "5 records, 3 shown");
  type_search(QStringLiteral("FIL"));
  EXPECT_EQ(shown(), Notes{"Filter"});
  type_search(QStringLiteral("WASH"));
  EXPECT_EQ(shown(), Notes{"e"}) << "operations count";
  type_search(QStringLiteral("x"));
  EXPECT_TRUE(shown().empty());
  {
    // Return ends the search; it does not edit the current row.
    testing::no_modal_expected no_dialog;
    type_search(QStringLiteral("fil"));
    QTest::keyClick(search, Qt::Key_Return);
    QTest::qWait(50);
  }
  EXPECT_EQ(QApplication::focusWidget(), table);
  type_search(QString());
  EXPECT_EQ(shown().size(), 5u);
  EXPECT_EQ(count_text(), "5 records");
}

TEST_F(TableView, ANoteOfMegabytesIsShownInPartAndFoundWhole) {
  // Laid out whole, it took seconds at every paint of the table.
  const std::string note = std::string(2000000, 'x') + " END";
  open(block(0, "1", k2001, "Oil", "1", note.c_str()) + block(1, "2", k2001, "Fuel", "1", "short"));
  const QString cell = testing::cell(*table, 0, 4);
  EXPECT_EQ(cell, QString(1000, QLatin1Char('x')) + QChar(0x2026));
  EXPECT_EQ(table->model()->index(0, 4).data(record_model::whole_text_role).toString().size(),
            2000004);
  type_search(QStringLiteral("end"));
  EXPECT_EQ(shown().size(), 1u);
}

TEST_F(TableView, TheCurrentRecordStaysCurrentWhileTheFilterShowsIt) {
  open(five_records());
  testing::click_header(*table, 0);  // mileage: r2 r0 r4 r1 r3
  testing::click_cell(*table, 2, 1);
  ASSERT_EQ(testing::cell(*table, table->currentIndex().row(), 4), "r4");
  const auto current = [&] { return testing::cell(*table, table->currentIndex().row(), 4); };
  // Typed letter by letter: r4 moves up as rows above it go, and stays.
  testing::type_into_box(search, QStringLiteral("fuel"));
  EXPECT_EQ(shown(), (Notes{"r2", "r0", "r4"}));
  EXPECT_EQ(current(), "r4");
  EXPECT_EQ(table->currentIndex().column(), 1);
  // Widened again, it stays on r4 too.
  testing::type_into_box(search, QStringLiteral("r"));
  EXPECT_EQ(current(), "r4");
  EXPECT_EQ(table->currentIndex().row(), 2);
  // Hidden: the first row is current.
  testing::type_into_box(search, QStringLiteral("oil"));
  EXPECT_EQ(shown(), Notes{"r1"});
  EXPECT_EQ(current(), "r1");
  testing::type_into_box(search, QString());
  EXPECT_EQ(current(), "r1");
}

TEST_F(TableView, ADateRangeKeepsItsWholeFirstAndLastDays) {
  open(block(0, "1", k2001 - 1, "a", "1", "before") +
       block(1, "2", k2001, "b", "1", "first day") +
       block(2, "3", k2001 + 2 * kDay - 1, "c", "1", "last day") +
       block(3, "4", k2001 + 2 * kDay, "d", "1", "after"));
  auto* range = window->findChild<QCheckBox*>(QStringLiteral("date_range_box"));
  auto* from = window->findChild<QDateEdit*>(QStringLiteral("date_from"));
  auto* to = window->findChild<QDateEdit*>(QStringLiteral("date_to"));
  ASSERT_TRUE(range && from && to);
  EXPECT_FALSE(from->isEnabled());
  testing::type_into_box(search, QString());
  QTest::mouseClick(range, Qt::LeftButton);
  ASSERT_TRUE(range->isChecked());
  // Typed backwards: the range runs from the earlier day.
  type_day(from, "20010102");
  type_day(to, "20010101");
  EXPECT_EQ(from->date(), QDate(2001, 1, 2)) << from->text().toStdString();
  EXPECT_EQ(to->date(), QDate(2001, 1, 1));
  EXPECT_EQ(shown(), (Notes{"first day", "last day"}));
  // Together with a text.
  type_search(QStringLiteral("LAST"));
  EXPECT_EQ(shown(), Notes{"last day"});
  type_search(QString());
  QTest::mouseClick(range, Qt::LeftButton);
  EXPECT_EQ(shown().size(), 4u);
}

TEST_F(TableView, EditDeleteAndUndoOnASortedFilteredTableActOnTheRecordShown) {
  open(five_records());
  type_search(QStringLiteral("FUEL"));
  testing::click_header(*table, 0);
  testing::click_header(*table, 0);  // mileage downwards
  ASSERT_EQ(shown(), (Notes{"r0", "r4", "r2"}));

  // Edit the middle row: r4, by its identifier, in the file too.
  testing::click_cell(*table, 1, 1);
  answer_next_editor({.mileage = QStringLiteral("9500")});
  press(Qt::Key_F2);
  EXPECT_EQ(FileDataSource(home.log()).record(4)->mileage(), 9500.0);
  EXPECT_EQ(shown(), (Notes{"r4", "r0", "r2"})) << "sorted again";
  EXPECT_EQ(testing::cell(*table, table->currentIndex().row(), 4), "r4");

  // Delete the row shown second: r0; the current row stays second.
  testing::click_cell(*table, 1, 0);
  press(Qt::Key_Delete);
  EXPECT_EQ(logged_ids(), (Ids{1, 2, 3, 4}));
  EXPECT_EQ(shown(), (Notes{"r4", "r2"}));
  EXPECT_EQ(table->currentIndex().row(), 1);

  // Undo puts r0 back where it stood in the file.
  press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(logged_ids(), (Ids{0, 1, 2, 3, 4}));
  EXPECT_EQ(shown(), (Notes{"r4", "r0", "r2"}));
  press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(FileDataSource(home.log()).record(4)->mileage(), 9000.0);
  EXPECT_EQ(testing::read_file(home.log()), five_records()) << "the file as it was";

  // A new record the filter hides is saved all the same, and said so.
  answer_next_editor({.operation = QStringLiteral("Battery"), .notes = QStringLiteral("r5")});
  press(Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(logged_ids(), (Ids{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(shown(), (Notes{"r0", "r4", "r2"}));
  EXPECT_TRUE(window->statusBar()->currentMessage().contains(QStringLiteral("hidden by the filter")))
      << window->statusBar()->currentMessage().toStdString();
  type_search(QString());
  EXPECT_EQ(shown(), (Notes{"r3", "r1", "r0", "r4", "r2", "r5"}));

  // A new record it shows takes its sorted place and is current.
  answer_next_editor({.mileage = QStringLiteral("9500"), .notes = QStringLiteral("r6")});
  press(Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(logged_ids(), (Ids{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(shown(), (Notes{"r3", "r1", "r6", "r0", "r4", "r2", "r5"}));
  EXPECT_EQ(table->currentIndex().row(), 2);
}

TEST_F(TableView, AnEditTheFilterHidesIsSavedAndTheCurrentRowStaysPut) {
  open(five_records());
  type_search(QStringLiteral("fuel"));
  ASSERT_EQ(shown(), (Notes{"r0", "r2", "r4"}));
  testing::click_cell(*table, 1, 2);
  answer_next_editor({.operation = QStringLiteral("Oil")});
  press(Qt::Key_Return);
  EXPECT_EQ(FileDataSource(home.log()).record(2)->operation(), "Oil");
  EXPECT_EQ(shown(), (Notes{"r0", "r4"}));
  EXPECT_EQ(table->currentIndex().row(), 1);
  EXPECT_TRUE(window->statusBar()->currentMessage().contains(QStringLiteral("hidden by the filter")));
  EXPECT_EQ(count_text(), "5 records, 2 shown");
  // Undone, it shows again and is current.
  press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(shown(), (Notes{"r0", "r2", "r4"}));
  EXPECT_EQ(table->currentIndex().row(), 1);
  EXPECT_EQ(testing::read_file(home.log()), five_records());
}

TEST_F(TableView, AnotherProgramsChangeShowsSortedAndFilteredOnTheSameRecord) {
  open(five_records());
  type_search(QStringLiteral("fuel"));
  testing::click_header(*table, 0);
  testing::click_header(*table, 0);
  ASSERT_EQ(shown(), (Notes{"r0", "r4", "r2"}));
  testing::click_cell(*table, 1, 1);
  // r0 goes, a fuel record with the lowest mileage comes at the end.
  const std::string log = five_records();
  const std::string r0 = block(0, "9000", k2001 + 400 * kDay, "fuel", "10", "r0");
  testing::write_file(home.log(), log.substr(r0.size()) +
                                      block(7, "100", k2001, "FUEL", "1", "r7"));
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return window->row_identifiers() == Ids{1, 2, 3, 4, 7}; }, 3000));
  EXPECT_EQ(shown(), (Notes{"r4", "r2", "r7"}));
  EXPECT_EQ(testing::cell(*table, table->currentIndex().row(), 4), "r4");
}

}  // namespace
}  // namespace tarvik
