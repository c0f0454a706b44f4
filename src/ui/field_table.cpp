#include "ui/field_table.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/pointer_check.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

constexpr const char* kSource = "field_table";
constexpr int kRowsShown = 4;

// Each cell keeps the bytes it was filled from and the text it showed them
// as, so that a cell left alone gives back its bytes.
constexpr int kBytesRole = Qt::UserRole;
constexpr int kShownRole = Qt::UserRole + 1;

QTableWidgetItem* cell_of(const std::string& bytes) {
  auto* item = new QTableWidgetItem(to_widget_text(bytes));
  item->setData(kBytesRole, QByteArray::fromStdString(bytes));
  item->setData(kShownRole, item->text());
  return item;
}

std::string bytes_of(const QTableWidgetItem* item) {
  if (item == nullptr) return {};
  const std::string original = item->data(kBytesRole).toByteArray().toStdString();
  if (item->data(kShownRole).isValid() && item->text() == item->data(kShownRole).toString()) {
    return original;
  }
  return from_widget_text(item->text(), original);
}

}  // namespace

field_table::field_table(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("fields"));
  auto* layout = new QVBoxLayout(this);
  TARVIK_CHECK_POINTER(layout, kSource);
  layout->setContentsMargins(0, 0, 0, 0);
  table_ = new QTableWidget(0, 2, this);
  TARVIK_CHECK_POINTER(table_, kSource);
  table_->setObjectName(QStringLiteral("fields_table"));
  table_->setHorizontalHeaderLabels({tr("Field"), tr("Value")});
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->verticalHeader()->hide();
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
  // Tab leaves the table, as it leaves the notes; in a cell being edited it
  // still goes on to the next cell.
  table_->setTabKeyNavigation(false);
  table_->setMinimumHeight(table_->horizontalHeader()->sizeHint().height() +
                           table_->verticalHeader()->defaultSectionSize() * kRowsShown + 4);
  table_->setToolTip(tr("Fields of the entry beyond the five, as the log file keeps them."));
  layout->addWidget(table_);

  auto* buttons = new QHBoxLayout;
  add_button_ = new QPushButton(tr("Add Field"), this);
  TARVIK_CHECK_POINTER(add_button_, kSource);
  add_button_->setObjectName(QStringLiteral("add_field_button"));
  add_button_->setAutoDefault(false);
  remove_button_ = new QPushButton(tr("Remove Field"), this);
  TARVIK_CHECK_POINTER(remove_button_, kSource);
  remove_button_->setObjectName(QStringLiteral("remove_field_button"));
  remove_button_->setAutoDefault(false);
  buttons->addWidget(add_button_);
  buttons->addWidget(remove_button_);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  connect(add_button_, &QPushButton::clicked, this, &field_table::add_field);
  connect(remove_button_, &QPushButton::clicked, this, &field_table::remove_field);
  const auto enable = [this] { remove_button_->setEnabled(table_->currentRow() >= 0); };
  connect(table_, &QTableWidget::currentCellChanged, this, enable);
  enable();
}

void field_table::show_fields(const std::vector<hash_element>& fields) {
  table_->setRowCount(0);
  for (const hash_element& field : fields) {
    const int row = table_->rowCount();
    table_->insertRow(row);
    table_->setItem(row, 0, cell_of(field.key));
    table_->setItem(row, 1, cell_of(field.value));
  }
  table_->resizeColumnToContents(0);
  remove_button_->setEnabled(table_->currentRow() >= 0);
}

void field_table::add_field() {
  const int row = table_->rowCount();
  table_->insertRow(row);
  table_->setItem(row, 0, new QTableWidgetItem);
  table_->setItem(row, 1, new QTableWidgetItem);
  table_->setCurrentCell(row, 0);
  table_->setFocus(Qt::OtherFocusReason);
  table_->editItem(table_->item(row, 0));
}

void field_table::remove_field() {
  const int row = table_->currentRow();
  if (row < 0) return;
  table_->removeRow(row);
  if (table_->rowCount() > 0) {
    table_->setCurrentCell(std::min(row, table_->rowCount() - 1), 0);
  }
  table_->setFocus(Qt::OtherFocusReason);
}

std::optional<std::vector<hash_element>> field_table::fields(
    const std::vector<std::string_view>& taken, QString& problem) const {
  std::vector<hash_element> fields;
  for (int row = 0; row < table_->rowCount(); ++row) {
    const QTableWidgetItem* key_item = table_->item(row, 0);
    const QTableWidgetItem* value_item = table_->item(row, 1);
    const QString key_text = key_item != nullptr ? key_item->text() : QString();
    const QString value_text = value_item != nullptr ? value_item->text() : QString();
    if (key_text.isEmpty() && value_text.isEmpty()) continue;
    // A key read from the file stays as it was, whatever it holds; blanks
    // around a typed one are not part of it, as the reader has it.
    const bool as_read = key_item != nullptr && key_item->data(kShownRole).isValid() &&
                         key_text == key_item->data(kShownRole).toString();
    const std::string key = as_read ? bytes_of(key_item) : from_widget_text(key_text.trimmed());
    const bool own_box = std::any_of(taken.begin(), taken.end(),
                                     [&](std::string_view box) { return same_field_key(box, key); });
    if (own_box || (!as_read && !usable_field_key(key))) {
      problem = own_box ? tr("Field \u201C%1\u201D has a box of its own above.").arg(key_text.trimmed())
                : key_text.trimmed().isEmpty()
                    ? tr("A field needs a name.")
                    : tr("Field \u201C%1\u201D: a name may not hold \u201C;\u201D, \u201C=\u201D, "
                         "\u201C<\u201D or a line break, start with \u201C#\u201D, end with "
                         "\u201C*\u201D or be that of one of the five fields.")
                          .arg(key_text.trimmed());
      table_->setCurrentCell(row, 0);
      return std::nullopt;
    }
    fields.push_back({key, bytes_of(value_item)});
  }
  return fields;
}

}  // namespace tarvik
