// The log's units in the window, File > Log Settings…, and what is due
// told without a window: `--due`, the reminder at login and its autostart
// entry.
#include <gtest/gtest.h>

#include <QAction>
#include <QChartView>
#include <QValueAxis>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <ctime>
#include <sstream>
#include <string>
#include <vector>

#include "insight/log_settings.h"
#include "support/home.h"
#include "support/test_support.h"
#include "support/ui_support.h"
#include "ui/charts_dialog.h"
#include "ui/command_line.h"
#include "ui/due_reminder.h"
#include "ui/login_reminder.h"
#include "ui/recent_logs.h"
#include "ui/tarvik.h"

namespace tarvik {
namespace {

using testing::read_file;
using testing::scoped_home;
using testing::write_file;

QString header(const QTableView& table, int column) {
  return table.model()->headerData(column, Qt::Horizontal).toString();
}

// The text of the form label beside a figure of the statistics panel.
QString figure_label(const QWidget& window, const char* figure) {
  auto* field = window.findChild<QLabel*>(QLatin1String(figure));
  if (field == nullptr) return QStringLiteral("<no figure>");
  // The form stands first in the panel, or first in its first column.
  QLayout* first = field->parentWidget()->layout()->itemAt(0)->layout();
  auto* form = qobject_cast<QFormLayout*>(first);
  if (form == nullptr && first != nullptr && first->count() > 0) {
    form = qobject_cast<QFormLayout*>(first->itemAt(0)->layout());
  }
  auto* label = form == nullptr ? nullptr : qobject_cast<QLabel*>(form->labelForField(field));
  return label == nullptr ? QStringLiteral("<no label>") : label->text();
}

// Points XDG_CONFIG_HOME at a fresh directory while it lives.
class scoped_config_home {
 public:
  scoped_config_home() : saved_(qgetenv("XDG_CONFIG_HOME")) {
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir_.path()));
  }
  ~scoped_config_home() { qputenv("XDG_CONFIG_HOME", saved_); }
  std::string entry() const { return dir_.file("autostart/tarvik-due.desktop"); }

 private:
  testing::temp_dir dir_;
  QByteArray saved_;
};

