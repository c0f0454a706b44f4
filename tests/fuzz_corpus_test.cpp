// Every hand-made seed log and every input the fuzzer once found keeps the
// log's properties, as a log and as record texts (see fuzz/log_properties.h).
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/log_properties.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

TEST(FuzzCorpus, EveryLogKeepsTheProperties) {
  testing::temp_dir dir;
  int files = 0;
  for (const char* folder : {"corpus", "regressions"}) {
    const auto path = std::filesystem::path(TARVIK_FUZZ_DIR) / folder;
    if (!std::filesystem::exists(path)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
      const std::string bytes = testing::read_file(entry.path().string());
      testing::stderr_capture quiet;
      EXPECT_EQ(testing::check_text_round_trip(bytes), "") << entry.path();
      EXPECT_EQ(testing::check_merge_plan(bytes), "") << entry.path();
      EXPECT_EQ(testing::check_log_properties(bytes, dir.path()), "") << entry.path();
      EXPECT_EQ(testing::check_merge_properties(bytes, dir.path()), "") << entry.path();
      EXPECT_EQ(testing::check_stray_text_properties(bytes, dir.path()), "") << entry.path();
      ++files;
    }
  }
  EXPECT_GT(files, 5);
}

}  // namespace
}  // namespace tarvik
