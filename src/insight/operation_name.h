#ifndef TARVIK_INSIGHT_OPERATION_NAME_H_
#define TARVIK_INSIGHT_OPERATION_NAME_H_

#include <string>
#include <string_view>

// Operation names as the user types them: "Oil change", "oil change " and
// "OIL CHANGE" are one operation to the statistics and the due list.
namespace tarvik {

// The text two operation names are compared by: `name` without the blanks
// at its ends (space, tab, line feed, carriage return, vertical tab, form
// feed; not the no-break space), with letters folded to lower case. Folded
// are ASCII letters and the upper-case letters of UTF-8 Latin-1 Supplement
// (U+00C0..U+00DE but the multiplication sign), Latin Extended-A
// (U+0100..U+017F, the dotted capital I U+0130 excepted, since its lower
// case depends on the language) and basic Cyrillic (U+0400..U+042F). Every
// other byte, invalid UTF-8 included, is kept as it is; blanks inside the
// name are kept too, so "Oil  change" and "Oil change" differ.
std::string operation_key(std::string_view name);

// `text` without the blanks above at its ends.
std::string_view trim_blanks(std::string_view text);

}  // namespace tarvik

#endif  // TARVIK_INSIGHT_OPERATION_NAME_H_
