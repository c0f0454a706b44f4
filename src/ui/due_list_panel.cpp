#include "ui/due_list_panel.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <ctime>

#include "data/number_text.h"
#include "data/record.h"
#include "insight/due_file.h"
#include "insight/due_list.h"
#include "insight/odometer.h"
#include "ui/contrast.h"
#include "ui/due_texts.h"
#include "ui/interval_commands.h"
#include "ui/open_log.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

const QString kNone = QStringLiteral("\u2013");
constexpr int kStateRole = Qt::UserRole;

// Beside the state's word: the state at a glance without its colour.
QStyle::StandardPixmap icon_of(due_state state) {
  switch (state) {
    case due_state::overdue:
      return QStyle::SP_MessageBoxCritical;
    case due_state::due_soon:
    case due_state::due_estimated:
      return QStyle::SP_MessageBoxWarning;
    case due_state::ok:
      return QStyle::SP_DialogApplyButton;
    case due_state::not_done:
      return QStyle::SP_MessageBoxQuestion;
  }
  return QStyle::SP_CustomBase;
}

QString day_of(const std::optional<long>& date) {
  if (!date) return kNone;
  Record dated(0);
  dated.date(*date);
  return to_widget_text(dated.value("date"));
}

QString distance_of(const std::optional<double>& distance, const QString& unit) {
  if (!distance) return kNone;
  const QString number = QLocale().toString(*distance, 'f', 0);
  return unit.isEmpty() ? number : number + QLatin1Char(' ') + unit;
}

// Asks for an interval's operation and limits; false when cancelled. A
// limit left empty (or 0 months) is no limit.
bool edit_interval(QWidget* parent, service_interval& interval) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("interval_editor"));
  dialog.setWindowTitle(due_list_panel::tr("Service Interval"));
  auto* form = new QFormLayout(&dialog);
  auto* operation = new QLineEdit(to_widget_text(interval.operation), &dialog);
  operation->setObjectName(QStringLiteral("operation_box"));
  auto* distance = new QLineEdit(
      interval.distance ? QString::fromStdString(format_exact(*interval.distance)) : QString(),
      &dialog);
  distance->setObjectName(QStringLiteral("distance_box"));
  distance->setPlaceholderText(due_list_panel::tr("no limit"));
  auto* months = new QSpinBox(&dialog);
  months->setObjectName(QStringLiteral("months_box"));
  months->setRange(0, 1200);
  months->setSpecialValueText(due_list_panel::tr("no limit"));
  months->setValue(interval.months ? static_cast<int>(*interval.months) : 0);
  auto* problem = new warning_label(QString(), &dialog);
  problem->hide();
  form->addRow(due_list_panel::tr("&Operation"), operation);
  form->addRow(due_list_panel::tr("Every (&distance)"), distance);
  form->addRow(due_list_panel::tr("Every (&months)"), months);
  form->addRow(problem);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  form->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    // A distance must be one number above zero: nothing is read as 0.
    const std::string text = distance->text().trimmed().toStdString();
    if (!text.empty() && !(whole_double_text(text.c_str()) && parse_double(text.c_str()) > 0 &&
                           std::isfinite(parse_double(text.c_str())))) {
      problem->setText(due_list_panel::tr("Every (distance): type a number above 0, such as 15000."));
      problem->show();
      return;
    }
    if (operation->text().trimmed().isEmpty()) {
      problem->setText(due_list_panel::tr("Operation: type the operation as the log names it."));
      problem->show();
      return;
    }
    dialog.accept();
  });
  if (dialog.exec() != QDialog::Accepted) return false;
  interval.operation = operation->text().trimmed().toUtf8().toStdString();
  const std::string text = distance->text().trimmed().toStdString();
  interval.distance = text.empty() ? std::nullopt : std::optional<double>(parse_double(text.c_str()));
  interval.months = months->value() == 0 ? std::nullopt : std::optional<long>(months->value());
  return true;
}

}  // namespace

due_list_panel::due_list_panel(open_log& log, QWidget* parent) : QWidget(parent), log_(log) {
  setObjectName(QStringLiteral("due_list"));
  auto* layout = new QVBoxLayout(this);
  table_ = new QTableWidget(0, 7, this);
  table_->setObjectName(QStringLiteral("due_table"));
  table_->setHorizontalHeaderLabels({tr("Operation"), tr("Every"), tr("Last done"), tr("Due"),
                                     tr("By"), tr("Left"), tr("State")});
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(table_);
  auto* buttons = new QHBoxLayout;
  const auto button = [&](const char* text, const char* name, void (due_list_panel::*slot)()) {
    auto* b = new QPushButton(tr(text), this);
    b->setObjectName(QLatin1String(name));
    connect(b, &QPushButton::clicked, this, slot);
    buttons->addWidget(b);
    return b;
  };
  button(QT_TR_NOOP("&Add…"), "add_interval_button", &due_list_panel::add_interval);
  QPushButton* change =
      button(QT_TR_NOOP("Chan&ge…"), "change_interval_button", &due_list_panel::change_interval);
  QPushButton* remove =
      button(QT_TR_NOOP("&Remove"), "remove_interval_button", &due_list_panel::remove_interval);
  // Change and Remove act on the chosen interval: off without one.
  const auto follow = [this, change, remove] {
    const bool chosen = table_->currentRow() >= 0;
    change->setEnabled(chosen);
    remove->setEnabled(chosen);
  };
  connect(table_, &QTableWidget::currentCellChanged, this, follow);
  follow();
  buttons->addStretch();
  layout->addLayout(buttons);
  connect(table_, &QTableWidget::cellDoubleClicked, this, &due_list_panel::change_interval);
}

