#include "ui/tarvik.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QUndoStack>
#include <algorithm>
#include <cstdlib>
#include <pwd.h>
#include <utility>
#include <unistd.h>

#include "data/file_data_source.h"
#include "data/record.h"
#include "platform/pointer_check.h"
#include "platform/resource.h"
#include "ui/filter_bar.h"
#include "transfer/csv_export.h"
#include "ui/charts_dialog.h"
#include "ui/csv_import_dialog.h"
#include "ui/due_list_panel.h"
#include "ui/either_question.h"
#include "ui/log_notices.h"
#include "ui/service_history.h"
#include "ui/statistics_panel.h"
#include "ui/log_watcher.h"
#include "ui/recent_logs.h"
#include "ui/record_editor.h"
#include "ui/record_filter.h"
#include "ui/record_model.h"
#include "ui/record_table.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

constexpr const char* kSource = "tarvik";

struct column_default {
  const char* name;
  int width;
  // The widest text the column is to show whole; none for Notes, which
  // takes what is left.
  const char* widest;
};
constexpr column_default kColumns[] = {
    {"Mileage", 60, "8888888.8"}, {"Date", 68, "8888-88-88"},
    {"Operation", 78, "Wiper blades, rear"}, {"Cost", 50, "88888.88"},
    {"Notes", 150, nullptr},
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

}  // namespace

std::string log_file_path() {
  const char* home = std::getenv("HOME");
  std::string directory;
  if (home != nullptr) {
    directory = home;
  } else if (const passwd* user = getpwuid(getuid()); user != nullptr && user->pw_dir) {
    directory = user->pw_dir;
  }
  return directory + "/" + "tarvik.txt";
}

Tarvik::Tarvik(QWidget* parent, const char* name, std::string log) : QMainWindow(parent) {
  if (name != nullptr) setObjectName(QLatin1String(name));
  set_defaults();
  table = new RecordTable(this);
  TARVIK_CHECK_POINTER(table, kSource);
  table->setObjectName(QStringLiteral("record_table"));
  path = log.empty() ? log_file_path() : std::move(log);
  data_source = std::make_unique<FileDataSource>(path);
  TARVIK_CHECK_POINTER(data_source.get(), kSource);

  std::vector<std::string> names;
  QStringList labels;
  for (const auto& column : columns) {
    names.push_back(column->name);
    labels << to_widget_text(column->name);
  }
  model = new RecordModel(std::move(names), labels, this);
  filter = new RecordFilter(model, this);
  table->setModel(filter);
  size_columns();
  // Double-clicking a row edits it; its first click made it current.
  connect(table, &QTableView::doubleClicked, this, [this] { edit_record(); });

  undo_stack = new QUndoStack(this);
  statistics_dock = new QDockWidget(QStringLiteral("Statistics"), this);
  statistics_dock->setObjectName(QStringLiteral("statistics_dock"));
  statistics_dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
  statistics = new statistics_panel(statistics_dock);
  statistics_dock->setWidget(statistics);
  addDockWidget(Qt::BottomDockWidgetArea, statistics_dock);
  due_dock = new QDockWidget(QStringLiteral("Due List"), this);
  due_dock->setObjectName(QStringLiteral("due_dock"));
  due_dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
  due_list = new due_list_panel(path, due_dock);
  due_dock->setWidget(due_list);
  addDockWidget(Qt::BottomDockWidgetArea, due_dock);
  tabifyDockWidget(statistics_dock, due_dock);
  statistics_dock->raise();
  connect(due_list, &due_list_panel::intervals_changed, this, &Tarvik::show_record_count);
  connect(statistics_dock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
    if (visible) statistics->show_rows(*model, filter->source_rows());
  });
  setup_toolbar();
  setup_menus();
  count_label = new QLabel(this);
  statusBar()->addWidget(count_label);
  due_label = new QLabel(this);
  due_label->setObjectName(QStringLiteral("due_label"));
  due_label->setStyleSheet(QStringLiteral("color: #b00000"));
  due_label->hide();
  statusBar()->addWidget(due_label);
  unsaved_label = new QLabel(QStringLiteral("Not saved"), this);
  unsaved_label->setObjectName(QStringLiteral("unsaved_label"));
  unsaved_label->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));
  unsaved_label->hide();
  statusBar()->addPermanentWidget(unsaved_label);
  path_label = new QLabel(this);
  path_label->setObjectName(QStringLiteral("path_label"));
  statusBar()->addPermanentWidget(path_label);
  connect(filter_bar, &FilterBar::changed, this, &Tarvik::apply_filter);
  connect(filter_bar, &FilterBar::finished, this, [this] { table->setFocus(); });
  follow_log();
  reload_rows();
  setCentralWidget(table);
  // The only context menu a main window offers hides the tool bar for good.
  setContextMenuPolicy(Qt::PreventContextMenu);
}

