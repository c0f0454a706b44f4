#include "ui/export_commands.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "transfer/csv_export.h"
#include "ui/either_question.h"
#include "ui/log_notices.h"
#include "ui/open_log.h"
#include "ui/service_history.h"
#include "ui/shown_number.h"
#include "ui/tarvik.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

// The texts of this file, translated under one context.
struct export_text {
  Q_DECLARE_TR_FUNCTIONS(tarvik::export_commands)
};

// The print dialog opens the file it is to print to as soon as Print is
// clicked, to see that it may be written: a FIFO there would block the
// window, and the log would only be met by a question whether to replace
// it. So the file name is judged as every export's is, first; the dialog's
// own checks follow.
class print_dialog : public QPrintDialog {
 public:
  print_dialog(QPrinter* printer, QWidget* parent, std::string log)
      : QPrintDialog(printer, parent), log_(std::move(log)) {
    auto* buttons = findChild<QDialogButtonBox*>();
    if (buttons == nullptr) return;
    disconnect(buttons, &QDialogButtonBox::accepted, this, nullptr);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
      const auto* name = findChild<QLineEdit*>(QStringLiteral("filename"));
      if (name != nullptr && name->isEnabled() && !name->text().isEmpty() &&
          !may_export_to(this, name->text(), log_)) {
        return;
      }
      // Where the toolkit has no such step, its accept() is what is left.
      if (!QMetaObject::invokeMethod(this, "_q_checkFields")) accept();
    });
  }

 private:
  std::string log_;
};

enum class sent { csv, pdf, printer };

// What an export did, for the status bar: "12 entries exported to x.csv".
QString entries_done(std::size_t count, const QString& where, sent how) {
  const QString entries = count == 1 ? QCoreApplication::translate("tarvik::export", "1 entry")
                                     : QCoreApplication::translate("tarvik::export", "%1 entries")
                                           .arg(shown_count(count));
  switch (how) {
    case sent::csv:
      return QCoreApplication::translate("tarvik::export", "%1 exported to %2").arg(entries, where);
    case sent::pdf:
      return QCoreApplication::translate("tarvik::export", "Service history of %1 saved to %2")
          .arg(entries, where);
    case sent::printer:
      return QCoreApplication::translate("tarvik::export", "Service history of %1 sent to %2")
          .arg(entries, where);
  }
  return QString();
}

}  // namespace

void export_csv(Tarvik& window) {
  const open_log& log = window.log();
  std::vector<const Record*> rows = window.rows_shown();
  // With a filter on, the rows shown may be what is wanted, or the log.
  if (window.filtering()) {
    const std::size_t all = window.row_identifiers().size();
    const std::optional<bool> everything = ask_either(
        &window,
        export_text::tr("Export all %1 entries of the log, or only the %2 the filter shows?")
            .arg(all)
            .arg(rows.size()),
        export_text::tr("All Entries"), export_text::tr("Entries Shown"), false);
    if (!everything) return;
    if (*everything) rows = window.all_records();
  }
  const QString target = QFileDialog::getSaveFileName(
      &window, export_text::tr("Export CSV"), log.beside(QStringLiteral(".csv")),
      export_text::tr("CSV files (*.csv)"));
  if (target.isEmpty() || !may_export_to(&window, target, log.path())) return;
  std::string error;
  if (!write_csv(target.toLocal8Bit().toStdString(), rows, error)) {
    QMessageBox::warning(&window, QStringLiteral("Tarvik"),
                         export_text::tr("%1 could not be written: %2.")
                             .arg(target, to_widget_text(error)));
    return;
  }
  window.statusBar()->showMessage(entries_done(rows.size(), target, sent::csv), 10000);
}

void print_history(Tarvik& window, bool to_pdf) {
  const open_log& log = window.log();
  service_history history;
  history.log_name = QFileInfo(log.shown_path()).fileName();
  history.records = window.rows_shown();
  history.units = log.units();
  history.vehicle = log.vehicle();
  // For a buyer, the costs may stay out.
  const std::optional<bool> with_costs =
      ask_either(&window, export_text::tr("Include the costs in the service history?"),
                 export_text::tr("With Costs"), export_text::tr("Without Costs"), true);
  if (!with_costs) return;
  history.with_costs = *with_costs;
  if (to_pdf) {
    const QString target = QFileDialog::getSaveFileName(
        &window, export_text::tr("Export PDF"), log.beside(QStringLiteral(".pdf")),
        export_text::tr("PDF files (*.pdf)"));
    if (target.isEmpty() || !may_export_to(&window, target, log.path())) return;
    QString error;
    if (!history.write_pdf(target, &error)) {
      QMessageBox::warning(&window, QStringLiteral("Tarvik"),
                           export_text::tr("%1 could not be written: %2.").arg(target, error));
      return;
    }
    window.statusBar()->showMessage(entries_done(history.records.size(), target, sent::pdf),
                                    10000);
    return;
  }
  QPrinter printer;
  print_dialog dialog(&printer, &window, log.path());
  if (dialog.exec() != QDialog::Accepted) return;
  // Printing to a file is an export like the others, whatever the dialog
  // let through.
  const QString file = printer.outputFileName();
  if (!file.isEmpty() && !may_export_to(&window, file, log.path())) return;
  history.print(printer);
  window.statusBar()->showMessage(
      file.isEmpty() ? entries_done(history.records.size(), printer.printerName(), sent::printer)
                     : entries_done(history.records.size(), file, sent::pdf),
      10000);
}

}  // namespace tarvik
