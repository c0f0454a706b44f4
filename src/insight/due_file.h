#ifndef TARVIK_INSIGHT_DUE_FILE_H_
#define TARVIK_INSIGHT_DUE_FILE_H_

#include <cstddef>
#include <string>
#include <vector>

#include "data/file_state.h"
#include "data/log_format.h"
#include "data/write_target.h"
#include "insight/service_interval.h"

// The service intervals of a log, kept beside it in a hand-editable file of
// the log's block style:
//
//   # Every year or 15,000 km.
//   <interval=0>
//   operation=Oil change;
//   distance=15000;
//   months=12;
//   </interval>
//
// Keys are read in any letter case with blanks around them; an operation
// holding ";" or "=" is stored under "operation*" escaped as in the log
// (text_escape.h). Items under other keys and comment lines of a block are
// kept with its interval; everything between blocks stays where it stood.
namespace tarvik {

// The due file of the log at `log_path`: a trailing ".txt" is replaced by
// ".due.txt", any other name gets ".due.txt" appended ("tarvik.txt" gives
// "tarvik.due.txt", "car.log" gives "car.log.due.txt"). Only the lower-case
// ".txt" counts, and the path is taken as given: a log reached through a
// symbolic link has its due file beside the link.
std::string due_file_path(const std::string& log_path);

// Whether an export (a CSV or PDF file, a chart, a print to a file) may
// write `target` while the log at `log_path` is in use: never over the
// log, its backups, its due file or its settings (log_settings.h), nor anything that is no regular file
// (write_target.h).
write_refusal refuse_export_target(const std::string& target, const std::string& log_path);

// A due file as read, and its saving. Not safe for use by several threads.
//
// A save writes, crash-safely (replacement_file.h), every interval of
// intervals() in order: one read from the file and not changed since
// (same_content) as its block stood, byte for byte, with the text that
// stood before it; a changed one as a standard block under its old
// identifier that keeps its other items and comment lines; a new one as a
// standard block under an identifier above all others. The text before a
// removed interval's block stays, but for the comment lines directly above
// it, which go with it. What followed the last block stays last. So a file
// saved unchanged keeps every byte.
//
// Values are never guessed: a distance that is not a finite number above 0,
// or months that are not a whole number from 1 to 12,000, is reported in
// problems() with its line, and the interval is read without that limit;
// the item is kept in other_items and written back while the limit stays
// unset. When a block cannot be read cleanly (a malformed block, a close
// tag other than "</interval>"), that block and everything after it are
// not read as intervals, but are kept as they stand at the end of the file.
//
// Given the log it belongs to, a save never writes over that log, its
// backups or its settings file, should the due file's name lead there
// through a link.
//
// Another program (a second window, an editor) may change the file too. A
// save never writes over such a change: it fails with changed_elsewhere()
// set, and the caller reads the file again, so that the user sees and
// changes what is there now. Saves of all Tarvik processes in a directory
// take the same lock as their log commits (commit_lock.h).
class due_file {
 public:
  // Reads the file at `path`. A missing file gives no intervals and no
  // problem; a file that exists but cannot be read (or is no regular file)
  // gives read_failure(), and then every save is refused, so that its
  // content is never replaced unseen. `log_path`: the log it belongs to.
  explicit due_file(std::string path, std::string log_path = {});

  const std::string& path() const { return path_; }
  const std::string& log_path() const { return log_path_; }
  std::vector<service_interval>& intervals() { return intervals_; }
  const std::vector<service_interval>& intervals() const { return intervals_; }

  // What the reading found: the reader's problems and values not read, in
  // file order, lines counted from 1. Nothing is written to stderr here.
  const std::vector<log_problem>& problems() const { return problems_; }
  const std::string& read_failure() const { return read_failure_; }

  // The text a save would write now.
  std::string compose() const;

  // Writes compose() in place of the file. On success the object stands as
  // if it had just read what it wrote (origins renewed); on failure
  // nothing changed, and error() says why, in words for the user (without
  // the file's name: "writing failed: No space left on device").
  bool save();
  const std::string& error() const { return error_; }
  // The last save failed because the file changed since it was read.
  bool changed_elsewhere() const { return changed_elsewhere_; }

  // Whether the file differs from what was read or last saved (it was
  // made, changed, replaced or removed since).
  bool changed_on_disk() const;

 private:
  // A block of the file as read.
  struct read_block {
    text_span lead;   // from the end of the block before to its "<"
    text_span span;   // the block, with the line end after its close tag
    service_interval as_read;
  };

  void take_text(std::string text);
  void read_block_at(const block_reading& block);
  std::size_t line_at(std::size_t offset) const;

  std::string path_;
  std::string log_path_;
  std::vector<service_interval> intervals_;
  std::vector<log_problem> problems_;
  std::string read_failure_;
  std::string error_;
  bool changed_elsewhere_ = false;
  file_state on_disk_;  // of the file as read or last saved

  std::string text_;  // the file as read, or as last saved
  std::vector<read_block> blocks_;
  std::size_t tail_ = 0;  // where what follows the last block read starts
};

}  // namespace tarvik

#endif  // TARVIK_INSIGHT_DUE_FILE_H_
