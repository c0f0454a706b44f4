#include "ui/record_editor.h"

#include <QCheckBox>
#include <QCompleter>
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
#include <QTableWidget>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <ctime>
#include <limits>
#include <unordered_set>
#include <utility>

#include "data/calendar.h"
#include "data/number_text.h"
#include "data/record.h"
#include "insight/operation_name.h"
#include "platform/pointer_check.h"
#include "ui/log_units.h"
#include "ui/field_table.h"
#include "ui/form_input.h"
#include "ui/shown_number.h"
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

// The example is shown in the user's locale, as the boxes show numbers.
QString number_problem(const char* label, const QString& text, input_problem problem,
                       double example, int decimals) {
  if (problem == input_problem::out_of_range) {
    return RecordEditor::tr("%1: %2 is too large.").arg(RecordEditor::tr(label), text.trimmed());
  }
  if (problem == input_problem::grouping) {
    return RecordEditor::tr("%1: in \u201C%2\u201D the digits are not grouped in threes; type "
                            "a number such as %3.")
        .arg(RecordEditor::tr(label), text.trimmed(), shown_number(example, decimals));
  }
  return RecordEditor::tr("%1: \u201C%2\u201D is not a number; type one such as %3.")
      .arg(RecordEditor::tr(label), text.trimmed(), shown_number(example, decimals));
}

// A mileage that counts as a reading of the odometer.
bool is_reading(double mileage) { return std::isfinite(mileage) && mileage > 0; }

// The first second of the local day `date` falls on.
std::optional<long> day_start(long date) {
  const std::time_t time = date;
  std::tm parts{};
  if (localtime_r(&time, &parts) == nullptr) return std::nullopt;
  return local_time(parts.tm_year + 1900L, parts.tm_mon + 1L, parts.tm_mday, 0, 0, 0);
}

std::string date_text(long date) {
  Record dated(0);
  dated.date(date);
  return dated.value("date");
}

QString date_problem(const QString& text, input_problem problem) {
  if (problem == input_problem::out_of_range) {
    return RecordEditor::tr("Date: %1 lies beyond the dates this system can keep.")
        .arg(text.trimmed());
  }
  return RecordEditor::tr("Date: \u201C%1\u201D is not a date; type it as YYYY-MM-DD, such as "
                        "2003-05-17.")
      .arg(text.trimmed());
}

// A fill-up's number field as its box shows it: in the user's locale when it
// reads as a number, else as the file has it.
QString shown_field_number(const std::string* text, int decimals) {
  if (text == nullptr) return QString();
  if (!whole_double_text(text->c_str())) return to_widget_text(*text);
  return shown_reading(parse_double(text->c_str()), decimals);
}

bool is_yes(const std::string* text) {
  if (text == nullptr) return false;
  return QString::fromStdString(*text).trimmed().compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0;
}

}  // namespace

