#include "ui/import_without_window.h"

#include <QString>
#include <algorithm>
#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

#include "data/file_data_source.h"
#include "data/write_target.h"
#include "insight/due_file.h"
#include "insight/log_settings.h"
#include "transfer/csv_import.h"
#include "transfer/csv_preselect.h"
#include "transfer/csv_sections.h"
#include "transfer/text_encoding.h"
#include "ui/import_command.h"
#include "ui/open_log.h"
#include "ui/record_commands.h"

namespace tarvik {
namespace {

struct import_call {
  std::string file;
  std::string log;
  char separator = 0;  // 0: as guessed
  std::optional<decimal_mark> decimals;
  std::optional<date_order> dates;
  std::vector<std::string> sections;
  bool unconverted = false;  // costs in several currencies taken as written
  std::optional<text_encoding> encoding;  // unset: as guessed
};

int wrong_call(const std::string& message, std::ostream& err) {
  err << "tarvik: " << message << "\nTry 'tarvik --help' for more information.\n";
  return 2;
}

std::optional<char> separator_named(const std::string& value) {
  if (value == "," || value == "comma") return ',';
  if (value == ";" || value == "semicolon") return ';';
  if (value == "tab" || value == "\t") return '\t';
  return std::nullopt;
}

std::optional<decimal_mark> decimals_named(const std::string& value) {
  if (value == "." || value == "full-stop") return decimal_mark::full_stop;
  if (value == "," || value == "comma") return decimal_mark::comma;
  return std::nullopt;
}

std::optional<date_order> dates_named(const std::string& value) {
  if (value == "day-first") return date_order::day_first;
  if (value == "month-first") return date_order::month_first;
  if (value == "iso") return date_order::iso;
  return std::nullopt;
}

// Reads the arguments after --import-csv into `call`; the exit status of a
// wrong call otherwise. Options take their value as "--dates=iso" or as
// "--dates iso", anywhere after --import-csv; "--" ends them.
std::optional<int> read_call(const std::vector<std::string>& arguments, import_call& call,
                             std::ostream& err) {
  std::vector<std::string> names;
  bool options = true;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!options || argument.size() < 2 || argument[0] != '-') {
      names.push_back(argument);
      continue;
    }
    if (argument == "--") {
      options = false;
      continue;
    }
    if (argument == "--unconverted") {
      call.unconverted = true;
      continue;
    }
    const std::size_t equals = argument.find('=');
    const std::string option = argument.substr(0, equals);
    if (option != "--separator" && option != "--decimal" && option != "--dates" &&
        option != "--section" && option != "--encoding") {
      err << "tarvik: unknown option '" << argument << "' for --import-csv\n"
          << "Usage: tarvik --import-csv FILE [LOG] [--separator=,|;|tab] [--decimal=.|,]\n"
             "       [--dates=day-first|month-first|iso] [--section NAME]... [--unconverted]\n"
             "       [--encoding=utf-8|utf-16|windows-1252]\n";
      return 2;
    }
    std::string value;
    if (equals != std::string::npos) {
      value = argument.substr(equals + 1);
    } else if (i + 1 < arguments.size()) {
      value = arguments[++i];
    } else {
      return wrong_call(option + " needs a value", err);
    }
    const auto bad_value = [&](const char* allowed) {
      return wrong_call("'" + value + "' is no value of " + option + " (" + allowed + ")", err);
    };
    if (option == "--separator") {
      const std::optional<char> separator = separator_named(value);
      if (!separator) return bad_value(",  ;  tab");
      call.separator = *separator;
    } else if (option == "--decimal") {
      call.decimals = decimals_named(value);
      if (!call.decimals) return bad_value(".  ,  full-stop  comma");
    } else if (option == "--dates") {
      call.dates = dates_named(value);
      if (!call.dates) return bad_value("day-first  month-first  iso");
    } else if (option == "--encoding") {
      call.encoding = encoding_named(value);
      if (!call.encoding) return bad_value("utf-8  utf-16  windows-1252");
    } else {
      call.sections.push_back(value);
    }
  }
  if (names.empty()) return wrong_call("--import-csv needs the CSV file to read", err);
  if (names.size() > 2) return wrong_call("--import-csv takes one CSV file and one log", err);
  call.file = names[0];
  call.log = names.size() == 2 ? names[1] : log_file_path();
  return std::nullopt;
}

