#include "transfer/csv_preselect.h"

#include <algorithm>
#include <string>
#include <utility>

namespace tarvik {

std::vector<csv_role> preselect_roles(const csv_table& table) {
  std::size_t columns = 0;
  for (const auto& row : table.rows) columns = std::max(columns, row.size());
  std::vector<std::string> names;
  for (std::size_t column = 0; column < std::min(columns, kMostRoleColumns); ++column) {
    names.push_back(!table.rows.empty() && column < table.rows[0].size() ? table.rows[0][column]
                                                                         : std::string());
  }
  std::vector<csv_role> roles = guess_roles(names, table);
  roles.resize(columns, csv_role::extra);
  for (csv_role& role : roles) {
    if (role == csv_role::ignore) role = csv_role::extra;
  }
  return roles;
}

std::optional<date_guess> preselect_dates(const csv_table& table,
                                          const std::vector<csv_role>& roles) {
  const auto found = std::find(roles.begin(), roles.end(), csv_role::date);
  if (found == roles.end()) return std::nullopt;
  return guess_date_order(table, static_cast<std::size_t>(found - roles.begin()));
}

csv_preselection preselect(std::string_view text, char separator) {
  csv_preselection chosen;
  chosen.table = read_csv(text, separator);
  chosen.roles = preselect_roles(chosen.table);
  chosen.dates = preselect_dates(chosen.table, chosen.roles);
  chosen.decimals = guess_decimal_mark(chosen.table, chosen.roles);
  return chosen;
}

}  // namespace tarvik
