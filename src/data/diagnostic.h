#ifndef TARVIK_DATA_DIAGNOSTIC_H_
#define TARVIK_DATA_DIAGNOSTIC_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvik {

// Writes `line` and an end-of-line to the standard error stream in one call,
// then flushes it. Every diagnostic of the log data goes through here.
void report(std::string_view line);

// How many lines report() has written since the process started; lets a
// caller tell whether an operation said anything.
std::size_t reported_lines();

// The C library's text for the error number `error` (strerror), as a string.
std::string error_text(int error);

}  // namespace tarvik

#endif  // TARVIK_DATA_DIAGNOSTIC_H_
