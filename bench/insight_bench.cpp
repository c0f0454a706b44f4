// Statistics and the due list over the generated logs: what the window
// computes again at every change of the filter or the log.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench_logs.h"
#include "data/file_data_source.h"
#include "insight/due_list.h"
#include "insight/statistics.h"
#include "insight/yearly.h"

namespace {

// The records of the generated log of `count` entries, read once per size.
struct loaded_log {
  std::unique_ptr<tarvik::FileDataSource> store;
  std::vector<const tarvik::Record*> rows;
};

// With `fill_ups`, every second record is one.
const loaded_log& log_of(int count, bool fill_ups = false) {
  static std::vector<std::pair<std::pair<int, bool>, std::unique_ptr<loaded_log>>> logs;
  for (const auto& [kind, log] : logs) {
    if (kind == std::make_pair(count, fill_ups)) return *log;
  }
  auto log = std::make_unique<loaded_log>();
  log->store = std::make_unique<tarvik::FileDataSource>(
      fill_ups ? tarvik::bench::make_fuel_log(count) : tarvik::bench::make_log(count));
  for (const int identifier : log->store->identifiers()) log->rows.push_back(log->store->record(identifier));
  logs.emplace_back(std::make_pair(count, fill_ups), std::move(log));
  return *logs.back().second;
}

void statistics(benchmark::State& state) {
  const loaded_log& log = log_of(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    const tarvik::log_statistics figures = tarvik::compute_statistics(log.rows);
    benchmark::DoNotOptimize(figures.cost_per_year);
  }
  state.counters["records"] = static_cast<double>(log.rows.size());
}
BENCHMARK(statistics)->Arg(100000)->Unit(benchmark::kMillisecond);

// The same where half the records are fill-ups, whose costs are told apart
// by their quantity.
void statistics_with_fill_ups(benchmark::State& state) {
  const loaded_log& log = log_of(static_cast<int>(state.range(0)), true);
  for (auto _ : state) {
    const tarvik::log_statistics figures = tarvik::compute_statistics(log.rows);
    benchmark::DoNotOptimize(figures.fuel_cost_per_thousand);
  }
  state.counters["records"] = static_cast<double>(log.rows.size());
  state.counters["fill_ups"] = static_cast<double>(tarvik::compute_statistics(log.rows).fill_ups);
}
BENCHMARK(statistics_with_fill_ups)->Arg(100000)->Unit(benchmark::kMillisecond);

// The yearly costs by kind the cost chart shows, over the same log.
void cost_by_year_with_fill_ups(benchmark::State& state) {
  const loaded_log& log = log_of(static_cast<int>(state.range(0)), true);
  for (auto _ : state) {
    const auto years = tarvik::cost_by_year(log.rows);
    benchmark::DoNotOptimize(years.data());
  }
}
BENCHMARK(cost_by_year_with_fill_ups)->Arg(100000)->Unit(benchmark::kMillisecond);

void due_list(benchmark::State& state) {
  const loaded_log& log = log_of(static_cast<int>(state.range(0)));
  std::vector<tarvik::service_interval> intervals(4);
  intervals[0].operation = "Oil change";
  intervals[0].distance = 15000;
  intervals[0].months = 12;
  intervals[1].operation = "tyres";
  intervals[1].months = 6;
  intervals[2].operation = "Timing belt";
  intervals[2].distance = 120000;
  intervals[3].operation = "Never done";
  intervals[3].months = 24;
  for (auto _ : state) {
    const auto items = tarvik::compute_due_list(intervals, log.rows, 1700000000);
    benchmark::DoNotOptimize(items.data());
  }
}
BENCHMARK(due_list)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  tarvik::bench::remove_bench_directory();
  return 0;
}
