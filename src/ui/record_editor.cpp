#include "ui/record_editor.h"

#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <climits>
#include <ctime>
#include <string>

#include "data/number_text.h"
#include "data/record.h"
#include "platform/pointer_check.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

constexpr const char* kSource = "record_editor";

// The text's character at `position` as a Latin-1 byte: NUL past the end
// and for characters outside Latin-1.
char latin1_at(const QString& text, qsizetype position) {
  if (position >= text.size()) return '\0';
  const char16_t c = text.at(position).unicode();
  return c < 256 ? static_cast<char>(c) : '\0';
}

int clamp_to_int(long value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// Sets the date of `record` from "year-month-day"; a text without two "-"
// leaves it alone. Fields out of range roll over as mktime does (month 13 is
// January of the next year, day 0 the last day of the month before).
void parse_date(const QString& text, Record& record) {
  qsizetype i = 0;
  std::string field;
  const auto scan_to_dash = [&] {
    field.clear();
    while (i < text.size() && text.at(i) != QLatin1Char('-')) field += latin1_at(text, i++);
    if (latin1_at(text, i) != '-') return false;
    ++i;
    return true;
  };
  if (!scan_to_dash()) return;
  const long year = parse_int(field.c_str());
  if (!scan_to_dash()) return;
  const long month = parse_int(field.c_str());
  field.clear();
  while (i < text.size()) field += latin1_at(text, i++);
  const int day = parse_int(field.c_str());

  std::tm parts{};
  parts.tm_year = clamp_to_int(year - 1900);
  parts.tm_mon = clamp_to_int(month - 1);
  parts.tm_mday = day;
  parts.tm_isdst = 0;  // standard time
  record.date(static_cast<long>(std::mktime(&parts)));
}

}  // namespace

RecordEditor::RecordEditor(Record* record_to_edit, QDialog* owner, const char* name)
    : QWidget(owner), dialog(owner), record(record_to_edit) {
  if (name != nullptr) setObjectName(QLatin1String(name));

  auto* grid = new QGridLayout(this);
  TARVIK_CHECK_POINTER(grid, kSource);
  grid->setObjectName(QStringLiteral("top_layout"));
  grid->setContentsMargins(1, 1, 1, 1);

  struct line_row {
    const char* label;
    const char* label_name;
    const char* box_name;
    const char* key;
    QLineEdit** box;
  };
  const line_row rows[] = {
      {"Mileage", "mileage_label", "mileage_box", "mileage", &mileage_box},
      {"Date", "date_label", "date_box", "date", &date_box},
      {"Operation", "op_label", "op_box", "operation", &op_box},
      {"Cost", "cost_label", "cost_box", "cost", &cost_box},
  };
  int row = 0;
  for (const line_row& line : rows) {
    auto* label = new QLabel(QLatin1String(line.label), this);
    TARVIK_CHECK_POINTER(label, kSource);
    label->setObjectName(QLatin1String(line.label_name));
    grid->addWidget(label, row, 0);
    auto* box = new QLineEdit(this);
    TARVIK_CHECK_POINTER(box, kSource);
    box->setObjectName(QLatin1String(line.box_name));
    grid->addWidget(box, row, 1);
    if (record != nullptr) box->setText(to_widget_text(record->value(line.key)));
    *line.box = box;
    ++row;
  }

  auto* notes_label = new QLabel(QStringLiteral("Notes"), this);
  TARVIK_CHECK_POINTER(notes_label, kSource);
  notes_label->setObjectName(QStringLiteral("notes_label"));
  grid->addWidget(notes_label, 4, 0);
  notes_box = new QPlainTextEdit(this);
  TARVIK_CHECK_POINTER(notes_box, kSource);
  notes_box->setObjectName(QStringLiteral("notes_box"));
  grid->addWidget(notes_box, 5, 0, 1, 2);
  if (record != nullptr) notes_box->setPlainText(to_widget_text(record->value("notes")));

  // Both buttons end the dialog; the caller writes back after an OK.
  ok_button = new QPushButton(this);
  TARVIK_CHECK_POINTER(ok_button, kSource);
  connect(ok_button, &QPushButton::clicked, dialog, &QDialog::accept);
  ok_button->setText(QStringLiteral("OK"));
  grid->addWidget(ok_button, 6, 0);

  cancel_button = new QPushButton(this);
  TARVIK_CHECK_POINTER(cancel_button, kSource);
  connect(cancel_button, &QPushButton::clicked, dialog, &QDialog::reject);
  cancel_button->setText(QStringLiteral("Cancel"));
  grid->addWidget(cancel_button, 6, 1);
}

RecordEditor::~RecordEditor() = default;

int RecordEditor::editor_dialog(Record* record, QWidget* parent, const char* name,
                                unsigned /*flags*/) {
  QDialog dialog(parent);
  if (name != nullptr) dialog.setObjectName(QLatin1String(name));
  dialog.setModal(true);
  dialog.setWindowTitle(QStringLiteral("Edit Record"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* editor = new RecordEditor(record, &dialog);
  layout->addWidget(editor);
  dialog.showMaximized();
  dialog.exec();
  if (dialog.result() == QDialog::Accepted) editor->ok_clicked();
  return dialog.result();
}

void RecordEditor::ok_clicked() {
  if (record == nullptr) return;
  // Numbers always read with the full stop, whatever the user's locale.
  const std::string mileage = from_widget_text(mileage_box->text());
  if (!mileage.empty()) record->mileage(parse_double(mileage.c_str()));
  record->operation(from_widget_text(op_box->text()));
  const std::string cost = from_widget_text(cost_box->text());
  if (!cost.empty()) record->cost(static_cast<float>(parse_double(cost.c_str())));
  record->notes(from_widget_text(notes_box->toPlainText()));
  parse_date(date_box->text(), *record);
}

}  // namespace tarvik
