#include "ui/record_table.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>

#include "platform/pointer_check.h"

namespace tarvik {
namespace {

constexpr const char* kSource = "tarvik";
constexpr int kWholeText = Qt::UserRole;

bool is_line_break(QChar c) {
  return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

// The text on one line: each line break (CR LF counting as one) as a
// return symbol between spaces.
QString one_line(const QString& text) {
  QString line;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (!is_line_break(text.at(i))) {
      line += text.at(i);
      continue;
    }
    if (text.at(i) == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
    line += QStringLiteral(" \u21B5 ");
  }
  return line;
}

}  // namespace

RecordTable::RecordTable(QWidget* parent) : QTableWidget(parent) {
  // The current row is the one Edit and Delete act on: show it whole, but
  // never let a range be selected.
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  setTextElideMode(Qt::ElideRight);
  QHeaderView* rows = verticalHeader();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(
      qMax(fontMetrics().lineSpacing() + 2 * style()->pixelMetric(QStyle::PM_FocusFrameVMargin) + 4,
           rows->minimumSectionSize()));
}

void RecordTable::set_cell(int row, int column, const QString& text) {
  const QString shown = one_line(text);
  auto* item = new QTableWidgetItem(shown);
  TARVIK_CHECK_POINTER(item, kSource);
  item->setFlags(item->flags() & ~Qt::ItemIsEditable);
  if (shown.size() != text.size() || shown != text) item->setData(kWholeText, text);
  setItem(row, column, item);
}

QString RecordTable::full_text(int row, int column) const {
  const QTableWidgetItem* cell = item(row, column);
  if (cell == nullptr) return QString();
  const QVariant whole = cell->data(kWholeText);
  return whole.isValid() ? whole.toString() : cell->text();
}

void RecordTable::keyboardSearch(const QString& /*search*/) {
  // Typing in the table jumped to a row that starts with the letters, so a
  // following Delete removed another record than the one the user chose.
}

bool RecordTable::viewportEvent(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QTableWidget::viewportEvent(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const QTableWidgetItem* cell = itemAt(help->pos());
  if (cell == nullptr) {
    QToolTip::hideText();
    return true;
  }
  const QString whole = full_text(cell->row(), cell->column());
  const QRect rect = visualItemRect(cell);
  const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
  const bool cut = whole != cell->text() ||
                   fontMetrics().horizontalAdvance(cell->text()) > rect.width() - margin;
  if (cut) {
    QToolTip::showText(help->globalPos(), whole, viewport(), rect);
  } else {
    QToolTip::hideText();
  }
  return true;
}

}  // namespace tarvik
