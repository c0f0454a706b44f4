#include "ui/tarvik.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QTimer>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <algorithm>
#include <utility>

#include "data/file_data_source.h"
#include "data/record.h"
#include "platform/pointer_check.h"
#include "platform/resource.h"
#include "ui/filter_bar.h"
#include "ui/charts_dialog.h"
#include "ui/due_list_panel.h"
#include "ui/export_commands.h"
#include "ui/import_command.h"
#include "ui/log_files.h"
#include "ui/log_notices.h"
#include "ui/statistics_panel.h"
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

}  // namespace

Tarvik::Tarvik(QWidget* parent, const char* name, std::string log) : QMainWindow(parent) {
  if (name != nullptr) setObjectName(QLatin1String(name));
  set_defaults();
  table = new RecordTable(this);
  TARVIK_CHECK_POINTER(table, kSource);
  table->setObjectName(QStringLiteral("record_table"));
  log_ = new open_log(std::move(log), *this, this);

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

  statistics_dock = new QDockWidget(QStringLiteral("Statistics"), this);
  statistics_dock->setObjectName(QStringLiteral("statistics_dock"));
  statistics_dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
  statistics = new statistics_panel(statistics_dock);
  statistics_dock->setWidget(statistics);
  addDockWidget(Qt::BottomDockWidgetArea, statistics_dock);
  due_dock = new QDockWidget(QStringLiteral("Due List"), this);
  due_dock->setObjectName(QStringLiteral("due_dock"));
  due_dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
  due_list = new due_list_panel(*log_, due_dock);
  due_dock->setWidget(due_list);
  addDockWidget(Qt::BottomDockWidgetArea, due_dock);
  tabifyDockWidget(statistics_dock, due_dock);
  statistics_dock->raise();
  connect(due_list, &due_list_panel::intervals_changed, this, &Tarvik::show_record_count);
  connect(statistics_dock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
    if (visible) statistics->show_rows(rows_shown());
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
  show_log_name();
  reload_rows();
  setCentralWidget(table);
  // The only context menu a main window offers hides the tool bar for good.
  setContextMenuPolicy(Qt::PreventContextMenu);
}

Tarvik::~Tarvik() = default;

void Tarvik::show_log_name() {
  const QString file = log_->shown_path();
  // Which vehicle's log this is, when there are several.
  setWindowTitle(QStringLiteral("%1 \u2013 Tarvik").arg(QFileInfo(file).fileName()));
  path_label->setText(file);
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
  QAction* open = file->addAction(QStringLiteral("Open…"), this,
                                  [this] { choose_log_to_open(this, *log_); });
  open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  QAction* new_log =
      file->addAction(QStringLiteral("New Log…"), this, [this] { choose_new_log(this, *log_); });
  new_log->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
  recent_menu = file->addMenu(QStringLiteral("Open Recent"));
  recent_menu->setObjectName(QStringLiteral("recent_menu"));
  connect(recent_menu, &QMenu::aboutToShow, this,
          [this] { fill_recent_menu(recent_menu, this, *log_); });
  file->addSeparator();
  file->addAction(QStringLiteral("Import CSV…"), this, [this] { import_csv(*this); });
  file->addAction(QStringLiteral("Export CSV…"), this, [this] { export_csv(*this); });
  file->addAction(QStringLiteral("Export PDF…"), this, [this] { print_history(*this, true); });
  QAction* print =
      file->addAction(QStringLiteral("Print…"), this, [this] { print_history(*this, false); });
  print->setShortcut(QKeySequence::Print);
  file->addSeparator();
  QAction* quit = file->addAction(QStringLiteral("Quit"), this, &QWidget::close);
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  QAction* undo = log_->undo_stack().createUndoAction(this, QStringLiteral("Undo"));
  undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  QAction* redo = log_->undo_stack().createRedoAction(this, QStringLiteral("Redo"));
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
    charts_dialog charts(this, rows_shown(), log_->beside(QStringLiteral(".png")), log_->path());
    charts.exec();
  });

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->addAction(QStringLiteral("About Tarvik"), this, [this] {
    QMessageBox::about(this, QStringLiteral("About Tarvik"),
                       QStringLiteral("Tarvik keeps the maintenance and mileage log of one "
                                      "vehicle.\n\nLog file: %1")
                           .arg(log_->shown_path()));
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

  model->reload(&log_->store());

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
  show_record_count();
}

void Tarvik::show_position(std::size_t position) {
  if (const int shown = row_of(position); shown >= 0) make_current(shown, 0);
}

bool Tarvik::filtering() const { return filter->filtering(); }

void Tarvik::make_current(int row, int column) {
  row = std::min(row, filter->rowCount() - 1);
  if (row < 0) return;
  table->make_current(row, column);
}

void Tarvik::show_record_count() {
  const std::size_t count = model->identifiers().size();
  QString text = count == 1 ? QStringLiteral("1 record") : QStringLiteral("%1 records").arg(count);
  if (filter->filtering()) text += QStringLiteral(", %1 shown").arg(filter->rowCount());
  count_label->setText(text);
  // The figures follow the rows shown, while anyone can see them.
  if (statistics_dock->isVisible()) statistics->show_rows(rows_shown());
  // What is due follows the whole log, and the status bar counts it.
  const std::size_t due = due_list->show_log(all_records());
  due_label->setText(due == 1 ? QStringLiteral("1 service due")
                              : QStringLiteral("%1 services due").arg(due));
  due_label->setVisible(due > 0);
}

std::vector<const Record*> Tarvik::all_records() const {
  std::vector<const Record*> records;
  records.reserve(model->identifiers().size());
  for (const int id : model->identifiers()) {
    if (const Record* record = log_->store().record(id)) records.push_back(record);
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
    if (const Record* record = log_->store().record(ids[static_cast<std::size_t>(source)])) {
      rows.push_back(record);
    }
  }
  return rows;
}

void Tarvik::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_before) return;
  shown_before = true;
  // Once the window stands, so that what is said is said over it.
  QTimer::singleShot(0, this, [this] { log_->tell_about_reading(); });
}

