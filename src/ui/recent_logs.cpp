#include "ui/recent_logs.h"

#include <QFileInfo>
#include <QSettings>

namespace tarvik::recent_logs {
namespace {

const QString kKey = QStringLiteral("recent_logs");

QSettings settings() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("tarvik"),
                   QStringLiteral("tarvik"));
}

QString normal(const QString& path) { return QFileInfo(path).absoluteFilePath(); }

void store(const QStringList& paths) {
  QSettings kept = settings();
  kept.setValue(kKey, paths);
}

}  // namespace

QStringList list() { return settings().value(kKey).toStringList(); }

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
