#include "ui/import_command.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUndoStack>
#include <string>
#include <utility>
#include <vector>

#include "ui/csv_import_dialog.h"
#include "ui/open_log.h"
#include "ui/record_commands.h"
#include "ui/shown_number.h"
#include "ui/tarvik.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

// The texts of this file, translated under one context.
struct import_text {
  Q_DECLARE_TR_FUNCTIONS(tarvik::import_command)
};

}  // namespace

bool read_csv_file(const QString& path, std::string& text, QString& error, qint64 limit) {
  const QFileInfo info(path);
  if (!info.exists()) {
    error = import_text::tr("No such file or directory");
    return false;
  }
  // A FIFO or a device would block the window, or never end.
  if (!info.isFile()) {
    error = import_text::tr("It is not a regular file");
    return false;
  }
  const QString too_large =
      import_text::tr("It is larger than %1 MiB, more than any log holds").arg(limit / (1024 * 1024));
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

bool read_csv_file(const QString& path, decoded_file& file, QString& error,
                   std::optional<text_encoding> encoding, qint64 limit) {
  std::string bytes;
  if (!read_csv_file(path, bytes, error, limit)) return false;
  std::string why;
  if (!decode_file(std::move(bytes), encoding, file, why)) {
    error = QString::fromStdString(why);
    return false;
  }
  return true;
}

std::vector<record_values> entry_values(const std::vector<imported_entry>& entries) {
  std::vector<record_values> values;
  values.reserve(entries.size());
  for (const imported_entry& entry : entries) {
    values.push_back(
        {entry.date, entry.mileage, entry.operation, entry.notes, entry.cost, entry.fields});
  }
  return values;
}

void import_csv(Tarvik& window) {
  open_log& log = window.log();
  const QString source =
      QFileDialog::getOpenFileName(&window, import_text::tr("Import CSV"), log.beside(QString()),
                                   import_text::tr("CSV files (*.csv *.txt);;All files (*)"));
  if (source.isEmpty()) return;
  decoded_file read;
  QString error;
  if (!read_csv_file(source, read, error)) {
    QMessageBox::warning(&window, QStringLiteral("Tarvik"),
                         import_text::tr("%1 could not be read: %2").arg(source, error));
    return;
  }
  const QString name = QFileInfo(source).fileName();
  csv_import_dialog dialog(&window, name, std::move(read), log.units().distance_text(),
                           log.units().currency);
  if (dialog.exec() != QDialog::Accepted || dialog.entries().empty()) return;
  std::vector<record_values> entries = entry_values(dialog.entries());
  const std::size_t count = entries.size();
  const QString said =
      count == 1
          ? QCoreApplication::translate("tarvik::import_csv",
                                        "1 entry imported from %1 — %2 takes it out again")
                .arg(name, log.undo_name())
          : QCoreApplication::translate("tarvik::import_csv",
                                        "%1 entries imported from %2 — %3 takes them out again")
                .arg(shown_count(count), name, log.undo_name());
  log.take_step(new import_records_command(log, std::move(entries)), said);
  // The units and name the file gave, where the user took them.
  if (const vehicle_facts facts = dialog.facts_for_log(); !facts.empty()) {
    log_units units = log.units();
    if (facts.distance == "km") units.distance = distance_unit::km;
    if (facts.distance == "mi") units.distance = distance_unit::mi;
    std::optional<QString> vehicle;
    if (!facts.name.empty()) vehicle = to_widget_text(facts.name);
    if (log.save_units(units, vehicle)) window.show_units();
  }
  // Rows come in at the end of the store; the newest entry is what the
  // user looks for first. Undo, from the table, takes the import back (not
  // the search text).
  window.show_newest();
  window.focus_table();
}

}  // namespace tarvik
