#ifndef TARVIK_DATA_REPLACEMENT_FILE_H_
#define TARVIK_DATA_REPLACEMENT_FILE_H_

#include <string>
#include <string_view>
#include <sys/types.h>

#include "data/file_state.h"

namespace tarvik {

// Writes a file so that a crash, a full disk or any failed call leaves either
// the whole old file or the whole new one, never a mix. The bytes go to a
// temporary file beside the target, which is synced and then renamed over
// the target, and the directory is synced; if that sync fails, the old
// target is put back. A symbolic link at `path` is followed, so the link
// stays a link. An existing target keeps its permission bits, and its owner
// and group where the process may set them; a new one gets 0664 less the
// umask. Only a regular file is ever replaced.
//
// Temporary names are hidden, unique to the writer (created with O_EXCL),
// and of a form no user file has: "." + name + ".tarvik-" + random + ".tmp".
// Only files this object created are removed. A replaced target that had
// other hard links leaves them with the old content: rename gives the name a
// new file, which is what backup tools that share unchanged files by hard
// links rely on.
//
// Every call returns false on failure; failed_step() and error() then say
// what failed, and the temporary file is gone. Nothing is written to stderr
// here: the caller words the diagnostic. The destructor removes a temporary
// file that was not put in place.
class replacement_file {
 public:
  explicit replacement_file(const std::string& path);
  ~replacement_file();
  replacement_file(const replacement_file&) = delete;
  replacement_file& operator=(const replacement_file&) = delete;

  // Creates the temporary file. An existing target that may not be opened for
  // writing is refused, as opening it to rewrite it in place would be.
  bool open();

  // Gives a new target these permission bits instead of 0664 less the
  // umask. Call before open(); an existing target keeps its own.
  void use_mode(unsigned mode) {
    keep_mode_ = true;
    mode_ = mode & 07777;
  }

  // Adds bytes to the new content.
  bool append(std::string_view bytes);

  // Puts the new content in place of the target.
  bool replace();

  // Puts the new content in place only if nothing stands at the target yet;
  // otherwise fails with EEXIST and leaves what stands there alone.
  bool create();

  // What failed ("opening", "writing", ...), and the system's error number.
  const std::string& failed_step() const { return failed_step_; }
  int error() const { return error_; }

  // The file that is written: `path` with its symbolic links followed.
  const std::string& target() const { return target_; }

  // The new content's file as it was written (identity, size, time stamp),
  // once replace() or create() succeeded. What stands at the target and
  // differs from it was put there by someone else since, even in the
  // moment between the rename and any later look. After replace(), settled
  // where that can be told (see file_state::placed).
  const file_state& written() const { return written_; }

 private:
  bool fail(const char* step);
  bool flush();
  bool write_all(std::string_view bytes);
  bool finish_writing();
  bool sync_directory();
  void remove_temporary();

  bool create_temporary();

  std::string target_;
  std::string temporary_;
  std::string previous_;  // a second name of the old target while it is replaced
  int fd_ = -1;
  bool keep_mode_ = false;
  unsigned mode_ = 0;
  bool keep_owner_ = false;
  uid_t owner_ = 0;
  gid_t group_ = 0;
  off_t old_size_ = 0;  // of the target when open() found one
  bool temporary_exists_ = false;
  std::string buffer_;
  off_t offset_ = 0;  // bytes written to the temporary file so far
  std::string failed_step_;
  file_state written_;
  bool clock_stamps_ = false;  // the file system stamps times from our clock
  int error_ = 0;
};

// Writes `bytes` as the whole new content of the file at `path`, through a
// replacement_file. False, with `error` the system's reason, when it
// cannot: nothing at `path` has changed then.
bool write_whole_file(const std::string& path, std::string_view bytes, std::string& error);

// Removes temporary files of the form above beside `target` that a writer
// killed mid-way left. Only safe while no other writer of `target` can be
// at work, that is under its commit_lock.
void remove_stale_temporaries(const std::string& target);

// `path` with every symbolic link in its last component followed.
std::string resolve_links(const std::string& path);

// The directory part of `path`: "." when it has none.
std::string directory_of(const std::string& path);

}  // namespace tarvik

#endif  // TARVIK_DATA_REPLACEMENT_FILE_H_