TEST(LogUnits, HeadersAndFiguresNameTheLogsUnitsAndLogSettingsChangesThem) {
  scoped_home home;
  scoped_config_home config;
  write_file(home.log(), testing::kExampleLog);
  write_file(home.dir().file("tarvik.settings.txt"), "# mine\ndistance=mi\ncurrency=CHF\n");
  write_file(home.dir().file("tarvik.due.txt"),
             "<interval=0>\noperation=Tyres;\ndistance=1000000;\n</interval>\n");
  Tarvik window;
  window.resize(900, 600);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QTableView* table = testing::record_table(window);
  EXPECT_EQ(header(*table, 0), "Mileage (mi)");
  EXPECT_EQ(header(*table, 3), "Cost (CHF)");
  EXPECT_EQ(header(*table, 4), "Notes");
  const QString thousand = QLocale().toString(1000);
  EXPECT_EQ(figure_label(window, "cost_per_thousand_figure"), "Cost per " + thousand + " mi");
  EXPECT_EQ(figure_label(window, "distance_per_year_figure"), "Distance per year (mi)");
  EXPECT_EQ(figure_label(window, "total_cost_figure"), "Total cost (CHF)");
  auto* operations = window.findChild<QTableWidget*>(QStringLiteral("operation_figures"));
  ASSERT_NE(operations, nullptr);
  EXPECT_EQ(operations->horizontalHeaderItem(3)->text(), "Every (mi)");
  auto* due = window.findChild<QTableWidget*>(QStringLiteral("due_table"));
  ASSERT_NE(due, nullptr);
  ASSERT_EQ(due->rowCount(), 1);
  const QString million = QLocale().toString(1000000);
  EXPECT_TRUE(due->item(0, 5)->text().startsWith(million + " mi and ")) << due->item(0, 5)->text().toStdString();

  // Kilometres, euros and the reminder, chosen as a user does.
  testing::answer_next_modal([](QWidget* dialog) {
    auto* unit = dialog->findChild<QComboBox*>(QStringLiteral("distance_unit"));
    ASSERT_NE(unit, nullptr);
    unit->setFocus();
    QTest::keyClick(unit, Qt::Key_Up);
    testing::type_into_box(dialog->findChild<QWidget*>(QStringLiteral("currency")), "€");
    auto* remind = dialog->findChild<QCheckBox*>(QStringLiteral("remind_at_login"));
    ASSERT_NE(remind, nullptr);
    EXPECT_FALSE(remind->isChecked());
    QTest::mouseClick(remind, Qt::LeftButton, {}, QPoint(4, remind->height() / 2));
    testing::click_button(dialog, "OK");
  });
  testing::menu_action(window, "Log Settings…")->trigger();
  EXPECT_EQ(header(*table, 0), "Mileage (km)");
  EXPECT_EQ(header(*table, 3), "Cost (€)");
  EXPECT_EQ(figure_label(window, "cost_per_thousand_figure"), "Cost per " + thousand + " km");
  EXPECT_TRUE(due->item(0, 5)->text().startsWith(million + " km and ")) << due->item(0, 5)->text().toStdString();
  EXPECT_EQ(read_file(home.dir().file("tarvik.settings.txt")), "# mine\ndistance=km\ncurrency=€\n");
  EXPECT_TRUE(testing::file_exists(config.entry()));

  // Unticked, the entry goes; the units stay as they are.
  testing::answer_next_modal([](QWidget* dialog) {
    auto* remind = dialog->findChild<QCheckBox*>(QStringLiteral("remind_at_login"));
    ASSERT_NE(remind, nullptr);
    EXPECT_TRUE(remind->isChecked());
    QTest::mouseClick(remind, Qt::LeftButton, {}, QPoint(4, remind->height() / 2));
    testing::click_button(dialog, "OK");
  });
  testing::menu_action(window, "Log Settings…")->trigger();
  EXPECT_FALSE(testing::file_exists(config.entry()));
  EXPECT_EQ(read_file(home.dir().file("tarvik.settings.txt")), "# mine\ndistance=km\ncurrency=€\n");
  window.close();
}

TEST(LogUnits, TheChartsAxesNameThem) {
  const std::vector<const Record*> none;
  charts_dialog charts(nullptr, none, QString(), {}, log_units{distance_unit::mi, QStringLiteral("£")});
  const auto axis_title = [&](const char* view) {
    auto* chart = charts.findChild<QChartView*>(QLatin1String(view));
    return chart == nullptr ? QStringLiteral("<no chart>")
                            : chart->chart()->axes(Qt::Vertical).value(0)->titleText();
  };
  EXPECT_EQ(axis_title("odometer_chart"), "Mileage (mi)");
  EXPECT_EQ(axis_title("cost_chart"), "Cost (£)");
}

TEST(LogUnits, ANewLogIsWrittenInTheLocalesUnitsAndAnOldOneShowsThemUnwritten) {
  scoped_home home;
  write_file(home.log(), testing::kExampleLog);
  Tarvik window;
  QTableView* table = testing::record_table(window);
  const QString currency = QLocale().currencySymbol();
  EXPECT_EQ(header(*table, 3), currency.isEmpty() ? "Cost" : "Cost (" + currency + ")");
  EXPECT_FALSE(testing::file_exists(home.dir().file("tarvik.settings.txt")));

  const std::string fresh = home.dir().file("van.txt");
  ASSERT_TRUE(window.log().open(QString::fromStdString(fresh), true));
  const log_settings written(home.dir().file("van.settings.txt"));
  EXPECT_EQ(written.distance(), QLocale().measurementSystem() == QLocale::MetricSystem
                                    ? distance_unit::km
                                    : distance_unit::mi);
  EXPECT_EQ(written.currency(), currency.toStdString());
}

