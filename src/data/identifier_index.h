#ifndef TARVIK_DATA_IDENTIFIER_INDEX_H_
#define TARVIK_DATA_IDENTIFIER_INDEX_H_

#include <cstddef>
#include <unordered_map>
#include <vector>

#include "data/record.h"

namespace tarvik {

// Maps identifiers to records (borrowed pointers). Logs number their records
// 0, 1, 2, ... with few gaps, so identifiers up to a few times the number of
// entries live in a plain array, and only outlying ones in a hash map.
class identifier_index {
 public:
  // The record under `identifier`, or null.
  Record* find(int identifier) const {
    if (identifier >= 0 && static_cast<std::size_t>(identifier) < dense_.size()) {
      return dense_[static_cast<std::size_t>(identifier)];
    }
    const auto found = sparse_.find(identifier);
    return found == sparse_.end() ? nullptr : found->second;
  }

  // Files `record` under `identifier` unless a record is there already;
  // true when it was filed.
  bool insert(int identifier, Record* record);

  // Files `record` under `identifier`, replacing what was there.
  void assign(int identifier, Record* record);

  // Forgets `identifier`.
  void erase(int identifier);

  void clear();

  // The highest identifier filed, or -1.
  int highest() const;

  // Makes room for `count` entries numbered from 0.
  void reserve(std::size_t count);

 private:
  bool fits_dense(int identifier);

  std::vector<Record*> dense_;
  std::unordered_map<int, Record*> sparse_;
  std::size_t entries_ = 0;
};

}  // namespace tarvik

#endif  // TARVIK_DATA_IDENTIFIER_INDEX_H_
