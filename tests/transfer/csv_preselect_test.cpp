// The first choices of an import, shared by the dialog and --import-csv.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "transfer/csv_preselect.h"

namespace tarvik {
namespace {

TEST(CsvPreselect, ChoosesFromTheFileAsTheDialogDoes) {
  // A blank header is kept as a field, never left out; a short header row
  // still gives every column of the widest row a role.
  csv_preselection chosen = preselect("Datum;Km;;Kosten\n01.02.2024;1000;x;12,50;y\n");
  EXPECT_EQ(chosen.table.separator, ';');
  EXPECT_EQ(chosen.roles, (std::vector<csv_role>{csv_role::date, csv_role::mileage,
                                                 csv_role::extra, csv_role::cost,
                                                 csv_role::extra}));
  ASSERT_TRUE(chosen.dates.has_value());
  EXPECT_TRUE(chosen.dates->ambiguous);
  EXPECT_EQ(chosen.decimals, decimal_mark::comma);

  // A separator given is used; no date column gives no date guess.
  chosen = preselect("Km;Cost\n1000;12.5\n", ',');
  EXPECT_EQ(chosen.table.separator, ',');
  EXPECT_FALSE(chosen.dates.has_value());

  // Past the columns a user can give a role, a header is not looked at.
  std::string header;
  for (std::size_t column = 0; column < kMostRoleColumns; ++column) header += "x,";
  chosen = preselect(header + "Date\n");
  EXPECT_EQ(chosen.roles.size(), kMostRoleColumns + 1);
  EXPECT_EQ(chosen.roles.back(), csv_role::extra);
  EXPECT_FALSE(chosen.dates.has_value());
  EXPECT_FALSE(preselect("Date,Km\n13/02/2024,1\n").dates->ambiguous);
}

}  // namespace
}  // namespace tarvik
