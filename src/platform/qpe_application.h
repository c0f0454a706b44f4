#ifndef TARVIK_PLATFORM_QPE_APPLICATION_H_
#define TARVIK_PLATFORM_QPE_APPLICATION_H_

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace tarvik {

// The application object: a QApplication built from the command line that
// also shows the application's main document window. It owns that window
// from then on and destroys it with itself.
class QPEApplication : public QApplication {
 public:
  QPEApplication(int& argc, char** argv);
  ~QPEApplication() override;

  // Shows `widget` as the main document window: maximized, unless
  // `no_maximize` is set.
  void showMainDocumentWidget(QWidget* widget, bool no_maximize = false);

 private:
  QPointer<QWidget> main_document_;
};

}  // namespace tarvik

#endif  // TARVIK_PLATFORM_QPE_APPLICATION_H_
