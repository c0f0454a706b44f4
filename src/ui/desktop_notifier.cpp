#include "ui/desktop_notifier.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace tarvik {

bool desktop_notifier::notify(const QString& summary, const QString& body, QString& error) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    error = bus.lastError().message();
    if (error.isEmpty()) error = QStringLiteral("no session bus");
    return false;
  }
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
  // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout
  call << QStringLiteral("Tarvik") << 0u << QStringLiteral("tarvik") << summary << body
       << QStringList() << QVariantMap() << -1;
  const QDBusMessage reply = bus.call(call, QDBus::Block, 10000);
  if (reply.type() == QDBusMessage::ErrorMessage) {
    error = reply.errorMessage();
    return false;
  }
  return true;
}

}  // namespace tarvik
