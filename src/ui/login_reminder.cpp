#include "ui/login_reminder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <string>

#include "data/replacement_file.h"
#include "ui/widget_text.h"

namespace tarvik::login_reminder {
namespace {

// The program as a desktop entry's Exec key takes it: quoted when it holds
// anything but plain characters, with \ " ` $ escaped.
QString exec_argument(const QString& program) {
  static const QString kPlain = QStringLiteral(
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._-+");
  bool plain = !program.isEmpty();
  for (const QChar c : program) plain = plain && kPlain.contains(c);
  if (plain) return program;
  QString quoted = program;
  for (const char* special : {"\\", "\"", "`", "$"}) {
    quoted.replace(QLatin1String(special), QStringLiteral("\\") + QLatin1String(special));
  }
  // The entry format escapes a backslash once more in a string value.
  quoted.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
  return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// The installed program when this is it; otherwise the one on PATH.
QString program() {
  const QString self = QCoreApplication::instance() != nullptr
                           ? QCoreApplication::applicationFilePath()
                           : QString();
  return QFileInfo(self).fileName() == QLatin1String("tarvik") ? self : QStringLiteral("tarvik");
}

}  // namespace

QString entry_path() {
  QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (config.isEmpty() || !QDir::isAbsolutePath(config)) config = QDir::homePath() + QStringLiteral("/.config");
  return config + QStringLiteral("/autostart/tarvik-due.desktop");
}

bool enabled() { return QFileInfo::exists(entry_path()); }

QString entry_text(const QString& program) {
  return QStringLiteral(
             "[Desktop Entry]\n"
             "Type=Application\n"
             "Name=Tarvik service reminder\n"
             "Comment=Tells at login when a service is due in a recent Tarvik log\n"
             "Exec=%1 --notify-due\n"
             "Icon=tarvik\n"
             "Terminal=false\n"
             "NoDisplay=true\n")
      .arg(exec_argument(program));
}

bool set_enabled(bool enable, QString& error) {
  const QString path = entry_path();
  if (!enable) {
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) return true;
    if (QFile::remove(path)) return true;
    error = QFile(path).errorString();
    return false;
  }
  if (!QDir().mkpath(QFileInfo(path).path())) {
    error = QStringLiteral("cannot make the folder %1").arg(QFileInfo(path).path());
    return false;
  }
  const std::string text = entry_text(program()).toUtf8().toStdString();
  std::string reason;
  if (write_whole_file(path.toLocal8Bit().toStdString(), text, reason)) return true;
  error = to_widget_text(reason);
  return false;
}

}  // namespace tarvik::login_reminder
