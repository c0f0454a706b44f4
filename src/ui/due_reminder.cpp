#include "ui/due_reminder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <cerrno>
#include <ctime>
#include <sys/stat.h>
#include <vector>

#include "data/diagnostic.h"
#include "data/file_data_source.h"
#include "insight/due_file.h"
#include "insight/log_settings.h"
#include "ui/due_texts.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

// The texts of this file, translated under one context.
struct reminder_text {
  Q_DECLARE_TR_FUNCTIONS(tarvik::due_reminder)
};

std::string local(const QString& text) { return text.toLocal8Bit().toStdString(); }

}  // namespace

log_reminder remind_of(const std::string& log_path, long now) {
  log_reminder reminder;
  reminder.status = 2;
  const QString name = to_widget_text(log_path);
  // A log that is not there is a mistake in the call, not a log with
  // nothing due.
  struct stat status;
  if (stat(log_path.c_str(), &status) != 0) {
    reminder.error = reminder_text::tr("cannot read %1: %2").arg(name, to_widget_text(error_text(errno)));
    return reminder;
  }
  FileDataSource store(log_path);
  if (!store.read_failure().empty()) {
    reminder.error = reminder_text::tr("cannot read %1: %2").arg(name, to_widget_text(store.read_failure()));
    return reminder;
  }
  // The latest services may be in the part not read: "overdue" would be
  // a guess.
  if (store.copy_due()) {
    reminder.error = reminder_text::tr("%1 could not be read to its end").arg(name);
    return reminder;
  }
  const due_file intervals(due_file_path(log_path), log_path);
  if (!intervals.read_failure().empty()) {
    reminder.error = reminder_text::tr("cannot read %1: %2")
                         .arg(to_widget_text(intervals.path()), to_widget_text(intervals.read_failure()));
    return reminder;
  }
  std::vector<const Record*> records;
  for (const int id : store.identifiers()) records.push_back(store.record(id));
  const std::vector<due_item> items = compute_due_list(intervals.intervals(), records, now);
  const log_units units = units_of(log_settings(settings_file_path(log_path), log_path));
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (is_due(items[i].state)) {
      reminder.lines << due_line(to_widget_text(intervals.intervals()[i].operation), items[i], now,
                                 units.distance_text(), QLocale());
    }
  }
  reminder.status = reminder.lines.isEmpty() ? 0 : 1;
  return reminder;
}

int print_due(const std::string& log_path, std::ostream& out, std::ostream& err) {
  const log_reminder reminder = remind_of(log_path, static_cast<long>(std::time(nullptr)));
  if (reminder.status == 2) {
    err << "tarvik: " << local(reminder.error) << "\n";
    return 2;
  }
  for (const QString& line : reminder.lines) out << local(line) << "\n";
  return reminder.status;
}

int notify_due(const QStringList& logs, notifier& notifier, std::ostream& err, long now) {
  QStringList lines;
  for (const QString& log : logs) {
    const log_reminder reminder = remind_of(local(log), now);
    if (reminder.status == 2) {
      err << "tarvik: " << local(reminder.error) << "\n";
      continue;
    }
    const QString name = QFileInfo(log).fileName();
    for (const QString& line : reminder.lines) lines << reminder_text::tr("%1 \u2013 %2").arg(name, line);
  }
  if (lines.isEmpty()) return 0;
  const QString summary = lines.size() == 1 ? reminder_text::tr("A vehicle service is due")
                                            : reminder_text::tr("%1 vehicle services are due").arg(lines.size());
  QString error;
  if (!notifier.notify(summary, lines.join(QLatin1Char('\n')), error)) {
    err << "tarvik: the reminder could not be shown: " << local(error) << "\n";
    return 1;
  }
  return 0;
}

}  // namespace tarvik
