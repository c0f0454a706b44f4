#ifndef TARVIK_UI_RECORD_TABLE_H_
#define TARVIK_UI_RECORD_TABLE_H_

#include <QString>
#include <QTableWidget>

namespace tarvik {

// The window's table of records: one row a record, one line high, the
// current row highlighted whole; cells cannot be edited in place, ranges
// cannot be selected, and typing does not move the current cell. A text
// that a cell shows cut short or on one line shows whole in its tooltip.
class RecordTable : public QTableWidget {
  Q_OBJECT

 public:
  explicit RecordTable(QWidget* parent);

  // Puts `text` into the cell as a new item the user cannot edit; line
  // breaks show as a symbol so that the row stays one line high.
  void set_cell(int row, int column, const QString& text);

  // The whole text of a cell, line breaks included; empty without an item.
  QString full_text(int row, int column) const;

 protected:
  void keyboardSearch(const QString& search) override;
  bool viewportEvent(QEvent* event) override;
};

}  // namespace tarvik

#endif  // TARVIK_UI_RECORD_TABLE_H_
