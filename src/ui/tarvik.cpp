#include "ui/tarvik.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QStatusBar>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QUndoStack>
#include <utility>

#include "data/file_data_source.h"
#include "data/record.h"
#include "platform/pointer_check.h"
#include "platform/resource.h"
#include "ui/charts_dialog.h"
#include "ui/contrast.h"
#include "insight/odometer.h"
#include "ui/due_list_panel.h"
#include "ui/export_commands.h"
#include "ui/filter_bar.h"
#include "ui/import_command.h"
#include "ui/log_files.h"
#include "ui/log_notices.h"
#include "ui/log_settings_dialog.h"
#include "ui/login_reminder.h"
#include "ui/statistics_panel.h"
#include "ui/record_editor.h"
#include "ui/record_rows.h"
#include "ui/record_table.h"
#include "ui/shortcut_list.h"
#include "ui/statistics_panel.h"
#include "ui/user_settings.h"
#include "ui/shown_number.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

constexpr const char* kSource = "tarvik";

// What the window keeps of its layout in the user's settings; a layout
// kept by another version of the docks is not restored.
const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kDocksKey = QStringLiteral("window/docks");
const QString kColumnsKey = QStringLiteral("window/columns");
constexpr int kDocksVersion = 1;

// A panel that may be made smaller than its figures need scrolls them, so
// that its dock never pushes the table aside.
QScrollArea* scrolling(QWidget* panel, QWidget* parent) {
  auto* area = new QScrollArea(parent);
  area->setWidget(panel);
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  area->setFocusPolicy(Qt::NoFocus);
  return area;
}

}  // namespace

Tarvik::Tarvik(QWidget* parent, const char* name, std::string log) : QMainWindow(parent) {
  if (name != nullptr) setObjectName(QLatin1String(name));
  table = new record_table(this);
  TARVIK_CHECK_POINTER(table, kSource);
  table->setObjectName(QStringLiteral("record_table"));
  table->setAccessibleName(tr("Log entries"));
  log_ = new open_log(std::move(log), *this, this);

  rows = std::make_unique<record_rows>(table, *log_, this);
  // Double-clicking a row edits it; its first click made it current.
  connect(table, &QTableView::doubleClicked, this, [this] { edit_record(); });

  statistics_dock = new QDockWidget(tr("Statistics"), this);
  statistics_dock->setObjectName(QStringLiteral("statistics_dock"));
  statistics_dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
  statistics = new statistics_panel(statistics_dock);
  statistics_dock->setWidget(scrolling(statistics, statistics_dock));
  addDockWidget(Qt::BottomDockWidgetArea, statistics_dock);
  due_dock = new QDockWidget(tr("Due List"), this);
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
  for (QDockWidget* dock : {statistics_dock, due_dock}) {
    connect(dock, &QDockWidget::visibilityChanged, this, &Tarvik::fit_dock_titles);
    connect(dock, &QDockWidget::topLevelChanged, this, &Tarvik::fit_dock_titles);
    connect(dock, &QDockWidget::dockLocationChanged, this, &Tarvik::fit_dock_titles);
  }
  setup_toolbar();
  setup_menus();
  count_label = new QLabel(this);
  statusBar()->addWidget(count_label);
  due_label = new warning_label(QString(), this);
  due_label->setObjectName(QStringLiteral("due_label"));
  due_label->hide();
  statusBar()->addWidget(due_label);
  unsaved_label = new warning_label(tr("Not saved"), this);
  unsaved_label->setObjectName(QStringLiteral("unsaved_label"));
  QFont bold = unsaved_label->font();
  bold.setBold(true);
  unsaved_label->setFont(bold);
  unsaved_label->hide();
  statusBar()->addPermanentWidget(unsaved_label);
  path_label = new QLabel(this);
  path_label->setObjectName(QStringLiteral("path_label"));
  statusBar()->addPermanentWidget(path_label);
  connect(search_bar, &filter_bar::changed, this, &Tarvik::apply_filter);
  connect(search_bar, &filter_bar::finished, this, [this] { table->setFocus(); });
  show_log_name();
  show_units();
  reload_rows();
  show_newest();
  setCentralWidget(table);
  setWindowIcon(QIcon(Resource::loadPixmap(QStringLiteral("tarvik"))));
  // The only context menu a main window offers hides the tool bar for good.
  setContextMenuPolicy(Qt::PreventContextMenu);
  setup_keyboard();
  describe_for_screen_readers();
  // Until the user sizes a column, Operation keeps its share as the table
  // grows (as when the window is maximised after it first shows).
  table->viewport()->installEventFilter(this);
  connect(table->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
    if (QApplication::mouseButtons() != Qt::NoButton) share_columns = false;
  });
  restore_layout();
}

