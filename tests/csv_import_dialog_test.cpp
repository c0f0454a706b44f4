// File > Import CSV…: the dialog's choices, driven by keys and clicks, and
// the import as one step of the window's undo history.
#include "ui/csv_import_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <sys/stat.h>

#include "data/file_data_source.h"
#include "insight/log_settings.h"
#include "support/home.h"
#include "support/test_support.h"
#include "support/ui_support.h"
#include "ui/import_command.h"
#include "ui/tarvik.h"

namespace tarvik {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

Fields fields_of(const imported_entry& entry) {
  Fields fields;
  for (const hash_element& field : entry.fields) fields.emplace_back(field.key, field.value);
  return fields;
}

// Pieces of the dialog, by name.
template <typename Widget>
Widget* part(QWidget* dialog, const char* name) {
  auto* found = dialog->findChild<Widget*>(QLatin1String(name));
  if (found == nullptr) ADD_FAILURE() << "no " << name;
  return found;
}

QStringList problems_of(QWidget* dialog) {
  QStringList lines;
  const QAbstractItemModel* model = part<QListView>(dialog, "problem_list")->model();
  for (int row = 0; row < model->rowCount(); ++row) lines << model->index(row, 0).data().toString();
  return lines;
}

QString summary_of(QWidget* dialog) { return part<QLabel>(dialog, "summary_label")->text(); }

void show_active(QWidget& widget) {
  widget.show();
  widget.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&widget));
}

// A key pressed on a closed box, as a user steps through its entries.
void press_in(QComboBox* box, Qt::Key key, int times = 1) {
  for (int i = 0; i < times; ++i) QTest::keyClick(box, key);
}

