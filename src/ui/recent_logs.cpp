#include "ui/recent_logs.h"

#include <QFileInfo>
#include <QSettings>

#include "ui/user_settings.h"

namespace tarvik::recent_logs {
namespace {

const QString kKey = QStringLiteral("recent_logs");

QString normal(const QString& path) { return QFileInfo(path).absoluteFilePath(); }

void store(const QStringList& paths) {
  QSettings kept = user_settings();
  kept.setValue(kKey, paths);
}

}  // namespace

QStringList list() { return user_settings().value(kKey).toStringList(); }

void add(const QString& path) {
  const QString file = normal(path);
  QStringList paths = list();
  paths.removeAll(file);
  paths.prepend(file);
  while (paths.size() > kMaxRecentLogs) paths.removeLast();
  store(paths);
}

void remove(const QString& path) {
  QStringList paths = list();
  if (paths.removeAll(normal(path)) > 0) store(paths);
}

void clear() { store({}); }

}  // namespace tarvik::recent_logs