TEST(LogUnits, SettingsSavedAfterAnotherProgramsChangeGoBesideItAndUnreadValuesAreSaid) {
  scoped_home home;
  write_file(home.log(), testing::kExampleLog);
  const std::string settings = home.dir().file("tarvik.settings.txt");
  write_file(settings, "distance=miles\n");
  testing::stderr_capture said;
  Tarvik window;
  EXPECT_EQ(said.lines(), std::vector<std::string>{"tarvik: " + settings +
                                                   ":1: distance \"miles\" is neither km nor mi; "
                                                   "the locale's unit is used"});
  write_file(settings, "distance=miles\n# theirs\ncurrency=kr\n");
  testing::no_modal_expected quiet;
  EXPECT_TRUE(window.log().save_units({distance_unit::mi, QStringLiteral("$")}));
  EXPECT_EQ(read_file(settings), "distance=mi\n# theirs\ncurrency=$\n");
  EXPECT_EQ(window.log().units().currency, "$");
}

TEST(LoginReminder, TheAutostartEntryRunsTheReminderAndIsRemovedAgain) {
  scoped_home home;
  scoped_config_home config;
  EXPECT_EQ(login_reminder::entry_path().toStdString(), config.entry());
  EXPECT_FALSE(login_reminder::enabled());
  QString error;
  ASSERT_TRUE(login_reminder::set_enabled(true, error)) << error.toStdString();
  EXPECT_TRUE(login_reminder::enabled());
  const std::string entry = read_file(config.entry());
  EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
  EXPECT_NE(entry.find("\nExec=tarvik --notify-due\n"), std::string::npos) << entry;
  // A program in a folder with blanks and quotes is one argument.
  EXPECT_NE(login_reminder::entry_text(R"(/opt/my "car" $tools/tarvik)")
                .indexOf(R"(Exec="/opt/my \\"car\\" \\$tools/tarvik" --notify-due)"),
            -1);
  ASSERT_TRUE(login_reminder::set_enabled(false, error));
  EXPECT_FALSE(testing::file_exists(config.entry()));
  EXPECT_TRUE(login_reminder::set_enabled(false, error));  // nothing to remove

  // Without XDG_CONFIG_HOME, the entry goes under the home's .config.
  qunsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(login_reminder::entry_path().toStdString(),
            home.dir().file(".config/autostart/tarvik-due.desktop"));
}

// A log in miles whose oil change (every 12 months) is 400 days old and
// whose tyres have 400 left; fuel has 5,000 left, the belt was never done.
struct due_log {
  std::string path;
  explicit due_log(const testing::temp_dir& dir, const std::string& name, bool due = true)
      : path(dir.file(name + ".txt")) {
    const long now = static_cast<long>(std::time(nullptr));
    const long day = 86400;
    const auto record = [](int id, const char* operation, long date, int mileage) {
      return "<record=" + std::to_string(id) + ">\ncost=0;\noperation=" + operation +
             ";\ndate=" + std::to_string(date) + ";\nmileage=" + std::to_string(mileage) +
             ";\nnotes=;\n</record>\n";
    };
    write_file(path, record(0, "Oil change", now - 400 * day, 1000) +
                         record(1, "Tyres", now - 40 * day, 5000) +
                         record(2, "Fuel", now - day, 24600));
    write_file(dir.file(name + ".due.txt"),
               std::string(due ? "<interval=0>\noperation=Oil change;\nmonths=12;\n</interval>\n"
                                 "<interval=1>\noperation=Tyres;\ndistance=20000;\n</interval>\n"
                               : "") +
                   "<interval=2>\noperation=Fuel;\ndistance=5000;\n</interval>\n"
                   "<interval=3>\noperation=Belt;\ndistance=90000;\n</interval>\n");
    write_file(dir.file(name + ".settings.txt"), "distance=mi\n");
  }
};

