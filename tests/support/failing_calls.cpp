#include "support/failing_calls.h"

#include <cerrno>
#include <fcntl.h>

namespace tarvik::testing {
namespace {

struct fault {
  call which;
  int error;
  int successes;
  int calls;
};
fault active{};

// True when this call of `which` is to fail; sets errno then.
bool fails_now(call which) {
  if (which != active.which) return false;
  if (active.calls++ < active.successes) return false;
  errno = active.error;
  return true;
}

call open_kind(int flags) {
  if (flags & O_DIRECTORY) return call::open_directory;
  return (flags & O_ACCMODE) == O_RDONLY ? call::open_read : call::open_write;
}

const system_calls kFailing = {
    [](const char* path, int flags, mode_t mode) {
      return fails_now(open_kind(flags)) ? -1 : real_system_calls().open(path, flags, mode);
    },
    [](int fd, const void* data, size_t size) -> ssize_t {
      return fails_now(call::write) ? -1 : real_system_calls().write(fd, data, size);
    },
    [](int fd) { return fails_now(call::fsync) ? -1 : real_system_calls().fsync(fd); },
    [](int fd, mode_t mode) {
      return fails_now(call::fchmod) ? -1 : real_system_calls().fchmod(fd, mode);
    },
    [](int fd) {
      // The descriptor is closed all the same, as close(2) does on Linux.
      const int result = real_system_calls().close(fd);
      return fails_now(call::close) ? -1 : result;
    },
    [](const char* from, const char* to) {
      return fails_now(call::rename) ? -1 : real_system_calls().rename(from, to);
    },
    [](const char* from, const char* to) {
      return fails_now(call::link) ? -1 : real_system_calls().link(from, to);
    },
    [](const char* path) { return real_system_calls().unlink(path); },
    [](int fd, void* data, size_t size) -> ssize_t {
      return fails_now(call::read) ? -1 : real_system_calls().read(fd, data, size);
    },
};

}  // namespace

failing_calls::failing_calls(call which, int error, int successes)
    : previous_(replace_system_calls(kFailing)) {
  active = fault{which, error, successes, 0};
}

failing_calls::~failing_calls() { replace_system_calls(previous_); }

int failing_calls::calls() const { return active.calls; }

}  // namespace tarvik::testing
