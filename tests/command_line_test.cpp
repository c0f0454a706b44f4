// What the program answers without a window.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "support/home.h"
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

TEST(CommandLine, RefusesAnOptionItDoesNotKnowInsteadOfOpeningItsValueAsALog) {
  testing::temp_dir dir;
  const std::string out = dir.file("out.csv");
  std::string printed;
  std::string complained;
  for (const std::vector<std::string>& call :
       {std::vector<std::string>{"--exportcsv", out}, {"-x", out}, {"--verbose"},
        {"-platform", "offscreen", "--duee"}}) {
    EXPECT_EQ(answer(call, printed, &complained), 2) << call.front();
    EXPECT_NE(complained.find("unknown option '" + call[call.size() > 2 ? 2 : 0] + "'"),
              std::string::npos)
        << complained;
    EXPECT_NE(complained.find("Usage: tarvik [OPTION]... [FILE]"), std::string::npos) << complained;
    EXPECT_TRUE(printed.empty());
  }
  EXPECT_FALSE(testing::file_exists(out));
  // The toolkit's options, with their values in either form, and a plain
  // FILE; after "--" a name may begin with a dash.
  for (const std::vector<std::string>& call :
       {std::vector<std::string>{out}, {"-style", "fusion", out}, {"-style=fusion", "--reverse", out},
        {"--", "-odd.txt"}, {"-"}, {"--platform", "offscreen", "-qwindowgeometry", "800x600"}}) {
    EXPECT_EQ(answer(call, printed, &complained), std::nullopt) << call.front();
    EXPECT_TRUE(complained.empty()) << complained;
  }
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

TEST(CommandLine, AnExportNeverTakesThePlaceOfTheLogOrWhatIsKeptWithIt) {
  testing::scoped_home home;
  const testing::temp_dir& dir = home.dir();
  const std::string log = home.log();
  testing::write_file(log, testing::kExampleLog);
  testing::write_file(dir.file("tarvik.txt.bak"), "the old log");
  testing::write_file(dir.file("tarvik.due.txt"), "# intervals\n");
  ASSERT_EQ(symlink(log.c_str(), dir.file("link.csv").c_str()), 0);
  ASSERT_EQ(link(log.c_str(), dir.file("hard.csv").c_str()), 0);
  std::string printed;
  std::string complained;
  // OUT forgotten: the log is both OUT and, by default, FILE.
  EXPECT_EQ(answer({"--export-csv", log}, printed, &complained), 2);
  EXPECT_EQ(complained, "tarvik: will not write " + log + ": it is the log itself\n");
  for (const std::string& out : {log, dir.file("link.csv"), dir.file("hard.csv"),
                                 dir.file("tarvik.txt.bak"), dir.file("tarvik.due.txt")}) {
    EXPECT_EQ(answer({"--export-csv", out, log}, printed, &complained), 2) << out;
    EXPECT_NE(complained.find("will not write " + out + ": it is "), std::string::npos) << complained;
  }
  EXPECT_EQ(testing::read_file(log), testing::kExampleLog);
  EXPECT_EQ(testing::read_file(dir.file("tarvik.txt.bak")), "the old log");
  EXPECT_EQ(testing::read_file(dir.file("tarvik.due.txt")), "# intervals\n");

  // Nothing that could block is opened (this test would hang).
  ASSERT_EQ(mkfifo(dir.file("fifo.csv").c_str(), 0644), 0);
  EXPECT_EQ(answer({"--export-csv", dir.file("fifo.csv"), log}, printed, &complained), 1);
  EXPECT_EQ(complained, "tarvik: will not write " + dir.file("fifo.csv") +
                            ": Is a FIFO, not a regular file\n");
}

TEST(CommandLine, AnExportSaysByItsStatusWhetherItHoldsTheWholeLog) {
  testing::temp_dir dir;
  std::string printed;
  std::string complained;
  const std::string out = dir.file("out.csv");
  // A log that is not there is no empty log.
  EXPECT_EQ(answer({"--export-csv", out, dir.file("missing.txt")}, printed, &complained), 1);
  EXPECT_EQ(complained, "tarvik: cannot read " + dir.file("missing.txt") + ": " +
                            std::strerror(ENOENT) + "\n");
  EXPECT_FALSE(testing::file_exists(out));

  // A log cut off in its last block: the entries before it are not the log.
  const std::string cut = dir.file("cut.txt");
  testing::write_file(cut, std::string(testing::kExampleLog) + "<record=9>\ncost=5;\nopera");
  testing::stderr_capture reader_says;
  EXPECT_EQ(answer({"--export-csv", out, cut}, printed, &complained), 1);
  reader_says.lines();
  EXPECT_EQ(complained.rfind("tarvik: " + cut + " could not be read to its end; nothing is exported\n", 0),
            0u)
      << complained;
  EXPECT_NE(complained.find(cut + ":"), std::string::npos) << complained;
  EXPECT_FALSE(testing::file_exists(out));

  // Values read with a note are fine to export.
  const std::string noted = dir.file("noted.txt");
  testing::write_file(noted, "<record=1>\ndate=1020211200;\nmileage=12 km;\noperation=Oil;\n</record>\n");
  EXPECT_EQ(answer({"--export-csv", out, noted}, printed, &complained), 0) << complained;
  EXPECT_TRUE(complained.empty()) << complained;
  EXPECT_NE(testing::read_file(out).find("12,"), std::string::npos) << testing::read_file(out);
}

}  // namespace
}  // namespace tarvik
