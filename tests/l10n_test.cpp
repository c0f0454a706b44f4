// The window in German: the desktop's language picks the translation, and
// every text the window and its dialogs show is translated. Each surface is
// walked twice, once in English and once in German; a text that reads the
// same in both is one that never went through a translation.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSpinBox>
#include <QTabBar>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <functional>
#include <set>

#include "support/home.h"
#include "support/test_support.h"
#include "support/ui_support.h"
#include "ui/csv_import_dialog.h"
#include "ui/tarvik.h"
#include "ui/ui_language.h"

namespace tarvik {
namespace {

// Texts that are the same in both languages, and the data of the log and
// of the CSV file (German words, which the English run shows too).
const QSet<QString> kSameInBoth = {
    QStringLiteral("OK"),        QStringLiteral("Tarvik"),    QStringLiteral("Problem"),
    QStringLiteral("km"),        QStringLiteral("tarvik.txt – Tarvik"),
    QStringLiteral("Ölwechsel"), QStringLiteral("Reifen"),    QStringLiteral("Notiz"),
    QStringLiteral("Datum"),     QStringLiteral("Kilometer"), QStringLiteral("Arbeit"),
    QStringLiteral("Kosten"),    QStringLiteral("Extra"),
    // Unit symbols (numbers read as 0 here).
    QStringLiteral("l/0 km"),    QStringLiteral("km/l"),      QStringLiteral("mpg (US)"),
    QStringLiteral("mpg (imp.)"),
};

// A log of the data above: two entries, an interval, a value the reader
// could not take (so that the list of problems opens).
constexpr const char* kLog =
    "<record=0>\ncost=24.5;\noperation=Ölwechsel;\ndate=1020211200;\nmileage=45210;\n"
    "notes=Notiz;\n</record>\n"
    "<record=1>\ncost=312;\noperation=Reifen;\ndate=1031097600;\nmileage=zwölf;\nnotes=;\n"
    "</record>\n";
constexpr const char* kIntervals =
    "<interval=0>\noperation=Ölwechsel;\ndistance=15000;\nmonths=12;\n</interval>\n";

void add_action_texts(const QAction* action, QStringList& texts);

void add_menu_texts(const QMenu* menu, QStringList& texts) {
  texts << menu->title();
  for (const QAction* action : menu->actions()) add_action_texts(action, texts);
}

void add_action_texts(const QAction* action, QStringList& texts) {
  if (action->isSeparator()) return;
  texts << action->text() << action->toolTip() << action->statusTip();
  if (action->menu() != nullptr) add_menu_texts(action->menu(), texts);
}

// Every text of `root` and its children a user reads: titles, labels,
// buttons, menus and their entries, tooltips, placeholders, the entries
// of choice boxes, tabs and the headers of tables (not their cells, which
// hold the log's data, except in the due list, whose words are the window's).
QStringList texts_of(QWidget* root) {
  QStringList texts;
  QList<QWidget*> widgets = root->findChildren<QWidget*>();
  widgets.prepend(root);
  for (QWidget* widget : widgets) {
    if (widget->isWindow()) texts << widget->windowTitle();
    texts << widget->toolTip() << widget->statusTip() << widget->whatsThis();
    for (const QAction* action : widget->actions()) add_action_texts(action, texts);
    if (auto* label = qobject_cast<QLabel*>(widget)) texts << label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) texts << button->text();
    if (auto* line = qobject_cast<QLineEdit*>(widget)) texts << line->placeholderText();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) texts << plain->placeholderText();
    if (auto* spin = qobject_cast<QSpinBox*>(widget)) texts << spin->specialValueText();
    if (auto* dock = qobject_cast<QDockWidget*>(widget)) texts << dock->windowTitle();
    if (auto* menu = qobject_cast<QMenu*>(widget)) add_menu_texts(menu, texts);
    if (auto* bar = qobject_cast<QMenuBar*>(widget)) {
      for (const QAction* action : bar->actions()) add_action_texts(action, texts);
    }
    if (auto* box = qobject_cast<QComboBox*>(widget)) {
      texts << box->placeholderText();
      for (int k = 0; k < box->count(); ++k) texts << box->itemText(k);
    }
    if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
      for (int k = 0; k < tabs->count(); ++k) texts << tabs->tabText(k) << tabs->tabToolTip(k);
    }
    if (auto* view = qobject_cast<QAbstractItemView*>(widget); view && view->model()) {
      const QAbstractItemModel* model = view->model();
      for (int k = 0; k < model->columnCount(); ++k) {
        texts << model->headerData(k, Qt::Horizontal).toString()
              << model->headerData(k, Qt::Horizontal, Qt::ToolTipRole).toString();
      }
      if (widget->objectName() == QLatin1String("due_table")) {
        for (int r = 0; r < model->rowCount(); ++r) {
          for (int k = 0; k < model->columnCount(); ++k) {
            texts << model->index(r, k).data().toString()
                  << model->index(r, k).data(Qt::ToolTipRole).toString();
          }
        }
      }
    }
  }
  return texts;
}

// What the walk treats as one text: without mnemonics, and with every
// number taken out, so that "3 records" is compared as " records".
QSet<QString> words_of(const QStringList& texts) {
  static const QRegularExpression numbers(QStringLiteral("[0-9][0-9.,:\\-/]*"));
  static const QRegularExpression letters(QStringLiteral("[A-Za-zÄÖÜäöüß]{2,}"));
  QSet<QString> words;
  for (QString text : texts) {
    text.remove(QLatin1Char('&'));
    text.replace(numbers, QStringLiteral("0"));
    text = text.trimmed();
    // A figure with its unit ("15,000 km") is no text to translate.
    const QString bare = QString(text).remove(QRegularExpression(QStringLiteral("[0\\s]")));
    if (!text.contains(letters) || kSameInBoth.contains(text) || kSameInBoth.contains(bare)) {
      continue;
    }
    words.insert(text);
  }
  return words;
}

