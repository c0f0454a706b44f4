#include "ui/statistics_panel.h"

#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <optional>

#include "insight/statistics.h"
#include "ui/record_model.h"
#include "ui/shown_number.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

const QString kNone = QStringLiteral("\u2013");

QString figure(const std::optional<double>& value, int decimals) {
  return value ? shown_number(*value, decimals) : kNone;
}

}  // namespace

statistics_panel::statistics_panel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("statistics_panel"));
  // Below the table: the figures beside the operations.
  auto* layout = new QHBoxLayout(this);
  auto* column = new QVBoxLayout;
  auto* form = new QFormLayout;
  column->addLayout(form);
  layout->addLayout(column);
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
  left_out_line_ = new QLabel(this);
  left_out_line_->setObjectName(QStringLiteral("left_out_readings"));
  left_out_line_->setWordWrap(true);
  left_out_line_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  left_out_line_->hide();
  column->addWidget(left_out_line_);
  column->addStretch();
  operations_ = new QTableWidget(0, 5, this);
  operations_->setObjectName(QStringLiteral("operation_figures"));
  operations_->setHorizontalHeaderLabels({QStringLiteral("Operation"), QStringLiteral("Count"),
                                          QStringLiteral("Total cost"),
                                          QStringLiteral("Every (distance)"),
                                          QStringLiteral("Every (days)")});
  operations_->verticalHeader()->hide();
  operations_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  operations_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  operations_->setMaximumHeight(140);
  layout->addWidget(operations_, 1);
  show_figures(log_statistics{});
}

void statistics_panel::show_rows(const record_model& model, const std::vector<int>& rows) {
  statistics_gatherer gatherer(left_out_);
  for (const int row : rows) {
    if (const Record* record = model.record_at(row)) gatherer.add(*record);
  }
  show_figures(gatherer.result());
}

void statistics_panel::show_readings(const std::vector<left_out_reading>& left_out) {
  left_out_ = left_out;
  if (left_out.empty()) {
    left_out_line_->hide();
    return;
  }
  const QLocale locale;
  const auto named = [&](const left_out_reading& entry) {
    const QString why = entry.why == reading_fault::no_reading ? tr("no reading")
                        : entry.why == reading_fault::lower_than_before
                            ? tr("lower than the readings before it")
                            : tr("higher than the readings after it");
    return tr("%1 on %2 (%3)")
        .arg(locale.toString(entry.record->mileage(), 'f', 0),
             to_widget_text(entry.record->value("date")), why);
  };
  // Every one while they are few; else those against the others first,
  // and the entries without a reading counted.
  constexpr std::size_t kNamed = 3;
  QStringList parts;
  if (left_out.size() <= kNamed) {
    for (const left_out_reading& entry : left_out) parts << named(entry);
  } else {
    std::size_t against = 0;
    std::size_t none = 0;
    for (const left_out_reading& entry : left_out) {
      if (entry.why == reading_fault::no_reading) {
        ++none;
      } else if (++against <= kNamed) {
        parts << named(entry);
      }
    }
    if (against > kNamed) {
      parts << tr("%1 more against the others").arg(locale.toString(static_cast<qulonglong>(against - kNamed)));
    }
    if (none > 0) {
      parts << tr("%1 without a reading (mileage 0)").arg(locale.toString(static_cast<qulonglong>(none)));
    }
  }
  const QString count = locale.toString(static_cast<qulonglong>(left_out.size()));
  // The singular names no count: a %2 alone would take the count's place.
  const QString which = parts.join(QStringLiteral(", "));
  left_out_line_->setText(left_out.size() == 1
                              ? tr("1 reading left out of the odometer figures: %1").arg(which)
                              : tr("%1 readings left out of the odometer figures: %2").arg(count, which));
  left_out_line_->show();
}

void statistics_panel::show_figures(const log_statistics& figures) {
  entries_->setText(shown_count(figures.entries));
  total_cost_->setText(shown_number(figures.total_cost, 2));
  cost_per_year_->setText(figure(figures.cost_per_year, 2));
  cost_per_thousand_->setText(figure(figures.cost_per_thousand, 2));
  distance_per_year_->setText(figure(figures.distance_per_year, 0));
  operations_->setRowCount(static_cast<int>(figures.operations.size()));
  for (int row = 0; row < static_cast<int>(figures.operations.size()); ++row) {
    const operation_statistics& operation = figures.operations[static_cast<std::size_t>(row)];
    const QString cells[] = {to_widget_text(operation.name),
                             shown_count(operation.count),
                             shown_number(operation.total_cost, 2),
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
