#ifndef TARVIK_UI_RECORD_MODEL_H_
#define TARVIK_UI_RECORD_MODEL_H_

#include <QAbstractTableModel>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "insight/consumption.h"
#include "ui/folded_texts.h"

namespace tarvik {

class DataSource;
class Record;
struct left_out_reading;
enum class reading_fault;

// The records of a store as a table: row i is the record whose identifier
// is identifiers()[i], in store order; one column a field, named by the key
// Record::value() takes, or "fuel" for a fill-up's quantity, or
// "consumption" for the figure a full fill-up closes. Cells are not kept:
// data() asks the record each time; the consumption figures are worked out
// once at each change the model is told about (from the fill-ups alone). Display texts are on one line (each line break as a return symbol);
// whole_text_role gives the text as stored. Mileage and cost are shown in
// the user's locale (shown_number), right-aligned. The model follows the store
// only as told: reload() after any change made behind its back, or one of
// inserted/removed/changed for a single step.
//
// Sorting goes by a key per row (numbers as numbers, dates as seconds,
// texts case-folded), gathered for each sort and not kept. For filtering it
// keeps, once asked, the case-folded operation and notes of each row (as
// numbers of distinct texts), which follow every change the model is told
// about.
class record_model : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int whole_text_role = Qt::UserRole;

  // `names` are the columns' keys; `labels` their header texts.
  record_model(std::vector<std::string> names, QStringList labels, QObject* parent);

  // Shows every record of `store` afresh (null: none). The store must
  // outlive the model or the next reload().
  void reload(DataSource* store);
  // The record with `identifier` was put in at `position` of the store.
  void inserted(std::size_t position, int identifier);
  // The record at `position` left the store.
  void removed(std::size_t position);
  // The record at `position` got other values.
  void changed(std::size_t position);

  // New header texts for the columns (the log's units named in them).
  void set_labels(QStringList labels);

  const std::vector<int>& identifiers() const { return ids; }
  // Marks the Mileage cells of the entries left out of the odometer figures
  // (check_readings() of the log): a tooltip saying why, and a warning icon
  // on a reading that goes against the others.
  void mark_left_out(const std::vector<left_out_reading>& left_out);
  // Marks the rows of the records with these identifiers in the vertical
  // header: a warning icon, and the words as its tooltip. The map is the
  // caller's, looked up at each paint, and must outlive the model.
  void mark_problems(const std::unordered_map<int, QString>* marks) { problem_marks = marks; }
  // The record of a row, or null.
  const Record* record_at(int row) const;
  // Whether any row is a fill-up (has a "fuel" field).
  bool has_fill_ups() const { return !fill_ups.empty(); }
  // The consumption of the whole log, in its own units (consumption.h).
  const consumption& used() const { return used_; }
  // The figure the record with `identifier` closes, or null.
  const consumption_figure* figure_of(int identifier) const;
  // The units the consumption column shows its figures in.
  void show_consumption_in(distance_unit distance, volume_unit volume, consumption_unit unit);

  // Every row, in the order of `column`: a number that is not a number
  // sorts after all others, and rows with equal keys keep their order
  // (also when the order is descending).
  std::vector<int> sorted_rows(int column, Qt::SortOrder order) const;
  // Whether row `a` comes before row `b` in that order.
  bool row_before(int column, Qt::SortOrder order, int a, int b) const;

  // Which rows hold a text in their operation or notes; valid until the
  // model next changes.
  class text_search {
   public:
    bool holds(int row) const {
      const auto k = static_cast<std::size_t>(row);
      return held[(*operations)[k]] != 0 || held[(*notes)[k]] != 0;
    }

   private:
    friend class record_model;
    std::vector<char> held;  // per distinct text
    const std::vector<std::uint32_t>* operations = nullptr;
    const std::vector<std::uint32_t>* notes = nullptr;
  };
  // The rows whose operation or notes, case-folded as UTF-8, hold `folded`
  // (case-folded UTF-8 without NUL).
  text_search search_texts(std::string_view folded) const;
  // Whether the row's date in seconds lies in [first, end).
  bool dated_within(int row, long first, long end) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  // Every row's key by `column`: the value for numeric fields; for texts
  // the rank of the folded text among the column's distinct texts, so that
  // sorting compares numbers either way.
  std::vector<double> keys_of(int column) const;
  double number_at(const std::string& name, int row) const;
  QString text_at(const std::string& name, int row) const;
  // The numbers of the row's folded operation and notes.
  void fold_texts(std::size_t row) const;
  void build_texts() const;
  void drop_caches();
  // Notes whether the record of `row` is a fill-up.
  void note_fill_up(std::size_t row);
  // Works the consumption figures out anew from the fill-ups; with `tell`,
  // tells the views of the column.
  void count_consumption(bool tell);
  void emit_consumption_changed();
  // A figure of the log in the units shown.
  double shown_figure(const consumption_figure& figure) const;

  std::vector<std::string> names;
  QStringList labels;
  DataSource* store = nullptr;
  std::vector<int> ids;
  // By identifier: the readings that go against the others.
  std::unordered_map<int, reading_fault> against;
  const std::unordered_map<int, QString>* problem_marks = nullptr;
  // The identifiers of the fill-ups: most logs have none or a few.
  std::unordered_set<int> fill_ups;
  consumption used_;
  // By identifier of the closing fill-up: its place in used_.figures.
  std::unordered_map<int, std::size_t> figure_at;
  distance_unit distance_ = distance_unit::km;
  volume_unit volume_ = volume_unit::litre;
  consumption_unit consumption_unit_ = consumption_unit::litres_per_100_km;
  // Every row's operation and notes case-folded, as numbers of distinct
  // texts: a few bytes a row, where a string a row cost several
  // allocations and its own copy of texts that mostly repeat.
  mutable bool texts_built = false;
  mutable folded_texts texts;
  mutable std::vector<std::uint32_t> operation_texts;
  mutable std::vector<std::uint32_t> notes_texts;
};

}  // namespace tarvik

#endif  // TARVIK_UI_RECORD_MODEL_H_
