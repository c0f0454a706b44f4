#ifndef TARVIK_UI_TARVIK_H_
#define TARVIK_UI_TARVIK_H_

#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "ui/record_commands.h"

class QAction;
class QDockWidget;
class QLabel;
class QMenu;
class QToolBar;
class QUndoStack;

namespace tarvik {

class DataSource;
class FileDataSource;
class FilterBar;
class Record;
class RecordFilter;
class statistics_panel;
class due_list_panel;
class log_watcher;
class RecordModel;
class RecordTable;

// One column of the table: its header label, which is also the key under
// which a record gives the cell text, and its narrowest width in pixels.
struct colinfo {
  std::string name;
  int width = 0;
};

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
class Tarvik : public QMainWindow, private record_log {
  Q_OBJECT

 public:
  // Opens the log and fills the table; the window is complete, not shown.
  // `log` is the log file to open; empty: $HOME/tarvik.txt.
  explicit Tarvik(QWidget* parent = nullptr, const char* name = nullptr, std::string log = {});
  ~Tarvik() override;

  // The log file the window works on.
  const std::string& log_path() const { return path; }
  // The identifiers of the records, in store order, for tests.
  const std::vector<int>& row_identifiers() const;

  // Rebuilds every row from the store, as after the store took in changes
  // made elsewhere. The current row stays on its record when the record is
  // still there and shown, else on the same row number as far as the rows
  // reach.
  void reload_rows();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private slots:
  void new_record();
  void edit_record();
  void delete_record();

 private:
  // The records of the rows shown, top to bottom.
  std::vector<const Record*> rows_shown() const;
  // Every record of the log, in store order, whatever the filter shows.
  std::vector<const Record*> all_records() const;
  // Entries of a CSV file, chosen in the import dialog, as one undoable step.
  void import_csv();
  void export_csv();
  // The log's path as the window shows and names it.
  QString shown_path() const;
  // Where file dialogs start: the log's folder, or with `ending` a file
  // named after the log there ("tarvik.csv").
  QString beside_log(const QString& ending) const;
  // File > Open…, New Log… and an entry of Open Recent.
  void choose_log_to_open();
  void choose_new_log();
  void open_recent(const QString& file);
  void fill_recent_menu();
  // Turns the window to the log in `file`, after asking what to do with a
  // change not saved; with `create`, writes it (empty) first. False when
  // the window stays on its log.
  bool open_log(const QString& file, bool create);
  // The parts that name or watch the log follow `path` (the due list is
  // turned by open_log, having read its file when it was built).
  void follow_log();
  // False when the user would rather stay, with a change not saved.
  bool may_leave_log(bool closing);
  // The service history of the rows shown, as a PDF file or on a printer.
  void print_history(bool to_pdf);
  void set_defaults();
  void setup_toolbar();
  void setup_menus();
  // Widths that show a date, a seven-digit mileage and a five-digit cost
  // whole in the table's font, never below the descriptors' widths; Notes
  // takes the rest of the width.
  void size_columns();
  void make_current(int row, int column);
  // The identifier of the record in the current row, or -1.
  int current_identifier() const;
  // The table row showing the record at `position` in store order; -1
  // when the filter hides it.
  int row_of(std::size_t position) const;
  void apply_filter();
  // The counts, the figures of the rows shown and the due list.
  void show_record_count();
  // The counts and the figures of the rows shown only.
  void show_rows_counted();
  // Commits the store; tells the user when the change could not be saved
  // (offering to try again) and what a commit did besides writing.
  void commit();
  void after_commit();
  // The log on disk changed (a watcher's notice, or a look without one).
  void log_touched(bool notified);
  // What the reading of the log could not use, or that it could not be read.
  void tell_about_reading();
  // "Oil change, 2002-05-01" for the record with this identifier.
  QString describe(int identifier);

  // record_log: what the undoable commands change goes through here.
  DataSource& store() override;
  void changed(const record_change& change) override;
  void changed_many() override;
  void refused(const QString& why) override;

  std::unique_ptr<FileDataSource> data_source;
  std::vector<std::unique_ptr<colinfo>> columns;
  RecordTable* table;
  QDockWidget* statistics_dock = nullptr;
  statistics_panel* statistics = nullptr;
  QDockWidget* due_dock = nullptr;
  due_list_panel* due_list = nullptr;
  QLabel* due_label = nullptr;
  RecordModel* model = nullptr;
  RecordFilter* filter = nullptr;
  FilterBar* filter_bar = nullptr;
  QToolBar* toolbar;
  QMenu* recent_menu = nullptr;
  log_watcher* watcher = nullptr;
  QLabel* path_label = nullptr;
  std::string path;
  QUndoStack* undo_stack = nullptr;
  QAction* new_action = nullptr;
  QAction* edit_action = nullptr;
  QAction* delete_action = nullptr;
  QLabel* count_label = nullptr;
  QLabel* unsaved_label = nullptr;
  bool shown_before = false;
  // The log is on the user's list of recent logs.
  bool listed_as_recent = false;
  // The problems of the reading last listed for the user.
  QStringList problems_shown;
  // A change is in the window that the last commit could not save.
  bool unsaved = false;
};

// $HOME/tarvik.txt, joined as it stands; without HOME, the home directory
// from the password database.
std::string log_file_path();

}  // namespace tarvik

#endif  // TARVIK_UI_TARVIK_H_
