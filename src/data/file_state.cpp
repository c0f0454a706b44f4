#include "data/file_state.h"

#include <sys/stat.h>

namespace tarvik {
namespace {

// The coarsest time stamps a log may live under (FAT keeps two seconds).
constexpr time_t kStampStep = 2;

file_state from(const struct stat& status) {
  file_state state;
  state.exists = true;
  state.device = status.st_dev;
  state.inode = status.st_ino;
  state.size = status.st_size;
  state.modified = status.st_mtim;
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

bool file_state::trustworthy() const {
  if (!exists) return true;
  return modified.tv_sec + kStampStep < seen.tv_sec;
}

}  // namespace tarvik
