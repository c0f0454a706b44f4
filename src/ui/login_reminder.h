#ifndef TARVIK_UI_LOGIN_REMINDER_H_
#define TARVIK_UI_LOGIN_REMINDER_H_

#include <QString>

// "Remind me at login": an XDG autostart entry,
// $XDG_CONFIG_HOME/autostart/tarvik-due.desktop (~/.config when unset),
// that runs `tarvik --notify-due` when the user logs in. It is the user's,
// for every log on the recent list, not one log's.
namespace tarvik::login_reminder {

QString entry_path();
// Whether the entry is there.
bool enabled();
// Writes the entry (crash-safely, as a regular file only) or removes it;
// false with `error` when that failed.
bool set_enabled(bool enabled, QString& error);
// The entry's text, running `program` (quoted as the entry format wants).
QString entry_text(const QString& program);

}  // namespace tarvik::login_reminder

#endif  // TARVIK_UI_LOGIN_REMINDER_H_
