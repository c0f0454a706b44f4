// What the program answers without a window.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "support/test_support.h"
#include "ui/command_line.h"

namespace tarvik {
namespace {

std::optional<int> answer(std::vector<std::string> arguments, std::string& printed,
                          std::string* complained = nullptr) {
  arguments.insert(arguments.begin(), "tarvik");
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  std::ostringstream out;
  std::ostringstream err;
  const auto status =
      answer_without_window(static_cast<int>(argv.size()), argv.data(), out, err);
  printed = out.str();
  if (complained != nullptr) *complained = err.str();
  return status;
}

TEST(CommandLine, HelpAndVersionAreAnsweredAndEverythingElseStarts) {
  std::string printed;
  EXPECT_EQ(answer({"--help"}, printed), 0);
  EXPECT_EQ(printed.rfind("Usage: tarvik", 0), 0u) << printed;
  EXPECT_EQ(answer({"-platform", "offscreen", "-h"}, printed), 0);
  EXPECT_EQ(answer({"--version"}, printed), 0);
  EXPECT_EQ(printed, "tarvik " TARVIK_VERSION "\n");
  // The toolkit's options, and anything after "--", are not ours.
  EXPECT_EQ(answer({}, printed), std::nullopt);
  EXPECT_EQ(answer({"-platform", "offscreen"}, printed), std::nullopt);
  EXPECT_EQ(answer({"--", "--help"}, printed), std::nullopt);
  EXPECT_TRUE(printed.empty());
}

TEST(CommandLine, NamesTheLogToOpen) {
  std::vector<std::string> arguments{"tarvik", "-x", "golf.txt", "other.txt"};
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  EXPECT_EQ(log_argument(static_cast<int>(argv.size()), argv.data()), "golf.txt");
  EXPECT_EQ(log_argument(1, argv.data()), "");
  std::vector<std::string> dashed{"tarvik", "--", "-odd name.txt"};
  std::vector<char*> dashed_argv;
  for (std::string& argument : dashed) dashed_argv.push_back(argument.data());
  EXPECT_EQ(log_argument(3, dashed_argv.data()), "-odd name.txt");
}

TEST(CommandLine, ExportsALogAsCsvWithoutAWindow) {
  testing::temp_dir dir;
  const std::string log = dir.file("car.txt");
  testing::write_file(log, testing::kExampleLog);
  std::string printed;
  std::string complained;
  EXPECT_EQ(answer({"--export-csv", dir.file("car.csv"), log}, printed, &complained), 0);
  EXPECT_EQ(testing::read_file(dir.file("car.csv")).substr(0, 35),
            "Mileage,Date,Operation,Cost,Notes\r\n");
  EXPECT_NE(testing::read_file(dir.file("car.csv")).find("51873.5,"), std::string::npos);
  EXPECT_TRUE(complained.empty()) << complained;

  // Without the file to write: a usage error. A log that is no regular
  // file: an error, and no output file.
  EXPECT_EQ(answer({"--export-csv"}, printed, &complained), 2);
  EXPECT_NE(complained.find("--export-csv needs"), std::string::npos);
  ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0644), 0);
  EXPECT_EQ(answer({"--export-csv", dir.file("out.csv"), dir.file("fifo")}, printed, &complained), 1);
  EXPECT_EQ(complained, "tarvik: cannot read " + dir.file("fifo") +
                            ": Is a FIFO, not a regular file\n");
  EXPECT_FALSE(testing::file_exists(dir.file("out.csv")));
}

}  // namespace
}  // namespace tarvik
