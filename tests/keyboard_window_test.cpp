// The window by keyboard and screen reader, its first layout and what it
// keeps of it, the newest entry in sight, and an empty log.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QToolBar>
#include <functional>
#include <string>
#include <vector>

#include "data/file_data_source.h"
#include "support/home.h"
#include "support/test_support.h"
#include "support/ui_support.h"
#include "ui/record_table.h"
#include "ui/tarvik.h"

namespace tarvik {
namespace {

using testing::scoped_home;

// `count` entries a day apart from 2020-01-01, the newest at `newest`.
std::string log_of(int count, int newest) {
  std::string text;
  for (int k = 0; k < count; ++k) {
    const long day = k == newest ? 400 : k;
    text +=
        "<record=" + std::to_string(k) + ">\ncost=1;\noperation=" +
        (k % 2 == 0 ? std::string("Oil change") : std::string("Windscreen chip repair, front")) +
        ";\ndate=" + std::to_string(1577836800L + day * 86400) +
        ";\nmileage=" + std::to_string(1000 + k) + ";\nnotes=n" + std::to_string(k) +
        ";\n</record>\n";
  }
  return text;
}

// The layout earlier tests kept is not this test's, nor this test's the
// next one's.
class fresh_layout {
 public:
  fresh_layout() { clear(); }
  ~fresh_layout() { clear(); }

 private:
  static void clear() {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("tarvik"),
                       QStringLiteral("tarvik"));
    settings.remove(QStringLiteral("window"));
  }
};

void show_active(QWidget& window) {
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// Keys for shortcuts go to the active window.
void activate(QWidget* dialog) {
  dialog->activateWindow();
  EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == dialog; }));
}

QString focused() {
  QWidget* widget = QApplication::focusWidget();
  // A date box's own line edit stands for the box.
  while (widget != nullptr && widget->objectName().isEmpty()) widget = widget->parentWidget();
  return widget != nullptr ? widget->objectName() : QStringLiteral("<none>");
}

QString accessible(QWidget* widget, QAccessible::Text what) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
  return face != nullptr ? face->text(what) : QString();
}

TEST(KeyboardWindow, FindEscapeAndTabMoveBetweenTableFilterAndDocks) {
  scoped_home home;
  fresh_layout layout;
  testing::write_file(home.log(), log_of(5, 4));
  Tarvik window;
  show_active(window);
  QTableView* table = testing::record_table(window);
  table->setFocus();
  QTest::keyClick(table, Qt::Key_F, Qt::ControlModifier);
  ASSERT_EQ(focused(), "search_box");
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("chip"));
  EXPECT_EQ(table->model()->rowCount(), 2);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_EQ(focused(), "record_table");
  const QModelIndex before = table->currentIndex();
  EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("search_box"))->text(), "");
  EXPECT_EQ(table->model()->rowCount(), 5);

  // Forwards and back the same way round, never from cell to cell.
  const QStringList forwards{"search_box", "date_range_box", "dock_tabs", "operation_figures",
                             "record_table"};
  for (const QString& next : forwards) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(focused(), next);
  }
  EXPECT_EQ(table->currentIndex(), before);
  for (int k = forwards.size() - 2; k >= -1; --k) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focused(), k >= 0 ? forwards[k] : QStringLiteral("record_table"));
  }
  // With the range on, its days come between; the due list's buttons when
  // it is on top.
  table->setFocus();
  window.findChild<QWidget*>(QStringLiteral("date_range_box"))->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  window.findChild<QDockWidget*>(QStringLiteral("due_dock"))->raise();
  QStringList seen;
  for (int k = 0; k < 6; ++k) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    seen << focused();
  }
  EXPECT_EQ(seen, (QStringList{"date_from", "date_to", "dock_tabs", "due_table",
                               "add_interval_button", "record_table"}));
}

