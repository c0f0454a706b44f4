#ifndef TARVIK_TRANSFER_CSV_PRESELECT_H_
#define TARVIK_TRANSFER_CSV_PRESELECT_H_

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "transfer/csv_import.h"

// What an import of a CSV text takes until the user says otherwise: the
// import dialog's first choices, and all that `tarvik --import-csv` goes by
// where no option overrides them. Kept in one place so that the two never
// read the same file differently.
namespace tarvik {

// Only the first columns can be given a role by the user (the dialog has a
// box for each): the others are kept as fields whatever their headers say,
// so they are never guessed a role either.
inline constexpr std::size_t kMostRoleColumns = 200;

// The role of each column of the table's widest row: guess_roles' for the
// first kMostRoleColumns, `extra` beyond. A column without a header is
// kept as a field like any other the five fields do not take: none is left
// out unless the user says so.
std::vector<csv_role> preselect_roles(const csv_table& table);

// How the dates of the (first) date column by `roles` are written; none
// when no column holds dates.
std::optional<date_guess> preselect_dates(const csv_table& table,
                                          const std::vector<csv_role>& roles);

struct csv_preselection {
  csv_table table;  // read with the separator given, or the one guessed
  std::vector<csv_role> roles;
  std::optional<date_guess> dates;
  decimal_mark decimals = decimal_mark::full_stop;
};

// Reads `text` with `separator` (0: guess_separator's) and makes the first
// choices for it.
csv_preselection preselect(std::string_view text, char separator = 0);

}  // namespace tarvik

#endif  // TARVIK_TRANSFER_CSV_PRESELECT_H_
