#include "ui/csv_import_dialog.h"

#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <optional>

#include "transfer/csv_preselect.h"
#include "ui/csv_import_parts.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

// The first rows are enough to see what the columns hold, and the first
// columns are more than any vehicle log has: a box for each of 100,000
// would take a minute and a gigabyte. Columns beyond are kept as fields.
constexpr std::size_t kPreviewRows = 200;
constexpr std::size_t kPreviewColumns = kMostRoleColumns;
constexpr int kWidestPreviewColumn = 260;
// The most of a cell the preview shows, in a cell and in its tooltip: a
// cell of megabytes would be measured and drawn whole.
constexpr std::size_t kCellShown = 400;
constexpr std::size_t kTipShown = 4000;

constexpr std::array<char, 3> kSeparators{',', ';', '\t'};

// `many` holds %1 for the count, in the user's locale.
QString count_text(std::size_t count, const QString& one, const QString& many) {
  return count == 1 ? one : many.arg(QLocale().toString(static_cast<qulonglong>(count)));
}

// The start of `bytes`, at most `limit` of them (never cut inside a UTF-8
// character), with an ellipsis when there is more.
QString start_of(const std::string& bytes, std::size_t limit) {
  if (bytes.size() <= limit) return to_widget_text(bytes);
  std::size_t cut = limit;
  for (int back = 0; back < 3 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80; ++back) {
    --cut;
  }
  return to_widget_text(bytes.substr(0, cut)) + QChar(0x2026);
}

decoded_file plain_utf8(std::string text) {
  decoded_file file;
  file.text = std::move(text);
  return file;
}

}  // namespace

csv_import_dialog::csv_import_dialog(QWidget* parent, const QString& file_name, std::string text_,
                                     const QString& log_distance_, const QString& log_currency_)
    : csv_import_dialog(parent, file_name, plain_utf8(std::move(text_)), log_distance_,
                        log_currency_) {}

