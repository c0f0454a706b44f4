#include "ui/record_editor.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
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
#include "ui/shown_number.h"

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
    QString text;
  } rows[] = {{"mileage_label", "Mileage", "mileage_box", shown_number(45210, 1)},
              {"date_label", "Date", "date_box", "2002-05-01"},
              {"op_label", "Operation", "op_box", "Oil change"},
              {"cost_label", "Cost", "cost_box", shown_number(24.5, 2)}};
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
    for (int presses = 0; presses < 10; ++presses) {
      QWidget* focus = QApplication::focusWidget();
      if (focus == nullptr) break;
      order.push_back(focus->objectName().isEmpty() ? focus->property("text").toString()
                                                    : focus->objectName());
      QTest::keyClick(focus, Qt::Key_Tab);
    }
    click_button(dialog, QStringLiteral("OK"));
  });
  EXPECT_EQ(RecordEditor::editor_dialog(record.get(), nullptr, "e", 0), 1);
  ASSERT_EQ(order.size(), 10u);
  // The other fields' table and its Add button (Remove waits for a row).
  EXPECT_EQ((std::vector<QString>(order.begin(), order.begin() + 7)),
            (std::vector<QString>{"mileage_box", "date_box", "op_box", "cost_box", "notes_box",
                                  "fields_table", "add_field_button"}));
  std::vector<QString> buttons(order.begin() + 7, order.begin() + 9);
  std::sort(buttons.begin(), buttons.end());
  EXPECT_EQ(buttons, (std::vector<QString>{"Cancel", "OK"}));
  EXPECT_EQ(order[9], "mileage_box");
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

// The user's locale for the life of a test; the one before comes back.
class default_locale {
 public:
  explicit default_locale(const QLocale& locale) { QLocale::setDefault(locale); }
  ~default_locale() { QLocale::setDefault(before_); }
  default_locale(const default_locale&) = delete;
  default_locale& operator=(const default_locale&) = delete;

 private:
  QLocale before_;
};

QString visible_text(QWidget* dialog, const char* label_name) {
  const auto* label = dialog->findChild<QLabel*>(QLatin1String(label_name));
  return label != nullptr && label->isVisible() ? label->text() : QString();
}

// What typing a mileage into a new record's dialog comes to: the value
// saved and the value shown beside the box, or the problem line of a
// refusal.
struct typed_outcome {
  std::optional<double> saved;
  QString beside;
  QString refusal;
};

typed_outcome type_mileage(const QString& text) {
  Record fresh(1);
  typed_outcome outcome;
  answer_next_modal([&](QWidget* dialog) {
    QWidget* focus = QApplication::focusWidget();
    if (focus != box(dialog, "mileage_box")) {
      ADD_FAILURE() << "the mileage box has not the focus";
      return click_button(dialog, QStringLiteral("Cancel"));
    }
    // The offered 0.0 is selected: typing replaces it. QTest::keyClicks
    // takes ASCII alone; other characters come as the keyboard sends them.
    for (const QChar c : text) {
      if (c.unicode() < 128) {
        QTest::keyClicks(focus, QString(c));
      } else {
        QTest::sendKeyEvent(QTest::Click, focus, Qt::Key_unknown, QString(c), Qt::NoModifier);
      }
    }
    outcome.beside = visible_text(dialog, "mileage_read");
    QTest::keyClick(focus, Qt::Key_Return);
    if (dialog->isVisible()) {
      outcome.refusal = problem_text(dialog);
      click_button(dialog, QStringLiteral("Cancel"));
    }
  });
  if (RecordEditor::editor_dialog(&fresh, nullptr, "new_record_editor", 0) == 1) {
    outcome.saved = fresh.mileage();
  }
  return outcome;
}

struct locale_case {
  const char* typed;
  std::optional<double> saved;  // none: refused
  const char* beside_or_refusal;
};

void expect_typed(const QLocale& locale, std::initializer_list<locale_case> cases) {
  default_locale in_locale(locale);
  for (const locale_case& expected : cases) {
    const typed_outcome outcome = type_mileage(QString::fromUtf8(expected.typed));
    const std::string where = locale.name().toStdString() + " \"" + expected.typed + "\"";
    EXPECT_EQ(outcome.saved, expected.saved) << where;
    if (expected.saved) {
      EXPECT_EQ(outcome.beside, QString::fromUtf8(expected.beside_or_refusal)) << where;
    } else {
      EXPECT_TRUE(outcome.refusal.contains(QString::fromUtf8(expected.beside_or_refusal)))
          << where << ": " << outcome.refusal.toStdString();
    }
  }
}

