// Runs the window and dialog tests inside one QApplication, and checks at
// the end that they left no top-level widget behind.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <cstdio>

int main(int argc, char** argv) {
  // Headless unless told otherwise, also when listing the tests.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  const auto left = QApplication::topLevelWidgets();
  if (!left.isEmpty()) {
    for (const QWidget* widget : left) {
      std::fprintf(stderr, "top-level widget left over: %s \"%s\"\n",
                   widget->metaObject()->className(), qPrintable(widget->objectName()));
    }
    return 1;
  }
  return result;
}
