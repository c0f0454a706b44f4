#include "ui/record_editor.h"

#include <QAccessible>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStringList>
#include <QTextDocument>
#include <QVBoxLayout>
#include <cfloat>
#include <limits>

#include "data/record.h"
#include "platform/pointer_check.h"
#include "ui/form_input.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

constexpr const char* kSource = "record_editor";
constexpr int kBoxCharacters = 28;
constexpr int kNotesLines = 6;

// A box whose text cannot be read gets a tinted background; the property
// lets tests and style sheets see the mark.
void mark(QLineEdit* box, const QString& problem) {
  const bool marked = !problem.isEmpty();
  if (box->property("invalid").toBool() == marked && box->toolTip() == problem) return;
  box->setProperty("invalid", marked);
  box->setToolTip(problem);
  // A screen reader reads the problem with the box, not only its colour.
  box->setAccessibleDescription(problem);
  QAccessibleEvent described(box, QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&described);
  if (marked) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, QColor(255, 218, 218));
    palette.setColor(QPalette::Text, Qt::black);
    box->setPalette(palette);
  } else {
    box->setPalette(QPalette());
  }
}

bool changed(const QLineEdit* box, const QString& shown) {
  return box->text() != shown && !box->text().trimmed().isEmpty();
}

QString number_problem(const char* label, const QString& text, input_problem problem,
                       const char* example) {
  if (problem == input_problem::out_of_range) {
    return QStringLiteral("%1: %2 is too large.").arg(QLatin1String(label), text.trimmed());
  }
  return QStringLiteral("%1: \u201C%2\u201D is not a number; type one such as %3.")
      .arg(QLatin1String(label), text.trimmed(), QLatin1String(example));
}

QString date_problem(const QString& text, input_problem problem) {
  if (problem == input_problem::out_of_range) {
    return QStringLiteral("Date: %1 lies beyond the dates this system can keep.")
        .arg(text.trimmed());
  }
  return QStringLiteral("Date: \u201C%1\u201D is not a date; type it as YYYY-MM-DD, such as "
                        "2003-05-17.")
      .arg(text.trimmed());
}

}  // namespace

