#ifndef TARVIK_DATA_FILE_DATA_SOURCE_H_
#define TARVIK_DATA_FILE_DATA_SOURCE_H_

#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "data/data_source.h"
#include "data/identifier_index.h"
#include "data/log_format.h"
#include "data/record.h"

namespace tarvik {

// A record store backed by one log file (see log_format.h). The file is read
// once, in the constructor (and again by rollback); from then on it is
// written only by commit, which replaces it whole and crash-safely.
//
// Invariants: `records` and `record_ids` have the same length, and
// record_ids[i] == records[i]->identifier(). After every reading of the file
// the identifiers are distinct and non-negative: a record whose identifier is
// negative or repeats an earlier one gets a fresh identifier above the
// highest, with one diagnostic line each. `highest_id` is never below -1.
//
// Lookup, add and remove cost O(1) plus the list shuffling of a removal;
// loading and committing are linear in the size of the log.
//
// When a reading reported any problem (the file was malformed, or could not
// be read to its end), the records after the problem are not in the store,
// so the first commit afterwards first saves the file as it was read to a
// new backup beside it (name.bak, name.bak.1, ...) and names it on stderr.
// If that copy cannot be made, the commit is refused.
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
  void rollback() override;

  // Reads a whole log from `in`, adds each record it holds and then sets the
  // highest identifier (renumbering as described above).
  void parse(std::istream& in);

  // The block and token readers of the log format, reachable through the
  // store as well (see log_format.h).
  static std::vector<hash_element> parse_record(std::istream& in);
  static std::vector<std::string> split(std::string delimiters, std::string text, int max_tokens);

 private:
  // Opens and reads the log. False, with errno set, when it cannot be opened.
  bool read_file();
  // What the backup before the next commit is to hold, after a reading: no
  // backup (the reading was complete), the file's text as read, or the file
  // as it is on disk then (its text was not read to the end).
  void keep_nothing();
  void keep_text(std::string text);
  void keep_file_on_disk();
  void finish_reading();
  void renumber(std::size_t index, const char* reason);
  void forget_all();
  bool save_backup();
  int fresh_id();

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

  // A backup is due before the next commit.
  bool backup_pending = false;
  // The file as read, when it was read to its end and a backup is due;
  // otherwise the backup copies the file from disk.
  std::string original_text;
  bool original_whole = false;
};

}  // namespace tarvik

#endif  // TARVIK_DATA_FILE_DATA_SOURCE_H_
