#ifndef TARVIK_UI_LOG_NOTICES_H_
#define TARVIK_UI_LOG_NOTICES_H_

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "data/log_format.h"

class QDialog;
class QWidget;

namespace tarvik {

// What the window tells the user about the log file itself, beside its
// records: what a reading could not use, a file it will not touch, a save
// that failed, and what a save did besides writing. Every dialog here is a
// child of `parent`.

// Shows the problems of a reading, each with its line, in a dialog that does
// not block the window (object name "log_problems"). With
// `copy_before_saving`, it says that the file will be copied before the
// first save. Returns the dialog.
QDialog* show_log_problems(QWidget* parent, const QString& path,
                           const std::vector<log_problem>& problems, bool copy_before_saving);

// Says, modally, that `path` cannot be used and why. `refused`: it is no
// regular file and is never read or written; otherwise it could not be read
// and is copied aside before a save replaces it.
void tell_log_unusable(QWidget* parent, const QString& path, const QString& reason, bool refused);

// Whether an export may write `target` while the log at `log` is in use
// (refuse_export_target: never the log, its backups or its due file, nor
// what is no regular file). When not, says so modally and why.
bool may_export_to(QWidget* parent, const QString& target, const std::string& log);

// Says, modally, that a copy of the log was kept, and why.
void tell_copy_kept(QWidget* parent, const QString& path, const QString& copy, bool conflict,
                    const QStringList& records);

// Asks, after a failed save, whether to try again; true to try.
bool ask_to_retry_save(QWidget* parent, const QString& path, const QString& reason);

// Asks, when the window closes (or turns to another log) with a change not
// saved, what to do.
enum class closing_choice { save_again, discard, stay };
enum class leaving { closing, opening_other_log };
closing_choice ask_before_closing(QWidget* parent, const QString& path, const QString& reason,
                                  leaving what = leaving::closing);

}  // namespace tarvik

#endif  // TARVIK_UI_LOG_NOTICES_H_
