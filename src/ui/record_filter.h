#ifndef TARVIK_UI_RECORD_FILTER_H_
#define TARVIK_UI_RECORD_FILTER_H_

#include <QAbstractProxyModel>
#include <QDate>
#include <QString>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvik {

class record_model;

// The window's view of a record_model: sorted by one column or in store
// order, and showing only the rows that hold a text in their operation or
// notes (letter case ignored, for every script) and whose date lies in a
// range of calendar days. It changes nothing in the model.
//
// Sorting goes by each record's value, not its display text; rows with
// equal keys stay in store order either way. Neither sorting nor filtering
// follows changes of records by itself: after the model changed, refresh()
// sorts and filters again (the view's rows otherwise stay where they were;
// a row the model put in shows, if the filter lets it in, in its place in
// store order, or last while sorted). A reset of the model is sorted and
// filtered at once. Across every change, persistent indexes (the current
// cell) stay on their records while these are shown.
//
// The rows shown are one vector of the model's row numbers, and, while
// sorted, a second holds every row in sorted order: a change of the filter
// picks from that order without sorting again, a search typed further
// picks from the rows shown only, and refresh() after a few changed
// records moves just those. The model never moves its rows or columns; it
// inserts, removes, changes and resets.
class record_filter : public QAbstractProxyModel {
  Q_OBJECT

 public:
  record_filter(record_model* model, QObject* parent);

  // Rows whose operation or notes contain `text`; an empty text keeps all.
  void set_text(const QString& text);
  // Rows dated from the first day to the last, both whole days in local
  // time; nothing keeps every date.
  void set_dates(std::optional<std::pair<QDate, QDate>> days);
  // Whether some row could be hidden.
  bool filtering() const;
  // Whether the rows are sorted by a column.
  bool sorting() const { return sort_column >= 0; }
  // After records changed or came: puts their rows in their sorted places
  // and filters every row anew (when sorted or filtering). What it shows
  // is what sorting and filtering every row anew would.
  void refresh();

  // The model's rows shown, top to bottom.
  const std::vector<int>& source_rows() const { return shown; }

  // By `column`; -1 returns to store order.
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  QModelIndex sibling(int row, int column, const QModelIndex& index) const override;
  QModelIndex buddy(const QModelIndex& index) const override;
  bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex mapToSource(const QModelIndex& proxy) const override;
  QModelIndex mapFromSource(const QModelIndex& source) const override;
  // Row numbers count the rows shown, whatever records they hold.
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  // Of `rows` (model rows; null: every row in store order), those the
  // filter lets in, in the same order.
  std::vector<int> filtered(const std::vector<int>* rows) const;
  // Sorts (while sorted) and filters every row.
  void rebuild();
  // Puts the rows that changed or came since in their sorted places (or
  // sorts again, when they are many).
  void place_moved();
  bool stale() const { return all_moved || !moved.empty(); }
  // Notes that the record of `row` changed or came.
  void moved_row(int row);
  // Filters again; from the rows shown when the filter only narrowed.
  void refilter(bool narrowed);
  // Shows the rows of `from` (as filtered()) in place of the rows shown, as
  // one change of the layout.
  void show_filtered(const std::vector<int>* from);
  // Every row in the order shown before filtering: null for store order.
  const std::vector<int>* every_row() const { return sorting() ? &order : nullptr; }

  void rows_about_to_be_removed(int first, int last);
  void rows_removed(int first, int last);
  void rows_inserted(int first, int last);
  void data_changed(const QModelIndex& top_left, const QModelIndex& bottom_right);

  record_model* records;
  std::string folded_text;  // UTF-8
  std::optional<std::pair<long, long>> seconds;  // [first, end)
  int sort_column = -1;
  Qt::SortOrder sort_order = Qt::AscendingOrder;
  // Every model row in sorted order while sorted, else empty.
  std::vector<int> order;
  // The model rows shown, top to bottom.
  std::vector<int> shown;
  // The rows whose record changed or came since the rows were sorted and
  // filtered, ascending; when there were many, all_moved instead.
  std::vector<int> moved;
  bool all_moved = false;
};

}  // namespace tarvik

#endif  // TARVIK_UI_RECORD_FILTER_H_
