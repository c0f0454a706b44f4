#ifndef TARVIK_UI_LOG_SETTINGS_DIALOG_H_
#define TARVIK_UI_LOG_SETTINGS_DIALOG_H_

#include <QDialog>

#include "ui/log_units.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tarvik {

// File > Log Settings…: the vehicle's name, the open log's distance unit
// (km or mi), currency, volume and consumption units, and whether the user is reminded at login of what is due in
// the recent logs (login_reminder.h). Shows what it is given; the caller
// saves what it holds once accepted.
class log_settings_dialog : public QDialog {
  Q_OBJECT

 public:
  log_settings_dialog(QWidget* parent, const QString& log_name, const log_units& units,
                      bool remind_at_login);

  // The volume and consumption units are set when the log set them or the
  // user chose other ones than the usual; a consumption unit left alone
  // follows the distance and volume units as they change.
  log_units units() const;
  // The vehicle's name, which titles the printed history; may be empty.
  void set_vehicle(const QString& vehicle);
  QString vehicle() const;
  bool remind_at_login() const;

 private:
  // Lists the consumption units that fit the volume unit chosen, the usual
  // one current unless the user picked another that still fits.
  void offer_consumption();

  QComboBox* distance_;
  QComboBox* volume_;
  QComboBox* consumption_;
  log_units given_;
  bool consumption_chosen_ = false;
  QLineEdit* currency_;
  QLineEdit* vehicle_;
  QCheckBox* remind_;
};

}  // namespace tarvik

#endif  // TARVIK_UI_LOG_SETTINGS_DIALOG_H_
