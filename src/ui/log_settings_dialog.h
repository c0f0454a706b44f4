#ifndef TARVIK_UI_LOG_SETTINGS_DIALOG_H_
#define TARVIK_UI_LOG_SETTINGS_DIALOG_H_

#include <QDialog>

#include "ui/log_units.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tarvik {

// File > Log Settings…: the vehicle's name, the open log's distance unit
// (km or mi) and currency, and whether the user is reminded at login of what is due in
// the recent logs (login_reminder.h). Shows what it is given; the caller
// saves what it holds once accepted.
class log_settings_dialog : public QDialog {
  Q_OBJECT

 public:
  log_settings_dialog(QWidget* parent, const QString& log_name, const log_units& units,
                      bool remind_at_login);

  log_units units() const;
  // The vehicle's name, which titles the printed history; may be empty.
  void set_vehicle(const QString& vehicle);
  QString vehicle() const;
  bool remind_at_login() const;

 private:
  QComboBox* distance_;
  QLineEdit* currency_;
  QLineEdit* vehicle_;
  QCheckBox* remind_;
};

}  // namespace tarvik

#endif  // TARVIK_UI_LOG_SETTINGS_DIALOG_H_