void Tarvik::setup_keyboard() {
  // Tab leaves the docks' tables too, instead of walking their cells.
  for (QDockWidget* dock : {statistics_dock, due_dock}) {
    for (auto* view : dock->findChildren<QAbstractItemView*>()) view->setTabKeyNavigation(false);
  }
}

QList<QWidget*> Tarvik::focus_ring() const {
  QList<QWidget*> ring{table};
  ring << search_bar->fields();
  // The tabs that choose between docks, then the dock on top: the toolkit
  // keeps a dock behind a tab shown outside the window, where Tab would
  // otherwise find it.
  for (QTabBar* tabs : findChildren<QTabBar*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (tabs->isVisible() && tabs->count() > 1) ring << tabs;
  }
  for (QDockWidget* dock : {statistics_dock, due_dock}) {
    if (dock->isHidden() || (!dock->isFloating() && !rect().intersects(dock->geometry()))) continue;
    for (QWidget* field : dock->widget()->findChildren<QWidget*>()) {
      if ((field->focusPolicy() & Qt::TabFocus) != 0 && field->focusProxy() == nullptr) {
        ring << field;
      }
    }
  }
  return ring;
}

bool Tarvik::focusNextPrevChild(bool next) {
  const QList<QWidget*> ring = focus_ring();
  QWidget* now = QApplication::focusWidget();
  int at = -1;
  for (int k = 0; k < ring.size() && at < 0; ++k) {
    if (ring[k] == now || ring[k]->isAncestorOf(now)) at = k;
  }
  if (at < 0) return QMainWindow::focusNextPrevChild(next);
  for (int step = 1; step < ring.size(); ++step) {
    QWidget* field = ring[(at + (next ? step : ring.size() - step)) % ring.size()];
    if (field->isVisible() && field->isEnabled()) {
      field->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      return true;
    }
  }
  return true;
}

void Tarvik::describe_for_screen_readers() {
  statistics->setAccessibleName(tr("Statistics"));
  statistics->setAccessibleDescription(tr("The figures of the entries the table shows"));
  due_list->setAccessibleName(tr("Due list"));
  due_list->setAccessibleDescription(tr("The service intervals and what is due"));
  const auto name = [this](const char* object, const QString& text, const QString& description) {
    if (auto* widget = findChild<QWidget*>(QLatin1String(object))) {
      widget->setAccessibleName(text);
      widget->setAccessibleDescription(description);
    }
  };
  name("operation_figures", tr("Figures by operation"),
       tr("For each operation its count, total cost and average interval"));
  name("due_table", tr("Service intervals"),
       tr("For each interval when it was last done, when it is next due and its state"));
  count_label->setAccessibleName(tr("Entries"));
  path_label->setAccessibleName(tr("Log file"));
  due_label->setAccessibleName(tr("Services due"));
  unsaved_label->setAccessibleName(tr("Save state"));
  toolbar->setAccessibleName(tr("Commands and filter"));
  search_bar->setAccessibleName(tr("Filter"));
}

