#ifndef TARVIK_UI_COMMAND_LINE_H_
#define TARVIK_UI_COMMAND_LINE_H_

#include <optional>
#include <ostream>
#include <string>

namespace tarvik {

// Answers what the program does without a window, as a Linux program is
// expected to:
//   --help (or -h)           what the program does and how to call it
//   --version                its name and version
//   --export-csv OUT [FILE]  the log FILE (by default $HOME/tarvik.txt) as
//                            CSV in OUT, for scripts
//   --import-csv CSV [FILE]  the entries of a CSV file added to the log FILE
//                            (import_without_window.h)
//   --due [FILE]             what is due in the log (due_reminder.h)
//   --notify-due             a desktop notification of it for the recent logs
// Writes to `out`, and what went wrong to `err`. Returns the exit status
// then (0; 1 when the export failed: FILE missing or not read to its end,
// OUT not written; 2 when the call was wrong: no OUT, or OUT is FILE, a
// backup of it or a file kept with it; for --due, print_due()'s); nothing
// when the program is to start its window as usual. The toolkit's own
// options (-platform, -style, ...) are left to it; any other argument that
// begins with "-" before "--" is refused with a usage line on `err` and
// status 2.
std::optional<int> answer_without_window(int argc, char** argv, std::ostream& out,
                                         std::ostream& err);

// The log file named on the command line (the first argument that is no
// option, or the first after "--"), once the toolkit has taken its own;
// empty when there is none.
std::string log_argument(int argc, char** argv);

}  // namespace tarvik

#endif  // TARVIK_UI_COMMAND_LINE_H_
