#include "ui/folded_texts.h"

#include <functional>

#include "ui/widget_text.h"

namespace tarvik {
namespace {

bool is_ascii(const std::string& bytes) {
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

char folded_ascii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

}  // namespace

// ASCII, by far the most common, is folded here without the detours
// through decoding and Unicode tables.
void append_case_folded(std::string& folded, const std::string& bytes) {
  if (!is_ascii(bytes)) {
    folded += to_widget_text(bytes).toCaseFolded().toStdString();
    return;
  }
  for (const char c : bytes) folded += folded_ascii(c);
}

void append_case_folded(QString& folded, const std::string& bytes) {
  if (!is_ascii(bytes)) {
    folded += to_widget_text(bytes).toCaseFolded();
    return;
  }
  for (const char c : bytes) folded += QChar(static_cast<char16_t>(folded_ascii(c)));
}

std::string_view folded_texts::text(std::uint32_t number) const {
  const std::size_t start = number == 0 ? 0 : ends_[number - 1];
  return std::string_view(texts_).substr(start, ends_[number] - start);
}

std::size_t folded_texts::slot_of(std::string_view text) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = std::hash<std::string_view>{}(text) & mask;
  while (slots_[slot] != 0 && this->text(slots_[slot] - 1) != text) slot = (slot + 1) & mask;
  return slot;
}

void folded_texts::grow() {
  slots_.assign(slots_.empty() ? 64 : slots_.size() * 2, 0);
  for (std::uint32_t number = 0; number < ends_.size(); ++number) {
    slots_[slot_of(text(number))] = number + 1;
  }
}

std::uint32_t folded_texts::add(const std::string& bytes) {
  scratch_.clear();
  append_case_folded(scratch_, bytes);
  // At most half full, so that probes stay short.
  if (2 * (ends_.size() + 1) > slots_.size()) grow();
  const std::size_t slot = slot_of(scratch_);
  if (slots_[slot] != 0) return slots_[slot] - 1;
  const auto number = static_cast<std::uint32_t>(ends_.size());
  texts_ += scratch_;
  ends_.push_back(texts_.size());
  slots_[slot] = number + 1;
  return number;
}

std::vector<char> folded_texts::holding(std::string_view folded) const {
  std::vector<char> held(ends_.size());
  for (std::uint32_t number = 0; number < ends_.size(); ++number) {
    held[number] = text(number).find(folded) != std::string_view::npos;
  }
  return held;
}

}  // namespace tarvik