RecordEditor::RecordEditor(Record* record_to_edit, QDialog* owner, const char* name, bool fill_up)
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
    if (record != nullptr) {
      // Numbers in the user's locale, as the table shows them.
      const std::string key = line.key;
      if (key == "mileage") {
        box->setText(shown_number(record->mileage(), 1));
      } else if (key == "cost") {
        box->setText(shown_number(static_cast<double>(record->cost()), 2));
      } else {
        box->setText(to_widget_text(record->value(line.key)));
      }
    }
    *line.shown = box->text();
    *line.box = box;
    connect(box, &QLineEdit::textChanged, this, [this, box] {
      if (box->property("invalid").toBool()) check_boxes(false);
    });
    ++row;
  }
  // A fill-up's own boxes follow the cost.
  if (fill_up || (record != nullptr && record->other_field(kFuelKey) != nullptr)) {
    const auto add_box = [&](const QString& text, const char* box_name, const std::string* value,
                             int decimals, QString* shown, QLabel** label_out) {
      auto* label = new QLabel(text, this);
      TARVIK_CHECK_POINTER(label, kSource);
      grid->addWidget(label, row, 0);
      auto* box = new QLineEdit(this);
      TARVIK_CHECK_POINTER(box, kSource);
      box->setObjectName(QLatin1String(box_name));
      box->setMinimumWidth(box_width);
      box->setText(shown_field_number(value, decimals));
      label->setBuddy(box);
      label->setObjectName(QLatin1String(box_name) + QStringLiteral("_label"));
      *label_out = label;
      grid->addWidget(box, row++, 1);
      *shown = box->text();
      connect(box, &QLineEdit::textChanged, this, [this, box] {
        if (box->property("invalid").toBool()) check_boxes(false);
      });
      return box;
    };
    const auto field = [this](std::string_view key) {
      return record != nullptr ? record->other_field(key) : nullptr;
    };
    quantity_box = add_box(tr("&Quantity"), "quantity_box", field(kFuelKey), 2, &shown_quantity,
                           &quantity_label);
    price_box = add_box(tr("&Price per unit"), "price_box", field(kPriceKey), 3, &shown_price,
                        &price_label);
    full_box = new QCheckBox(tr("&Filled to full"), this);
    TARVIK_CHECK_POINTER(full_box, kSource);
    full_box->setObjectName(QStringLiteral("full_box"));
    shown_full = is_yes(field(kFullKey));
    full_box->setChecked(shown_full);
    grid->addWidget(full_box, row++, 1);
    // A new fill-up's cost is worked out unless typed: an empty box says so
    // better than 0.00.
    if (record != nullptr && record->cost() == 0.0f) {
      cost_box->clear();
      shown_cost.clear();
    }
    for (QLineEdit* box : {quantity_box, price_box, cost_box}) {
      connect(box, &QLineEdit::textEdited, this, [this, box] { work_out_fill_up(box); });
    }
  }

  auto* date_hint = new QLabel(tr("YYYY-MM-DD"), this);
  TARVIK_CHECK_POINTER(date_hint, kSource);
  date_hint->setObjectName(QStringLiteral("date_hint"));
  date_hint->setEnabled(false);  // drawn as a hint, not as a value
  grid->addWidget(date_hint, 1, 2);
  date_box->setPlaceholderText(tr("YYYY-MM-DD"));

  // Beside each number box, what its text reads as while the user types,
  // so that "148,950" read as another number is seen before OK.
  const auto add_read = [&](const char* object, int at_row) {
    auto* read = new QLabel(this);
    TARVIK_CHECK_POINTER(read, kSource);
    read->setObjectName(QLatin1String(object));
    read->setTextFormat(Qt::PlainText);
    read->setToolTip(tr("The value the box is read as."));
    read->hide();
    grid->addWidget(read, at_row, 2);
    return read;
  };
  mileage_read = add_read("mileage_read", 0);
  cost_read = add_read("cost_read", 3);
  connect(mileage_box, &QLineEdit::textChanged, this, &RecordEditor::show_readings);
  connect(date_box, &QLineEdit::textChanged, this, &RecordEditor::show_readings);
  connect(cost_box, &QLineEdit::textChanged, this, &RecordEditor::show_readings);

  if (quantity_box != nullptr) {
    connect(quantity_box, &QLineEdit::textChanged, this, &RecordEditor::show_readings);
    connect(price_box, &QLineEdit::textChanged, this, &RecordEditor::show_readings);
  }

  auto* notes_label = new QLabel(tr("&Notes"), this);
  TARVIK_CHECK_POINTER(notes_label, kSource);
  notes_label->setObjectName(QStringLiteral("notes_label"));
  grid->addWidget(notes_label, row++, 0);
  notes_box = new QPlainTextEdit(this);
  TARVIK_CHECK_POINTER(notes_box, kSource);
  notes_box->setObjectName(QStringLiteral("notes_box"));
  notes_box->setTabChangesFocus(true);
  notes_box->setMinimumHeight(notes_box->fontMetrics().lineSpacing() * kNotesLines);
  notes_label->setBuddy(notes_box);
  grid->addWidget(notes_box, row++, 0, 1, 3);
  if (record != nullptr) {
    operation_bytes = record->operation();
    notes_bytes = record->notes();
    notes_box->setPlainText(to_widget_text(record->value("notes")));
  }
  shown_notes = notes_box->document()->toRawText();

  // The fields beyond the five, but those with boxes of their own above.
  auto* fields_label = new QLabel(tr("Other fields"), this);
  TARVIK_CHECK_POINTER(fields_label, kSource);
  fields_label->setObjectName(QStringLiteral("fields_label"));
  grid->addWidget(fields_label, row++, 0, 1, 3);
  fields = new field_table(this);
  TARVIK_CHECK_POINTER(fields, kSource);
  fields_label->setBuddy(fields->table());
  grid->addWidget(fields, row++, 0, 1, 3);
  if (record != nullptr) {
    std::vector<hash_element> listed;
    for (const hash_element& field : record->other_fields()) {
      if (quantity_box != nullptr && (same_field_key(field.key, kFuelKey) ||
                                      same_field_key(field.key, kPriceKey) ||
                                      same_field_key(field.key, kFullKey))) {
        continue;
      }
      listed.push_back(field);
    }
    fields->show_fields(listed);
  }

  mileage_warning = new QLabel(this);
  TARVIK_CHECK_POINTER(mileage_warning, kSource);
  mileage_warning->setObjectName(QStringLiteral("mileage_warning"));
  mileage_warning->setTextFormat(Qt::PlainText);
  mileage_warning->setWordWrap(true);
  QPalette caution = mileage_warning->palette();
  caution.setColor(QPalette::WindowText, QColor(150, 80, 0));
  mileage_warning->setPalette(caution);
  mileage_warning->hide();
  grid->addWidget(mileage_warning, row++, 0, 1, 3);

  problem_label = new QLabel(this);
  TARVIK_CHECK_POINTER(problem_label, kSource);
  problem_label->setObjectName(QStringLiteral("problem_label"));
  problem_label->setWordWrap(true);
  QPalette warning = problem_label->palette();
  warning.setColor(QPalette::WindowText, QColor(170, 0, 0));
  problem_label->setPalette(warning);
  problem_label->hide();
  grid->addWidget(problem_label, row++, 0, 1, 3);

  // The platform's order of OK and Cancel; OK is the default button. OK
  // ends the dialog only once every changed box can be read.
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  TARVIK_CHECK_POINTER(buttons, kSource);
  ok_button = buttons->button(QDialogButtonBox::Ok);
  ok_button->setText(tr("OK"));
  ok_button->setDefault(true);
  cancel_button = buttons->button(QDialogButtonBox::Cancel);
  cancel_button->setText(tr("Cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (check_boxes(true) && dialog != nullptr) dialog->accept();
  });
  if (dialog != nullptr) connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  grid->addWidget(buttons, row, 0, 1, 3);
  // Ctrl+Return is OK from any box; plain Return in Notes starts a line.
  for (const QKeySequence& keys :
       {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter),
        QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Enter))}) {
    auto* accept = new QShortcut(keys, this);
    connect(accept, &QShortcut::activated, ok_button, &QPushButton::click);
  }

  show_readings();

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
                                unsigned flags, const std::vector<unread_value>& in_file) {
  return editor_dialog(record, parent, name, flags, in_file, log_context());
}

