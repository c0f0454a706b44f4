#include "ui/log_watcher.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace tarvik {
namespace {

// Long enough for a writer to finish a save, short enough to feel at once.
constexpr int kSettleMilliseconds = 300;
// The look for file systems without notices.
constexpr int kPollMilliseconds = 1000;

}  // namespace

log_watcher::log_watcher(const QString& path, QObject* parent)
    : QObject(parent), path_(path), watcher_(new QFileSystemWatcher(this)), settle_(new QTimer(this)) {
  settle_->setSingleShot(true);
  settle_->setInterval(kSettleMilliseconds);
  connect(settle_, &QTimer::timeout, this, [this] { emit touched(true); });
  const auto notice = [this] {
    watch_again();
    settle_->start();
  };
  connect(watcher_, &QFileSystemWatcher::fileChanged, this, notice);
  connect(watcher_, &QFileSystemWatcher::directoryChanged, this, notice);
  auto* poll = new QTimer(this);
  poll->setInterval(kPollMilliseconds);
  connect(poll, &QTimer::timeout, this, [this] {
    if (!settle_->isActive()) emit touched(false);
  });
  poll->start();
  watch_again();
}

void log_watcher::watch_again() {
  // A replaced or new file has to be watched anew; a watched one is kept.
  const QFileInfo file(path_);
  const QString directory = file.absolutePath();
  if (!watcher_->directories().contains(directory) && QFileInfo(directory).isDir()) {
    watcher_->addPath(directory);
  }
  if (!watcher_->files().contains(path_) && file.isFile()) watcher_->addPath(path_);
}

}  // namespace tarvik
