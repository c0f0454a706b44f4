#include "platform/qpe_application.h"

namespace tarvik {

QPEApplication::QPEApplication(int& argc, char** argv) : QApplication(argc, argv) {}

QPEApplication::~QPEApplication() {
  // A top-level widget has no parent to free it; it must go before the
  // application object it depends on.
  delete main_document_.data();
}

void QPEApplication::showMainDocumentWidget(QWidget* widget, bool no_maximize) {
  if (widget == nullptr) return;
  main_document_ = widget;
  if (no_maximize) {
    widget->show();
  } else {
    widget->showMaximized();
  }
}

}  // namespace tarvik
