#ifndef TARVIK_UI_STATISTICS_PANEL_H_
#define TARVIK_UI_STATISTICS_PANEL_H_

#include <QWidget>
#include <vector>

#include "insight/consumption.h"
#include "insight/odometer.h"
#include "insight/units.h"

class QFormLayout;
class QLabel;
class QTableWidget;

namespace tarvik {

class Record;
class record_model;
struct log_statistics;
struct log_units;

// The figures of the rows a view shows (see insight/statistics.h): number
// of entries, total cost, cost per year, cost per 1,000 distance units,
// distance per year, and per operation its count, total cost and average
// interval in distance and days; with fill-ups, the average, best and
// worst consumption (the best the lowest use of fuel, so the highest
// number in miles per gallon). Numbers are shown in the user's locale; a
// figure that cannot be told (one entry, no distance) shows as "–". A line
// below names the entries of the log left out of the odometer figures and
// why (insight/odometer.h). While the log has fill-ups (the table shows its
// Fuel column), the costs are also split into fuel and services and other:
// the total, per year and per 1,000 units, the two kinds side by side.
class statistics_panel : public QWidget {
  Q_OBJECT

 public:
  explicit statistics_panel(QWidget* parent);

  // Shows the figures of the records in `rows` of `model`, in that order
  // (rows without a record are skipped), without a list of them: a filter
  // shows up to a million.
  void show_rows(const record_model& model, const std::vector<int>& rows);
  // The entries of the whole log left out of the odometer figures
  // (check_readings()): named in the line, and left out of the figures of
  // the rows shown from the next show_rows() on. The records must stay
  // until the next call.
  void show_readings(const std::vector<left_out_reading>& left_out);
  // Names the log's units beside the figures: "Cost per 1,000 km",
  // "Distance per year (km)", "Total cost (€)".
  void name_units(const log_units& units);

 private:
  void show_figures(const log_statistics& figures);
  // The consumption figures of the rows shown, in the log's units.
  void show_consumption(const consumption& used);

  QFormLayout* form_;
  QLabel* entries_;
  QLabel* total_cost_;
  QLabel* cost_per_year_;
  QLabel* cost_per_thousand_;
  QLabel* distance_per_year_;
  // The costs by kind, in a grid of their own below the form.
  QWidget* cost_kinds_;
  QLabel* kinds_total_name_;
  QLabel* kinds_per_year_name_;
  QLabel* kinds_per_thousand_name_;
  QLabel* fuel_cost_;
  QLabel* other_cost_;
  QLabel* fuel_cost_per_year_;
  QLabel* other_cost_per_year_;
  QLabel* fuel_cost_per_thousand_;
  QLabel* other_cost_per_thousand_;
  QLabel* average_consumption_;
  QLabel* best_consumption_;
  QLabel* worst_consumption_;
  distance_unit distance_ = distance_unit::km;
  volume_unit volume_ = volume_unit::litre;
  consumption_unit consumption_unit_ = consumption_unit::litres_per_100_km;
  consumption shown_used_;
  QLabel* left_out_line_;
  std::vector<left_out_reading> left_out_;
  QTableWidget* operations_;
};

}  // namespace tarvik

#endif  // TARVIK_UI_STATISTICS_PANEL_H_
