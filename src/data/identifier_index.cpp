#include "data/identifier_index.h"

#include <algorithm>

#include "data/large_text.h"

namespace tarvik {
namespace {

// The array may hold this many slots per entry (plus a fixed slack) before
// an identifier goes to the hash map instead.
constexpr std::size_t kSlotsPerEntry = 4;
constexpr std::size_t kSlack = 1024;

}  // namespace

bool identifier_index::fits_dense(int identifier) {
  if (identifier < 0) return false;
  const auto slot = static_cast<std::size_t>(identifier);
  if (slot < dense_.size()) return true;
  if (slot >= (entries_ + 1) * kSlotsPerEntry + kSlack) return false;
  dense_.resize(std::max(slot + 1, dense_.size() * 2), nullptr);
  return true;
}

bool identifier_index::insert(int identifier, Record* record) {
  if (find(identifier) != nullptr) return false;
  assign(identifier, record);
  return true;
}

void identifier_index::assign(int identifier, Record* record) {
  if (find(identifier) == nullptr) ++entries_;
  if (fits_dense(identifier)) {
    dense_[static_cast<std::size_t>(identifier)] = record;
  } else {
    sparse_[identifier] = record;
  }
}

void identifier_index::erase(int identifier) {
  if (find(identifier) == nullptr) return;
  --entries_;
  if (identifier >= 0 && static_cast<std::size_t>(identifier) < dense_.size()) {
    dense_[static_cast<std::size_t>(identifier)] = nullptr;
  } else {
    sparse_.erase(identifier);
  }
}

int identifier_index::highest() const {
  int highest = -1;
  for (std::size_t i = dense_.size(); i-- > 0;) {
    if (dense_[i] != nullptr) {
      highest = static_cast<int>(i);
      break;
    }
  }
  for (const auto& [id, record] : sparse_) highest = std::max(highest, id);
  return highest;
}

void identifier_index::clear() {
  dense_.clear();
  sparse_.clear();
  entries_ = 0;
}

void identifier_index::reserve(std::size_t count) {
  dense_.reserve(count);
  advise_huge_pages(dense_.data() + dense_.size(), (dense_.capacity() - dense_.size()) * sizeof(Record*));
}

}  // namespace tarvik
