#ifndef TARVIK_UI_SHORTCUT_LIST_H_
#define TARVIK_UI_SHORTCUT_LIST_H_

#include <QString>

class QAction;
class QMainWindow;

namespace tarvik {

// An action's name as a list or tip shows it: without its mnemonic mark
// and the dots of a command that asks first ("&New Entry…": "New Entry").
QString plain_name(const QAction* action);

// "New Entry (Ctrl+N)": the name with the first shortcut, as the desktop
// writes keys; the name alone without one.
QString tip_with_shortcut(const QAction* action);

// Help > Keyboard Shortcuts: a modal list of every menu entry of `window`
// that has a shortcut, read from the menus as they are when it opens, and
// the keys that no menu holds (the filter's and the dialog's).
void show_shortcuts(QMainWindow* window);

}  // namespace tarvik

#endif  // TARVIK_UI_SHORTCUT_LIST_H_
