#include "ui/statistics_panel.h"

#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTableWidget>
#include <QHBoxLayout>
#include <optional>

#include "insight/statistics.h"
#include "ui/record_model.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

const QString kNone = QStringLiteral("\u2013");

QString figure(const std::optional<double>& value, int decimals) {
  return value ? QLocale().toString(*value, 'f', decimals) : kNone;
}

}  // namespace

statistics_panel::statistics_panel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("statistics_panel"));
  // Below the table: the figures beside the operations.
  auto* layout = new QHBoxLayout(this);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  const auto add = [&](const char* name, const char* object) {
    auto* label = new QLabel(this);
    label->setObjectName(QLatin1String(object));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(QLatin1String(name), label);
    return label;
  };
  entries_ = add("Entries", "entries_figure");
  total_cost_ = add("Total cost", "total_cost_figure");
  cost_per_year_ = add("Cost per year", "cost_per_year_figure");
  cost_per_thousand_ = add("Cost per 1,000", "cost_per_thousand_figure");
  distance_per_year_ = add("Distance per year", "distance_per_year_figure");
  operations_ = new QTableWidget(0, 5, this);
  operations_->setObjectName(QStringLiteral("operation_figures"));
  operations_->setHorizontalHeaderLabels({QStringLiteral("Operation"), QStringLiteral("Count"),
                                          QStringLiteral("Total cost"),
                                          QStringLiteral("Every (distance)"),
                                          QStringLiteral("Every (days)")});
  operations_->verticalHeader()->hide();
  operations_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  operations_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(operations_, 1);
  show_figures(log_statistics{});
}

void statistics_panel::show_rows(const record_model& model, const std::vector<int>& rows) {
  statistics_gatherer gatherer;
  for (const int row : rows) {
    if (const Record* record = model.record_at(row)) gatherer.add(*record);
  }
  show_figures(gatherer.result());
}

void statistics_panel::show_figures(const log_statistics& figures) {
  const QLocale locale;
  entries_->setText(locale.toString(static_cast<qulonglong>(figures.entries)));
  total_cost_->setText(locale.toString(figures.total_cost, 'f', 2));
  cost_per_year_->setText(figure(figures.cost_per_year, 2));
  cost_per_thousand_->setText(figure(figures.cost_per_thousand, 2));
  distance_per_year_->setText(figure(figures.distance_per_year, 0));
  operations_->setRowCount(static_cast<int>(figures.operations.size()));
  for (int row = 0; row < static_cast<int>(figures.operations.size()); ++row) {
    const operation_statistics& operation = figures.operations[static_cast<std::size_t>(row)];
    const QString cells[] = {to_widget_text(operation.name),
                             locale.toString(static_cast<qulonglong>(operation.count)),
                             locale.toString(operation.total_cost, 'f', 2),
                             figure(operation.average_distance_interval, 0),
                             figure(operation.average_days_interval, 0)};
    for (int column = 0; column < 5; ++column) {
      auto* item = new QTableWidgetItem(cells[column]);
      if (column > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      operations_->setItem(row, column, item);
    }
  }
}

}  // namespace tarvik