RecordEditor::RecordEditor(Record* record_to_edit, QDialog* owner, const char* name)
    : QWidget(owner), dialog(owner), record(record_to_edit) {
  if (name != nullptr) setObjectName(QLatin1String(name));

  auto* grid = new QGridLayout(this);
  TARVIK_CHECK_POINTER(grid, kSource);
  grid->setObjectName(QStringLiteral("top_layout"));
  grid->setColumnStretch(1, 1);

  struct line_row {
    const char* label;
    const char* label_name;
    const char* box_name;
    const char* key;
    QLineEdit** box;
    QString* shown;
  };
  const line_row rows[] = {
      {QT_TR_NOOP("&Mileage"), "mileage_label", "mileage_box", "mileage", &mileage_box,
       &shown_mileage},
      {QT_TR_NOOP("&Date"), "date_label", "date_box", "date", &date_box, &shown_date},
      {QT_TR_NOOP("&Operation"), "op_label", "op_box", "operation", &op_box, &shown_operation},
      {QT_TR_NOOP("Co&st"), "cost_label", "cost_box", "cost", &cost_box, &shown_cost},
  };
  const int box_width = fontMetrics().averageCharWidth() * kBoxCharacters;
  int row = 0;
  for (const line_row& line : rows) {
    auto* label = new QLabel(tr(line.label), this);
    TARVIK_CHECK_POINTER(label, kSource);
    label->setObjectName(QLatin1String(line.label_name));
    grid->addWidget(label, row, 0);
    auto* box = new QLineEdit(this);
    TARVIK_CHECK_POINTER(box, kSource);
    box->setObjectName(QLatin1String(line.box_name));
    // The default limit would cut a long operation read from the log.
    box->setMaxLength(std::numeric_limits<int>::max());
    box->setMinimumWidth(box_width);
    label->setBuddy(box);
    grid->addWidget(box, row, 1);
    if (record != nullptr) box->setText(to_widget_text(record->value(line.key)));
    *line.shown = box->text();
    *line.box = box;
    connect(box, &QLineEdit::textChanged, this, [this, box] {
      if (box->property("invalid").toBool()) check_boxes(false);
    });
    ++row;
  }
  auto* date_hint = new QLabel(QStringLiteral("YYYY-MM-DD"), this);
  TARVIK_CHECK_POINTER(date_hint, kSource);
  date_hint->setObjectName(QStringLiteral("date_hint"));
  date_hint->setEnabled(false);  // drawn as a hint, not as a value
  grid->addWidget(date_hint, 1, 2);
  date_box->setPlaceholderText(QStringLiteral("YYYY-MM-DD"));

  auto* notes_label = new QLabel(tr("&Notes"), this);
  TARVIK_CHECK_POINTER(notes_label, kSource);
  notes_label->setObjectName(QStringLiteral("notes_label"));
  grid->addWidget(notes_label, 4, 0);
  notes_box = new QPlainTextEdit(this);
  TARVIK_CHECK_POINTER(notes_box, kSource);
  notes_box->setObjectName(QStringLiteral("notes_box"));
  notes_box->setTabChangesFocus(true);
  notes_box->setMinimumHeight(notes_box->fontMetrics().lineSpacing() * kNotesLines);
  notes_label->setBuddy(notes_box);
  grid->addWidget(notes_box, 5, 0, 1, 3);
  if (record != nullptr) {
    operation_bytes = record->operation();
    notes_bytes = record->notes();
    notes_box->setPlainText(to_widget_text(record->value("notes")));
  }
  shown_notes = notes_box->document()->toRawText();

  problem_label = new QLabel(this);
  TARVIK_CHECK_POINTER(problem_label, kSource);
  problem_label->setObjectName(QStringLiteral("problem_label"));
  problem_label->setWordWrap(true);
  QPalette warning = problem_label->palette();
  warning.setColor(QPalette::WindowText, QColor(170, 0, 0));
  problem_label->setPalette(warning);
  problem_label->hide();
  grid->addWidget(problem_label, 6, 0, 1, 3);

  // The platform's order of OK and Cancel; OK is the default button. OK
  // ends the dialog only once every changed box can be read.
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  TARVIK_CHECK_POINTER(buttons, kSource);
  ok_button = buttons->button(QDialogButtonBox::Ok);
  ok_button->setText(QStringLiteral("OK"));
  ok_button->setDefault(true);
  cancel_button = buttons->button(QDialogButtonBox::Cancel);
  cancel_button->setText(QStringLiteral("Cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (check_boxes(true) && dialog != nullptr) dialog->accept();
  });
  if (dialog != nullptr) connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  grid->addWidget(buttons, 7, 0, 1, 3);
  // Ctrl+Return is OK from any box; plain Return in Notes starts a line.
  for (const QKeySequence& keys :
       {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter),
        QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Enter))}) {
    auto* accept = new QShortcut(keys, this);
    connect(accept, &QShortcut::activated, ok_button, &QPushButton::click);
  }

  // Typing replaces the first value instead of adding to it.
  mileage_box->setFocus();
  mileage_box->selectAll();
}

RecordEditor::~RecordEditor() = default;

int RecordEditor::editor_dialog(Record* record, QWidget* parent, const char* name,
                                unsigned flags) {
  return editor_dialog(record, parent, name, flags, {});
}

void RecordEditor::show_file_texts(const std::vector<unread_value>& values) {
  auto* grid = static_cast<QGridLayout*>(layout());
  for (const unread_value& value : values) {
    QWidget* box = nullptr;
    switch (value.field) {
      case record_field::mileage: box = mileage_box; break;
      case record_field::date: box = date_box; break;
      case record_field::operation:
      case record_field::operation_escaped: box = op_box; break;
      case record_field::cost: box = cost_box; break;
      case record_field::notes:
      case record_field::notes_escaped: box = notes_box; break;
      case record_field::none:
      case record_field::identifier: break;
    }
    if (box == nullptr) continue;
    QString text = to_widget_text(value.text);
    text.replace(QChar(0), QStringLiteral("<NUL>"));
    auto* note = new QLabel(tr("In the file: %1").arg(text), this);
    note->setObjectName(box->objectName() + QStringLiteral("_in_file"));
    note->setTextFormat(Qt::PlainText);
    note->setWordWrap(true);
    note->setToolTip(tr("The file holds more than the box shows. It stays in the file as it is "
                        "unless you type a value here."));
    box->setToolTip(note->toolTip());
    // Under the box it belongs to; the date's hint gives way to it.
    int row = 0;
    int column = 0;
    int rows = 0;
    int columns = 0;
    grid->getItemPosition(grid->indexOf(box), &row, &column, &rows, &columns);
    if (box == notes_box) {
      grid->addWidget(note, row - 1, 1, 1, 2);
    } else {
      if (box == date_box) findChild<QLabel*>(QStringLiteral("date_hint"))->hide();
      grid->addWidget(note, row, 2);
    }
  }
}

