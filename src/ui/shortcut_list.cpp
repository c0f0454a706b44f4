#include "ui/shortcut_list.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>
#include <utility>
#include <vector>

namespace tarvik {
namespace {

// The list's texts, translated under one name.
class shortcut_texts {
  Q_DECLARE_TR_FUNCTIONS(shortcut_list)
};

QString keys_of(const QAction* action) {
  QStringList keys;
  for (const QKeySequence& key : action->shortcuts()) {
    keys << key.toString(QKeySequence::NativeText);
  }
  return keys.join(shortcut_texts::tr(" or "));
}

// Depth first, in menu order: "Edit › Find…" before "View › …".
void collect(const QMenu* menu, const QString& path,
             std::vector<std::pair<QString, QString>>& rows) {
  for (const QAction* action : menu->actions()) {
    if (action->isSeparator()) continue;
    const QString name = path + QStringLiteral(" \u203A ") + plain_name(action);
    if (action->menu() != nullptr) {
      collect(action->menu(), name, rows);
    } else if (!action->shortcuts().isEmpty()) {
      rows.emplace_back(name, keys_of(action));
    }
  }
}

}  // namespace

QString plain_name(const QAction* action) {
  QString name = action->text();
  // "&&" stands for one ampersand shown.
  name.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  name.remove(QLatin1Char('&'));
  name.replace(QStringLiteral("\x01"), QStringLiteral("&"));
  if (name.endsWith(QChar(0x2026))) name.chop(1);
  return name;
}

QString tip_with_shortcut(const QAction* action) {
  const QString name = plain_name(action);
  if (action->shortcut().isEmpty()) return name;
  return QStringLiteral("%1 (%2)").arg(name, action->shortcut().toString(QKeySequence::NativeText));
}

void show_shortcuts(QMainWindow* window) {
  std::vector<std::pair<QString, QString>> rows;
  for (const QAction* top : window->menuBar()->actions()) {
    if (top->menu() != nullptr) collect(top->menu(), plain_name(top), rows);
  }
  const std::pair<QString, QString> elsewhere[] = {
      {shortcut_texts::tr("Move between the table, the filter and the panels"),
       shortcut_texts::tr("Tab, Shift+Tab")},
      {shortcut_texts::tr("In the search box: clear it and return to the table"),
       QKeySequence(Qt::Key_Escape).toString(QKeySequence::NativeText)},
      {shortcut_texts::tr("In the entry dialog: OK, also from Notes"),
       QKeySequence(Qt::CTRL | Qt::Key_Return).toString(QKeySequence::NativeText)},
  };
  for (const auto& row : elsewhere) rows.push_back(row);

  QDialog dialog(window);
  dialog.setObjectName(QStringLiteral("keyboard_shortcuts"));
  dialog.setWindowTitle(shortcut_texts::tr("Keyboard Shortcuts"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* table = new QTableWidget(static_cast<int>(rows.size()), 2, &dialog);
  table->setObjectName(QStringLiteral("shortcut_table"));
  table->setAccessibleName(shortcut_texts::tr("Keyboard shortcuts"));
  table->setHorizontalHeaderLabels({shortcut_texts::tr("Command"), shortcut_texts::tr("Keys")});
  table->verticalHeader()->hide();
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setTabKeyNavigation(false);
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    table->setItem(row, 0, new QTableWidgetItem(rows[static_cast<std::size_t>(row)].first));
    table->setItem(row, 1, new QTableWidgetItem(rows[static_cast<std::size_t>(row)].second));
  }
  table->resizeColumnsToContents();
  table->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(table);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  // Wide enough for the longest line, within what an 800x600 screen shows.
  int width = table->verticalScrollBar()->sizeHint().width() + 4 * table->frameWidth();
  for (int column = 0; column < 2; ++column) width += table->columnWidth(column);
  dialog.resize(qMin(width + 40, 760),
                qMin(table->rowHeight(0) * (table->rowCount() + 2) + 80, 540));
  dialog.exec();
}

}  // namespace tarvik
