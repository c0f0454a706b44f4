#include "ui/record_model.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <utility>

#include "data/data_source.h"
#include "data/record.h"
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
  return name == "mileage" || name == "cost" || name == "date";
}

double number_of(const Record& record, const std::string& name) {
  if (name == "mileage") return record.mileage();
  if (name == "cost") return static_cast<double>(record.cost());
  return static_cast<double>(record.date());
}

bool is_ascii(const std::string& bytes) {
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Appends the text of `bytes` case-folded; ASCII, by far the most common,
// folded here without the detours through decoding and Unicode tables.
void append_folded(QString& folded, const std::string& bytes) {
  if (!is_ascii(bytes)) {
    folded += to_widget_text(bytes).toCaseFolded();
    return;
  }
  for (const char c : bytes) {
    folded += QChar(static_cast<char16_t>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c));
  }
}

// The same as UTF-8.
void append_folded(std::string& folded, const std::string& bytes) {
  if (!is_ascii(bytes)) {
    folded += to_widget_text(bytes).toCaseFolded().toStdString();
    return;
  }
  for (const char c : bytes) folded += c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

QString text_of(const Record& record, const std::string& name) {
  QString folded;
  if (name == "operation" || name == "notes") {
    append_folded(folded, name == "operation" ? record.operation() : record.notes());
    return folded;
  }
  return to_widget_text(record.value(name)).toCaseFolded();
}

// NaN after every number, equal to itself, so that the order stays strict.
bool number_less(double a, double b) { return !std::isnan(a) && (std::isnan(b) || a < b); }

}  // namespace

