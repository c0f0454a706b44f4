#include "ui/csv_import_parts.h"

#include <QCoreApplication>
#include <QComboBox>
#include <array>

#include "ui/widget_text.h"

namespace tarvik {
namespace {

// The texts of this file, translated under one context.
struct parts_text {
  Q_DECLARE_TR_FUNCTIONS(tarvik::csv_import_parts)
};

struct role_choice {
  const char* text;
  csv_role role;
};
// The fill-up roles come last, so that the five fields and Keep as Field
// stay next to each other for the arrow keys.
constexpr std::array<role_choice, 15> kRoles{{
    {QT_TRANSLATE_NOOP("tarvik::csv_import_parts", "Mileage"), csv_role::mileage},
    {QT_TRANSLATE_NOOP("tarvik::csv_import_parts", "Date"), csv_role::date},
    {QT_TRANSLATE_NOOP("tarvik::csv_import_parts", "Operation"), csv_role::operation},
    {QT_TRANSLATE_NOOP("tarvik::csv_import_parts", "Cost"), csv_role::cost},
    {QT_TRANSLATE_NOOP("tarvik::csv_import_parts", "Notes"), csv_role::notes},
    {QT_TRANSLATE_NOOP("tarvik::csv_import_parts", "Keep as Field"), csv_role::extra},
    {QT_TRANSLATE_NOOP("tarvik::csv_import_parts", "Leave Out"), csv_role::ignore},
    {QT_TRANSLATE_NOOP("tarvik::csv_import_parts", "Fuel Quantity"), csv_role::quantity},
    {QT_TRANSLATE_NOOP("tarvik::csv_import_parts", "Price per Unit"), csv_role::unit_price},
    {QT_TRANSLATE_NOOP("tarvik::csv_import_parts", "Full Tank (yes/no)"), csv_role::full},
    {QT_TRANSLATE_NOOP("tarvik::csv_import_parts", "Partial Fill-up (yes/no)"), csv_role::partial},
    {QT_TRANSLATE_NOOP("tarvik::csv_import_parts", "Missed Fill-up (yes/no)"), csv_role::missed},
    {QT_TRANSLATE_NOOP("tarvik::csv_import_parts", "Fill Type (1 full, 2 partial)"), csv_role::fill_type},
    {QT_TRANSLATE_NOOP("tarvik::csv_import_parts", "Fuel Type"), csv_role::fuel_type},
    {QT_TRANSLATE_NOOP("tarvik::csv_import_parts", "Currency"), csv_role::currency},
}};

}  // namespace

csv_role role_at(int index) { return kRoles[static_cast<std::size_t>(index)].role; }

int role_index(csv_role role) {
  for (std::size_t i = 0; i < kRoles.size(); ++i) {
    if (kRoles[i].role == role) return static_cast<int>(i);
  }
  return 0;
}

bool one_column_role(csv_role role) { return role != csv_role::extra && role != csv_role::ignore; }

role_header::role_header(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  setSectionsClickable(false);
  setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  connect(this, &QHeaderView::sectionResized, this, [this] {
    if (!held) place_boxes();
  });
  box(0)->hide();  // so that there is one to measure
}

QComboBox* role_header::box(int column) {
  while (static_cast<int>(boxes.size()) <= column) {
    auto* made = new QComboBox(viewport());
    made->setObjectName(QStringLiteral("role_box_%1").arg(boxes.size()));
    for (const role_choice& choice : kRoles) made->addItem(parts_text::tr(choice.text));
    boxes.push_back(made);
  }
  return boxes[static_cast<std::size_t>(column)];
}

int role_header::box_height() const { return boxes.front()->sizeHint().height() + 4; }

void role_header::hold(bool on) {
  held = on;
  if (!held) place_boxes();
}

QSize role_header::sizeHint() const {
  QSize size = QHeaderView::sizeHint();
  size.setHeight(size.height() + box_height());
  return size;
}

void role_header::place_boxes() {
  const int height = box_height();
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const int column = static_cast<int>(i);
    if (column >= count()) {
      boxes[i]->hide();
      continue;
    }
    boxes[i]->setGeometry(sectionViewportPosition(column) + 2, viewport()->height() - height + 2,
                          sectionSize(column) - 4, height - 4);
    boxes[i]->show();
  }
}

void role_header::paintSection(QPainter* painter, const QRect& rect, int logical_index) const {
  QHeaderView::paintSection(painter, rect.adjusted(0, 0, 0, -box_height()), logical_index);
}

void role_header::updateGeometries() {
  QHeaderView::updateGeometries();
  place_boxes();
}

void role_header::resizeEvent(QResizeEvent* event) {
  QHeaderView::resizeEvent(event);
  place_boxes();
}

void problem_lines::show(const std::vector<import_problem>* problems) {
  beginResetModel();
  shown = problems;
  endResetModel();
}

int problem_lines::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || shown == nullptr ? 0 : static_cast<int>(shown->size());
}

QVariant problem_lines::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount(QModelIndex())) {
    return QVariant();
  }
  const import_problem& problem = (*shown)[static_cast<std::size_t>(index.row())];
  return parts_text::tr("Line %1: %2").arg(problem.line).arg(to_widget_text(problem.message));
}

}  // namespace tarvik
