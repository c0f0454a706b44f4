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

}  // namespace tarvik

#endif  // TARVIK_DATA_LARGE_TEXT_H_
