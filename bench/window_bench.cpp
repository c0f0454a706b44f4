// The window on large logs, offscreen: from process start to the window shown
// and idle, an Edit that changes the mileage and a Delete of the first row,
// each with its commit, a sort by a column's header, the filter's answer
// to a keystroke in the search box, the memory a window holds with a filter
// on, and a CSV import (long, and wide) with its undo and redo.
//
// Floors, beside the figures they bound:
// - start-up and memory: a process of this program that only loads the
//   store of the same log (FileDataSource, as log_bench's BM_Load) and
//   exits: its CPU time, wall time and peak resident set;
// - a keystroke: a bare pass over the same records, in store order, with
//   the same test (the text searched in each record's operation and notes,
//   folded beforehand as the window folds them once), collecting the rows
//   that hold it, and the statistics of those records (which the window
//   shows for the rows shown).
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <malloc.h>
#include <memory>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "bench_logs.h"
#include "data/file_data_source.h"
#include "insight/statistics.h"
#include "platform/qpe_application.h"
#include "ui/tarvik.h"

namespace {

using clock_type = std::chrono::steady_clock;

constexpr const char* kChildFlag = "--startup-child";
constexpr const char* kStoreChildFlag = "--store-child";
constexpr const char* kFilterChildFlag = "--filter-child";

double now_seconds() {
  return std::chrono::duration<double>(clock_type::now().time_since_epoch()).count();
}

// CPU seconds of this process so far, user and system.
double cpu_seconds() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU seconds of the calling thread: what one keystroke costs, whatever
// else the machine runs.
double thread_cpu_seconds() {
  timespec now {};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

long peak_resident_kib() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// The resident set now, in MB.
double resident_mb() {
  long pages = 0;
  long resident = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

// A home directory holding a copy of the log of `count` records.
std::string home_with_log(int count) {
  const std::string home = tarvik::bench::bench_directory() + "/home-" + std::to_string(count);
  std::filesystem::create_directories(home);
  const std::string log = home + "/tarvik.txt";
  std::filesystem::remove(log);
  if (count > 0) std::filesystem::copy_file(tarvik::bench::make_log(count), log);
  return home;
}

// Writes the numbers a child reports, on one line, for the parent.
void report(std::initializer_list<double> numbers) {
  for (const double number : numbers) std::printf("%.9f ", number);
  std::printf("\n");
  std::fflush(stdout);
}

// The child: what main() does, then reports the moment the event loop first
// falls idle after showing the window, its peak resident set (KiB) and the
// CPU time it took.
int run_startup_child(int argc, char** argv) {
  tarvik::QPEApplication application(argc, argv);
  auto* window = new tarvik::Tarvik(nullptr, "tarvik");
  application.showMainDocumentWidget(window, false);
  QTimer::singleShot(0, &application, [] {
    report({now_seconds(), static_cast<double>(peak_resident_kib()), cpu_seconds()});
    QCoreApplication::quit();
  });
  return application.exec();
}

// The floor of start-up: the store of $HOME/tarvik.txt loaded by a process
// of this program without a window; reported as the start-up child does.
int run_store_child() {
  const char* home = std::getenv("HOME");
  auto store = std::make_unique<tarvik::FileDataSource>(std::string(home) + "/tarvik.txt");
  benchmark::DoNotOptimize(store.get());
  report({now_seconds(), static_cast<double>(peak_resident_kib()), cpu_seconds()});
  // Exits without tearing the store down, as the window's report comes
  // before its own.
  std::_Exit(0);
}

// A window as main() shows it, sorted by mileage, then "oil" typed into
// the search box a key at a time, each followed until the rows are
// painted. Reports the moment it was done, the peak resident set (KiB), the
// resident set with the filter on (MB), and the CPU seconds of the first
// keystroke and of the later ones on average.
int run_filter_child(int argc, char** argv) {
  tarvik::QPEApplication application(argc, argv);
  auto* window = new tarvik::Tarvik(nullptr, "tarvik");
  application.showMainDocumentWidget(window, false);
  QTimer::singleShot(0, &application, [window] {
    auto* table = window->findChild<QTableView*>(QStringLiteral("record_table"));
    auto* search = window->findChild<QLineEdit*>(QStringLiteral("search_box"));
    table->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    QCoreApplication::processEvents();
    std::vector<double> keys;
    for (const QChar letter : QStringLiteral("oil")) {
      const double start = thread_cpu_seconds();
      search->insert(letter);
      QCoreApplication::processEvents();
      keys.push_back(thread_cpu_seconds() - start);
    }
    report({now_seconds(), static_cast<double>(peak_resident_kib()), resident_mb(), keys[0],
            (keys[1] + keys[2]) / 2});
    QCoreApplication::quit();
  });
  return application.exec();
}

std::string self_path;

// Runs this program as a child in `mode` with HOME at `home`, and returns
// the numbers it reported (none when it reported nothing) and when it was
// started.
std::vector<double> run_child(const char* mode, const std::string& home, double& start) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return {};
  start = now_seconds();
  const pid_t child = fork();
  if (child == 0) {
    dup2(pipe_fds[1], STDOUT_FILENO);
    close(pipe_fds[0]);
    setenv("HOME", home.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    execl(self_path.c_str(), self_path.c_str(), mode, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipe_fds[1]);
  std::string line;
  char buffer[256];
  for (ssize_t n; (n = read(pipe_fds[0], buffer, sizeof buffer)) > 0;) {
    line.append(buffer, static_cast<std::size_t>(n));
  }
  close(pipe_fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  std::vector<double> numbers;
  const char* at = line.c_str();
  char* end = nullptr;
  for (double number; (number = std::strtod(at, &end)), end != at; at = end) {
    numbers.push_back(number);
  }
  return numbers;
}

// The start-up floor for the log in `home`, the best of two runs: wall
// seconds, CPU seconds and peak resident MB of a process that only loads
// the store.
struct store_floor {
  double wall = 1e9;
  double cpu = 1e9;
  double peak_mb = 1e9;
};

store_floor floor_of_store(const std::string& home) {
  store_floor floor;
  for (int run = 0; run < 2; ++run) {
    double start = 0;
    const std::vector<double> numbers = run_child(kStoreChildFlag, home, start);
    if (numbers.size() < 3) continue;
    floor.wall = std::min(floor.wall, numbers[0] - start);
    floor.peak_mb = std::min(floor.peak_mb, numbers[1] / 1024.0);
    floor.cpu = std::min(floor.cpu, numbers[2]);
  }
  return floor;
}

void BM_StartUpToIdle(benchmark::State& state) {
  const std::string home = home_with_log(static_cast<int>(state.range(0)));
  const store_floor floor = floor_of_store(home);
  double peak_mb = 0;
  double cpu = 0;
  for (auto _ : state) {
    double start = 0;
    const std::vector<double> numbers = run_child(kChildFlag, home, start);
    if (numbers.size() < 3) {
      state.SkipWithError("the child reported nothing");
      break;
    }
    state.SetIterationTime(numbers[0] - start);
    peak_mb = numbers[1] / 1024.0;
    cpu += numbers[2];
  }
  state.counters["peak_rss_MB"] = peak_mb;
  state.counters["cpu_ms"] = cpu * 1e3 / static_cast<double>(state.iterations());
  state.counters["floor_ms"] = floor.wall * 1e3;
  state.counters["floor_cpu_ms"] = floor.cpu * 1e3;
  state.counters["floor_peak_MB"] = floor.peak_mb;
}
BENCHMARK(BM_StartUpToIdle)
    ->Arg(0)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartUpToIdle)
    ->Arg(1000000)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A window of range(0) records with "oil" typed into the search box over
// the rows sorted by mileage (see run_filter_child): its peak and resident
// memory with the filter on and the CPU time of the keystrokes, beside
// the floor of a process that only loads the store.
void BM_WindowWithFilterOn(benchmark::State& state) {
  const std::string home = home_with_log(static_cast<int>(state.range(0)));
  const store_floor floor = floor_of_store(home);
  std::vector<double> numbers;
  for (auto _ : state) {
    double start = 0;
    numbers = run_child(kFilterChildFlag, home, start);
    if (numbers.size() < 5) {
      state.SkipWithError("the child reported nothing");
      break;
    }
    state.SetIterationTime(numbers[0] - start);
  }
  if (numbers.size() < 5) return;
  state.counters["peak_rss_MB"] = numbers[1] / 1024.0;
  state.counters["resident_MB"] = numbers[2];
  state.counters["first_key_cpu_ms"] = numbers[3] * 1e3;
  state.counters["key_cpu_ms"] = numbers[4] * 1e3;
  state.counters["floor_peak_MB"] = floor.peak_mb;
}
BENCHMARK(BM_WindowWithFilterOn)
    ->Arg(1000000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A window on a log of `count` records, built once for each benchmark below.
struct open_window {
  explicit open_window(int count = 100000) {
    setenv("HOME", home_with_log(count).c_str(), 1);
    window = std::make_unique<tarvik::Tarvik>();
    window->show();
    table = window->findChild<QTableView*>(QStringLiteral("record_table"));
    QCoreApplication::processEvents();
  }

  QAction* action(const char* text) const {
    for (QAction* candidate : window->findChild<QToolBar*>()->actions()) {
      if (candidate->text() == QLatin1String(text)) return candidate;
    }
    return nullptr;
  }

  std::unique_ptr<tarvik::Tarvik> window;
  QTableView* table = nullptr;
};

// Types a new mileage into the next modal dialog as soon as it shows and
// presses OK: an Edit that changes nothing saves nothing.
void press_ok_when_shown() {
  QTimer::singleShot(0, [] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr) {
      press_ok_when_shown();
      return;
    }
    static int mileage = 0;
    if (auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("mileage_box"))) {
      box->setText(QString::number(++mileage));
    }
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
      if (button->text() == QLatin1String("OK")) button->click();
    }
  });
}

void BM_EditFirstRowConfirmed(benchmark::State& state) {
  open_window open(static_cast<int>(state.range(0)));
  QAction* edit = open.action("Edit");
  for (auto _ : state) {
    open.table->setCurrentIndex(open.table->model()->index(0, 0));
    press_ok_when_shown();
    edit->trigger();
  }
}
BENCHMARK(BM_EditFirstRowConfirmed)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_DeleteFirstRow(benchmark::State& state) {
  open_window open(static_cast<int>(state.range(0)));
  QAction* remove = open.action("Delete");
  for (auto _ : state) {
    open.table->setCurrentIndex(open.table->model()->index(0, 0));
    remove->trigger();
  }
  state.counters["rows_left"] = open.table->model()->rowCount();
}
BENCHMARK(BM_DeleteFirstRow)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// A header click on column range(0) of 100,000 rows in store order, until
// the sorted rows are painted. Each sort starts cold: the rows are read
// afresh before it, so the keys are gathered again.
void BM_SortByColumn(benchmark::State& state) {
  open_window open;
  const int column = static_cast<int>(state.range(0));
  QHeaderView* header = open.table->horizontalHeader();
  for (auto _ : state) {
    state.PauseTiming();
    header->setSortIndicator(-1, Qt::AscendingOrder);
    open.window->reload_rows();
    QCoreApplication::processEvents();
    state.ResumeTiming();
    header->setSortIndicator(column, Qt::AscendingOrder);  // as a click does
    QCoreApplication::processEvents();
  }
  state.counters["rows"] = open.table->model()->rowCount();
}
BENCHMARK(BM_SortByColumn)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// The floor of a keystroke on the log of `count` records: a bare pass over
// its records with the search test, the texts folded beforehand, and the
// statistics of the records kept, in CPU seconds (the best of three), on
// average over `texts`. The records are gone again when it returns.
double bare_filter_pass_seconds(int count, std::initializer_list<std::string_view> texts) {
  double sum = 0;
  {
    tarvik::FileDataSource store(tarvik::bench::make_log(count));
    std::vector<std::string> folded;
    std::vector<const tarvik::Record*> records;
    for (const int id : store.identifiers()) {
      const tarvik::Record* record = store.record(id);
      records.push_back(record);
      std::string joined = record->operation() + '\0' + record->notes();
      for (char& c : joined) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
      folded.push_back(std::move(joined));
    }
    std::vector<std::int32_t> rows;
    for (const std::string_view text : texts) {
      double best = 1e9;
      for (int run = 0; run < 3; ++run) {
        const double start = thread_cpu_seconds();
        rows.clear();
        for (std::size_t row = 0; row < folded.size(); ++row) {
          if (std::string_view(folded[row]).find(text) != std::string_view::npos) {
            rows.push_back(static_cast<std::int32_t>(row));
          }
        }
        tarvik::statistics_gatherer figures;
        for (const std::int32_t row : rows) figures.add(*records[static_cast<std::size_t>(row)]);
        benchmark::DoNotOptimize(figures.result().total_cost);
        best = std::min(best, thread_cpu_seconds() - start);
      }
      sum += best;
    }
  }
  malloc_trim(0);
  return sum / static_cast<double>(texts.size());
}

// One keystroke in the search box over range(0) rows sorted by mileage,
// until the rows are painted: "o", "oi", "oil", then back to "o" (the box
// cleared untimed). range(1) = 1: the first keystroke after the rows were
// read (the folded texts gathered then); 0: every later one, after one
// untimed keystroke. The floor: a bare pass with the test, on average over
// the three texts.
void BM_FilterKeystroke(benchmark::State& state) {
  const double floor = bare_filter_pass_seconds(static_cast<int>(state.range(0)), {"o", "oi", "oil"});
  open_window open(static_cast<int>(state.range(0)));
  const bool cold = state.range(1) == 1;
  auto* search = open.window->findChild<QLineEdit*>(QStringLiteral("search_box"));
  open.table->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
  const QString word = QStringLiteral("oil");
  if (!cold) {
    search->insert(word.at(0));
    QCoreApplication::processEvents();
  }
  int shown = 0;
  for (auto _ : state) {
    if (cold || search->text().size() == word.size()) {
      state.PauseTiming();
      search->clear();
      if (cold) open.window->reload_rows();
      QCoreApplication::processEvents();
      state.ResumeTiming();
    }
    search->insert(word.at(search->text().size()));
    QCoreApplication::processEvents();
    shown = open.table->model()->rowCount();
  }
  state.counters["rows_shown"] = shown;
  state.counters["resident_MB"] = resident_mb();
  state.counters["floor_cpu_ms"] = floor * 1e3;
}
BENCHMARK(BM_FilterKeystroke)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({1000000, 0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterKeystroke)->Args({1000000, 1})->Iterations(3)->Unit(benchmark::kMillisecond);

// A CSV file of `count` entries as other programs write them: semicolons,
// decimal commas, day-first dates and a column the log has no field for.
std::string make_csv(int count) {
  const std::string path =
      tarvik::bench::bench_directory() + "/import-" + std::to_string(count) + ".csv";
  std::ofstream out(path, std::ios::binary);
  out << "Date;Odometer;Service;Cost;Workshop;Notes\n";
  for (int i = 0; i < count; ++i) {
    const int day = i % 28 + 1;
    const int month = i / 28 % 12 + 1;
    out << day << '.' << month << '.' << 1990 + i / 336 % 30 << ';' << 12000 + i * 17 << ",5;"
        << (i % 3 == 0 ? "Oil change" : "Fuel") << ';' << i % 400 << ",90;Meier;"
        << (i % 2 == 0 ? "\"Filter too; synthetic\"" : "") << '\n';
  }
  return path;
}

// Answers the file dialog with `path`, then presses Import in the import
// dialog, as soon as each shows.
void answer_import(const QString& path, bool file_chosen = false) {
  QTimer::singleShot(0, [path, file_chosen] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr || (file_chosen && qobject_cast<QFileDialog*>(dialog) != nullptr)) {
      answer_import(path, file_chosen);
      return;
    }
    if (auto* chooser = qobject_cast<QFileDialog*>(dialog)) {
      chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
      answer_import(path, true);
      chooser->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
      return;
    }
    dialog->findChild<QPushButton*>(QStringLiteral("import_button"))->click();
  });
}