TEST(RecordEditorLocale, EnglishGroupsWithTheComma) {
  expect_typed(QLocale(QLocale::English, QLocale::UnitedStates),
               {{"148,950", 148950.0, "= 148,950.0"},
                {"149.200", 149.2, "= 149.2"},
                {"12,50", 12.5, "= 12.5"},
                {"1.234,5", 1234.5, "= 1,234.5"},
                {"1,234.5", 1234.5, "= 1,234.5"},
                {"1,23,456", std::nullopt, "not grouped in threes"},
                {"1 234,5", std::nullopt, "is not a number; type one such as 45,210.5"}});
}

TEST(RecordEditorLocale, GermanGroupsWithTheFullStop) {
  expect_typed(QLocale(QLocale::German, QLocale::Germany),
               {{"148,950", 148.95, "= 148,95"},
                {"149.200", 149200.0, "= 149.200,0"},
                {"12,50", 12.5, "= 12,5"},
                {"1.234,5", 1234.5, "= 1.234,5"},
                {"1,234.5", 1234.5, "= 1.234,5"},
                {"1 234,5", std::nullopt, "type one such as 45.210,5"}});
}

TEST(RecordEditorLocale, FrenchGroupsWithSpaces) {
  const QLocale french(QLocale::French, QLocale::France);
  const QString group = french.groupSeparator();
  ASSERT_EQ(group, QString(QChar(0x202F))) << "Qt's French groups with a narrow no-break space";
  expect_typed(french, {{"148,950", 148.95, "= 148,95"},
                        {"149.200", 149.2, "= 149,2"},
                        {"12,50", 12.5, "= 12,5"},
                        {"1.234,5", 1234.5, "= 1\u202F234,5"},
                        {"1,234.5", 1234.5, "= 1\u202F234,5"},
                        {"1\u202F234,5", 1234.5, "= 1\u202F234,5"},
                        {"1 234,5", 1234.5, "= 1\u202F234,5"},
                        {"12 34,5", std::nullopt, "not grouped in threes"}});
}

TEST(RecordEditorLocale, TheBoxesShowTheRecordsNumbersInTheLocaleAndKeepThemUntouched) {
  default_locale in_locale(QLocale(QLocale::German, QLocale::Germany));
  Record record(3);
  record.setup(3, 1020211200, 148950.27, "Oil change", "", 1234.5f);
  answer_next_modal([&](QWidget* dialog) {
    EXPECT_EQ(box(dialog, "mileage_box")->text(), "148.950,3");
    EXPECT_EQ(box(dialog, "cost_box")->text(), "1.234,50");
    EXPECT_TRUE(visible_text(dialog, "mileage_read").isEmpty()) << "nothing typed yet";
    click_button(dialog, QStringLiteral("OK"));
  });
  EXPECT_EQ(RecordEditor::editor_dialog(&record, nullptr, "e", 0), 1);
  EXPECT_EQ(record.mileage(), 148950.27) << "a box left alone is not read back rounded";
  EXPECT_EQ(record.value("mileage"), "148950.3") << "the record keeps its own form";
}

// A log of a car read every few months; 0 is no reading.
log_context readings_log() {
  log_context log;
  log.readings = {{utc_midnight(2024, 1, 1), 151000},
                  {utc_midnight(2024, 3, 1) + 50000, 150210},
                  {utc_midnight(2024, 6, 1), 0},
                  {utc_midnight(2024, 9, 1), 160000},
                  {utc_midnight(2024, 12, 1), 165000}};
  return log;
}

