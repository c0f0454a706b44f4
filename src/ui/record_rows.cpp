#include "ui/record_rows.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QStringList>
#include <QStyle>
#include <algorithm>
#include <iterator>
#include <string>

#include "data/data_source.h"
#include "ui/log_units.h"
#include "data/record.h"
#include "platform/pointer_check.h"
#include "ui/open_log.h"
#include "ui/record_filter.h"
#include "ui/record_model.h"
#include "ui/record_table.h"
#include "ui/statistics_panel.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

// Diagnostics name the window, which the columns belong to.
constexpr const char* kSource = "tarvik";

struct column_default {
  const char* name;
  int width;
  // The widest text the column is to show whole; none for Notes, which
  // takes what is left.
  const char* widest;
};
constexpr column_default kColumns[] = {
    {QT_TRANSLATE_NOOP("tarvik::record_rows", "Mileage"), 60, "8,888,888.8"}, {QT_TRANSLATE_NOOP("tarvik::record_rows", "Date"), 68, "8888-88-88"},
    {QT_TRANSLATE_NOOP("tarvik::record_rows", "Operation"), 78, "Wiper blades, rear"}, {QT_TRANSLATE_NOOP("tarvik::record_rows", "Cost"), 50, "88,888.88"},
    {QT_TRANSLATE_NOOP("tarvik::record_rows", "Notes"), 150, nullptr},
    // Shown before Notes, and only while the log has fill-ups.
    {QT_TRANSLATE_NOOP("tarvik::record_rows", "Fuel"), 50, "8,888.88"},
    // After Fuel, and only while the log has a figure.
    {QT_TRANSLATE_NOOP("tarvik::record_rows", "Consumption"), 50, "888.8"},
};
constexpr int kFuelColumn = 5;
constexpr int kConsumptionColumn = 6;
// The Fuel column of a log in kWh.
const char* const kChargedLabel = QT_TRANSLATE_NOOP("tarvik::record_rows", "Charged");
constexpr int kNotesColumn = 4;

// A column's header in the user's language; its name stays the key.
QString column_label(const std::string& name) {
  return QCoreApplication::translate("tarvik::record_rows", name.c_str());
}

}  // namespace

record_rows::record_rows(record_table* table, open_log& log, QObject* parent)
    : table_(table), log_(log) {
  for (const column_default& defaults : kColumns) {
    auto column = std::make_unique<colinfo>();
    TARVIK_CHECK_POINTER(column.get(), kSource);
    column->name = defaults.name;
    column->width = defaults.width;
    columns.push_back(std::move(column));
  }
  std::vector<std::string> names;
  QStringList labels;
  for (const auto& column : columns) {
    names.push_back(column->name);
    labels << column_label(column->name);
  }
  model_ = new record_model(std::move(names), labels, parent);
  filter_ = new record_filter(model_, parent);
  model_->mark_problems(&log_.problem_marks());
  table_->setModel(filter_);
  table_->horizontalHeader()->moveSection(kFuelColumn, kNotesColumn);
  table_->horizontalHeader()->moveSection(kConsumptionColumn, kNotesColumn + 1);
  size_columns();
  show_fuel_column();
}

void record_rows::show_fuel_column() {
  const auto show = [this](int column, bool shown) {
    if (table_->isColumnHidden(column) == !shown) return;
    table_->setColumnHidden(column, !shown);
    // A hidden section has no width for its header: it takes it on showing.
    if (shown) {
      table_->setColumnWidth(column, std::max(table_->columnWidth(column),
                                              table_->horizontalHeader()->sectionSizeHint(column)));
    }
  };
  show(kFuelColumn, model_->has_fill_ups());
  show(kConsumptionColumn, !model_->used().figures.empty());
}

void record_rows::fit_row_header() {
  QHeaderView* header = table_->verticalHeader();
  if (log_.problem_marks().empty()) {
    header->setMinimumWidth(0);
    return;
  }
  const int icon = table_->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, table_);
  const int margin = table_->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
  const int digits = header->fontMetrics().horizontalAdvance(
      QString::number(std::max<std::size_t>(model_->identifiers().size(), 1)));
  header->setMinimumWidth(digits + icon + 4 * margin);
}

