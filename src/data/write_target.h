#ifndef TARVIK_DATA_WRITE_TARGET_H_
#define TARVIK_DATA_WRITE_TARGET_H_

#include <string>
#include <vector>

// What the program's writers besides the log's own commit (exports, charts,
// the service intervals) may write over. A user who picks the log's own name
// in a save dialog, or forgets an argument on the command line, must get a
// refusal, not an export in place of the log: nothing would bring it back.
namespace tarvik {

// A file kept with the log that no writer may replace, and how a refusal
// names it ("the log's service intervals").
struct kept_file {
  std::string path;
  std::string what;
};

// Why a target is refused; empty `reason`: it may be written.
struct write_refusal {
  // The target is the log, a backup of it or a kept file (rather than
  // something that is no regular file).
  bool kept = false;
  // In words, for after "cannot write NAME: ": "it is the log itself",
  // "Is a FIFO, not a regular file".
  std::string reason;
  explicit operator bool() const { return !reason.empty(); }
};

// Whether a writer may put a new file at `target` while `log` is in use.
// Refused: the log itself, a backup of it (LOG.bak, LOG.bak.N beside it), a
// file of `kept`, whether named as they are, through symbolic links to them
// or to their folders, or as other hard links of the same file; and, when
// something stands at `target`, anything but a regular file (a FIFO, a
// device, a directory, a socket), which is only looked at, never opened.
// A name that is not there yet is judged by its name alone. With an empty
// `log` (none in use), only what stands at `target` counts.
write_refusal refuse_to_write(const std::string& target, const std::string& log,
                              const std::vector<kept_file>& kept = {});

}  // namespace tarvik

#endif  // TARVIK_DATA_WRITE_TARGET_H_
