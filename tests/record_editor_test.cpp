#include "ui/record_editor.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <clocale>
#include <cstdlib>
#include <ctime>
#include <optional>

#include "data/record.h"
#include "support/test_support.h"
#include "support/ui_support.h"

namespace tarvik {
namespace {

using testing::answer_next_editor;
using testing::answer_next_modal;
using testing::click_button;
using testing::type_into_box;
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

QLineEdit* box(QWidget* dialog, const char* name) {
  return dialog->findChild<QLineEdit*>(QLatin1String(name));
}

QString problem_text(QWidget* dialog) {
  const auto* label = dialog->findChild<QLabel*>(QStringLiteral("problem_label"));
  return label != nullptr && label->isVisible() ? label->text() : QString();
}


TEST(RecordEditorForm, IsFilledFromTheRecordInGridOrder) {
  const auto record = example_record();
  QDialog dialog;
  RecordEditor editor(record.get(), &dialog);
  EXPECT_EQ(editor.parent(), &dialog);
  auto* grid = editor.findChild<QGridLayout*>(QStringLiteral("top_layout"));
  ASSERT_NE(grid, nullptr);

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
    auto* line = editor.findChild<QLineEdit*>(QLatin1String(expected.box));
    ASSERT_NE(label, nullptr);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(label->text().remove(u'&'), expected.label);
    EXPECT_EQ(line->text(), expected.text);
    EXPECT_EQ(grid->itemAtPosition(row, 0)->widget(), label);
    EXPECT_EQ(grid->itemAtPosition(row, 1)->widget(), line);
    ++row;
  }
  // The date box says which form it wants.
  EXPECT_EQ(grid->itemAtPosition(1, 2)->widget()->property("text").toString(), "YYYY-MM-DD");
  auto* notes = editor.findChild<QPlainTextEdit*>(QStringLiteral("notes_box"));
  ASSERT_NE(notes, nullptr);
  EXPECT_EQ(notes->toPlainText(), "Filter\nreplaced");
  EXPECT_EQ(grid->itemAtPosition(4, 0)->widget()->objectName(), "notes_label");
  EXPECT_EQ(grid->itemAtPosition(5, 0)->widget(), notes);
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
  for (QPushButton* button : editor.findChildren<QPushButton*>()) {
    if (button->text() == "OK") ok = button;
    if (button->text() == "Cancel") cancel = button;
  }
  ASSERT_NE(ok, nullptr);
  ASSERT_NE(cancel, nullptr);
  EXPECT_TRUE(ok->isDefault());
}

TEST(RecordEditorDialog, IsModalAtItsOwnSizeOverTheWindow) {
  const auto record = example_record();
  QMainWindow window;
  window.resize(700, 500);
  window.show();
  bool checked = false;
  answer_next_modal([&](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Edit Record");
    EXPECT_EQ(dialog->objectName(), "some_editor");
    EXPECT_TRUE(dialog->isModal());
    // The offscreen screen (800x600) has room for it.
    EXPECT_FALSE(dialog->windowState() & Qt::WindowMaximized);
    EXPECT_TRUE(window.frameGeometry().contains(dialog->frameGeometry().center()));
    EXPECT_GE(box(dialog, "op_box")->width(), box(dialog, "op_box")->fontMetrics().averageCharWidth() * 20);
    checked = true;
    testing::fill_and_close(dialog, typed_record{.mileage = QStringLiteral("1"), .press_ok = false});
  });
  EXPECT_EQ(RecordEditor::editor_dialog(record.get(), &window, "some_editor", 0), 0);
  EXPECT_TRUE(checked);
  EXPECT_EQ(record->mileage(), 45210.0) << "Cancel leaves the record alone";
}

TEST(RecordEditorDialog, TabMovesThroughTheBoxesThenTheButtonsAndLeavesNotesAlone) {
  const auto record = example_record();
  std::vector<QString> order;
  answer_next_modal([&](QWidget* dialog) {
    for (int presses = 0; presses < 8; ++presses) {
      QWidget* focus = QApplication::focusWidget();
      if (focus == nullptr) break;
      order.push_back(focus->objectName().isEmpty() ? focus->property("text").toString()
                                                    : focus->objectName());
      QTest::keyClick(focus, Qt::Key_Tab);
    }
    click_button(dialog, QStringLiteral("OK"));
  });
  EXPECT_EQ(RecordEditor::editor_dialog(record.get(), nullptr, "e", 0), 1);
  ASSERT_EQ(order.size(), 8u);
  EXPECT_EQ((std::vector<QString>(order.begin(), order.begin() + 5)),
            (std::vector<QString>{"mileage_box", "date_box", "op_box", "cost_box", "notes_box"}));
  std::vector<QString> buttons(order.begin() + 5, order.begin() + 7);
  std::sort(buttons.begin(), buttons.end());
  EXPECT_EQ(buttons, (std::vector<QString>{"Cancel", "OK"}));
  EXPECT_EQ(order[7], "mileage_box");
  EXPECT_EQ(record->notes(), "Filter\nreplaced") << "no tab character was typed";
}

TEST(RecordEditorDialog, WithANullRecordTheBoxesAreEmptyAndOkReturnsOne) {
  answer_next_modal([](QWidget* dialog) {
    for (const QLineEdit* line : dialog->findChildren<QLineEdit*>()) EXPECT_TRUE(line->text().isEmpty());
    testing::fill_and_close(dialog, typed_record{.mileage = QStringLiteral("5")});
  });
  EXPECT_EQ(RecordEditor::editor_dialog(nullptr, nullptr, "n", 0), 1);
}

TEST(RecordEditorDialog, TypingReplacesTheFirstBoxOfANewRecord) {
  Record fresh(1);
  answer_next_modal([](QWidget* dialog) {
    QWidget* focus = QApplication::focusWidget();
    EXPECT_EQ(focus, box(dialog, "mileage_box"));
    if (focus == nullptr) return click_button(dialog, QStringLiteral("Cancel"));
    QTest::keyClicks(focus, "52000");
    QTest::keyClick(focus, Qt::Key_Return);  // OK is the default button
  });
  EXPECT_EQ(RecordEditor::editor_dialog(&fresh, nullptr, "new_record_editor", 0), 1);
  EXPECT_EQ(fresh.mileage(), 52000.0);
}

// Runs the dialog on `record`, types `typed` and presses OK.
void edit(Record& record, const typed_record& typed) {
  answer_next_editor(typed);
  EXPECT_EQ(RecordEditor::editor_dialog(&record, nullptr, "edit_record_editor", 0), 1);
}

std::unique_ptr<Record> edited(const typed_record& typed) {
  auto record = example_record();
  edit(*record, typed);
  return record;
}

TEST(RecordEditorWriteBack, BoxesLeftAsShownKeepTheirValuesExactly) {
  // Values whose display texts are not exact, and texts a text box would
  // change: bytes that are not UTF-8, CR LF, CR, U+2028, U+2029, a no-break
  // space, and more characters than a line edit holds by default.
  const std::string operation = "\xC3\x96lwechsel \xDF " + std::string(40000, 'x');
  const std::string notes = "a\r\nb\rc\xE2\x80\xA8" "d\xE2\x80\xA9" "e\xC2\xA0" "f\n";
  const long noon_before_year_zero = utc_midnight(-5001, 9, 16) + 45296;
  Record record(7);
  record.setup(7, 1020211200 + 45296, 45210.25, operation, notes, 0.125f);
  edit(record, {});
  EXPECT_EQ(record.mileage(), 45210.25);
  EXPECT_EQ(record.cost(), 0.125f);
  EXPECT_EQ(record.date(), 1020211200 + 45296);
  EXPECT_EQ(record.operation(), operation);
  EXPECT_EQ(record.notes(), notes);

  record.date(noon_before_year_zero);
  ASSERT_EQ(record.value("date"), "-5001-09-16");
  edit(record, {.mileage = QStringLiteral("1")});
  EXPECT_EQ(record.date(), noon_before_year_zero);
  EXPECT_EQ(record.operation(), operation);
  EXPECT_EQ(record.mileage(), 1.0);
}

TEST(RecordEditorWriteBack, AnEditedTextKeepsTheBytesAndLineBreaksLeftAlone) {
  Record record(1);
  record.setup(1, 0, 1, "Stra\xDF" "e", "one\r\ntwo\xC2\xA0two\r\nthree", 1);
  edit(record, {.operation = QString::fromLatin1("Stra\xDF" "en"),
                .notes = QString::fromUtf8("one\ntwo\u00A0two\nthree more\nfour")});
  EXPECT_EQ(record.operation(), "Stra\xDF" "en") << "a Latin-1 text stays Latin-1";
  EXPECT_EQ(record.notes(), "one\r\ntwo\xC2\xA0two\r\nthree more\r\nfour");
}

TEST(RecordEditorWriteBack, EmptiedBoxes) {
  const auto empty = edited({.mileage = QString(), .date = QString(), .operation = QString(),
                             .cost = QString(), .notes = QString()});
  EXPECT_EQ(empty->mileage(), 45210.0);
  EXPECT_EQ(empty->cost(), 24.5f);
  EXPECT_EQ(empty->date(), example_record()->date());
  EXPECT_EQ(empty->operation(), "");
  EXPECT_EQ(empty->notes(), "");
}

TEST(RecordEditorWriteBack, NumbersAreReadWhole) {
  EXPECT_EQ(edited({.mileage = QStringLiteral("  7e3 ")})->mileage(), 7000.0);
  EXPECT_EQ(edited({.mileage = QStringLiteral("-.5")})->mileage(), -0.5);
  EXPECT_EQ(edited({.cost = QStringLiteral("0.1")})->cost(), 0.1f);
  EXPECT_EQ(edited({.cost = QStringLiteral("12,50")})->cost(), 12.5f) << "a decimal comma";
  EXPECT_EQ(edited({.mileage = QStringLiteral("51873,5")})->mileage(), 51873.5);
}

// Types `text` into the box, presses OK (the Return key in the box), and
// expects the dialog to stay open with the box marked and a line naming
// `expected`; then mends the box with `mended` and presses OK again.
void expect_refused(const char* box_name, const QString& text, const char* expected,
                    const QString& mended, Record& record) {
  answer_next_modal([&](QWidget* dialog) {
    QLineEdit* line = box(dialog, box_name);
    type_into_box(line, text);
    QTest::keyClick(line, Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible()) << box_name << " " << text.toStdString();
    EXPECT_TRUE(line->property("invalid").toBool());
    EXPECT_TRUE(problem_text(dialog).contains(QLatin1String(expected)))
        << problem_text(dialog).toStdString();
    EXPECT_EQ(QApplication::focusWidget(), line);
    type_into_box(line, mended);
    EXPECT_FALSE(line->property("invalid").toBool()) << "the mark goes once the box reads";
    click_button(dialog, QStringLiteral("OK"));
    if (dialog->isVisible()) click_button(dialog, QStringLiteral("Cancel"));
  });
  EXPECT_EQ(RecordEditor::editor_dialog(&record, nullptr, "e", 0), 1);
}

TEST(RecordEditorWriteBack, TextThatIsNotANumberOrDateKeepsTheDialogOpen) {
  const auto record = example_record();
  for (const char* text : {"abc", "12.5 km", "1.234,5", "1,2,3", "0x10", "inf", "1e999"}) {
    expect_refused("mileage_box", QLatin1String(text), "Mileage", QStringLiteral("45300"), *record);
    EXPECT_EQ(record->mileage(), 45300.0) << text;
  }
  expect_refused("cost_box", QStringLiteral("12.5 EUR"), "such as 12.50", QString(), *record);
  EXPECT_EQ(record->cost(), 24.5f) << "an emptied box keeps the value";
  expect_refused("cost_box", QStringLiteral("1e39"), "too large", QStringLiteral("3"), *record);
  EXPECT_EQ(record->cost(), 3.0f);
  for (const char* text : {"17.05.2003", "2003-05", "(error)", "2003-05-17-9", "2003-5-x",
                           "2003-05-17 12:00", "1234567890-01-01"}) {
    expect_refused("date_box", QLatin1String(text), "YYYY-MM-DD", QStringLiteral("2004-06-01"),
                   *record);
    EXPECT_EQ(record->value("date"), "2004-06-01") << text;
  }
}

TEST(RecordEditorWriteBack, CancelClosesWhateverTheBoxesHold) {
  const auto record = example_record();
  answer_next_modal([](QWidget* dialog) {
    type_into_box(box(dialog, "mileage_box"), QStringLiteral("abc"));
    click_button(dialog, QStringLiteral("OK"));
    click_button(dialog, QStringLiteral("Cancel"));
  });
  EXPECT_EQ(RecordEditor::editor_dialog(record.get(), nullptr, "e", 0), 0);
  EXPECT_EQ(record->mileage(), 45210.0);
}

TEST(RecordEditorWriteBack, DatesParseAsYearMonthDayAndRollOver) {
  EXPECT_EQ(edited({.date = QStringLiteral("2003-05-17")})->date(), utc_midnight(2003, 5, 17));
  EXPECT_EQ(edited({.date = QStringLiteral(" 2003-05-17 ")})->value("date"), "2003-05-17");
  EXPECT_EQ(edited({.date = QStringLiteral("2003-13-01")})->date(), utc_midnight(2004, 1, 1));
  EXPECT_EQ(edited({.date = QStringLiteral("2003-02-30")})->date(), utc_midnight(2003, 3, 2));
  EXPECT_EQ(edited({.date = QStringLiteral("2003-03-00")})->date(), utc_midnight(2003, 2, 28));
  EXPECT_EQ(edited({.date = QStringLiteral("03-05-17")})->value("date"), "0003-05-17");
  EXPECT_EQ(edited({.date = QStringLiteral("-5001-09-16")})->value("date"), "-5001-09-16");
}

// A typed date is the first second of that day in local time, in zones
// with negative daylight saving (Dublin's winter, Casablanca's Ramadan), a
// day that starts at 01:00 (Sao Paulo, 19 October 2003) and plain ones.
TEST(RecordEditorWriteBack, ATypedDateIsThatDayInEveryZone) {
  const char* zones[] = {"UTC", "Europe/Berlin", "Europe/Dublin", "Africa/Casablanca",
                         "America/Sao_Paulo", "Australia/Lord_Howe"};
  const char* dates[] = {"2003-01-17", "2003-07-17", "2003-10-19", "2019-11-03", "2020-05-01"};
  for (const char* zone : zones) {
    testing::time_zone in_zone(zone);
    for (const char* date : dates) {
      const auto record = edited({.date = QLatin1String(date)});
      EXPECT_EQ(record->value("date"), date) << zone;
      Record second_before(0);
      second_before.date(record->date() - 1);
      EXPECT_NE(second_before.value("date"), date) << zone << " " << date;
      edit(*record, {});  // confirming again moves nothing
      EXPECT_EQ(record->value("date"), date) << zone;
    }
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