void record_rows::size_columns() {
  const QFontMetrics metrics = table_->fontMetrics();
  const int padding =
      2 * (table_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table_) + 1) +
      metrics.averageCharWidth() * 2;
  QHeaderView* header = table_->horizontalHeader();
  for (int k = 0; k < static_cast<int>(columns.size()); ++k) {
    int width = std::max(columns[static_cast<std::size_t>(k)]->width, header->sectionSizeHint(k));
    if (const char* widest = kColumns[k].widest) {
      width = std::max(width, metrics.horizontalAdvance(QLatin1String(widest)) + padding);
    }
    table_->setColumnWidth(k, width);
  }
  // The last section never shrinks below the width it has now.
  header->setStretchLastSection(true);
}

void record_rows::name_units(const log_units& units) {
  const volume_unit volume = shown_volume(units);
  model_->show_consumption_in(units.distance, volume, shown_consumption(units));
  QStringList labels;
  for (const auto& column : columns) {
    const QString name = column_label(column->name);
    if (column->name == "Mileage") {
      labels << with_unit(name, units.distance_text());
    } else if (column->name == "Cost") {
      labels << with_unit(name, units.currency);
    } else if (column->name == "Fuel") {
      labels << with_unit(volume == volume_unit::kwh ? column_label(kChargedLabel) : name,
                          shown_unit(volume));
    } else if (column->name == "Consumption") {
      labels << with_unit(name, shown_unit(shown_consumption(units)));
    } else {
      labels << name;
    }
  }
  model_->set_labels(labels);
  size_columns();
}

void record_rows::share_width() {
  const int operation = 2;
  int others = 0;
  for (int k = 0; k < static_cast<int>(columns.size()); ++k) {
    // Notes stretches into what is left; a hidden column takes nothing.
    if (k != operation && k != kNotesColumn && !table_->isColumnHidden(k)) {
      others += table_->columnWidth(k);
    }
  }
  const int share = (table_->viewport()->width() - others) * 2 / 5;
  if (share > table_->columnWidth(operation)) table_->setColumnWidth(operation, share);
}

QList<int> record_rows::widths() const {
  // Notes stretches and is not kept; the others by their place in the model.
  QList<int> kept;
  for (int k = 0; k < static_cast<int>(columns.size()); ++k) {
    kept << (k == kNotesColumn ? 0 : table_->columnWidth(k));
  }
  return kept;
}

void record_rows::set_widths(const QList<int>& widths) {
  // A width too narrow to find again with the mouse is not restored.
  const int narrowest = table_->horizontalHeader()->minimumSectionSize();
  for (int k = 0; k < widths.size() && k < static_cast<int>(columns.size()); ++k) {
    if (k != kNotesColumn && widths[k] >= narrowest) table_->setColumnWidth(k, widths[k]);
  }
}

int record_rows::newest_position() const {
  const std::vector<int>& ids = model_->identifiers();
  int newest = -1;
  long newest_date = 0;
  for (std::size_t k = 0; k < ids.size(); ++k) {
    const Record* record = log_.store().record(ids[k]);
    if (record == nullptr) continue;
    if (newest < 0 || record->date() >= newest_date) {
      newest = static_cast<int>(k);
      newest_date = record->date();
    }
  }
  return newest;
}

const std::vector<int>& record_rows::identifiers() const { return model_->identifiers(); }

void record_rows::show_figures(statistics_panel& panel) const {
  panel.show_rows(*model_, filter_->source_rows());
}

consumption record_rows::consumption_shown() const {
  if (!filter_->filtering()) return model_->used();
  // The figures of the whole log whose closing fill-up is shown: a filter
  // does not break a stretch.
  consumption shown;
  if (model_->used().figures.empty()) return shown;
  for (const int row : filter_->source_rows()) {
    const Record* record = model_->record_at(row);
    if (record == nullptr) continue;
    if (const consumption_figure* figure = model_->figure_of(record->identifier())) {
      count_in(shown, *figure);
    }
  }
  // In the order of the log's figures, as the chart draws them.
  std::sort(shown.figures.begin(), shown.figures.end(),
            [this](const consumption_figure& a, const consumption_figure& b) {
              return model_->figure_of(a.fill_up->identifier()) <
                     model_->figure_of(b.fill_up->identifier());
            });
  return shown;
}

void record_rows::mark_left_out(const std::vector<left_out_reading>& left_out) {
  model_->mark_left_out(left_out);
}

bool record_rows::filtering() const { return filter_->filtering(); }

int record_rows::shown_count() const { return filter_->rowCount(); }

