#ifndef TARVIK_UI_LOG_WATCHER_H_
#define TARVIK_UI_LOG_WATCHER_H_

#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;

namespace tarvik {

// Tells when something may have happened to the log file on disk: another
// window's save, a text editor, a sync tool. It watches the file and its
// directory (a save by rename replaces the file watched), and looks once a
// second besides, for file systems that send no notices. Bursts of notices
// come out as one touched(true) a few hundred milliseconds after the last;
// a look that no notice prompted is touched(false). The receiver asks the
// store whether the file really changed (comparing bytes only on a notice).
class log_watcher : public QObject {
  Q_OBJECT

 public:
  log_watcher(const QString& path, QObject* parent);

 signals:
  void touched(bool notified);

 private:
  void watch_again();

  QString path_;
  QFileSystemWatcher* watcher_;
  QTimer* settle_;
};

}  // namespace tarvik

#endif  // TARVIK_UI_LOG_WATCHER_H_
