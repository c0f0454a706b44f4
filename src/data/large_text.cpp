#include "data/large_text.h"

#include <cstdint>
#ifdef __linux__
#include <sys/mman.h>
#endif

namespace tarvik {
namespace {

// Below this a buffer gains too little from huge pages to ask for them.
constexpr std::size_t kLarge = std::size_t{8} << 20;
constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;

}  // namespace

void reserve_large(std::string& text, std::size_t capacity) {
  if (capacity <= text.capacity()) return;
  text.reserve(capacity);
#ifdef MADV_HUGEPAGE
  if (capacity < kLarge) return;
  // Only whole huge pages inside the buffer, and only the part not yet
  // written: the advice applies to pages touched from now on.
  const auto start = reinterpret_cast<std::uintptr_t>(text.data() + text.size());
  const auto end = reinterpret_cast<std::uintptr_t>(text.data() + text.capacity());
  const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t last = end & ~(kHugePage - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}

}  // namespace tarvik
