#include "ui/charts_dialog.h"

#include <QBarCategoryAxis>
#include <QBuffer>
#include <QByteArray>
#include <QBarSeries>
#include <QBarSet>
#include <QStackedBarSeries>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QLineSeries>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>

#include "data/replacement_file.h"
#include "insight/yearly.h"
#include "ui/log_notices.h"
#include "ui/shown_number.h"

namespace tarvik {
namespace {

// Axis labels in the user's locale, grouped, as the window shows numbers.
QChart* new_chart() {
  auto* chart = new QChart;
  chart->setLocale(QLocale());
  chart->setLocalizeNumbers(true);
  return chart;
}

// Dates along the bottom, by month: the charts over time share them.
void add_month_axis(QChart* chart, QAbstractSeries* series) {
  auto* x = new QDateTimeAxis;
  x->setFormat(QStringLiteral("yyyy-MM"));
  chart->addAxis(x, Qt::AlignBottom);
  series->attachAxis(x);
}

QChartView* cost_chart(const std::vector<const Record*>& rows, const log_units& units,
                       QWidget* parent) {
  const std::vector<year_cost> by_year = cost_by_year(rows);
  const bool fill_ups = std::any_of(by_year.begin(), by_year.end(),
                                    [](const year_cost& year) { return year.fill_ups > 0; });
  QStringList years;
  double highest = 0;
  for (const year_cost& year : by_year) {
    // Each bar's amount beside its year, rounded: a reader need not measure
    // it against the axis.
    years << QStringLiteral("%1: %2 %3")
                 .arg(year.year)
                 .arg(shown_number(year.total(), 0), units.currency)
                 .trimmed();
    highest = std::max(highest, year.total());
  }
  // With fill-ups, fuel and the rest stacked in each year's bar; else the
  // one bar of today.
  QAbstractBarSeries* series;
  if (fill_ups) {
    auto* fuel = new QBarSet(charts_dialog::tr("Fuel"));
    auto* other = new QBarSet(charts_dialog::tr("Services and other"));
    for (const year_cost& year : by_year) {
      *fuel << year.fuel;
      *other << year.other;
    }
    series = new QStackedBarSeries;
    series->append(fuel);
    series->append(other);
  } else {
    auto* costs = new QBarSet(charts_dialog::tr("Cost"));
    for (const year_cost& year : by_year) *costs << year.total();
    series = new QBarSeries;
    series->append(costs);
  }
  auto* chart = new_chart();
  chart->addSeries(series);
  chart->setTitle(charts_dialog::tr("Cost per year"));
  if (fill_ups) {
    chart->legend()->setAlignment(Qt::AlignBottom);
  } else {
    chart->legend()->hide();
  }
  auto* x = new QBarCategoryAxis;
  x->append(years);
  chart->addAxis(x, Qt::AlignBottom);
  series->attachAxis(x);
  auto* y = new QValueAxis;
  y->setRange(0, highest > 0 ? highest * 1.1 : 1);
  y->setLabelFormat(QStringLiteral("%.0f"));
  // Round steps (0, 500, 1,000) rather than a fifth of the highest cost.
  y->applyNiceNumbers();
  y->setTitleText(with_unit(QCoreApplication::translate("tarvik::charts_dialog", "Cost"), units.currency));
  chart->addAxis(y, Qt::AlignLeft);
  series->attachAxis(y);
  auto* view = new QChartView(chart, parent);
  view->setObjectName(QStringLiteral("cost_chart"));
  view->setRenderHint(QPainter::Antialiasing);
  return view;
}

QChartView* odometer_chart(const std::vector<const Record*>& rows, const log_units& units,
                           QWidget* parent) {
  auto* series = new QLineSeries;
  double lowest = 0;
  double highest = 1;
  bool first = true;
  for (const auto& [date, mileage] : odometer_series(rows)) {
    series->append(static_cast<qreal>(date) * 1000.0, mileage);
    lowest = first ? mileage : std::min(lowest, mileage);
    highest = first ? mileage : std::max(highest, mileage);
    first = false;
  }
  auto* chart = new_chart();
  chart->addSeries(series);
  chart->setTitle(charts_dialog::tr("Odometer"));
  chart->legend()->hide();
  add_month_axis(chart, series);
  auto* y = new QValueAxis;
  y->setRange(lowest, highest > lowest ? highest : lowest + 1);
  y->setLabelFormat(QStringLiteral("%.0f"));
  y->applyNiceNumbers();
  y->setTitleText(
      with_unit(QCoreApplication::translate("tarvik::charts_dialog", "Mileage"), units.distance_text()));
  chart->addAxis(y, Qt::AlignLeft);
  series->attachAxis(y);
  auto* view = new QChartView(chart, parent);
  view->setObjectName(QStringLiteral("odometer_chart"));
  view->setRenderHint(QPainter::Antialiasing);
  return view;
}

QChartView* consumption_chart(const consumption& used, const log_units& units,
                              QWidget* parent) {
  const volume_unit volume = shown_volume(units);
  const consumption_unit unit = shown_consumption(units);
  auto* series = new QLineSeries;
  series->setPointsVisible(true);
  double lowest = 0;
  double highest = 0;
  for (const consumption_figure& figure : used.figures) {
    const double value = in_unit(figure.per_100, units.distance, volume, unit);
    series->append(static_cast<qreal>(figure.fill_up->date()) * 1000.0, value);
    lowest = series->count() == 1 ? value : std::min(lowest, value);
    highest = series->count() == 1 ? value : std::max(highest, value);
  }
  auto* chart = new_chart();
  chart->addSeries(series);
  chart->setTitle(charts_dialog::tr("Consumption"));
  chart->legend()->hide();
  add_month_axis(chart, series);
  auto* y = new QValueAxis;
  // From zero: a change of a tenth is not drawn as a fall to the floor.
  y->setRange(0, highest > 0 ? highest * 1.1 : 1);
  y->setLabelFormat(QStringLiteral("%.1f"));
  y->applyNiceNumbers();
  y->setTitleText(with_unit(charts_dialog::tr("Consumption"), shown_unit(unit)));
  chart->addAxis(y, Qt::AlignLeft);
  series->attachAxis(y);
  auto* view = new QChartView(chart, parent);
  view->setObjectName(QStringLiteral("consumption_chart"));
  view->setRenderHint(QPainter::Antialiasing);
  return view;
}

}  // namespace

charts_dialog::charts_dialog(QWidget* parent, const std::vector<const Record*>& rows,
                             const QString& save_start, std::string log_path,
                             const log_units& units, const std::optional<consumption>& used)
    : QDialog(parent) {
  setObjectName(QStringLiteral("charts"));
  setWindowTitle(tr("Charts"));
  auto* layout = new QVBoxLayout(this);
  auto* tabs = new QTabWidget(this);
  cost_view_ = cost_chart(rows, units, tabs);
  odometer_view_ = odometer_chart(rows, units, tabs);
  tabs->addTab(cost_view_, tr("Cost per year"));
  tabs->addTab(odometer_view_, tr("Odometer"));
  const consumption figures = used ? *used : consumption_of(rows);
  consumption_view_ = nullptr;
  if (!figures.figures.empty()) {
    consumption_view_ = consumption_chart(figures, units, tabs);
    tabs->addTab(consumption_view_, tr("Consumption"));
  }
  layout->addWidget(tabs);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  QPushButton* save = buttons->addButton(tr("Save as PNG…"), QDialogButtonBox::ActionRole);
  connect(save, &QPushButton::clicked, this, [this, tabs, save_start, log = std::move(log_path)] {
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Save Chart"), save_start, tr("PNG images (*.png)"));
    if (path.isEmpty() || !may_export_to(this, path, log)) return;
    QWidget* shown = tabs->currentWidget();
    const chart which = shown == cost_view_       ? chart::cost_per_year
                        : shown == odometer_view_ ? chart::odometer
                                                  : chart::consumption;
    if (!save_png(which, path)) {
      QMessageBox::warning(this, QStringLiteral("Tarvik"),
                           tr("%1 could not be written.").arg(path));
      return;
    }
    emit saved(path);
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(720, 480);
}

bool charts_dialog::save_png(chart which, const QString& path) const {
  QChartView* view = which == chart::cost_per_year ? cost_view_
                     : which == chart::odometer    ? odometer_view_
                                                   : consumption_view_;
  if (view == nullptr) return false;
  // A chart never shown has no size of its own yet.
  if (!view->isVisible()) view->resize(720, 420);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!view->grab().save(&buffer, "PNG")) return false;
  std::string error;
  return write_whole_file(path.toLocal8Bit().toStdString(),
                          std::string_view(png.constData(), static_cast<std::size_t>(png.size())),
                          error);
}

}  // namespace tarvik