Tarvik::~Tarvik() = default;

void Tarvik::follow_log() {
  const QString file = shown_path();
  // Which vehicle's log this is, when there are several.
  setWindowTitle(QStringLiteral("%1 \u2013 Tarvik").arg(QFileInfo(file).fileName()));
  path_label->setText(file);
  if (watcher != nullptr) {
    watcher->disconnect(this);
    watcher->deleteLater();
  }
  watcher = new log_watcher(file, this);
  connect(watcher, &log_watcher::touched, this, &Tarvik::log_touched);
  // A log that is not there yet is listed once its first save made it.
  listed_as_recent = QFileInfo::exists(file);
  if (listed_as_recent) recent_logs::add(file);
}

void Tarvik::set_defaults() {
  table = nullptr;
  toolbar = nullptr;
  for (const column_default& defaults : kColumns) {
    auto column = std::make_unique<colinfo>();
    TARVIK_CHECK_POINTER(column.get(), kSource);
    column->name = defaults.name;
    column->width = defaults.width;
    columns.push_back(std::move(column));
  }
}

void Tarvik::size_columns() {
  const QFontMetrics metrics = table->fontMetrics();
  const int padding =
      2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1) +
      metrics.averageCharWidth() * 2;
  QHeaderView* header = table->horizontalHeader();
  for (int k = 0; k < static_cast<int>(columns.size()); ++k) {
    int width = std::max(columns[static_cast<std::size_t>(k)]->width, header->sectionSizeHint(k));
    if (const char* widest = kColumns[k].widest) {
      width = std::max(width, metrics.horizontalAdvance(QLatin1String(widest)) + padding);
    }
    table->setColumnWidth(k, width);
  }
  // The last section never shrinks below the width it has now.
  header->setStretchLastSection(true);
}

void Tarvik::setup_toolbar() {
  toolbar = new QToolBar(this);
  toolbar->setObjectName(QStringLiteral("toolbar"));
  toolbar->setMovable(false);
  toolbar->setFloatable(false);
  toolbar->setAllowedAreas(Qt::TopToolBarArea);
  toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  toolbar->toggleViewAction()->setEnabled(false);
  addToolBar(Qt::TopToolBarArea, toolbar);
  struct command {
    const char* text;
    const char* icon;
    void (Tarvik::*slot)();
    QList<QKeySequence> keys;
    QAction** action;
  };
  const command commands[] = {
      {"New", "new", &Tarvik::new_record, {QKeySequence(Qt::CTRL | Qt::Key_N)}, &new_action},
      {"Edit",
       "edit",
       &Tarvik::edit_record,
       {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_F2)},
       &edit_action},
      {"Delete", "trash", &Tarvik::delete_record, {QKeySequence(Qt::Key_Delete)}, &delete_action},
  };
  for (const command& c : commands) {
    const QIcon icon(Resource::loadPixmap(QLatin1String(c.icon)));
    auto* action = new QAction(icon, QLatin1String(c.text), this);
    TARVIK_CHECK_POINTER(action, kSource);
    action->setShortcuts(c.keys);
    connect(action, &QAction::triggered, this, c.slot);
    toolbar->addAction(action);
    *c.action = action;
  }
  filter_bar = new FilterBar(toolbar);
  toolbar->addWidget(filter_bar);
}

