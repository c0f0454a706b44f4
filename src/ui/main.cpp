#include <memory>

#include "platform/pointer_check.h"
#include "platform/qpe_application.h"
#include "ui/tarvik.h"

int main(int argc, char** argv) {
  auto application = std::make_unique<tarvik::QPEApplication>(argc, argv);
  TARVIK_CHECK_POINTER(application.get(), "main");
  // The window reads the log while it is built, so it is complete when shown.
  auto* window = new tarvik::Tarvik(nullptr, "tarvik");
  TARVIK_CHECK_POINTER(window, "main");
  // The application object owns the window from here on.
  application->showMainDocumentWidget(window, false);
  return application->exec();
}