TEST(KeyboardWindow, MenusHaveMnemonicsAndToolTipsAndTheListNameTheShortcuts) {
  scoped_home home;
  fresh_layout layout;
  Tarvik window;
  const std::function<void(QMenu*)> check = [&](QMenu* menu) {
    QSet<QChar> keys;
    for (QAction* action : menu->actions()) {
      if (action->isSeparator()) continue;
      const int mark = action->text().indexOf(u'&');
      ASSERT_GE(mark, 0) << action->text().toStdString();
      EXPECT_FALSE(keys.contains(action->text().at(mark + 1).toLower()))
          << "twice in one menu: " << action->text().toStdString();
      keys.insert(action->text().at(mark + 1).toLower());
      if (action->menu() != nullptr) check(action->menu());
    }
  };
  for (QAction* top : window.menuBar()->actions()) check(top->menu());

  QStringList tips;
  for (QAction* action : window.findChild<QToolBar*>()->actions()) tips << action->toolTip();
  EXPECT_EQ(tips.mid(0, 3),
            (QStringList{"New Entry (Ctrl+N)", "Edit Entry (Return)", "Delete Entry (Del)"}));

  // The list follows the actions as they are when it opens.
  testing::menu_action(window, "Charts…")->setShortcut(QKeySequence(Qt::Key_F7));
  QStringList lines;
  testing::answer_next_modal([&](QWidget* dialog) {
    auto* list = dialog->findChild<QTableWidget*>(QStringLiteral("shortcut_table"));
    for (int row = 0; list != nullptr && row < list->rowCount(); ++row) {
      lines << list->item(row, 0)->text() + " = " + list->item(row, 1)->text();
    }
    testing::click_button(dialog, QStringLiteral("Close"));
  });
  testing::menu_action(window, "Keyboard Shortcuts")->trigger();
  EXPECT_TRUE(lines.contains("File \u203A New Entry = Ctrl+N")) << lines.join('\n').toStdString();
  EXPECT_TRUE(lines.contains("Edit \u203A Find = Ctrl+F"));
  EXPECT_TRUE(lines.contains("Edit \u203A Redo = Ctrl+Shift+Z or Ctrl+Y"));
  EXPECT_TRUE(lines.contains("View \u203A Charts = F7"));
}