csv_import_dialog::csv_import_dialog(QWidget* parent, const QString& file_name,
                                     decoded_file file, const QString& log_distance_,
                                     const QString& log_currency_)
    : QDialog(parent),
      text(std::move(file.text)),
      bytes(std::move(file.bytes)),
      log_distance(log_distance_),
      log_currency(log_currency_.toStdString()) {
  setObjectName(QStringLiteral("csv_import_dialog"));
  setWindowTitle(tr("Import CSV"));

  auto* file_label = new QLabel(this);
  file_label->setObjectName(QStringLiteral("file_label"));
  file_label->setText(tr("From %1. Choose what each column holds; the first "
                                     "rows are shown.")
                          .arg(file_name));
  file_label->setWordWrap(true);

  separator_box = new QComboBox(this);
  separator_box->setObjectName(QStringLiteral("separator_box"));
  separator_box->addItems({tr("Comma"), tr("Semicolon"),
                           tr("Tab")});
  auto* separator_label = new QLabel(tr("&Separator:"), this);
  separator_label->setBuddy(separator_box);

  dates_box = new QComboBox(this);
  dates_box->setObjectName(QStringLiteral("dates_box"));
  dates_box->addItems({tr("Year-month-day (2002-05-01)"),
                       tr("Day first (1.5.2002)"),
                       tr("Month first (5/1/2002)")});
  dates_box->setPlaceholderText(tr("Choose…"));
  auto* dates_label = new QLabel(tr("&Dates:"), this);
  dates_label->setBuddy(dates_box);
  dates_warning = new QLabel(
      tr("The dates could be read either way: choose how they are written."), this);
  dates_warning->setObjectName(QStringLiteral("dates_warning"));
  dates_warning->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));
  dates_warning->setWordWrap(true);
  QSizePolicy keep = dates_warning->sizePolicy();
  keep.setRetainSizeWhenHidden(true);  // the rows below do not jump once it goes
  dates_warning->setSizePolicy(keep);

  decimals_box = new QComboBox(this);
  decimals_box->setObjectName(QStringLiteral("decimals_box"));
  decimals_box->addItems({tr("Full stop (1,234.5)"), tr("Comma (1.234,5)")});
  auto* decimals_label = new QLabel(tr("D&ecimals:"), this);
  decimals_label->setBuddy(decimals_box);

  escapes_box = new QCheckBox(tr("&Backslash escapes"), this);
  escapes_box->setObjectName(QStringLiteral("escapes_box"));
  escapes_box->setToolTip(tr("A backslash before the separator or a quote keeps it in the "
                             "cell, as some programs write “Autobahn\\; A8”"));

  auto* choices = new QHBoxLayout;
  choices->addWidget(separator_label);
  choices->addWidget(separator_box);
  choices->addSpacing(16);
  choices->addWidget(decimals_label);
  choices->addWidget(decimals_box);
  choices->addSpacing(16);
  choices->addWidget(dates_label);
  choices->addWidget(dates_box);
  choices->addStretch();

  preview = new QTableWidget(this);
  preview->setObjectName(QStringLiteral("preview_table"));
  header = new role_header(preview);
  preview->setHorizontalHeader(header);
  preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
  preview->setSelectionMode(QAbstractItemView::NoSelection);
  preview->setWordWrap(false);
  preview->verticalHeader()->setDefaultSectionSize(preview->fontMetrics().height() + 6);
  preview->setToolTip(tr("Row numbers are the file's lines"));

  auto* problems_label = new QLabel(tr("Rows that cannot be read:"), this);
  problem_texts = new problem_lines(this);
  problem_list = new QListView(this);
  problem_list->setObjectName(QStringLiteral("problem_list"));
  problem_list->setModel(problem_texts);
  problem_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  problem_list->setUniformItemSizes(true);  // many rows, quickly
  problem_list->setMaximumHeight(preview->fontMetrics().height() * 6 + 8);

  hidden_columns = new QLabel(this);
  hidden_columns->setObjectName(QStringLiteral("hidden_columns_label"));
  hidden_columns->setWordWrap(true);
  hidden_columns->hide();

  costs_note = new QLabel(this);
  costs_note->setObjectName(QStringLiteral("costs_note"));
  costs_note->setWordWrap(true);
  costs_note->hide();
  // Costs in several currencies would be added up as one in the log's
  // totals: they come in only when the user says so.
  currencies_warning = new QLabel(this);
  currencies_warning->setObjectName(QStringLiteral("currencies_warning"));
  currencies_warning->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));
  currencies_warning->setWordWrap(true);
  currencies_warning->hide();
  currencies_box = new QCheckBox(tr("Import the costs &as they are, unconverted"), this);
  currencies_box->setObjectName(QStringLiteral("currencies_box"));
  currencies_box->hide();

  summary = new QLabel(this);
  summary->setObjectName(QStringLiteral("summary_label"));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  import_button = buttons->button(QDialogButtonBox::Ok);
  import_button->setText(tr("Import"));
  import_button->setObjectName(QStringLiteral("import_button"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  layout = new QVBoxLayout(this);
  layout->addWidget(file_label);
  layout->addLayout(choices);
  // Below the choices, beside the warning: the row above is as wide as
  // the dialog may be.
  auto* reading = new QHBoxLayout;
  if (!file.plain) {
    // Not plain UTF-8: a guess, or the user's word, worth seeing.
    encoding_box = new QComboBox(this);
    encoding_box->setObjectName(QStringLiteral("encoding_box"));
    encoding_box->addItems({tr("UTF-8"), tr("UTF-16"), tr("Windows-1252")});
    encoding_box->setToolTip(tr("How the file writes its characters: choose another where "
                                "letters look wrong"));
    encoding_box->setCurrentIndex(file.encoding == text_encoding::utf8          ? 0
                                  : file.encoding == text_encoding::windows1252 ? 2
                                                                                : 1);
    auto* encoding_label = new QLabel(tr("&Read as:"), this);
    encoding_label->setBuddy(encoding_box);
    reading->addWidget(encoding_label, 0, Qt::AlignTop);
    reading->addWidget(encoding_box, 0, Qt::AlignTop);
    reading->addSpacing(16);
    connect(encoding_box, &QComboBox::activated, this, [this] { read_as_chosen(); });
  }
  reading->addWidget(escapes_box, 0, Qt::AlignTop);
  reading->addSpacing(16);
  reading->addWidget(dates_warning, 1);
  layout->addLayout(reading);
  layout->addWidget(preview, 1);
  layout->addWidget(hidden_columns);
  layout->addWidget(problems_label);
  layout->addWidget(problem_list);
  layout->addWidget(costs_note);
  layout->addWidget(currencies_warning);
  layout->addWidget(currencies_box);
  layout->addWidget(summary);
  layout->addWidget(buttons);
  button_row = buttons;

  connect(separator_box, &QComboBox::currentIndexChanged, this, [this] {
    read_table();
    show_outcome();
  });
  connect(currencies_box, &QCheckBox::toggled, this, [this] { show_outcome(); });
  connect(escapes_box, &QCheckBox::clicked, this, [this] {
    escapes_chosen = true;
    read_table();
    show_outcome();
  });
  connect(decimals_box, &QComboBox::activated, this, [this] {
    decimals_chosen = true;
    show_outcome();
  });
  // Chosen, even where it is the guess: a guess no longer overrides it.
  // (A choice from the list, the keyboard or the wheel is "activated".)
  connect(dates_box, &QComboBox::activated, this, [this] {
    dates_chosen = true;
    dates_known = dates_box->currentIndex() >= 0;
    dates_warning->hide();
    show_outcome();
  });

  read_sections();
  // Room for the preview, yet whole on an 800x600 screen, frame included.
  resize(760, 520);
}

void csv_import_dialog::read_as_chosen() {
  const int index = encoding_box->currentIndex();
  text_encoding chosen = index == 0   ? text_encoding::utf8
                         : index == 2 ? text_encoding::windows1252
                                      : utf16_order(bytes).value_or(text_encoding::utf16le);
  std::string read;
  std::string why;
  unreadable.clear();
  if (!decode_text(bytes, chosen, read, why)) {
    unreadable = why;
    read.clear();
  }
  problem_texts->show(nullptr);
  // The sections are views into the text.
  sections.clear();
  text = std::move(read);
  read_sections();
}

void csv_import_dialog::read_sections() {
  problem_texts->show(nullptr);
  sections = find_sections(text);
  states.assign(sections.size(), section_state{});
  // Also a plain file's odometer header may name its unit ("Odometer (km)").
  found = find_vehicle_facts(sections);
  current = 0;
  combined = {};
  table = {};
  roles.clear();
  outcome = {};
  displaced = {};
  dates_chosen = dates_known = decimals_chosen = escapes_chosen = false;

  // Made anew: another encoding may read other sections and facts.
  delete sections_label;
  delete section_list;
  delete use_found_box;
  delete units_warning;
  sections_label = nullptr;
  section_list = nullptr;
  use_found_box = nullptr;
  units_warning = nullptr;
  if (sectioned()) {
    section_list = new QListWidget(this);
    section_list->setObjectName(QStringLiteral("section_list"));
    // Side by side, wrapping: a backup has a handful of sections, and the
    // preview needs the height.
    section_list->setFlow(QListView::LeftToRight);
    section_list->setWrapping(true);
    section_list->setResizeMode(QListView::Adjust);
    section_list->setSpacing(2);
    section_list->setFixedHeight(section_list->fontMetrics().height() * 2 + 24);
    for (const csv_section& section : sections) {
      const QString title = to_widget_text(section.title);
      auto* item = new QListWidgetItem(section_list);
      if (section.kind == section_kind::records) {
        item->setText(title);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        item->setToolTip(tr("From line %1. Checked sections are imported.")
                             .arg(section.first_line));
      } else {
        item->setText(tr("%1 (not entries)").arg(title));
        item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
        QFont font = item->font();
        font.setItalic(true);
        item->setFont(font);
        item->setToolTip(tr("From line %1. It describes the vehicle or the program's lists: "
                            "it is shown, not imported as entries.")
                             .arg(section.first_line));
      }
    }
    sections_label = new QLabel(tr("Sec&tions of the file (those checked are imported):"), this);
    sections_label->setBuddy(section_list);
    layout->insertWidget(1, sections_label);
    layout->insertWidget(2, section_list);
  }
  if (const QString distance = QString::fromStdString(found.distance);
      !distance.isEmpty() && !log_distance.isEmpty() && distance != log_distance) {
    units_warning = new QLabel(
        tr("The file's distances are in %1, this log's in %2: the mileages are imported as "
           "written, not converted.")
            .arg(distance, log_distance),
        this);
    units_warning->setObjectName(QStringLiteral("units_warning"));
    units_warning->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));
    units_warning->setWordWrap(true);
    layout->insertWidget(layout->indexOf(button_row), units_warning);
  }
  if (!found.distance.empty() || !found.name.empty()) {
    QStringList told;
    if (!found.distance.empty()) {
      told << tr("distances in %1").arg(QString::fromStdString(found.distance));
    }
    if (!found.name.empty()) {
      told << tr("the vehicle’s name “%1”").arg(to_widget_text(found.name));
    }
    use_found_box = new QCheckBox(tr("&Use these for the log: %1").arg(told.join(tr(", "))), this);
    use_found_box->setObjectName(QStringLiteral("use_found_box"));
    layout->insertWidget(layout->indexOf(button_row), use_found_box);
  }

  if (sectioned()) {
    // Each section's guesses and entries, so that OK imports every section
    // checked, seen or not.
    std::size_t first_records = sections.size();
    for (std::size_t index = 0; index < sections.size(); ++index) {
      current = index;
      dates_chosen = dates_known = decimals_chosen = escapes_chosen = false;
      preset_separator();
      read_table();
      show_outcome();
      store_section();
      if (first_records == sections.size() && sections[index].kind == section_kind::records) {
        first_records = index;
      }
    }
    show_section(first_records < sections.size() ? first_records : 0);
    connect(section_list, &QListWidget::currentRowChanged, this, [this](int row) {
      if (row < 0 || static_cast<std::size_t>(row) == current) return;
      store_section();
      show_section(static_cast<std::size_t>(row));
    });
    connect(section_list, &QListWidget::itemChanged, this, [this] { show_outcome(); });
  } else {
    preset_separator();
    read_table();
    show_outcome();
  }
}

