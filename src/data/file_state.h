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
  timespec changed{};  // the inode's change time, which no program can set back
  timespec seen{};  // when this state was taken (real time)
  // No later change of the file can leave its change time as it is here:
  // while it stays, the file is as it was, whatever the modification time
  // says. Only placed() finds that.
  bool settled = false;

  // The state of the file at `path` (links followed), or of an open file.
  static file_state of_path(const std::string& path);
  static file_state of_descriptor(int fd);

  // Same file, same size, same modification time.
  bool same_as(const file_state& other) const;

  // False when a change after this state could have left the same
  // modification time (file systems stamp in steps of up to two seconds).
  bool trustworthy() const;

  // The state of a file just written and put in place, for telling later
  // whether anybody changed it since: `written` as taken after its last
  // write, then looked up at `path`, where it was put. That look, settled,
  // where the file is still as written and its time stamps come from this
  // machine's clock in fine steps (`clock_stamps`, a local file system)
  // that has moved past them since: any later write, or any setting back
  // of the modification time, then stamps a later change time. Otherwise
  // `written` as it is, whose recent time stamp asks for its bytes to be
  // compared. What slips through: a write in place that keeps the size and
  // sets the exact time stamp back, between the rename and the look that
  // follows the directory's sync, milliseconds while the writer holds the
  // commit lock.
  static file_state placed(const file_state& written, const std::string& path, bool clock_stamps);
};

}  // namespace tarvik

#endif  // TARVIK_DATA_FILE_STATE_H_
