#include "ui/log_settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tarvik {

log_settings_dialog::log_settings_dialog(QWidget* parent, const QString& log_name,
                                         const log_units& units, bool remind_at_login)
    : QDialog(parent) {
  setObjectName(QStringLiteral("log_settings"));
  setWindowTitle(tr("Log Settings"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  layout->addLayout(form);

  vehicle_ = new QLineEdit(this);
  vehicle_->setObjectName(QStringLiteral("vehicle"));
  vehicle_->setPlaceholderText(tr("titles the printed history; else %1").arg(log_name));
  auto* vehicle_label = new QLabel(tr("&Vehicle:"), this);
  vehicle_label->setBuddy(vehicle_);
  form->addRow(vehicle_label, vehicle_);

  auto* about = new QLabel(tr("The units of %1:").arg(log_name), this);
  form->addRow(about);
  distance_ = new QComboBox(this);
  distance_->setObjectName(QStringLiteral("distance_unit"));
  distance_->addItem(tr("Kilometres (km)"), static_cast<int>(distance_unit::km));
  distance_->addItem(tr("Miles (mi)"), static_cast<int>(distance_unit::mi));
  distance_->setCurrentIndex(units.distance == distance_unit::mi ? 1 : 0);
  auto* distance_label = new QLabel(tr("&Distance unit:"), this);
  distance_label->setBuddy(distance_);
  form->addRow(distance_label, distance_);

  currency_ = new QLineEdit(units.currency, this);
  currency_->setObjectName(QStringLiteral("currency"));
  currency_->setPlaceholderText(tr("a symbol or code: €, $, EUR"));
  currency_->setMaxLength(12);
  auto* currency_label = new QLabel(tr("&Currency:"), this);
  currency_label->setBuddy(currency_);
  form->addRow(currency_label, currency_);

  remind_ = new QCheckBox(tr("&Remind me at login"), this);
  remind_->setObjectName(QStringLiteral("remind_at_login"));
  remind_->setChecked(remind_at_login);
  remind_->setToolTip(tr("When you log in, a desktop notification tells which services are "
                         "due in the logs on the Open Recent list. Nothing is shown when none "
                         "is due."));
  form->addRow(remind_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

log_units log_settings_dialog::units() const {
  log_units units;
  units.distance = static_cast<distance_unit>(distance_->currentData().toInt());
  units.currency = currency_->text().trimmed();
  return units;
}

void log_settings_dialog::set_vehicle(const QString& vehicle) { vehicle_->setText(vehicle); }

QString log_settings_dialog::vehicle() const { return vehicle_->text().trimmed(); }

bool log_settings_dialog::remind_at_login() const { return remind_->isChecked(); }

}  // namespace tarvik