// The list must not look at the problems once they are gone, before it is.
csv_import_dialog::~csv_import_dialog() { problem_texts->show(nullptr); }

void csv_import_dialog::preset_separator() {
  const char guessed = guess_separator(sections[current].text);
  QSignalBlocker quiet(separator_box);
  separator_box->setCurrentIndex(static_cast<int>(
      std::find(kSeparators.begin(), kSeparators.end(), guessed) - kSeparators.begin()));
}

void csv_import_dialog::store_section() {
  problem_texts->show(nullptr);
  section_state& state = states[current];
  state.table = std::move(table);
  state.roles = std::move(roles);
  state.outcome = std::move(outcome);
  state.dates_chosen = dates_chosen;
  state.dates_known = dates_known;
  state.decimals_chosen = decimals_chosen;
  state.escapes_chosen = escapes_chosen;
  state.dates_unclear = !dates_warning->isHidden();
  state.separator = separator_box->currentIndex();
  state.decimals = decimals_box->currentIndex();
  state.dates = dates_box->currentIndex();
  state.escapes = escapes_box->isChecked();
  table = {};
  roles.clear();
  outcome = {};
}

void csv_import_dialog::show_section(std::size_t index) {
  current = index;
  section_state& state = states[index];
  table = std::move(state.table);
  roles = std::move(state.roles);
  outcome = std::move(state.outcome);
  dates_chosen = state.dates_chosen;
  dates_known = state.dates_known;
  decimals_chosen = state.decimals_chosen;
  escapes_chosen = state.escapes_chosen;
  displaced = {};
  {
    QSignalBlocker quiet_separator(separator_box);
    QSignalBlocker quiet_decimals(decimals_box);
    QSignalBlocker quiet_dates(dates_box);
    separator_box->setCurrentIndex(state.separator);
    decimals_box->setCurrentIndex(state.decimals);
    dates_box->setCurrentIndex(state.dates);
    escapes_box->setChecked(state.escapes);
  }
  dates_warning->setVisible(state.dates_unclear);
  if (section_list != nullptr) {
    QSignalBlocker quiet(section_list);
    section_list->setCurrentRow(static_cast<int>(index));
  }
  fill_preview();
  show_outcome();
}