void Tarvik::restore_layout() {
  QSettings kept = user_settings();
  layout_restored = restoreGeometry(kept.value(kGeometryKey).toByteArray());
  if (!layout_restored) {
    // Without a window manager the window would open at its hint, too
    // small for the table; a screen smaller than this gets all of it.
    QSize first(1000, 700);
    if (const QScreen* shown_on = screen()) {
      const QRect room = shown_on->availableGeometry();
      first = first.boundedTo(room.size());
      move(room.topLeft() +
           QPoint((room.width() - first.width()) / 2, (room.height() - first.height()) / 2));
    }
    resize(first);
  }
  kept_docks = kept.value(kDocksKey).toByteArray();
  const QVariantList widths = kept.value(kColumnsKey).toList();
  if (!widths.isEmpty()) {
    QList<int> sizes;
    for (const QVariant& width : widths) sizes << width.toInt();
    rows->set_widths(sizes);
    share_columns = false;
  }
}

void Tarvik::keep_layout() {
  QSettings kept = user_settings();
  kept.setValue(kGeometryKey, saveGeometry());
  kept.setValue(kDocksKey, saveState(kDocksVersion));
  QVariantList widths;
  for (const int width : rows->widths()) widths << width;
  kept.setValue(kColumnsKey, widths);
}

void Tarvik::fit_dock_titles() {
  // Docks on top of each other show their names on their tabs; a title bar
  // above would say the same again and take a line from the table.
  for (QTabBar* tabs : findChildren<QTabBar*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (!tabs->objectName().isEmpty()) continue;
    tabs->setObjectName(QStringLiteral("dock_tabs"));
    tabs->setAccessibleName(tr("Panels"));
    tabs->setAccessibleDescription(tr("Chooses the panel shown below the table"));
  }
  for (QDockWidget* dock : {statistics_dock, due_dock}) {
    bool tabbed = false;
    if (!dock->isFloating()) {
      for (const QDockWidget* other : tabifiedDockWidgets(dock)) {
        tabbed = tabbed || (!other->isHidden() && !other->isFloating());
      }
    }
    QWidget* bare = dock->findChild<QWidget*>(QStringLiteral("bare_title"));
    if (tabbed && bare == nullptr) {
      bare = new QWidget(dock);
      bare->setObjectName(QStringLiteral("bare_title"));
      dock->setTitleBarWidget(bare);
    } else if (!tabbed && bare != nullptr) {
      dock->setTitleBarWidget(nullptr);
      bare->deleteLater();
      bare->setObjectName(QString());
    }
  }
}

bool Tarvik::eventFilter(QObject* watched, QEvent* event) {
  if (watched == table->viewport() && event->type() == QEvent::Resize) {
    if (share_columns) rows->share_width();
    // A current row the shrinking table cut in part (as when the docks
    // take their room after the first show) comes back whole.
    const QModelIndex current = table->currentIndex();
    if (current.isValid() && table->visualRect(current).intersects(table->viewport()->rect())) {
      QTimer::singleShot(0, table, [this] {
        if (table->currentIndex().isValid()) table->scrollTo(table->currentIndex());
      });
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void Tarvik::show_newest() {
  const int newest = rows->newest_position();
  if (newest >= 0) show_position(static_cast<std::size_t>(newest));
}

Tarvik::~Tarvik() {
  // The docks are hidden while the base classes close the window, when the
  // parts fit_dock_titles() looks at are gone already.
  for (QDockWidget* dock : {statistics_dock, due_dock}) {
    if (dock != nullptr) dock->disconnect(this);
  }
}

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
    const char* brief;
    const char* icon;
    void (Tarvik::*slot)();
    QList<QKeySequence> keys;
    QAction** action;
  };
  // The menus name the command in full, the tool bar briefly.
  const command commands[] = {
      {QT_TR_NOOP("&New Entry…"),
       QT_TR_NOOP("New"),
       "new",
       &Tarvik::new_record,
       {QKeySequence(Qt::CTRL | Qt::Key_N)},
       &new_action},
      {QT_TR_NOOP("&Edit Entry…"),
       QT_TR_NOOP("Edit"),
       "edit",
       &Tarvik::edit_record,
       {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_F2)},
       &edit_action},
      {QT_TR_NOOP("&Delete Entry"),
       QT_TR_NOOP("Delete"),
       "trash",
       &Tarvik::delete_record,
       {QKeySequence(Qt::Key_Delete)},
       &delete_action},
  };
  for (const command& c : commands) {
    const QIcon icon(Resource::loadPixmap(QLatin1String(c.icon)));
    auto* action = new QAction(icon, tr(c.text), this);
    TARVIK_CHECK_POINTER(action, kSource);
    action->setIconText(tr(c.brief));
    action->setShortcuts(c.keys);
    action->setToolTip(tip_with_shortcut(action));
    connect(action, &QAction::triggered, this, c.slot);
    toolbar->addAction(action);
    *c.action = action;
  }
  search_bar = new filter_bar(toolbar);
  toolbar->addWidget(search_bar);
}

