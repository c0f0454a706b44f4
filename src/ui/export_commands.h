#ifndef TARVIK_UI_EXPORT_COMMANDS_H_
#define TARVIK_UI_EXPORT_COMMANDS_H_

namespace tarvik {

class Tarvik;

// File > Export CSV…: the rows the window shows, or with a filter on the
// whole log if the user says so, as a CSV file (transfer/csv_export.h).
void export_csv(Tarvik& window);

// File > Export PDF… and Print…: the service history of the rows shown,
// with or without the costs, as a PDF file or on a printer.
//
// No export writes over the log, its backups or its due file, nor into
// anything that is no regular file (log_notices.h, may_export_to); the
// window says why it wrote nothing.
void print_history(Tarvik& window, bool to_pdf);

}  // namespace tarvik

#endif  // TARVIK_UI_EXPORT_COMMANDS_H_