bool csv_import_dialog::section_checked(std::size_t index) const {
  return sections[index].kind == section_kind::records &&
         section_list->item(static_cast<int>(index))->checkState() == Qt::Checked;
}

void csv_import_dialog::collect() {
  combined = {};
  all_ready = true;
  for (std::size_t index = 0; index < sections.size(); ++index) {
    if (!section_checked(index)) continue;
    const bool shown = index == current;
    const csv_table& cells = shown ? table : states[index].table;
    const std::vector<csv_role>& chosen = shown ? roles : states[index].roles;
    const import_result& read = shown ? outcome : states[index].outcome;
    const bool dated = std::find(chosen.begin(), chosen.end(), csv_role::date) != chosen.end();
    if (!dated || !(shown ? dates_known : states[index].dates_known) || !cells.complete) {
      all_ready = false;
    }
    combined.entries.insert(combined.entries.end(), read.entries.begin(), read.entries.end());
    combined.problems.insert(combined.problems.end(), read.problems.begin(), read.problems.end());
    for (const std::string& currency : read.currencies) {
      if (std::find(combined.currencies.begin(), combined.currencies.end(), currency) ==
          combined.currencies.end()) {
        combined.currencies.push_back(currency);
      }
    }
    combined.costs_from_price += read.costs_from_price;
  }
}