void Tarvik::setup_menus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(new_action);
  file->addSeparator();
  QAction* open = file->addAction(QStringLiteral("Open…"), this, &Tarvik::choose_log_to_open);
  open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  QAction* new_log =
      file->addAction(QStringLiteral("New Log…"), this, &Tarvik::choose_new_log);
  new_log->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
  recent_menu = file->addMenu(QStringLiteral("Open Recent"));
  recent_menu->setObjectName(QStringLiteral("recent_menu"));
  connect(recent_menu, &QMenu::aboutToShow, this, &Tarvik::fill_recent_menu);
  file->addSeparator();
  file->addAction(QStringLiteral("Import CSV…"), this, &Tarvik::import_csv);
  file->addAction(QStringLiteral("Export CSV…"), this, &Tarvik::export_csv);
  file->addAction(QStringLiteral("Export PDF…"), this, [this] { print_history(true); });
  QAction* print = file->addAction(QStringLiteral("Print…"), this, [this] { print_history(false); });
  print->setShortcut(QKeySequence::Print);
  file->addSeparator();
  QAction* quit = file->addAction(QStringLiteral("Quit"), this, &QWidget::close);
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  QAction* undo = undo_stack->createUndoAction(this, QStringLiteral("Undo"));
  undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  QAction* redo = undo_stack->createRedoAction(this, QStringLiteral("Redo"));
  redo->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  edit->addAction(undo);
  edit->addAction(redo);
  edit->addSeparator();
  edit->addAction(edit_action);
  edit->addAction(delete_action);

  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  view->addAction(statistics_dock->toggleViewAction());
  view->addAction(due_dock->toggleViewAction());
  view->addAction(QStringLiteral("Charts…"), this, [this] {
    charts_dialog charts(this, rows_shown(), beside_log(QStringLiteral(".png")), path);
    charts.exec();
  });

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->addAction(QStringLiteral("About Tarvik"), this, [this] {
    QMessageBox::about(this, QStringLiteral("About Tarvik"),
                       QStringLiteral("Tarvik keeps the maintenance and mileage log of one "
                                      "vehicle.\n\nLog file: %1")
                           .arg(shown_path()));
  });
}

const std::vector<int>& Tarvik::row_identifiers() const { return model->identifiers(); }

int Tarvik::current_identifier() const {
  const QModelIndex shown = filter->index(table->current_row(), 0);
  if (!shown.isValid()) return -1;
  const int row = filter->mapToSource(shown).row();
  const std::vector<int>& ids = model->identifiers();
  return row >= 0 && row < static_cast<int>(ids.size()) ? ids[static_cast<std::size_t>(row)] : -1;
}

int Tarvik::row_of(std::size_t position) const {
  if (position >= model->identifiers().size()) return -1;
  return filter->mapFromSource(model->index(static_cast<int>(position), 0)).row();
}

void Tarvik::reload_rows() {
  const int row = table->current_row();
  const int column = std::max(table->current_column(), 0);
  const int current_id = current_identifier();

  model->reload(data_source.get());

  // The first row is current until the user picks another, so that Edit
  // and Delete show at once what they would act on.
  const std::vector<int>& ids = model->identifiers();
  const auto same = std::find(ids.begin(), ids.end(), current_id);
  const int shown =
      same != ids.end() ? row_of(static_cast<std::size_t>(same - ids.begin())) : -1;
  make_current(shown >= 0 ? shown : std::max(row, 0), column);
  show_record_count();
}

