#include "data/regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/diagnostic.h"
#include "data/large_text.h"
#include "data/system_calls.h"

namespace tarvik {

int read_all(int fd, std::string& text) {
  // Room for the whole file and one more byte, which finds the end at once.
  struct stat status;
  std::size_t room = 1 << 16;
  if (fstat(fd, &status) == 0 && status.st_size > 0) {
    if (static_cast<std::size_t>(status.st_size) > kMaxLogSize) return EFBIG;
    room = static_cast<std::size_t>(status.st_size) + 1;
  }
  std::size_t used = text.size();
  reserve_large(text, used + room);
  text.resize(used + room);
  for (;;) {
    if (used == text.size()) {
      if (used > kMaxLogSize) {
        text.resize(used);
        return EFBIG;
      }
      text.resize(text.size() * 2);
    }
    const ssize_t n = current_system_calls().read(fd, text.data() + used, text.size() - used);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = n < 0 ? errno : 0;
      text.resize(used);
      return error;
    }
    used += static_cast<std::size_t>(n);
  }
}

std::string not_regular(mode_t mode) {
  if (S_ISDIR(mode)) return error_text(EISDIR);
  const char* kind = S_ISFIFO(mode)  ? "a FIFO"
                     : S_ISCHR(mode) ? "a character device"
                     : S_ISBLK(mode) ? "a block device"
                     : S_ISSOCK(mode) ? "a socket"
                                      : "something else";
  return std::string("Is ") + kind + ", not a regular file";
}

int open_regular_file(const std::string& path, std::string& refusal) {
  struct stat status;
  if (stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
    refusal = not_regular(status.st_mode);
    errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    return -1;
  }
  const int fd =
      current_system_calls().open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
  if (fd < 0) return -1;
  // Whatever was swapped in between the two looks is looked at again.
  if (fstat(fd, &status) == 0 && !S_ISREG(status.st_mode)) {
    ::close(fd);
    refusal = not_regular(status.st_mode);
    errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    return -1;
  }
  return fd;
}

bool holds_exactly(const std::string& path, const std::string& text) {
  std::string refusal;
  const int fd = open_regular_file(path, refusal);
  if (fd < 0) return false;
  constexpr std::size_t kPiece = std::size_t{1} << 20;
  std::string piece(kPiece, '\0');
  std::size_t compared = 0;
  bool same = true;
  for (;;) {
    const ssize_t n = ::read(fd, piece.data(), kPiece);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      same = false;
      break;
    }
    if (n == 0) {
      same = compared == text.size();
      break;
    }
    const auto size = static_cast<std::size_t>(n);
    if (compared + size > text.size() || std::memcmp(piece.data(), text.data() + compared, size) != 0) {
      same = false;
      break;
    }
    compared += size;
  }
  ::close(fd);
  return same;
}

}  // namespace tarvik
