#ifndef TARVIK_UI_TARVIK_H_
#define TARVIK_UI_TARVIK_H_

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "ui/open_log.h"
#include "ui/record_commands.h"

class QAction;
class QDockWidget;
class QLabel;
class QMenu;
class QToolBar;

namespace tarvik {

class filter_bar;
class Record;
class statistics_panel;
class due_list_panel;
class record_table;
class record_rows;

// The main window: every record of a log (by default $HOME/tarvik.txt) as
// one row
// of a five-column table, in store order, a menu bar, a tool bar with New,
// Edit and Delete and the filter, and a status bar with the number of
// records and the log's path. Unsorted and unfiltered, row i shows the
// record whose identifier is row_identifiers()[i]; sorting (a click on a
// column's header) and filtering change only what the table shows, and
// Edit and Delete act on the record shown in the current row. New, Edit
// and Delete can be undone and redone back to the window's opening. Every
// change, undo and redo is committed at once; when that fails the window
// says why, offers to try again and keeps the change, which the next
// successful commit writes; it never closes with a change unsaved without
// asking.
//
// The log is shared: when another program changes the file while the
// window has nothing unsaved, the window shows the new content (a watcher
// looks within a second or two); a save that meets another program's
// changes merges them, and the window shows the merged log and says what
// became of records both changed. What the reading could not use, and a
// file that cannot be used at all, are shown when the window first shows.
//
// File > Open…, New Log… and Open Recent turn the window to another log
// (one a vehicle): the undo history, the due list, the watcher and the
// title follow it; a change not yet saved is never left behind without
// asking, and a log that cannot be read is not turned to.
//
// The log itself, its saving and its watching are an open_log
// (open_log.h); the window shows it.
class Tarvik : public QMainWindow, private log_view {
  Q_OBJECT

 public:
  // Opens the log and fills the table; the window is complete, not shown.
  // `log` is the log file to open; empty: $HOME/tarvik.txt.
  explicit Tarvik(QWidget* parent = nullptr, const char* name = nullptr, std::string log = {});
  ~Tarvik() override;

  // The log file the window works on.
  const std::string& log_path() const { return log_->path(); }
  // The identifiers of the records, in store order, for tests.
  const std::vector<int>& row_identifiers() const;

  // Rebuilds every row from the store, as after the store took in changes
  // made elsewhere. The current row stays on its record when the record is
  // still there and shown, else on the same row number as far as the rows
  // reach.
  void reload_rows();

  // For the commands that act on the window's log (import_command.h,
  // export_commands.h).
  open_log& log() { return *log_; }
  // The records of the rows shown, top to bottom.
  std::vector<const Record*> rows_shown() const;
  // Every record of the log, in store order, whatever the filter shows.
  std::vector<const Record*> all_records() const;
  // The filter hides rows, or may.
  bool filtering() const;
  // Makes the row of the record at `position` in store order current, when
  // the filter shows it.
  void show_position(std::size_t position);
  // The keyboard focus to the table, where Undo undoes the log's steps.
  void focus_table();
  // Makes the row of the newest entry by date current and scrolls to it,
  // when the filter shows it; the store order stays as it is.
  void show_newest();
  // The headers and the figures name the open log's units: after they
  // changed (an import offers those of the file).
  void show_units();
  // The window found its size and place kept from an earlier run.
  bool restored_layout() const { return layout_restored; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Tab and Shift+Tab go round the table, the filter and the dock on top.
  bool focusNextPrevChild(bool next) override;

 private slots:
  void new_record();
  // New Fill-up…: the dialog with the fill-up's boxes, Operation "Fuel".
  void new_fill_up();
  void edit_record();
  void delete_record();

 private:
  // The title and the status bar name the open log.
  void show_log_name();
  // File > Log Settings…: the units, and the reminder at login.
  void edit_log_settings();
  void setup_toolbar();
  void setup_menus();
  // Tab order through the table, the filter and the docks.
  void setup_keyboard();
  // Names and descriptions a screen reader reads out.
  void describe_for_screen_readers();
  // The window's size and place, the docks and the column widths, kept in
  // the user's settings when the window closes and read when it is built.
  void restore_layout();
  void keep_layout();
  // What Tab goes round, in order.
  QList<QWidget*> focus_ring() const;
  // Docks on tabs show no title bar.
  void fit_dock_titles();
  // Help > About: version, licence and the open log.
  void show_about();
  // New and New Fill-up: the dialog on a fresh record, then the undoable step.
  void add_record(bool fill_up);
  void apply_filter();
  // The counts, the figures of the rows shown and the due list.
  void show_record_count();
  // The counts and the figures of the rows shown only.
  void show_rows_counted();

  // log_view: how the open log is shown, and what it asks.
  bool show_change(const record_change& change) override;
  void show_records() override;
  void show_new_log() override;
  void show_intervals() override;
  void show_unsaved(bool unsaved) override;
  void say(const QString& text, int milliseconds) override;
  void warn(const QString& text) override;
  bool retry_save(const QString& path, const QString& reason) override;
  closing_choice ask_leaving(const QString& path, const QString& reason, leaving what) override;
  void tell_copy_kept(const QString& path, const QString& copy, bool conflict,
                      const QStringList& records) override;
  void tell_unusable(const QString& path, const QString& reason, bool refused) override;
  void show_problems(const QString& path, const std::vector<log_problem>& problems,
                     bool copy_due) override;
  QString undo_keys() const override;

  open_log* log_ = nullptr;
  record_table* table = nullptr;
  std::unique_ptr<record_rows> rows;
  QDockWidget* statistics_dock = nullptr;
  statistics_panel* statistics = nullptr;
  QDockWidget* due_dock = nullptr;
  due_list_panel* due_list = nullptr;
  QLabel* due_label = nullptr;
  filter_bar* search_bar = nullptr;
  QToolBar* toolbar = nullptr;
  QMenu* recent_menu = nullptr;
  QLabel* path_label = nullptr;
  QAction* new_action = nullptr;
  QAction* edit_action = nullptr;
  QAction* delete_action = nullptr;
  QAction* undo_action = nullptr;
  QAction* import_action = nullptr;
  QLabel* count_label = nullptr;
  QLabel* unsaved_label = nullptr;
  bool shown_before = false;
  bool layout_restored = false;
  bool docks_restored = false;
  QByteArray kept_docks;
  // Operation keeps its share of the width until the user sizes a column.
  bool share_columns = true;
};

}  // namespace tarvik

#endif  // TARVIK_UI_TARVIK_H_