void Tarvik::closeEvent(QCloseEvent* event) {
  if (log_->may_leave(leaving::closing)) {
    event->accept();
  } else {
    event->ignore();
  }
}

bool Tarvik::show_change(const record_change& change) {
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
  if (model->identifiers() != log_->store().identifiers()) {
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
  return !hidden;
}

void Tarvik::show_records() { reload_rows(); }  // shows the count too

void Tarvik::show_new_log() {
  if (auto* old = findChild<QDialog*>(QStringLiteral("log_problems"))) old->close();
  show_log_name();
  model->reload(&log_->store());
  filter->refresh();
  make_current(0, 0);
  show_record_count();
}

void Tarvik::show_intervals() { show_record_count(); }

void Tarvik::show_unsaved(bool unsaved) { unsaved_label->setVisible(unsaved); }

void Tarvik::say(const QString& text, int milliseconds) {
  statusBar()->showMessage(text, milliseconds);
}

void Tarvik::warn(const QString& text) {
  QMessageBox::warning(this, QStringLiteral("Tarvik"), text);
}

bool Tarvik::retry_save(const QString& path, const QString& reason) {
  return ask_to_retry_save(this, path, reason);
}

closing_choice Tarvik::ask_leaving(const QString& path, const QString& reason, leaving what) {
  return ask_before_closing(this, path, reason, what);
}

void Tarvik::tell_copy_kept(const QString& path, const QString& copy, bool conflict,
                            const QStringList& records) {
  tarvik::tell_copy_kept(this, path, copy, conflict, records);
}

void Tarvik::tell_unusable(const QString& path, const QString& reason, bool refused) {
  tell_log_unusable(this, path, reason, refused);
}

void Tarvik::show_problems(const QString& path, const std::vector<log_problem>& problems,
                           bool copy_due) {
  if (auto* old = findChild<QDialog*>(QStringLiteral("log_problems"))) old->close();
  show_log_problems(this, path, problems, copy_due);
}

void Tarvik::new_record() {
  auto record = std::make_unique<Record>(log_->store().next_id());
  TARVIK_CHECK_POINTER(record.get(), kSource);
  if (RecordEditor::editor_dialog(record.get(), this, "new_record_editor", 0) == 0) return;
  // A record the user left as it came is not worth a row; the date does not
  // count, and the operation is compared byte for byte.
  const bool differs = record->mileage() != 0.0 || record->operation() != "not specified" ||
                       !record->notes().empty() || static_cast<double>(record->cost()) != 0.0;
  if (!differs) return;
  log_->undo_stack().push(new new_record_command(*log_, record->identifier(), values_of(*record)));
}

void Tarvik::edit_record() {
  const int id = current_identifier();
  if (id < 0) return;
  const Record* stored = log_->store().record(id);
  TARVIK_CHECK_POINTER(stored, kSource);
  if (stored == nullptr) return;
  // The dialog works on a copy: the store changes only through the command,
  // which can then be undone.
  const record_values before = values_of(*stored);
  Record copy(id);
  set_values(copy, before);
  if (RecordEditor::editor_dialog(&copy, this, "edit_record_editor", 0,
                                  log_->file_store().unread_values(id)) == 0) {
    return;
  }
  const record_values after = values_of(copy);
  // Nothing changed: nothing to save, nothing to undo.
  if (same_values(before, after)) return;
  log_->undo_stack().push(new edit_record_command(*log_, id, before, after));
}

void Tarvik::delete_record() {
  const QModelIndex shown = filter->index(table->current_row(), 0);
  if (!shown.isValid()) return;
  const int position = filter->mapToSource(shown).row();
  const std::vector<int>& ids = model->identifiers();
  if (position < 0 || position >= static_cast<int>(ids.size())) return;
  const int id = ids[static_cast<std::size_t>(position)];
  const Record* record = log_->store().record(id);
  if (record == nullptr) return;
  log_->undo_stack().push(
      new delete_record_command(*log_, id, values_of(*record), static_cast<std::size_t>(position)));
}

}  // namespace tarvik
