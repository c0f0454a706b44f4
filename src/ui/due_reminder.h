#ifndef TARVIK_UI_DUE_REMINDER_H_
#define TARVIK_UI_DUE_REMINDER_H_

#include <QString>
#include <QStringList>
#include <ostream>
#include <string>

#include "insight/due_list.h"
#include "ui/log_units.h"

// What is due in a log, told without a window: `tarvik --due` on the
// terminal and the reminder at login (`tarvik --notify-due`).
namespace tarvik {

// The due list of the log at `log_path` on the day of `now`, read with its
// due file and settings.
struct log_reminder {
  // 0: nothing due; 1: something due soon or overdue; 2: the log (or its
  // due file) could not be read, or not to its end: `error` says why.
  int status = 0;
  QStringList lines;  // due_line() (due_texts.h) of each interval that is_due()
  QString error;
};
log_reminder remind_of(const std::string& log_path, long now);

// `tarvik --due [FILE]`: prints the lines, and returns the status.
int print_due(const std::string& log_path, std::ostream& out, std::ostream& err);

// Shows a desktop notification; false and `error` when it could not.
class notifier {
 public:
  virtual ~notifier() = default;
  virtual bool notify(const QString& summary, const QString& body, QString& error) = 0;
};

// `tarvik --notify-due`: one notification for what is due in all of
// `logs`, each line after its log's file name; none when nothing is. A log
// that cannot be read is said on `err` and passed over. Returns 1 when the
// notification could not be shown, else 0.
int notify_due(const QStringList& logs, notifier& notifier, std::ostream& err, long now);

}  // namespace tarvik

#endif  // TARVIK_UI_DUE_REMINDER_H_
