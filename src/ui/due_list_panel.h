#ifndef TARVIK_UI_DUE_LIST_PANEL_H_
#define TARVIK_UI_DUE_LIST_PANEL_H_

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

class QTableWidget;

namespace tarvik {

class Record;
class due_file;

// The service intervals kept beside the log (insight/due_file.h) and what
// is due: for each interval its operation, limits, last done, next due,
// what is left and a projected date; overdue rows stand out in red, due
// soon in yellow. Intervals are added, changed and removed here, each
// change saved to the due file at once; what another program changed in
// the file is shown at the next look, and never written over.
class due_list_panel : public QWidget {
  Q_OBJECT

 public:
  due_list_panel(const std::string& log_path, QWidget* parent);
  ~due_list_panel() override;

  // Shows what is due in `log` (the whole log, not the rows a filter
  // shows) as of now. Returns how many intervals are due soon or overdue.
  std::size_t show_log(const std::vector<const Record*>& log);
  // Takes the intervals kept beside another log; show_log() shows them.
  // A change not saved is dropped: ask first (unsaved()).
  void open_log(const std::string& log_path);

  // A change of the intervals is not saved: the last save failed.
  bool unsaved() const { return unsaved_; }
  QString due_file_name() const;
  // Why the last save failed, in words for the user.
  QString save_error() const;
  // Tries the save again; true when nothing is left unsaved.
  bool save_again();

 signals:
  // The user changed the intervals; the owner shows the log again.
  void intervals_changed();

 private:
  void add_interval();
  void change_interval();
  void remove_interval();
  void save();
  // Saves; tells the user when another program's change came first, and,
  // with `tell_failure`, when the save failed. True when all is saved.
  bool write(bool tell_failure);
  // Takes the file anew when another program changed it and nothing here
  // waits to be saved; true when it did.
  bool read_again_if_changed();
  // Before acting on the current row: false (with the list shown anew and
  // the user told) when another program changed the intervals.
  bool rows_still_stand();

  std::unique_ptr<due_file> file_;
  // A change the last save could not write (it is written by the next).
  bool unsaved_ = false;
  QTableWidget* table_;
};

}  // namespace tarvik

#endif  // TARVIK_UI_DUE_LIST_PANEL_H_
