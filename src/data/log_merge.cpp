#include "data/log_merge.h"

#include <climits>
#include <unordered_map>
#include <unordered_set>

namespace tarvik {

merge_result merge_logs(const std::vector<merge_ours>& ours,
                        const std::vector<merge_removal>& removed,
                        const std::vector<merge_theirs>& theirs,
                        const std::vector<int>& also_taken, int highest) {
  merge_result result;
  const std::size_t none = theirs.size();
  // Where the first of theirs with each identifier we ask about stands.
  std::unordered_map<int, std::size_t> their_position;
  for (const merge_ours& mine : ours) their_position.emplace(mine.identifier, none);
  for (const merge_removal& gone : removed) their_position.emplace(gone.identifier, none);
  for (std::size_t j = 0; j < theirs.size(); ++j) {
    const auto found = their_position.find(theirs[j].identifier);
    if (found != their_position.end() && found->second == none) found->second = j;
  }

  result.places.resize(theirs.size());
  for (std::size_t j = 0; j < theirs.size(); ++j) result.places[j] = {false, j};
  result.dropped.assign(theirs.size(), false);
  for (std::size_t i = 0; i < ours.size(); ++i) {
    const merge_ours& mine = ours[i];
    if (!mine.from_file) {
      result.appended.push_back(i);
      continue;
    }
    if (!mine.changed) continue;  // their version stands, or their removal
    const std::size_t j = their_position.at(mine.identifier);
    if (j == none) {
      // Removed there, changed here: the change is not thrown away.
      result.conflicts.push_back(mine.identifier);
      result.appended.push_back(i);
      continue;
    }
    if (theirs[j].block != mine.base) {
      result.conflicts.push_back(mine.identifier);
      result.overrode_theirs = true;
    }
    result.places[j] = {true, i};
  }
  for (const merge_removal& gone : removed) {
    const std::size_t j = their_position.at(gone.identifier);
    if (j == none) continue;
    if (theirs[j].block != gone.base) {
      result.conflicts.push_back(gone.identifier);
      result.overrode_theirs = true;
    }
    result.dropped[j] = true;
  }

  // What is added at the end takes no identifier the log already has.
  std::unordered_set<int> taken(also_taken.begin(), also_taken.end());
  for (std::size_t j = 0; j < theirs.size(); ++j) {
    if (!result.dropped[j]) taken.insert(theirs[j].identifier);
  }
  int lowest_free = 0;
  for (const std::size_t i : result.appended) {
    int id = ours[i].identifier;
    if (id < 0 || taken.count(id) != 0) {
      const int old_id = id;
      if (highest < INT_MAX) {
        id = ++highest;
      } else {
        while (lowest_free < INT_MAX && taken.count(lowest_free) != 0) ++lowest_free;
        id = lowest_free;
      }
      result.renumbered.emplace_back(old_id, id);
    }
    if (id > highest) highest = id;
    taken.insert(id);
    result.appended_identifiers.push_back(id);
  }
  return result;
}

}  // namespace tarvik