void Tarvik::apply_filter() {
  const int column = std::max(table->current_column(), 0);
  filter->set_text(filter_bar->text());
  filter->set_dates(filter_bar->days());
  // The current record stays current while it is shown; else the first row.
  if (!table->currentIndex().isValid()) make_current(0, column);
  // What is due follows the whole log: the filter changes nothing of it.
  show_rows_counted();
}

void Tarvik::make_current(int row, int column) {
  row = std::min(row, filter->rowCount() - 1);
  if (row < 0) return;
  table->make_current(row, column);
}

void Tarvik::show_record_count() {
  show_rows_counted();
  // What is due follows the whole log, and the status bar counts it.
  const std::size_t due = due_list->show_log(all_records());
  due_label->setText(due == 1 ? QStringLiteral("1 service due")
                              : QStringLiteral("%1 services due").arg(due));
  due_label->setVisible(due > 0);
}

void Tarvik::show_rows_counted() {
  const std::size_t count = model->identifiers().size();
  QString text = count == 1 ? QStringLiteral("1 record") : QStringLiteral("%1 records").arg(count);
  if (filter->filtering()) text += QStringLiteral(", %1 shown").arg(filter->rowCount());
  count_label->setText(text);
  // The figures follow the rows shown, while anyone can see them.
  if (statistics_dock->isVisible()) statistics->show_rows(*model, filter->source_rows());
}

std::vector<const Record*> Tarvik::all_records() const {
  std::vector<const Record*> records;
  records.reserve(model->identifiers().size());
  for (const int id : model->identifiers()) {
    if (const Record* record = data_source->record(id)) records.push_back(record);
  }
  return records;
}

std::vector<const Record*> Tarvik::rows_shown() const {
  std::vector<const Record*> rows;
  const std::vector<int>& ids = model->identifiers();
  const int shown = filter->rowCount();
  rows.reserve(static_cast<std::size_t>(shown));
  for (int row = 0; row < shown; ++row) {
    const int source = filter->mapToSource(filter->index(row, 0)).row();
    if (source < 0 || source >= static_cast<int>(ids.size())) continue;
    if (const Record* record = data_source->record(ids[static_cast<std::size_t>(source)])) {
      rows.push_back(record);
    }
  }
  return rows;
}

void Tarvik::import_csv() {
  const QString source =
      QFileDialog::getOpenFileName(this, QStringLiteral("Import CSV"), beside_log(QString()),
                                   QStringLiteral("CSV files (*.csv *.txt);;All files (*)"));
  if (source.isEmpty()) return;
  std::string text;
  QString error;
  if (!read_csv_file(source, text, error)) {
    QMessageBox::warning(this, QStringLiteral("Tarvik"),
                         QStringLiteral("%1 could not be read: %2").arg(source, error));
    return;
  }
  const QString name = QFileInfo(source).fileName();
  csv_import_dialog dialog(this, name, std::move(text));
  if (dialog.exec() != QDialog::Accepted || dialog.entries().empty()) return;
  std::vector<record_values> entries;
  entries.reserve(dialog.entries().size());
  for (const imported_entry& entry : dialog.entries()) {
    entries.push_back({entry.date, entry.mileage, entry.operation, entry.notes, entry.cost});
  }
  const std::size_t count = entries.size();
  const std::size_t first = model->identifiers().size();
  undo_stack->push(new import_records_command(*this, std::move(entries)));
  // The user sees what came in: the first imported row, where shown.
  if (const int shown = row_of(first); shown >= 0) make_current(shown, 0);
  QString said = count == 1 ? QStringLiteral("1 entry imported from %2")
                            : QStringLiteral("%1 entries imported from %2").arg(count);
  if (unsaved) said += QStringLiteral(", not saved yet");
  statusBar()->showMessage(said.arg(name), 10000);
}

