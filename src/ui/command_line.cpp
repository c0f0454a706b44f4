#include "ui/command_line.h"

#include <cstring>
#include <string>
#include <vector>

#include "data/file_data_source.h"
#include "transfer/csv_export.h"
#include "ui/tarvik.h"

namespace tarvik {
namespace {

int export_csv(const std::string& out_path, const std::string& log, std::ostream& err) {
  FileDataSource store(log);
  if (!store.read_failure().empty()) {
    err << "tarvik: cannot read " << log << ": " << store.read_failure() << "\n";
    return 1;
  }
  std::vector<const Record*> records;
  for (const int id : store.identifiers()) records.push_back(store.record(id));
  std::string error;
  if (!write_csv(out_path, records, error)) {
    err << "tarvik: cannot write " << out_path << ": " << error << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

std::optional<int> answer_without_window(int argc, char** argv, std::ostream& out,
                                         std::ostream& err) {
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (std::strcmp(argument, "--") == 0) break;
    if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
      out << "Usage: tarvik [OPTION]... [FILE]\n"
             "Keep the maintenance and mileage log of a vehicle in FILE (by default\n"
             "$HOME/tarvik.txt), a plain text file that may also be edited by hand.\n"
             "One file for each vehicle.\n"
             "\n"
             "  -h, --help                show this help and exit\n"
             "      --version             show the version and exit\n"
             "      --export-csv OUT [FILE]\n"
             "                            write the log FILE (by default $HOME/tarvik.txt)\n"
             "                            as CSV to OUT, without a window, and exit\n"
             "\n"
             "The toolkit's own options (such as -platform offscreen) are understood too.\n";
      return 0;
    }
    if (std::strcmp(argument, "--version") == 0) {
      out << "tarvik " TARVIK_VERSION "\n";
      return 0;
    }
    if (std::strcmp(argument, "--export-csv") == 0) {
      if (i + 1 >= argc) {
        err << "tarvik: --export-csv needs the file to write\n"
               "Try 'tarvik --help' for more information.\n";
        return 2;
      }
      const std::string log = i + 2 < argc ? std::string(argv[i + 2]) : log_file_path();
      return export_csv(argv[i + 1], log, err);
    }
  }
  return std::nullopt;
}

std::string log_argument(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) return i + 1 < argc ? argv[i + 1] : std::string();
    if (argv[i][0] != '-') return argv[i];
  }
  return {};
}

}  // namespace tarvik