int run(std::vector<std::string> arguments, std::string& out, std::string& err) {
  arguments.insert(arguments.begin(), "tarvik");
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  std::ostringstream printed;
  std::ostringstream complained;
  const auto status = answer_without_window(static_cast<int>(argv.size()), argv.data(), printed, complained);
  out = printed.str();
  err = complained.str();
  return status.value_or(-1);
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(DueCommand, PrintsWhatIsDueAndSaysByItsStatusWhetherAnythingIs) {
  testing::temp_dir dir;
  const due_log due(dir, "car");
  std::string out;
  std::string err;
  EXPECT_EQ(run({"--due", due.path}, out, err), 1) << err;
  EXPECT_TRUE(err.empty()) << err;
  const std::vector<std::string> lines = lines_of(out);
  ASSERT_EQ(lines.size(), 2u) << out;
  // Twelve months after a day 400 days ago were a month or so ago.
  EXPECT_EQ(lines[0].rfind("Oil change: Overdue, overdue by ", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find(" days (due "), std::string::npos) << lines[0];
  // 400 mi left at about 500 a day: reached today by the estimate.
  EXPECT_EQ(lines[1].rfind("Tyres: Due (estimated), 400 mi (due ", 0), 0u) << lines[1];

  // Nothing due: 5,000 left to fuel, the belt never done.
  const due_log fine(dir, "van", false);
  EXPECT_EQ(run({"--due", fine.path}, out, err), 0) << err;
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, "");

  // The default log is $HOME/tarvik.txt; one that is not there, or is
  // read only in part, is no log with nothing due.
  scoped_home home;
  EXPECT_EQ(run({"--due"}, out, err), 2);
  EXPECT_EQ(err.rfind("tarvik: cannot read " + home.log() + ": ", 0), 0u) << err;
  write_file(home.log(), std::string(testing::kExampleLog) + "<record=9>\ncost=5;\nopera");
  testing::stderr_capture reader_says;
  EXPECT_EQ(run({"--due"}, out, err), 2);
  reader_says.lines();
  EXPECT_EQ(err, "tarvik: " + home.log() + " could not be read to its end\n");
  EXPECT_EQ(out, "");
}

class fake_notifier : public notifier {
 public:
  bool notify(const QString& summary, const QString& body, QString& error) override {
    calls.push_back({summary, body});
    if (failing) error = QStringLiteral("no notification service");
    return !failing;
  }
  std::vector<std::pair<QString, QString>> calls;
  bool failing = false;
};

TEST(DueCommand, TheReminderAtLoginTellsOnceForAllRecentLogsAndOnlyWhenSomethingIsDue) {
  testing::temp_dir dir;
  const due_log car(dir, "car");
  const due_log van(dir, "van", false);
  const long now = static_cast<long>(std::time(nullptr));
  fake_notifier desktop;
  std::ostringstream err;
  const QStringList logs{QString::fromStdString(van.path), QString::fromStdString(dir.file("gone.txt")),
                         QString::fromStdString(car.path)};
  EXPECT_EQ(notify_due(logs, desktop, err, now), 0);
  ASSERT_EQ(desktop.calls.size(), 1u);
  EXPECT_EQ(desktop.calls[0].first, "2 vehicle services are due");
  const QStringList body = desktop.calls[0].second.split(QLatin1Char('\n'));
  ASSERT_EQ(body.size(), 2);
  EXPECT_TRUE(body[0].startsWith(QStringLiteral("car.txt \u2013 Oil change: Overdue, overdue by "))) << body[0].toStdString();
  EXPECT_TRUE(body[1].startsWith(QStringLiteral("car.txt \u2013 Tyres: Due (estimated), 400 mi")))
      << body[1].toStdString();
  // The log no longer there is said, and passed over.
  EXPECT_NE(err.str().find("cannot read " + dir.file("gone.txt")), std::string::npos) << err.str();

  // Nothing due: nothing shown.
  desktop.calls.clear();
  EXPECT_EQ(notify_due({QString::fromStdString(van.path)}, desktop, err, now), 0);
  EXPECT_TRUE(desktop.calls.empty());

  // A notification that cannot be shown is a failure, said on stderr.
  desktop.failing = true;
  std::ostringstream failed;
  EXPECT_EQ(notify_due({QString::fromStdString(car.path)}, desktop, failed, now), 1);
  EXPECT_EQ(failed.str(), "tarvik: the reminder could not be shown: no notification service\n");

  // --notify-due reads the recent list (the D-Bus call itself is not made
  // here: a log with nothing due asks for no notification).
  recent_logs::clear();
  recent_logs::add(QString::fromStdString(van.path));
  std::string out;
  std::string complained;
  EXPECT_EQ(run({"--notify-due"}, out, complained), 0) << complained;
  EXPECT_EQ(out, "");
  recent_logs::clear();
}

}  // namespace
}  // namespace tarvik
