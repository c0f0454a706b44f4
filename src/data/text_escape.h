#ifndef TARVIK_DATA_TEXT_ESCAPE_H_
#define TARVIK_DATA_TEXT_ESCAPE_H_

#include <string>
#include <string_view>

// The log format cuts a text value at ";" and "=". A text holding either is
// stored under its key with a "*" appended (operation*, notes*), with "%",
// ";" and "=" written as %25, %3B and %3D.
namespace tarvik {

// Writes `text` at `out` with "%" as %25, ";" as %3B and "=" as %3D, every
// other byte unchanged. `out` has room for 3 * text.size() bytes; returns
// the end of what was written.
char* write_escaped(char* out, std::string_view text);

// Copies `text` to `out` when it needs no escape and returns the end of the
// copy; returns null (leaving bytes at `out`) when it holds ";" or "=". One
// pass where the writer would otherwise scan and then copy.
char* copy_plain_text(char* out, std::string_view text);

// The inverse of write_escaped. The hex digits may be in either case; any
// other "%" sequence is kept as it stands, so hand-written text survives.
std::string unescape_text(std::string_view text);

}  // namespace tarvik

#endif  // TARVIK_DATA_TEXT_ESCAPE_H_