int RecordEditor::editor_dialog(Record* record, QWidget* parent, const char* name,
                                unsigned flags, const std::vector<unread_value>& in_file,
                                const log_context& log) {
  QDialog dialog(parent);
  if (name != nullptr) dialog.setObjectName(QLatin1String(name));
  dialog.setModal(true);
  const bool fill_up = (flags & kNewFillUp) != 0;
  dialog.setWindowTitle(fill_up                         ? tr("New Fill-up")
                        : (flags & kNewEntry) != 0 ? tr("New Entry")
                                                   : tr("Edit Record"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* editor = new RecordEditor(record, &dialog, nullptr, fill_up);
  editor->show_file_texts(in_file);
  editor->use_log(log);
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
                                double largest, double example, int decimals) {
    if (!changed(box, shown)) return report(box, QString());
    const number_input number = read_number(box->text(), largest);
    report(box, number.problem == input_problem::none
                    ? QString()
                    : number_problem(label, box->text(), number.problem, example, decimals));
  };
  check_number(mileage_box, shown_mileage, "Mileage", DBL_MAX, 45210.5, 1);
  if (!changed(date_box, shown_date)) {
    report(date_box, QString());
  } else {
    const date_input date = read_date(date_box->text());
    report(date_box, date.problem == input_problem::none ? QString()
                                                         : date_problem(date_box->text(), date.problem));
  }
  check_number(cost_box, shown_cost, "Cost", FLT_MAX, 12.5, 2);
  if (quantity_box != nullptr) {
    check_number(quantity_box, shown_quantity, "Quantity", DBL_MAX, 42.5, 2);
    check_number(price_box, shown_price, "Price per unit", DBL_MAX, 1.659, 3);
  }
  QString fields_problem;
  const bool fields_read = fields->fields(fill_up_keys(), fields_problem).has_value();
  if (!fields_read) problems.append(fields_problem);

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
  } else if (focus && !fields_read) {
    fields->table()->setFocus(Qt::OtherFocusReason);
  }
  return problems.isEmpty();
}

