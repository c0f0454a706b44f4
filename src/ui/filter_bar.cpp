#include "ui/filter_bar.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QResizeEvent>
#include <algorithm>
#include <utility>

namespace tarvik {
namespace {

QDateEdit* day_box(const char* name, QDate day, QWidget* parent) {
  auto* box = new QDateEdit(day, parent);
  box->setObjectName(QLatin1String(name));
  box->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  box->setCalendarPopup(true);
  box->setEnabled(false);
  return box;
}

}  // namespace

filter_bar::filter_bar(QWidget* parent) : QWidget(parent) {
  search = new QLineEdit(this);
  search->setObjectName(QStringLiteral("search_box"));
  search->setPlaceholderText(tr("Search operation and notes"));
  // The placeholder disappears with the first letter; a screen reader
  // needs a name that stays.
  search->setAccessibleName(tr("Search"));
  search->setAccessibleDescription(
      tr("Shows only the entries whose operation or notes hold "
         "the text; Escape clears it"));
  search->setClearButtonEnabled(true);
  search->setMinimumWidth(search->fontMetrics().averageCharWidth() * 24);
  range = new QCheckBox(tr("&Dates"), this);
  range->setObjectName(QStringLiteral("date_range_box"));
  range->setAccessibleDescription(tr("Shows only the entries between the two days"));
  const QDate today = QDate::currentDate();
  from = day_box("date_from", today.addYears(-1), this);
  to = day_box("date_to", today, this);
  from->setAccessibleName(tr("First day"));
  from->setAccessibleDescription(tr("The earliest day of the entries shown"));
  to->setAccessibleName(tr("Last day"));
  to->setAccessibleDescription(tr("The latest day of the entries shown"));

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 0, 0, 0);
  // The bar's least width is the search box's (minimumSizeHint), not that
  // of all its fields: a tool bar hides a widget that does not fit whole.
  layout->setSizeConstraint(QLayout::SetNoConstraint);
  layout->addWidget(search, 1);
  layout->addWidget(range);
  layout->addWidget(from);
  layout->addWidget(to);

  connect(search, &QLineEdit::textChanged, this, &filter_bar::changed);
  connect(search, &QLineEdit::returnPressed, this, &filter_bar::finished);
  for (QWidget* field : {static_cast<QWidget*>(search), static_cast<QWidget*>(from),
                         static_cast<QWidget*>(to)}) {
    field->installEventFilter(this);
  }
  connect(range, &QCheckBox::toggled, this, [this](bool on) {
    from->setEnabled(on);
    to->setEnabled(on);
    emit changed();
  });
  for (QDateEdit* box : {from, to}) {
    connect(box, &QDateEdit::dateChanged, this, [this] {
      if (range->isChecked()) emit changed();
    });
  }
}

QSize filter_bar::minimumSizeHint() const {
  const QMargins margins = layout()->contentsMargins();
  return QSize(margins.left() + std::max(search->minimumWidth(), search->minimumSizeHint().width()) +
                   margins.right(),
               QWidget::minimumSizeHint().height());
}

void filter_bar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int spacing = std::max(layout()->spacing(), 0);
  const int full = minimumSizeHint().width() + range->sizeHint().width() +
                   from->sizeHint().width() + to->sizeHint().width() + 3 * spacing;
  const bool fits = width() >= full;
  for (QWidget* field : {static_cast<QWidget*>(range), static_cast<QWidget*>(from),
                         static_cast<QWidget*>(to)}) {
    if (field->isHidden() == fits) field->setVisible(fits);
  }
}

bool filter_bar::eventFilter(QObject* watched, QEvent* event) {
  // Return after typing a search opened the Edit dialog on whatever row
  // happened to be current; claiming the key keeps it in the field.
  if (event->type() == QEvent::ShortcutOverride) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) event->accept();
  }
  // Tab leaves a day box at once instead of walking its year, month and
  // day first.
  if (event->type() == QEvent::KeyPress && (watched == from || watched == to)) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
        (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0) {
      focusNextPrevChild(key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier) == 0);
      return true;
    }
  }
  // Escape leaves the filter for the table; in the search box it also
  // takes the search back, so that every entry shows again.
  if (event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    if (watched == search) search->clear();
    emit finished();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void filter_bar::focus_search() {
  search->setFocus(Qt::ShortcutFocusReason);
  search->selectAll();
}

QList<QWidget*> filter_bar::fields() const { return {search, range, from, to}; }

QString filter_bar::text() const { return search->text(); }

std::optional<std::pair<QDate, QDate>> filter_bar::days() const {
  if (!range->isChecked()) return std::nullopt;
  QDate first = from->date();
  QDate last = to->date();
  if (last < first) std::swap(first, last);
  return std::make_pair(first, last);
}

}  // namespace tarvik
