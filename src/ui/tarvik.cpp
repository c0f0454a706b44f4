#include "ui/tarvik.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QTimer>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>
#include <utility>

#include "data/file_data_source.h"
#include "data/record.h"
#include "platform/pointer_check.h"
#include "platform/resource.h"
#include "ui/filter_bar.h"
#include "ui/charts_dialog.h"
#include "insight/odometer.h"
#include "ui/due_list_panel.h"
#include "ui/export_commands.h"
#include "ui/import_command.h"
#include "ui/log_files.h"
#include "ui/log_notices.h"
#include "ui/statistics_panel.h"
#include "ui/record_editor.h"
#include "ui/record_rows.h"
#include "ui/record_table.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

constexpr const char* kSource = "tarvik";

}  // namespace

Tarvik::Tarvik(QWidget* parent, const char* name, std::string log) : QMainWindow(parent) {
  if (name != nullptr) setObjectName(QLatin1String(name));
  table = new record_table(this);
  TARVIK_CHECK_POINTER(table, kSource);
  table->setObjectName(QStringLiteral("record_table"));
  log_ = new open_log(std::move(log), *this, this);

  rows = std::make_unique<record_rows>(table, *log_, this);
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
    if (visible) rows->show_figures(*statistics);
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
  connect(search_bar, &filter_bar::changed, this, &Tarvik::apply_filter);
  connect(search_bar, &filter_bar::finished, this, [this] { table->setFocus(); });
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
  search_bar = new filter_bar(toolbar);
  toolbar->addWidget(search_bar);
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
  QAction* fill_up = edit->addAction(tr("New Fill-up…"), this, &Tarvik::new_fill_up);
  fill_up->setObjectName(QStringLiteral("new_fill_up_action"));
  fill_up->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
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

const std::vector<int>& Tarvik::row_identifiers() const { return rows->identifiers(); }

void Tarvik::reload_rows() {
  rows->reload();
  show_record_count();
}

void Tarvik::apply_filter() {
  rows->set_filter(search_bar->text(), search_bar->days());
  // What is due follows the whole log: the filter changes nothing of it.
  show_rows_counted();
}

void Tarvik::show_position(std::size_t position) {
  if (const int shown = rows->row_of(position); shown >= 0) rows->make_current(shown, 0);
}

bool Tarvik::filtering() const { return rows->filtering(); }

std::vector<const Record*> Tarvik::all_records() const { return rows->all(); }

std::vector<const Record*> Tarvik::rows_shown() const { return rows->shown(); }

void Tarvik::show_rows_counted() {
  const std::size_t count = rows->identifiers().size();
  QString text = count == 1 ? QStringLiteral("1 record") : QStringLiteral("%1 records").arg(count);
  if (rows->filtering()) text += QStringLiteral(", %1 shown").arg(rows->shown_count());
  count_label->setText(text);
  // The figures follow the rows shown, while anyone can see them.
  if (statistics_dock->isVisible()) rows->show_figures(*statistics);
}

void Tarvik::show_record_count() {
  // The readings are checked over the whole log, whatever the filter
  // shows; the figures of the rows shown leave out what the check did.
  const std::vector<const Record*> log = all_records();
  const std::vector<left_out_reading> left_out = check_readings(log);
  rows->mark_left_out(left_out);
  statistics->show_readings(left_out);
  show_rows_counted();
  // What is due follows the whole log, and the status bar counts it.
  const std::size_t due = due_list->show_log(log, left_out);
  due_label->setText(due == 1 ? QStringLiteral("1 service due")
                              : QStringLiteral("%1 services due").arg(due));
  due_label->setVisible(due > 0);
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
  const bool shown = rows->show_change(change);
  show_record_count();
  return shown;
}

void Tarvik::show_records() { reload_rows(); }  // shows the count too

void Tarvik::show_new_log() {
  if (auto* old = findChild<QDialog*>(QStringLiteral("log_problems"))) old->close();
  show_log_name();
  rows->reload_from_top();
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

void Tarvik::new_record() { add_record(false); }

void Tarvik::new_fill_up() { add_record(true); }

void Tarvik::add_record(bool fill_up) {
  auto record = std::make_unique<Record>(log_->store().next_id());
  TARVIK_CHECK_POINTER(record.get(), kSource);
  const log_context context = context_of(rows->all(), -1);
  // The latest reading is offered: most entries are a little past it.
  const double offered = latest_reading(context).value_or(0.0);
  record->mileage(offered);
  if (fill_up) record->operation("Fuel");
  const std::string operation = record->operation();
  if (RecordEditor::editor_dialog(record.get(), this,
                                  fill_up ? "new_fill_up_editor" : "new_record_editor",
                                  fill_up ? RecordEditor::kNewFillUp : 0, {}, context) == 0) {
    return;
  }
  // A record the user left as it came is not worth a row; the date does not
  // count, and the operation is compared byte for byte.
  const bool differs = record->mileage() != offered || record->operation() != operation ||
                       !record->notes().empty() || static_cast<double>(record->cost()) != 0.0 ||
                       !record->other_fields().empty();
  if (!differs) return;
  log_->undo_stack().push(new new_record_command(*log_, record->identifier(), values_of(*record)));
}

void Tarvik::edit_record() {
  const int id = rows->current_identifier();
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
                                  log_->file_store().unread_values(id),
                                  context_of(rows->all(), id)) == 0) {
    return;
  }
  const record_values after = values_of(copy);
  // Nothing changed: nothing to save, nothing to undo.
  if (same_values(before, after)) return;
  log_->undo_stack().push(new edit_record_command(*log_, id, before, after));
}

void Tarvik::delete_record() {
  const int position = rows->current_position();
  if (position < 0) return;
  const int id = rows->identifiers()[static_cast<std::size_t>(position)];
  const Record* record = log_->store().record(id);
  if (record == nullptr) return;
  log_->undo_stack().push(
      new delete_record_command(*log_, id, values_of(*record), static_cast<std::size_t>(position)));
}

}  // namespace tarvik