void Tarvik::export_csv() {
  std::vector<const Record*> rows = rows_shown();
  // With a filter on, the rows shown may be what is wanted, or the log.
  if (filter->filtering()) {
    const std::size_t all = model->identifiers().size();
    const std::optional<bool> everything = ask_either(
        this,
        QStringLiteral("Export all %1 entries of the log, or only the %2 the filter shows?")
            .arg(all)
            .arg(rows.size()),
        QStringLiteral("All Entries"), QStringLiteral("Entries Shown"), false);
    if (!everything) return;
    if (*everything) rows = all_records();
  }
  const QString target = QFileDialog::getSaveFileName(
      this, QStringLiteral("Export CSV"), beside_log(QStringLiteral(".csv")),
      QStringLiteral("CSV files (*.csv)"));
  if (target.isEmpty() || !may_export_to(this, target, path)) return;
  std::string error;
  if (!write_csv(target.toLocal8Bit().toStdString(), rows, error)) {
    QMessageBox::warning(this, QStringLiteral("Tarvik"),
                         QStringLiteral("%1 could not be written: %2.")
                             .arg(target, to_widget_text(error)));
    return;
  }
  statusBar()->showMessage(QStringLiteral("%1 entries exported to %2").arg(rows.size()).arg(target),
                           10000);
}

QString Tarvik::shown_path() const { return QString::fromLocal8Bit(path.c_str()); }

QString Tarvik::beside_log(const QString& ending) const {
  const QFileInfo log(shown_path());
  if (ending.isEmpty()) return log.path();
  return log.path() + QLatin1Char('/') + log.completeBaseName() + ending;
}

void Tarvik::choose_log_to_open() {
  const QString file = QFileDialog::getOpenFileName(
      this, QStringLiteral("Open Log"), beside_log(QString()),
      QStringLiteral("Tarvik logs (*.txt);;All files (*)"));
  if (!file.isEmpty()) open_log(file, false);
}

void Tarvik::choose_new_log() {
  QString file = QFileDialog::getSaveFileName(
      this, QStringLiteral("New Log"), beside_log(QString()),
      QStringLiteral("Tarvik logs (*.txt);;All files (*)"), nullptr,
      QFileDialog::DontConfirmOverwrite);
  if (file.isEmpty()) return;
  if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".txt");
  // A new log never replaces one that is there.
  if (QFileInfo::exists(file)) {
    const auto answer = QMessageBox::question(
        this, QStringLiteral("Tarvik"),
        QStringLiteral("%1 already exists. Open it instead?").arg(file),
        QMessageBox::Open | QMessageBox::Cancel, QMessageBox::Open);
    if (answer == QMessageBox::Open) open_log(file, false);
    return;
  }
  open_log(file, true);
}

void Tarvik::fill_recent_menu() {
  recent_menu->clear();
  const QStringList files = recent_logs::list();
  for (int k = 0; k < files.size(); ++k) {
    const QFileInfo info(files[k]);
    const QString text = QStringLiteral("&%1 %2  (%3)").arg(k + 1).arg(info.fileName(), info.path());
    QAction* entry = recent_menu->addAction(text);
    entry->setData(files[k]);
    connect(entry, &QAction::triggered, this, [this, file = files[k]] { open_recent(file); });
  }
  if (files.isEmpty()) {
    recent_menu->addAction(QStringLiteral("No Recent Logs"))->setEnabled(false);
    return;
  }
  recent_menu->addSeparator();
  recent_menu->addAction(QStringLiteral("Clear Menu"), this, [] { recent_logs::clear(); });
}

void Tarvik::open_recent(const QString& file) {
  // A log moved or removed since is no use on the list.
  if (!QFileInfo::exists(file)) {
    QMessageBox::warning(this, QStringLiteral("Tarvik"),
                         QStringLiteral("%1 is no longer there; it is taken off the list of "
                                        "recent logs.")
                             .arg(file));
    recent_logs::remove(file);
    return;
  }
  open_log(file, false);
}

