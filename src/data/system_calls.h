#ifndef TARVIK_DATA_SYSTEM_CALLS_H_
#define TARVIK_DATA_SYSTEM_CALLS_H_

#include <sys/types.h>

namespace tarvik {

// The system calls through which files are written and read, gathered in one table so
// that tests can make any single step fail. Each entry behaves as the POSIX
// call of the same name: -1 and errno on failure.
struct system_calls {
  int (*open)(const char* path, int flags, mode_t mode);
  ssize_t (*write)(int fd, const void* data, size_t size);
  int (*fsync)(int fd);
  int (*fchmod)(int fd, mode_t mode);
  int (*close)(int fd);
  int (*rename)(const char* from, const char* to);
  int (*link)(const char* from, const char* to);
  int (*unlink)(const char* path);
  ssize_t (*read)(int fd, void* data, size_t size);
};

// The table in use; the real calls unless a test replaced them.
const system_calls& current_system_calls();

// The real calls.
const system_calls& real_system_calls();

// Makes `calls` the table in use and returns the one it replaces. For tests.
system_calls replace_system_calls(const system_calls& calls);

}  // namespace tarvik

#endif  // TARVIK_DATA_SYSTEM_CALLS_H_
