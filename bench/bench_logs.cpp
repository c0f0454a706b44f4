#include "bench_logs.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdlib.h>

#include "data/log_format.h"
#include "data/record.h"

namespace tarvik::bench {
namespace {

const char* const kOperations[] = {"Oil change", "Tyres", "Fuel", "Inspection",
                                   "Brake pads", "Wipers", "Battery", "Timing belt"};
const char* const kNotes[] = {"Filter replaced too, synthetic 5W-30",
                              "Winter set mounted, pressure 2.3 bar all round",
                              "Full tank at the station by the motorway exit",
                              "Passed, small rust spot on the rear arch to watch",
                              "",
                              "Front pads and discs, squeak gone"};

}  // namespace

const std::string& bench_directory() {
  static const std::string path = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tarvik-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
  }();
  return path;
}

void remove_bench_directory() { std::filesystem::remove_all(bench_directory()); }

namespace {

std::string generated_log(int count, bool fill_ups) {
  const std::string path = bench_directory() + (fill_ups ? "/fuel-log-" : "/log-") +
                           std::to_string(count) + ".txt";
  if (std::filesystem::exists(path)) return path;
  std::mt19937 random(static_cast<unsigned>(count));
  std::string text;
  long date = 1000000000;
  double mileage = 12000;
  for (int id = 0; id < count; ++id) {
    Record record(id);
    date += 86400 + static_cast<long>(random() % 86400);
    mileage += 50 + random() % 1500 + (random() % 10) / 10.0;
    const bool fill_up = fill_ups && id % 2 == 0;
    record.setup(id, date, mileage, fill_up ? "Fuel" : kOperations[random() % 8],
                 kNotes[random() % 6], static_cast<float>(random() % 50000) / 100.0f);
    if (fill_up) {
      record.other_fields({{"fuel", std::to_string(20 + random() % 40) + ".5"},
                           {"full", random() % 4 == 0 ? "no" : "yes"},
                           {"price", "1.789"}});
    }
    append_block(text, id, record);
  }
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

}  // namespace

std::string make_log(int count) { return generated_log(count, false); }

std::string make_fuel_log(int count) { return generated_log(count, true); }

}  // namespace tarvik::bench