bool Tarvik::open_log(const QString& file, bool create) {
  // The log shown already: reading it again would only drop the undo steps.
  const QString here = QFileInfo(shown_path()).canonicalFilePath();
  if (!here.isEmpty() && QFileInfo(file).canonicalFilePath() == here) {
    statusBar()->showMessage(QStringLiteral("%1 is the log open in this window").arg(file), 10000);
    return true;
  }
  const std::string target = file.toLocal8Bit().toStdString();
  auto fresh = std::make_unique<FileDataSource>(target);
  // The log in the window stays usable rather than turning to one that is
  // not; then nothing is to be asked about the change not saved.
  if (!fresh->read_failure().empty()) {
    QMessageBox::warning(this, QStringLiteral("Tarvik"),
                         QStringLiteral("%1 could not be opened: %2.")
                             .arg(file, to_widget_text(fresh->read_failure())));
    return false;
  }
  if (!may_leave_log(false)) return false;
  if (create && !fresh->commit()) {
    QMessageBox::warning(this, QStringLiteral("Tarvik"),
                         QStringLiteral("%1 could not be made: %2.")
                             .arg(file, to_widget_text(fresh->last_commit().error)));
    return false;
  }
  data_source = std::move(fresh);
  path = target;
  unsaved = false;
  unsaved_label->hide();
  // Steps taken on the other log have nothing to undo here.
  undo_stack->clear();
  problems_shown.clear();
  if (auto* old = findChild<QDialog*>(QStringLiteral("log_problems"))) old->close();
  due_list->open_log(path);
  follow_log();
  model->reload(data_source.get());
  filter->refresh();
  make_current(0, 0);
  show_record_count();
  statusBar()->showMessage(QStringLiteral("Opened %1").arg(file), 10000);
  tell_about_reading();
  return true;
}

bool Tarvik::may_leave_log(bool closing) {
  const QString file = shown_path();
  const leaving what = closing ? leaving::closing : leaving::opening_other_log;
  bool dropped = false;
  while (unsaved && !dropped) {
    const QString reason = to_widget_text(data_source->last_commit().error);
    switch (ask_before_closing(this, file, reason, what)) {
      case closing_choice::save_again:
        if (data_source->commit()) after_commit();
        continue;  // asks again while it still fails
      case closing_choice::discard:
        dropped = true;
        continue;
      case closing_choice::stay:
        return false;
    }
  }
  // The service intervals are the user's too.
  while (due_list->unsaved()) {
    switch (ask_before_closing(this, due_list->due_file_name(), due_list->save_error(), what)) {
      case closing_choice::save_again:
        due_list->save_again();
        continue;
      case closing_choice::discard:
        return true;
      case closing_choice::stay:
        return false;
    }
  }
  return true;
}

void Tarvik::print_history(bool to_pdf) {
  service_history history;
  history.log_name = QFileInfo(shown_path()).fileName();
  history.records = rows_shown();
  // For a buyer, the costs may stay out.
  const std::optional<bool> with_costs =
      ask_either(this, QStringLiteral("Include the costs in the service history?"),
                 QStringLiteral("With Costs"), QStringLiteral("Without Costs"), true);
  if (!with_costs) return;
  history.with_costs = *with_costs;
  if (to_pdf) {
    const QString target = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export PDF"), beside_log(QStringLiteral(".pdf")),
        QStringLiteral("PDF files (*.pdf)"));
    if (target.isEmpty() || !may_export_to(this, target, path)) return;
    QString error;
    if (!history.write_pdf(target, &error)) {
      QMessageBox::warning(this, QStringLiteral("Tarvik"),
                           QStringLiteral("%1 could not be written: %2.").arg(target, error));
    }
    return;
  }
  QPrinter printer;
  print_dialog dialog(&printer, this, path);
  if (dialog.exec() != QDialog::Accepted) return;
  // Printing to a file is an export like the others, whatever the dialog
  // let through.
  const QString file = printer.outputFileName();
  if (!file.isEmpty() && !may_export_to(this, file, path)) return;
  history.print(printer);
}

