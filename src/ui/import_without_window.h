#ifndef TARVIK_UI_IMPORT_WITHOUT_WINDOW_H_
#define TARVIK_UI_IMPORT_WITHOUT_WINDOW_H_

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace tarvik {

// tarvik --import-csv FILE [LOG] [--separator=S] [--decimal=D] [--dates=O]
// [--section NAME]... [--encoding=E]: the entries of the CSV file FILE added to the log LOG
// (by default $HOME/tarvik.txt; made when it is not there yet), read with
// the import dialog's first choices (csv_preselect.h) where no option says
// otherwise (the encoding as guess_encoding guesses it, said on `err`
// when it is not UTF-8), and committed as the window commits (locked, merged with
// another writer's change, crash-safe), under fresh identifiers.
// `arguments` are those after --import-csv. Each row that cannot be read
// goes to `err` with its line, a summary to `out`. Returns the exit status:
// 0 when every row came in; 1 when some could not be read (the others are
// imported); 2 when nothing is written: the call is wrong, FILE cannot be
// read (or its UTF-16 is broken), its dates could be read day or month first and --dates does not
// say which, no column holds dates, or LOG cannot be read or written.
// `before_commit` runs between the reading of LOG and its commit.
int import_without_window(const std::vector<std::string>& arguments, std::ostream& out,
                          std::ostream& err, const std::function<void()>& before_commit = {});

}  // namespace tarvik

#endif  // TARVIK_UI_IMPORT_WITHOUT_WINDOW_H_
