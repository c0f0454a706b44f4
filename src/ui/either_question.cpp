#include "ui/either_question.h"

#include <QMessageBox>
#include <QPushButton>

namespace tarvik {

std::optional<bool> ask_either(QWidget* parent, const QString& question, const QString& first,
                               const QString& second, bool first_preset) {
  QMessageBox ask(QMessageBox::Question, QStringLiteral("Tarvik"), question, QMessageBox::NoButton,
                  parent);
  QPushButton* one = ask.addButton(first, QMessageBox::YesRole);
  QPushButton* other = ask.addButton(second, QMessageBox::NoRole);
  ask.setEscapeButton(ask.addButton(QMessageBox::Cancel));
  ask.setDefaultButton(first_preset ? one : other);
  ask.exec();
  if (ask.clickedButton() == one) return true;
  if (ask.clickedButton() == other) return false;
  return std::nullopt;
}

}  // namespace tarvik