TEST(CsvImportDialog, AmbiguousDatesWaitForTheUsersChoice) {
  testing::time_zone utc("UTC");
  csv_import_dialog dialog(nullptr, QStringLiteral("log.csv"),
                           "Date,Mileage,Operation\n01/05/2002,100,Oil\n02/05/2002,200,Tyres\n");
  show_active(dialog);
  auto* dates = part<QComboBox>(&dialog, "dates_box");
  auto* import = part<QPushButton>(&dialog, "import_button");
  EXPECT_EQ(dates->currentIndex(), -1) << "no order is guessed for the user";
  EXPECT_TRUE(part<QLabel>(&dialog, "dates_warning")->isVisible());
  EXPECT_FALSE(import->isEnabled());
  EXPECT_EQ(summary_of(&dialog), "Choose how the dates are written.");
  QTest::mouseClick(import, Qt::LeftButton);
  EXPECT_TRUE(dialog.isVisible());

  // Year-month-day first: no row can be read, so nothing to import.
  press_in(dates, Qt::Key_Down);
  EXPECT_EQ(problems_of(&dialog),
            (QStringList{"Line 2: Date \"01/05/2002\" is not a date of the form chosen",
                         "Line 3: Date \"02/05/2002\" is not a date of the form chosen"}));
  EXPECT_FALSE(import->isEnabled());
  press_in(dates, Qt::Key_Down, 2);  // month first
  EXPECT_FALSE(part<QLabel>(&dialog, "dates_warning")->isVisible());
  EXPECT_TRUE(problems_of(&dialog).isEmpty());
  EXPECT_EQ(summary_of(&dialog), "2 entries to import");
  QTest::mouseClick(import, Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  ASSERT_EQ(dialog.entries().size(), 2u);
  EXPECT_EQ(dialog.entries()[0].date, 1010188800);  // 5 January 2002
  EXPECT_EQ(dialog.entries()[1].date, 1012867200);  // 5 February 2002
}

TEST(CsvImportDialog, EachRoleHasOneColumnAndNothingIsLeftOutUnasked) {
  testing::time_zone utc("UTC");
  csv_import_dialog dialog(nullptr, QStringLiteral("log.csv"),
                           "Date,Odometer,Service,Cost,Workshop,\n"
                           "2002-05-13,45210,Oil,24.5,Meier,x\n");
  show_active(dialog);
  auto* workshop = part<QComboBox>(&dialog, "role_box_4");
  auto* service = part<QComboBox>(&dialog, "role_box_2");
  auto* cost = part<QComboBox>(&dialog, "role_box_3");
  EXPECT_EQ(workshop->currentText(), "Keep as Field");
  EXPECT_EQ(part<QComboBox>(&dialog, "role_box_5")->currentText(), "Keep as Field")
      << "a column without a name is kept too";
  ASSERT_EQ(dialog.entries().size(), 1u);
  EXPECT_EQ(fields_of(dialog.entries()[0]), (Fields{{"Workshop", "Meier"}, {"Column 6", "x"}}));

  // Stepping up from Keep as Field passes Notes and Cost on the way to
  // Operation: only Operation is taken from its column.
  press_in(workshop, Qt::Key_Up, 3);
  EXPECT_EQ(workshop->currentText(), "Operation");
  EXPECT_EQ(cost->currentText(), "Cost");
  EXPECT_EQ(service->currentText(), "Keep as Field");
  ASSERT_EQ(dialog.entries().size(), 1u);
  EXPECT_EQ(dialog.entries()[0].operation, "Meier");
  EXPECT_EQ(dialog.entries()[0].cost, 24.5f);
  EXPECT_EQ(fields_of(dialog.entries()[0]), (Fields{{"Service", "Oil"}, {"Column 6", "x"}}));

  // Left out when the user says so.
  press_in(part<QComboBox>(&dialog, "role_box_5"), Qt::Key_Down);
  EXPECT_EQ(fields_of(dialog.entries()[0]), (Fields{{"Service", "Oil"}}));

  // Without a date column there is nothing to import.
  press_in(part<QComboBox>(&dialog, "role_box_0"), Qt::Key_Down, 4);
  EXPECT_EQ(summary_of(&dialog), "Choose the column that holds the dates.");
  EXPECT_FALSE(part<QPushButton>(&dialog, "import_button")->isEnabled());
}

TEST(CsvImportDialog, TheDecimalMarkIsTheFilesAndTheUserCanCorrectIt) {
  testing::time_zone utc("UTC");
  // Nothing in the numbers tells: a file separated by ";" is taken to
  // group thousands with full stops.
  csv_import_dialog dialog(nullptr, QStringLiteral("log.csv"),
                           "Date;Km;Cost\n2002-05-13;45.210;12\n2002-05-14;46.100,5;8\n");
  show_active(dialog);
  auto* decimals = part<QComboBox>(&dialog, "decimals_box");
  EXPECT_EQ(decimals->currentText(), "Comma (1.234,5)");
  ASSERT_EQ(dialog.entries().size(), 2u);
  EXPECT_EQ(dialog.entries()[0].mileage, 45210);
  EXPECT_EQ(dialog.entries()[1].mileage, 46100.5);

  // A full stop instead: what cannot be read so is listed, never read as
  // some other number.
  press_in(decimals, Qt::Key_Up);
  EXPECT_EQ(decimals->currentText(), "Full stop (1,234.5)");
  ASSERT_EQ(dialog.entries().size(), 1u);
  EXPECT_EQ(dialog.entries()[0].mileage, 45.21);
  EXPECT_EQ(problems_of(&dialog), QStringList{"Line 3: Km \"46.100,5\" is not a number"});
}

TEST(CsvImportDialog, ASeparatorChosenReadsTheColumnsAnew) {
  testing::time_zone utc("UTC");
  // More commas than semicolons in the header: guessed wrong.
  csv_import_dialog dialog(nullptr, QStringLiteral("log.csv"),
                           "Date;Cost, EUR, with tax;Notes, misc\n13.05.2002;12,50;a, b\n");
  show_active(dialog);
  auto* separator = part<QComboBox>(&dialog, "separator_box");
  EXPECT_EQ(separator->currentText(), "Comma");
  press_in(separator, Qt::Key_Down);
  EXPECT_EQ(separator->currentText(), "Semicolon");
  EXPECT_EQ(part<QComboBox>(&dialog, "dates_box")->currentIndex(), 1) << "day first, clearly";
  ASSERT_EQ(dialog.entries().size(), 1u);
  EXPECT_EQ(dialog.entries()[0].cost, 12.5f);
  EXPECT_EQ(dialog.entries()[0].notes, "a, b");
  EXPECT_EQ(dialog.entries()[0].date, 1021248000);
}

TEST(CsvImportDialog, AFileIsReadOnlyWhenItIsARegularFileOfASaneSize) {
  testing::temp_dir dir;
  std::string text;
  QString error;
  const std::string fifo = dir.file("pipe.csv");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(read_csv_file(QString::fromStdString(fifo), text, error)) << "it would block";
  EXPECT_EQ(error, "It is not a regular file");
  testing::write_file(dir.file("big.csv"), std::string(2000, 'x'));
  EXPECT_FALSE(read_csv_file(QString::fromStdString(dir.file("big.csv")), text, error, 1999));
  EXPECT_TRUE(error.startsWith("It is larger than")) << error.toStdString();
  EXPECT_TRUE(read_csv_file(QString::fromStdString(dir.file("big.csv")), text, error, 2000));
  EXPECT_EQ(text.size(), 2000u);
  EXPECT_FALSE(read_csv_file(QString::fromStdString(dir.file("none.csv")), text, error));
  EXPECT_EQ(error, "No such file or directory");
}

TEST(CsvImportDialog, AFileOfAHundredThousandColumnsShowsTheFirstAndKeepsTheRest) {
  testing::time_zone utc("UTC");
  // 100,003 columns, as a spreadsheet turned on its side writes them. The
  // last is headed "Cost" but has no box: it is kept in the notes, a name
  // no other field can have.
  constexpr int kColumns = 100003;
  std::string csv = "Date,Km,Service";
  for (int column = 4; column < kColumns; ++column) csv += ",c" + std::to_string(column);
  csv += ",Cost\n2002-05-13,45210,Oil";
  for (int column = 4; column < kColumns; ++column) csv += column % 25000 == 0 ? ",v" : ",";
  csv += ",12\n2002-05-14,46000,Tyres";
  csv += std::string(kColumns - 3, ',') + "\n";
  QElapsedTimer clock;
  clock.start();
  csv_import_dialog dialog(nullptr, QStringLiteral("wide.csv"), std::move(csv));
  show_active(dialog);
  // A guard against the minute it once took, not a measure.
  EXPECT_LT(clock.elapsed(), 10000);

  auto* preview = part<QTableView>(&dialog, "preview_table");
  EXPECT_EQ(preview->model()->columnCount(), 200);
  EXPECT_EQ(part<QComboBox>(&dialog, "role_box_199")->currentText(), "Keep as Field");
  EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("role_box_200")), nullptr);
  auto* hidden = part<QLabel>(&dialog, "hidden_columns_label");
  EXPECT_TRUE(hidden->isVisible());
  EXPECT_EQ(hidden->text(), QLocale().toString(99803) +
                                " more columns are not shown: what they hold is kept with each "
                                "entry, as a field named by its header.");
  ASSERT_EQ(dialog.entries().size(), 2u);
  EXPECT_EQ(fields_of(dialog.entries()[0]),
            (Fields{{"c25000", "v"}, {"c50000", "v"}, {"c75000", "v"}, {"c100000", "v"}}));
  EXPECT_EQ(dialog.entries()[0].notes, "Cost: 12");
  EXPECT_EQ(dialog.entries()[0].cost, 0.0f);
  EXPECT_EQ(dialog.entries()[1].operation, "Tyres");
  EXPECT_EQ(dialog.entries()[1].notes, "");

  // A role chosen reads every row again, as quickly.
  clock.restart();
  press_in(part<QComboBox>(&dialog, "role_box_2"), Qt::Key_Down);  // Service: Cost
  EXPECT_LT(clock.elapsed(), 10000);
  EXPECT_EQ(problems_of(&dialog), (QStringList{"Line 2: Service \"Oil\" is not a number",
                                               "Line 3: Service \"Tyres\" is not a number"}));
}

