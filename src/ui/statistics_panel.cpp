#include "ui/statistics_panel.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <optional>
#include <tuple>

#include "insight/consumption.h"
#include "insight/statistics.h"
#include "ui/log_units.h"
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
  form_ = form;
  column->addLayout(form);
  layout->addLayout(column);
  const auto add = [&](const char* name, const char* object) {
    auto* label = new QLabel(this);
    label->setObjectName(QLatin1String(object));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(tr(name), label);
    return label;
  };
  entries_ = add(QT_TR_NOOP("Entries"), "entries_figure");
  total_cost_ = add(QT_TR_NOOP("Total cost"), "total_cost_figure");
  cost_per_year_ = add(QT_TR_NOOP("Cost per year"), "cost_per_year_figure");
  cost_per_thousand_ = add(QT_TR_NOOP("Cost per 1,000"), "cost_per_thousand_figure");
  distance_per_year_ = add(QT_TR_NOOP("Distance per year"), "distance_per_year_figure");
  average_consumption_ = add(QT_TR_NOOP("Average consumption"), "average_consumption_figure");
  best_consumption_ = add(QT_TR_NOOP("Best consumption"), "best_consumption_figure");
  worst_consumption_ = add(QT_TR_NOOP("Worst consumption"), "worst_consumption_figure");
  // Fuel beside the rest, a row for each cost of the form, in a column of
  // their own: the dock has more room across than down.
  cost_kinds_ = new QWidget(this);
  cost_kinds_->setObjectName(QStringLiteral("cost_kinds"));
  auto* grid = new QGridLayout(cost_kinds_);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setHorizontalSpacing(16);
  const auto heading = [&](const QString& text, int column) {
    auto* label = new QLabel(text, cost_kinds_);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(label, 0, column);
  };
  heading(tr("Fuel"), 1);
  heading(tr("Services and other"), 2);
  const auto add_kinds = [&](int row, QLabel*& name, QLabel*& fuel, const char* fuel_object,
                             QLabel*& other, const char* other_object) {
    name = new QLabel(cost_kinds_);
    grid->addWidget(name, row, 0);
    for (auto [figure, object, column] : {std::tuple{&fuel, fuel_object, 1},
                                          std::tuple{&other, other_object, 2}}) {
      *figure = new QLabel(cost_kinds_);
      (*figure)->setObjectName(QLatin1String(object));
      (*figure)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      (*figure)->setTextInteractionFlags(Qt::TextSelectableByMouse);
      grid->addWidget(*figure, row, column);
    }
  };
  add_kinds(1, kinds_total_name_, fuel_cost_, "fuel_cost_figure", other_cost_, "other_cost_figure");
  add_kinds(2, kinds_per_year_name_, fuel_cost_per_year_, "fuel_cost_per_year_figure",
            other_cost_per_year_, "other_cost_per_year_figure");
  add_kinds(3, kinds_per_thousand_name_, fuel_cost_per_thousand_, "fuel_cost_per_thousand_figure",
            other_cost_per_thousand_, "other_cost_per_thousand_figure");
  cost_kinds_->hide();
  auto* kinds_column = new QVBoxLayout;
  kinds_column->addWidget(cost_kinds_);
  kinds_column->addStretch();
  layout->addLayout(kinds_column);
  left_out_line_ = new QLabel(this);
  left_out_line_->setObjectName(QStringLiteral("left_out_readings"));
  left_out_line_->setWordWrap(true);
  left_out_line_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  left_out_line_->hide();
  column->addWidget(left_out_line_);
  column->addStretch();
  operations_ = new QTableWidget(0, 5, this);
  operations_->setObjectName(QStringLiteral("operation_figures"));
  operations_->setHorizontalHeaderLabels({tr("Operation"), tr("Count"),
                                          tr("Total cost"),
                                          tr("Every (distance)"),
                                          tr("Every (days)")});
  operations_->verticalHeader()->hide();
  operations_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  operations_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(operations_, 1);
  show_figures(log_statistics{});
  show_consumption(consumption{});
  name_units(locale_units());
}

