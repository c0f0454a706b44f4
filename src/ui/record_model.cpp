#include "ui/record_model.h"

#include <QApplication>
#include <QHash>
#include <QStyle>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <utility>

#include "data/data_source.h"
#include "data/number_text.h"
#include "data/record.h"
#include "insight/odometer.h"
#include "insight/recent_texts.h"
#include "ui/shown_number.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

bool is_line_break(QChar c) {
  return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

// The text on one line: each line break (CR LF counting as one) as a
// return symbol between spaces. No more of it than a cell can show, and an
// ellipsis: a note of megabytes would be laid out whole at every paint,
// seconds each (the whole text stays in whole_text_role).
QString one_line(const QString& text) {
  constexpr qsizetype kLongest = 1000;
  QString line;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (line.size() >= kLongest) {
      line += QChar(0x2026);
      break;
    }
    if (!is_line_break(text.at(i))) {
      line += text.at(i);
      continue;
    }
    if (text.at(i) == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
    line += QStringLiteral(" \u21B5 ");
  }
  return line;
}

bool is_numeric(const std::string& name) {
  return name == "mileage" || name == "cost" || name == "date" || name == "fuel" ||
         name == "consumption";
}

// A fill-up's quantity as a number; NaN for an entry without one, or with
// one that is no number, so that they sort after every fill-up.
double fuel_of(const Record& record) {
  const std::string* fuel = record.other_field(kFuelKey);
  if (fuel == nullptr || !whole_double_text(fuel->c_str())) return std::nan("");
  return parse_double(fuel->c_str());
}

double number_of(const Record& record, const std::string& name) {
  if (name == "mileage") return record.mileage();
  if (name == "cost") return static_cast<double>(record.cost());
  if (name == "fuel") return fuel_of(record);
  return static_cast<double>(record.date());
}

QString text_of(const Record& record, const std::string& name) {
  QString folded;
  if (name == "operation" || name == "notes") {
    append_case_folded(folded, name == "operation" ? record.operation() : record.notes());
    return folded;
  }
  return to_widget_text(record.value(name)).toCaseFolded();
}

// NaN after every number, equal to itself, so that the order stays strict.
bool number_less(double a, double b) { return !std::isnan(a) && (std::isnan(b) || a < b); }

}  // namespace

