#include "ui/record_editor.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <clocale>
#include <ctime>

#include "data/record.h"
#include "support/ui_support.h"

namespace tarvik {
namespace {

using testing::answer_next_editor;
using testing::typed_record;

// A record as the example log holds it: 2002-05-01, 45210, 24.50.
std::unique_ptr<Record> example_record() {
  auto record = std::make_unique<Record>(0);
  record->setup(0, 1020211200 + 3600, 45210, "Oil change", "Filter\nreplaced", 24.5f);
  return record;
}

long utc_midnight(int year, int month, int day) {
  std::tm parts{};
  parts.tm_year = year - 1900;
  parts.tm_mon = month - 1;
  parts.tm_mday = day;
  return static_cast<long>(timegm(&parts));
}

TEST(RecordEditorForm, IsFilledFromTheRecordInGridOrder) {
  const auto record = example_record();
  QDialog dialog;
  RecordEditor editor(record.get(), &dialog);
  EXPECT_EQ(editor.parent(), &dialog);
  auto* grid = editor.findChild<QGridLayout*>(QStringLiteral("top_layout"));
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->rowCount(), 7);
  EXPECT_EQ(grid->columnCount(), 2);

  const struct {
    const char* label_name;
    const char* label;
    const char* box;
    const char* text;
  } rows[] = {{"mileage_label", "Mileage", "mileage_box", "45210.0"},
              {"date_label", "Date", "date_box", "2002-05-01"},
              {"op_label", "Operation", "op_box", "Oil change"},
              {"cost_label", "Cost", "cost_box", "24.50"}};
  int row = 0;
  for (const auto& expected : rows) {
    auto* label = editor.findChild<QLabel*>(QLatin1String(expected.label_name));
    auto* box = editor.findChild<QLineEdit*>(QLatin1String(expected.box));
    ASSERT_NE(label, nullptr);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(label->text(), expected.label);
    EXPECT_EQ(box->text(), expected.text);
    EXPECT_EQ(grid->itemAtPosition(row, 0)->widget(), label);
    EXPECT_EQ(grid->itemAtPosition(row, 1)->widget(), box);
    ++row;
  }
  auto* notes = editor.findChild<QPlainTextEdit*>(QStringLiteral("notes_box"));
  ASSERT_NE(notes, nullptr);
  EXPECT_EQ(notes->toPlainText(), "Filter\nreplaced");
  EXPECT_EQ(grid->itemAtPosition(4, 0)->widget()->objectName(), "notes_label");
  EXPECT_EQ(grid->itemAtPosition(4, 1), nullptr);
  int notes_row, notes_column, row_span, column_span;
  grid->getItemPosition(grid->indexOf(notes), &notes_row, &notes_column, &row_span, &column_span);
  EXPECT_EQ(notes_row, 5);
  EXPECT_EQ(notes_column, 0);
  EXPECT_EQ(column_span, 2);
  auto* ok = qobject_cast<QPushButton*>(grid->itemAtPosition(6, 0)->widget());
  auto* cancel = qobject_cast<QPushButton*>(grid->itemAtPosition(6, 1)->widget());
  ASSERT_NE(ok, nullptr);
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(ok->text(), "OK");
  EXPECT_EQ(cancel->text(), "Cancel");

