// Values the log stores: a cost written reads back as the very same float,
// and a date that is not whole seconds is pointed out.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "data/file_data_source.h"
#include "data/number_text.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

using testing::temp_dir;
using testing::write_file;

bool reads_back(float value) {
  const std::string text = format_exact(value);
  return std::bit_cast<std::uint32_t>(static_cast<float>(parse_double(text.c_str()))) ==
         std::bit_cast<std::uint32_t>(value);
}

// A float's shortest text, read as a double and then rounded to float, can
// land on the neighbouring float.
TEST(ExactCost, AFloatWhoseShortestTextRoundsTwiceReadsBackTheSame) {
  EXPECT_TRUE(reads_back(7.038531e-26f)) << format_exact(7.038531e-26f);

  temp_dir dir;
  const std::string log = dir.file("tarvik.txt");
  {
    FileDataSource store(log);
    auto* record = new Record(store.next_id());
    record->setup(record->identifier(), 1020211200, 1, "Oil", "", 7.038531e-26f);
    store.record(record);
    ASSERT_TRUE(store.commit());
  }
  EXPECT_EQ(FileDataSource(log).record(0)->cost(), 7.038531e-26f);
}

TEST(ExactCost, EveryFloatOfASampleReadsBackTheSame) {
  std::mt19937 random(20240607);
  int failures = 0;
  for (int i = 0; i < 20000 && failures < 5; ++i) {
    const auto value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
    if (std::isnan(value)) continue;
    if (!reads_back(value)) {
      ++failures;
      ADD_FAILURE() << "bits " << std::bit_cast<std::uint32_t>(value) << " written as "
                    << format_exact(value);
    }
  }
}

TEST(DateValues, AFractionalDateIsListedAmongTheProblems) {
  temp_dir dir;
  const std::string log = dir.file("tarvik.txt");
  std::string text = testing::kExampleLog;
  text.replace(text.find("date=1020211200;"), 16, "date=1020211200.5;");
  write_file(log, text);
  testing::stderr_capture quiet;
  FileDataSource store(log);
  EXPECT_EQ(store.record(0)->date(), 1020211200);
  ASSERT_EQ(store.problems().size(), 1u);
  EXPECT_EQ(store.problems()[0].line, 4u);
  EXPECT_EQ(store.problems()[0].message,
            "date \"1020211200.5\" is not a whole number of seconds; read as 1020211200");
  // Blanks and a sign are a whole number still.
  text = testing::kExampleLog;
  text.replace(text.find("date=1020211200;"), 16, "date= +1020211200 ;");
  write_file(log, text);
  EXPECT_TRUE(FileDataSource(log).problems().empty());
}

}  // namespace
}  // namespace tarvik
