#ifndef TARVIK_UI_COMMAND_LINE_H_
#define TARVIK_UI_COMMAND_LINE_H_

#include <optional>
#include <ostream>

namespace tarvik {

// Answers the options a Linux program is expected to answer without opening
// a window: --help (or -h) prints what the program does and how to call it
// to `out`, --version prints its name and version. Returns the exit status
// then; nothing when the program is to start as usual. Every other argument
// is left to the toolkit (-platform, -style, ...).
std::optional<int> answer_information_options(int argc, char** argv, std::ostream& out);

}  // namespace tarvik

#endif  // TARVIK_UI_COMMAND_LINE_H_