void Tarvik::commit() {
  const QString file = shown_path();
  for (;;) {
    if (data_source->commit()) {
      after_commit();
      return;
    }
    unsaved = true;
    unsaved_label->show();
    const QString reason = to_widget_text(data_source->last_commit().error);
    if (!ask_to_retry_save(this, file, reason)) return;
  }
}

void Tarvik::after_commit() {
  unsaved = false;
  unsaved_label->hide();
  // The first save made the log: now it can be found again.
  if (!listed_as_recent) {
    recent_logs::add(shown_path());
    listed_as_recent = true;
  }
  const commit_outcome& outcome = data_source->last_commit();
  const QString file = shown_path();
  if (outcome.merged) {
    reload_rows();
    statusBar()->showMessage(
        QStringLiteral("Saved together with changes another program made to the log"), 10000);
  }
  if (!outcome.conflicts.empty()) {
    QStringList records;
    for (const int id : outcome.conflicts) records << describe(id);
    if (outcome.conflict_copy.empty()) {
      // Removed elsewhere and changed here: nothing of theirs was lost.
      statusBar()->showMessage(
          QStringLiteral("Kept records another program had removed, as changed here: %1")
              .arg(records.join(QStringLiteral("; "))),
          20000);
    } else {
      tell_copy_kept(this, file, to_widget_text(outcome.conflict_copy), true, records);
    }
  }
  if (!outcome.backup.empty()) {
    tell_copy_kept(this, file, to_widget_text(outcome.backup), false, {});
  }
}

QString Tarvik::describe(int identifier) {
  const Record* record = data_source->record(identifier);
  if (record == nullptr) return QStringLiteral("a record that was deleted here");
  return QStringLiteral("%1, %2").arg(to_widget_text(record->operation()),
                                      to_widget_text(record->value("date")));
}

void Tarvik::log_touched(bool notified) {
  // Nothing is swapped under an open dialog: the look after it will do.
  if (QApplication::activeModalWidget() != nullptr || data_source->refused()) return;
  if (!data_source->changed_on_disk(notified)) return;
  if (unsaved) {
    statusBar()->showMessage(
        QStringLiteral("The log was changed by another program; the next save merges it"), 10000);
    return;
  }
  // A reading that fails leaves the window as it was.
  auto fresh = std::make_unique<FileDataSource>(path);
  if (!fresh->read_failure().empty()) {
    statusBar()->showMessage(QStringLiteral("The log was changed by another program and cannot "
                                            "be read: %1")
                                 .arg(to_widget_text(fresh->read_failure())),
                             10000);
    return;
  }
  data_source = std::move(fresh);
  reload_rows();
  statusBar()->showMessage(
      QStringLiteral("The log was changed by another program; showing its new content"), 10000);
  if (!data_source->problems().empty()) tell_about_reading();
}

void Tarvik::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_before) return;
  shown_before = true;
  // Once the window stands, so that what is said is said over it.
  QTimer::singleShot(0, this, &Tarvik::tell_about_reading);
}

void Tarvik::tell_about_reading() {
  const QString file = shown_path();
  if (!data_source->read_failure().empty()) {
    tell_log_unusable(this, file, to_widget_text(data_source->read_failure()),
                      data_source->refused());
    return;
  }
  // A list the user has seen is not shown again for every reading.
  QStringList problems;
  for (const log_problem& problem : data_source->problems()) {
    problems << QString::number(problem.line) + QLatin1Char(':') + to_widget_text(problem.message);
  }
  if (problems.isEmpty() || problems == problems_shown) return;
  problems_shown = problems;
  if (auto* old = findChild<QDialog*>(QStringLiteral("log_problems"))) old->close();
  show_log_problems(this, file, data_source->problems(), data_source->copy_due());
}

void Tarvik::closeEvent(QCloseEvent* event) {
  if (may_leave_log(true)) {
    event->accept();
  } else {
    event->ignore();
  }
}

DataSource& Tarvik::store() { return *data_source; }