record_model::record_model(std::vector<std::string> names_, QStringList labels_, QObject* parent)
    : QAbstractTableModel(parent), names(std::move(names_)), labels(std::move(labels_)) {
  // Keys match in any letter case; the caches compare them in lower case.
  for (std::string& name : names) {
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
}

void record_model::drop_caches() {
  texts_built = false;
  texts = folded_texts();
  operation_texts = std::vector<std::uint32_t>();
  notes_texts = std::vector<std::uint32_t>();
}

void record_model::reload(DataSource* store_) {
  beginResetModel();
  store = store_;
  ids = store != nullptr ? store->identifiers() : std::vector<int>{};
  drop_caches();
  fill_ups.clear();
  for (std::size_t row = 0; row < ids.size(); ++row) note_fill_up(row);
  count_consumption(false);
  endResetModel();
}

void record_model::count_consumption(bool tell) {
  const bool had = tell && !used_.figures.empty();
  used_ = consumption();
  figure_at.clear();
  if (fill_ups.empty() || store == nullptr) {
    if (had) emit_consumption_changed();
    return;
  }
  // By identifier: the same order whatever the set's, for fill-ups of one
  // date and reading.
  std::vector<int> ordered(fill_ups.begin(), fill_ups.end());
  std::sort(ordered.begin(), ordered.end());
  std::vector<const Record*> records;
  records.reserve(ordered.size());
  for (const int id : ordered) records.push_back(store->record(id));
  used_ = consumption_of(records);
  figure_at.reserve(used_.figures.size());
  for (std::size_t k = 0; k < used_.figures.size(); ++k) {
    figure_at.emplace(used_.figures[k].fill_up->identifier(), k);
  }
  if (had || (tell && !used_.figures.empty())) emit_consumption_changed();
}

void record_model::emit_consumption_changed() {
  // A change of one fill-up moves the figure of the next full one.
  const auto column =
      static_cast<int>(std::find(names.begin(), names.end(), "consumption") - names.begin());
  if (column < columnCount() && !ids.empty()) {
    emit dataChanged(index(0, column), index(rowCount() - 1, column));
  }
}

const consumption_figure* record_model::figure_of(int identifier) const {
  const auto found = figure_at.find(identifier);
  return found == figure_at.end() ? nullptr : &used_.figures[found->second];
}

void record_model::show_consumption_in(distance_unit distance, volume_unit volume,
                                       consumption_unit unit) {
  if (distance == distance_ && volume == volume_ && unit == consumption_unit_) return;
  distance_ = distance;
  volume_ = volume;
  consumption_unit_ = unit;
  if (!used_.figures.empty()) emit_consumption_changed();
}

double record_model::shown_figure(const consumption_figure& figure) const {
  return in_unit(figure.per_100, distance_, volume_, consumption_unit_);
}

void record_model::note_fill_up(std::size_t row) {
  const Record* record = record_at(static_cast<int>(row));
  if (record != nullptr && record->other_field(kFuelKey) != nullptr) {
    fill_ups.insert(ids[row]);
  } else {
    fill_ups.erase(ids[row]);
  }
}

void record_model::inserted(std::size_t position, int identifier) {
  position = std::min(position, ids.size());
  const int row = static_cast<int>(position);
  beginInsertRows(QModelIndex(), row, row);
  ids.insert(ids.begin() + static_cast<std::ptrdiff_t>(position), identifier);
  if (texts_built) {
    operation_texts.insert(operation_texts.begin() + static_cast<std::ptrdiff_t>(position), 0);
    notes_texts.insert(notes_texts.begin() + static_cast<std::ptrdiff_t>(position), 0);
    fold_texts(position);
  }
  note_fill_up(position);
  endInsertRows();
  if (has_fill_ups() || !used_.figures.empty()) count_consumption(true);
}

void record_model::removed(std::size_t position) {
  if (position >= ids.size()) return;
  const int row = static_cast<int>(position);
  const auto at = static_cast<std::ptrdiff_t>(position);
  beginRemoveRows(QModelIndex(), row, row);
  // Another row may share the identifier only after a merge, which reloads.
  fill_ups.erase(ids[position]);
  ids.erase(ids.begin() + at);
  if (texts_built) {
    operation_texts.erase(operation_texts.begin() + at);
    notes_texts.erase(notes_texts.begin() + at);
  }
  endRemoveRows();
  if (has_fill_ups() || !used_.figures.empty()) count_consumption(true);
}

void record_model::changed(std::size_t position) {
  if (position >= ids.size()) return;
  if (texts_built) fold_texts(position);
  note_fill_up(position);
  const int row = static_cast<int>(position);
  emit dataChanged(index(row, 0), index(row, columnCount() - 1));
  if (has_fill_ups() || !used_.figures.empty()) count_consumption(true);
}

const Record* record_model::record_at(int row) const {
  if (store == nullptr || row < 0 || row >= static_cast<int>(ids.size())) return nullptr;
  return store->record(ids[static_cast<std::size_t>(row)]);
}

double record_model::number_at(const std::string& name, int row) const {
  const Record* record = record_at(row);
  if (record == nullptr) return 0.0;
  if (name == "consumption") {
    // Rows without a figure after every figure, as fuel sorts.
    const consumption_figure* figure = figure_of(record->identifier());
    return figure != nullptr ? shown_figure(*figure) : std::nan("");
  }
  return number_of(*record, name);
}

QString record_model::text_at(const std::string& name, int row) const {
  const Record* record = record_at(row);
  return record != nullptr ? text_of(*record, name) : QString();
}

std::vector<double> record_model::keys_of(int column) const {
  const std::string& name = names[static_cast<std::size_t>(column)];
  std::vector<double> keys(ids.size(), 0.0);
  if (is_numeric(name)) {
    for (std::size_t row = 0; row < ids.size(); ++row) keys[row] = number_at(name, static_cast<int>(row));
    return keys;
  }
  // Each distinct text once, then ranked: far fewer texts than rows to sort
  // (operations repeat), and no text kept for each row.
  std::vector<QString> distinct;
  QHash<QString, int> slot_of;
  std::vector<int> row_slot(ids.size(), 0);
  for (std::size_t row = 0; row < ids.size(); ++row) {
    QString text = text_at(name, static_cast<int>(row));
    auto found = slot_of.constFind(text);
    if (found == slot_of.constEnd()) {
      found = slot_of.insert(text, static_cast<int>(distinct.size()));
      distinct.push_back(std::move(text));
    }
    row_slot[row] = *found;
  }
  std::vector<int> order(distinct.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = static_cast<int>(k);
  std::sort(order.begin(), order.end(), [&](int a, int b) {
    return distinct[static_cast<std::size_t>(a)] < distinct[static_cast<std::size_t>(b)];
  });
  std::vector<double> rank(distinct.size());
  for (std::size_t k = 0; k < order.size(); ++k) rank[static_cast<std::size_t>(order[k])] = static_cast<double>(k);
  for (std::size_t row = 0; row < ids.size(); ++row) {
    keys[row] = rank[static_cast<std::size_t>(row_slot[row])];
  }
  return keys;
}

std::vector<int> record_model::sorted_rows(int column, Qt::SortOrder order) const {
  std::vector<int> rows(ids.size());
  for (std::size_t row = 0; row < rows.size(); ++row) rows[row] = static_cast<int>(row);
  if (column < 0 || column >= columnCount()) return rows;
  // Kept only while sorting: a change moves its rows by row_before().
  const std::vector<double> key = keys_of(column);
  // Ties go by row, so that the order is total: std::sort, which needs no
  // buffer beside the rows, gives what a stable sort would.
  const auto at = [&key](int row) { return key[static_cast<std::size_t>(row)]; };
  if (order == Qt::AscendingOrder) {
    std::sort(rows.begin(), rows.end(), [&at](int a, int b) {
      return number_less(at(a), at(b)) || (!number_less(at(b), at(a)) && a < b);
    });
  } else {
    std::sort(rows.begin(), rows.end(), [&at](int a, int b) {
      return number_less(at(b), at(a)) || (!number_less(at(a), at(b)) && a < b);
    });
  }
  return rows;
}

bool record_model::row_before(int column, Qt::SortOrder order, int a, int b) const {
  if (column < 0 || column >= columnCount()) return a < b;
  const std::string& name = names[static_cast<std::size_t>(column)];
  int sign = 0;
  if (is_numeric(name)) {
    const double x = number_at(name, a);
    const double y = number_at(name, b);
    sign = number_less(x, y) ? -1 : number_less(y, x) ? 1 : 0;
  } else {
    // The ranks sorted_rows() gives follow the same comparison.
    const QString x = text_at(name, a);
    const QString y = text_at(name, b);
    sign = x < y ? -1 : y < x ? 1 : 0;
  }
  if (order == Qt::DescendingOrder) sign = -sign;
  return sign < 0 || (sign == 0 && a < b);
}

void record_model::fold_texts(std::size_t row) const {
  const Record* record = record_at(static_cast<int>(row));
  static const std::string none;
  operation_texts[row] = texts.add(record != nullptr ? record->operation() : none);
  notes_texts[row] = texts.add(record != nullptr ? record->notes() : none);
}

void record_model::build_texts() const {
  texts = folded_texts();
  operation_texts.assign(ids.size(), 0);
  notes_texts.assign(ids.size(), 0);
  // The same bytes as a text met lately take its number without folding.
  recent_texts<std::uint32_t, 256> recent;
  const auto number = [&](const std::string& bytes) {
    if (const std::uint32_t* known = recent.find(bytes)) return *known;
    const std::uint32_t added = texts.add(bytes);
    recent.remember(bytes, added);
    return added;
  };
  for (std::size_t row = 0; row < ids.size(); ++row) {
    if (const Record* record = record_at(static_cast<int>(row))) {
      operation_texts[row] = number(record->operation());
      notes_texts[row] = number(record->notes());
    } else {
      fold_texts(row);
    }
  }
  texts_built = true;
}

record_model::text_search record_model::search_texts(std::string_view folded) const {
  if (!texts_built) build_texts();
  text_search search;
  search.held = texts.holding(folded);
  search.operations = &operation_texts;
  search.notes = &notes_texts;
  return search;
}

bool record_model::dated_within(int row, long first, long end) const {
  const Record* record = record_at(row);
  const long date = record != nullptr ? record->date() : 0;
  return date >= first && date < end;
}

int record_model::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(ids.size());
}

int record_model::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(names.size());
}

