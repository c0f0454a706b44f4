#include "data/system_calls.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvik {
namespace {

const system_calls kReal = {
    [](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); },
    ::write,
    ::fsync,
    ::fchmod,
    ::close,
    ::rename,
    ::link,
    ::unlink,
    ::read,
};

system_calls current = kReal;

}  // namespace

const system_calls& current_system_calls() { return current; }

const system_calls& real_system_calls() { return kReal; }

system_calls replace_system_calls(const system_calls& calls) {
  const system_calls previous = current;
  current = calls;
  return previous;
}

}  // namespace tarvik
