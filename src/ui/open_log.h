#ifndef TARVIK_UI_OPEN_LOG_H_
#define TARVIK_UI_OPEN_LOG_H_

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "data/log_format.h"
#include "ui/log_notices.h"
#include "ui/log_units.h"
#include "ui/record_commands.h"

class QUndoCommand;
class QUndoStack;

namespace tarvik {

class FileDataSource;
class due_file;
class log_settings;
class log_watcher;

// $HOME/tarvik.txt, joined as it stands; without HOME, the home directory
// from the password database.
std::string log_file_path();

// What the open log needs of whoever shows it: the window, or a test. Every
// call comes at once, from inside the open log's own operation.
class log_view {
 public:
  // A command changed one record: show it. False when the record is in the
  // log but the filter hides it.
  virtual bool show_change(const record_change& change) = 0;
  // The store changed as a whole (many records, a merge, another writer's
  // save): show it afresh.
  virtual void show_records() = 0;
  // The open log is another file now: its name, and its records from the
  // first row.
  virtual void show_new_log() = 0;
  // The service intervals were saved, or tried: the due list follows.
  virtual void show_intervals() = 0;
  // A change is in the window that the last save could not write, or not.
  virtual void show_unsaved(bool unsaved) = 0;
  // A passing word (the status bar), and one the user acknowledges.
  virtual void say(const QString& text, int milliseconds) = 0;
  virtual void warn(const QString& text) = 0;
  // The questions and notices of log_notices.h.
  virtual bool retry_save(const QString& path, const QString& reason) = 0;
  virtual closing_choice ask_leaving(const QString& path, const QString& reason,
                                     leaving what) = 0;
  virtual void tell_copy_kept(const QString& path, const QString& copy, bool conflict,
                              const QStringList& records) = 0;
  virtual void tell_unusable(const QString& path, const QString& reason, bool refused) = 0;
  virtual void show_problems(const QString& path, const std::vector<log_problem>& problems,
                             bool copy_due) = 0;
  // The keys of Undo as the user sees them ("Ctrl+Z"); empty: none.
  virtual QString undo_keys() const { return QString(); }

 protected:
  ~log_view() = default;
};

// The log a window has open: its store, the service intervals kept beside
// it, the watcher that notices other writers, the undo history, whether a
// change waits to be saved, and its place on the list of recent logs. It
// holds no widget; it tells and asks through its log_view.
//
// Every change the undoable commands make (record_commands.h, through the
// record_log side) is shown and committed at once; a commit that fails
// keeps the change, asks whether to try again and leaves the log unsaved
// until a commit succeeds. A commit that merged another writer's changes,
// met a conflict or kept a backup says so. When the file changes on disk
// while nothing waits to be saved, the log reads it again and shows it.
class open_log : public QObject, public record_log {
  Q_OBJECT

 public:
  // Reads the log at `path` (empty: log_file_path()) and its service
  // intervals, and starts watching it. Says nothing yet: see
  // tell_about_reading().
  open_log(std::string path, log_view& view, QObject* parent);
  ~open_log() override;

  const std::string& path() const { return path_; }
  // The log's path as the window shows and names it.
  QString shown_path() const;
  // Where file dialogs start: the log's folder, or with `ending` a file
  // named after the log there ("tarvik.csv").
  QString beside(const QString& ending) const;

  FileDataSource& file_store() { return *store_; }
  const FileDataSource& file_store() const { return *store_; }
  QUndoStack& undo_stack() { return *undo_stack_; }
  // Pushes `step` on the undo history (which takes it) and, once it
  // stands, says `answer` in the status bar, with what the step found to
  // tell besides (a record hidden by the filter, a save not done yet). A
  // step refused says why instead.
  void take_step(QUndoCommand* step, const QString& answer);
  // Undo and Redo, answered "Undid: Delete Oil change" and "Redid: …".
  void undo();
  void redo();
  // How the answers name Undo: its keys, else its name.
  QString undo_name() const;
  // A change is in the store that the last commit could not save.
  bool unsaved() const { return unsaved_; }

