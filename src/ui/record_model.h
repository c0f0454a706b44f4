#ifndef TARVIK_UI_RECORD_MODEL_H_
#define TARVIK_UI_RECORD_MODEL_H_

#include <QAbstractTableModel>
#include <QHash>
#include <QString>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

class DataSource;
class Record;

// The records of a store as a table: row i is the record whose identifier
// is identifiers()[i], in store order; one column a field, named by the key
// Record::value() takes. Cells are not kept: data() asks the record each
// time. Display texts are on one line (each line break as a return symbol);
// whole_text_role gives the text as stored. The model follows the store
// only as told: reload() after any change made behind its back, or one of
// inserted/removed/changed for a single step.
//
// For sorting and filtering it keeps, per column and only once asked, a key
// per row (numbers as numbers, dates as seconds, texts case-folded) and the
// case-folded operation and notes of each row; both follow every change the
// model is told about.
class RecordModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int whole_text_role = Qt::UserRole;

  // `names` are the columns' keys; `labels` their header texts.
  RecordModel(std::vector<std::string> names, QStringList labels, QObject* parent);

  // Shows every record of `store` afresh (null: none). The store must
  // outlive the model or the next reload().
  void reload(DataSource* store);
  // The record with `identifier` was put in at `position` of the store.
  void inserted(std::size_t position, int identifier);
  // The record at `position` left the store.
  void removed(std::size_t position);
  // The record at `position` got other values.
  void changed(std::size_t position);

  const std::vector<int>& identifiers() const { return ids; }
  // The record of a row, or null.
  const Record* record_at(int row) const;

  // How row `a` sorts against row `b` by `column`: below 0 before it, 0
  // with an equal key, above 0 after it. A number that is not a number
  // sorts after all others.
  int compare(int column, int a, int b) const;
  // Whether the row's operation or notes, case-folded as UTF-8, hold
  // `folded` (case-folded UTF-8 without NUL).
  bool texts_contain(int row, std::string_view folded) const;
  // The row's date in seconds.
  long date_at(int row) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  // A column's sort keys, one a row: the value for numeric fields; for
  // texts the rank of the folded text among the column's distinct texts,
  // so that sorting compares numbers either way. A text not ranked yet
  // drops the cache, to be built afresh when next asked for.
  struct key_cache {
    bool built = false;
    bool numeric = false;
    std::vector<double> numbers;
    QHash<QString, double> rank_of;
  };
  void build_keys(int column) const;
  void fill_keys(int column, std::size_t row) const;
  void build_folded() const;
  std::string folded_of(std::size_t row) const;
  // Puts the row's folded texts in place of `old_size` bytes at its start.
  void refold(std::size_t row, std::size_t old_size) const;
  std::size_t folded_start(std::size_t row) const { return row == 0 ? 0 : folded_end[row - 1]; }
  void drop_caches();

  std::vector<std::string> names;
  QStringList labels;
  DataSource* store = nullptr;
  std::vector<int> ids;
  mutable std::vector<key_cache> keys;
  // Every row's folded operation and notes (joined by a NUL), one row after
  // another in one buffer, and where each row's end: a few bytes a row
  // beyond the texts, where a string a row cost several allocations.
  mutable bool folded_built = false;
  mutable std::string folded;
  mutable std::vector<std::size_t> folded_end;
};

}  // namespace tarvik

#endif  // TARVIK_UI_RECORD_MODEL_H_
