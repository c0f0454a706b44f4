#ifndef TARVIK_UI_RECORD_EDITOR_H_
#define TARVIK_UI_RECORD_EDITOR_H_

#include <QString>
#include <QWidget>
#include <string>
#include <vector>

#include "data/file_data_source.h"

class QDialog;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tarvik {

class Record;

// The form for the five values of a record: a label and a box for each, a
// line that says what cannot be read, and OK and Cancel. The boxes start
// with the record's display texts. OK closes the dialog only when every box
// the user changed can be read (boxes that cannot are marked and the line
// says why and what form is expected); Cancel always closes it. The form
// never deletes the record or the dialog.
class RecordEditor : public QWidget {
  Q_OBJECT

 public:
  // Builds the form as a child of `dialog`, filled from `record` unless it
  // is null. The first box has the focus, its text selected.
  RecordEditor(Record* record, QDialog* dialog, const char* name = nullptr);
  ~RecordEditor() override;

  // Runs the modal "Edit Record" dialog on `record`, over `parent` at the
  // size its boxes need (maximised only when the screen is smaller). Returns
  // 1 when the user pressed OK (the record then holds the typed values), 0
  // when the user cancelled or closed it (the record is untouched). `flags`
  // is not used.
  static int editor_dialog(Record* record, QWidget* parent, const char* name, unsigned flags);
  // The same, showing what the file holds for values it could not read in
  // full (see show_file_texts).
  static int editor_dialog(Record* record, QWidget* parent, const char* name, unsigned flags,
                           const std::vector<unread_value>& in_file);

  // Shows under the box of each of `values`' fields what the file holds
  // ("In the file: 1.234,50", a NUL byte as "<NUL>"), since the box shows only
  // what was read of it. A box the user leaves as it is keeps the file's
  // text; typing a value replaces it.
  void show_file_texts(const std::vector<unread_value>& values);

 public slots:
  // Copies into the record the boxes whose text the user changed and that
  // can be read; every other value keeps its exact value, bytes and all. An
  // emptied number or date box also keeps its value; an emptied operation
  // or notes box stores an empty text. Does nothing for a null record.
  void ok_clicked();

 private:
  // Marks each changed box that cannot be read and says why on the problem
  // line; clears the marks of those that can. With `focus`, the first
  // marked box takes the focus. True when nothing is marked.
  bool check_boxes(bool focus);

  QPushButton* ok_button;
  QPushButton* cancel_button;
  QLineEdit* mileage_box;
  QLineEdit* date_box;
  QLineEdit* op_box;
  QLineEdit* cost_box;
  QPlainTextEdit* notes_box;
  QDialog* dialog;
  Record* record;
  QLabel* problem_label;
  // What each box showed when the form was built (the notes as their
  // document holds them), and the record's texts it showed them from.
  QString shown_mileage, shown_date, shown_operation, shown_cost, shown_notes;
  std::string operation_bytes, notes_bytes;
};

}  // namespace tarvik

#endif  // TARVIK_UI_RECORD_EDITOR_H_
