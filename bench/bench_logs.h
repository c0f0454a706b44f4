#ifndef TARVIK_BENCH_BENCH_LOGS_H_
#define TARVIK_BENCH_BENCH_LOGS_H_

#include <string>

namespace tarvik::bench {

// A temporary directory for this run, removed by remove_bench_directory().
const std::string& bench_directory();
void remove_bench_directory();

// The path of a log of `count` records with realistic texts (about 140
// bytes a record), made once per size in the bench directory.
std::string make_log(int count);
// The same with every second record a fill-up (operation "Fuel", with a
// quantity, "full" mostly yes, and a price per unit).
std::string make_fuel_log(int count);

}  // namespace tarvik::bench

#endif  // TARVIK_BENCH_BENCH_LOGS_H_