void Tarvik::setup_menus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->addAction(new_action);
  file->addSeparator();
  QAction* open = file->addAction(tr("&Open…"), this, [this] { choose_log_to_open(this, *log_); });
  open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  QAction* new_log =
      file->addAction(tr("New &Log…"), this, [this] { choose_new_log(this, *log_); });
  new_log->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
  recent_menu = file->addMenu(tr("Open &Recent"));
  recent_menu->setObjectName(QStringLiteral("recent_menu"));
  connect(recent_menu, &QMenu::aboutToShow, this,
          [this] { fill_recent_menu(recent_menu, this, *log_); });
  file->addSeparator();
  import_action = file->addAction(tr("&Import CSV…"), this, [this] { import_csv(*this); });
  file->addAction(tr("E&xport CSV…"), this, [this] { export_csv(*this); });
  file->addAction(tr("Export P&DF…"), this, [this] { print_history(*this, true); });
  QAction* print = file->addAction(tr("&Print…"), this, [this] { print_history(*this, false); });
  print->setShortcut(QKeySequence::Print);
  file->addSeparator();
  QAction* settings =
      file->addAction(tr("Log Se&ttings…"), this, [this] { edit_log_settings(); });
  settings->setObjectName(QStringLiteral("log_settings_action"));
  file->addSeparator();
  QAction* quit = file->addAction(tr("&Quit"), this, &QWidget::close);
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  QAction* undo = log_->undo_stack().createUndoAction(this, tr("&Undo"));
  undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  undo_action = undo;
  QAction* redo = log_->undo_stack().createRedoAction(this, tr("&Redo"));
  // Through the open log, which says what was undone or redone.
  disconnect(undo, &QAction::triggered, &log_->undo_stack(), &QUndoStack::undo);
  disconnect(redo, &QAction::triggered, &log_->undo_stack(), &QUndoStack::redo);
  connect(undo, &QAction::triggered, this, [this] { log_->undo(); });
  connect(redo, &QAction::triggered, this, [this] { log_->redo(); });
  redo->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  edit->addAction(undo);
  edit->addAction(redo);
  edit->addSeparator();
  QAction* find = edit->addAction(tr("&Find"), this, [this] { search_bar->focus_search(); });
  find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  edit->addSeparator();
  QAction* fill_up = edit->addAction(tr("&New Fill-up…"), this, &Tarvik::new_fill_up);
  fill_up->setObjectName(QStringLiteral("new_fill_up_action"));
  fill_up->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
  edit->addAction(edit_action);
  edit->addAction(delete_action);

  QMenu* view = menuBar()->addMenu(tr("&View"));
  statistics_dock->toggleViewAction()->setText(tr("&Statistics"));
  due_dock->toggleViewAction()->setText(tr("&Due List"));
  view->addAction(statistics_dock->toggleViewAction());
  view->addAction(due_dock->toggleViewAction());
  view->addAction(tr("&Charts…"), this, [this] {
    charts_dialog charts(this, rows_shown(), log_->beside(QStringLiteral(".png")), log_->path(),
                         log_->units(), rows->consumption_shown());
    connect(&charts, &charts_dialog::saved, this,
            [this](const QString& path) { say(tr("Chart saved to %1").arg(path), 10000); });
    charts.exec();
  });
  QAction* problems = view->addAction(tr("&Problems in the Log…"), this,
                                      [this] { log_->tell_problems_again(); });
  problems->setObjectName(QStringLiteral("problems_action"));

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  help->addAction(tr("&Keyboard Shortcuts"), this, [this] { show_shortcuts(this); });
  help->addAction(tr("&About Tarvik"), this, [this] { show_about(); });
}