vehicle_facts csv_import_dialog::facts_for_log() const {
  return use_found_box != nullptr && use_found_box->isChecked() ? found : vehicle_facts{};
}

int csv_import_dialog::date_column() const {
  const auto found = std::find(roles.begin(), roles.end(), csv_role::date);
  return found == roles.end() ? -1 : static_cast<int>(found - roles.begin());
}

void csv_import_dialog::read_table() {
  const int separator = std::max(separator_box->currentIndex(), 0);
  csv_options options;
  options.separator = kSeparators[static_cast<std::size_t>(separator)];
  if (escapes_chosen) options.backslash_escapes = escapes_box->isChecked();
  table = read_csv(sections[current].text, options);
  {
    QSignalBlocker quiet(escapes_box);
    escapes_box->setChecked(table.backslash_escapes);
  }
  // Lines are the file's, in the preview and in every message.
  if (const std::size_t above = sections[current].first_line - 1; above > 0) {
    for (std::size_t& line : table.line_of) line += above;
  }
  displaced = {};
  roles = preselect_roles(table);
  guess_dates();
  guess_decimals();
  fill_preview();
}

void csv_import_dialog::guess_decimals() {
  if (decimals_chosen) return;
  QSignalBlocker quiet(decimals_box);
  decimals_box->setCurrentIndex(static_cast<int>(guess_decimal_mark(table, roles)));
}

void csv_import_dialog::guess_dates() {
  if (dates_chosen) return;
  dates_known = false;
  QSignalBlocker quiet(dates_box);
  const std::optional<date_guess> found = preselect_dates(table, roles);
  if (!found) {
    dates_box->setCurrentIndex(-1);
    dates_warning->hide();
    return;
  }
  const date_guess guess = *found;
  dates_warning->setVisible(guess.ambiguous);
  dates_box->setCurrentIndex(guess.ambiguous ? -1 : static_cast<int>(guess.order));
  dates_known = !guess.ambiguous;
}

