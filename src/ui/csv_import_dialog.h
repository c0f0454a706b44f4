#ifndef TARVIK_UI_CSV_IMPORT_DIALOG_H_
#define TARVIK_UI_CSV_IMPORT_DIALOG_H_

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "transfer/csv_import.h"
#include "transfer/csv_sections.h"
#include "transfer/text_encoding.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QLabel;
class QListView;
class QPushButton;
class QTableWidget;
class QVBoxLayout;

namespace tarvik {

class problem_lines;
class role_header;

// "Import CSV": a preview of the file's first rows and columns with what
// each column is to become, the separator, the decimal mark and the way dates
// are written (each preset from the file and changeable), and every row that
// cannot be read with its line. Columns past the preview's are kept in the
// notes, and a line says how many there are.
// The guesses are only a start: dates that could be read day first or month
// first are not imported until the user says which; no column is left out
// unless the user chooses so (columns the log has no field for go into the
// notes). The dialog does no file I/O: it is handed the text.
//
// A file of several tables (csv_sections.h) is shown as its sections, each
// with its own preview and choices; those checked (entries sections are,
// at first) are imported together. Sections that describe the vehicle or
// lists are shown, never imported as entries; where they name the
// vehicle's distance unit or name, a box offers them for the log. Where the
// file's distance unit is not `log_distance` ("km", "mi"; empty: not
// known), a warning says that the mileages come in as written; costs surely
// in another currency than `log_currency` (as the log's settings have it)
// are imported only once the user agrees to take them unconverted.
//
// A file that is not plain UTF-8 shows the encoding it is read in, in a
// box: another choice reads the file anew, its guesses made again.
class csv_import_dialog : public QDialog {
  Q_OBJECT

 public:
  // `text` is UTF-8.
  csv_import_dialog(QWidget* parent, const QString& file_name, std::string text,
                    const QString& log_distance = QString(),
                    const QString& log_currency = QString());
  csv_import_dialog(QWidget* parent, const QString& file_name, decoded_file file,
                    const QString& log_distance = QString(),
                    const QString& log_currency = QString());
  ~csv_import_dialog() override;

  // The entries the choices read, in file order; after accept(), those to
  // import. Rows that cannot be read are not among them.
  // Of a file of sections, those of the sections checked, in file order.
  const std::vector<imported_entry>& entries() const {
    return sectioned() ? combined.entries : outcome.entries;
  }
  const std::vector<import_problem>& problems() const {
    return sectioned() ? combined.problems : outcome.problems;
  }
  // What the file tells of the vehicle, when the user chose to use it for
  // the log; else empty.
  vehicle_facts facts_for_log() const;

 private:
  // The choices and cells of one section, while another is shown.
  struct section_state {
    csv_table table;
    std::vector<csv_role> roles;
    import_result outcome;
    bool dates_chosen = false;
    bool dates_known = false;
    bool decimals_chosen = false;
    bool escapes_chosen = false;
    bool dates_unclear = false;  // the warning shows
    int separator = 0;
    int decimals = 0;
    int dates = -1;
    bool escapes = false;
  };

  bool sectioned() const { return sections.size() > 1; }
  // The text's sections found, shown and guessed afresh.
  void read_sections();
  // The file's bytes read as the encoding box says.
  void read_as_chosen();
  // The section shown keeps its state; `index` is shown with its own.
  void store_section();
  void show_section(std::size_t index);
  // The entries and problems of the sections checked, and whether each of
  // them is ready to import.
  void collect();
  bool section_checked(std::size_t index) const;
  // The separator the section's text most likely uses, in the box.
  void preset_separator();
  // The separator changed: the cells, the columns' roles and the preview anew.
  void read_table();
  // Presets the date order from the date column, unless the user chose one.
  void guess_dates();
  // Presets the decimal mark from the number columns, unless the user chose.
  void guess_decimals();
  void fill_preview();
  // A column's role chosen; another column that had it keeps its cells in
  // the notes instead.
  void set_role(int column, csv_role role);
  // Reads the entries with the choices made and shows what became of them.
  void show_outcome();
  int date_column() const;

  std::string text;
  std::string bytes;  // the file's own, when not plain UTF-8
  QString log_distance;      // "km", "mi"; empty: not known
  std::string log_currency;  // as the log's settings write it
  QLabel* units_warning = nullptr;
  std::string unreadable;  // why the encoding chosen cannot read them
  std::vector<csv_section> sections;  // views into `text`
  std::vector<section_state> states;  // of each section; the shown one's is below
  std::size_t current = 0;
  import_result combined;
  bool all_ready = true;  // every section checked can be imported as chosen
  vehicle_facts found;
  csv_table table;
  std::vector<csv_role> roles;
  import_result outcome;
  bool dates_chosen = false;  // by the user: a guess no longer overrides it
  bool dates_known = false;   // an order is set (guessed clearly or chosen)
  bool decimals_chosen = false;
  bool escapes_chosen = false;
  // The role the last choice took from another column.
  struct displaced_role {
    int by = -1;
    std::size_t column = 0;
    csv_role role = csv_role::extra;
  } displaced;

  QVBoxLayout* layout;
  QWidget* button_row;  // the vehicle's box stands above it
  QComboBox* encoding_box = nullptr;
  QLabel* sections_label = nullptr;
  QListWidget* section_list = nullptr;
  QCheckBox* use_found_box = nullptr;
  QCheckBox* escapes_box;
  QComboBox* separator_box;
  QComboBox* dates_box;
  QComboBox* decimals_box;
  QLabel* dates_warning;
  QTableWidget* preview;
  role_header* header;
  QLabel* hidden_columns;  // says how many columns the preview leaves out
  QLabel* costs_note;      // costs made of quantity and price per unit
  QLabel* currencies_warning;
  QCheckBox* currencies_box;  // the user takes costs in several currencies
  QListView* problem_list;
  problem_lines* problem_texts;
  QLabel* summary;
  QPushButton* import_button;
};

}  // namespace tarvik

#endif  // TARVIK_UI_CSV_IMPORT_DIALOG_H_
