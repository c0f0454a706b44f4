#ifndef TARVIK_TESTS_SUPPORT_UI_SUPPORT_H_
#define TARVIK_TESTS_SUPPORT_UI_SUPPORT_H_

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>

class QAction;
class QMainWindow;
class QPoint;
class QTableView;
class QTimer;
class QWidget;

// Lets failing expectations show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace tarvik::testing {

// Runs `answer` on the next modal widget (a dialog or message box) as soon
// as it shows, from a single-shot timer polling the event loop. Fails the
// test if none shows within a few seconds.
void answer_next_modal(std::function<void(QWidget*)> answer);

// While it lives, a modal widget that shows fails the test and is closed,
// so that a dialog nobody expected cannot hang the test.
class no_modal_expected {
 public:
  no_modal_expected();
  ~no_modal_expected();

 private:
  std::unique_ptr<QTimer> timer_;
};

// Replaces the text of a box with real input: a click into it, Ctrl+A, the
// Delete key, then one key press per character (Return for "\n").
void type_into_box(QWidget* box, const QString& text);

// Pastes `path` into a file dialog's name box and clicks its Open (or Save)
// button, as a user picking a file by name does.
void choose_file(QWidget* dialog, const QString& path);

// Clicks the dialog's button with this text (mnemonic marks aside); fails
// the test without one.
void click_button(QWidget* dialog, const QString& text);

// What to type into the "Edit Record" dialog; unset boxes stay as they are.
struct typed_record {
  std::optional<QString> mileage = std::nullopt;
  std::optional<QString> date = std::nullopt;
  std::optional<QString> operation = std::nullopt;
  std::optional<QString> cost = std::nullopt;
  std::optional<QString> notes = std::nullopt;
  bool press_ok = true;  // else Cancel
};

// Types into the boxes of an open "Edit Record" dialog and clicks OK or
// Cancel. When OK leaves the dialog open (a box could not be read), fails
// the test and cancels.
void fill_and_close(QWidget* dialog, const typed_record& typed);

// answer_next_modal(fill_and_close(typed)).
void answer_next_editor(const typed_record& typed);

// The entry of `window`'s menu bar menus with this text, mnemonic marks
// aside; fails the test and gives null without one.
QAction* menu_action(QMainWindow& window, const QString& text);

// The main window's table of records; null without one.
QTableView* record_table(const QWidget& window);
// A cell's display text as the view's model gives it; "<no cell>" outside.
QString cell(const QTableView& table, int row, int column);
// The centre of a cell, in the viewport's coordinates.
QPoint cell_centre(const QTableView& table, int row, int column);
// A real mouse click on a cell, and on a column's header.
void click_cell(QTableView& table, int row, int column);
void click_header(QTableView& table, int column);
// Makes a cell current as a program would (no event).
void set_current(QTableView& table, int row, int column);

}  // namespace tarvik::testing

#endif  // TARVIK_TESTS_SUPPORT_UI_SUPPORT_H_