void csv_import_dialog::fill_preview() {
  const std::size_t shown = table.rows.empty() ? 0 : std::min(table.rows.size() - 1, kPreviewRows);
  const std::size_t shown_columns = std::min(roles.size(), kPreviewColumns);
  const int columns = static_cast<int>(shown_columns);
  header->hold(true);
  preview->clear();
  preview->setColumnCount(columns);
  preview->setRowCount(static_cast<int>(shown));
  QStringList names;
  for (std::size_t k = 0; k < shown_columns; ++k) {
    names << start_of(column_name(table.rows.front(), k), kCellShown).trimmed();
  }
  preview->setHorizontalHeaderLabels(names);
  QStringList lines;
  for (std::size_t r = 1; r <= shown; ++r) {
    lines << QString::number(table.line_of[r]);
    const std::vector<std::string>& row = table.rows[r];
    for (std::size_t k = 0; k < std::min(row.size(), shown_columns); ++k) {
      // One line a cell; the whole text (or a good part of it) in its tooltip.
      const QString cell = start_of(row[k], kCellShown);
      auto* item = new QTableWidgetItem(QString(cell).replace(QLatin1Char('\n'), QChar(0x21B5)));
      if (cell.contains(QLatin1Char('\n')) || row[k].size() > kCellShown) {
        item->setData(Qt::UserRole, start_of(row[k], kTipShown));
      }
      preview->setItem(static_cast<int>(r - 1), static_cast<int>(k), item);
    }
  }
  preview->setVerticalHeaderLabels(lines);
  const std::size_t unseen = roles.size() - shown_columns;
  hidden_columns->setText(
      count_text(unseen, tr("1 more column is"), tr("%1 more columns are")) +
      tr(" not shown: what they hold is kept with each entry, as a field named by its header."));
  hidden_columns->setVisible(unseen > 0);

  for (int column = 0; column < columns; ++column) {
    QComboBox* box = header->box(column);
    {
      QSignalBlocker quiet(box);
      box->setCurrentIndex(role_index(roles[static_cast<std::size_t>(column)]));
    }
    // Connected once a box: the box is reused when the table is read anew.
    if (!box->property("connected").toBool()) {
      box->setProperty("connected", true);
      connect(box, &QComboBox::currentIndexChanged, this, [this, column](int index) {
        if (index >= 0) set_role(column, role_at(index));
      });
    }
  }
  preview->resizeColumnsToContents();
  const int narrowest = header->box(0)->sizeHint().width() + 4;
  for (int column = 0; column < columns; ++column) {
    preview->setColumnWidth(
        column, std::clamp(preview->columnWidth(column), narrowest, kWidestPreviewColumn));
  }
  header->hold(false);
}

void csv_import_dialog::set_role(int column, csv_role role) {
  const auto k = static_cast<std::size_t>(column);
  if (k >= roles.size()) return;
  const auto show_role = [this](std::size_t at) {
    QComboBox* box = header->box(static_cast<int>(at));
    QSignalBlocker quiet(box);
    box->setCurrentIndex(role_index(roles[at]));
  };
  // Arrow keys on a closed box step through the roles: a role taken in
  // passing goes back to the column it was taken from.
  if (displaced.by == column && roles[k] == displaced.role && role != displaced.role &&
      roles[displaced.column] == csv_role::extra) {
    roles[displaced.column] = displaced.role;
    show_role(displaced.column);
  }
  displaced = {};
  if (one_column_role(role)) {
    for (std::size_t other = 0; other < roles.size(); ++other) {
      if (other == k || roles[other] != role) continue;
      roles[other] = csv_role::extra;
      show_role(other);
      displaced = {column, other, role};
    }
  }
  const bool dates_moved = (roles[k] == csv_role::date) != (role == csv_role::date);
  roles[k] = role;
  if (dates_moved) guess_dates();
  if (role == csv_role::mileage || role == csv_role::cost || role == csv_role::quantity ||
      role == csv_role::unit_price) {
    guess_decimals();
  }
  show_outcome();
}

