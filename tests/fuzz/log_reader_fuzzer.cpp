// libFuzzer target: arbitrary bytes as a log file, and as the texts of a
// record. Besides crashes, hangs, leaks and undefined behaviour, it stops on
// any broken property of check_text_round_trip, check_merge_plan, check_log_properties,
// check_merge_properties or check_stray_text_properties.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "data/system_calls.h"
#include "fuzz/log_properties.h"

namespace {

std::string directory;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Memory-backed where there is one: every input is written and read twice.
  std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/tarvik-fuzz-XXXXXX" : "/tmp/tarvik-fuzz-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  directory = pattern;
  // Durability is not what is fuzzed; skipping fsync keeps the pace up.
  tarvik::system_calls calls = tarvik::real_system_calls();
  calls.fsync = [](int) { return 0; };
  tarvik::replace_system_calls(calls);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string failure = tarvik::testing::check_text_round_trip(bytes);
  if (failure.empty()) failure = tarvik::testing::check_merge_plan(bytes);
  if (failure.empty()) failure = tarvik::testing::check_log_properties(bytes, directory);
  if (failure.empty()) failure = tarvik::testing::check_merge_properties(bytes, directory);
  if (failure.empty()) failure = tarvik::testing::check_stray_text_properties(bytes, directory);
  if (!failure.empty()) {
    std::fprintf(stderr, "log property broken: %s\n", failure.c_str());
    std::abort();
  }
  return 0;
}
