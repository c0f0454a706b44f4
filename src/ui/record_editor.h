#ifndef TARVIK_UI_RECORD_EDITOR_H_
#define TARVIK_UI_RECORD_EDITOR_H_

#include <QString>
#include <QStringList>
#include <QWidget>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/file_data_source.h"
#include "insight/units.h"

class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tarvik {

class Record;
class field_table;

// What the dialog knows of the rest of the log: the date and mileage of
// every other entry, to check a typed reading against, and the operations
// written so far, to complete the Operation box from.
struct log_context {
  struct reading {
    long date = 0;
    double mileage = 0;
  };
  std::vector<reading> readings;
  QStringList operations;
  // The log's volume unit, which a fill-up's quantity and price name
  // ("Fuel (l)", "Energy (kWh)"); empty: none named.
  std::optional<volume_unit> volume;
};

// The context of `records` without the one whose identifier is `editing`
// (-1: none). Operations are listed once each, as first written, however
// their letter case or blanks at the ends differ.
log_context context_of(const std::vector<const Record*>& records, int editing);

// The mileage of the latest-dated entry with a reading (a finite mileage
// above 0); empty when none has one. Of entries on the same date, the
// later in the list.
std::optional<double> latest_reading(const log_context& log);

// Why a mileage of `mileage` dated `date` goes against the readings of
// `log`: a text per direction, "lower than 150,210 on 2024-03-01" for the
// nearest earlier-dated entry with a higher reading, "higher than ... on
// ..." for the nearest later-dated one with a lower reading. Dates are
// compared as local calendar days; a mileage of 0 or not finite, on either
// side, is no reading and never complained of. Empty when it fits.
QStringList implausible_reading(const log_context& log, long date, double mileage);

// The form for the five values of a record: a label and a box for each,
// under the notes a table of its other fields (Record::other_fields), a
// line that says what cannot be read, and OK and Cancel. For a fill-up (an
// entry with a "fuel" field, or a new one) boxes for the quantity and the
// price per unit and a "filled to full" check box follow the cost: of
// quantity, price and cost, the two the user typed give the third as they
// are typed; where all three are typed, nothing is worked out. The boxes start
// with the record's display texts. OK closes the dialog only when every box
// the user changed can be read (boxes that cannot are marked and the line
// says why and what form is expected); Cancel always closes it. The form
// never deletes the record or the dialog.
class RecordEditor : public QWidget {
  Q_OBJECT

 public:
  // Builds the form as a child of `dialog`, filled from `record` unless it
  // is null. The first box has the focus, its text selected.
  RecordEditor(Record* record, QDialog* dialog, const char* name = nullptr, bool fill_up = false);
  ~RecordEditor() override;

  // Runs the modal "Edit Record" dialog on `record`, over `parent` at the
  // size its boxes need (maximised only when the screen is smaller). Returns
  // 1 when the user pressed OK (the record then holds the typed values), 0
  // when the user cancelled or closed it (the record is untouched). `flags`:
  // kNewEntry titles it "New Entry", for a record not yet in the log;
  // kNewFillUp makes it the "New Fill-up" dialog, with the fill-up's boxes.
  static constexpr unsigned kNewEntry = 1;
  static constexpr unsigned kNewFillUp = 2;
  static int editor_dialog(Record* record, QWidget* parent, const char* name, unsigned flags);
  // The same, showing what the file holds for values it could not read in
  // full (see show_file_texts).
  static int editor_dialog(Record* record, QWidget* parent, const char* name, unsigned flags,
                           const std::vector<unread_value>& in_file);
  // The same, checking the mileage against `log` and completing the
  // operation from it.
  static int editor_dialog(Record* record, QWidget* parent, const char* name, unsigned flags,
                           const std::vector<unread_value>& in_file, const log_context& log);

  // Warns under the boxes, as the user types, when the mileage goes against
  // the readings of `log` (see implausible_reading), and completes the
  // operation from its operations, in any letter case; names the log's
  // volume unit beside a fill-up's boxes. The warning never keeps OK from
  // saving.
  void use_log(log_context log);

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
  // Shows beside each changed number box the value its text reads as, and
  // the warning line for the mileage.
  void show_readings();
  // Works out the one of quantity, price and cost the user has not typed
  // from the two typed, after the user typed in `box`.
  void work_out_fill_up(QLineEdit* box);
  // Writes the fill-up's boxes and the table into the record's other
  // fields.
  void store_other_fields();
  // The keys of fields with boxes of their own (none unless a fill-up's).
  std::vector<std::string_view> fill_up_keys() const;

  // The mileage and date the record would get from the boxes as they are:
  // a changed box that reads, else the record's own value.
  std::optional<double> typed_mileage() const;
  std::optional<long> typed_date() const;

  QPushButton* ok_button;
  QPushButton* cancel_button;
  QLineEdit* mileage_box;
  QLineEdit* date_box;
  QLineEdit* op_box;
  QLineEdit* cost_box;
  QPlainTextEdit* notes_box;
  // The fill-up's boxes: null unless shown.
  QLineEdit* quantity_box = nullptr;
  QLabel* quantity_label = nullptr;
  QLabel* price_label = nullptr;
  QLineEdit* price_box = nullptr;
  QCheckBox* full_box = nullptr;
  field_table* fields;
  QDialog* dialog;
  Record* record;
  QLabel* problem_label;
  QLabel* mileage_read;
  QLabel* cost_read;
  QLabel* mileage_warning;
  log_context log;
  // What each box showed when the form was built (the notes as their
  // document holds them), and the record's texts it showed them from.
  QString shown_mileage, shown_date, shown_operation, shown_cost, shown_notes;
  QString shown_quantity, shown_price;
  bool shown_full = false;
  // Of quantity, price and cost, the boxes the user has typed in (and not
  // emptied since): the others may be worked out.
  std::vector<QLineEdit*> typed;
  std::string operation_bytes, notes_bytes;
};

}  // namespace tarvik

#endif  // TARVIK_UI_RECORD_EDITOR_H_
