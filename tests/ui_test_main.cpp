// Runs the window and dialog tests inside one QApplication, and checks at
// the end that they left no top-level widget behind. The user's settings
// (the recent logs) go to a directory of the run's own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>

int main(int argc, char** argv) {
  // Headless unless told otherwise, also when listing the tests.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir settings;
  if (!settings.isValid()) return 1;
  qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
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
