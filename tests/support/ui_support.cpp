#include "support/ui_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace tarvik::testing {
namespace {

constexpr int kPollMilliseconds = 10;
constexpr int kMaxPolls = 500;

void poll(std::function<void(QWidget*)> answer, int polls_left) {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal != nullptr && modal->isVisible()) {
    // As a window manager would, so that the keyboard goes to the dialog.
    modal->activateWindow();
    if (!QTest::qWaitForWindowActive(modal)) ADD_FAILURE() << "the dialog did not become active";
    answer(modal);
    return;
  }
  if (polls_left == 0) {
    ADD_FAILURE() << "no modal dialog showed";
    return;
  }
  QTimer::singleShot(kPollMilliseconds,
                     [answer = std::move(answer), polls_left] { poll(answer, polls_left - 1); });
}

void type_into(QWidget* dialog, const char* name, const std::optional<QString>& text) {
  if (!text) return;
  QWidget* box = dialog->findChild<QLineEdit*>(QLatin1String(name));
  if (box == nullptr) box = dialog->findChild<QPlainTextEdit*>(QLatin1String(name));
  if (box == nullptr) {
    ADD_FAILURE() << "no box " << name;
    return;
  }
  type_into_box(box, *text);
}

}  // namespace

void answer_next_modal(std::function<void(QWidget*)> answer) {
  QTimer::singleShot(0, [answer = std::move(answer)] { poll(answer, kMaxPolls); });
}

no_modal_expected::no_modal_expected() : timer_(std::make_unique<QTimer>()) {
  QObject::connect(timer_.get(), &QTimer::timeout, [] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    ADD_FAILURE() << "a modal \"" << modal->windowTitle().toStdString() << "\" showed";
    modal->close();
  });
  timer_->start(kPollMilliseconds);
}

no_modal_expected::~no_modal_expected() = default;

void type_into_box(QWidget* box, const QString& text) {
  QTest::mouseClick(box->focusProxy() ? box->focusProxy() : box, Qt::LeftButton);
  if (auto* notes = qobject_cast<QPlainTextEdit*>(box)) {
    QTest::mouseClick(notes->viewport(), Qt::LeftButton);
  }
  QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(box, Qt::Key_Delete);
  for (const QChar c : text) {
    if (c == u'\n') {
      QTest::keyClick(box, Qt::Key_Return);
    } else if (c.unicode() < 128 && c.isPrint()) {
      QTest::keyClick(box, static_cast<char>(c.unicode()));
    } else {
      QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
  }
}

void choose_file(QWidget* dialog, const QString& path) {
  auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  if (name == nullptr) {
    ADD_FAILURE() << "no file dialog";
    dialog->close();
    return;
  }
  // Pasted: typed, each "/" would take the dialog into that folder.
  QGuiApplication::clipboard()->setText(path);
  QTest::mouseClick(name, Qt::LeftButton);
  QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
  // The button rather than Return, which the name completer's list takes.
  auto* buttons = dialog->findChild<QDialogButtonBox*>();
  QPushButton* accept = nullptr;
  for (QAbstractButton* button : buttons != nullptr ? buttons->buttons() : QList<QAbstractButton*>{}) {
    if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole) {
      accept = qobject_cast<QPushButton*>(button);
    }
  }
  if (accept == nullptr) {
    ADD_FAILURE() << "no button to accept the file";
    dialog->close();
    return;
  }
  QTest::mouseClick(accept, Qt::LeftButton);
}

void click_button(QWidget* dialog, const QString& text) {
  for (QPushButton* candidate : dialog->findChildren<QPushButton*>()) {
    if (candidate->text() == text || QString(candidate->text()).remove(u'&') == text) {
      QTest::mouseClick(candidate, Qt::LeftButton);
      return;
    }
  }
  ADD_FAILURE() << "no button " << text.toStdString();
}

void fill_and_close(QWidget* dialog, const typed_record& typed) {
  type_into(dialog, "mileage_box", typed.mileage);
  type_into(dialog, "date_box", typed.date);
  type_into(dialog, "op_box", typed.operation);
  type_into(dialog, "cost_box", typed.cost);
  type_into(dialog, "notes_box", typed.notes);
  if (!typed.press_ok) {
    click_button(dialog, QStringLiteral("Cancel"));
    return;
  }
  click_button(dialog, QStringLiteral("OK"));
  if (dialog->isVisible()) {
    const auto* problem = dialog->findChild<QLabel*>(QStringLiteral("problem_label"));
    ADD_FAILURE() << "OK left the dialog open: "
                  << (problem ? problem->text().toStdString() : std::string());
    click_button(dialog, QStringLiteral("Cancel"));
  }
}

void answer_next_editor(const typed_record& typed) {
  answer_next_modal([typed](QWidget* dialog) { fill_and_close(dialog, typed); });
}

QAction* menu_action(QMainWindow& window, const QString& text) {
  for (QAction* menu : window.menuBar()->actions()) {
    if (menu->menu() == nullptr) continue;
    for (QAction* action : menu->menu()->actions()) {
      if (QString(action->text()).remove(u'&') == text) return action;
    }
  }
  ADD_FAILURE() << "no menu entry " << text.toStdString();
  return nullptr;
}

QTableView* record_table(const QWidget& window) {
  return window.findChild<QTableView*>(QStringLiteral("record_table"));
}

QString cell(const QTableView& table, int row, int column) {
  const QModelIndex index = table.model()->index(row, column);
  return index.isValid() ? index.data().toString() : QStringLiteral("<no cell>");
}

QPoint cell_centre(const QTableView& table, int row, int column) {
  return table.visualRect(table.model()->index(row, column)).center();
}

void click_cell(QTableView& table, int row, int column) {
  const QModelIndex index = table.model()->index(row, column);
  if (!index.isValid()) {
    ADD_FAILURE() << "no cell " << row << ", " << column;
    return;
  }
  table.scrollTo(index);
  QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, table.visualRect(index).center());
}

void click_header(QTableView& table, int column) {
  QHeaderView* header = table.horizontalHeader();
  const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                  header->height() / 2);
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

void set_current(QTableView& table, int row, int column) {
  table.setCurrentIndex(table.model()->index(row, column));
}

}  // namespace tarvik::testing