int RecordEditor::editor_dialog(Record* record, QWidget* parent, const char* name,
                                unsigned /*flags*/, const std::vector<unread_value>& in_file) {
  QDialog dialog(parent);
  if (name != nullptr) dialog.setObjectName(QLatin1String(name));
  dialog.setModal(true);
  dialog.setWindowTitle(QStringLiteral("Edit Record"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* editor = new RecordEditor(record, &dialog);
  editor->show_file_texts(in_file);
  layout->addWidget(editor);
  dialog.adjustSize();
  // A dialog that fits opens at its own size, centred over the parent; only
  // a screen too small for it gets it maximised.
  const QScreen* screen = parent != nullptr ? parent->screen() : dialog.screen();
  const QSize room = screen != nullptr ? screen->availableGeometry().size() : QSize();
  if (room.isValid() && (dialog.width() > room.width() || dialog.height() > room.height())) {
    dialog.showMaximized();
  } else {
    dialog.show();
  }
  dialog.exec();
  if (dialog.result() == QDialog::Accepted) editor->ok_clicked();
  return dialog.result();
}

bool RecordEditor::check_boxes(bool focus) {
  QStringList problems;
  QLineEdit* first = nullptr;
  const auto report = [&](QLineEdit* box, const QString& problem) {
    mark(box, problem);
    if (problem.isEmpty()) return;
    problems.append(problem);
    if (first == nullptr) first = box;
  };

  const auto check_number = [&](QLineEdit* box, const QString& shown, const char* label,
                                double largest, const char* example) {
    if (!changed(box, shown)) return report(box, QString());
    const number_input number = read_number(box->text(), largest);
    report(box, number.problem == input_problem::none
                    ? QString()
                    : number_problem(label, box->text(), number.problem, example));
  };
  check_number(mileage_box, shown_mileage, "Mileage", DBL_MAX, "45210.5");
  if (!changed(date_box, shown_date)) {
    report(date_box, QString());
  } else {
    const date_input date = read_date(date_box->text());
    report(date_box, date.problem == input_problem::none ? QString()
                                                         : date_problem(date_box->text(), date.problem));
  }
  check_number(cost_box, shown_cost, "Cost", FLT_MAX, "12.50");

  problem_label->setText(problems.join(QLatin1Char(' ')));
  problem_label->setVisible(!problems.isEmpty());
  if (focus && !problems.isEmpty()) {
    // OK refused: said aloud, as the line is shown.
    QAccessibleEvent alert(problem_label, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
  }
  if (focus && first != nullptr) {
    first->setFocus(Qt::OtherFocusReason);
    first->selectAll();
  }
  return problems.isEmpty();
}

void RecordEditor::ok_clicked() {
  if (record == nullptr) return;
  if (changed(mileage_box, shown_mileage)) {
    const number_input mileage = read_number(mileage_box->text(), DBL_MAX);
    if (mileage.problem == input_problem::none) record->mileage(mileage.value);
  }
  if (op_box->text() != shown_operation) {
    record->operation(from_widget_text(op_box->text(), operation_bytes));
  }
  if (changed(cost_box, shown_cost)) {
    const number_input cost = read_number(cost_box->text(), FLT_MAX);
    if (cost.problem == input_problem::none) record->cost(static_cast<float>(cost.value));
  }
  const QString notes = notes_box->document()->toRawText();
  if (notes != shown_notes) {
    const QString with_breaks = restore_line_breaks(notes, to_widget_text(notes_bytes));
    record->notes(from_widget_text(with_breaks, notes_bytes));
  }
  if (changed(date_box, shown_date)) {
    const date_input date = read_date(date_box->text());
    if (date.problem == input_problem::none) record->date(date.value);
  }
}

}  // namespace tarvik
