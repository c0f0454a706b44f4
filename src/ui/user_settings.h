#ifndef TARVIK_UI_USER_SETTINGS_H_
#define TARVIK_UI_USER_SETTINGS_H_

#include <QSettings>

namespace tarvik {

// The user's settings (~/.config/tarvik/tarvik.conf): the recent logs and
// the window's layout, read and written by every window and later start.
QSettings user_settings();

}  // namespace tarvik

#endif  // TARVIK_UI_USER_SETTINGS_H_
