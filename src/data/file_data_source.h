#ifndef TARVIK_DATA_FILE_DATA_SOURCE_H_
#define TARVIK_DATA_FILE_DATA_SOURCE_H_

#include <cstdint>
#include <istream>
#include <unordered_map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/data_source.h"
#include "data/file_state.h"
#include "data/identifier_index.h"
#include "data/log_format.h"
#include "data/log_text.h"
#include "data/record.h"

namespace tarvik {

// What a commit did besides writing the store's records.
struct commit_outcome {
  // The file had been changed by another writer (a second window, an
  // editor, a sync tool); its content was read and this store's changes
  // since its last reading or commit were applied on top of it. The store
  // now holds the merged log: records it did not change are new objects.
  bool merged = false;
  // Records this store added whose identifier the merged log already had,
  // with the identifier each got instead: (old, new).
  std::vector<std::pair<int, int>> renumbered;
  // Records changed (or removed) here and changed or removed elsewhere too:
  // this store's version was written.
  std::vector<int> conflicts;
  // Where the file as the other writer left it was saved, when a conflict
  // overrode something of theirs.
  std::string conflict_copy;
  // A copy of a log that could not be read to its end, saved before it was
  // rewritten.
  std::string backup;
  // Why a failed commit failed, in words for the user.
  std::string error;
};

// A record store backed by one log file (see log_format.h). The file is read
// once, in the constructor (and again by rollback); from then on it is
// written only by commit, which replaces it whole and crash-safely.
//
// Invariants: `records`, `record_ids` and `kept_.origins` have the same length,
// and record_ids[i] == records[i]->identifier(). After every reading of the
// file the identifiers are distinct and non-negative: a record whose
// identifier is negative or repeats an earlier one gets a fresh identifier
// above the highest, with one diagnostic line each. `highest_id` is never
// below -1.
//
// What the user wrote is kept. A commit writes the block of every record
// that was neither added, changed nor renumbered since the file was read
// exactly as it stood, with the blank lines and comments before it; a
// changed record gets a standard block that keeps the comment lines and the
// items no field takes of its old one; a removed record's block goes with
// the comment lines right before it. What follows the last block stays last.
// A rewritten block keeps its line ends (LF or CR LF), and every field whose
// text was not read in full (a number with more after it, a text cut at "="
// or at a NUL byte) keeps that text unless it was given another value.
// Text between blocks that no block takes stays where it stood.
//
// Other writers are merged, never overwritten: commits of all Tarvik
// processes are serialised by a commit_lock, and a commit that finds the
// file changed since this store read or wrote it applies this store's
// changes to the file's current content (see commit_outcome).
//
// Only a regular file is read or written: a path that leads to a directory,
// a FIFO, a device or a socket is refused at once (refusal()), never opened
// for a blocking read or replaced.
//
// When a reading met a block it could not read as written, or could not
// read the file to its end, the first commit afterwards rewrites what it
// could not read as it stands, so it first saves the file as it was read to
// a new backup beside it (name.bak, name.bak.1, ...) and names it on stderr.
// If that copy cannot be made, the commit is refused. A file that could not
// be read to its end is read again whole by that commit, and merged.
// Text between blocks needs no backup: it is kept as it stands.
class FileDataSource : public DataSource {
 public:
  // Builds the store and reads the log at `filename`. A missing file gives
  // an empty store without a word; any other failure to open is reported.
  explicit FileDataSource(std::string filename);
  ~FileDataSource() override;

  bool commit() override;
  Record* remove(int identifier) override;
  std::vector<int> identifiers() override;
  int next_id() override;
  Record* record(int identifier) override;
  void record(Record* record) override;
  void insert(std::size_t position, Record* record) override;
  // The record's block and the comment lines above it go with it, and come
  // back with put_back where nothing else changed there.
  taken_record take(int identifier) override;
  void put_back(std::size_t position, taken_record taken, int identifier) override;
  std::shared_ptr<const removed_text> text_of(int identifier) override;
  void give_back_text(int identifier, const std::shared_ptr<const removed_text>& text) override;
  void rollback() override;

  // Reads a whole log from `in`, adds each record it holds and then sets the
  // highest identifier (renumbering as described above).
  void parse(std::istream& in);

  // The block and token readers of the log format, reachable through the
  // store as well (see log_format.h).
  static std::vector<hash_element> parse_record(std::istream& in);
  static std::vector<std::string> split(std::string delimiters, std::string text, int max_tokens);

