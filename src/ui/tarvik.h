#ifndef TARVIK_UI_TARVIK_H_
#define TARVIK_UI_TARVIK_H_

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

class QTableWidget;
class QToolBar;

namespace tarvik {

class DataSource;
class Record;

// One column of the table: its header label, which is also the key under
// which a record gives the cell text, and its width in pixels.
struct colinfo {
  std::string name;
  int width = 0;
};

// The main window: every record of the log at $HOME/tarvik.txt as one row
// of a five-column table, in store order, and a tool bar with New, Edit and
// Delete. Row i shows the record whose identifier is ids[i]. Every change is
// committed at once; when that fails the window says so and keeps the change,
// which the next successful commit writes.
class Tarvik : public QMainWindow {
  Q_OBJECT

 public:
  // Opens the log and fills the table; the window is complete, not shown.
  explicit Tarvik(QWidget* parent = nullptr, const char* name = nullptr);
  ~Tarvik() override;

  // The log file the window works on.
  const std::string& log_path() const { return path; }
  // The identifier shown in each row, for tests.
  const std::vector<int>& row_identifiers() const { return ids; }

 private slots:
  void new_record();
  void edit_record();
  void delete_record();

 private:
  void set_defaults();
  void setup_toolbar();
  // Fills row `row` with the record's display texts, one new item a cell.
  void fill_row(int row, const Record& record);
  // Commits the store; tells the user when the change could not be saved.
  void commit();

  std::unique_ptr<DataSource> data_source;
  std::vector<std::unique_ptr<colinfo>> columns;
  QTableWidget* table;
  QToolBar* toolbar;
  std::vector<int> ids;
  std::string path;
};

// $HOME/tarvik.txt, joined as it stands; without HOME, the home directory
// from the password database.
std::string log_file_path();

}  // namespace tarvik

#endif  // TARVIK_UI_TARVIK_H_
