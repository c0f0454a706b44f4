#include "ui/record_filter.h"

#include <QDate>
#include <QDateTime>

#include "ui/record_model.h"

namespace tarvik {

RecordFilter::RecordFilter(RecordModel* model, QObject* parent)
    : QSortFilterProxyModel(parent), records(model) {
  // Sorting and filtering again at every change would cost a million-row
  // log a pass per keystroke in the editor; the window asks with refresh().
  setDynamicSortFilter(false);
  setSourceModel(model);
}

void RecordFilter::set_text(const QString& text) {
  // Each record's texts are joined by a NUL, which a search must not span.
  QString folded_letters = text.toCaseFolded();
  folded_letters.remove(QChar(u'\0'));
  std::string folded = folded_letters.toStdString();
  if (folded == folded_text) return;
  folded_text = folded;
  // In full: rows the filter lets in again are to take their sorted places.
  invalidate();
}

void RecordFilter::set_dates(std::optional<std::pair<QDate, QDate>> days) {
  std::optional<std::pair<long, long>> range;
  if (days) {
    range = std::make_pair(static_cast<long>(days->first.startOfDay().toSecsSinceEpoch()),
                           static_cast<long>(days->second.addDays(1).startOfDay().toSecsSinceEpoch()));
  }
  if (range == seconds) return;
  seconds = range;
  invalidate();
}

bool RecordFilter::filtering() const { return !folded_text.empty() || seconds.has_value(); }

void RecordFilter::refresh() {
  if (sorting() || filtering()) invalidate();
}

QVariant RecordFilter::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Vertical && role == Qt::DisplayRole) return section + 1;
  return QSortFilterProxyModel::headerData(section, orientation, role);
}

bool RecordFilter::filterAcceptsRow(int source_row, const QModelIndex& /*source_parent*/) const {
  if (seconds) {
    const long date = records->date_at(source_row);
    if (date < seconds->first || date >= seconds->second) return false;
  }
  return folded_text.empty() || records->texts_contain(source_row, folded_text);
}

bool RecordFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
  const int a = left.row();
  const int b = right.row();
  if (const int order = records->compare(left.column(), a, b); order != 0) return order < 0;
  // Equal keys keep store order, also when the order is reversed (which
  // asks lessThan(right, left)).
  return sortOrder() == Qt::AscendingOrder ? a < b : a > b;
}

}  // namespace tarvik
