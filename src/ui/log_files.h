#ifndef TARVIK_UI_LOG_FILES_H_
#define TARVIK_UI_LOG_FILES_H_

class QMenu;
class QWidget;

namespace tarvik {

class open_log;

// The commands that turn the window to another log (one a vehicle); each
// asks over `parent` and opens through open_log::open, which asks about a
// change not saved and never turns to a log it cannot read.

// File > Open…: a log the user picks.
void choose_log_to_open(QWidget* parent, open_log& log);
// File > New Log…: a new, empty log, named by the user (".txt" added to a
// name without an ending); one that is there already is offered to be
// opened instead, never replaced.
void choose_new_log(QWidget* parent, open_log& log);
// File > Open Recent, filled as it opens: the recent logs newest first,
// and Clear Menu. A log no longer there is said so and taken off the list.
void fill_recent_menu(QMenu* menu, QWidget* parent, open_log& log);

}  // namespace tarvik

#endif  // TARVIK_UI_LOG_FILES_H_