void Tarvik::changed(const record_change& change) {
  const int column = std::max(table->current_column(), 0);
  int row = table->current_row();
  bool hidden = false;
  switch (change.what) {
    case record_change::kind::added:
      model->inserted(change.position, change.identifier);
      filter->refresh();
      if (const int shown = row_of(change.position); shown >= 0) {
        row = shown;
      } else {
        hidden = true;
        row = table->current_row();
      }
      break;
    case record_change::kind::removed: {
      // Rows below move up, so the current cell stays on the row the record
      // was shown in and shows the next record; on the last row it follows
      // the row count. A record the filter hid leaves the current row alone.
      const int shown = row_of(change.position);
      if (shown >= 0) row = shown;
      model->removed(change.position);
      filter->refresh();
      break;
    }
    case record_change::kind::changed:
      model->changed(change.position);
      filter->refresh();
      if (const int shown = row_of(change.position); shown >= 0) {
        row = shown;
      } else {
        hidden = true;
      }
      break;
  }
  // Anything that does not add up is shown afresh from the store.
  if (model->identifiers() != data_source->identifiers()) {
    reload_rows();
    const std::vector<int>& ids = model->identifiers();
    const auto found = std::find(ids.begin(), ids.end(), change.identifier);
    if (change.what != record_change::kind::removed && found != ids.end()) {
      const int shown = row_of(static_cast<std::size_t>(found - ids.begin()));
      if (shown >= 0) row = shown;
    }
  }
  make_current(std::max(row, 0), column);
  show_record_count();
  commit();
  if (hidden && !unsaved) {
    statusBar()->showMessage(
        QStringLiteral("The record is saved but hidden by the filter"), 10000);
  }
}

void Tarvik::changed_many() {
  reload_rows();  // shows the count too
  commit();
}

void Tarvik::refused(const QString& why) { statusBar()->showMessage(why, 10000); }

void Tarvik::new_record() {
  auto record = std::make_unique<Record>(data_source->next_id());
  TARVIK_CHECK_POINTER(record.get(), kSource);
  if (RecordEditor::editor_dialog(record.get(), this, "new_record_editor", 0) == 0) return;
  // A record the user left as it came is not worth a row; the date does not
  // count, and the operation is compared byte for byte.
  const bool differs = record->mileage() != 0.0 || record->operation() != "not specified" ||
                       !record->notes().empty() || static_cast<double>(record->cost()) != 0.0;
  if (!differs) return;
  undo_stack->push(new new_record_command(*this, record->identifier(), values_of(*record)));
}

void Tarvik::edit_record() {
  const int id = current_identifier();
  if (id < 0) return;
  const Record* stored = data_source->record(id);
  TARVIK_CHECK_POINTER(stored, kSource);
  if (stored == nullptr) return;
  // The dialog works on a copy: the store changes only through the command,
  // which can then be undone.
  const record_values before = values_of(*stored);
  Record copy(id);
  set_values(copy, before);
  if (RecordEditor::editor_dialog(&copy, this, "edit_record_editor", 0,
                                  data_source->unread_values(id)) == 0) {
    return;
  }
  const record_values after = values_of(copy);
  // Nothing changed: nothing to save, nothing to undo.
  if (same_values(before, after)) return;
  undo_stack->push(new edit_record_command(*this, id, before, after));
}

void Tarvik::delete_record() {
  const QModelIndex shown = filter->index(table->current_row(), 0);
  if (!shown.isValid()) return;
  const int position = filter->mapToSource(shown).row();
  const std::vector<int>& ids = model->identifiers();
  if (position < 0 || position >= static_cast<int>(ids.size())) return;
  const int id = ids[static_cast<std::size_t>(position)];
  const Record* record = data_source->record(id);
  if (record == nullptr) return;
  undo_stack->push(
      new delete_record_command(*this, id, values_of(*record), static_cast<std::size_t>(position)));
}

}  // namespace tarvik
