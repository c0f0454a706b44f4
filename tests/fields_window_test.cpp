// The fields beyond the five in the Edit Record dialog, and fill-ups:
// typed with real keys, checked in the log file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include "data/file_data_source.h"
#include "data/record.h"
#include "support/home.h"
#include "support/test_support.h"
#include "support/ui_support.h"
#include "ui/record_editor.h"
#include "ui/shown_number.h"
#include "ui/tarvik.h"

namespace tarvik {
namespace {

using testing::answer_next_modal;
using testing::click_button;
using testing::type_into_box;

template <typename Widget>
Widget* part(QWidget* dialog, const char* name) {
  auto* found = dialog->findChild<Widget*>(QLatin1String(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

// What has the focus in `dialog`, whether or not its window is active yet.
QWidget* focus_in(QWidget* dialog) {
  QWidget* focus = dialog->focusWidget();
  EXPECT_NE(focus, nullptr);
  return focus != nullptr ? focus : dialog;
}

// Types `text` into what has the focus in `dialog`, key by key.
void type_keys(QWidget* dialog, const QString& text) {
  for (const QChar c : text) QTest::keyClick(focus_in(dialog), static_cast<char>(c.unicode()));
}

// OK, which is to close the dialog; when it does not, the test fails and
// Cancel closes it, so that nothing waits on it.
void press_ok(QWidget* dialog) {
  click_button(dialog, QStringLiteral("OK"));
  if (!dialog->isVisible()) return;
  ADD_FAILURE() << "OK left the dialog open: "
                << dialog->findChild<QLabel*>(QStringLiteral("problem_label"))->text().toStdString();
  click_button(dialog, QStringLiteral("Cancel"));
}

void click_field_cell(QTableWidget* table, int row, int column) {
  const QRect cell = table->visualRect(table->model()->index(row, column));
  QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

void show_active(QWidget& window) {
  window.resize(900, 500);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

std::string block_of(const std::string& text, const std::string& open_tag) {
  const std::size_t begin = text.find(open_tag);
  const std::size_t end = text.find("</record>", begin);
  return begin == std::string::npos ? std::string() : text.substr(begin, end - begin);
}

const char* const kLogWithFields =
    "<record=1>\n"
    "cost=12;\n"
    "operation=Car wash;\n"
    "date=1020211200;\n"
    "mileage=45210;\n"
    "notes=;\n"
    "station=Aral;\n"
    "Wax=yes;\n"
    "</record>\n"
    "# the tyres\n"
    "<record=2>\n"
    "cost=312;\n"
    "operation=Tyres;\n"
    "date=1031097600;\n"
    "mileage=51873.5;\n"
    "notes=;\n"
    "</record>\n";

TEST(OtherFieldsDialog, AreChangedRemovedAndAddedWithKeysAndSavedInTheirBlock) {
  testing::time_zone utc("UTC");
  testing::scoped_home home;
  testing::write_file(home.log(), kLogWithFields);
  Tarvik window;
  show_active(window);
  QTableView* table = testing::record_table(window);
  testing::click_cell(*table, 0, 0);

  answer_next_modal([](QWidget* dialog) {
    auto* fields = part<QTableWidget>(dialog, "fields_table");
    ASSERT_EQ(fields->rowCount(), 2);
    EXPECT_EQ(fields->item(0, 0)->text(), "station");
    EXPECT_EQ(fields->item(1, 0)->text(), "Wax");
    EXPECT_EQ(fields->item(1, 1)->text(), "yes");
    // Change: F2 on the value, a new text, Return.
    click_field_cell(fields, 0, 1);
    QTest::keyClick(fields, Qt::Key_F2);
    QTest::keyClick(focus_in(dialog), Qt::Key_A, Qt::ControlModifier);
    type_keys(dialog, QStringLiteral("Shell"));
    QTest::keyClick(focus_in(dialog), Qt::Key_Return);
    QApplication::processEvents();  // the view commits a cell queued
    // Remove: the row current, then the button.
    click_field_cell(fields, 1, 0);
    QTest::mouseClick(part<QPushButton>(dialog, "remove_field_button"), Qt::LeftButton);
    // Add: the key, Tab, the value, Return.
    QTest::mouseClick(part<QPushButton>(dialog, "add_field_button"), Qt::LeftButton);
    type_keys(dialog, QStringLiteral("shop"));
    QTest::keyClick(focus_in(dialog), Qt::Key_Tab);
    type_keys(dialog, QStringLiteral("Hans; Sohn"));
    QTest::keyClick(focus_in(dialog), Qt::Key_Return);
    QApplication::processEvents();  // the view commits a cell queued
    ASSERT_EQ(fields->rowCount(), 2);
    press_ok(dialog);
  });
  QTest::keyClick(table, Qt::Key_Return);

  const std::string saved = testing::read_file(home.log());
  EXPECT_EQ(block_of(saved, "<record=1>"),
            "<record=1>\ncost=12;\noperation=Car wash;\ndate=1020211200;\nmileage=45210;\n"
            "notes=;\nstation=Shell;\nshop*=Hans%3B Sohn;\n");
  const std::string rest = kLogWithFields + block_of(kLogWithFields, "<record=1>").size();
  EXPECT_EQ(saved.substr(saved.size() - rest.size()), rest) << "the rest byte for byte";
  FileDataSource again(home.log());
  ASSERT_NE(again.record(1)->other_field("shop"), nullptr);
  EXPECT_EQ(*again.record(1)->other_field("shop"), "Hans; Sohn");
}

TEST(OtherFieldsDialog, AKeyTheLogCannotHoldKeepsTheDialogOpenAndSaysWhy) {
  Record record(0);
  record.other_fields({{"station", "Aral"}});
  answer_next_modal([](QWidget* dialog) {
    QTest::mouseClick(part<QPushButton>(dialog, "add_field_button"), Qt::LeftButton);
    type_keys(dialog, QStringLiteral("a=b"));
    QTest::keyClick(focus_in(dialog), Qt::Key_Tab);
    type_keys(dialog, QStringLiteral("1"));
    QTest::keyClick(focus_in(dialog), Qt::Key_Return);
    QApplication::processEvents();  // the view commits a cell queued
    click_button(dialog, QStringLiteral("OK"));
    EXPECT_TRUE(dialog->isVisible());
    auto* problem = part<QLabel>(dialog, "problem_label");
    EXPECT_TRUE(problem->isVisible());
    EXPECT_TRUE(problem->text().contains(QStringLiteral("\u201Ca=b\u201D"))) << problem->text().toStdString();
    click_button(dialog, QStringLiteral("Cancel"));
  });
  EXPECT_EQ(RecordEditor::editor_dialog(&record, nullptr, "editor", 0), 0);
  EXPECT_EQ(record.other_fields().size(), 1u);
}

TEST(FillUpDialog, CtrlShiftFOpensItAndQuantityAndPriceGiveTheCost) {
  testing::time_zone utc("UTC");
  testing::scoped_home home;
  testing::write_file(home.log(), testing::kExampleLog);
  Tarvik window;
  show_active(window);
  QTableView* table = testing::record_table(window);
  constexpr int kFuelColumn = 5;
  EXPECT_TRUE(table->isColumnHidden(kFuelColumn)) << "no fill-ups yet";

  answer_next_modal([](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "New Fill-up");
    EXPECT_EQ(part<QLineEdit>(dialog, "op_box")->text(), "Fuel");
    type_into_box(part<QLineEdit>(dialog, "quantity_box"), QStringLiteral("40"));
    type_into_box(part<QLineEdit>(dialog, "price_box"), QStringLiteral("1.5"));
    EXPECT_EQ(part<QLineEdit>(dialog, "cost_box")->text(), shown_number(60, 2));
    auto* full = part<QCheckBox>(dialog, "full_box");
    full->setFocus();
    QTest::keyClick(full, Qt::Key_Space);
    press_ok(dialog);
  });
  QTest::keyClick(table, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);

  FileDataSource saved(home.log());
  const Record* fill_up = saved.record(saved.identifiers().back());
  EXPECT_EQ(fill_up->operation(), "Fuel");
  EXPECT_EQ(fill_up->cost(), 60.0f);
  ASSERT_EQ(fill_up->other_fields().size(), 3u);
  EXPECT_EQ(*fill_up->other_field("fuel"), "40");
  EXPECT_EQ(*fill_up->other_field("price"), "1.5");
  EXPECT_EQ(*fill_up->other_field("full"), "yes");
  // The Fuel column shows while the log has a fill-up, before Notes.
  EXPECT_FALSE(table->isColumnHidden(kFuelColumn));
  EXPECT_EQ(table->horizontalHeader()->visualIndex(kFuelColumn), 4);
  EXPECT_EQ(testing::cell(*table, table->model()->rowCount() - 1, kFuelColumn), shown_number(40, 2));
  EXPECT_EQ(testing::cell(*table, 0, kFuelColumn), "");
  show_active(window);
  QTest::keyClick(table, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_TRUE(table->isColumnHidden(kFuelColumn)) << "undone: no fill-ups again";
}

TEST(FillUpDialog, CostAndQuantityGiveThePriceAndTheUsersOwnCostWins) {
  Record record(0);
  record.operation("Fuel");
  answer_next_modal([](QWidget* dialog) {
    auto* quantity = part<QLineEdit>(dialog, "quantity_box");
    auto* price = part<QLineEdit>(dialog, "price_box");
    auto* cost = part<QLineEdit>(dialog, "cost_box");
    type_into_box(cost, QStringLiteral("60"));
    type_into_box(quantity, QStringLiteral("40"));
    EXPECT_EQ(price->text(), shown_number(1.5, 3));
    type_into_box(quantity, QStringLiteral("48"));
    EXPECT_EQ(price->text(), shown_number(1.25, 3)) << "worked out again as the user types";
    // All three typed: nothing is worked out, the cost stays the user's.
    type_into_box(price, QStringLiteral("1.3"));
    EXPECT_EQ(cost->text(), "60");
    EXPECT_EQ(quantity->text(), "48");
    press_ok(dialog);
  });
  EXPECT_EQ(RecordEditor::editor_dialog(&record, nullptr, "fill_up", RecordEditor::kNewFillUp), 1);
  EXPECT_EQ(record.cost(), 60.0f);
  ASSERT_NE(record.other_field("fuel"), nullptr);
  EXPECT_EQ(*record.other_field("fuel"), "48");
  EXPECT_EQ(*record.other_field("price"), "1.3");
  EXPECT_EQ(record.other_field("full"), nullptr) << "the box was left unchecked";
}

TEST(FillUpDialog, AnEditedFillUpKeepsItsFieldsInPlace) {
  Record record({{"identifier", "1"}, {"cost", "61"}, {"Fuel", "40.5"}, {"station", "Aral"},
                 {"full", "no"}, {"price", "1.509"}});
  record.clear_modified();
  answer_next_modal([](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Edit Record");
    EXPECT_EQ(part<QLineEdit>(dialog, "quantity_box")->text(), shown_number(40.5, 2));
    EXPECT_FALSE(part<QCheckBox>(dialog, "full_box")->isChecked());
    // The table lists only the fields without a box of their own.
    EXPECT_EQ(part<QTableWidget>(dialog, "fields_table")->rowCount(), 1);
    press_ok(dialog);
  });
  EXPECT_EQ(RecordEditor::editor_dialog(&record, nullptr, "edit", 0), 1);
  EXPECT_FALSE(record.modified()) << "nothing typed, nothing changed";

  answer_next_modal([](QWidget* dialog) {
    type_into_box(part<QLineEdit>(dialog, "price_box"), QStringLiteral("1.52"));
    press_ok(dialog);
  });
  EXPECT_EQ(RecordEditor::editor_dialog(&record, nullptr, "edit", 0), 1);
  ASSERT_EQ(record.other_fields().size(), 4u);
  EXPECT_EQ(record.other_fields()[0].key, "Fuel");
  EXPECT_EQ(record.other_fields()[3].key, "price");
  EXPECT_EQ(record.other_fields()[3].value, "1.52");
}

}  // namespace
}  // namespace tarvik
