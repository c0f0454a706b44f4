#include "data/file_state.h"

#include <sys/stat.h>

namespace tarvik {
namespace {

// The coarsest time stamps a log may live under (FAT keeps two seconds).
constexpr time_t kStampStep = 2;

constexpr long kMillisecond = 1000000;

bool before(const timespec& a, const timespec& b) {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

bool same_time(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// A stamp in whole milliseconds may come from a file system that cuts
// times to steps we do not know.
bool fine(const timespec& t) { return t.tv_nsec % kMillisecond != 0; }

file_state from(const struct stat& status) {
  file_state state;
  state.exists = true;
  state.device = status.st_dev;
  state.inode = status.st_ino;
  state.size = status.st_size;
  state.modified = status.st_mtim;
  state.changed = status.st_ctim;
  clock_gettime(CLOCK_REALTIME, &state.seen);
  return state;
}

}  // namespace

file_state file_state::of_path(const std::string& path) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) return file_state{};
  return from(status);
}

file_state file_state::of_descriptor(int fd) {
  struct stat status;
  if (fstat(fd, &status) != 0) return file_state{};
  return from(status);
}

bool file_state::same_as(const file_state& other) const {
  if (!exists || !other.exists) return exists == other.exists;
  return device == other.device && inode == other.inode && size == other.size &&
         modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

file_state file_state::placed(const file_state& written, const std::string& path,
                              bool clock_stamps) {
  if (!clock_stamps || !written.exists) return written;
  // The clock is read before the look, so that nothing after the look can
  // share its stamps.
  timespec clock{};
  clock_gettime(CLOCK_REALTIME_COARSE, &clock);
  const file_state now = of_path(path);
  if (!now.exists || now.device != written.device ||
      now.inode != written.inode || now.size != written.size ||
      !same_time(now.modified, written.modified)) {
    return written;
  }
  // The change time must be later than the last write (so that a write
  // after the rename shows in the modification time) and the clock past it
  // by more than any step the stamps might be cut to.
  timespec margin = now.changed;
  margin.tv_nsec += kMillisecond;
  if (margin.tv_nsec >= 1000000000) {
    margin.tv_nsec -= 1000000000;
    ++margin.tv_sec;
  }
  if (!fine(now.modified) || !fine(now.changed) || !before(now.modified, now.changed) ||
      !before(margin, clock)) {
    return written;
  }
  file_state settled = now;
  settled.settled = true;
  return settled;
}

bool file_state::trustworthy() const {
  if (!exists) return true;
  return modified.tv_sec + kStampStep < seen.tv_sec;
}

}  // namespace tarvik
