#include "ui/import_command.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStatusBar>
#include <QUndoStack>
#include <string>
#include <utility>
#include <vector>

#include "ui/csv_import_dialog.h"
#include "ui/open_log.h"
#include "ui/record_commands.h"
#include "ui/tarvik.h"

namespace tarvik {

bool read_csv_file(const QString& path, std::string& text, QString& error, qint64 limit) {
  const QFileInfo info(path);
  if (!info.exists()) {
    error = QStringLiteral("No such file or directory");
    return false;
  }
  // A FIFO or a device would block the window, or never end.
  if (!info.isFile()) {
    error = QStringLiteral("It is not a regular file");
    return false;
  }
  const QString too_large =
      QStringLiteral("It is larger than %1 MiB, more than any log holds").arg(limit / (1024 * 1024));
  if (info.size() > limit) {
    error = too_large;
    return false;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    error = file.errorString();
    return false;
  }
  std::string read;
  read.reserve(static_cast<std::size_t>(info.size()));
  char buffer[65536];
  for (;;) {
    const qint64 got = file.read(buffer, sizeof buffer);
    if (got < 0) {
      error = file.errorString();
      return false;
    }
    if (got == 0) break;
    // It may have grown since it was looked at.
    if (static_cast<qint64>(read.size()) + got > limit) {
      error = too_large;
      return false;
    }
    read.append(buffer, static_cast<std::size_t>(got));
  }
  text = std::move(read);
  return true;
}

void import_csv(Tarvik& window) {
  open_log& log = window.log();
  const QString source =
      QFileDialog::getOpenFileName(&window, QStringLiteral("Import CSV"), log.beside(QString()),
                                   QStringLiteral("CSV files (*.csv *.txt);;All files (*)"));
  if (source.isEmpty()) return;
  std::string text;
  QString error;
  if (!read_csv_file(source, text, error)) {
    QMessageBox::warning(&window, QStringLiteral("Tarvik"),
                         QStringLiteral("%1 could not be read: %2").arg(source, error));
    return;
  }
  const QString name = QFileInfo(source).fileName();
  csv_import_dialog dialog(&window, name, std::move(text));
  if (dialog.exec() != QDialog::Accepted || dialog.entries().empty()) return;
  std::vector<record_values> entries;
  entries.reserve(dialog.entries().size());
  for (const imported_entry& entry : dialog.entries()) {
    entries.push_back(
        {entry.date, entry.mileage, entry.operation, entry.notes, entry.cost, entry.fields});
  }
  const std::size_t count = entries.size();
  const std::size_t first = window.row_identifiers().size();
  log.undo_stack().push(new import_records_command(log, std::move(entries)));
  // The user sees what came in: the first imported row, where shown.
  window.show_position(first);
  QString said = count == 1 ? QStringLiteral("1 entry imported from %2")
                            : QStringLiteral("%1 entries imported from %2").arg(count);
  if (log.unsaved()) said += QStringLiteral(", not saved yet");
  window.statusBar()->showMessage(said.arg(name), 10000);
}

}  // namespace tarvik
