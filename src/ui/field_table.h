#ifndef TARVIK_UI_FIELD_TABLE_H_
#define TARVIK_UI_FIELD_TABLE_H_

#include <QString>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "data/record.h"

class QPushButton;
class QTableWidget;

namespace tarvik {

// The fields of a record beyond the five (Record::other_fields) as a small
// table of two columns, key and text, with buttons to add a field and to
// remove the current one; a cell is changed in place. A row the user did
// not touch keeps its exact bytes.
class field_table : public QWidget {
  Q_OBJECT

 public:
  explicit field_table(QWidget* parent);

  // Shows `fields`, in their order.
  void show_fields(const std::vector<hash_element>& fields);

  // The fields as the table has them, in its order; a row left blank is
  // none. Empty, with `problem` saying why, when a key cannot be one of the
  // log (usable_field_key) or is among `taken` (keys with a box of their
  // own); the first such row is then current.
  std::optional<std::vector<hash_element>> fields(const std::vector<std::string_view>& taken,
                                                  QString& problem) const;

  QTableWidget* table() const { return table_; }

 private:
  void add_field();
  void remove_field();

  QTableWidget* table_;
  QPushButton* add_button_;
  QPushButton* remove_button_;
};

}  // namespace tarvik

#endif  // TARVIK_UI_FIELD_TABLE_H_