void RecordEditor::use_log(log_context context) {
  log = std::move(context);
  if (!log.operations.isEmpty()) {
    QStringList names = log.operations;
    names.sort(Qt::CaseInsensitive);
    auto* completer = new QCompleter(names, op_box);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setModelSorting(QCompleter::CaseInsensitivelySortedModel);
    op_box->setCompleter(completer);
  }
  if (log.volume && quantity_label != nullptr) {
    const QString unit = shown_unit(*log.volume);
    quantity_label->setText(*log.volume == volume_unit::kwh ? tr("&Energy (%1)").arg(unit)
                                                            : tr("&Fuel (%1)").arg(unit));
    price_label->setText(tr("&Price per %1").arg(unit));
  }
  show_readings();
}

std::optional<double> RecordEditor::typed_mileage() const {
  if (changed(mileage_box, shown_mileage)) {
    const number_input typed = read_number(mileage_box->text(), DBL_MAX);
    if (typed.problem != input_problem::none) return std::nullopt;
    return typed.value;
  }
  if (record == nullptr) return std::nullopt;
  return record->mileage();
}

std::optional<long> RecordEditor::typed_date() const {
  if (changed(date_box, shown_date)) {
    const date_input typed = read_date(date_box->text());
    if (typed.problem != input_problem::none) return std::nullopt;
    return typed.value;
  }
  if (record == nullptr) return std::nullopt;
  return record->date();
}

void RecordEditor::show_readings() {
  const auto echo = [this](QLineEdit* box, const QString& shown, QLabel* read, double largest,
                           int decimals) {
    QString text;
    if (changed(box, shown)) {
      const number_input typed = read_number(box->text(), largest);
      if (typed.problem == input_problem::none) {
        text = tr("= %1").arg(shown_reading(typed.value, decimals));
      }
    }
    read->setText(text);
    read->setVisible(!text.isEmpty());
    // What the file holds gives way while the box shows what was typed.
    if (auto* in_file = findChild<QLabel*>(box->objectName() + QStringLiteral("_in_file"))) {
      in_file->setVisible(text.isEmpty());
    }
  };
  echo(mileage_box, shown_mileage, mileage_read, DBL_MAX, 1);
  echo(cost_box, shown_cost, cost_read, FLT_MAX, 2);

  const std::optional<double> mileage = typed_mileage();
  const std::optional<long> date = typed_date();
  QStringList against;
  if (mileage && date) against = implausible_reading(log, *date, *mileage);
  mileage_warning->setText(against.isEmpty() ? QString()
                                             : tr("The mileage is %1.").arg(against.join(tr(", and "))));
  mileage_warning->setVisible(!against.isEmpty());
}

log_context context_of(const std::vector<const Record*>& records, int editing) {
  log_context context;
  context.readings.reserve(records.size());
  // Operations repeat: each distinct text is folded once.
  std::unordered_set<std::string> seen_texts;
  std::unordered_set<std::string> seen_keys;
  for (const Record* entry : records) {
    if (entry == nullptr || entry->identifier() == editing) continue;
    context.readings.push_back({entry->date(), entry->mileage()});
    if (!seen_texts.insert(entry->operation()).second) continue;
    std::string key = operation_key(entry->operation());
    if (key.empty() || !seen_keys.insert(std::move(key)).second) continue;
    context.operations.append(to_widget_text(std::string(trim_blanks(entry->operation()))));
  }
  return context;
}

std::optional<double> latest_reading(const log_context& log) {
  const log_context::reading* latest = nullptr;
  for (const log_context::reading& entry : log.readings) {
    if (!is_reading(entry.mileage)) continue;
    if (latest == nullptr || entry.date >= latest->date) latest = &entry;
  }
  if (latest == nullptr) return std::nullopt;
  return latest->mileage;
}

QStringList implausible_reading(const log_context& log, long date, double mileage) {
  if (!is_reading(mileage)) return {};
  // Earlier-dated means on an earlier local day: the time of day is not
  // shown, so entries of the same day are in no order. A day lasts 23 to
  // 25 hours, so 36 hours on from its start is in the next one.
  const std::optional<long> first = day_start(date);
  if (!first) return {};
  const std::optional<long> next = day_start(*first + 36 * 3600L);
  if (!next) return {};
  const log_context::reading* earlier = nullptr;  // the nearest with a higher reading
  const log_context::reading* later = nullptr;    // the nearest with a lower reading
  for (const log_context::reading& entry : log.readings) {
    if (!is_reading(entry.mileage)) continue;
    if (entry.date < *first && entry.mileage > mileage &&
        (earlier == nullptr || entry.date > earlier->date)) {
      earlier = &entry;
    } else if (entry.date >= *next && entry.mileage < mileage &&
               (later == nullptr || entry.date < later->date)) {
      later = &entry;
    }
  }
  QStringList against;
  if (earlier != nullptr) {
    against.append(RecordEditor::tr("lower than %1 on %2")
                       .arg(shown_number(earlier->mileage, 1),
                            to_widget_text(date_text(earlier->date))));
  }
  if (later != nullptr) {
    against.append(RecordEditor::tr("higher than %1 on %2")
                       .arg(shown_number(later->mileage, 1), to_widget_text(date_text(later->date))));
  }
  return against;
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
  store_other_fields();
}

