// Undo gives back an entry as the user wrote it: the file after Delete and
// Ctrl+Z is the file before, comments, layout and all.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <string>
#include <vector>

#include "support/home.h"
#include "support/test_support.h"
#include "support/ui_support.h"
#include "ui/tarvik.h"

namespace tarvik {
namespace {

using testing::read_file;
using testing::write_file;

const char* const kHandWritten =
    "# my car\n"
    "\n"
    "# the good oil\n"
    "<record=0>\n"
    " operation = Oil change;\n"
    "# asked for 5W-30\n"
    "cost=24.50;\n"
    "shop=Bob's;\n"
    "date=1020211200;\n"
    "mileage=45210;\n"
    "notes*=a%3Bb;\n"
    "</record>\n"
    "\n"
    "# tyres, before winter\n"
    "<record=3>\n"
    "date=1031097600;\n"
    "operation=Tyres;\n"
    "</record>\n"
    "<record=5>\n"
    "date=1041097600;\n"
    "operation=Wash;\n"
    "</record>\n"
    "# the end\n";

class UndoWindow : public ::testing::Test {
 protected:
  void open(const std::string& text) {
    write_file(home.log(), text);
    window = std::make_unique<Tarvik>();
    window->resize(1100, 700);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    table = testing::record_table(*window);
  }

  void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    if (QApplication::focusWidget() == nullptr) {
      window->activateWindow();
      ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }, 2000));
    }
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  }

  void pick(int identifier) {
    const std::vector<int>& rows = window->row_identifiers();
    const auto row = std::find(rows.begin(), rows.end(), identifier);
    ASSERT_NE(row, rows.end());
    testing::click_cell(*table, static_cast<int>(row - rows.begin()), 1);
  }

  void undo() { press(Qt::Key_Z, Qt::ControlModifier); }
  void redo() { press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }

  testing::scoped_home home;
  std::unique_ptr<Tarvik> window;
  QTableView* table = nullptr;
};

TEST_F(UndoWindow, DeleteThenUndoLeavesTheFileAsItWas) {
  open(kHandWritten);
  for (const int id : {0, 3, 5}) {
    SCOPED_TRACE("record " + std::to_string(id));
    pick(id);
    press(Qt::Key_Delete);
    ASSERT_EQ(read_file(home.log()).find("<record=" + std::to_string(id) + ">"), std::string::npos);
    undo();
    EXPECT_EQ(read_file(home.log()), kHandWritten);
    // Done and undone again, from the text the last save wrote.
    redo();
    undo();
    redo();
    undo();
    EXPECT_EQ(read_file(home.log()), kHandWritten);
  }
  // Two deleted, through the menu, then both back.
  pick(3);
  QAction* remove = testing::menu_action(*window, QStringLiteral("Delete Entry"));
  ASSERT_NE(remove, nullptr);
  remove->trigger();
  pick(0);
  remove->trigger();
  EXPECT_EQ(window->row_identifiers(), std::vector<int>{5});
  undo();
  undo();
  EXPECT_EQ(read_file(home.log()), kHandWritten);
}

TEST_F(UndoWindow, AnUndoneEditGivesBackTheBlockAsWritten) {
  open(kHandWritten);
  pick(0);
  testing::answer_next_editor({.operation = QStringLiteral("Oil and filter")});
  press(Qt::Key_Return);
  const std::string edited = read_file(home.log());
  ASSERT_NE(edited.find("operation=Oil and filter;"), std::string::npos) << edited;
  undo();
  EXPECT_EQ(read_file(home.log()), kHandWritten);
  redo();
  EXPECT_EQ(read_file(home.log()), edited);
  undo();
  EXPECT_EQ(read_file(home.log()), kHandWritten);

  // Deleted after its edit was undone, and back: still as written.
  pick(0);
  press(Qt::Key_Delete);
  undo();
  EXPECT_EQ(read_file(home.log()), kHandWritten);
}

TEST_F(UndoWindow, AnUndoneDeleteWhoseNumberWasTakenKeepsItsTextUnderANewOne) {
  open(kHandWritten);
  pick(0);
  press(Qt::Key_Delete);
  // Another program gives number 0 to an entry of its own.
  const std::string theirs = "<record=0>\ndate=1061097600;\noperation=Brakes;\n</record>\n";
  write_file(home.log(), read_file(home.log()) + theirs);
  undo();
  const std::string text = read_file(home.log());
  EXPECT_NE(text.find(theirs), std::string::npos) << text;
  std::string ours = kHandWritten;
  ours = ours.substr(ours.find("# the good oil\n"), ours.find("</record>\n") + 10 - ours.find("# the good oil\n"));
  const std::size_t tag = ours.find("<record=0>");
  const std::size_t at = text.find(ours.substr(0, tag) + "<record=");
  ASSERT_NE(at, std::string::npos) << text;
  const std::size_t digits = at + tag + 8;
  const std::size_t close = text.find('>', digits);
  EXPECT_NE(text.substr(digits, close - digits), "0") << text;
  EXPECT_EQ(text.substr(close + 1, ours.size() - tag - 10), ours.substr(tag + 10)) << text;
}

}  // namespace
}  // namespace tarvik
