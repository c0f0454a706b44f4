#ifndef TARVIK_DATA_LOG_MERGE_H_
#define TARVIK_DATA_LOG_MERGE_H_

#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

// The three-way merge of a log: what this store read (the base), what it
// changed since, and what the file holds now that another writer changed
// it. Only identifiers and block texts are compared; nothing is read or
// written here.
namespace tarvik {

// A record this store holds.
struct merge_ours {
  int identifier = -1;
  bool from_file = false;  // read from the file; else added here
  bool changed = false;    // given other values here since it was read
  std::string_view base;   // its block as read, when from the file
};

// A record this store read and has removed since.
struct merge_removal {
  int identifier = -1;
  std::string_view base;
};

// A record of the file as it is now.
struct merge_theirs {
  int identifier = -1;
  std::string_view block;
};

// One place of the merged log, in the order of their file: ours[index] or
// theirs[index].
struct merge_source {
  bool ours = false;
  std::size_t index = 0;
};

struct merge_result {
  // One for each of theirs, in order: theirs, or ours where this store
  // changed that record.
  std::vector<merge_source> places;
  // One for each of theirs: removed here, so left out of the merged log.
  std::vector<bool> dropped;
  // Ours that go after them, in order: added here, or changed here but
  // removed there (a change is never thrown away).
  std::vector<std::size_t> appended;
  // The identifier each of `appended` has in the merged log.
  std::vector<int> appended_identifiers;
  // Those of `appended` whose identifier is negative or already taken in
  // the merged log (or by `also_taken`), with the identifier each gets
  // instead: (old, new), in order.
  std::vector<std::pair<int, int>> renumbered;
  // Changed or removed here and changed or removed there too; ours wins.
  std::vector<int> conflicts;
  // Whether a conflict replaced or removed a block that they changed: their
  // file is then worth a copy.
  bool overrode_theirs = false;
};

// Merges. A record of ours is matched to the first of theirs with its
// identifier. Unchanged records of ours give way to theirs (their version,
// or their removal, stands). `also_taken` lists identifiers held outside
// the merged part; `highest` is the highest identifier handed out so far:
// fresh identifiers go on from it, and past the largest int take the lowest
// free ones.
merge_result merge_logs(const std::vector<merge_ours>& ours,
                        const std::vector<merge_removal>& removed,
                        const std::vector<merge_theirs>& theirs,
                        const std::vector<int>& also_taken, int highest);

}  // namespace tarvik

#endif  // TARVIK_DATA_LOG_MERGE_H_