// The German translators while it lives, as the program installs them for
// a German desktop.
class german {
 public:
  german() {
    language_ = install_translations(*QCoreApplication::instance(),
                                     QLocale(QLocale::German, QLocale::Germany));
  }
  ~german() {
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
      QCoreApplication::removeTranslator(translator);
      delete translator;
    }
  }
  const QString& language() const { return language_; }

 private:
  QString language_;
};

// One surface of the window: opens it, and gives its texts.
using surface = std::function<QStringList(testing::scoped_home&)>;

// The texts of the modal dialog that `open` shows, which is then closed.
// Only read, so it need not have the keyboard.
QStringList modal_texts(const std::function<void()>& open) {
  QStringList texts;
  bool seen = false;
  QTimer look;
  look.setInterval(10);
  QObject::connect(&look, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    look.stop();
    seen = true;
    texts = texts_of(modal);
    if (auto* asked = qobject_cast<QDialog*>(modal)) {
      asked->reject();
    } else {
      modal->close();
    }
  });
  look.start();
  open();
  EXPECT_TRUE(seen) << "no dialog showed";
  return texts;
}

// By its text with the mnemonic marks left out, in either language.
QAction* action_named(QWidget& window, const QString& text) {
  const QString plain = QString(text).remove(u'&');
  for (QAction* action : window.findChildren<QAction*>()) {
    if (QString(action->text()).remove(u'&') == plain) return action;
  }
  ADD_FAILURE() << "no action " << text.toStdString();
  return nullptr;
}

// The main window with its menus, docks, the list of the log's problems,
// and each dialog it opens.
QStringList window_texts(testing::scoped_home& home) {
  testing::write_file(home.log(), kLog);
  testing::write_file(home.dir().file("tarvik.due.txt"), kIntervals);
  QStringList texts;
  Tarvik window;
  window.resize(1000, 700);
  window.show();
  window.activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
  // The list of the problems the reader met opens over the window.
  QDialog* problems = nullptr;
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return (problems = window.findChild<QDialog*>(QStringLiteral("log_problems"))); }));
  if (problems != nullptr) {
    texts << texts_of(problems);
    problems->close();
  }
  // The keyboard back to the window, as a window manager gives it.
  window.activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
  texts << texts_of(&window);
  // Edit Record, on the first row.
  QTableView* table = testing::record_table(window);
  testing::set_current(*table, 0, 0);
  texts << modal_texts([&] { QTest::keyClick(table, Qt::Key_F2); });
  texts << modal_texts([&] { window.findChild<QAction*>(QStringLiteral("log_settings_action"))->trigger(); });
  texts << modal_texts([&] {
    if (QAction* about = action_named(window, Tarvik::tr("&About Tarvik"))) about->trigger();
  });
  texts << modal_texts([&] {
    if (QAction* charts = action_named(window, Tarvik::tr("&Charts…"))) charts->trigger();
  });
  // The interval editor, from the due list's first button.
  auto* due = window.findChild<QWidget*>(QStringLiteral("due_list"));
  const QList<QPushButton*> buttons = due->findChildren<QPushButton*>();
  if (!buttons.isEmpty()) texts << modal_texts([&] { buttons.front()->click(); });
  return texts;
}

QStringList import_texts(testing::scoped_home&) {
  csv_import_dialog dialog(nullptr, QStringLiteral("log.csv"),
                           "Datum;Kilometer;Arbeit;Kosten;Extra\n"
                           "1.5.2002;45210;Ölwechsel;24,50;x\n3.9.2002;zwölf;Reifen;312;y\n");
  dialog.show();
  return texts_of(&dialog);
}

TEST(German, TheDesktopLanguagePicksTheTranslation) {
  EXPECT_EQ(ui_language(QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("de"));
  EXPECT_EQ(ui_language(QLocale(QLocale::German, QLocale::Austria)), QStringLiteral("de"));
  EXPECT_EQ(ui_language(QLocale(QLocale::English, QLocale::UnitedStates)), QString());
  EXPECT_EQ(ui_language(QLocale(QLocale::French, QLocale::France)), QString());
  // The run's environment (LANGUAGE=de) is the system's locale here.
  if (qgetenv("LANGUAGE") == "de") {
    EXPECT_EQ(ui_language(), QStringLiteral("de"));
  }
  const german translators;
  ASSERT_EQ(translators.language(), QStringLiteral("de"));
  EXPECT_EQ(Tarvik::tr("&File"), QStringLiteral("&Datei"));
  // The toolkit's own texts come from the system's Qt translations.
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
}

TEST(German, NoTextOfTheWindowOrItsDialogsIsLeftInEnglish) {
  const std::pair<const char*, surface> surfaces[] = {{"window", window_texts},
                                                      {"import", import_texts}};
  for (const auto& [name, open] : surfaces) {
    SCOPED_TRACE(name);
    QSet<QString> english;
    {
      testing::scoped_home home;
      english = words_of(open(home));
    }
    QSet<QString> in_german;
    {
      const german translators;
      ASSERT_EQ(translators.language(), QStringLiteral("de"));
      testing::scoped_home home;
      in_german = words_of(open(home));
    }
    // The walk saw the surface, and it changed language.
    EXPECT_GT(english.size(), 5);
    EXPECT_GT(in_german.size(), 5);
    QStringList left = (english & in_german).values();
    left.sort();
    EXPECT_TRUE(left.isEmpty()) << "left in English: \"" << left.join("\", \"").toStdString()
                                << "\"";
  }
}

}  // namespace
}  // namespace tarvik
