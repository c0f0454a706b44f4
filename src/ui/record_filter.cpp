#include "ui/record_filter.h"

#include <QDateTime>
#include <algorithm>

#include "ui/record_model.h"

namespace tarvik {
namespace {

// Up to this many changed rows are moved one by one; more are sorted anew.
constexpr std::size_t kFewRows = 64;

}  // namespace

record_filter::record_filter(record_model* model, QObject* parent)
    : QAbstractProxyModel(parent), records(model) {
  QAbstractProxyModel::setSourceModel(model);
  connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
  connect(model, &QAbstractItemModel::modelReset, this, [this] {
    std::vector<int>().swap(order);
    std::vector<int>().swap(shown);
    if (sorting()) order = records->sorted_rows(sort_column, sort_order);
    shown = filtered(sorting() ? &order : nullptr);
    moved.clear();
    all_moved = false;
    endResetModel();
  });
  connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
          [this](const QModelIndex&, int first, int last) { rows_about_to_be_removed(first, last); });
  connect(model, &QAbstractItemModel::rowsRemoved, this,
          [this](const QModelIndex&, int first, int last) { rows_removed(first, last); });
  connect(model, &QAbstractItemModel::rowsInserted, this,
          [this](const QModelIndex&, int first, int last) { rows_inserted(first, last); });
  connect(model, &QAbstractItemModel::dataChanged, this, &record_filter::data_changed);
  connect(model, &QAbstractItemModel::headerDataChanged, this, &record_filter::headerDataChanged);
  shown = filtered(nullptr);
}

void record_filter::set_text(const QString& text) {
  // A search never spans a record's operation and notes, which are
  // searched each for itself: a NUL in the search would only match inside
  // one of them.
  QString folded_letters = text.toCaseFolded();
  folded_letters.remove(QChar(u'\0'));
  std::string folded = folded_letters.toStdString();
  if (folded == folded_text) return;
  // Typed further, the search can only hide more of the rows shown.
  const bool narrowed = folded.find(folded_text) != std::string::npos;
  folded_text = std::move(folded);
  refilter(narrowed);
}

void record_filter::set_dates(std::optional<std::pair<QDate, QDate>> days) {
  std::optional<std::pair<long, long>> range;
  if (days) {
    range = std::make_pair(static_cast<long>(days->first.startOfDay().toSecsSinceEpoch()),
                           static_cast<long>(days->second.addDays(1).startOfDay().toSecsSinceEpoch()));
  }
  if (range == seconds) return;
  seconds = range;
  refilter(false);
}

bool record_filter::filtering() const { return !folded_text.empty() || seconds.has_value(); }

void record_filter::refresh() {
  if (stale() && (sorting() || filtering())) {
    place_moved();
    show_filtered(every_row());
  }
  moved.clear();
  all_moved = false;
}

void record_filter::sort(int column, Qt::SortOrder direction) {
  sort_column = column;
  sort_order = direction;
  rebuild();
}

std::vector<int> record_filter::filtered(const std::vector<int>* rows) const {
  const int all = records->rowCount();
  const auto each = [&](auto&& take) {
    if (rows == nullptr) {
      for (int row = 0; row < all; ++row) take(row);
    } else {
      for (const int row : *rows) take(row);
    }
  };
  if (!filtering()) {
    if (rows != nullptr) return *rows;
    std::vector<int> kept(static_cast<std::size_t>(all));
    for (int row = 0; row < all; ++row) kept[static_cast<std::size_t>(row)] = row;
    return kept;
  }
  std::optional<record_model::text_search> search;
  if (!folded_text.empty()) search = records->search_texts(folded_text);
  const auto accepts = [&](int row) {
    if (search && !search->holds(row)) return false;
    return !seconds || records->dated_within(row, seconds->first, seconds->second);
  };
  // Counted first, so that the rows shown take no more room than they need.
  std::vector<bool> accepted;
  accepted.reserve(rows != nullptr ? rows->size() : static_cast<std::size_t>(all));
  std::size_t count = 0;
  each([&](int row) {
    accepted.push_back(accepts(row));
    count += accepted.back() ? 1 : 0;
  });
  std::vector<int> kept;
  kept.reserve(count);
  std::size_t at = 0;
  each([&](int row) {
    if (accepted[at++]) kept.push_back(row);
  });
  return kept;
}