TEST(RecordEditorReadings, AReadingAgainstTheEntriesAroundItIsNamedButSaved) {
  const log_context log = readings_log();
  const long may = utc_midnight(2024, 5, 1);
  EXPECT_EQ(implausible_reading(log, may, 150000),
            QStringList{"lower than " + shown_number(150210, 1) + " on 2024-03-01"})
      << "the nearest earlier entry with a higher reading";
  EXPECT_EQ(implausible_reading(log, may, 166000),
            QStringList{"higher than " + shown_number(160000, 1) + " on 2024-09-01"})
      << "the nearest later one with a lower reading; the 0 of June is none";
  EXPECT_TRUE(implausible_reading(log, may, 155000).isEmpty());
  EXPECT_TRUE(implausible_reading(log, may, 0).isEmpty()) << "0 is no reading";
  EXPECT_EQ(implausible_reading(log, utc_midnight(2024, 3, 1), 100).size(), 1)
      << "the entry of the same day, at another hour, is neither before nor after";
  EXPECT_EQ(implausible_reading(log, utc_midnight(2024, 10, 1), 10).size(), 1);
  EXPECT_EQ(implausible_reading(log, utc_midnight(2024, 10, 1), 170000).size(), 1);

  Record record(9);
  record.setup(9, may, 150000, "Fuel", "", 40);
  answer_next_modal([&](QWidget* dialog) {
    EXPECT_TRUE(visible_text(dialog, "mileage_warning").contains(QStringLiteral("lower than")))
        << "an old entry is checked as it opens";
    QLineEdit* mileage = box(dialog, "mileage_box");
    type_into_box(mileage, QStringLiteral("155000"));
    EXPECT_TRUE(visible_text(dialog, "mileage_warning").isEmpty());
    type_into_box(box(dialog, "date_box"), QStringLiteral("2024-12-02"));
    EXPECT_TRUE(visible_text(dialog, "mileage_warning").contains(QStringLiteral("lower than")))
        << "the date counts as typed";
    type_into_box(mileage, QStringLiteral("170000"));
    type_into_box(box(dialog, "date_box"), QStringLiteral("2024-08-01"));
    EXPECT_TRUE(visible_text(dialog, "mileage_warning").contains(QStringLiteral("higher than")));
    click_button(dialog, QStringLiteral("OK"));
  });
  EXPECT_EQ(RecordEditor::editor_dialog(&record, nullptr, "e", 0, {}, log), 1);
  EXPECT_EQ(record.mileage(), 170000.0) << "the warning does not keep OK from saving";
}

TEST(RecordEditorReadings, TheLatestReadingAndTheOperationsOfALog) {
  EXPECT_EQ(latest_reading(readings_log()), 165000.0);
  log_context zeros;
  zeros.readings = {{utc_midnight(2024, 1, 1), 5}, {utc_midnight(2024, 2, 1), 0}};
  EXPECT_EQ(latest_reading(zeros), 5.0) << "0 is no reading";
  EXPECT_EQ(latest_reading(log_context()), std::nullopt);

  Record oil(1), fuel(2), again(3), edited(4);
  oil.setup(1, 10, 100, "Oil change", "", 0);
  fuel.setup(2, 20, 200, "Fuel", "", 0);
  again.setup(3, 30, 300, " OIL CHANGE ", "", 0);
  edited.setup(4, 40, 400, "Wipers", "", 0);
  const log_context context = context_of({&oil, &fuel, &again, &edited}, 4);
  EXPECT_EQ(context.operations, (QStringList{"Oil change", "Fuel"}));
  EXPECT_EQ(context.readings.size(), 3u) << "the entry edited is not its own neighbour";
}

TEST(RecordEditorReadings, TheOperationBoxCompletesFromTheLogInAnyCase) {
  log_context log;
  log.operations = {QStringLiteral("Oil change"), QStringLiteral("Fuel")};
  Record record(1);
  answer_next_modal([&](QWidget* dialog) {
    QLineEdit* operation = box(dialog, "op_box");
    type_into_box(operation, QStringLiteral("oi"));
    QTest::keyClick(operation->completer()->popup(), Qt::Key_Down);
    QTest::keyClick(operation->completer()->popup(), Qt::Key_Return);
    EXPECT_EQ(operation->text(), "Oil change");
    click_button(dialog, QStringLiteral("OK"));
  });
  EXPECT_EQ(RecordEditor::editor_dialog(&record, nullptr, "e", 0, {}, log), 1);
  EXPECT_EQ(record.operation(), "Oil change");
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
  // "1.234,5" was refused here once; it is 1234.5 now in any locale.
  for (const char* text : {"abc", "12.5 km", "1 2", "1,2,3", "0x10", "inf", "1e999"}) {
    expect_refused("mileage_box", QLatin1String(text), "Mileage", QStringLiteral("45300"), *record);
    EXPECT_EQ(record->mileage(), 45300.0) << text;
  }
  expect_refused("cost_box", QStringLiteral("12.5 EUR"), "such as", QString(), *record);
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