TEST(KeyboardWindow, TheDialogTakesMnemonicsAndCtrlReturnWhileReturnInNotesAddsALine) {
  scoped_home home;
  fresh_layout layout;
  Tarvik window;
  show_active(window);
  testing::answer_next_modal([](QWidget* dialog) {
    activate(dialog);
    for (const char* name :
         {"mileage_label", "date_label", "op_label", "cost_label", "notes_label"}) {
      auto* label = dialog->findChild<QLabel*>(QLatin1String(name));
      EXPECT_TRUE(label->text().contains(u'&') && label->buddy() != nullptr) << name;
    }
    QTest::keyClick(dialog->focusWidget(), Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(dialog->focusWidget()->objectName(), "op_box");
    QTest::keyClicks(dialog->focusWidget(), QStringLiteral("Wipers"));
    QTest::keyClick(dialog->focusWidget(), Qt::Key_N, Qt::AltModifier);
    QWidget* notes = dialog->focusWidget();
    EXPECT_EQ(notes->objectName(), "notes_box");
    QTest::keyClicks(notes, QStringLiteral("a"));
    QTest::keyClick(notes, Qt::Key_Return);
    QTest::keyClicks(notes, QStringLiteral("b"));
    QTest::keyClick(notes, Qt::Key_Return, Qt::ControlModifier);
    if (dialog->isVisible()) {
      ADD_FAILURE() << "Ctrl+Return left the dialog open";
      testing::click_button(dialog, QStringLiteral("Cancel"));
    }
  });
  QTest::keyClick(testing::record_table(window), Qt::Key_N, Qt::ControlModifier);
  ASSERT_EQ(window.row_identifiers().size(), 1u);
  EXPECT_EQ(FileDataSource(home.log()).record(window.row_identifiers()[0])->notes(), "a\nb");

  // The keypad's Enter with Ctrl, from a one-line box.
  testing::answer_next_modal([](QWidget* dialog) {
    activate(dialog);
    QTest::keyClicks(dialog->focusWidget(), QStringLiteral("77"));
    QTest::keyClick(dialog->focusWidget(), Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    if (dialog->isVisible()) {
      ADD_FAILURE() << "Ctrl+Enter left the dialog open";
      testing::click_button(dialog, QStringLiteral("Cancel"));
    }
  });
  show_active(window);
  QTest::keyClick(testing::record_table(window), Qt::Key_F2);
  EXPECT_EQ(FileDataSource(home.log()).record(window.row_identifiers()[0])->mileage(), 77.0);
}

TEST(ScreenReader, EveryFocusableWidgetIsNamedAndTheMainOnesDescribed) {
  scoped_home home;
  fresh_layout layout;
  testing::write_file(home.log(), log_of(3, 2));
  Tarvik window;
  show_active(window);
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    if (!widget->isVisibleTo(&window) || (widget->focusPolicy() & Qt::TabFocus) == 0 ||
        widget->focusProxy() != nullptr) {
      continue;
    }
    EXPECT_FALSE(accessible(widget, QAccessible::Name).isEmpty())
        << widget->metaObject()->className() << " " << widget->objectName().toStdString();
  }
  const std::pair<const char*, const char*> named[] = {
      {"record_table", "Log entries"},
      {"search_box", "Search"},
      {"date_from", "First day"},
      {"date_to", "Last day"},
      {"operation_figures", "Figures by operation"},
      {"due_table", "Service intervals"}};
  for (const auto& [object, name] : named) {
    QWidget* widget = window.findChild<QWidget*>(QLatin1String(object));
    ASSERT_NE(widget, nullptr) << object;
    EXPECT_EQ(accessible(widget, QAccessible::Name), name);
    EXPECT_FALSE(accessible(widget, QAccessible::Description).isEmpty()) << object;
  }
}

TEST(ScreenReader, ARefusedBoxSaysWhy) {
  scoped_home home;
  fresh_layout layout;
  Tarvik window;
  show_active(window);
  QString description;
  testing::answer_next_modal([&](QWidget* dialog) {
    QTest::keyClicks(dialog->focusWidget(), QStringLiteral("lots"));
    testing::click_button(dialog, QStringLiteral("OK"));
    description = accessible(dialog->findChild<QWidget*>(QStringLiteral("mileage_box")),
                             QAccessible::Description);
    testing::click_button(dialog, QStringLiteral("Cancel"));
  });
  QTest::keyClick(testing::record_table(window), Qt::Key_N, Qt::ControlModifier);
  // What a screen reader reads with the box. (The events that announce it
  // at once need an active accessibility bridge, which offscreen has not.)
  EXPECT_TRUE(description.contains("not a number")) << description.toStdString();
}

TEST(WindowLayout, TheTableTakesTwoThirdsAndTheDocksTheirOwnRoom) {
  scoped_home home;
  testing::write_file(home.log(), log_of(60, 59));
  for (const QSize size : {QSize(800, 600), QSize(1280, 800)}) {
    fresh_layout layout;
    Tarvik window;
    window.resize(size);
    show_active(window);
    QApplication::processEvents();
    QTableView* table = testing::record_table(window);
    const int shared = window.height() - window.menuBar()->height() -
                       window.findChild<QToolBar*>()->height() - window.statusBar()->height();
    // Under load the docks may settle after a later round of layout events.
    EXPECT_TRUE(QTest::qWaitFor([&] { return table->height() * 3 >= shared * 2; }, 2000))
        << size.width() << ": table " << table->height() << " of " << shared;
    // Operation before Notes.
    const int chip =
        table->fontMetrics().horizontalAdvance(QStringLiteral("Windscreen chip repair, front"));
    EXPECT_GT(table->columnWidth(2), chip) << size.width();
    EXPECT_GE(table->columnWidth(4), 150);

    // On tabs the docks show no title bar; alone, they do.
    auto* statistics = window.findChild<QDockWidget*>(QStringLiteral("statistics_dock"));
    auto* due = window.findChild<QDockWidget*>(QStringLiteral("due_dock"));
    EXPECT_NE(statistics->titleBarWidget(), nullptr);
    due->close();
    EXPECT_EQ(statistics->titleBarWidget(), nullptr);
    // Made taller, the figures by operation grow with it.
    window.resizeDocks({statistics}, {size.height() / 2}, Qt::Vertical);
    QWidget* figures = window.findChild<QWidget*>(QStringLiteral("operation_figures"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return figures->height() > 160; }, 2000))
        << figures->height();
  }
}

