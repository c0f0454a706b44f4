// Statistics and the due list over the generated logs: what the window
// computes again at every change of the filter or the log.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench_logs.h"
#include "data/file_data_source.h"
#include "insight/consumption.h"
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

// A log of `count` entries, every other one a fill-up: most to full, one
// in five partial, one in a hundred after a missed one.
const std::vector<std::unique_ptr<tarvik::Record>>& fuel_log_of(int count) {
  static std::vector<std::pair<int, std::vector<std::unique_ptr<tarvik::Record>>>> logs;
  for (const auto& [size, log] : logs) {
    if (size == count) return log;
  }
  std::vector<std::unique_ptr<tarvik::Record>> log;
  long date = 1000000000;
  double mileage = 12000;
  for (int id = 0; id < count; ++id) {
    auto record = std::make_unique<tarvik::Record>(id);
    date += 43200;
    mileage += 300 + id % 17;
    const bool fill_up = id % 2 == 1;
    record->setup(id, date, mileage, fill_up ? "Fuel" : "Oil change", "", 61.5f);
    if (fill_up) {
      record->other_field("fuel", std::to_string(20 + id % 23) + ".5");
      record->other_field("full", id % 10 == 3 ? "no" : "yes");
      record->other_field("price", "1.519");
      if (id % 200 == 1) record->other_field("missed", "yes");
    }
    log.push_back(std::move(record));
  }
  logs.emplace_back(count, std::move(log));
  return logs.back().second;
}

// What the window works out when a log of fill-ups changes: the
// consumption, then the statistics with its average, best and worst.
void consumption_and_statistics(benchmark::State& state) {
  const auto& log = fuel_log_of(static_cast<int>(state.range(0)));
  std::vector<const tarvik::Record*> rows;
  for (const auto& record : log) rows.push_back(record.get());
  std::size_t figures = 0;
  for (auto _ : state) {
    const tarvik::consumption used = tarvik::consumption_of(rows);
    const tarvik::log_statistics statistics = tarvik::compute_statistics(rows);
    figures = used.figures.size();
    benchmark::DoNotOptimize(used.average);
    benchmark::DoNotOptimize(statistics.cost_per_year);
  }
  state.counters["records"] = static_cast<double>(rows.size());
  state.counters["figures"] = static_cast<double>(figures);
}
BENCHMARK(consumption_and_statistics)->Arg(100000)->Unit(benchmark::kMillisecond);

// The consumption alone, the part of the above fill-ups add.
void consumption(benchmark::State& state) {
  const auto& log = fuel_log_of(static_cast<int>(state.range(0)));
  std::vector<const tarvik::Record*> rows;
  for (const auto& record : log) rows.push_back(record.get());
  for (auto _ : state) {
    const tarvik::consumption used = tarvik::consumption_of(rows);
    benchmark::DoNotOptimize(used.average);
  }
  state.counters["records"] = static_cast<double>(rows.size());
}
BENCHMARK(consumption)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  tarvik::bench::remove_bench_directory();
  return 0;
}