TEST(CsvImportDialog, ACellTheLogCannotKeepIsListedAndAHugeOneShownInPart) {
  testing::time_zone utc("UTC");
  using namespace std::string_literals;
  const std::string huge(1000000, 'n');
  csv_import_dialog dialog(nullptr, QStringLiteral("log.csv"),
                           "Date,Service,Notes\n"
                           "2002-05-13,Oil,\"" + huge + "\"\n"
                           "2002-05-14,Tyres,first half\0second half\n"s);
  show_active(dialog);
  EXPECT_FALSE(part<QLabel>(&dialog, "hidden_columns_label")->isVisible());
  EXPECT_EQ(problems_of(&dialog),
            QStringList{"Line 3: Notes holds a NUL character, which a log cannot keep"});
  ASSERT_EQ(dialog.entries().size(), 1u);
  EXPECT_EQ(dialog.entries()[0].notes, huge) << "imported whole";
  const QModelIndex cell = part<QTableView>(&dialog, "preview_table")->model()->index(0, 2);
  EXPECT_EQ(cell.data().toString(), QString(400, QLatin1Char('n')) + QChar(0x2026));
  EXPECT_EQ(cell.data(Qt::ToolTipRole).toString().size(), 4001);
}

// A log from another program: semicolons, decimal commas, day-first dates,
// a note over two lines, a workshop column, and two rows that cannot be read.
const char* const kWorkshopCsv =
    "Date;Odometer;Service;Cost;Workshop\n"
    "13.05.2002;45.210,5;Oil change;89,90;Meier\n"
    "14.05.2002;46100;\"Tyres\nwinter\";412,00;\n"
    "15.05.2002;about 47000;Wipers;12,50;\n"
    ";48000;Brakes;230,00;Meier\n"
    "16.05.2002;49500;Inspection;310,40;Meier\n";

