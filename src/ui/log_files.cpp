#include "ui/log_files.h"

#include <QCoreApplication>
#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

#include "ui/open_log.h"
#include "ui/recent_logs.h"

namespace tarvik {
namespace {

// The texts of this file, translated under one context.
struct log_files_text {
  Q_DECLARE_TR_FUNCTIONS(tarvik::log_files)
};

void open_recent(QWidget* parent, open_log& log, const QString& file) {
  // A log moved or removed since is no use on the list.
  if (!QFileInfo::exists(file)) {
    QMessageBox::warning(parent, QStringLiteral("Tarvik"),
                         log_files_text::tr("%1 is no longer there; it is taken off the list of "
                                        "recent logs.")
                             .arg(file));
    recent_logs::remove(file);
    return;
  }
  log.open(file, false);
}

}  // namespace

void choose_log_to_open(QWidget* parent, open_log& log) {
  const QString file = QFileDialog::getOpenFileName(
      parent, log_files_text::tr("Open Log"), log.beside(QString()),
      log_files_text::tr("Tarvik logs (*.txt);;All files (*)"));
  if (!file.isEmpty()) log.open(file, false);
}

void choose_new_log(QWidget* parent, open_log& log) {
  QString file = QFileDialog::getSaveFileName(
      parent, log_files_text::tr("New Log"), log.beside(QString()),
      log_files_text::tr("Tarvik logs (*.txt);;All files (*)"), nullptr,
      QFileDialog::DontConfirmOverwrite);
  if (file.isEmpty()) return;
  if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".txt");
  // A new log never replaces one that is there.
  if (QFileInfo::exists(file)) {
    const auto answer = QMessageBox::question(
        parent, QStringLiteral("Tarvik"),
        log_files_text::tr("%1 already exists. Open it instead?").arg(file),
        QMessageBox::Open | QMessageBox::Cancel, QMessageBox::Open);
    if (answer == QMessageBox::Open) log.open(file, false);
    return;
  }
  log.open(file, true);
}

void fill_recent_menu(QMenu* menu, QWidget* parent, open_log& log) {
  menu->clear();
  const QStringList files = recent_logs::list();
  for (int k = 0; k < files.size(); ++k) {
    const QFileInfo info(files[k]);
    const QString text = log_files_text::tr("&%1 %2  (%3)").arg(k + 1).arg(info.fileName(), info.path());
    QAction* entry = menu->addAction(text);
    entry->setData(files[k]);
    QObject::connect(entry, &QAction::triggered, parent,
                     [parent, &log, file = files[k]] { open_recent(parent, log, file); });
  }
  if (files.isEmpty()) {
    menu->addAction(log_files_text::tr("No Recent Logs"))->setEnabled(false);
    return;
  }
  menu->addSeparator();
  menu->addAction(log_files_text::tr("Clear Menu"), parent, [] { recent_logs::clear(); });
}

}  // namespace tarvik
