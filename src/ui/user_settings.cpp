#include "ui/user_settings.h"

namespace tarvik {

QSettings user_settings() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("tarvik"),
                   QStringLiteral("tarvik"));
}

}  // namespace tarvik
