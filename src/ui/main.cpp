#include <iostream>
#include <memory>

#include "platform/pointer_check.h"
#include "platform/qpe_application.h"
#include "ui/command_line.h"
#include "ui/tarvik.h"
#include "ui/ui_language.h"

int main(int argc, char** argv) {
  // Asked what it is, the program answers without a window or a display.
  if (const auto status = tarvik::answer_without_window(argc, argv, std::cout, std::cerr)) {
    return *status;
  }
  auto application = std::make_unique<tarvik::QPEApplication>(argc, argv);
  TARVIK_CHECK_POINTER(application.get(), "main");
  // The window speaks the desktop's language where it has a translation.
  tarvik::install_translations(*application);
  // The window reads the log while it is built, so it is complete when shown.
  // The toolkit has taken its own arguments by now.
  auto* window = new tarvik::Tarvik(nullptr, "tarvik", tarvik::log_argument(argc, argv));
  TARVIK_CHECK_POINTER(window, "main");
  // The application object owns the window from here on.
  // Maximised at first; later as the user left it.
  application->showMainDocumentWidget(window, window->restored_layout());
  return application->exec();
}
