#ifndef TARVIK_UI_RECORD_ROWS_H_
#define TARVIK_UI_RECORD_ROWS_H_

#include <QDate>
#include <QList>
#include <QString>
#include <cstddef>
#include <memory>
#include <string>
#include <optional>
#include <utility>
#include <vector>

#include "insight/consumption.h"
#include "ui/record_commands.h"

class QObject;

namespace tarvik {

class Record;
class record_filter;
class record_model;
class record_table;
class open_log;
class statistics_panel;
struct left_out_reading;
struct log_units;

// One column of the table: its header label, which is also the key under
// which a record gives the cell text, and its narrowest width in pixels.
struct colinfo {
  std::string name;
  int width = 0;
};

// The rows of the window's table over the open log's store: the columns
// Mileage, Date, Operation, Cost and Notes of a record_model, sorted and
// filtered by a record_filter, in a record_table, and which row is current.
// Unsorted and unfiltered, row i shows the record at position i in store
// order (identifiers()[i]). The first row is current until the user picks
// another, so that Edit and Delete show at once what they would act on.
class record_rows {
 public:
  // Sets up `table` with a model and filter (children of `parent`) over
  // `log`'s store; rows come with the first reload().
  record_rows(record_table* table, open_log& log, QObject* parent);

  // The identifiers of the records, in store order.
  const std::vector<int>& identifiers() const;
  bool filtering() const;
  // How many rows the filter shows.
  int shown_count() const;

  // The identifier of the record in the current row, or -1.
  int current_identifier() const;
  // The store position of the record in the current row, or -1.
  int current_position() const;
  // The table row showing the record at `position` in store order; -1
  // when the filter hides it.
  int row_of(std::size_t position) const;
  // The store position of the newest record by date (of several on that
  // day, the one later in the store), or -1 without records.
  int newest_position() const;
  // Makes the cell current, on the last row when `row` is past it.
  void make_current(int row, int column);

  // Rebuilds every row from the store, as after it took in changes made
  // elsewhere. The current row stays on its record when the record is
  // still there and shown, else on the same row number as far as the rows
  // reach.
  void reload();
  // Every row anew, for another log; the first row current.
  void reload_from_top();
  // Shows one step of a command: the row follows the record changed or
  // added, or stays where a removed one was shown. False when the record is
  // in the log but the filter hides it.
  bool show_change(const record_change& change);
  // Filters by the text and the range of days; the current record stays
  // current while it is shown, else the first row.
  void set_filter(const QString& text, std::optional<std::pair<QDate, QDate>> days);

  // The records of the rows shown, top to bottom.
  std::vector<const Record*> shown() const;
  // Shows the figures of the rows shown in `panel`.
  void show_figures(statistics_panel& panel) const;
  // The consumption figures of the whole log that the rows shown close,
  // in the log's own units; valid until the log next changes.
  consumption consumption_shown() const;
  // Marks the rows of the entries left out of the odometer figures.
  void mark_left_out(const std::vector<left_out_reading>& left_out);
  // Every record of the log, in store order, whatever the filter shows.
  std::vector<const Record*> all() const;
  // Names the log's units in the headers: "Mileage (km)", "Cost (€)".
  void name_units(const log_units& units);

  // Gives Operation its share of the table's width (two fifths of what the
  // number and date columns leave), never less than it has; Notes takes the
  // rest.
  void share_width();
  // The widths of every column but the last, which stretches.
  QList<int> widths() const;
  // Sets those widths again, as far as they are usable.
  void set_widths(const QList<int>& widths);

 private:
  // Widths that show a date, a seven-digit mileage and a five-digit cost
  // whole in the table's font, never below the columns' own widths; Notes
  // takes the rest of the width.
  void size_columns();
  // The row header sizes itself by a sample of its rows: wide enough for
  // a problem's mark on any row, while there is one.
  void fit_row_header();
  // Shows the Fuel column while the log has fill-ups, and Consumption
  // while it has a figure; hides them otherwise.
  void show_fuel_column();

  record_table* table_;
  open_log& log_;
  // The column descriptors, in column order: the five fields, then Fuel
  // and Consumption.
  std::vector<std::unique_ptr<colinfo>> columns;
  record_model* model_;
  record_filter* filter_;
};

}  // namespace tarvik

#endif  // TARVIK_UI_RECORD_ROWS_H_
