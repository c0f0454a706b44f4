#ifndef TARVIK_DATA_TEXT_ESCAPE_H_
#define TARVIK_DATA_TEXT_ESCAPE_H_

#include <string>
#include <string_view>

// The log format cuts a text value at ";" and "=". A text holding either is
// stored under its key with a "*" appended (operation*, notes*), with "%",
// ";" and "=" written as %25, %3B and %3D.
namespace tarvik {

// True when `text` must be stored in the escaped form to be read back whole.
bool needs_escape(std::string_view text);

// "%" -> %25, ";" -> %3B, "=" -> %3D; every other byte unchanged.
std::string escape_text(std::string_view text);

// The inverse of escape_text. The hex digits may be in either case; any
// other "%" sequence is kept as it stands, so hand-written text survives.
std::string unescape_text(std::string_view text);

}  // namespace tarvik

#endif  // TARVIK_DATA_TEXT_ESCAPE_H_