TEST(CsvImportDialog, TheWindowImportsInOneStepThatOneUndoTakesBack) {
  testing::time_zone utc("UTC");
  testing::scoped_home home;
  testing::write_file(home.log(), testing::kExampleLog);
  const std::string csv = home.dir().file("workshop.csv");
  testing::write_file(csv, kWorkshopCsv);
  Tarvik window;
  window.resize(900, 500);
  show_active(window);

  QString summary;
  QStringList problems;
  testing::answer_next_modal([&](QWidget* chooser) {
    EXPECT_EQ(chooser->windowTitle(), "Import CSV");
    // Set now: choosing the file runs the event loop.
    testing::answer_next_modal([&](QWidget* dialog) {
      EXPECT_EQ(dialog->objectName(), "csv_import_dialog");
      summary = summary_of(dialog);
      problems = problems_of(dialog);
      QTest::mouseClick(part<QPushButton>(dialog, "import_button"), Qt::LeftButton);
    });
    testing::choose_file(chooser, QString::fromStdString(csv));
  });
  // Started from the search box, as from its menu's shortcut: Undo must
  // still reach the import, not the search text.
  auto* search = window.findChild<QLineEdit*>(QStringLiteral("search_box"));
  ASSERT_NE(search, nullptr);
  search->setFocus();
  QAction* import = testing::menu_action(window, QStringLiteral("Import CSV…"));
  ASSERT_NE(import, nullptr);
  import->trigger();
  show_active(window);

  EXPECT_EQ(summary, "3 entries to import, 2 rows cannot be read and will be left out");
  EXPECT_EQ(problems, (QStringList{"Line 5: Odometer \"about 47000\" is not a number",
                                   "Line 6: no date"}));
  EXPECT_EQ(window.statusBar()->currentMessage(),
            "3 entries imported from workshop.csv — Ctrl+Z takes them out again");
  EXPECT_EQ(window.row_identifiers(), (std::vector<int>{0, 3, 4, 5, 6}));
  // The newest entry by date, here one the log had before.
  EXPECT_EQ(testing::record_table(window)->currentIndex().row(), 1);
  {
    FileDataSource saved(home.log());
    ASSERT_EQ(saved.identifiers(), (std::vector<int>{0, 3, 4, 5, 6}));
    const Record* oil = saved.record(4);
    EXPECT_EQ(oil->mileage(), 45210.5);
    EXPECT_EQ(oil->cost(), 89.9f);
    EXPECT_EQ(oil->date(), 1021248000);
    EXPECT_EQ(oil->notes(), "");
    ASSERT_NE(oil->other_field("Workshop"), nullptr);
    EXPECT_EQ(*oil->other_field("Workshop"), "Meier");
    EXPECT_EQ(saved.record(5)->operation(), "Tyres\nwinter");
    EXPECT_EQ(saved.record(6)->operation(), "Inspection");
  }

  QTableView* table = testing::record_table(window);
  ASSERT_EQ(QApplication::focusWidget(), table);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(window.row_identifiers(), (std::vector<int>{0, 3}));
  EXPECT_EQ(testing::read_file(home.log()), testing::kExampleLog);
  EXPECT_EQ(window.statusBar()->currentMessage(), "Undid: Import CSV");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(FileDataSource(home.log()).identifiers(), (std::vector<int>{0, 3, 4, 5, 6}));
  EXPECT_EQ(window.statusBar()->currentMessage(), "Redid: Import CSV");
}

TEST(CsvImportDialog, CostsMadeOfQuantityAndPriceAreNamedAndSeveralCurrenciesAsked) {
  testing::time_zone utc("UTC");
  csv_import_dialog fuel(nullptr, QStringLiteral("fuelups.csv"),
                         "Date,Gallons,Price\n2024-05-13,12.003,3.459\n2024-05-14,10,3.5\n");
  show_active(fuel);
  auto* note = part<QLabel>(&fuel, "costs_note");
  EXPECT_TRUE(note->isVisible());
  EXPECT_EQ(note->text(), "2 entries have no total: their cost is quantity \u00D7 price per unit.");
  EXPECT_EQ(part<QComboBox>(&fuel, "role_box_2")->currentText(), "Price per Unit");
  ASSERT_EQ(fuel.entries().size(), 2u);
  EXPECT_EQ(fuel.entries()[0].cost, 41.52f);
  EXPECT_EQ(fuel.entries()[1].cost, 35.0f);
  // The user says the price is what was paid: then it is, and no line says otherwise.
  press_in(part<QComboBox>(&fuel, "role_box_2"), Qt::Key_Up, 5);
  EXPECT_EQ(part<QComboBox>(&fuel, "role_box_2")->currentText(), "Cost");
  EXPECT_FALSE(note->isVisible());
  EXPECT_EQ(fuel.entries()[0].cost, 3.459f);

  csv_import_dialog mixed(nullptr, QStringLiteral("services.csv"),
                          "Date,Description,Cost\n2024-05-13,Oil,$89.99\n"
                          "2024-05-14,Tyres,412.00 \u20AC\n");
  show_active(mixed);
  auto* warning = part<QLabel>(&mixed, "currencies_warning");
  auto* agree = part<QCheckBox>(&mixed, "currencies_box");
  auto* import = part<QPushButton>(&mixed, "import_button");
  EXPECT_TRUE(warning->isVisible());
  EXPECT_EQ(warning->text(),
            "The costs are in different currencies ($, EUR): the log adds them up as one.");
  EXPECT_EQ(summary_of(&mixed), "2 entries to import");
  EXPECT_FALSE(import->isEnabled()) << "not before the user agrees";
  // On the box itself: the check box spans the dialog, its text does not.
  const QPoint box(agree->fontMetrics().height() / 2 + 2, agree->height() / 2);
  QTest::mouseClick(agree, Qt::LeftButton, Qt::NoModifier, box);
  EXPECT_TRUE(agree->isChecked());
  EXPECT_TRUE(import->isEnabled());
  ASSERT_EQ(mixed.entries().size(), 2u);
  EXPECT_EQ(mixed.entries()[1].cost, 412.0f);
  EXPECT_EQ(fields_of(mixed.entries()[1]), (Fields{{"currency", "EUR"}}));
  QTest::mouseClick(agree, Qt::LeftButton, Qt::NoModifier, box);
  EXPECT_FALSE(agree->isChecked());
  EXPECT_FALSE(import->isEnabled());

  // One currency, not the log's: asked the same way.
  const std::string dollars = "Date,Description,Cost\n2024-05-13,Oil,$89.99\n";
  csv_import_dialog into_euros(nullptr, QStringLiteral("services.csv"), dollars, QString(),
                               QStringLiteral("\u20AC"));
  show_active(into_euros);
  EXPECT_TRUE(part<QLabel>(&into_euros, "currencies_warning")->isVisible());
  EXPECT_EQ(part<QLabel>(&into_euros, "currencies_warning")->text(),
            "The costs are in $, this log's in \u20AC: they would be added up as one.");
  EXPECT_FALSE(part<QPushButton>(&into_euros, "import_button")->isEnabled());
  csv_import_dialog into_dollars(nullptr, QStringLiteral("services.csv"), dollars, QString(),
                                 QStringLiteral("USD"));
  show_active(into_dollars);
  EXPECT_FALSE(part<QLabel>(&into_dollars, "currencies_warning")->isVisible());
  EXPECT_TRUE(part<QPushButton>(&into_dollars, "import_button")->isEnabled());
}

}  // namespace
}  // namespace tarvik

