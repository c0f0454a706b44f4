// The three-way merge on its own: identifiers and block texts in, the
// merged order, the renumbering and the conflicts out.
#include "data/log_merge.h"

#include <gtest/gtest.h>

#include <climits>

namespace tarvik {
namespace {

using Pairs = std::vector<std::pair<int, int>>;

// The merged log as "o<index>" for ours and "t<index>" for theirs, dropped
// places left out, appended ones after a "|".
std::string order_of(const merge_result& result) {
  std::string text;
  for (std::size_t j = 0; j < result.places.size(); ++j) {
    if (result.dropped[j]) continue;
    text += (result.places[j].ours ? "o" : "t") + std::to_string(result.places[j].index) + " ";
  }
  text += "|";
  for (const std::size_t i : result.appended) text += " o" + std::to_string(i);
  return text;
}

TEST(LogMerge, TheirVersionStandsWhereOursIsUnchangedAndOursWhereItChanged) {
  const std::vector<merge_ours> ours = {
      {0, true, false, "<0 base>"},  // unchanged here: theirs stands
      {1, true, true, "<1 base>"},   // changed here, unchanged there: no conflict
      {2, true, true, "<2 base>"},   // changed on both sides: ours wins, a conflict
  };
  const std::vector<merge_theirs> theirs = {
      {0, "<0 theirs>"}, {1, "<1 base>"}, {2, "<2 theirs>"}, {5, "<5 new there>"}};
  const merge_result result = merge_logs(ours, {}, theirs, {}, 5);
  EXPECT_EQ(order_of(result), "t0 o1 o2 t3 |");
  EXPECT_EQ(result.conflicts, std::vector<int>{2});
  EXPECT_TRUE(result.overrode_theirs);
  EXPECT_TRUE(result.renumbered.empty());
}

TEST(LogMerge, RemovalsGoUnlessTheOtherSideChangedTheRecordAndChangesAreNeverLost) {
  const std::vector<merge_ours> ours = {{4, true, true, "<4 base>"}};  // removed there
  const std::vector<merge_removal> removed = {{1, "<1 base>"}, {2, "<2 base>"}, {9, "<9 base>"}};
  const std::vector<merge_theirs> theirs = {{1, "<1 base>"}, {2, "<2 changed>"}, {3, "<3>"}};
  const merge_result result = merge_logs(ours, removed, theirs, {}, 9);
  // 1 goes quietly, 2 goes although they changed it (ours wins), 9 was
  // already gone; 4, changed here, comes back at the end.
  EXPECT_EQ(order_of(result), "t2 | o0");
  EXPECT_EQ(result.conflicts, (std::vector<int>{4, 2}));
  EXPECT_TRUE(result.overrode_theirs);
  EXPECT_EQ(result.appended_identifiers, std::vector<int>{4});

  // Removed on both sides, or removed here and unchanged there: no copy of
  // their file is needed.
  const merge_result quiet = merge_logs({}, {{1, "<1 base>"}}, {{1, "<1 base>"}}, {}, 1);
  EXPECT_TRUE(quiet.conflicts.empty());
  EXPECT_FALSE(quiet.overrode_theirs);
}

TEST(LogMerge, AddedRecordsTakeFreshIdentifiersWhereTheirsAreTaken) {
  const std::vector<merge_ours> ours = {
      {3, false, false, {}},   // theirs has a 3
      {4, false, false, {}},   // free
      {4, false, false, {}},   // added twice here: the second moves
      {7, false, false, {}},   // held outside the merged part
      {-1, false, false, {}},  // never a valid identifier
      {2, false, false, {}},   // theirs removed here: free again
  };
  const std::vector<merge_theirs> theirs = {{3, "<3>"}, {2, "<2>"}};
  const merge_result result = merge_logs(ours, {{2, "<2>"}}, theirs, {7}, 8);
  EXPECT_EQ(order_of(result), "t0 | o0 o1 o2 o3 o4 o5");
  EXPECT_EQ(result.appended_identifiers, (std::vector<int>{9, 4, 10, 11, 12, 2}));
  EXPECT_EQ(result.renumbered, (Pairs{{3, 9}, {4, 10}, {7, 11}, {-1, 12}}));
}

TEST(LogMerge, PastTheLargestIntFreshIdentifiersAreTheLowestFree) {
  const std::vector<merge_ours> ours = {{INT_MAX, false, false, {}}, {0, false, false, {}}};
  const std::vector<merge_theirs> theirs = {{INT_MAX, "<max>"}, {0, "<0>"}, {1, "<1>"}};
  const merge_result result = merge_logs(ours, {}, theirs, {2}, INT_MAX);
  EXPECT_EQ(result.appended_identifiers, (std::vector<int>{3, 4}));
}

TEST(LogMerge, AChangeGoesToTheFirstOfTheirsWithItsIdentifier) {
  const std::vector<merge_ours> ours = {{1, true, true, "<1 a>"}};
  const std::vector<merge_theirs> theirs = {{1, "<1 a>"}, {1, "<1 b>"}};
  const merge_result result = merge_logs(ours, {}, theirs, {}, 1);
  EXPECT_EQ(order_of(result), "o0 t1 |");
  EXPECT_TRUE(result.conflicts.empty());
}

}  // namespace
}  // namespace tarvik
