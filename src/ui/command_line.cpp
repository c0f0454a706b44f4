#include "ui/command_line.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "data/diagnostic.h"
#include "data/file_data_source.h"
#include "insight/due_file.h"
#include "transfer/csv_export.h"
#include "ui/desktop_notifier.h"
#include "ui/due_reminder.h"
#include "ui/import_without_window.h"
#include "ui/open_log.h"
#include "ui/recent_logs.h"
#include "ui/ui_language.h"

#include <QCoreApplication>
#include <ctime>
#include <memory>

namespace tarvik {
namespace {

int export_csv(const std::string& out_path, const std::string& log, std::ostream& err) {
  // OUT forgotten, or the log named twice: the call is wrong, and going on
  // would put the CSV in place of the log.
  if (const write_refusal refusal = refuse_export_target(out_path, log)) {
    err << "tarvik: will not write " << out_path << ": " << refusal.reason << "\n";
    return refusal.kept ? 2 : 1;
  }
  // A log that is not there is a mistake in the call, not an empty log.
  struct stat status;
  if (stat(log.c_str(), &status) != 0) {
    err << "tarvik: cannot read " << log << ": " << error_text(errno) << "\n";
    return 1;
  }
  FileDataSource store(log);
  if (!store.read_failure().empty()) {
    err << "tarvik: cannot read " << log << ": " << store.read_failure() << "\n";
    return 1;
  }
  // Only the entries before what stopped the reading are in the store: a
  // part of the log exported as if it were all is worse than nothing.
  if (store.copy_due()) {
    err << "tarvik: " << log << " could not be read to its end; nothing is exported\n";
    for (const log_problem& problem : store.problems()) {
      err << log << ":" << problem.line << ": " << problem.message << "\n";
    }
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

// The toolkit's own options (QGuiApplication, QApplication), which it takes
// from the arguments itself; those named here take the next argument as
// their value. Written with one dash or two, and "-style=fusion" too.
bool toolkit_option(const char* argument, bool& takes_value) {
  static const char* const with_value[] = {
      "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
      "geometry", "qwindowtitle", "title", "qwindowicon", "icon", "style", "stylesheet",
      "session", "display", "name", "fontengine", "qmljsdebugger"};
  static const char* const alone[] = {"reverse", "widgetcount", "nograb", "dograb", "sync",
                                      "testability", "qdevel"};
  std::string name = argument + (argument[1] == '-' ? 2 : 1);
  const std::size_t equals = name.find('=');
  const bool valued = equals != std::string::npos;
  if (valued) name.resize(equals);
  for (const char* option : with_value) {
    if (name == option) {
      takes_value = !valued;
      return true;
    }
  }
  takes_value = false;
  if (valued) return false;
  for (const char* option : alone) {
    if (name == option) return true;
  }
  return false;
}

// A mistyped option ("--exportcsv out.csv") would otherwise start the
// window on its value as a new log.
int refuse_option(const char* argument, std::ostream& err) {
  err << "tarvik: unknown option '" << argument << "'\n"
         "Usage: tarvik [OPTION]... [FILE]   (tarvik --help tells more)\n";
  return 2;
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
             "      --import-csv CSV [FILE] [--separator=,|;|tab] [--decimal=.|,]\n"
             "                 [--dates=day-first|month-first|iso] [--section NAME]...\n"
             "                 [--unconverted]\n"
             "                 [--encoding=utf-8|utf-16|windows-1252]\n"
             "                            add the entries of the CSV file CSV to the log\n"
             "                            FILE (by default $HOME/tarvik.txt; made when it\n"
             "                            is not there yet), read as File > Import CSV...\n"
             "                            first reads it unless an option says otherwise,\n"
             "                            and exit; --section imports only the section NAME\n"
             "                            of a file made of sections (every section of\n"
             "                            entries without it); costs in several currencies,\n"
             "                            or in another than the log's, are refused unless\n"
             "                            --unconverted takes them as written; an encoding\n"
             "                            not given is guessed, and said when it is not\n"
             "                            UTF-8\n"
             "      --due [FILE]          print the services of FILE (by default\n"
             "                            $HOME/tarvik.txt) that are overdue or due soon,\n"
             "                            one a line, and exit\n"
             "      --notify-due          show a desktop notification of the services due\n"
             "                            in the logs of the Open Recent list, if any, and\n"
             "                            exit (File > Log Settings... can run it at login)\n"
             "\n"
             "An export never writes over the log, its backups (FILE.bak, FILE.bak.N),\n"
             "its service intervals (NAME.due.txt for NAME.txt) or its settings\n"
             "(NAME.settings.txt), nor into anything that is no regular file (a FIFO, a\n"
             "device).\n"
             "\n"
             "Exit status of --export-csv: 0 when the whole log was exported; 1 when FILE\n"
             "is missing or could not be read to its end (nothing is exported then), or\n"
             "OUT could not be written; 2 when the call is wrong: no OUT, or OUT is FILE\n"
             "or one of the files kept with it.\n"
             "\n"
             "Exit status of --import-csv: 0 when every row was imported; 1 when some\n"
             "rows could not be read (each is printed with its line; the other rows ARE\n"
             "imported); 2 when nothing was imported: the call is wrong (FILE is CSV, or a\n"
             "backup, service intervals or settings of a log), CSV cannot be read (or its\n"
             "UTF-16 is broken), its dates could be read day first or month first and\n"
             "--dates does not say which, no column holds the dates, or FILE cannot be\n"
             "read or written.\n"
             "\n"
             "Exit status of --due: 0 when nothing is due; 1 when a service is overdue or\n"
             "due soon (a line for each); 2 when FILE or its service intervals cannot be\n"
             "read, or not to the end. Of --notify-due: 0, or 1 when the notification\n"
             "could not be shown.\n"
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
    if (std::strcmp(argument, "--import-csv") == 0) {
      return import_without_window(std::vector<std::string>(argv + i + 1, argv + argc), out, err);
    }
    if (std::strcmp(argument, "--due") == 0) {
      const bool named = i + 1 < argc && argv[i + 1][0] != '-';
      return print_due(named ? std::string(argv[i + 1]) : log_file_path(), out, err);
    }
    if (std::strcmp(argument, "--notify-due") == 0) {
      // The session bus wants an application object; a test has its own.
      std::unique_ptr<QCoreApplication> application;
      if (QCoreApplication::instance() == nullptr) {
        application = std::make_unique<QCoreApplication>(argc, argv);
        // The notification is read on the desktop, in its language.
        install_translations(*application);
      }
      desktop_notifier desktop;
      return notify_due(recent_logs::list(), desktop, err, static_cast<long>(std::time(nullptr)));
    }
    if (argument[0] == '-' && argument[1] != '\0') {
      bool takes_value = false;
      if (!toolkit_option(argument, takes_value)) return refuse_option(argument, err);
      if (takes_value) ++i;
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
