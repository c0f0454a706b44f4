#ifndef TARVIK_UI_SERVICE_HISTORY_H_
#define TARVIK_UI_SERVICE_HISTORY_H_

#include <QString>
#include <memory>
#include <vector>

#include "ui/log_units.h"

class QPagedPaintDevice;
class QTextDocument;

namespace tarvik {

class Record;

// A printable service history: a title with the vehicle's name (else the
// log's) and the date range of the entries, a table of the entries given
// (in that order) with mileage, date, operation, notes and, unless left out
// (for a buyer), cost, and the totals, the mileage and costs headed with the
// log's units. Long tables run over as many pages as they need across the
// page's width, the header repeated on each and "Page N of M" at each foot.
struct service_history {
  QString log_name;
  QString vehicle;  // may be empty
  std::vector<const Record*> records;
  bool with_costs = true;
  log_units units = locale_units();

  // The history as a document, not yet laid out on pages.
  std::unique_ptr<QTextDocument> document() const;

  // Prints onto `device` (a printer, or a PDF writer).
  void print(QPagedPaintDevice& device) const;

  // Writes the history as a PDF file at `path` (A4), crash-safely and only
  // as a regular file (replacement_file.h): what stands there is replaced
  // whole or not at all, and a FIFO or device is never opened. False when
  // the file cannot be written; `error` then says why.
  bool write_pdf(const QString& path, QString* error = nullptr) const;
};

}  // namespace tarvik

#endif  // TARVIK_UI_SERVICE_HISTORY_H_
