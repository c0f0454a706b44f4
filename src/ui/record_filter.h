#ifndef TARVIK_UI_RECORD_FILTER_H_
#define TARVIK_UI_RECORD_FILTER_H_

#include <QSortFilterProxyModel>
#include <QString>
#include <optional>
#include <string>
#include <utility>

namespace tarvik {

class RecordModel;

// The window's view of a RecordModel: sorted by one column or in store
// order, and showing only the rows that hold a text in their operation or
// notes (letter case ignored, for every script) and whose date lies in a
// range of calendar days. It changes nothing in the model.
//
// Sorting goes by each record's value, not its display text; rows with
// equal keys stay in store order either way. Neither sorting nor filtering
// follows changes by itself: after the model changed, refresh() sorts and
// filters again (the view's rows otherwise stay where they were).
class RecordFilter : public QSortFilterProxyModel {
  Q_OBJECT

 public:
  RecordFilter(RecordModel* model, QObject* parent);

  // Rows whose operation or notes contain `text`; an empty text keeps all.
  void set_text(const QString& text);
  // Rows dated from the first day to the last, both whole days in local
  // time; nothing keeps every date.
  void set_dates(std::optional<std::pair<QDate, QDate>> days);
  // Whether some row could be hidden.
  bool filtering() const;
  // Whether the rows are sorted by a column.
  bool sorting() const { return sortColumn() >= 0; }
  // Sorts and filters every row anew, when sorted or filtering.
  void refresh();

  // Row numbers count the rows shown, whatever records they hold.
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 protected:
  bool filterAcceptsRow(int source_row, const QModelIndex& source_parent) const override;
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

 private:
  RecordModel* records;
  std::string folded_text;  // UTF-8
  std::optional<std::pair<long, long>> seconds;  // [first, end)
};

}  // namespace tarvik

#endif  // TARVIK_UI_RECORD_FILTER_H_
