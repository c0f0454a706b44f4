#ifndef TARVIK_UI_RECORD_EDITOR_H_
#define TARVIK_UI_RECORD_EDITOR_H_

#include <QWidget>

class QDialog;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tarvik {

class Record;

// The form for the five values of a record: a label and a box for each, and
// OK and Cancel, which accept or reject the dialog that holds the form. The
// boxes start with the record's display texts; ok_clicked() parses them back
// into the record. The form never deletes the record or the dialog.
class RecordEditor : public QWidget {
  Q_OBJECT

 public:
  // Builds the form as a child of `dialog`, filled from `record` unless it
  // is null.
  RecordEditor(Record* record, QDialog* dialog, const char* name = nullptr);
  ~RecordEditor() override;

  // Runs the modal "Edit Record" dialog on `record`, maximized. Returns 1
  // when the user pressed OK (the record then holds the typed values), 0
  // when the user cancelled or closed it (the record is untouched). `flags`
  // is not used.
  static int editor_dialog(Record* record, QWidget* parent, const char* name, unsigned flags);

 public slots:
  // Copies the boxes into the record: numbers by their longest prefix (an
  // empty box keeps the value), texts as typed, and the date when it reads
  // as year-month-day (local midnight, standard time). Does nothing for a
  // null record.
  void ok_clicked();

 private:
  QPushButton* ok_button;
  QPushButton* cancel_button;
  QLineEdit* mileage_box;
  QLineEdit* date_box;
  QLineEdit* op_box;
  QLineEdit* cost_box;
  QPlainTextEdit* notes_box;
  QDialog* dialog;
  Record* record;
};

}  // namespace tarvik

#endif  // TARVIK_UI_RECORD_EDITOR_H_
