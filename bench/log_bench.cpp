// Load and commit of large logs, each beside its floor: the plain read, or
// the plain write + fsync, of the same bytes.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "data/file_data_source.h"
#include "data/large_text.h"
#include "bench_logs.h"
#include "data/log_format.h"
#include "transfer/csv_export.h"
#include "transfer/csv_import.h"
#include "transfer/text_encoding.h"
#include "transfer/csv_sections.h"

namespace {

using clock_type = std::chrono::steady_clock;

using tarvik::bench::bench_directory;
using tarvik::bench::make_log;

double seconds_since(clock_type::time_point start) {
  return std::chrono::duration<double>(clock_type::now() - start).count();
}

// Into a buffer of the same kind as the store's (see large_text.h): on a
// virtual machine the first touch of small pages costs more than the read.
double plain_read_seconds(const std::string& path) {
  const auto start = clock_type::now();
  std::string text;
  tarvik::reserve_large(text, std::filesystem::file_size(path));
  text.resize(std::filesystem::file_size(path));
  const int fd = open(path.c_str(), O_RDONLY);
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = read(fd, text.data() + done, text.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  close(fd);
  benchmark::DoNotOptimize(text.data());
  return seconds_since(start);
}

// `text` written to a new file at `path` and synced. Whatever stood at
// `path` is removed first, untimed, so that every run does the same work.
double plain_write_fsync_seconds(const std::string& path, const std::string& text) {
  unlink(path.c_str());
  const auto start = clock_type::now();
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  fsync(fd);
  close(fd);
  return seconds_since(start);
}

// The same, then renamed to `target` (removed first, untimed) and the
// directory synced: what any crash-safe replacement has to do at least.
double plain_replace_seconds(const std::string& path, const std::string& target,
                             const std::string& text) {
  unlink(target.c_str());
  const auto start = clock_type::now();
  plain_write_fsync_seconds(path, text);
  rename(path.c_str(), target.c_str());
  const int directory = open(bench_directory().c_str(), O_RDONLY | O_DIRECTORY);
  fsync(directory);
  close(directory);
  return seconds_since(start);
}

// Bytes the heap has handed out and not taken back.
std::size_t heap_bytes() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// The process's peak resident set so far.
long peak_resident_kib() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void BM_Load(benchmark::State& state) {
  const std::string path = make_log(static_cast<int>(state.range(0)));
  const auto bytes = static_cast<double>(std::filesystem::file_size(path));
  double floor = 1e9;
  for (int i = 0; i < 3; ++i) floor = std::min(floor, plain_read_seconds(path));
  std::size_t store_bytes = 0;
  for (auto _ : state) {
    const std::size_t before = heap_bytes();
    auto store = std::make_unique<tarvik::FileDataSource>(path);
    benchmark::DoNotOptimize(store.get());
    state.PauseTiming();
    store_bytes = heap_bytes() - before;
    store.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
  state.counters["log_MB"] = bytes / 1e6;
  state.counters["plain_read_ms"] = floor * 1e3;
  state.counters["store_MB"] = static_cast<double>(store_bytes) / 1e6;
  state.counters["peak_rss_MB"] = static_cast<double>(peak_resident_kib()) / 1024.0;
}
BENCHMARK(BM_Load)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The floors of a commit, for a log of the same bytes: written to a new
// file and synced; and that file also renamed into place, directory synced.
// Each the best of five runs.
struct commit_floors {
  double write_fsync = 1e9;
  double replace = 1e9;
};

commit_floors plain_commit_seconds(const std::string& source, std::string& text) {
  std::ifstream in(source, std::ios::binary);
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  const std::string plain = bench_directory() + "/plain.txt";
  const std::string placed = bench_directory() + "/placed.txt";
  commit_floors floors;
  for (int i = 0; i < 5; ++i) {
    floors.write_fsync = std::min(floors.write_fsync, plain_write_fsync_seconds(plain, text));
    floors.replace = std::min(floors.replace, plain_replace_seconds(plain, placed, text));
  }
  unlink(plain.c_str());
  unlink(placed.c_str());
  return floors;
}

void report_floors(benchmark::State& state, const commit_floors& floors) {
  state.counters["plain_write_fsync_ms"] = floors.write_fsync * 1e3;
  state.counters["plain_replace_ms"] = floors.replace * 1e3;
}

// A copy of the generated log of `records` entries, to be committed to. Its
// time stamp an hour back, as a log opened for work has: a file written a
// moment ago is compared byte for byte at the first commit.
std::string copy_of_log(int records, const char* name) {
  const std::string path = bench_directory() + "/" + name;
  std::filesystem::copy_file(make_log(records), path,
                             std::filesystem::copy_options::overwrite_existing);
  const timespec hour_ago = {time(nullptr) - 3600, 0};
  const timespec times[2] = {hour_ago, hour_ago};
  utimensat(AT_FDCWD, path.c_str(), times, 0);
  return path;
}

// A commit of a store nobody changed: every block copied.
void BM_Commit(benchmark::State& state) {
  tarvik::FileDataSource store(copy_of_log(static_cast<int>(state.range(0)), "commit.txt"));
  std::string text;
  const commit_floors floors = plain_commit_seconds(make_log(static_cast<int>(state.range(0))), text);
  for (auto _ : state) {
    if (!store.commit()) state.SkipWithError("commit failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(text.size()) * state.iterations());
  report_floors(state, floors);
}
BENCHMARK(BM_Commit)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The usual commit: one record changed since the last one. Unchanged
// blocks are copied, the changed one written anew.
void BM_CommitOneChanged(benchmark::State& state) {
  tarvik::FileDataSource store(copy_of_log(static_cast<int>(state.range(0)), "changed.txt"));
  std::string text;
  const commit_floors floors = plain_commit_seconds(make_log(static_cast<int>(state.range(0))), text);
  const std::vector<int> ids = store.identifiers();
  std::size_t next = 0;
  double best = 1e9;
  for (auto _ : state) {
    tarvik::Record* record = store.record(ids[next++ % ids.size()]);
    record->mileage(record->mileage() + 1);
    const auto start = clock_type::now();
    if (!store.commit()) state.SkipWithError("commit failed");
    best = std::min(best, seconds_since(start));
  }
  report_floors(state, floors);
  // Beside the floors, which are the best of their runs too: on a shared
  // machine the mean says as much about the neighbours as about the commit.
  state.counters["best_ms"] = best * 1e3;
}
BENCHMARK(BM_CommitOneChanged)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// A commit that finds the file changed by another writer, reads it and
// applies its own change on top. The other writer added a record at the end
// (second argument 0), the usual case, or changed the first record (1), so
// that nothing of the file can be taken as read.
void BM_CommitMergingAnotherWriter(benchmark::State& state) {
  const std::string path = copy_of_log(static_cast<int>(state.range(0)), "merged.txt");
  tarvik::FileDataSource store(path);
  tarvik::FileDataSource other(path);
  const std::vector<int> ids = store.identifiers();
  std::size_t next = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (state.range(1) == 0) {
      auto* added = new tarvik::Record(other.next_id());
      added->notes("from the other window");
      other.record(added);
    } else {
      tarvik::Record* first = other.record(other.identifiers().front());
      first->cost(first->cost() + 1);
    }
    if (!other.commit()) state.SkipWithError("the other commit failed");
    state.ResumeTiming();
    // Never the record the other changes, which would be a conflict.
    tarvik::Record* record = store.record(ids[1 + next++ % (ids.size() - 1)]);
    record->mileage(record->mileage() + 1);
    if (!store.commit() || !store.last_commit().merged) state.SkipWithError("no merge");
  }
}
BENCHMARK(BM_CommitMergingAnotherWriter)
    ->Args({10000, 0})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Unit(benchmark::kMillisecond);

// The log as CSV, file written: what --export-csv does after loading.
void BM_ExportCsv(benchmark::State& state) {
  tarvik::FileDataSource store(make_log(static_cast<int>(state.range(0))));
  std::vector<const tarvik::Record*> records;
  for (const int id : store.identifiers()) records.push_back(store.record(id));
  const std::string path = bench_directory() + "/export.csv";
  std::string error;
  for (auto _ : state) {
    if (!tarvik::write_csv(path, records, error)) state.SkipWithError("export failed");
  }
  state.counters["csv_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(BM_ExportCsv)->Arg(100000)->Unit(benchmark::kMillisecond);

// An export read back: the cells, the guesses and the entries.
void BM_ImportCsv(benchmark::State& state) {
  tarvik::FileDataSource store(make_log(static_cast<int>(state.range(0))));
  std::vector<const tarvik::Record*> records;
  for (const int id : store.identifiers()) records.push_back(store.record(id));
  const std::string text = tarvik::csv_of(records);
  std::size_t entries = 0;
  for (auto _ : state) {
    // As the dialog reads it: the encoding, then the file's sections.
    if (tarvik::guess_encoding(text).encoding != tarvik::text_encoding::utf8) {
      state.SkipWithError("not read as UTF-8");
    }
    const std::vector<tarvik::csv_section> sections = tarvik::find_sections(text);
    const tarvik::csv_table table = tarvik::read_csv(sections.front().text);
    const auto roles = tarvik::guess_roles(table.rows.front(), table);
    const auto result = tarvik::import_rows(table, roles, tarvik::guess_date_order(table, 1).order,
                                            tarvik::guess_decimal_mark(table, roles));
    entries = result.entries.size();
  }
  state.counters["entries"] = static_cast<double>(entries);
}
BENCHMARK(BM_ImportCsv)->Arg(100000)->Unit(benchmark::kMillisecond);

// The log's export as spreadsheets' UTF-16 (0) or as Windows-1252 (1),
// guessed and read into UTF-8: what an import of such a file adds.
void BM_DecodeCsv(benchmark::State& state) {
  tarvik::FileDataSource store(make_log(static_cast<int>(state.range(0))));
  std::vector<const tarvik::Record*> records;
  for (const int id : store.identifiers()) records.push_back(store.record(id));
  const std::string text = tarvik::csv_of(records);
  std::string bytes;
  if (state.range(1) == 0) {
    bytes = "\xFF\xFE";
    for (const char c : text) bytes += {c, '\0'};  // the export is ASCII
    bytes += std::string("\xD6\0l\0\xAC\x20\n\0", 8);
  } else {
    bytes = text + "\xD6lwechsel \x80\n";
  }
  std::string decoded;
  std::string error;
  const tarvik::text_encoding expected =
      state.range(1) == 0 ? tarvik::text_encoding::utf16le : tarvik::text_encoding::windows1252;
  for (auto _ : state) {
    const tarvik::text_encoding encoding = tarvik::guess_encoding(bytes).encoding;
    if (encoding != expected) state.SkipWithError("guessed wrong");
    if (!tarvik::decode_text(bytes, encoding, decoded, error)) state.SkipWithError("unreadable");
    benchmark::DoNotOptimize(decoded.data());
  }
  state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
}
BENCHMARK(BM_DecodeCsv)->Args({100000, 0})->Args({100000, 1})->Unit(benchmark::kMillisecond);

// Another program's fill-ups: costs with a currency and grouping, a price
// per unit, flags, a fuel type; the cost of some rows from quantity and price.
void BM_ImportForeignFuelCsv(benchmark::State& state) {
  std::string text = "Date,Odometer (km),Liters,Price Per Liter,Total Cost,Full Tank,Fuel Type,Notes\r\n";
  for (int i = 0; i < state.range(0); ++i) {
    text += "5/" + std::to_string(1 + i % 28) + "/2024," + std::to_string(10000 + i * 7) +
            ",42.31,1.659," + (i % 3 == 0 ? std::string() : "\"$1,070.19\"") + "," +
            (i % 2 == 0 ? "True" : "False") + ",Super,\"full, at home\"\r\n";
  }
  std::size_t entries = 0;
  for (auto _ : state) {
    const tarvik::csv_table table = tarvik::read_csv(text);
    const auto roles = tarvik::guess_roles(table.rows.front(), table);
    const auto result = tarvik::import_rows(table, roles, tarvik::guess_date_order(table, 0).order,
                                            tarvik::guess_decimal_mark(table, roles));
    entries = result.entries.size();
  }
  state.counters["entries"] = static_cast<double>(entries);
}
BENCHMARK(BM_ImportForeignFuelCsv)->Arg(100000)->Unit(benchmark::kMillisecond);

// The text a commit writes, without the file: the writer's share of a commit.
void BM_FormatBlocks(benchmark::State& state) {
  tarvik::FileDataSource store(make_log(static_cast<int>(state.range(0))));
  const std::vector<int> ids = store.identifiers();
  std::size_t bound = 0;
  for (const int id : ids) bound += tarvik::block_size_bound(*store.record(id));
  const auto text = std::make_unique_for_overwrite<char[]>(bound);
  std::size_t size = 0;
  for (auto _ : state) {
    char* end = text.get();
    for (const int id : ids) end = tarvik::write_block(end, id, *store.record(id));
    size = static_cast<std::size_t>(end - text.get());
    benchmark::DoNotOptimize(text.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(size) * state.iterations());
}
BENCHMARK(BM_FormatBlocks)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Remove the first record and put it back: the lookups a Delete leans on.
void BM_RemoveFirstAndAdd(benchmark::State& state) {
  tarvik::FileDataSource store(make_log(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    const int first = store.identifiers().front();
    store.record(store.remove(first));
  }
}
BENCHMARK(BM_RemoveFirstAndAdd)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  tarvik::bench::remove_bench_directory();
  return 0;
}