TEST(WindowLayout, FirstSizeFitsTheScreenAndTheLayoutIsKeptForTheNextStart) {
  scoped_home home;
  fresh_layout layout;
  testing::write_file(home.log(), log_of(3, 2));
  QSize dock;
  {
    Tarvik window;
    EXPECT_FALSE(window.restored_layout());
    const QSize room = window.screen()->availableGeometry().size();
    EXPECT_EQ(window.size(), QSize(1000, 700).boundedTo(room));
    window.resize(640, 480);
    show_active(window);
    auto* statistics = window.findChild<QDockWidget*>(QStringLiteral("statistics_dock"));
    window.resizeDocks({statistics}, {200}, Qt::Vertical);
    testing::record_table(window)->setColumnWidth(1, 131);
    QApplication::processEvents();
    dock = statistics->size();
    window.close();
  }
  Tarvik again;
  EXPECT_TRUE(again.restored_layout());
  show_active(again);
  QApplication::processEvents();
  EXPECT_EQ(again.size(), QSize(640, 480));
  EXPECT_EQ(again.findChild<QDockWidget*>(QStringLiteral("statistics_dock"))->size(), dock);
  EXPECT_EQ(testing::record_table(again)->columnWidth(1), 131);
}

TEST(NewestInSight, TheNewestEntryIsCurrentAndShownAtStartAndForAnotherLog) {
  scoped_home home;
  fresh_layout layout;
  testing::write_file(home.log(), log_of(300, 150));
  Tarvik window;
  window.resize(800, 600);
  show_active(window);
  QApplication::processEvents();
  QTableView* table = testing::record_table(window);
  EXPECT_EQ(table->currentIndex().row(), 150);
  EXPECT_TRUE(table->viewport()->rect().contains(table->visualRect(table->currentIndex())));
  EXPECT_EQ(window.row_identifiers()[0], 0) << "the store order stays";
  // The same day twice: the one added later.
  const std::string other = home.dir().file("other.txt");
  testing::write_file(other, log_of(4, 1) + "<record=10>\ncost=1;\noperation=x;\ndate=" +
                                 std::to_string(1577836800L + 400 * 86400) +
                                 ";\nmileage=1;\nnotes=;\n</record>\n");
  ASSERT_TRUE(window.log().open(QString::fromStdString(other), false));
  EXPECT_EQ(table->currentIndex().row(), 4);
}

TEST(EmptyLog, SaysHowToBeginAndOffersNothingToActOnUntilThereIsSomething) {
  scoped_home home;
  fresh_layout layout;
  Tarvik window;
  show_active(window);
  auto* table = static_cast<record_table*>(testing::record_table(window));
  EXPECT_EQ(table->empty_text(), "No entries yet \u2014 New Entry (Ctrl+N) or Import CSV\u2026");
  EXPECT_EQ(accessible(table, QAccessible::Description), table->empty_text());
  QAction* edit = testing::menu_action(window, "Edit Entry…");
  QAction* remove = testing::menu_action(window, "Delete Entry");
  QAction* undo = testing::menu_action(window, "Undo");
  EXPECT_FALSE(edit->isEnabled());
  EXPECT_FALSE(remove->isEnabled());
  EXPECT_FALSE(undo->isEnabled());
  auto* change = window.findChild<QPushButton*>(QStringLiteral("change_interval_button"));
  auto* drop = window.findChild<QPushButton*>(QStringLiteral("remove_interval_button"));
  EXPECT_FALSE(change->isEnabled());
  EXPECT_FALSE(drop->isEnabled());

  testing::answer_next_editor({QStringLiteral("100")});
  QTest::keyClick(table, Qt::Key_N, Qt::ControlModifier);
  ASSERT_EQ(table->model()->rowCount(), 1);
  EXPECT_TRUE(edit->isEnabled());
  EXPECT_TRUE(remove->isEnabled());
  EXPECT_TRUE(undo->isEnabled());
  // A filter that hides every row: nothing to act on, and another text.
  show_active(window);
  QTest::keyClick(table, Qt::Key_F, Qt::ControlModifier);
  ASSERT_NE(QApplication::focusWidget(), nullptr);
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("nothing like it"));
  EXPECT_FALSE(edit->isEnabled());
  EXPECT_EQ(table->empty_text(), "No entry matches the filter.");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_TRUE(remove->isEnabled());

  auto* due_table = window.findChild<QTableWidget*>(QStringLiteral("due_table"));
  testing::write_file(home.dir().file("tarvik.due.txt"),
                      "<interval=0>\noperation=Oil change;\ndistance=15000;\n</interval>\n");
  window.reload_rows();
  ASSERT_EQ(due_table->rowCount(), 1);
  due_table->setCurrentCell(0, 0);
  EXPECT_TRUE(change->isEnabled());
  EXPECT_TRUE(drop->isEnabled());
}

}  // namespace
}  // namespace tarvik
