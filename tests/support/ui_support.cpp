#include "support/ui_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace tarvik::testing {
namespace {

constexpr int kPollMilliseconds = 10;
constexpr int kMaxPolls = 500;

void poll(std::function<void(QWidget*)> answer, int polls_left) {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal != nullptr && modal->isVisible()) {
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
  if (auto* line = dialog->findChild<QLineEdit*>(QLatin1String(name))) {
    line->setText(*text);
  } else if (auto* notes = dialog->findChild<QPlainTextEdit*>(QLatin1String(name))) {
    notes->setPlainText(*text);
  } else {
    ADD_FAILURE() << "no box " << name;
  }
}

}  // namespace

void answer_next_modal(std::function<void(QWidget*)> answer) {
  QTimer::singleShot(0, [answer = std::move(answer)] { poll(answer, kMaxPolls); });
}

void fill_and_close(QWidget* dialog, const typed_record& typed) {
  type_into(dialog, "mileage_box", typed.mileage);
  type_into(dialog, "date_box", typed.date);
  type_into(dialog, "op_box", typed.operation);
  type_into(dialog, "cost_box", typed.cost);
  type_into(dialog, "notes_box", typed.notes);
  const QString button = typed.press_ok ? QStringLiteral("OK") : QStringLiteral("Cancel");
  for (QPushButton* candidate : dialog->findChildren<QPushButton*>()) {
    if (candidate->text() == button) {
      candidate->click();
      return;
    }
  }
  ADD_FAILURE() << "no button " << button.toStdString();
}

void answer_next_editor(const typed_record& typed) {
  answer_next_modal([typed](QWidget* dialog) { fill_and_close(dialog, typed); });
}

}  // namespace tarvik::testing
