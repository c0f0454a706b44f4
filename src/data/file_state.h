#ifndef TARVIK_DATA_FILE_STATE_H_
#define TARVIK_DATA_FILE_STATE_H_

#include <ctime>
#include <string>
#include <sys/types.h>

namespace tarvik {

// What a file looked like when it was read or written: enough to tell, by
// one stat, whether anybody has changed it since. Identity (device and
// inode), size and modification time are compared; when the modification
// time lies so close to the moment of looking that a later change could
// carry the same time stamp, the state cannot be trusted and the caller
// compares the bytes as well.
struct file_state {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};
  timespec seen{};  // when this state was taken (real time)

  // The state of the file at `path` (links followed), or of an open file.
  static file_state of_path(const std::string& path);
  static file_state of_descriptor(int fd);

  // Same file, same size, same modification time.
  bool same_as(const file_state& other) const;

  // False when a change after this state could have left the same
  // modification time (file systems stamp in steps of up to two seconds).
  bool trustworthy() const;
};

}  // namespace tarvik

#endif  // TARVIK_DATA_FILE_STATE_H_