RecordModel::RecordModel(std::vector<std::string> names_, QStringList labels_, QObject* parent)
    : QAbstractTableModel(parent), names(std::move(names_)), labels(std::move(labels_)) {
  // Keys match in any letter case; the caches compare them in lower case.
  for (std::string& name : names) {
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  keys.resize(names.size());
}

void RecordModel::drop_caches() {
  for (key_cache& cache : keys) cache = key_cache{};
  folded_built = false;
  folded = std::string();
  folded_end = std::vector<std::size_t>();
}

void RecordModel::reload(DataSource* store_) {
  beginResetModel();
  store = store_;
  ids = store != nullptr ? store->identifiers() : std::vector<int>{};
  drop_caches();
  endResetModel();
}

void RecordModel::inserted(std::size_t position, int identifier) {
  position = std::min(position, ids.size());
  const int row = static_cast<int>(position);
  beginInsertRows(QModelIndex(), row, row);
  ids.insert(ids.begin() + static_cast<std::ptrdiff_t>(position), identifier);
  for (std::size_t k = 0; k < keys.size(); ++k) {
    key_cache& cache = keys[k];
    if (!cache.built) continue;
    cache.numbers.insert(cache.numbers.begin() + static_cast<std::ptrdiff_t>(position), 0.0);
    fill_keys(static_cast<int>(k), position);
  }
  if (folded_built) {
    folded_end.insert(folded_end.begin() + static_cast<std::ptrdiff_t>(position),
                      folded_start(position));
    refold(position, 0);
  }
  endInsertRows();
}

void RecordModel::removed(std::size_t position) {
  if (position >= ids.size()) return;
  const int row = static_cast<int>(position);
  const auto at = static_cast<std::ptrdiff_t>(position);
  beginRemoveRows(QModelIndex(), row, row);
  ids.erase(ids.begin() + at);
  for (key_cache& cache : keys) {
    if (!cache.built) continue;
    cache.numbers.erase(cache.numbers.begin() + at);
  }
  if (folded_built) {
    const std::size_t start = folded_start(position);
    const std::size_t size = folded_end[position] - start;
    folded.erase(start, size);
    folded_end.erase(folded_end.begin() + at);
    for (std::size_t k = position; k < folded_end.size(); ++k) folded_end[k] -= size;
  }
  endRemoveRows();
}

void RecordModel::changed(std::size_t position) {
  if (position >= ids.size()) return;
  for (std::size_t k = 0; k < keys.size(); ++k) {
    if (keys[k].built) fill_keys(static_cast<int>(k), position);
  }
  if (folded_built) refold(position, folded_end[position] - folded_start(position));
  const int row = static_cast<int>(position);
  emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

const Record* RecordModel::record_at(int row) const {
  if (store == nullptr || row < 0 || row >= static_cast<int>(ids.size())) return nullptr;
  return store->record(ids[static_cast<std::size_t>(row)]);
}

void RecordModel::fill_keys(int column, std::size_t row) const {
  key_cache& cache = keys[static_cast<std::size_t>(column)];
  const std::string& name = names[static_cast<std::size_t>(column)];
  const Record* record = record_at(static_cast<int>(row));
  if (cache.numeric) {
    cache.numbers[row] = record != nullptr ? number_of(*record, name) : 0.0;
    return;
  }
  const auto rank = cache.rank_of.constFind(record != nullptr ? text_of(*record, name) : QString());
  if (rank == cache.rank_of.constEnd()) {
    cache = key_cache{};
    return;
  }
  cache.numbers[row] = *rank;
}

void RecordModel::build_keys(int column) const {
  key_cache& cache = keys[static_cast<std::size_t>(column)];
  const std::string& name = names[static_cast<std::size_t>(column)];
  cache = key_cache{};
  cache.numeric = is_numeric(name);
  cache.numbers.assign(ids.size(), 0.0);
  if (cache.numeric) {
    for (std::size_t row = 0; row < ids.size(); ++row) fill_keys(column, row);
    cache.built = true;
    return;
  }
  // Each distinct text once, then ranked: far fewer texts than rows to sort
  // (operations repeat), and no text kept for each row.
  std::vector<QString> distinct;
  QHash<QString, int> slot_of;
  std::vector<int> row_slot(ids.size(), 0);
  for (std::size_t row = 0; row < ids.size(); ++row) {
    const Record* record = record_at(static_cast<int>(row));
    QString text = record != nullptr ? text_of(*record, name) : QString();
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
  for (std::size_t k = 0; k < order.size(); ++k) {
    rank[static_cast<std::size_t>(order[k])] = static_cast<double>(k);
    cache.rank_of.insert(distinct[static_cast<std::size_t>(order[k])], static_cast<double>(k));
  }
  for (std::size_t row = 0; row < ids.size(); ++row) {
    cache.numbers[row] = rank[static_cast<std::size_t>(row_slot[row])];
  }
  cache.built = true;
}

int RecordModel::compare(int column, int a, int b) const {
  if (column < 0 || column >= columnCount()) return 0;
  const key_cache& cache = keys[static_cast<std::size_t>(column)];
  if (!cache.built) build_keys(column);
  const double x = cache.numbers[static_cast<std::size_t>(a)];
  const double y = cache.numbers[static_cast<std::size_t>(b)];
  if (number_less(x, y)) return -1;
  return number_less(y, x) ? 1 : 0;
}

std::string RecordModel::folded_of(std::size_t row) const {
  const Record* record = record_at(static_cast<int>(row));
  std::string text;
  if (record == nullptr) return text;
  append_folded(text, record->operation());
  text += '\0';
  append_folded(text, record->notes());
  return text;
}

void RecordModel::refold(std::size_t row, std::size_t old_size) const {
  const std::string text = folded_of(row);
  folded.replace(folded_start(row), old_size, text);
  const std::size_t grown = text.size() - old_size;  // wraps around when it shrank
  for (std::size_t k = row; k < folded_end.size(); ++k) folded_end[k] += grown;
}

void RecordModel::build_folded() const {
  folded.clear();
  folded_end.clear();
  folded_end.reserve(ids.size());
  for (std::size_t row = 0; row < ids.size(); ++row) {
    const Record* record = record_at(static_cast<int>(row));
    if (record != nullptr) {
      append_folded(folded, record->operation());
      folded += '\0';
      append_folded(folded, record->notes());
    }
    folded_end.push_back(folded.size());
  }
  folded.shrink_to_fit();
  folded_built = true;
}

bool RecordModel::texts_contain(int row, std::string_view text) const {
  if (!folded_built) build_folded();
  const auto k = static_cast<std::size_t>(row);
  const std::size_t start = folded_start(k);
  return std::string_view(folded).substr(start, folded_end[k] - start).find(text) !=
         std::string_view::npos;
}

long RecordModel::date_at(int row) const {
  const Record* record = record_at(row);
  return record != nullptr ? record->date() : 0;
}

int RecordModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(ids.size());
}

int RecordModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(names.size());
}

QVariant RecordModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole && role != whole_text_role) return QVariant();
  if (!index.isValid() || index.column() >= columnCount()) return QVariant();
  const Record* record = record_at(index.row());
  if (record == nullptr) return QVariant();
  const QString text =
      to_widget_text(record->value(names[static_cast<std::size_t>(index.column())]));
  return role == whole_text_role ? text : one_line(text);
}

QVariant RecordModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
      section < labels.size()) {
    return labels.at(section);
  }
  return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags RecordModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

}  // namespace tarvik