due_list_panel::~due_list_panel() = default;

bool due_list_panel::rows_still_stand() {
  if (!log_.read_intervals_again()) return true;
  // The row the user picked may now hold another interval.
  emit intervals_changed();
  QMessageBox::information(this, QStringLiteral("Tarvik"),
                           tr("Another program changed the service intervals; the "
                                          "list now shows them as they are. Choose the interval "
                                          "again."));
  return false;
}

void due_list_panel::set_distance_unit(const QString& unit) { unit_ = unit; }

std::size_t due_list_panel::show_log(const std::vector<const Record*>& log) {
  return show_log(log, check_readings(log));
}

std::size_t due_list_panel::show_log(const std::vector<const Record*>& log,
                                     const std::vector<left_out_reading>& left_out) {
  log_.read_intervals_again();
  const std::vector<service_interval>& intervals = log_.intervals().intervals();
  const long today = static_cast<long>(std::time(nullptr));
  const std::vector<due_item> items = compute_due_list(intervals, log, left_out, today);
  const QLocale locale;
  table_->setRowCount(static_cast<int>(items.size()));
  for (int row = 0; row < static_cast<int>(items.size()); ++row) {
    const service_interval& interval = intervals[static_cast<std::size_t>(row)];
    const due_item& item = items[static_cast<std::size_t>(row)];
    const due_texts texts = describe_due(item, today, unit_, locale);
    QStringList every;
    if (interval.distance) every << distance_of(interval.distance, unit_);
    if (interval.months) {
      every << (*interval.months == 1 ? tr("1 month")
                                      : tr("%1 months").arg(locale.toString(*interval.months)));
    }
    const QString cells[] = {
        to_widget_text(interval.operation),
        every.join(tr(" or ")),
        item.last_date ? day_of(item.last_date) + QStringLiteral(", ") +
                             distance_of(item.last_mileage, unit_)
                       : kNone,
        texts.when,
        texts.limit,
        texts.left,
        texts.state};
    for (int column = 0; column < 7; ++column) {
      auto* cell = new QTableWidgetItem(cells[column]);
      cell->setToolTip(texts.soon);
      cell->setData(kStateRole, static_cast<int>(item.state));
      table_->setItem(row, column, cell);
    }
    if (const QStyle::StandardPixmap icon = icon_of(item.state); icon != QStyle::SP_CustomBase) {
      table_->item(row, 6)->setIcon(style()->standardIcon(icon, nullptr, this));
    }
  }
  recolour();
  return count_due(items);
}

void due_list_panel::recolour() {
  const QPalette colours = table_->palette();
  const QColor base = colours.color(QPalette::Base);
  const QColor text = colours.color(QPalette::Text);
  // A tint of the palette's own background, and the text chosen with it:
  // readable in a light theme and a dark one alike.
  const QColor overdue = tinted(base, QColor(0xd0, 0x30, 0x30), 0.35);
  const QColor soon = tinted(base, QColor(0xe8, 0xb0, 0x20), 0.35);
  for (int row = 0; row < table_->rowCount(); ++row) {
    for (int column = 0; column < table_->columnCount(); ++column) {
      QTableWidgetItem* cell = table_->item(row, column);
      if (cell == nullptr) continue;
      const auto state = static_cast<due_state>(cell->data(kStateRole).toInt());
      if (state == due_state::overdue || state == due_state::due_soon ||
          state == due_state::due_estimated) {
        const QColor background = state == due_state::overdue ? overdue : soon;
        cell->setBackground(background);
        cell->setForeground(readable_text(background, text));
      } else {
        cell->setData(Qt::BackgroundRole, QVariant());
        cell->setData(Qt::ForegroundRole, QVariant());
      }
    }
  }
}

void due_list_panel::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) recolour();
}

void due_list_panel::add_interval() {
  if (log_.read_intervals_again()) emit intervals_changed();
  service_interval interval;
  if (!edit_interval(this, interval)) return;
  const QString name = to_widget_text(interval.operation);
  log_.take_step(new interval_command(log_, log_.intervals().intervals().size(), std::nullopt,
                                      std::move(interval)),
                 tr("Added the interval %1 — %2 takes it out again")
                     .arg(name, log_.undo_name()));
}

void due_list_panel::change_interval() {
  if (!rows_still_stand()) return;
  const int row = table_->currentRow();
  if (row < 0 || row >= static_cast<int>(log_.intervals().intervals().size())) return;
  const auto at = static_cast<std::size_t>(row);
  const service_interval before = log_.intervals().intervals()[at];
  service_interval changed = before;
  if (!edit_interval(this, changed)) return;
  // Nothing changed: nothing to save, nothing to undo.
  if (changed.same_content(before)) return;
  const QString name = to_widget_text(changed.operation);
  log_.take_step(new interval_command(log_, at, before, std::move(changed)),
                 tr("Changed the interval %1 — %2 brings back what it was")
                     .arg(name, log_.undo_name()));
}

void due_list_panel::remove_interval() {
  if (!rows_still_stand()) return;
  const int row = table_->currentRow();
  if (row < 0 || row >= static_cast<int>(log_.intervals().intervals().size())) return;
  const auto at = static_cast<std::size_t>(row);
  const service_interval gone = log_.intervals().intervals()[at];
  // No question first: Undo brings it back.
  log_.take_step(new interval_command(log_, at, gone, std::nullopt),
                 tr("Removed the interval %1 — %2 brings it back")
                     .arg(to_widget_text(gone.operation), log_.undo_name()));
}

}  // namespace tarvik
