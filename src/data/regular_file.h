#ifndef TARVIK_DATA_REGULAR_FILE_H_
#define TARVIK_DATA_REGULAR_FILE_H_

#include <cstddef>
#include <string>
#include <sys/types.h>

// Reading the files the program keeps (the log, the intervals beside it):
// regular files only, opened so that nothing standing at the name (a FIFO,
// a device) can block or feed the program without end.
namespace tarvik {

// Far beyond any vehicle's log (a million entries take about 140 MB); a
// larger file is something else, and reading it would only exhaust memory.
inline constexpr std::size_t kMaxLogSize = std::size_t{1} << 30;

// Opens `path` for reading, through the replaceable system calls: a regular
// file only, and never in a way that could block. -1 with errno when it
// cannot be opened; `refusal` then says why when what stands there is no
// regular file (checked before and after the open, so nothing swapped in
// between slips through). The caller closes the descriptor.
int open_regular_file(const std::string& path, std::string& refusal);

// Appends all of `fd` to `text`. Returns 0, or the errno of the read that
// failed (EFBIG past kMaxLogSize); `text` then holds what was read before.
int read_all(int fd, std::string& text);

// Whether the file at `path` holds exactly `text`, read a piece at a time:
// a large log needs no second copy in memory for this. False when it
// cannot be read.
bool holds_exactly(const std::string& path, const std::string& text);

// What stands at a path that is no regular file, in words: "Is a FIFO, not
// a regular file".
std::string not_regular(mode_t mode);

}  // namespace tarvik

#endif  // TARVIK_DATA_REGULAR_FILE_H_
