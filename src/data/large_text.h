#ifndef TARVIK_DATA_LARGE_TEXT_H_
#define TARVIK_DATA_LARGE_TEXT_H_

#include <cstddef>
#include <string>

namespace tarvik {

// Makes room in `text` for at least `capacity` bytes, as reserve() does. A
// large buffer is backed by huge pages where the system grants them: a log
// of a million entries is 150 MB, and touching that many fresh small pages
// costs far more than reading or writing the bytes (on a virtual machine
// most of all). Only advice: where it is refused, the text is as reserve()
// leaves it.
void reserve_large(std::string& text, std::size_t capacity);

// Asks for huge pages behind the untouched memory [data, data + size), when
// it is large enough to gain from them: for the buffers of large vectors.
void advise_huge_pages(void* data, std::size_t size);

// While it lives, the heap grows in large steps backed by huge pages, for
// the many small objects of a large reading (a record and its texts for
// each entry), which would otherwise touch a fresh small page every few
// entries. Call grown() now and then: it advises what the heap gained
// since. Nothing happens for a reading of fewer than `expected` bytes
// below the threshold, or where the heap does not grow by brk.
class large_heap_growth {
 public:
  explicit large_heap_growth(std::size_t expected);
  ~large_heap_growth();
  large_heap_growth(const large_heap_growth&) = delete;
  large_heap_growth& operator=(const large_heap_growth&) = delete;

  void grown();

 private:
  bool active_ = false;
  char* advised_ = nullptr;  // the heap's end as last advised
};

}  // namespace tarvik

#endif  // TARVIK_DATA_LARGE_TEXT_H_
