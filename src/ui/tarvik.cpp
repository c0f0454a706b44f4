#include "ui/tarvik.h"

#include <QAction>
#include <QHeaderView>
#include <QMessageBox>
#include <QTableWidget>
#include <QToolBar>
#include <algorithm>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

#include "data/file_data_source.h"
#include "data/record.h"
#include "platform/pointer_check.h"
#include "platform/resource.h"
#include "ui/record_editor.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

constexpr const char* kSource = "tarvik";

struct column_default {
  const char* name;
  int width;
};
constexpr column_default kColumns[] = {
    {"Mileage", 60}, {"Date", 68}, {"Operation", 78}, {"Cost", 50}, {"Notes", 150},
};

}  // namespace

std::string log_file_path() {
  const char* home = std::getenv("HOME");
  std::string directory;
  if (home != nullptr) {
    directory = home;
  } else if (const passwd* user = getpwuid(getuid()); user != nullptr && user->pw_dir) {
    directory = user->pw_dir;
  }
  return directory + "/" + "tarvik.txt";
}

Tarvik::Tarvik(QWidget* parent, const char* name) : QMainWindow(parent) {
  if (name != nullptr) setObjectName(QLatin1String(name));
  set_defaults();
  table = new QTableWidget(10, 3, this);
  TARVIK_CHECK_POINTER(table, kSource);
  path = log_file_path();
  data_source = std::make_unique<FileDataSource>(path);
  TARVIK_CHECK_POINTER(data_source.get(), kSource);
  ids = data_source->identifiers();

  table->setColumnCount(static_cast<int>(columns.size()));
  table->setRowCount(static_cast<int>(ids.size()));
  // Cells cannot be selected as ranges, but the current cell still follows
  // the user: Edit and Delete act on its row.
  table->setSelectionMode(QAbstractItemView::NoSelection);
  QHeaderView* header = table->horizontalHeader();
  TARVIK_CHECK_POINTER(header, kSource);
  for (int k = 0; k < static_cast<int>(columns.size()); ++k) {
    const colinfo& column = *columns[static_cast<std::size_t>(k)];
    table->setHorizontalHeaderItem(k, new QTableWidgetItem(to_widget_text(column.name)));
    table->setColumnWidth(k, column.width);
  }
  // The view need not follow each of the many cells as they arrive.
  table->setUpdatesEnabled(false);
  for (int j = 0; j < static_cast<int>(ids.size()); ++j) {
    const Record* record = data_source->record(ids[static_cast<std::size_t>(j)]);
    TARVIK_CHECK_POINTER(record, kSource);
    if (record != nullptr) fill_row(j, *record);
  }
  table->setUpdatesEnabled(true);

  setup_toolbar();
  setWindowTitle(QStringLiteral("Tarvik"));
  setCentralWidget(table);
}

Tarvik::~Tarvik() = default;

void Tarvik::set_defaults() {
  table = nullptr;
  toolbar = nullptr;
  for (const column_default& defaults : kColumns) {
    auto column = std::make_unique<colinfo>();
    TARVIK_CHECK_POINTER(column.get(), kSource);
    column->name = defaults.name;
    column->width = defaults.width;
    columns.push_back(std::move(column));
  }
}

void Tarvik::setup_toolbar() {
  toolbar = addToolBar(QString());
  toolbar->setAllowedAreas(Qt::TopToolBarArea);
  struct command {
    const char* text;
    const char* icon;
    void (Tarvik::*slot)();
  };
  const command commands[] = {
      {"New", "new", &Tarvik::new_record},
      {"Edit", "edit", &Tarvik::edit_record},
      {"Delete", "trash", &Tarvik::delete_record},
  };
  for (const command& c : commands) {
    const QIcon icon(Resource::loadPixmap(QLatin1String(c.icon)));
    auto* action = new QAction(icon, QLatin1String(c.text), this);
    TARVIK_CHECK_POINTER(action, kSource);
    connect(action, &QAction::triggered, this, c.slot);
    toolbar->addAction(action);
  }
}

void Tarvik::fill_row(int row, const Record& record) {
  for (int k = 0; k < static_cast<int>(columns.size()); ++k) {
    auto* item =
        new QTableWidgetItem(to_widget_text(record.value(columns[static_cast<std::size_t>(k)]->name)));
    TARVIK_CHECK_POINTER(item, kSource);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    table->setItem(row, k, item);
  }
}

void Tarvik::commit() {
  if (data_source->commit()) return;
  QMessageBox::warning(
      this, QStringLiteral("Tarvik"),
      QStringLiteral("The log file %1 could not be written, so the change is not saved yet. "
                     "It stays in the window and is saved with the next change that can be "
                     "written.")
          .arg(QString::fromLocal8Bit(path.c_str())));
}

void Tarvik::new_record() {
  const int id = data_source->next_id();
  auto record = std::make_unique<Record>(id);
  TARVIK_CHECK_POINTER(record.get(), kSource);
  if (RecordEditor::editor_dialog(record.get(), this, "new_record_editor", 0) == 0) return;
  // A record the user left as it came is not worth a row; the date does not
  // count, and the operation is compared byte for byte.
  const bool differs = record->mileage() != 0.0 || record->operation() != "not specified" ||
                       !record->notes().empty() || static_cast<double>(record->cost()) != 0.0;
  if (!differs) return;
  ids.push_back(id);
  const Record& added = *record;
  data_source->record(record.release());
  const int row = table->rowCount();
  table->setRowCount(row + 1);
  fill_row(row, added);
  // Last, so that a warning about the file finds the row already shown.
  commit();
}

void Tarvik::edit_record() {
  if (table->rowCount() == 0) return;
  const int row = table->currentRow();
  if (row < 0 || row >= static_cast<int>(ids.size())) return;
  Record* record = data_source->record(ids[static_cast<std::size_t>(row)]);
  TARVIK_CHECK_POINTER(record, kSource);
  if (record == nullptr) return;
  if (RecordEditor::editor_dialog(record, this, "edit_record_editor", 0) == 0) return;
  fill_row(row, *record);
  commit();
}

void Tarvik::delete_record() {
  const int row = table->currentRow();
  if (table->rowCount() == 0) return;
  if (row < 0 || row >= static_cast<int>(ids.size())) return;
  table->removeRow(row);
  const int id = ids[static_cast<std::size_t>(row)];
  std::unique_ptr<Record> removed(data_source->remove(id));
  const auto first = std::find(ids.begin(), ids.end(), id);
  if (first != ids.end()) ids.erase(first);
  commit();
}

}  // namespace tarvik
