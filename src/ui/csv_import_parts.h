#ifndef TARVIK_UI_CSV_IMPORT_PARTS_H_
#define TARVIK_UI_CSV_IMPORT_PARTS_H_

#include <QAbstractListModel>
#include <QHeaderView>
#include <vector>

#include "transfer/csv_import.h"

class QComboBox;

// Parts of the import dialog (csv_import_dialog.h): the role boxes above the
// preview's columns, and the list of rows that cannot be read.
namespace tarvik {

// The roles a column can be given, in the order of the role boxes.
csv_role role_at(int index);
int role_index(csv_role role);
// Whether one column at most can have the role (all but Keep in Notes and
// Leave Out).
bool one_column_role(csv_role role);

// The table's column header with a role box below each column's name. The
// boxes live in the viewport, so they scroll with the sections. Box k is
// named "role_box_k".
class role_header : public QHeaderView {
 public:
  explicit role_header(QWidget* parent);

  // The box of `column`, made on first need; boxes beyond count() hide.
  QComboBox* box(int column);
  int box_height() const;
  // While held, resized sections leave the boxes where they are: sizing
  // every column would otherwise place every box once for each column.
  void hold(bool on);
  void place_boxes();

  QSize sizeHint() const override;

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logical_index) const override;
  void updateGeometries() override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  std::vector<QComboBox*> boxes;
  bool held = false;
};

// The rows that cannot be read, a line each, made as the list shows them:
// a wrong file may have millions of such rows.
class problem_lines : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  // `problems` must live until the next call.
  void show(const std::vector<import_problem>* problems);

  int rowCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  const std::vector<import_problem>* shown = nullptr;
};

}  // namespace tarvik

#endif  // TARVIK_UI_CSV_IMPORT_PARTS_H_
