#ifndef TARVIK_UI_FILTER_BAR_H_
#define TARVIK_UI_FILTER_BAR_H_

#include <QDate>
#include <QList>
#include <QWidget>
#include <optional>
#include <utility>

class QCheckBox;
class QDateEdit;
class QLineEdit;

namespace tarvik {

// What the table is to show: a search text (box "search_box") and, while
// the "date_range_box" check box is on, a range of days from "date_from" to
// "date_to". changed() follows every edit of either. Return or Enter in
// a field is the field's own (the window's Edit does not take it) and ends
// the search: finished(). Escape ends it too, and in the search box first
// clears the text. Where the bar is too narrow for all of it (a tool bar in
// a small window), the date range folds away first and the search box
// keeps a usable width.
class filter_bar : public QWidget {
  Q_OBJECT

 public:
  explicit filter_bar(QWidget* parent);

  QString text() const;
  // The first and last day shown, when the range is on; a range typed
  // backwards counts from the earlier day.
  std::optional<std::pair<QDate, QDate>> days() const;
  // Puts the caret in the search box, its text selected (Edit > Find).
  void focus_search();
  // The fields in the order Tab visits them.
  QList<QWidget*> fields() const;

 signals:
  void changed();
  void finished();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  QSize minimumSizeHint() const override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QLineEdit* search;
  QCheckBox* range;
  QDateEdit* from;
  QDateEdit* to;
};

}  // namespace tarvik

#endif  // TARVIK_UI_FILTER_BAR_H_