// Why `log` is no log to import into: it is the CSV file itself, or by its
// name a service-intervals, settings or backup file of another log (the
// checks an export makes of its target), or no regular file. Empty when it
// may be.
std::string refusal_as_log(const std::string& log, const std::string& file) {
  if (const write_refusal refusal = refuse_to_write(log, file)) {
    return refusal.kept ? "it is the file to import" : refusal.reason;
  }
  std::vector<std::string> owners;
  for (const std::string_view ending :
       {std::string_view(".due.txt"), std::string_view(".settings.txt")}) {
    if (log.size() > ending.size() && std::string_view(log).ends_with(ending)) {
      const std::string stem = log.substr(0, log.size() - ending.size());
      owners.push_back(stem + ".txt");
      owners.push_back(stem);
    }
  }
  if (const std::size_t bak = log.rfind(".bak"); bak != std::string::npos && bak > 0) {
    owners.push_back(log.substr(0, bak));
  }
  for (const std::string& owner : owners) {
    if (owner.empty() || owner.back() == '/') continue;
    if (const write_refusal refusal = refuse_export_target(log, owner); refusal.kept) {
      return refusal.reason + " (the log is " + owner + ")";
    }
  }
  return {};
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

char lower_ascii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A section named on the command line: "fill-up records" is typed as
// readily as "Fill-Up Records".
bool same_title(std::string_view a, std::string_view b) {
  a = trimmed(a);
  b = trimmed(b);
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char x, char y) { return lower_ascii(x) == lower_ascii(y); });
}

// The sections to import: those named, or every records section. Empty,
// with the reason on `err`, when a name is no records section of the file.
std::optional<std::vector<csv_section>> chosen_sections(const std::vector<csv_section>& all,
                                                        const import_call& call,
                                                        std::ostream& err) {
  std::vector<csv_section> chosen;
  if (call.sections.empty()) {
    for (const csv_section& section : all) {
      if (section.kind == section_kind::records) chosen.push_back(section);
    }
    return chosen;
  }
  for (const std::string& name : call.sections) {
    const csv_section* found = nullptr;
    for (const csv_section& section : all) {
      if (!section.title.empty() && same_title(section.title, name)) {
        found = &section;
        break;
      }
    }
    if (found == nullptr) {
      std::string titles;
      for (const csv_section& section : all) {
        if (section.title.empty()) continue;
        titles += (titles.empty() ? "" : ", ") + ("\"" + section.title + "\"");
      }
      err << "tarvik: " << call.file << " has no section \"" << name << "\" ("
          << (titles.empty() ? std::string("it has no sections") : "its sections: " + titles)
          << ")\n";
      return std::nullopt;
    }
    if (found->kind != section_kind::records) {
      err << "tarvik: the section \"" << found->title << "\" of " << call.file
          << " holds no entries to import\n";
      return std::nullopt;
    }
    // Named twice, imported once.
    bool twice = false;
    for (const csv_section& section : chosen) {
      twice = twice || section.text.data() == found->text.data();
    }
    if (!twice) chosen.push_back(*found);
  }
  return chosen;
}

// The store as the import command sees it: nothing to show, refusals said
// on stderr.
class store_only final : public record_log {
 public:
  store_only(DataSource& store, std::ostream& err) : store_(store), err_(err) {}
  DataSource& store() override { return store_; }
  void changed(const record_change&) override {}
  void changed_many() override {}
  void refused(const QString& why) override { err_ << "tarvik: " << why.toStdString() << "\n"; }

 private:
  DataSource& store_;
  std::ostream& err_;
};