  // Commits the store; tells what the commit did besides writing, or that
  // it failed (offering to try again).
  void commit();
  // Turns to the log in `file`, after asking what to do with a change not
  // saved; with `create`, writes it (empty) first. The undo history, the
  // intervals, the watcher and the recent list follow it. False when the
  // log stays what it was; a log that cannot be read is never turned to.
  bool open(const QString& file, bool create);
  // False when the user would rather stay, with a change of the log or of
  // its intervals not saved.
  bool may_leave(leaving what);
  // The file on disk may have changed (a watcher's notice, or a look
  // without one): another writer's change is shown when nothing here
  // waits to be saved, and merged by the next save otherwise. Nothing is
  // read while a modal dialog is open.
  void look_at_file(bool notified);
  // What the reading could not use, or that the log could not be read; a
  // list already told is not told again.
  void tell_about_reading();
  // The list of what the reading could not use, shown again however often
  // it was; when there is none, says so.
  void tell_problems_again();
  // The records read with a problem, by identifier, with the problems'
  // words; a record loses its mark once it is changed, and every reading
  // of the log marks afresh.
  const std::unordered_map<int, QString>& problem_marks() const { return problem_marks_; }

  // The service intervals kept beside the log (insight/due_file.h).
  due_file& intervals() { return *intervals_; }
  // A change of the intervals is not saved: the last save failed.
  bool intervals_unsaved() const { return intervals_unsaved_; }
  // Reads the intervals again when another program changed their file and
  // nothing here waits to be saved; true when it did.
  bool read_intervals_again();
  // Saves the intervals; true when nothing is left unsaved. A save that
  // meets another program's change reads their file instead and says so;
  // one that fails says why when `tell_failure`.
  bool save_intervals(bool tell_failure);

  // The units the log's figures are named in: its settings file's
  // (insight/log_settings.h), else the locale's. A log made by open(file,
  // true) gets the locale's written; one without the file keeps none
  // written until the user saves them.
  log_units units() const;
  const log_settings& settings() const { return *settings_; }
  // The vehicle's name from the settings file; empty when none is given.
  QString vehicle() const;
  // Writes `units`, and `vehicle` when given, into the settings file,
  // beside what another program put there meanwhile; says why when it
  // cannot. True when saved.
  bool save_units(const log_units& units, const std::optional<QString>& vehicle = std::nullopt);

  // record_log: what the undoable commands change goes through here.
  DataSource& store() override;
  void changed(const record_change& change) override;
  void changed_many() override;
  void refused(const QString& why) override;

 private:
  // The watcher and the recent list follow path_.
  void follow();
  void after_commit();
  void set_unsaved(bool unsaved);
  // "Oil change, 2002-05-01" for the record with this identifier.
  QString describe(int identifier);
  // Marks the records of the reading just made (problem_marks()).
  void mark_problems();
  // A passing word: during a step, kept to follow the step's answer.
  void tell(const QString& text, int milliseconds);
  void begin_step();
  void end_step(const QString& answer);

  log_view& view_;
  std::string path_;
  std::unique_ptr<FileDataSource> store_;
  std::unique_ptr<due_file> intervals_;
  std::unique_ptr<log_settings> settings_;
  QUndoStack* undo_stack_;
  log_watcher* watcher_ = nullptr;
  bool unsaved_ = false;
  bool intervals_unsaved_ = false;
  // The log is on the user's list of recent logs.
  bool listed_as_recent_ = false;
  // The problems of the reading last listed for the user.
  QStringList problems_shown_;
  std::unordered_map<int, QString> problem_marks_;
  // While a step is taken: whether it was refused, and what it told.
  bool in_step_ = false;
  bool step_refused_ = false;
  QStringList step_notes_;
};

}  // namespace tarvik

#endif  // TARVIK_UI_OPEN_LOG_H_
