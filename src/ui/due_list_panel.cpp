#include "ui/due_list_panel.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <ctime>

#include "data/number_text.h"
#include "data/record.h"
#include "insight/due_file.h"
#include "insight/due_list.h"
#include "ui/open_log.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

const QString kNone = QStringLiteral("\u2013");

QString day_of(const std::optional<long>& date) {
  if (!date) return kNone;
  Record dated(0);
  dated.date(*date);
  return to_widget_text(dated.value("date"));
}

QString distance_of(const std::optional<double>& distance) {
  return distance ? QLocale().toString(*distance, 'f', 0) : kNone;
}

// Asks for an interval's operation and limits; false when cancelled. A
// limit left empty (or 0 months) is no limit.
bool edit_interval(QWidget* parent, service_interval& interval) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("interval_editor"));
  dialog.setWindowTitle(QStringLiteral("Service Interval"));
  auto* form = new QFormLayout(&dialog);
  auto* operation = new QLineEdit(to_widget_text(interval.operation), &dialog);
  operation->setObjectName(QStringLiteral("operation_box"));
  auto* distance = new QLineEdit(
      interval.distance ? QString::fromStdString(format_exact(*interval.distance)) : QString(),
      &dialog);
  distance->setObjectName(QStringLiteral("distance_box"));
  distance->setPlaceholderText(QStringLiteral("no limit"));
  auto* months = new QSpinBox(&dialog);
  months->setObjectName(QStringLiteral("months_box"));
  months->setRange(0, 1200);
  months->setSpecialValueText(QStringLiteral("no limit"));
  months->setValue(interval.months ? static_cast<int>(*interval.months) : 0);
  auto* problem = new QLabel(&dialog);
  problem->setStyleSheet(QStringLiteral("color: #b00000"));
  problem->hide();
  form->addRow(QStringLiteral("&Operation"), operation);
  form->addRow(QStringLiteral("Every (&distance)"), distance);
  form->addRow(QStringLiteral("Every (&months)"), months);
  form->addRow(problem);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  form->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    // A distance must be one number above zero: nothing is read as 0.
    const std::string text = distance->text().trimmed().toStdString();
    if (!text.empty() && !(whole_double_text(text.c_str()) && parse_double(text.c_str()) > 0 &&
                           std::isfinite(parse_double(text.c_str())))) {
      problem->setText(QStringLiteral("Every (distance): type a number above 0, such as 15000."));
      problem->show();
      return;
    }
    if (operation->text().trimmed().isEmpty()) {
      problem->setText(QStringLiteral("Operation: type the operation as the log names it."));
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
  table_->setHorizontalHeaderLabels(
      {QStringLiteral("Operation"), QStringLiteral("Every"), QStringLiteral("Last done"),
       QStringLiteral("Next due"), QStringLiteral("Left"), QStringLiteral("Projected"),
       QStringLiteral("State")});
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(table_);
  auto* buttons = new QHBoxLayout;
  const auto button = [&](const char* text, const char* name, void (due_list_panel::*slot)()) {
    auto* b = new QPushButton(QString::fromUtf8(text), this);
    b->setObjectName(QLatin1String(name));
    connect(b, &QPushButton::clicked, this, slot);
    buttons->addWidget(b);
    return b;
  };
  button("&Add…", "add_interval_button", &due_list_panel::add_interval);
  QPushButton* change =
      button("Chan&ge…", "change_interval_button", &due_list_panel::change_interval);
  QPushButton* remove =
      button("&Remove", "remove_interval_button", &due_list_panel::remove_interval);
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
                           QStringLiteral("Another program changed the service intervals; the "
                                          "list now shows them as they are. Choose the interval "
                                          "again."));
  return false;
}

std::size_t due_list_panel::show_log(const std::vector<const Record*>& log) {
  log_.read_intervals_again();
  const std::vector<service_interval>& intervals = log_.intervals().intervals();
  const std::vector<due_item> items =
      compute_due_list(intervals, log, static_cast<long>(std::time(nullptr)));
  table_->setRowCount(static_cast<int>(items.size()));
  for (int row = 0; row < static_cast<int>(items.size()); ++row) {
    const service_interval& interval = intervals[static_cast<std::size_t>(row)];
    const due_item& item = items[static_cast<std::size_t>(row)];
    QStringList every;
    if (interval.distance) every << distance_of(interval.distance);
    if (interval.months) every << QStringLiteral("%1 months").arg(*interval.months);
    QStringList left;
    if (item.distance_left) left << distance_of(item.distance_left);
    if (item.days_left) left << QStringLiteral("%1 days").arg(*item.days_left);
    const QString state = item.state == due_state::overdue    ? QStringLiteral("Overdue")
                          : item.state == due_state::due_soon ? QStringLiteral("Due soon")
                          : item.state == due_state::ok       ? QStringLiteral("OK")
                                                              : QStringLiteral("Never done");
    const QString cells[] = {
        to_widget_text(interval.operation),
        every.join(QStringLiteral(" or ")),
        item.last_date ? day_of(item.last_date) + QStringLiteral(", ") + distance_of(item.last_mileage)
                       : kNone,
        day_of(item.next_date) + QStringLiteral(", ") + distance_of(item.next_mileage),
        left.isEmpty() ? kNone : left.join(QStringLiteral(", ")),
        day_of(item.projected_date),
        state};
    for (int column = 0; column < 7; ++column) {
      auto* cell = new QTableWidgetItem(cells[column]);
      if (item.state == due_state::overdue) cell->setBackground(QColor(0xf4, 0xc7, 0xc3));
      if (item.state == due_state::due_soon) cell->setBackground(QColor(0xfc, 0xe8, 0xb2));
      table_->setItem(row, column, cell);
    }
  }
  return count_due(items);
}

void due_list_panel::add_interval() {
  if (log_.read_intervals_again()) emit intervals_changed();
  service_interval interval;
  if (!edit_interval(this, interval)) return;
  log_.intervals().intervals().push_back(std::move(interval));
  log_.save_intervals(true);
}

void due_list_panel::change_interval() {
  if (!rows_still_stand()) return;
  const int row = table_->currentRow();
  if (row < 0 || row >= static_cast<int>(log_.intervals().intervals().size())) return;
  service_interval changed = log_.intervals().intervals()[static_cast<std::size_t>(row)];
  if (!edit_interval(this, changed)) return;
  log_.intervals().intervals()[static_cast<std::size_t>(row)] = std::move(changed);
  log_.save_intervals(true);
}

void due_list_panel::remove_interval() {
  if (!rows_still_stand()) return;
  const int row = table_->currentRow();
  if (row < 0 || row >= static_cast<int>(log_.intervals().intervals().size())) return;
  log_.intervals().intervals().erase(log_.intervals().intervals().begin() + row);
  log_.save_intervals(true);
}

}  // namespace tarvik
