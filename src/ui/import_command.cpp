#include "ui/import_command.h"

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
    entries.push_back({entry.date, entry.mileage, entry.operation, entry.notes, entry.cost});
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
