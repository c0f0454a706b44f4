#include "ui/open_log.h"

#include <QApplication>
#include <QFileInfo>
#include <QUndoStack>
#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <utility>

#include "data/file_data_source.h"
#include "data/record.h"
#include "insight/due_file.h"
#include "insight/log_settings.h"
#include "ui/log_watcher.h"
#include "ui/recent_logs.h"
#include "ui/widget_text.h"

namespace tarvik {

std::string log_file_path() {
  const char* home = std::getenv("HOME");
  std::string directory;
  if (home != nullptr) {
    directory = home;
  } else if (const passwd* user = getpwuid(getuid()); user != nullptr && user->pw_dir) {
    directory = user->pw_dir;
  }
  return directory + "/" + "tarvik.txt";
}

namespace {

// The log's settings; what could not be read in them is said on stderr
// (their values stay as written; the locale's units stand in).
std::unique_ptr<log_settings> read_settings(const std::string& log) {
  auto settings = std::make_unique<log_settings>(settings_file_path(log), log);
  for (const log_problem& problem : settings->problems()) {
    if (problem.line == 0) {
      std::fprintf(stderr, "tarvik: %s\n", problem.message.c_str());
    } else {
      std::fprintf(stderr, "tarvik: %s:%zu: %s\n", settings->path().c_str(), problem.line,
                   problem.message.c_str());
    }
  }
  return settings;
}

}  // namespace

open_log::open_log(std::string path, log_view& view, QObject* parent)
    : QObject(parent),
      view_(view),
      path_(path.empty() ? log_file_path() : std::move(path)),
      store_(std::make_unique<FileDataSource>(path_)),
      intervals_(std::make_unique<due_file>(due_file_path(path_), path_)),
      settings_(read_settings(path_)),
      undo_stack_(new QUndoStack(this)) {
  mark_problems();
  follow();
}

open_log::~open_log() = default;

QString open_log::shown_path() const { return QString::fromLocal8Bit(path_.c_str()); }

QString open_log::beside(const QString& ending) const {
  const QFileInfo log(shown_path());
  if (ending.isEmpty()) return log.path();
  return log.path() + QLatin1Char('/') + log.completeBaseName() + ending;
}

void open_log::follow() {
  const QString file = shown_path();
  if (watcher_ != nullptr) {
    watcher_->disconnect(this);
    watcher_->deleteLater();
  }
  watcher_ = new log_watcher(file, this);
  connect(watcher_, &log_watcher::touched, this, &open_log::look_at_file);
  // A log that is not there yet is listed once its first save made it.
  listed_as_recent_ = QFileInfo::exists(file);
  if (listed_as_recent_) recent_logs::add(file);
}

void open_log::set_unsaved(bool unsaved) {
  unsaved_ = unsaved;
  view_.show_unsaved(unsaved);
}

void open_log::commit() {
  const QString file = shown_path();
  for (;;) {
    if (store_->commit()) {
      after_commit();
      return;
    }
    set_unsaved(true);
    const QString reason = to_widget_text(store_->last_commit().error);
    if (!view_.retry_save(file, reason)) return;
  }
}

void open_log::after_commit() {
  set_unsaved(false);
  // The first save made the log: now it can be found again.
  if (!listed_as_recent_) {
    recent_logs::add(shown_path());
    listed_as_recent_ = true;
  }
  const commit_outcome& outcome = store_->last_commit();
  const QString file = shown_path();
  if (outcome.merged) {
    view_.show_records();
    tell(tr("Saved together with changes another program made to the log"), 10000);
  }
  if (!outcome.conflicts.empty()) {
    QStringList records;
    for (const int id : outcome.conflicts) records << describe(id);
    if (outcome.conflict_copy.empty()) {
      // Removed elsewhere and changed here: nothing of theirs was lost.
      tell(tr("Kept records another program had removed, as changed here: %1")
               .arg(records.join(QStringLiteral("; "))),
           20000);
    } else {
      view_.tell_copy_kept(file, to_widget_text(outcome.conflict_copy), true, records);
    }
  }
  if (!outcome.backup.empty()) {
    view_.tell_copy_kept(file, to_widget_text(outcome.backup), false, {});
  }
}

QString open_log::describe(int identifier) {
  const Record* record = store_->record(identifier);
  if (record == nullptr) return tr("a record that was deleted here");
  return QStringLiteral("%1, %2").arg(to_widget_text(record->operation()),
                                      to_widget_text(record->value("date")));
}

bool open_log::open(const QString& file, bool create) {
  // The log open already: reading it again would only drop the undo steps.
  const QString here = QFileInfo(shown_path()).canonicalFilePath();
  if (!here.isEmpty() && QFileInfo(file).canonicalFilePath() == here) {
    view_.say(tr("%1 is the log open in this window").arg(file), 10000);
    return true;
  }
  const std::string target = file.toLocal8Bit().toStdString();
  auto fresh = std::make_unique<FileDataSource>(target);
  // The log open stays usable rather than turning to one that is not; then
  // nothing is to be asked about the change not saved.
  if (!fresh->read_failure().empty()) {
    view_.warn(tr("%1 could not be opened: %2.")
                   .arg(file, to_widget_text(fresh->read_failure())));
    return false;
  }
  if (!may_leave(leaving::opening_other_log)) return false;
  if (create && !fresh->commit()) {
    view_.warn(tr("%1 could not be made: %2.")
                   .arg(file, to_widget_text(fresh->last_commit().error)));
    return false;
  }
  store_ = std::move(fresh);
  path_ = target;
  set_unsaved(false);
  // Steps taken on the other log have nothing to undo here.
  undo_stack_->clear();
  problems_shown_.clear();
  mark_problems();
  // may_leave() asked about intervals not saved.
  intervals_ = std::make_unique<due_file>(due_file_path(path_), path_);
  intervals_unsaved_ = false;
  settings_ = read_settings(path_);
  // A new log is in the units of the user who made it, whatever the
  // locale of a later reader.
  if (create && !settings_->exists() && settings_->read_failure().empty()) {
    const log_units units = locale_units();
    settings_->set_distance(units.distance);
    settings_->set_currency(from_widget_text(units.currency));
    if (!settings_->save()) {
      std::fprintf(stderr, "tarvik: %s: %s\n", settings_->path().c_str(), settings_->error().c_str());
    }
  }
  follow();
  view_.show_new_log();
  view_.say(tr("Opened %1").arg(file), 10000);
  tell_about_reading();
  return true;
}

bool open_log::may_leave(leaving what) {
  const QString file = shown_path();
  bool dropped = false;
  while (unsaved_ && !dropped) {
    const QString reason = to_widget_text(store_->last_commit().error);
    switch (view_.ask_leaving(file, reason, what)) {
      case closing_choice::save_again:
        if (store_->commit()) after_commit();
        continue;  // asks again while it still fails
      case closing_choice::discard:
        dropped = true;
        continue;
      case closing_choice::stay:
        return false;
    }
  }
  // The service intervals are the user's too.
  while (intervals_unsaved_) {
    switch (view_.ask_leaving(QString::fromLocal8Bit(intervals_->path().c_str()),
                              to_widget_text(intervals_->error()), what)) {
      case closing_choice::save_again:
        save_intervals(false);
        continue;
      case closing_choice::discard:
        return true;
      case closing_choice::stay:
        return false;
    }
  }
  return true;
}

void open_log::look_at_file(bool notified) {
  // Nothing is swapped under an open dialog: the look after it will do.
  if (QApplication::activeModalWidget() != nullptr || store_->refused()) return;
  if (!store_->changed_on_disk(notified)) return;
  if (unsaved_) {
    view_.say(tr("The log was changed by another program; the next save merges it"),
              10000);
    return;
  }
  // A reading that fails leaves the log as it was.
  auto fresh = std::make_unique<FileDataSource>(path_);
  if (!fresh->read_failure().empty()) {
    view_.say(tr("The log was changed by another program and cannot be read: %1")
                  .arg(to_widget_text(fresh->read_failure())),
              10000);
    return;
  }
  store_ = std::move(fresh);
  mark_problems();
  view_.show_records();
  view_.say(tr("The log was changed by another program; showing its new content"),
            10000);
  if (!store_->problems().empty()) tell_about_reading();
}

void open_log::tell_about_reading() {
  const QString file = shown_path();
  if (!store_->read_failure().empty()) {
    view_.tell_unusable(file, to_widget_text(store_->read_failure()), store_->refused());
    return;
  }
  // A list the user has seen is not shown again for every reading.
  QStringList problems;
  for (const log_problem& problem : store_->problems()) {
    problems << QString::number(problem.line) + QLatin1Char(':') + to_widget_text(problem.message);
  }
  if (problems.isEmpty() || problems == problems_shown_) return;
  problems_shown_ = problems;
  view_.show_problems(file, store_->problems(), store_->copy_due());
}

void open_log::tell_problems_again() {
  if (!store_->read_failure().empty() || store_->problems().empty()) {
    // A file that could not be read was said so when it was opened.
    view_.say(store_->read_failure().empty()
                  ? tr("The log was read without problems")
                  : tr("The log could not be read: %1").arg(to_widget_text(store_->read_failure())),
              10000);
    return;
  }
  view_.show_problems(shown_path(), store_->problems(), store_->copy_due());
}

void open_log::mark_problems() {
  problem_marks_.clear();
  const std::vector<log_problem>& problems = store_->problems();
  const std::vector<int> records = store_->problem_records();
  for (std::size_t i = 0; i < problems.size() && i < records.size(); ++i) {
    if (records[i] < 0) continue;
    QString& said = problem_marks_[records[i]];
    if (!said.isEmpty()) said += QLatin1Char('\n');
    said += tr("Line %1: %2").arg(problems[i].line).arg(to_widget_text(problems[i].message));
  }
}

QString open_log::undo_name() const {
  const QString keys = view_.undo_keys();
  return keys.isEmpty() ? tr("Undo") : keys;
}

void open_log::tell(const QString& text, int milliseconds) {
  if (in_step_) {
    step_notes_ << text;
  } else {
    view_.say(text, milliseconds);
  }
}

void open_log::begin_step() {
  in_step_ = true;
  step_refused_ = false;
  step_notes_.clear();
}

void open_log::end_step(const QString& answer) {
  in_step_ = false;
  // The refusal said what became of the step.
  if (step_refused_) return;
  QString said = answer;
  if (unsaved_ || intervals_unsaved_) said += tr(", not saved yet");
  for (const QString& note : std::as_const(step_notes_)) said += QStringLiteral(". ") + note;
  step_notes_.clear();
  view_.say(said, 10000);
}

void open_log::take_step(QUndoCommand* step, const QString& answer) {
  begin_step();
  undo_stack_->push(step);
  end_step(answer);
}

void open_log::undo() {
  if (!undo_stack_->canUndo()) return;
  const QString step = undo_stack_->undoText();
  begin_step();
  undo_stack_->undo();
  end_step(tr("Undid: %1").arg(step));
}

void open_log::redo() {
  if (!undo_stack_->canRedo()) return;
  const QString step = undo_stack_->redoText();
  begin_step();
  undo_stack_->redo();
  end_step(tr("Redid: %1").arg(step));
}

bool open_log::read_intervals_again() {
  // A change not saved yet stays until a save can tell whose is newer.
  if (intervals_unsaved_ || !intervals_->changed_on_disk()) return false;
  intervals_ = std::make_unique<due_file>(intervals_->path(), intervals_->log_path());
  return true;
}

bool open_log::save_intervals(bool tell_failure) {
  const QString file = QString::fromLocal8Bit(intervals_->path().c_str());
  const bool earlier_unsaved = intervals_unsaved_;
  intervals_unsaved_ = !intervals_->save();
  if (intervals_unsaved_ && intervals_->changed_elsewhere()) {
    // Their intervals are not written over: the user sees them and decides.
    intervals_unsaved_ = false;
    intervals_ = std::make_unique<due_file>(intervals_->path(), intervals_->log_path());
    view_.warn(tr("Another program changed the service intervals in %1 meanwhile, "
                              "so %2 not saved. The list now shows the intervals as they are; "
                              "make the change again if it is still wanted.")
                   .arg(file, earlier_unsaved
                                  ? tr("this change and the earlier one that could "
                                                   "not be saved were")
                                  : tr("this change was")));
  } else if (intervals_unsaved_ && tell_failure) {
    view_.warn(tr("The service intervals could not be saved to %1: %2.")
                   .arg(file, to_widget_text(intervals_->error())));
  }
  view_.show_intervals();
  return !intervals_unsaved_;
}

log_units open_log::units() const { return units_of(*settings_); }

QString open_log::vehicle() const {
  return settings_->vehicle() ? to_widget_text(*settings_->vehicle()) : QString();
}

bool open_log::save_units(const log_units& units, const std::optional<QString>& vehicle) {
  const auto apply = [&] {
    settings_->set_distance(units.distance);
    settings_->set_currency(from_widget_text(units.currency));
    // Unset, they follow the distance unit and the locale.
    if (units.volume) settings_->set_volume(*units.volume);
    if (units.consumption) settings_->set_consumption(*units.consumption);
    if (vehicle) settings_->set_vehicle(from_widget_text(*vehicle));
    return settings_->save();
  };
  if (apply()) return true;
  if (settings_->changed_elsewhere()) {
    // Another program's lines stay; the units are the ones just chosen.
    settings_ = read_settings(path_);
    if (apply()) return true;
  }
  view_.warn(tr("The units could not be saved to %1: %2.")
                 .arg(QString::fromLocal8Bit(settings_->path().c_str()),
                      to_widget_text(settings_->error())));
  // What the window shows follows the file.
  settings_ = read_settings(path_);
  return false;
}

DataSource& open_log::store() { return *store_; }

void open_log::changed(const record_change& change) {
  // What the user changed is no longer what the reading found.
  if (change.what == record_change::kind::changed) problem_marks_.erase(change.identifier);
  const bool shown = view_.show_change(change);
  commit();
  if (!shown && !unsaved_) tell(tr("The record is saved but hidden by the filter"), 10000);
}

void open_log::changed_many() {
  view_.show_records();
  commit();
}

void open_log::refused(const QString& why) {
  if (in_step_) step_refused_ = true;
  view_.say(why, 10000);
}

}  // namespace tarvik
