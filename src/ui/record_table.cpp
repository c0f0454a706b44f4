#include "ui/record_table.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

#include "ui/record_model.h"

namespace tarvik {

record_table::record_table(QWidget* parent) : QTableView(parent) {
  // The current row is the one Edit and Delete act on: show it whole, but
  // never let a range be selected.
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  setTextElideMode(Qt::ElideRight);
  // Tab leaves the table for the filter and the docks; the arrow keys move
  // between cells.
  setTabKeyNavigation(false);
  QHeaderView* rows = verticalHeader();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(
      qMax(fontMetrics().lineSpacing() + 2 * style()->pixelMetric(QStyle::PM_FocusFrameVMargin) + 4,
           rows->minimumSectionSize()));

  // Ascending, descending, then none: the header keeps the state, and the
  // model follows it.
  QHeaderView* columns = horizontalHeader();
  columns->setSectionsClickable(true);
  columns->setSortIndicatorShown(true);
  columns->setSortIndicatorClearable(true);
  columns->setSortIndicator(-1, Qt::AscendingOrder);
  connect(columns, &QHeaderView::sortIndicatorChanged, this, &record_table::sort_as_shown);
}

void record_table::setModel(QAbstractItemModel* model) {
  QTableView::setModel(model);
  horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
}

void record_table::sort_as_shown(int column, Qt::SortOrder order) {
  if (model() == nullptr) return;
  model()->sort(column, order);
  if (currentIndex().isValid()) scrollTo(currentIndex());
}

int record_table::current_row() const {
  return currentIndex().isValid() ? currentIndex().row() : -1;
}

int record_table::current_column() const {
  return currentIndex().isValid() ? currentIndex().column() : -1;
}

void record_table::make_current(int row, int column) {
  if (model() == nullptr) return;
  const QModelIndex cell = model()->index(row, column);
  if (!cell.isValid()) return;
  setCurrentIndex(cell);
  scrollTo(cell);
}

QString record_table::full_text(int row, int column) const {
  if (model() == nullptr) return QString();
  const QModelIndex cell = model()->index(row, column);
  const QVariant whole = cell.data(record_model::whole_text_role);
  return whole.isValid() ? whole.toString() : cell.data().toString();
}

void record_table::set_empty_text(const QString& text) {
  if (text == empty_text_) return;
  empty_text_ = text;
  viewport()->update();
}

void record_table::paintEvent(QPaintEvent* event) {
  QTableView::paintEvent(event);
  if (empty_text_.isEmpty() || model() == nullptr || model()->rowCount() > 0) return;
  QPainter painter(viewport());
  painter.setPen(palette().color(QPalette::PlaceholderText));
  const int margin = fontMetrics().averageCharWidth() * 2;
  painter.drawText(viewport()->rect().adjusted(margin, margin, -margin, -margin),
                   Qt::AlignCenter | Qt::TextWordWrap, empty_text_);
}

void record_table::keyboardSearch(const QString& /*search*/) {
  // Typing in the table jumped to a row that starts with the letters, so a
  // following Delete removed another record than the one the user chose.
}

bool record_table::viewportEvent(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QTableView::viewportEvent(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const QModelIndex cell = indexAt(help->pos());
  if (!cell.isValid()) {
    QToolTip::hideText();
    return true;
  }
  const QString shown = cell.data().toString();
  const QString whole = full_text(cell.row(), cell.column());
  const QRect rect = visualRect(cell);
  const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
  const bool cut =
      whole != shown || fontMetrics().horizontalAdvance(shown) > rect.width() - margin;
  if (cut) {
    QToolTip::showText(help->globalPos(), whole, viewport(), rect);
  } else {
    QToolTip::hideText();
  }
  return true;
}

}  // namespace tarvik
