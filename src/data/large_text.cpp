#include "data/large_text.h"

#include <algorithm>
#include <cstdint>
#include <malloc.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/mman.h>
#endif

namespace tarvik {
namespace {

// Below this a buffer gains too little from huge pages to ask for them.
constexpr std::size_t kLarge = std::size_t{8} << 20;
constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
// The C library's own padding of heap growth.
constexpr int kDefaultTopPad = 128 * 1024;

}  // namespace

void advise_huge_pages(void* data, std::size_t size) {
#ifdef MADV_HUGEPAGE
  if (size < kLarge) return;
  // Only whole huge pages inside the range.
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t last = (start + size) & ~(kHugePage - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)size;
#endif
}

void reserve_large(std::string& text, std::size_t capacity) {
  if (capacity <= text.capacity()) return;
  text.reserve(capacity);
  // The part not yet written: the advice applies to pages touched from now on.
  advise_huge_pages(text.data() + text.size(), text.capacity() - text.size());
}

large_heap_growth::large_heap_growth(std::size_t expected) {
#ifdef MADV_HUGEPAGE
  if (expected < kLarge) return;
  active_ = true;
  advised_ = static_cast<char*>(sbrk(0));
  // Each time the heap grows, by this much more than asked, so that most
  // of it is advised before it is touched.
  mallopt(M_TOP_PAD, static_cast<int>(std::min<std::size_t>(expected / 4, std::size_t{64} << 20)));
#else
  (void)expected;
#endif
}

large_heap_growth::~large_heap_growth() {
  if (!active_) return;
  grown();
  mallopt(M_TOP_PAD, kDefaultTopPad);
}

void large_heap_growth::grown() {
#ifdef MADV_HUGEPAGE
  if (!active_) return;
  char* const end = static_cast<char*>(sbrk(0));
  if (end <= advised_) return;
  const auto first = (reinterpret_cast<std::uintptr_t>(advised_) + kHugePage - 1) & ~(kHugePage - 1);
  const auto last = reinterpret_cast<std::uintptr_t>(end) & ~(kHugePage - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
  advised_ = end;
#endif
}

}  // namespace tarvik