int record_rows::current_position() const {
  const QModelIndex shown = filter_->index(table_->current_row(), 0);
  if (!shown.isValid()) return -1;
  const int position = filter_->mapToSource(shown).row();
  return position >= 0 && position < static_cast<int>(model_->identifiers().size()) ? position
                                                                                     : -1;
}

int record_rows::current_identifier() const {
  const int position = current_position();
  return position < 0 ? -1 : model_->identifiers()[static_cast<std::size_t>(position)];
}

int record_rows::row_of(std::size_t position) const {
  if (position >= model_->identifiers().size()) return -1;
  return filter_->mapFromSource(model_->index(static_cast<int>(position), 0)).row();
}

void record_rows::make_current(int row, int column) {
  row = std::min(row, filter_->rowCount() - 1);
  if (row < 0) return;
  table_->make_current(row, column);
}

void record_rows::reload() {
  const int row = table_->current_row();
  const int column = std::max(table_->current_column(), 0);
  const int current_id = current_identifier();

  model_->reload(&log_.store());
  fit_row_header();
  show_fuel_column();

  const std::vector<int>& ids = model_->identifiers();
  const auto same = std::find(ids.begin(), ids.end(), current_id);
  const int shown =
      same != ids.end() ? row_of(static_cast<std::size_t>(same - ids.begin())) : -1;
  make_current(shown >= 0 ? shown : std::max(row, 0), column);
}

void record_rows::reload_from_top() {
  model_->reload(&log_.store());
  fit_row_header();
  show_fuel_column();
  filter_->refresh();
  make_current(0, 0);
}

bool record_rows::show_change(const record_change& change) {
  const int column = std::max(table_->current_column(), 0);
  int row = table_->current_row();
  bool hidden = false;
  switch (change.what) {
    case record_change::kind::added:
      model_->inserted(change.position, change.identifier);
      filter_->refresh();
      if (const int shown = row_of(change.position); shown >= 0) {
        row = shown;
      } else {
        hidden = true;
        row = table_->current_row();
      }
      break;
    case record_change::kind::removed: {
      // Rows below move up, so the current cell stays on the row the record
      // was shown in and shows the next record; on the last row it follows
      // the row count. A record the filter hid leaves the current row alone.
      const int shown = row_of(change.position);
      if (shown >= 0) row = shown;
      model_->removed(change.position);
      filter_->refresh();
      break;
    }
    case record_change::kind::changed:
      model_->changed(change.position);
      filter_->refresh();
      if (const int shown = row_of(change.position); shown >= 0) {
        row = shown;
      } else {
        hidden = true;
      }
      break;
  }
  // Anything that does not add up is shown afresh from the store.
  if (model_->identifiers() != log_.store().identifiers()) {
    reload();
    const std::vector<int>& ids = model_->identifiers();
    const auto found = std::find(ids.begin(), ids.end(), change.identifier);
    if (change.what != record_change::kind::removed && found != ids.end()) {
      const int shown = row_of(static_cast<std::size_t>(found - ids.begin()));
      if (shown >= 0) row = shown;
    }
  }
  show_fuel_column();
  make_current(std::max(row, 0), column);
  // A changed record may have lost its problem's mark.
  table_->verticalHeader()->viewport()->update();
  return !hidden;
}

void record_rows::set_filter(const QString& text, std::optional<std::pair<QDate, QDate>> days) {
  const int column = std::max(table_->current_column(), 0);
  filter_->set_text(text);
  filter_->set_dates(days);
  if (!table_->currentIndex().isValid()) make_current(0, column);
}

std::vector<const Record*> record_rows::all() const {
  std::vector<const Record*> records;
  records.reserve(model_->identifiers().size());
  for (const int id : model_->identifiers()) {
    if (const Record* record = log_.store().record(id)) records.push_back(record);
  }
  return records;
}

std::vector<const Record*> record_rows::shown() const {
  std::vector<const Record*> rows;
  const std::vector<int>& ids = model_->identifiers();
  const int count = filter_->rowCount();
  rows.reserve(static_cast<std::size_t>(count));
  for (int row = 0; row < count; ++row) {
    const int source = filter_->mapToSource(filter_->index(row, 0)).row();
    if (source < 0 || source >= static_cast<int>(ids.size())) continue;
    if (const Record* record = log_.store().record(ids[static_cast<std::size_t>(source)])) {
      rows.push_back(record);
    }
  }
  return rows;
}

}  // namespace tarvik