void record_filter::rebuild() {
  std::vector<int>().swap(order);
  if (sorting()) order = records->sorted_rows(sort_column, sort_order);
  moved.clear();
  all_moved = false;
  show_filtered(every_row());
}

void record_filter::place_moved() {
  if (sorting() && all_moved) order = records->sorted_rows(sort_column, sort_order);
  if (sorting() && !all_moved) {
    order.erase(std::remove_if(order.begin(), order.end(),
                               [&](int row) {
                                 return std::binary_search(moved.begin(), moved.end(), row);
                               }),
                order.end());
    for (const int row : moved) {
      const auto at = std::lower_bound(order.begin(), order.end(), row, [&](int other, int placed) {
        return records->row_before(sort_column, sort_order, other, placed);
      });
      order.insert(at, row);
    }
  }
  moved.clear();
  all_moved = false;
}

void record_filter::refilter(bool narrowed) {
  if (stale()) {
    // A changed record may now pass the filter, or take another place.
    place_moved();
    show_filtered(every_row());
  } else if (narrowed && static_cast<int>(shown.size()) < records->rowCount()) {
    show_filtered(&shown);
  } else {
    show_filtered(every_row());
  }
}

void record_filter::show_filtered(const std::vector<int>* from) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  // Each persistent index's record, looked for in one pass over the new
  // rows: there are a handful (the current cell, the selection).
  std::vector<std::pair<int, int>> wanted;  // (model row, which)
  for (int k = 0; k < before.size(); ++k) {
    const int row = before[k].row();
    if (row >= 0 && row < static_cast<int>(shown.size())) {
      wanted.emplace_back(shown[static_cast<std::size_t>(row)], k);
    }
  }
  std::sort(wanted.begin(), wanted.end());
  // The rows shown so far go before the new are gathered, unless picked
  // from: a million rows take 4 MB each.
  if (from != &shown) std::vector<int>().swap(shown);
  std::vector<int> rows = filtered(from);
  std::vector<int> found(static_cast<std::size_t>(before.size()), -1);
  std::size_t left = wanted.size();
  for (std::size_t at = 0; at < rows.size() && left > 0; ++at) {
    auto match = std::lower_bound(wanted.begin(), wanted.end(), std::make_pair(rows[at], -1));
    for (; match != wanted.end() && match->first == rows[at]; ++match, --left) {
      found[static_cast<std::size_t>(match->second)] = static_cast<int>(at);
    }
  }
  shown = std::move(rows);
  QModelIndexList after;
  after.reserve(before.size());
  for (int k = 0; k < before.size(); ++k) {
    const int row = found[static_cast<std::size_t>(k)];
    after.append(row >= 0 ? createIndex(row, before[k].column()) : QModelIndex());
  }
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void record_filter::rows_about_to_be_removed(int first, int last) {
  // Taken out while the model still holds them, so that every row shown
  // reads the record it read before; the numbers move once they are gone.
  for (int row = static_cast<int>(shown.size()) - 1; row >= 0; --row) {
    const int source = shown[static_cast<std::size_t>(row)];
    if (source < first || source > last) continue;
    beginRemoveRows(QModelIndex(), row, row);
    shown.erase(shown.begin() + row);
    endRemoveRows();
  }
  const auto gone = [&](int source) { return source >= first && source <= last; };
  order.erase(std::remove_if(order.begin(), order.end(), gone), order.end());
  moved.erase(std::remove_if(moved.begin(), moved.end(), gone), moved.end());
}

void record_filter::rows_removed(int first, int last) {
  const int count = last - first + 1;
  for (std::vector<int>* rows : {&shown, &order, &moved}) {
    for (int& source : *rows) {
      if (source > last) source -= count;
    }
  }
}