void record_model::mark_left_out(const std::vector<left_out_reading>& left_out) {
  std::unordered_map<int, reading_fault> marked;
  for (const left_out_reading& entry : left_out) {
    if (entry.why != reading_fault::no_reading) marked.emplace(entry.record->identifier(), entry.why);
  }
  if (marked == against) return;
  against = std::move(marked);
  const auto column = static_cast<int>(std::find(names.begin(), names.end(), "mileage") - names.begin());
  if (column < columnCount() && !ids.empty()) {
    emit dataChanged(index(0, column), index(rowCount() - 1, column),
                     {Qt::ToolTipRole, Qt::DecorationRole});
  }
}

QVariant record_model::data(const QModelIndex& index, int role) const {
  if ((role == Qt::ToolTipRole || role == Qt::DecorationRole) && index.isValid() &&
      index.column() < columnCount() && names[static_cast<std::size_t>(index.column())] == "mileage") {
    const Record* record = record_at(index.row());
    if (record == nullptr) return QVariant();
    const auto marked = against.find(record->identifier());
    if (marked != against.end()) {
      if (role == Qt::DecorationRole) {
        return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
      }
      return marked->second == reading_fault::lower_than_before
                 ? tr("Left out of the odometer figures: lower than the readings before it.")
                 : tr("Left out of the odometer figures: higher than the readings after it.");
    }
    if (role == Qt::ToolTipRole && !is_reading(record->mileage())) {
      return tr("No odometer reading (mileage 0): left out of the odometer figures.");
    }
    return QVariant();
  }
  if (!index.isValid() || index.column() >= columnCount()) return QVariant();
  const std::string& name = names[static_cast<std::size_t>(index.column())];
  // Numbers line up by their last digit.
  if (role == Qt::TextAlignmentRole) {
    if (name == "mileage" || name == "cost" || name == "fuel" || name == "consumption") {
      return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    }
    return QVariant();
  }
  if (role != Qt::DisplayRole && role != whole_text_role) return QVariant();
  const Record* record = record_at(index.row());
  if (record == nullptr) return QVariant();
  // Numbers in the user's locale; the file keeps its own form.
  if (name == "mileage") return shown_number(record->mileage(), 1);
  if (name == "cost") return shown_number(static_cast<double>(record->cost()), 2);
  if (name == "fuel") {
    const std::string* fuel = record->other_field(kFuelKey);
    if (fuel == nullptr) return QString();
    const double quantity = fuel_of(*record);
    return std::isnan(quantity) ? one_line(to_widget_text(*fuel)) : shown_number(quantity, 2);
  }
  if (name == "consumption") {
    const consumption_figure* figure = figure_of(record->identifier());
    return figure != nullptr ? shown_number(shown_figure(*figure), 1) : QString();
  }
  const QString text = to_widget_text(record->value(name));
  return role == whole_text_role ? text : one_line(text);
}

void record_model::set_labels(QStringList new_labels) {
  labels = std::move(new_labels);
  if (!labels.isEmpty()) emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(labels.size()) - 1);
}

QVariant record_model::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
      section < labels.size()) {
    return labels.at(section);
  }
  if (orientation == Qt::Vertical && problem_marks != nullptr && !problem_marks->empty() &&
      (role == Qt::DecorationRole || role == Qt::ToolTipRole) && section >= 0 &&
      section < static_cast<int>(ids.size())) {
    const auto mark = problem_marks->find(ids[static_cast<std::size_t>(section)]);
    if (mark != problem_marks->end()) {
      if (role == Qt::ToolTipRole) return mark->second;
      return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    }
  }
  return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags record_model::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

}  // namespace tarvik
