// The process the crash test kills: loads the log, says "ready" on stdout,
// then changes the log to the next generation and commits, over and over,
// until it is killed.
//   log_writer_child LOG FIRST_GENERATION
#include <cstdio>
#include <string>

#include "crash/generations.h"
#include "data/file_data_source.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  tarvik::FileDataSource store(argv[1]);
  // Loaded: the parent's clock for the kill starts now.
  std::puts("ready");
  std::fflush(stdout);
  for (long generation = std::stol(argv[2]);; ++generation) {
    tarvik::testing::make_generation(store, generation);
    if (!store.commit()) return 1;
  }
}
