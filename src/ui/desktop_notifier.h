#ifndef TARVIK_UI_DESKTOP_NOTIFIER_H_
#define TARVIK_UI_DESKTOP_NOTIFIER_H_

#include "ui/due_reminder.h"

namespace tarvik {

// A notification on the desktop through the freedesktop notification
// service on the session bus (org.freedesktop.Notifications). Needs a
// QCoreApplication; fails, saying why, where no session bus or no
// notification service runs.
class desktop_notifier : public notifier {
 public:
  bool notify(const QString& summary, const QString& body, QString& error) override;
};

}  // namespace tarvik

#endif  // TARVIK_UI_DESKTOP_NOTIFIER_H_