void Tarvik::show_about() {
  QMessageBox about(this);
  about.setObjectName(QStringLiteral("about_box"));
  about.setWindowTitle(tr("About Tarvik"));
  about.setIconPixmap(Resource::loadPixmap(QStringLiteral("tarvik")).scaled(
      64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  about.setTextFormat(Qt::PlainText);  // the path may hold anything
  about.setText(tr("Tarvik %1").arg(QStringLiteral(TARVIK_VERSION)));
  about.setInformativeText(
      tr("Keeps the maintenance and mileage log of one vehicle.\n\n"
         "Licence: GNU General Public License, version 3 or later. Tarvik comes with "
         "no warranty.\n\nLog file: %1")
          .arg(log_->shown_path()));
  about.setStandardButtons(QMessageBox::Close);
  about.exec();
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

void Tarvik::focus_table() { table->setFocus(Qt::OtherFocusReason); }

QString Tarvik::undo_keys() const {
  return undo_action != nullptr ? undo_action->shortcut().toString(QKeySequence::NativeText)
                                : QString();
}

void Tarvik::show_position(std::size_t position) {
  if (const int shown = rows->row_of(position); shown >= 0) rows->make_current(shown, 0);
}

bool Tarvik::filtering() const { return rows->filtering(); }

std::vector<const Record*> Tarvik::all_records() const { return rows->all(); }

std::vector<const Record*> Tarvik::rows_shown() const { return rows->shown(); }

void Tarvik::show_rows_counted() {
  const std::size_t count = rows->identifiers().size();
  QString text = count == 1 ? tr("1 record") : tr("%1 records").arg(shown_count(count));
  if (rows->filtering()) {
    text += tr(", %1 shown").arg(shown_count(static_cast<std::size_t>(rows->shown_count())));
  }
  count_label->setText(text);
  // Edit and Delete act on the current row: without rows they are off
  // rather than silently doing nothing.
  const bool any_shown = rows->shown_count() > 0;
  edit_action->setEnabled(any_shown);
  delete_action->setEnabled(any_shown);
  const QString empty = count == 0
                            ? tr("No entries yet \u2014 %1 or %2\u2026")
                                  .arg(tip_with_shortcut(new_action), plain_name(import_action))
                            : tr("No entry matches the filter.");
  table->set_empty_text(empty);
  // A screen reader hears what the empty table shows.
  table->setAccessibleDescription(
      any_shown ? tr("One row an entry: mileage, date, operation, cost and notes. Return edits "
                     "the current entry, Delete removes it.")
                : empty);
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
  due_label->setText(due == 1 ? tr("1 service due")
                              : tr("%1 services due").arg(due));
  due_label->setVisible(due > 0);
}

void Tarvik::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_before) return;
  shown_before = true;
  // The docks' sizes are restored into the window's own size, once it
  // has one.
  docks_restored = !kept_docks.isEmpty() && restoreState(kept_docks, kDocksVersion);
  fit_dock_titles();
  if (!docks_restored) {
    // The table is what the window is for: the docks start at a quarter of
    // the height they share with it.
    const int shared = table->height() + statistics_dock->height();
    resizeDocks({statistics_dock}, {shared / 4}, Qt::Vertical);
  }
  // Once the window stands, so that what is said is said over it.
  QTimer::singleShot(0, this, [this] {
    if (table->currentIndex().isValid()) table->scrollTo(table->currentIndex());
    log_->tell_about_reading();
  });
}

void Tarvik::closeEvent(QCloseEvent* event) {
  if (log_->may_leave(leaving::closing)) {
    keep_layout();
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
  show_units();
  rows->reload_from_top();
  show_newest();
  show_record_count();
}

void Tarvik::show_intervals() { show_record_count(); }

void Tarvik::show_units() {
  const log_units units = log_->units();
  rows->name_units(units);
  statistics->name_units(units);
  due_list->set_distance_unit(units.distance_text());
}

void Tarvik::edit_log_settings() {
  log_settings_dialog dialog(this, QFileInfo(log_->shown_path()).fileName(), log_->units(),
                             login_reminder::enabled());
  dialog.set_vehicle(log_->vehicle());
  if (dialog.exec() != QDialog::Accepted) return;
  log_->save_units(dialog.units(), dialog.vehicle());
  show_units();
  show_record_count();  // the due list says what is left in the new unit
  if (dialog.remind_at_login() != login_reminder::enabled()) {
    QString error;
    if (!login_reminder::set_enabled(dialog.remind_at_login(), error)) {
      warn(tr("The reminder at login could not be %1 (%2): %3.")
               .arg(dialog.remind_at_login() ? tr("set up") : tr("removed"),
                    login_reminder::entry_path(), error));
    }
  }
}

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
  log_context context = context_of(rows->all(), -1);
  context.volume = shown_volume(log_->units());
  // The latest reading is offered: most entries are a little past it.
  const double offered = latest_reading(context).value_or(0.0);
  record->mileage(offered);
  if (fill_up) record->operation(*context.volume == volume_unit::kwh ? "Charging" : "Fuel");
  const std::string operation = record->operation();
  if (RecordEditor::editor_dialog(record.get(), this,
                                  fill_up ? "new_fill_up_editor" : "new_record_editor",
                                  fill_up ? RecordEditor::kNewFillUp : RecordEditor::kNewEntry,
                                  {}, context) == 0) {
    return;
  }
  // A record the user left as it came is not worth a row; the date does not
  // count, and the operation is compared byte for byte.
  const bool differs = record->mileage() != offered || record->operation() != operation ||
                       !record->notes().empty() || static_cast<double>(record->cost()) != 0.0 ||
                       !record->other_fields().empty();
  if (!differs) return;
  const record_values values = values_of(*record);
  log_->take_step(new new_record_command(*log_, record->identifier(), values),
                  tr("Added %1 of %2 — %3 takes it out again")
                      .arg(entry_name(values), entry_day(values), log_->undo_name()));
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
  log_context context = context_of(rows->all(), id);
  context.volume = shown_volume(log_->units());
  if (RecordEditor::editor_dialog(&copy, this, "edit_record_editor", 0,
                                  log_->file_store().unread_values(id), context) == 0) {
    return;
  }
  const record_values after = values_of(copy);
  // Nothing changed: nothing to save, nothing to undo.
  if (same_values(before, after)) return;
  log_->take_step(new edit_record_command(*log_, id, before, after),
                  tr("Changed %1 of %2 — %3 brings back what it was")
                      .arg(entry_name(after), entry_day(after), log_->undo_name()));
}

void Tarvik::delete_record() {
  const int position = rows->current_position();
  if (position < 0) return;
  const int id = rows->identifiers()[static_cast<std::size_t>(position)];
  const Record* record = log_->store().record(id);
  if (record == nullptr) return;
  const record_values values = values_of(*record);
  log_->take_step(
      new delete_record_command(*log_, id, values, static_cast<std::size_t>(position)),
      tr("Deleted %1 of %2 — %3 brings it back")
          .arg(entry_name(values), entry_day(values), log_->undo_name()));
}

}  // namespace tarvik
