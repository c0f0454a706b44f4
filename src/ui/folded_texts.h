#ifndef TARVIK_UI_FOLDED_TEXTS_H_
#define TARVIK_UI_FOLDED_TEXTS_H_

#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// Appends `bytes` case-folded, as UTF-8 (a text that is no UTF-8 is read as
// Latin-1, as the window shows it), or as the window's text.
void append_case_folded(std::string& folded, const std::string& bytes);
void append_case_folded(QString& folded, const std::string& bytes);

// Texts case-folded and numbered, each distinct one kept once. A log's
// operations repeat, and so do most of its notes: a search tests each
// distinct text once and then looks up a flag per row, instead of testing
// every row's text, and the texts take a few bytes a row, not a copy each.
class folded_texts {
 public:
  // The number of `bytes` case-folded; a text not met yet is added.
  std::uint32_t add(const std::string& bytes);

  // A flag per number: whether that text holds `folded` (case-folded
  // UTF-8). An empty `folded` is held by every text.
  std::vector<char> holding(std::string_view folded) const;

  // How many texts are numbered.
  std::size_t size() const { return ends_.size(); }
  // The text with number `number`, case-folded.
  std::string_view text(std::uint32_t number) const;

 private:
  void grow();
  std::size_t slot_of(std::string_view text) const;

  std::string texts_;               // every text, one after another
  std::vector<std::size_t> ends_;   // where each text ends in texts_
  // Open addressing: number + 1 of the text hashed there, 0 for none.
  std::vector<std::uint32_t> slots_;
  std::string scratch_;
};

}  // namespace tarvik

#endif  // TARVIK_UI_FOLDED_TEXTS_H_
