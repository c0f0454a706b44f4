#ifndef TARVIK_UI_RECENT_LOGS_H_
#define TARVIK_UI_RECENT_LOGS_H_

#include <QString>
#include <QStringList>

// The logs the user opened last, newest first, kept in the user's settings
// (QSettings: ~/.config/tarvik/tarvik.conf) so that every window
// and every later start sees the same list. Paths are stored absolute and
// cleaned; a path is listed once; at most kMaxRecentLogs are kept.
namespace tarvik::recent_logs {

inline constexpr int kMaxRecentLogs = 8;

QStringList list();
// Puts `path` first.
void add(const QString& path);
void remove(const QString& path);
void clear();

}  // namespace tarvik::recent_logs

#endif  // TARVIK_UI_RECENT_LOGS_H_
