#include "ui/log_notices.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "insight/due_file.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

// The texts of this file, translated under one context.
struct notice_text {
  Q_DECLARE_TR_FUNCTIONS(tarvik::log_notices)
};

const QString kCaption = QStringLiteral("Tarvik");

// Centred over `window`, and within its screen.
void centre_over(QWidget* dialog, const QWidget* window) {
  QRect placed(QPoint(0, 0), dialog->size());
  placed.moveCenter(window->frameGeometry().center());
  if (const QScreen* screen = window->screen()) {
    const QRect room = screen->availableGeometry();
    placed.moveRight(std::min(placed.right(), room.right()));
    placed.moveBottom(std::min(placed.bottom(), room.bottom()));
    placed.moveLeft(std::max(placed.left(), room.left()));
    placed.moveTop(std::max(placed.top(), room.top()));
  }
  dialog->move(placed.topLeft());
}

// Keeps a dialog centred over a window that moves or changes its size.
class window_follower : public QObject {
 public:
  window_follower(QWidget* dialog, QWidget* window) : QObject(dialog), dialog_(dialog), window_(window) {
    window_->installEventFilter(this);
  }
  ~window_follower() override {
    if (window_ != nullptr) window_->removeEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
      centre_over(dialog_, window_);
    }
    return false;
  }

 private:
  QWidget* dialog_;
  QPointer<QWidget> window_;
};

}  // namespace

QDialog* show_log_problems(QWidget* parent, const QString& path,
                           const std::vector<log_problem>& problems, bool copy_before_saving) {
  auto* dialog = new QDialog(parent);
  dialog->setObjectName(QStringLiteral("log_problems"));
  dialog->setWindowTitle(notice_text::tr("Problems in the log"));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(dialog);
  QString text = notice_text::tr("%1 was read with these problems. What could not be used stays in "
                                "the file; correct it there if you like.")
                     .arg(path);
  if (copy_before_saving) {
    text += notice_text::tr(" Before the first change is saved, a copy of the file as it is now is "
                           "kept beside it.");
  }
  auto* label = new QLabel(text, dialog);
  label->setWordWrap(true);
  layout->addWidget(label);
  auto* list = new QTableWidget(static_cast<int>(problems.size()), 2, dialog);
  list->setObjectName(QStringLiteral("problem_list"));
  list->setHorizontalHeaderLabels({notice_text::tr("Line"), notice_text::tr("Problem")});
  list->verticalHeader()->hide();
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  for (int row = 0; row < static_cast<int>(problems.size()); ++row) {
    const log_problem& problem = problems[static_cast<std::size_t>(row)];
    list->setItem(row, 0, new QTableWidgetItem(problem.line == 0 ? QString()
                                                                   : QString::number(problem.line)));
    list->setItem(row, 1, new QTableWidgetItem(to_widget_text(problem.message)));
  }
  list->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  list->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  layout->addWidget(buttons);
  dialog->resize(640, 320);
  // At the size it will show at, centred over the window.
  layout->activate();
  dialog->resize(dialog->size().expandedTo(dialog->minimumSizeHint()));
  if (parent != nullptr) {
    centre_over(dialog, parent->window());
    // The window manager may still be placing and sizing the window, just
    // shown: the list follows it while it settles.
    auto* follower = new window_follower(dialog, parent->window());
    QTimer::singleShot(1500, follower, &QObject::deleteLater);
  }
  dialog->show();
  return dialog;
}

void tell_log_unusable(QWidget* parent, const QString& path, const QString& reason, bool refused) {
  const QString text =
      refused ? notice_text::tr("%1 is not a regular file (%2). Tarvik does not read it and never "
                               "writes to it, so changes made in this window cannot be saved.")
                    .arg(path, reason)
              : notice_text::tr("%1 could not be read: %2. The window starts empty. Before a change "
                               "is saved, a copy of the file is kept beside it; while that cannot "
                               "be done, changes are not saved.")
                    .arg(path, reason);
  QMessageBox::warning(parent, kCaption, text);
}

bool may_export_to(QWidget* parent, const QString& target, const std::string& log) {
  const write_refusal refusal = refuse_export_target(target.toLocal8Bit().toStdString(), log);
  if (!refusal) return true;
  const QString reason = to_widget_text(refusal.reason);
  QMessageBox::warning(
      parent, kCaption,
      refusal.kept ? notice_text::tr("%1 is not written: %2, which an export never replaces. "
                                    "Choose another file.")
                         .arg(target, reason)
                   : notice_text::tr("%1 is not written: %2.").arg(target, reason));
  return false;
}

void tell_copy_kept(QWidget* parent, const QString& path, const QString& copy, bool conflict,
                    const QStringList& records) {
  const QString text =
      conflict ? notice_text::tr("These records were changed both in this window and by another "
                                "program: %1. This window's version is saved in %2; the file as "
                                "the other program left it is kept as %3.")
                     .arg(records.join(QStringLiteral("; ")), path, copy)
               : notice_text::tr("Part of %1 could not be read. The file as it was before this save "
                                "is kept as %2.")
                     .arg(path, copy);
  QMessageBox::information(parent, kCaption, text);
}

bool ask_to_retry_save(QWidget* parent, const QString& path, const QString& reason) {
  QMessageBox box(QMessageBox::Warning, kCaption,
                  notice_text::tr("The change could not be saved to %1: %2.").arg(path, reason),
                  QMessageBox::NoButton, parent);
  box.setInformativeText(
      notice_text::tr("It stays in the window and is saved with the next change that can be "
                     "written, or when you try again."));
  QPushButton* retry = box.addButton(notice_text::tr("Try Again"), QMessageBox::AcceptRole);
  box.addButton(notice_text::tr("Not Now"), QMessageBox::RejectRole);
  box.setDefaultButton(retry);
  box.exec();
  return box.clickedButton() == retry;
}

closing_choice ask_before_closing(QWidget* parent, const QString& path, const QString& reason,
                                  leaving what) {
  const bool closing = what == leaving::closing;
  QMessageBox box(QMessageBox::Warning, kCaption,
                  notice_text::tr("The last change could not be saved to %1: %2.").arg(path, reason),
                  QMessageBox::NoButton, parent);
  box.setInformativeText(closing ? notice_text::tr("Try to save it again before closing?")
                                 : notice_text::tr("Try to save it again before opening another log?"));
  QPushButton* retry = box.addButton(notice_text::tr("Try Again"), QMessageBox::AcceptRole);
  QPushButton* discard = box.addButton(
      closing ? notice_text::tr("Close Without Saving") : notice_text::tr("Open Without Saving"),
      QMessageBox::DestructiveRole);
  QPushButton* stay = box.addButton(QMessageBox::Cancel);
  box.setDefaultButton(retry);
  box.setEscapeButton(stay);
  box.exec();
  if (box.clickedButton() == retry) return closing_choice::save_again;
  if (box.clickedButton() == discard) return closing_choice::discard;
  return closing_choice::stay;
}

}  // namespace tarvik
