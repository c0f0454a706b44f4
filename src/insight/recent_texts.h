#ifndef TARVIK_INSIGHT_RECENT_TEXTS_H_
#define TARVIK_INSIGHT_RECENT_TEXTS_H_

#include <array>
#include <cstddef>
#include <string_view>

namespace tarvik {

// The texts met last and what each stood for, found by a hash of their
// length and three of their bytes. For passes over many rows whose texts
// are mostly a few dozen (a log's operations): a text found here needs no
// hashing whole, which took most of such a pass. A text whose place
// another took since is simply not found. The views point into texts that
// must outlive it, unchanged.
template <typename Value, std::size_t Size = 64>
class recent_texts {
 public:
  // What `text` stood for when last remembered, or null.
  const Value* find(std::string_view text) const {
    const entry& at = entries_[slot(text)];
    return at.used && at.text == text ? &at.value : nullptr;
  }

  void remember(std::string_view text, Value value) { entries_[slot(text)] = {text, value, true}; }

 private:
  struct entry {
    std::string_view text;
    Value value{};
    bool used = false;
  };

  static std::size_t slot(std::string_view text) {
    if (text.empty()) return 0;
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    return (text.size() * 131 + byte(0) * 31 + byte(text.size() / 2) * 7 + byte(text.size() - 1)) %
           Size;
  }

  std::array<entry, Size> entries_{};
};

}  // namespace tarvik

#endif  // TARVIK_INSIGHT_RECENT_TEXTS_H_