  // Focus moves through the boxes, then the buttons, in that order.
  QWidget* expected_order[] = {editor.findChild<QLineEdit*>("mileage_box"),
                               editor.findChild<QLineEdit*>("date_box"),
                               editor.findChild<QLineEdit*>("op_box"),
                               editor.findChild<QLineEdit*>("cost_box"), notes, ok, cancel};
  std::vector<QWidget*> tab_order;
  for (QWidget* w = expected_order[0]; tab_order.size() < 7; w = w->nextInFocusChain()) {
    if (w->focusPolicy() & Qt::TabFocus) tab_order.push_back(w);
  }
  EXPECT_EQ(tab_order, std::vector<QWidget*>(std::begin(expected_order), std::end(expected_order)));
}

TEST(RecordEditorDialog, IsTheModalMaximizedEditRecordDialog) {
  const auto record = example_record();
  bool checked = false;
  testing::answer_next_modal([&](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Edit Record");
    EXPECT_EQ(dialog->objectName(), "some_editor");
    EXPECT_TRUE(dialog->isModal());
    EXPECT_TRUE(dialog->windowState() & Qt::WindowMaximized);
    checked = true;
    testing::fill_and_close(dialog, typed_record{.mileage = QStringLiteral("1"), .press_ok = false});
  });
  EXPECT_EQ(RecordEditor::editor_dialog(record.get(), nullptr, "some_editor", 0), 0);
  EXPECT_TRUE(checked);
  EXPECT_EQ(record->mileage(), 45210.0) << "Cancel leaves the record alone";
}

TEST(RecordEditorDialog, WithANullRecordTheBoxesAreEmptyAndOkReturnsOne) {
  testing::answer_next_modal([](QWidget* dialog) {
    for (const QLineEdit* box : dialog->findChildren<QLineEdit*>()) EXPECT_TRUE(box->text().isEmpty());
    testing::fill_and_close(dialog, typed_record{.mileage = QStringLiteral("5")});
  });
  EXPECT_EQ(RecordEditor::editor_dialog(nullptr, nullptr, "n", 0), 1);
}

// Runs the dialog on the example record, types `typed` and presses OK.
std::unique_ptr<Record> edited(const typed_record& typed) {
  auto record = example_record();
  answer_next_editor(typed);
  EXPECT_EQ(RecordEditor::editor_dialog(record.get(), nullptr, "edit_record_editor", 0), 1);
  return record;
}

TEST(RecordEditorWriteBack, ConfirmingUnchangedRebuildsFromTheShownTexts) {
  const auto record = edited({});
  EXPECT_EQ(record->date(), utc_midnight(2002, 5, 1)) << "the time of day is dropped";
  EXPECT_EQ(record->mileage(), 45210.0);
  EXPECT_EQ(record->cost(), 24.5f);
  EXPECT_EQ(record->operation(), "Oil change");
  EXPECT_EQ(record->notes(), "Filter\nreplaced");
}

TEST(RecordEditorWriteBack, NumbersTakeTheirLongestPrefixAndEmptyBoxesKeepTheValue) {
  EXPECT_EQ(edited({.mileage = QStringLiteral("12.5 km")})->mileage(), 12.5);
  EXPECT_EQ(edited({.mileage = QStringLiteral("abc")})->mileage(), 0.0);
  EXPECT_EQ(edited({.mileage = QStringLiteral("  7e3")})->mileage(), 7000.0);
  EXPECT_EQ(edited({.cost = QStringLiteral("0.1")})->cost(), 0.1f);
  const auto empty = edited({.mileage = QString(), .operation = QString(), .cost = QString(),
                             .notes = QString()});
  EXPECT_EQ(empty->mileage(), 45210.0);
  EXPECT_EQ(empty->cost(), 24.5f);
  EXPECT_EQ(empty->operation(), "");
  EXPECT_EQ(empty->notes(), "");
}

TEST(RecordEditorWriteBack, DatesParseAsYearMonthDayAndRollOver) {
  EXPECT_EQ(edited({.date = QStringLiteral("2003-05-17")})->date(), utc_midnight(2003, 5, 17));
  EXPECT_EQ(edited({.date = QStringLiteral("2003-05-17")})->value("date"), "2003-05-17");
  EXPECT_EQ(edited({.date = QStringLiteral("2003-13-01")})->date(), utc_midnight(2004, 1, 1));
  EXPECT_EQ(edited({.date = QStringLiteral("2003-02-30")})->date(), utc_midnight(2003, 3, 2));
  EXPECT_EQ(edited({.date = QStringLiteral("2003-03-00")})->date(), utc_midnight(2003, 2, 28));
  EXPECT_EQ(edited({.date = QStringLiteral("2003-05-17-9")})->date(), utc_midnight(2003, 5, 17));
  EXPECT_EQ(edited({.date = QStringLiteral("03-05-17")})->value("date"), "0003-05-17");
  // Without two "-" the date stays; the other values are still written.
  const long kept = example_record()->date();
  for (const char* text : {"2003-05", "17.05.2003", "", "(error)"}) {
    const auto record = edited({.mileage = QStringLiteral("1"), .date = QLatin1String(text)});
    EXPECT_EQ(record->date(), kept) << text;
    EXPECT_EQ(record->mileage(), 1.0) << text;
  }
}

TEST(RecordEditorWriteBack, TextsBeyondLatin1ComeBackAsTyped) {
  const QString operation = QString::fromUtf8("Ölwechsel € Масло 机油");
  const QString notes = QString::fromUtf8("Δ 5 km\nzweite Zeile ✓");
  const auto record = edited({.operation = operation, .notes = notes});
  EXPECT_EQ(record->operation(), operation.toStdString());
  EXPECT_EQ(record->notes(), notes.toStdString());
}

// The application sets the C library's locale from the environment; a
// comma as decimal separator must not change how numbers are read.
TEST(RecordEditorWriteBack, UnderACommaLocaleNumbersStillUseTheFullStop) {
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE.UTF-8";
  const auto unchanged = edited({});
  const auto typed = edited({.mileage = QStringLiteral("123.5"), .cost = QStringLiteral("9.99")});
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(unchanged->mileage(), 45210.0);
  EXPECT_EQ(unchanged->cost(), 24.5f);
  EXPECT_EQ(typed->mileage(), 123.5);
  EXPECT_EQ(typed->cost(), 9.99f);
}

}  // namespace
}  // namespace tarvik
