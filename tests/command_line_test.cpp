// What the program answers without a window.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "ui/command_line.h"

namespace tarvik {
namespace {

std::optional<int> answer(std::vector<std::string> arguments, std::string& printed) {
  arguments.insert(arguments.begin(), "tarvik");
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  std::ostringstream out;
  const auto status = answer_information_options(static_cast<int>(argv.size()), argv.data(), out);
  printed = out.str();
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

}  // namespace
}  // namespace tarvik