void record_filter::rows_inserted(int first, int last) {
  const int count = last - first + 1;
  for (std::vector<int>* rows : {&shown, &order, &moved}) {
    for (int& source : *rows) {
      if (source >= first) source += count;
    }
  }
  std::vector<int> added;
  for (int source = first; source <= last; ++source) added.push_back(source);
  added = filtered(&added);
  if (sorting()) {
    // Sorted into place by the next refresh().
    for (int source = first; source <= last; ++source) {
      order.push_back(source);
      moved_row(source);
    }
  }
  if (added.empty()) return;
  // Unsorted, the rows shown are in store order, and the new ones go where
  // the model put them: what a refresh would show.
  const auto at = sorting() ? shown.end() : std::lower_bound(shown.begin(), shown.end(), first);
  const auto row = static_cast<int>(at - shown.begin());
  beginInsertRows(QModelIndex(), row, row + static_cast<int>(added.size()) - 1);
  shown.insert(shown.begin() + row, added.begin(), added.end());
  endInsertRows();
}

void record_filter::data_changed(const QModelIndex& top_left, const QModelIndex& bottom_right) {
  if (!top_left.isValid() || !bottom_right.isValid()) return;
  if (top_left.row() == bottom_right.row()) {
    moved_row(top_left.row());
  } else {
    all_moved = true;
  }
  if (shown.empty()) return;
  const int last_column = columnCount() - 1;
  if (top_left.row() == bottom_right.row()) {
    const auto found = std::find(shown.begin(), shown.end(), top_left.row());
    if (found == shown.end()) return;
    const auto row = static_cast<int>(found - shown.begin());
    emit dataChanged(index(row, 0), index(row, last_column));
    return;
  }
  emit dataChanged(index(0, 0), index(static_cast<int>(shown.size()) - 1, last_column));
}

void record_filter::moved_row(int row) {
  if (all_moved) return;
  const auto at = std::lower_bound(moved.begin(), moved.end(), row);
  if (at != moved.end() && *at == row) return;
  moved.insert(at, row);
  if (moved.size() > kFewRows) {
    moved.clear();
    all_moved = true;
  }
}

QModelIndex record_filter::index(int row, int column, const QModelIndex& parent) const {
  if (parent.isValid() || row < 0 || row >= static_cast<int>(shown.size()) || column < 0 ||
      column >= columnCount()) {
    return QModelIndex();
  }
  return createIndex(row, column);
}

QModelIndex record_filter::parent(const QModelIndex& /*child*/) const { return QModelIndex(); }

QModelIndex record_filter::sibling(int row, int column, const QModelIndex& /*index*/) const {
  return index(row, column);
}

QModelIndex record_filter::buddy(const QModelIndex& index) const { return index; }

bool record_filter::hasChildren(const QModelIndex& parent) const {
  return !parent.isValid() && !shown.empty() && columnCount() > 0;
}

int record_filter::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(shown.size());
}

int record_filter::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : records->columnCount();
}

QModelIndex record_filter::mapToSource(const QModelIndex& proxy) const {
  if (!proxy.isValid() || proxy.model() != this || proxy.row() >= static_cast<int>(shown.size())) {
    return QModelIndex();
  }
  return records->index(shown[static_cast<std::size_t>(proxy.row())], proxy.column());
}

QModelIndex record_filter::mapFromSource(const QModelIndex& source) const {
  if (!source.isValid()) return QModelIndex();
  // Asked for a row at a time, after a change: a pass over the rows beats
  // keeping a second map of a million rows.
  const auto found = std::find(shown.begin(), shown.end(), source.row());
  if (found == shown.end()) return QModelIndex();
  return index(static_cast<int>(found - shown.begin()), source.column());
}

QVariant record_filter::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal) return records->headerData(section, orientation, role);
  if (role == Qt::DisplayRole) return section + 1;
  if (section < 0 || section >= static_cast<int>(shown.size())) return QVariant();
  return records->headerData(shown[static_cast<std::size_t>(section)], orientation, role);
}

}  // namespace tarvik