std::string counted(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

int import_without_window(const std::vector<std::string>& arguments, std::ostream& out,
                          std::ostream& err, const std::function<void()>& before_commit) {
  import_call call;
  if (const std::optional<int> wrong = read_call(arguments, call, err)) return *wrong;
  if (const std::string refusal = refusal_as_log(call.log, call.file); !refusal.empty()) {
    err << "tarvik: will not import into " << call.log << ": " << refusal << "\n";
    return 2;
  }
  decoded_file file;
  QString error;
  if (!read_csv_file(QString::fromLocal8Bit(call.file.c_str()), file, error, call.encoding)) {
    err << "tarvik: cannot read " << call.file << ": " << error.toStdString() << "\n";
    return 2;
  }
  // What the user did not choose is said, so that a wrong guess is seen.
  if (file.encoding != text_encoding::utf8) {
    err << "tarvik: " << call.file << " is read as " << encoding_name(file.encoding)
        << (file.guessed ? " (--encoding reads it otherwise)" : "") << "\n";
  } else if (!file.plain && file.guessed) {
    err << "tarvik: " << call.file << " is read as UTF-8, its bytes that are not valid UTF-8 "
        << "kept as they are (--encoding reads it otherwise)\n";
  }
  const std::string& text = file.text;

  // Every section is read before anything is written: a refusal leaves the
  // log as it was.
  const std::optional<std::vector<csv_section>> sections =
      chosen_sections(find_sections(text), call, err);
  if (!sections) return 2;
  import_result read;
  for (const csv_section& section : *sections) {
    const std::string named =
        section.title.empty() ? call.file : "the section \"" + section.title + "\" of " + call.file;
    const csv_preselection chosen = preselect(section.text, call.separator);
    if (!chosen.table.complete) {
      err << "tarvik: " << named << " holds more than " << kMostCsvCells
          << " cells, far more than any vehicle log: nothing is imported\n";
      return 2;
    }
    if (chosen.table.rows.size() < 2) continue;
    if (!chosen.dates) {
      err << "tarvik: no column of " << named
          << " is headed as the dates (\"Date\"): nothing is imported\n";
      return 2;
    }
    if (!call.dates && chosen.dates->ambiguous) {
      err << "tarvik: the dates of " << named
          << " could be read day first or month first: pass --dates=day-first or "
             "--dates=month-first; nothing is imported\n";
      return 2;
    }
    import_result part =
        import_rows(chosen.table, chosen.roles, call.dates.value_or(chosen.dates->order),
                    call.decimals.value_or(chosen.decimals));
    // Lines of the section, counted in the file.
    const std::size_t before = section.first_line - 1;
    for (imported_entry& entry : part.entries) {
      entry.line += before;
      read.entries.push_back(std::move(entry));
    }
    for (import_problem& problem : part.problems) {
      problem.line += before;
      read.problems.push_back(std::move(problem));
    }
    for (std::string& currency : part.currencies) {
      if (std::find(read.currencies.begin(), read.currencies.end(), currency) ==
          read.currencies.end()) {
        read.currencies.push_back(std::move(currency));
      }
    }
  }

  // Costs that cannot be added up as they are: the window asks, a script
  // says so with --unconverted.
  const log_settings settings(settings_file_path(call.log), call.log);
  const std::string log_currency = settings.currency().value_or(std::string());
  bool other_than_log = false;
  std::string named;
  for (const std::string& currency : read.currencies) {
    named += (named.empty() ? "" : ", ") + currency;
    other_than_log = other_than_log || surely_other_currency(currency, log_currency);
  }
  if (!call.unconverted && !read.entries.empty() &&
      (read.currencies.size() > 1 || other_than_log)) {
    err << "tarvik: the costs of " << call.file << " are in " << named;
    if (other_than_log) err << ", the log's in " << log_currency;
    err << ": pass --unconverted to import them as written; nothing is imported\n";
    return 2;
  }

  // Said, not refused: the readings are what the odometer showed.
  if (const std::string distance = find_vehicle_facts(find_sections(text)).distance;
      !read.entries.empty() && !distance.empty() && settings.distance() &&
      distance != unit_text(*settings.distance())) {
    err << "tarvik: the distances of " << call.file << " are in " << distance << ", the log's in "
        << unit_text(*settings.distance()) << ": the mileages are imported as written\n";
  }

  if (!read.entries.empty()) {
    FileDataSource store(call.log);
    if (!store.read_failure().empty()) {
      err << "tarvik: cannot read " << call.log << ": " << store.read_failure()
          << "; nothing is imported\n";
      return 2;
    }
    store_only log(store, err);
    import_records_command(log, entry_values(read.entries)).redo();
    if (before_commit) before_commit();
    if (!store.commit()) {
      err << "tarvik: cannot write " << call.log << ": " << store.last_commit().error
          << "; nothing is imported\n";
      return 2;
    }
    if (!store.last_commit().backup.empty()) {
      err << "tarvik: " << call.log << " could not be read in full; it is kept as it was in "
          << store.last_commit().backup << "\n";
    }
  }
  for (const import_problem& problem : read.problems) {
    err << call.file << ":" << problem.line << ": " << problem.message << "\n";
  }
  out << "Imported " << counted(read.entries.size(), "entry", "entries") << " into " << call.log
      << "; " << counted(read.problems.size(), "row", "rows") << " could not be read.\n";
  return read.problems.empty() ? 0 : 1;
}

}  // namespace tarvik
