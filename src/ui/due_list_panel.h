#ifndef TARVIK_UI_DUE_LIST_PANEL_H_
#define TARVIK_UI_DUE_LIST_PANEL_H_

#include <QString>
#include <QWidget>
#include <vector>

class QTableWidget;

namespace tarvik {

class Record;
class open_log;
struct left_out_reading;

// The service intervals kept beside the log (insight/due_file.h) and what
// is due: for each interval its operation, limits, last done, when it is
// due and by which limit, what is left and its state, in words
// (due_texts.h) and an icon; overdue rows stand out in a red tint of the
// palette's background, due soon or by the estimate in a yellow one, the
// text chosen with it to read in light and dark themes alike. Intervals
// are added, changed and removed here as steps of the log's undo history
// (interval_commands.h), each saved to the due file at once; what another program changed in
// the file is shown at the next look, and never written over. The file and
// its saving belong to the open log (open_log.h), which may turn to
// another log's intervals meanwhile.
class due_list_panel : public QWidget {
  Q_OBJECT

 public:
  due_list_panel(open_log& log, QWidget* parent);
  ~due_list_panel() override;

  // Shows what is due in `log` (the whole log, not the rows a filter
  // shows) as of now, its readings checked as `left_out` says
  // (check_readings() of `log`). Returns count_due() of the list.
  std::size_t show_log(const std::vector<const Record*>& log,
                       const std::vector<left_out_reading>& left_out);
  // The same, checking the readings itself.
  std::size_t show_log(const std::vector<const Record*>& log);

  // The log's distance unit, named beside each distance ("km"); empty: no
  // unit word. Shown from the next show_log().
  void set_distance_unit(const QString& unit);

 signals:
  // Another program's intervals were read in before the user acted on the
  // list; the owner shows the log again. (After a save, the open log tells
  // its view.)
  void intervals_changed();

 private:
  void add_interval();
  void change_interval();
  void remove_interval();
  // The rows' tints and text colours, from the palette.
  void recolour();
  void changeEvent(QEvent* event) override;
  // Before acting on the current row: false (with the list shown anew and
  // the user told) when another program changed the intervals.
  bool rows_still_stand();

  open_log& log_;
  QTableWidget* table_;
  QString unit_;
};

}  // namespace tarvik

#endif  // TARVIK_UI_DUE_LIST_PANEL_H_