  // What the last reading found to tell the user: the reader's diagnostics
  // and the values it did not read in full, with their lines.
  const std::vector<log_problem>& problems() const { return problems_; }
  // For each of problems(), the identifier of the record whose block holds
  // its line, or -1 (text between blocks, a block not read as a record).
  // Lines count in the text as read: ask before the first commit after a
  // reading.
  std::vector<int> problem_records() const;

  // The fields of the record `identifier` whose text in the file says more
  // than the value read, for the user to see; none for a record not read
  // from the file.
  std::vector<unread_value> unread_values(int identifier) const;

  // Why the file could not be used at the last reading ("Permission
  // denied", "Is a FIFO, not a regular file", ...); empty when it could, or
  // did not exist.
  const std::string& read_failure() const { return read_failure_; }
  // The path is no regular file: the store holds nothing of it and every
  // commit is refused.
  bool refused() const { return refused_; }

  const commit_outcome& last_commit() const { return outcome_; }

  // Whether the next commit first saves a copy of the file as read (see
  // above).
  bool copy_due() const { return backup_pending; }

  // Whether the store holds changes that are not in the file yet.
  bool has_unsaved_changes() const;

  // Whether the file on disk is no longer what this store last read or
  // wrote: another writer changed, created or replaced it. A file that
  // vanished does not count; the next commit writes it again. When its
  // state cannot tell (the same size and a time stamp too recent to rule
  // out a change within the same tick), the bytes are compared, unless
  // `look_at_bytes` is false: then such a file counts as unchanged.
  bool changed_on_disk(bool look_at_bytes = true);

 private:
  using origin = log_text::origin;

  // Opens and reads the log. False, with errno set, when it cannot be opened.
  bool read_file();
  // What the backup before the next commit is to hold, after a reading: no
  // backup (the reading was complete), the text read, or the file as it is
  // on disk then (its text was not read to the end).
  void keep_nothing();
  void keep_text();
  void keep_file_on_disk();
  // Reads the blocks of the kept text from `start` to `end` into records (after
  // those held). Identifiers in `earlier` count as taken by records read
  // before. Without `report_problems`, a reading with a diagnostic says
  // nothing and returns false, having read what it could.
  bool parse_text(std::size_t start, std::size_t end, int read_error,
                  const identifier_index* earlier, bool report_problems);
  void finish_reading(const identifier_index* earlier);
  // A store that has read nothing, for a merge to fill.
  struct no_reading {};
  FileDataSource(std::string filename, no_reading) : filename(std::move(filename)) {}
  void renumber(std::size_t index, const char* reason);
  void forget_all();
  bool save_backup();
  bool save_copy(const std::string& text, std::string& saved_as, const char* purpose);
  int fresh_id();
  std::size_t position_of(const Record* record) const;
  // Takes the record at `index` out of all three lists; what stood before
  // its block (but its own comment lines) moves to the next record.
  Record* take_out(std::size_t index, removed_text* taken = nullptr);
  Record* remove_first(int identifier, removed_text* taken);
  // Whether the record at `index` must be written anew rather than copied.
  bool changed(std::size_t index) const;
  // Whether it was added or given other values here since the file was read
  // or written (a block read with a problem, or renumbered, is not).
  bool changed_here(std::size_t index) const;
  bool merge_from_disk();
  std::vector<std::unique_ptr<Record>> records;
  std::vector<int> record_ids;
  std::string filename;
  int highest_id = -1;

  // The first record, in store order, of each identifier.
  identifier_index first_with_id;
  // How many held records share their identifier with an earlier one.
  std::size_t shadowed = 0;
  // Where identifiers go on once highest_id has reached the largest int.
  int wrapped_id = 0;
  // While a reading finishes: identifiers of records read before it.
  const identifier_index* also_taken_ = nullptr;

  // The file as last read or written, and what it looked like then.
  log_text kept_;
  file_state on_disk_;
  bool swept_ = false;        // stale temporary files removed once

  std::vector<log_problem> problems_;
  std::string read_failure_;
  bool refused_ = false;
  commit_outcome outcome_;

  // A backup is due before the next commit; of the kept text when it is whole.
  bool backup_pending = false;
  bool original_whole = false;
};

}  // namespace tarvik

#endif  // TARVIK_DATA_FILE_DATA_SOURCE_H_
