#ifndef TARVIK_TESTS_SUPPORT_TEST_SUPPORT_H_
#define TARVIK_TESTS_SUPPORT_TEST_SUPPORT_H_

#include <string>
#include <vector>

namespace tarvik::testing {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class temp_dir {
 public:
  temp_dir();
  ~temp_dir();
  temp_dir(const temp_dir&) = delete;
  temp_dir& operator=(const temp_dir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Names of the entries in the directory, sorted.
  std::vector<std::string> entries() const;

 private:
  std::string path_;
};

void write_file(const std::string& path, const std::string& text);
std::string read_file(const std::string& path);
bool file_exists(const std::string& path);
// What a shell command prints on stdout; empty when it cannot run.
std::string command_output(const std::string& command);

// Collects what is written to stderr (fd 2) between construction and lines().
class stderr_capture {
 public:
  stderr_capture();
  ~stderr_capture();
  // The captured text, split into lines without their line ends. Ends the
  // capture.
  std::vector<std::string> lines();

 private:
  bool active_ = true;
};

// Sets TZ for the life of the object and restores the one before (or its
// absence).
class time_zone {
 public:
  explicit time_zone(const char* zone);
  ~time_zone();
  time_zone(const time_zone&) = delete;
  time_zone& operator=(const time_zone&) = delete;

 private:
  bool had_ = false;
  std::string before_;
};

// The example log with two records (0: an oil change, 3: tyres).
extern const char* const kExampleLog;

}  // namespace tarvik::testing

#endif  // TARVIK_TESTS_SUPPORT_TEST_SUPPORT_H_