QAction* import_action(tarvik::Tarvik& window) {
  for (QAction* menu : window.menuBar()->actions()) {
    for (QAction* action : menu->menu()->actions()) {
      if (action->text() == QString::fromUtf8("Import CSV…")) return action;
    }
  }
  return nullptr;
}

// Times File > Import CSV… of `csv` into the window of `open`, each
// iteration from the menu to the rows shown and saved; the Undo that makes
// room for the next is not timed.
void import_each_iteration(benchmark::State& state, open_window& open, const QString& csv) {
  auto* stack = open.window->findChild<QUndoStack*>();
  QAction* action = import_action(*open.window);
  for (auto _ : state) {
    answer_import(csv);
    action->trigger();
    state.PauseTiming();
    stack->undo();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}

// File > Import CSV… of range(1) entries into a log of range(0) records:
// from the menu to the imported rows shown and saved (reading the file, the
// dialog with its preview and its reading of every row, the step and its
// commit). Then one Undo of it, and one Redo, each with its commit.
void BM_ImportCsv(benchmark::State& state) {
  open_window open(static_cast<int>(state.range(0)));
  const QString csv = QString::fromStdString(make_csv(static_cast<int>(state.range(1))));
  import_each_iteration(state, open, csv);
  state.counters["rows_after"] = static_cast<double>(open.window->row_identifiers().size()) +
                                 static_cast<double>(state.range(1));
}
BENCHMARK(BM_ImportCsv)->Args({0, 100000})->Args({100000, 100000})->Unit(benchmark::kMillisecond);

// A CSV file of `columns` columns and 10 rows, as a spreadsheet turned on
// its side writes it: a date, a mileage and an operation, then columns the
// log has no field for, one cell in a hundred filled.
std::string make_wide_csv(int columns) {
  const std::string path =
      tarvik::bench::bench_directory() + "/wide-" + std::to_string(columns) + ".csv";
  std::ofstream out(path, std::ios::binary);
  out << "Date,Km,Service";
  for (int column = 4; column <= columns; ++column) out << ",c" << column;
  out << '\n';
  for (int row = 0; row < 10; ++row) {
    out << "2002-05-" << 10 + row << ',' << 45000 + row * 100 << ",Oil";
    for (int column = 4; column <= columns; ++column) out << (column % 100 == 0 ? ",v" : ",");
    out << '\n';
  }
  return path;
}

// File > Import CSV… of a file of range(0) columns into an empty log, from
// the menu to the rows shown and saved: the preview shows the first columns
// and the notes keep the rest.
void BM_ImportWideCsv(benchmark::State& state) {
  open_window open(0);
  const QString csv = QString::fromStdString(make_wide_csv(static_cast<int>(state.range(0))));
  import_each_iteration(state, open, csv);
  state.counters["resident_MB"] = resident_mb();
}
BENCHMARK(BM_ImportWideCsv)->Arg(5000)->Arg(100003)->Unit(benchmark::kMillisecond);

// Undo (range(1) = 0) or Redo (1) of an import of 100,000 entries into a
// log of range(0) records, with the commit.
void BM_ImportUndoRedo(benchmark::State& state) {
  open_window open(static_cast<int>(state.range(0)));
  const QString csv = QString::fromStdString(make_csv(100000));
  auto* stack = open.window->findChild<QUndoStack*>();
  answer_import(csv);
  import_action(*open.window)->trigger();
  const bool redo = state.range(1) == 1;
  for (auto _ : state) {
    if (redo) {
      state.PauseTiming();
      stack->undo();
      state.ResumeTiming();
      stack->redo();
    } else {
      stack->undo();
      state.PauseTiming();
      stack->redo();
      state.ResumeTiming();
    }
  }
  state.counters["rows"] = static_cast<double>(open.window->row_identifiers().size());
}
BENCHMARK(BM_ImportUndoRedo)
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == kChildFlag) return run_startup_child(argc, argv);
  if (argc > 1 && std::string(argv[1]) == kStoreChildFlag) return run_store_child();
  if (argc > 1 && std::string(argv[1]) == kFilterChildFlag) return run_filter_child(argc, argv);
  self_path = std::filesystem::canonical("/proc/self/exe").string();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  tarvik::bench::remove_bench_directory();
  return 0;
}
