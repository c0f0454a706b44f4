// Kills a process that commits in a loop at random moments; after every kill
// the log must hold one whole generation, never a mix or a truncation.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "crash/generations.h"
#include "data/diagnostic.h"
#include "data/file_data_source.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

unsigned long environment_number(const char* name, unsigned long fallback) {
  const char* text = std::getenv(name);
  return text != nullptr ? std::strtoul(text, nullptr, 10) : fallback;
}

// Starts the writer and returns once it has loaded the log.
pid_t start_writer(const std::string& log, long first_generation) {
  int ready[2];
  if (pipe(ready) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    dup2(ready[1], STDOUT_FILENO);
    close(ready[0]);
    close(ready[1]);
    const std::string generation = std::to_string(first_generation);
    execl(TARVIK_CRASH_CHILD, TARVIK_CRASH_CHILD, log.c_str(), generation.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(ready[1]);
  char line[16];
  const ssize_t n = read(ready[0], line, sizeof line);
  close(ready[0]);
  return n > 0 ? child : -1;
}

TEST(CrashSafety, AKilledCommitLeavesOneWholeGeneration) {
  const unsigned long kills = environment_number("TARVIK_CRASH_KILLS", 200);
  const unsigned long seed = environment_number("TARVIK_CRASH_SEED", 20261208);
  std::printf("kills: %lu, seed: %lu (TARVIK_CRASH_KILLS, TARVIK_CRASH_SEED)\n", kills, seed);
  std::mt19937 random(static_cast<unsigned>(seed));
  std::uniform_int_distribution<int> delay_us(0, 40000);

  testing::temp_dir dir;
  const std::string log = dir.file("tarvik.txt");
  testing::write_file(log, testing::generation_text(0));
  long generation = 0;
  unsigned long left_temporary = 0;
  for (unsigned long kill_number = 0; kill_number < kills; ++kill_number) {
    const pid_t writer = start_writer(log, generation + 1);
    ASSERT_GT(writer, 0);
    std::this_thread::sleep_for(std::chrono::microseconds(delay_us(random)));
    kill(writer, SIGKILL);
    int status = 0;
    waitpid(writer, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: " << status;
    if (dir.entries().size() > 1) ++left_temporary;

    const std::size_t lines = reported_lines();
    FileDataSource store(log);
    ASSERT_EQ(reported_lines(), lines) << "kill " << kill_number << ": the log reads with a diagnostic";
    const long found = testing::generation_of(store);
    ASSERT_GE(found, generation) << "kill " << kill_number;
    ASSERT_EQ(testing::read_file(log), testing::generation_text(found))
        << "kill " << kill_number << ": not exactly generation " << found;
    ASSERT_TRUE(store.commit());
    ASSERT_EQ(dir.entries(), std::vector<std::string>{"tarvik.txt"}) << "kill " << kill_number;
    generation = found;
  }
  std::printf("generations committed: %ld, kills that left a temporary file: %lu\n", generation,
              left_temporary);
  EXPECT_GT(generation, 0) << "no commit ever finished";
}

}  // namespace
}  // namespace tarvik
