#include "data/commit_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <time.h>
#include <unistd.h>

#include "data/replacement_file.h"

namespace tarvik {
namespace {

// A commit takes milliseconds; a holder that keeps the lock this long is
// stuck, and waiting longer would only hang the window.
constexpr int kAttempts = 2000;
constexpr long kPauseNanoseconds = 5'000'000;

}  // namespace

commit_lock::commit_lock(const std::string& target) {
  fd_ = ::open(directory_of(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) return;  // the commit itself will meet and report the problem
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
      held_ = true;
      return;
    }
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return;  // no locks here: go on without
    const timespec pause{0, kPauseNanoseconds};
    nanosleep(&pause, nullptr);
  }
  error_ = EWOULDBLOCK;
}

commit_lock::~commit_lock() {
  if (fd_ >= 0) ::close(fd_);  // closing drops the lock
}

}  // namespace tarvik
