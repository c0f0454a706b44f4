#ifndef TARVIK_DATA_COMMIT_LOCK_H_
#define TARVIK_DATA_COMMIT_LOCK_H_

#include <string>

namespace tarvik {

// Keeps the commits of all Tarvik processes to the logs of one directory
// from interleaving: an exclusive flock on the directory itself, held while
// the object lives. The kernel drops it with the process, so a crash never
// leaves a stale lock, and no lock file clutters the directory.
//
// Where the file system has no such locks (some network file systems), the
// lock is not to be had and commits go on without it: held() says so.
class commit_lock {
 public:
  // Waits for the lock on the directory of `target` (a path with its links
  // followed), up to about ten seconds; then gives up (held() is false and
  // error() is EWOULDBLOCK).
  explicit commit_lock(const std::string& target);
  ~commit_lock();
  commit_lock(const commit_lock&) = delete;
  commit_lock& operator=(const commit_lock&) = delete;

  bool held() const { return held_; }
  // Why the lock is not held: 0 when it is, or when locks are not to be had.
  int error() const { return error_; }

 private:
  int fd_ = -1;
  bool held_ = false;
  int error_ = 0;
};

}  // namespace tarvik

#endif  // TARVIK_DATA_COMMIT_LOCK_H_
