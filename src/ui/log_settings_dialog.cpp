#include "ui/log_settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

namespace tarvik {

log_settings_dialog::log_settings_dialog(QWidget* parent, const QString& log_name,
                                         const log_units& units, bool remind_at_login)
    : QDialog(parent), given_(units) {
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

  volume_ = new QComboBox(this);
  volume_->setObjectName(QStringLiteral("volume_unit"));
  volume_->addItem(tr("Litres (l)"), static_cast<int>(volume_unit::litre));
  volume_->addItem(tr("US gallons (US gal)"), static_cast<int>(volume_unit::us_gallon));
  volume_->addItem(tr("Imperial gallons (imp gal)"), static_cast<int>(volume_unit::imperial_gallon));
  volume_->addItem(tr("Kilowatt-hours (kWh), electric"), static_cast<int>(volume_unit::kwh));
  volume_->setCurrentIndex(volume_->findData(static_cast<int>(shown_volume(units))));
  auto* volume_label = new QLabel(tr("V&olume unit:"), this);
  volume_label->setBuddy(volume_);
  form->addRow(volume_label, volume_);

  consumption_ = new QComboBox(this);
  consumption_->setObjectName(QStringLiteral("consumption_unit"));
  offer_consumption();
  consumption_->setCurrentIndex(
      std::max(consumption_->findData(static_cast<int>(shown_consumption(units))), 0));
  consumption_chosen_ = units.consumption && fits(*units.consumption, shown_volume(units));
  auto* consumption_label = new QLabel(tr("Con&sumption unit:"), this);
  consumption_label->setBuddy(consumption_);
  form->addRow(consumption_label, consumption_);
  connect(distance_, &QComboBox::currentIndexChanged, this, [this] { offer_consumption(); });
  connect(volume_, &QComboBox::currentIndexChanged, this, [this] { offer_consumption(); });
  connect(consumption_, &QComboBox::activated, this, [this] { consumption_chosen_ = true; });

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

void log_settings_dialog::offer_consumption() {
  const auto distance = static_cast<distance_unit>(distance_->currentData().toInt());
  const auto volume = static_cast<volume_unit>(volume_->currentData().toInt());
  const QVariant current = consumption_->currentData();
  const QSignalBlocker quiet(consumption_);
  consumption_->clear();
  for (const consumption_unit unit :
       {consumption_unit::litres_per_100_km, consumption_unit::km_per_litre,
        consumption_unit::mpg_us, consumption_unit::mpg_imperial,
        consumption_unit::kwh_per_100_km, consumption_unit::kwh_per_100_mi}) {
    if (fits(unit, volume)) consumption_->addItem(shown_unit(unit), static_cast<int>(unit));
  }
  const int kept = current.isValid() ? consumption_->findData(current) : -1;
  if (consumption_chosen_ && kept >= 0) {
    consumption_->setCurrentIndex(kept);
  } else {
    consumption_chosen_ = false;
    consumption_->setCurrentIndex(
        consumption_->findData(static_cast<int>(usual_consumption(distance, volume))));
  }
}

log_units log_settings_dialog::units() const {
  log_units units;
  units.distance = static_cast<distance_unit>(distance_->currentData().toInt());
  units.currency = currency_->text().trimmed();
  const auto volume = static_cast<volume_unit>(volume_->currentData().toInt());
  if (given_.volume || volume != usual_volume(units.distance)) units.volume = volume;
  const auto consumption = static_cast<consumption_unit>(consumption_->currentData().toInt());
  if (consumption_chosen_ || consumption != usual_consumption(units.distance, volume)) {
    units.consumption = consumption;
  }
  return units;
}

void log_settings_dialog::set_vehicle(const QString& vehicle) { vehicle_->setText(vehicle); }

QString log_settings_dialog::vehicle() const { return vehicle_->text().trimmed(); }

bool log_settings_dialog::remind_at_login() const { return remind_->isChecked(); }

}  // namespace tarvik
