#ifndef TARVIK_UI_RECORD_TABLE_H_
#define TARVIK_UI_RECORD_TABLE_H_

#include <QString>
#include <QTableView>

namespace tarvik {

// The window's table of records: one row a record, one line high, the
// current row highlighted whole; cells cannot be edited in place, ranges
// cannot be selected, and typing does not move the current cell. A text
// that a cell shows cut short or on one line shows whole in its tooltip
// (the model's record_model::whole_text_role, else its display text).
//
// A click on a column's header sorts the model by it, a second reverses the
// order and a third returns to the model's own order (sort(-1)); the
// current row stays on its record and in view. Without rows the table
// shows its empty text in their place. Tab leaves the table.
class record_table : public QTableView {
  Q_OBJECT

 public:
  explicit record_table(QWidget* parent);

  void setModel(QAbstractItemModel* model) override;

  // The current row and column; -1 without a current cell.
  int current_row() const;
  int current_column() const;
  // Makes the cell current (and its row selected) and scrolls to it;
  // nothing for a cell outside the table.
  void make_current(int row, int column);

  // The whole text of a cell, line breaks included.
  QString full_text(int row, int column) const;

  // What the table says while it has no rows; empty: nothing.
  void set_empty_text(const QString& text);
  const QString& empty_text() const { return empty_text_; }

 protected:
  void keyboardSearch(const QString& search) override;
  bool viewportEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void sort_as_shown(int column, Qt::SortOrder order);

  QString empty_text_;
};

}  // namespace tarvik

#endif  // TARVIK_UI_RECORD_TABLE_H_