namespace tarvik {
namespace {

// A full export of another program: metadata, the vehicle, fill-ups and
// services each under a title, with blank lines between.
const char* const kSectionsCsv =
    "\"Android Version\",\"App Version\",\"Date Format\"\n"
    "\"13\",\"5.4.3\",\"M/d/yyyy\"\n"
    "\n"
    "Vehicles\n"
    "\"Name\",\"Make\",\"Distance Unit\",\"Volume Unit\"\n"
    "\"Civic\",\"Honda\",\"mi\",\"Gallons (US)\"\n"
    "\n"
    "Fill-Up Records\n"
    "\"Date\",\"Odometer Reading\",\"Volume\",\"Total Cost\",\"Notes\"\n"
    "\"05/13/2020\",\"106421\",\"10.2\",\"31.52\",\"Costco\"\n"
    "\"06/02/2020\",\"106731\",\"9.8\",\"31.26\",\"\"\n"
    "\n"
    "Event Records\n"
    "\"Date\",\"Odometer Reading\",\"Type\",\"Total Cost\",\"Notes\"\n"
    "\"05/20/2020\",\"106500\",\"Oil Change\",\"79.78\",\"\"\n"
    "\"05/31/2020\",\"about 106600\",\"Wipers\",\"12.00\",\"\"\n";

QStringList section_texts(QListWidget* list) {
  QStringList texts;
  for (int row = 0; row < list->count(); ++row) texts << list->item(row)->text();
  return texts;
}

void click_item(QListWidget* list, int row) {
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(list->item(row)).center());
}

TEST(CsvImportDialog, AFileOfSectionsShowsEachAndImportsThoseChecked) {
  testing::time_zone utc("UTC");
  csv_import_dialog dialog(nullptr, QStringLiteral("export.csv"), kSectionsCsv);
  show_active(dialog);
  auto* list = part<QListWidget>(&dialog, "section_list");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(section_texts(list), (QStringList{"Metadata (not entries)", "Vehicles (not entries)",
                                              "Fill-Up Records", "Event Records"}));
  EXPECT_FALSE(list->item(1)->flags() & Qt::ItemIsUserCheckable) << "never imported";
  EXPECT_EQ(list->item(2)->checkState(), Qt::Checked);
  EXPECT_EQ(list->item(3)->checkState(), Qt::Checked) << "fuel and services both";
  EXPECT_EQ(list->currentRow(), 2);
  auto* preview = part<QTableView>(&dialog, "preview_table");
  EXPECT_EQ(preview->model()->headerData(0, Qt::Vertical).toString(), "10") << "the file's line";
  EXPECT_EQ(part<QComboBox>(&dialog, "role_box_0")->currentText(), "Date");
  EXPECT_EQ(part<QComboBox>(&dialog, "dates_box")->currentIndex(), 2) << "month first";
  EXPECT_TRUE(summary_of(&dialog).endsWith("In all, from the sections checked: 3 entries"))
      << summary_of(&dialog).toStdString();
  ASSERT_EQ(dialog.entries().size(), 3u);
  EXPECT_EQ(dialog.entries()[2].operation, "Oil Change");
  EXPECT_EQ(dialog.problems().size(), 1u);
  EXPECT_TRUE(problems_of(&dialog).isEmpty()) << "the fill-ups read";

  // The services, with their own columns and the row that cannot be read.
  click_item(list, 3);
  EXPECT_EQ(part<QComboBox>(&dialog, "role_box_2")->currentText(), "Operation");
  EXPECT_EQ(problems_of(&dialog),
            QStringList{"Line 16: Odometer Reading \"about 106600\" is not a number"});

  // The fill-ups unchecked from the keyboard: the services alone.
  click_item(list, 2);
  QTest::keyClick(list, Qt::Key_Space);
  EXPECT_EQ(list->item(2)->checkState(), Qt::Unchecked);
  ASSERT_EQ(dialog.entries().size(), 1u);
  EXPECT_EQ(dialog.entries()[0].operation, "Oil Change");
  EXPECT_EQ(dialog.entries()[0].line, 15u);

  // The vehicle is shown, and says it is no entry.
  click_item(list, 1);
  EXPECT_TRUE(summary_of(&dialog).startsWith("This section describes the vehicle"));
  EXPECT_EQ(preview->model()->index(0, 0).data().toString(), "Civic");
  EXPECT_TRUE(problems_of(&dialog).isEmpty());
  ASSERT_EQ(dialog.entries().size(), 1u);

  QTest::mouseClick(part<QPushButton>(&dialog, "import_button"), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  ASSERT_EQ(dialog.entries().size(), 1u);
  EXPECT_EQ(dialog.entries()[0].date, 1589932800);  // 20 May 2020
  EXPECT_TRUE(dialog.facts_for_log().empty()) << "the vehicle's units only where taken";
}

TEST(CsvImportDialog, CurrenciesOfDifferentSectionsCheckedAreAskedAsOne) {
  testing::time_zone utc("UTC");
  csv_import_dialog dialog(nullptr, QStringLiteral("blocks.csv"),
                           "\"## Log\"\nDate,Km,Cost\n2020-05-01,100,$30.00\n"
                           "\"## Costs\"\nDate,Km,Service,Cost\n2020-05-02,200,Oil,45.00 \u20AC\n");
  show_active(dialog);
  auto* list = part<QListWidget>(&dialog, "section_list");
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->count(), 2);
  auto* warning = part<QLabel>(&dialog, "currencies_warning");
  auto* import = part<QPushButton>(&dialog, "import_button");
  // Each section has one currency; the log would add both up.
  EXPECT_TRUE(warning->isVisible());
  EXPECT_EQ(warning->text(),
            "The costs are in different currencies ($, EUR): the log adds them up as one.");
  EXPECT_FALSE(import->isEnabled());
  click_item(list, 1);
  QTest::keyClick(list, Qt::Key_Space);
  EXPECT_EQ(list->item(1)->checkState(), Qt::Unchecked);
  EXPECT_FALSE(warning->isVisible()) << "one currency left";
  EXPECT_TRUE(import->isEnabled());
}

TEST(CsvImportDialog, APlainFilesOdometerHeaderOffersItsUnitForTheLog) {
  testing::time_zone utc("UTC");
  csv_import_dialog named(nullptr, QStringLiteral("services.csv"),
                          "Date,Description,Odometer (mi.),Cost\n2024-05-13,Oil,48210,89.99\n");
  show_active(named);
  auto* use = part<QCheckBox>(&named, "use_found_box");
  ASSERT_NE(use, nullptr);
  EXPECT_EQ(use->text().remove(QLatin1Char('&')), "Use these for the log: distances in mi");
  EXPECT_TRUE(named.facts_for_log().empty()) << "only when the user takes it";
  QTest::mouseClick(use, Qt::LeftButton, Qt::NoModifier,
                    QPoint(use->fontMetrics().height() / 2 + 2, use->height() / 2));
  EXPECT_EQ(named.facts_for_log().distance, "mi");

  EXPECT_EQ(named.findChild<QLabel*>(QStringLiteral("units_warning")), nullptr)
      << "the log's unit is not known here";
  csv_import_dialog into_km(nullptr, QStringLiteral("services.csv"),
                            "Date,Description,Odometer (mi.),Cost\n2024-05-13,Oil,48210,89.99\n",
                            QStringLiteral("km"));
  show_active(into_km);
  auto* warning = part<QLabel>(&into_km, "units_warning");
  ASSERT_NE(warning, nullptr);
  EXPECT_TRUE(warning->isVisible());
  EXPECT_TRUE(warning->text().startsWith("The file's distances are in mi, this log's in km"));
  EXPECT_EQ(into_km.entries().at(0).mileage, 48210) << "as written";
  csv_import_dialog into_mi(nullptr, QStringLiteral("services.csv"),
                            "Date,Description,Odometer (mi.),Cost\n2024-05-13,Oil,48210,89.99\n",
                            QStringLiteral("mi"));
  EXPECT_EQ(into_mi.findChild<QLabel*>(QStringLiteral("units_warning")), nullptr);

  csv_import_dialog unnamed(nullptr, QStringLiteral("services.csv"),
                            "Date,Description,Odometer (kmh),Cost\n2024-05-13,Oil,48210,89.99\n");
  show_active(unnamed);
  EXPECT_EQ(unnamed.findChild<QCheckBox*>(QStringLiteral("use_found_box")), nullptr);
}

TEST(CsvImportDialog, EachSectionKeepsItsOwnDateChoiceAndAnUnclearOneHoldsTheImport) {
  testing::time_zone utc("UTC");
  csv_import_dialog dialog(nullptr, QStringLiteral("blocks.csv"),
                           "Date,Km,Service\n01/05/2020,100,Oil\n02/05/2020,200,Tyres\n"
                           "\n"
                           "Date;Km;Litres;Cost\n2020-05-13;300;40,5;61,20\n");
  show_active(dialog);
  auto* list = part<QListWidget>(&dialog, "section_list");
  ASSERT_NE(list, nullptr);
  auto* dates = part<QComboBox>(&dialog, "dates_box");
  auto* import = part<QPushButton>(&dialog, "import_button");
  EXPECT_EQ(list->currentRow(), 0);
  EXPECT_EQ(dates->currentIndex(), -1);
  EXPECT_FALSE(import->isEnabled()) << "the first section's dates are unclear";

  click_item(list, 1);
  EXPECT_EQ(dates->currentIndex(), 0) << "year first, clearly";
  EXPECT_FALSE(part<QLabel>(&dialog, "dates_warning")->isVisible());
  EXPECT_EQ(part<QComboBox>(&dialog, "decimals_box")->currentIndex(), 1) << "its own: commas";
  EXPECT_FALSE(import->isEnabled());
  click_item(list, 0);
  EXPECT_EQ(dates->currentIndex(), -1);
  EXPECT_TRUE(part<QLabel>(&dialog, "dates_warning")->isVisible());
  EXPECT_TRUE(summary_of(&dialog).startsWith("Choose how the dates are written."));

  press_in(dates, Qt::Key_Down, 2);  // day first
  EXPECT_TRUE(import->isEnabled());
  ASSERT_EQ(dialog.entries().size(), 3u);
  EXPECT_EQ(dialog.entries()[0].date, 1588291200);  // 1 May 2020
  EXPECT_EQ(dialog.entries()[2].cost, 61.2f);
  EXPECT_EQ(dialog.entries()[2].line, 6u);
}

TEST(CsvImportDialog, BackslashEscapesAreGuessedAndCanBeTurnedOff) {
  testing::time_zone utc("UTC");
  csv_import_dialog dialog(nullptr, QStringLiteral("fuelings.csv"),
                           "Date;Odometer;Note;Cost\n13.05.2020;45210;Autobahn\\; A8;61,20\n");
  show_active(dialog);
  auto* escapes = part<QCheckBox>(&dialog, "escapes_box");
  EXPECT_TRUE(escapes->isChecked());
  EXPECT_EQ(dialog.findChild<QListWidget*>(QStringLiteral("section_list")), nullptr)
      << "a file of one table shows no sections";
  ASSERT_EQ(dialog.entries().size(), 1u);
  EXPECT_EQ(dialog.entries()[0].notes, "Autobahn; A8");
  EXPECT_EQ(dialog.entries()[0].cost, 61.2f);

  QTest::mouseClick(escapes, Qt::LeftButton);
  EXPECT_FALSE(escapes->isChecked());
  EXPECT_EQ(problems_of(&dialog), QStringList{"Line 2: Cost \" A8\" is not a number"});
  // The separator read anew keeps the user's choice.
  press_in(part<QComboBox>(&dialog, "separator_box"), Qt::Key_Up);
  press_in(part<QComboBox>(&dialog, "separator_box"), Qt::Key_Down);
  EXPECT_FALSE(escapes->isChecked());
}

TEST(CsvImportDialog, SectionsImportAsOneStepAndTheVehicleIsOfferedForTheLog) {
  testing::time_zone utc("UTC");
  testing::scoped_home home;
  testing::write_file(home.log(), testing::kExampleLog);
  const std::string csv = home.dir().file("export.csv");
  testing::write_file(csv, kSectionsCsv);
  Tarvik window;
  window.resize(900, 500);
  show_active(window);

  QStringList problems;
  QString offer;
  testing::answer_next_modal([&](QWidget* chooser) {
    testing::answer_next_modal([&](QWidget* dialog) {
      // The services' problem, named by the file's line.
      click_item(part<QListWidget>(dialog, "section_list"), 3);
      problems = problems_of(dialog);
      auto* use = part<QCheckBox>(dialog, "use_found_box");
      offer = use->text();
      QTest::mouseClick(use, Qt::LeftButton);
      QTest::mouseClick(part<QPushButton>(dialog, "import_button"), Qt::LeftButton);
      if (dialog->isVisible()) {
        ADD_FAILURE() << "Import left the dialog open";
        testing::click_button(dialog, QStringLiteral("Cancel"));
      }
    });
    testing::choose_file(chooser, QString::fromStdString(csv));
  });
  QAction* import = testing::menu_action(window, QStringLiteral("Import CSV…"));
  ASSERT_NE(import, nullptr);
  import->trigger();
  show_active(window);

  EXPECT_EQ(problems, QStringList{"Line 16: Odometer Reading \"about 106600\" is not a number"});
  EXPECT_EQ(offer.remove(QLatin1Char('&')),
            "Use these for the log: distances in mi, the vehicle’s name “Civic”");
  EXPECT_EQ(window.row_identifiers(), (std::vector<int>{0, 3, 4, 5, 6}));
  EXPECT_EQ(FileDataSource(home.log()).record(6)->operation(), "Oil Change");
  const log_settings settings(settings_file_path(home.log()));
  EXPECT_EQ(settings.distance(), distance_unit::mi);
  EXPECT_EQ(settings.vehicle(), std::optional<std::string>("Civic"));

  // One undo takes every section's entries out.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(window.row_identifiers(), (std::vector<int>{0, 3}));
  EXPECT_EQ(testing::read_file(home.log()), testing::kExampleLog);
}

// UTF-16 LE with its byte-order mark, as a spreadsheet's "Unicode text".
std::string utf16le(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

TEST(CsvImportDialog, AUtf16FileComesInWithItsLettersAndABrokenOneIsRefusedWithTheReason) {
  testing::time_zone utc("UTC");
  testing::scoped_home home;
  testing::write_file(home.log(), testing::kExampleLog);
  const std::string csv = home.dir().file("unicode.txt");
  testing::write_file(csv, utf16le(u"Date\tOdometer\tDescription\tCost\tNotes\r\n"
                                   u"2024-03-01\t45210\t\u00D6lwechsel\t89,90 \u20AC\t"
                                   u"\u201EFilter\u201C neu\r\n"));
  const std::string broken = home.dir().file("broken.txt");
  testing::write_file(broken, utf16le(u"Date\tOdometer\n2024-03-01\t\xD83D\n"));
  Tarvik window;
  show_active(window);
  QAction* import = testing::menu_action(window, QStringLiteral("Import CSV…"));
  ASSERT_NE(import, nullptr);

  QString read_as;
  QString operation_shown;
  QSize size;
  testing::answer_next_modal([&](QWidget* chooser) {
    testing::answer_next_modal([&](QWidget* dialog) {
      // Looked for, not taken for granted: the dialog must still be closed.
      if (auto* box = part<QComboBox>(dialog, "encoding_box")) read_as = box->currentText();
      operation_shown = part<QTableView>(dialog, "preview_table")->model()->index(0, 2).data().toString();
      size = dialog->frameGeometry().size();
      QTest::mouseClick(part<QPushButton>(dialog, "import_button"), Qt::LeftButton);
      if (dialog->isVisible()) {
        ADD_FAILURE() << "Import left the dialog open: " << summary_of(dialog).toStdString();
        testing::click_button(dialog, QStringLiteral("Cancel"));
      }
    });
    testing::choose_file(chooser, QString::fromStdString(csv));
  });
  import->trigger();
  EXPECT_EQ(read_as, "UTF-16");
  EXPECT_EQ(operation_shown, u"\u00D6lwechsel");
  EXPECT_LE(size.width(), 800);
  EXPECT_LE(size.height(), 600);
  {
    FileDataSource saved(home.log());
    ASSERT_EQ(saved.identifiers().size(), 3u);
    const Record* oil = saved.record(saved.identifiers().back());
    EXPECT_EQ(oil->operation(), "\xC3\x96lwechsel");
    EXPECT_EQ(oil->notes(), "\xE2\x80\x9E" "Filter\xE2\x80\x9C neu");
    EXPECT_EQ(oil->cost(), 89.9f);
    ASSERT_NE(oil->other_field("currency"), nullptr);
    EXPECT_EQ(*oil->other_field("currency"), "EUR");
  }

  QString told;
  testing::answer_next_modal([&](QWidget* chooser) {
    testing::answer_next_modal([&](QWidget* box) {
      told = static_cast<QMessageBox*>(box)->text();
      testing::click_button(box, QStringLiteral("OK"));
    });
    testing::choose_file(chooser, QString::fromStdString(broken));
  });
  import->trigger();
  EXPECT_TRUE(told.endsWith("could not be read: a lone UTF-16 surrogate (U+D83D) on line 2"))
      << told.toStdString();
  EXPECT_EQ(FileDataSource(home.log()).identifiers().size(), 3u);
}

TEST(CsvImportDialog, AnotherEncodingChosenReadsTheFileAnew) {
  testing::time_zone utc("UTC");
  // Windows-1252; read as UTF-16, its first two bytes would start half a pair.
  const std::string bytes = "X\xD8;Date;Km;Operation\n;2024-03-01;1000;\xD6lwechsel\n";
  decoded_file file;
  std::string error;
  ASSERT_TRUE(decode_file(bytes, std::nullopt, file, error));
  csv_import_dialog dialog(nullptr, QStringLiteral("alt.csv"), std::move(file));
  show_active(dialog);
  auto* box = part<QComboBox>(&dialog, "encoding_box");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->currentText(), "Windows-1252");
  ASSERT_EQ(dialog.entries().size(), 1u);
  EXPECT_EQ(dialog.entries()[0].operation, "\xC3\x96lwechsel");

  // UTF-8, as earlier versions read every file: the byte kept as it is.
  QTest::keyClick(box, Qt::Key_Home);
  EXPECT_EQ(box->currentText(), "UTF-8");
  ASSERT_EQ(dialog.entries().size(), 1u);
  EXPECT_EQ(dialog.entries()[0].operation, "\xD6lwechsel");

  QTest::keyClick(box, Qt::Key_Down);
  EXPECT_EQ(summary_of(&dialog),
            "The file cannot be read as UTF-16: a lone UTF-16 surrogate (U+D858) on line 1");
  EXPECT_TRUE(dialog.entries().empty());
  EXPECT_FALSE(part<QPushButton>(&dialog, "import_button")->isEnabled());

  QTest::keyClick(box, Qt::Key_Down);
  EXPECT_EQ(summary_of(&dialog), "1 entry to import");
  ASSERT_EQ(dialog.entries().size(), 1u);
  EXPECT_EQ(dialog.entries()[0].operation, "\xC3\x96lwechsel");
  EXPECT_TRUE(part<QPushButton>(&dialog, "import_button")->isEnabled());
}

}  // namespace
}  // namespace tarvik