void statistics_panel::name_units(const log_units& units) {
  const QString distance = units.distance_text();
  const auto name = [&](QLabel* figure, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(form_->labelForField(figure))) label->setText(text);
  };
  name(total_cost_, with_unit(tr("Total cost"), units.currency));
  name(cost_per_year_, with_unit(tr("Cost per year"), units.currency));
  name(cost_per_thousand_, tr("Cost per %1 %2").arg(QLocale().toString(1000), distance));
  kinds_total_name_->setText(with_unit(tr("Total cost"), units.currency));
  kinds_per_year_name_->setText(with_unit(tr("Cost per year"), units.currency));
  kinds_per_thousand_name_->setText(tr("Cost per %1 %2").arg(QLocale().toString(1000), distance));
  name(distance_per_year_, with_unit(tr("Distance per year"), distance));
  distance_ = units.distance;
  volume_ = shown_volume(units);
  consumption_unit_ = shown_consumption(units);
  show_consumption(consumption(shown_used_));
  operations_->setHorizontalHeaderLabels(
      {tr("Operation"), tr("Count"), with_unit(tr("Total cost"), units.currency),
       with_unit(tr("Every"), distance), with_unit(tr("Every"), tr("days"))});
}

void statistics_panel::show_rows(const record_model& model, const std::vector<int>& rows) {
  statistics_gatherer gatherer(left_out_);
  consumption used;
  // Most logs have no fill-up: no lookup a row then.
  const bool figures = !model.used().figures.empty();
  for (const int row : rows) {
    const Record* record = model.record_at(row);
    if (record == nullptr) continue;
    gatherer.add(*record);
    if (!figures) continue;
    if (const consumption_figure* figure = model.figure_of(record->identifier())) {
      count_in(used, *figure);
    }
  }
  show_figures(gatherer.result());
  // By the log, not the rows shown: a filter that hides the fill-ups shows
  // a fuel cost of 0 rather than a panel that changes its shape.
  cost_kinds_->setVisible(model.has_fill_ups());
  show_consumption(used);
}

void statistics_panel::show_consumption(const consumption& used) {
  // Kept to be shown again in other units; the figures' records are not.
  shown_used_ = used;
  shown_used_.figures.clear();
  // Without a figure the lines would say nothing: they leave the form.
  const bool any = used.average.has_value();
  const auto shown = [&](QLabel* label, const std::optional<double>& per_100) {
    label->setText(per_100 ? QStringLiteral("%1 %2").arg(
                                 shown_number(in_unit(*per_100, distance_, volume_, consumption_unit_), 1),
                                 shown_unit(consumption_unit_))
                           : kNone);
    form_->setRowVisible(label, any);
  };
  shown(average_consumption_, used.average);
  // Lowest use is best in any unit: in_unit turns it into the highest
  // distance per volume where that is the unit.
  shown(best_consumption_, used.best);
  shown(worst_consumption_, used.worst);
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
  // One reading names no count: its parts are the only argument.
  left_out_line_->setText(
      left_out.size() == 1
          ? tr("1 reading left out of the odometer figures: %1").arg(parts.join(QStringLiteral(", ")))
          : tr("%1 readings left out of the odometer figures: %2")
                .arg(count, parts.join(QStringLiteral(", "))));
  left_out_line_->show();
}

void statistics_panel::show_figures(const log_statistics& figures) {
  entries_->setText(shown_count(figures.entries));
  total_cost_->setText(shown_number(figures.total_cost, 2));
  cost_per_year_->setText(figure(figures.cost_per_year, 2));
  cost_per_thousand_->setText(figure(figures.cost_per_thousand, 2));
  distance_per_year_->setText(figure(figures.distance_per_year, 0));
  fuel_cost_->setText(shown_number(figures.fuel_cost, 2));
  other_cost_->setText(shown_number(figures.other_cost, 2));
  fuel_cost_per_year_->setText(figure(figures.fuel_cost_per_year, 2));
  other_cost_per_year_->setText(figure(figures.other_cost_per_year, 2));
  fuel_cost_per_thousand_->setText(figure(figures.fuel_cost_per_thousand, 2));
  other_cost_per_thousand_->setText(figure(figures.other_cost_per_thousand, 2));
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