std::vector<std::string_view> RecordEditor::fill_up_keys() const {
  if (quantity_box == nullptr) return {};
  return {kFuelKey, kPriceKey, kFullKey};
}

void RecordEditor::work_out_fill_up(QLineEdit* box) {
  typed.erase(std::remove(typed.begin(), typed.end(), box), typed.end());
  // A box emptied is one the user is about to type into: filling it again
  // would mix what is typed with what was worked out.
  if (box->text().trimmed().isEmpty()) return;
  typed.push_back(box);
  const auto has = [this](QLineEdit* which) {
    return std::find(typed.begin(), typed.end(), which) != typed.end();
  };
  if (typed.size() != 2) return;  // all three typed: the user's own cost stands
  const auto value = [](QLineEdit* which) -> std::optional<double> {
    const number_input read = read_number(which->text(), DBL_MAX);
    if (read.problem != input_problem::none) return std::nullopt;
    return read.value;
  };
  const std::optional<double> first = value(typed[0]);
  const std::optional<double> second = value(typed[1]);
  // The box to work out, and its value where both typed ones read.
  QLineEdit* third = nullptr;
  std::optional<double> result;
  int decimals = 2;
  if (!has(cost_box)) {
    third = cost_box;
    if (first && second) result = *first * *second;
  } else {
    QLineEdit* other = has(quantity_box) ? quantity_box : price_box;
    third = other == quantity_box ? price_box : quantity_box;
    decimals = third == price_box ? 3 : 2;
    const std::optional<double> cost = value(cost_box);
    const std::optional<double> given = value(other);
    if (cost && given && *given != 0) result = *cost / *given;
  }
  third->setText(result && std::isfinite(*result) ? shown_number(*result, decimals) : QString());
}

void RecordEditor::store_other_fields() {
  QString problem;
  const std::optional<std::vector<hash_element>> listed = fields->fields(fill_up_keys(), problem);
  if (!listed) return;
  if (quantity_box == nullptr) {
    record->other_fields(*listed);
    return;
  }
  // The fill-up's fields keep their places among the others; new ones
  // follow them.
  const std::vector<hash_element>& before = record->other_fields();
  struct box_field {
    std::string_view key;
    std::optional<std::string> value;  // none: not in the record
    std::size_t place;
  };
  const auto place_of = [&](std::string_view key) {
    for (std::size_t i = before.size(); i-- > 0;) {
      if (same_field_key(before[i].key, key)) return i;
    }
    return std::string::npos;
  };
  const auto from_box = [&](std::string_view key, QLineEdit* box, const QString& shown) {
    box_field field{key, std::nullopt, place_of(key)};
    if (field.place != std::string::npos) field.value = before[field.place].value;
    if (box->text() == shown) return field;
    if (box->text().trimmed().isEmpty()) {
      field.value.reset();
    } else if (const number_input read = read_number(box->text(), DBL_MAX);
               read.problem == input_problem::none) {
      field.value = format_exact(read.value);
    }
    return field;
  };
  box_field own[] = {from_box(kFuelKey, quantity_box, shown_quantity),
                     from_box(kPriceKey, price_box, shown_price),
                     {kFullKey, std::nullopt, place_of(kFullKey)}};
  if (own[2].place != std::string::npos) own[2].value = before[own[2].place].value;
  if (full_box->isChecked() != shown_full) own[2].value = full_box->isChecked() ? "yes" : "no";
  std::sort(std::begin(own), std::end(own),
            [](const box_field& a, const box_field& b) { return a.place < b.place; });
  std::vector<hash_element> after = *listed;
  for (const box_field& field : own) {
    if (!field.value) continue;
    // Kept under the key as written in the file.
    const std::string key =
        field.place != std::string::npos ? before[field.place].key : std::string(field.key);
    const std::size_t at = std::min(field.place, after.size());
    after.insert(after.begin() + static_cast<std::ptrdiff_t>(at), {key, *field.value});
  }
  record->other_fields(std::move(after));
}

}  // namespace tarvik
