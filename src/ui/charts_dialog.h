#ifndef TARVIK_UI_CHARTS_DIALOG_H_
#define TARVIK_UI_CHARTS_DIALOG_H_

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "insight/consumption.h"
#include "ui/log_units.h"

class QChartView;

namespace tarvik {

class Record;

// The charts of the rows given: cost per calendar year (bars; fuel and the
// rest stacked when the rows hold fill-ups), the odometer over time (a
// line) and, with fill-ups, the consumption over time (a point for each
// figure, in the log's consumption unit; `used` when given, else the
// figures of the rows alone). Each can be saved as a PNG file; the file
// dialog starts at `save_start` (a folder, or a file to suggest), and a
// file the log at `log_path` keeps is refused (may_export_to). The value
// axes name the log's `units`.
class charts_dialog : public QDialog {
  Q_OBJECT

 public:
  charts_dialog(QWidget* parent, const std::vector<const Record*>& rows,
                const QString& save_start = QString(), std::string log_path = {},
                const log_units& units = locale_units(),
                const std::optional<consumption>& used = std::nullopt);

  enum class chart { cost_per_year, odometer, consumption };
  // Saves the chart as a PNG image at `path`, crash-safely and only as a
  // regular file (replacement_file.h); false when it cannot.
  bool save_png(chart which, const QString& path) const;

 signals:
  // Save as PNG… wrote the chart at `path`.
  void saved(const QString& path);

 private:
  QChartView* cost_view_;
  QChartView* odometer_view_;
  QChartView* consumption_view_;  // null without a figure
};

}  // namespace tarvik

#endif  // TARVIK_UI_CHARTS_DIALOG_H_