void csv_import_dialog::show_outcome() {
  problem_texts->show(nullptr);
  outcome = {};
  const bool has_dates = date_column() >= 0;
  const bool entries_here = sections[current].kind == section_kind::records;
  if (entries_here && has_dates && dates_known && table.complete) {
    outcome = import_rows(table, roles, static_cast<date_order>(dates_box->currentIndex()),
                          static_cast<decimal_mark>(decimals_box->currentIndex()));
  }
  problem_texts->show(&outcome.problems);

  // Rows of the preview that cannot be read stand out, with the reason.
  std::size_t next = 0;
  for (int row = 0; row < preview->rowCount(); ++row) {
    const std::size_t line = table.line_of[static_cast<std::size_t>(row) + 1];
    while (next < outcome.problems.size() && outcome.problems[next].line < line) ++next;
    const bool bad = next < outcome.problems.size() && outcome.problems[next].line == line;
    for (int column = 0; column < preview->columnCount(); ++column) {
      QTableWidgetItem* item = preview->item(row, column);
      if (item == nullptr) {
        item = new QTableWidgetItem;
        preview->setItem(row, column, item);
      }
      item->setBackground(bad ? QBrush(QColor(255, 220, 220)) : QBrush());
      item->setToolTip(bad ? to_widget_text(outcome.problems[next].message)
                           : item->data(Qt::UserRole).toString());
    }
  }

  QString said;
  if (!unreadable.empty()) {
    said = tr("The file cannot be read as %1: %2")
               .arg(encoding_box->currentText(), to_widget_text(unreadable));
  } else if (!table.complete) {
    said = tr("The file holds more than %1 cells, far more than any vehicle log: it "
                          "cannot be imported.")
               .arg(QLocale().toString(static_cast<qulonglong>(kMostCsvCells)));
  } else if (table.rows.size() < 2) {
    said = tr("The file holds no rows below its header.");
  } else if (!has_dates) {
    said = tr("Choose the column that holds the dates.");
  } else if (!dates_known) {
    said = tr("Choose how the dates are written.");
  } else {
    said = count_text(outcome.entries.size(), tr("1 entry"), tr("%1 entries")) + tr(" to import");
    if (!outcome.problems.empty()) {
      said += tr(", ") +
              count_text(outcome.problems.size(), tr("1 row cannot be read"),
                         tr("%1 rows cannot be read")) +
              tr(" and will be left out");
    }
  }
  bool importable = has_dates && dates_known && !outcome.entries.empty();
  if (sectioned()) {
    collect();
    if (!entries_here) {
      said = tr("This section describes the vehicle or the program's lists: it is not "
                "imported as entries.");
    }
    said += QLatin1Char('\n') +
            (all_ready ? tr("In all, from the sections checked: %1")
                             .arg(count_text(combined.entries.size(), tr("1 entry"),
                                             tr("%1 entries")))
                       : tr("A section checked still needs its date column or date order "
                            "chosen."));
    importable = all_ready && !combined.entries.empty();
  }
  costs_note->setText(count_text(outcome.costs_from_price,
                                 tr("1 entry has no total: its cost is quantity × price per unit."),
                                 tr("%1 entries have no total: their cost is quantity × price per "
                                    "unit.")));
  costs_note->setVisible(outcome.costs_from_price > 0);
  // Across the sections checked: their costs are summed in one log.
  const std::vector<std::string>& currencies =
      sectioned() ? combined.currencies : outcome.currencies;
  QStringList named;
  bool other_than_log = false;
  for (const std::string& currency : currencies) {
    named << to_widget_text(currency);
    other_than_log = other_than_log || surely_other_currency(currency, log_currency);
  }
  const bool mixed = currencies.size() > 1 || other_than_log;
  if (currencies.size() > 1) {
    currencies_warning->setText(
        tr("The costs are in different currencies (%1): the log adds them up as one.")
            .arg(named.join(tr(", "))));
  } else if (other_than_log) {
    currencies_warning->setText(
        tr("The costs are in %1, this log's in %2: they would be added up as one.")
            .arg(named.join(tr(", ")), to_widget_text(log_currency)));
  }
  currencies_warning->setVisible(mixed);
  currencies_box->setVisible(mixed);
  summary->setText(said);
  // Rows left out are worth a second look before importing.
  QFont font = summary->font();
  font.setBold(!problems().empty());
  summary->setFont(font);
  import_button->setEnabled(importable && (!mixed || currencies_box->isChecked()));
}

}  // namespace tarvik
