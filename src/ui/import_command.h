#ifndef TARVIK_UI_IMPORT_COMMAND_H_
#define TARVIK_UI_IMPORT_COMMAND_H_

#include <QString>
#include <QtGlobal>
#include <optional>
#include <string>
#include <vector>

#include "transfer/csv_import.h"
#include "transfer/text_encoding.h"
#include "ui/record_commands.h"

namespace tarvik {

class Tarvik;

// The entries an import read, as the values of the records it adds.
std::vector<record_values> entry_values(const std::vector<imported_entry>& entries);

// Reads a CSV file for the import dialog: false, with the reason, when it is
// no regular file, larger than `limit` bytes, or cannot be read.
bool read_csv_file(const QString& path, std::string& text, QString& error,
                   qint64 limit = qint64{256} * 1024 * 1024);

// The same, read as `encoding`, else in the encoding guessed (decode_file),
// as the import dialog and --import-csv read it: false, with the reason,
// also when its UTF-16 is broken.
bool read_csv_file(const QString& path, decoded_file& file, QString& error,
                   std::optional<text_encoding> encoding = std::nullopt,
                   qint64 limit = qint64{256} * 1024 * 1024);

// File > Import CSV…: a CSV file the user picks, read through the import
// dialog (csv_import_dialog.h), added to the window's log as one undoable
// step. The first imported row becomes current where the filter shows it,
// and the status bar says how many entries came in, and whether they could
// not be saved yet.
void import_csv(Tarvik& window);

}  // namespace tarvik

#endif  // TARVIK_UI_IMPORT_COMMAND_H_
