#include "ui/command_line.h"

#include <cstring>

namespace tarvik {

std::optional<int> answer_information_options(int argc, char** argv, std::ostream& out) {
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (std::strcmp(argument, "--") == 0) break;
    if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
      out << "Usage: tarvik [OPTION]...\n"
             "Keep the maintenance and mileage log of a vehicle in $HOME/tarvik.txt,\n"
             "a plain text file that may also be edited by hand.\n"
             "\n"
             "  -h, --help     show this help and exit\n"
             "      --version  show the version and exit\n"
             "\n"
             "The toolkit's own options (such as -platform offscreen) are understood too.\n";
      return 0;
    }
    if (std::strcmp(argument, "--version") == 0) {
      out << "tarvik " TARVIK_VERSION "\n";
      return 0;
    }
  }
  return std::nullopt;
}

}  // namespace tarvik
