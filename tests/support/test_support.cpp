#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tarvik::testing {

temp_dir::temp_dir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tarvik-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create a temporary directory";
  path_ = pattern;
}

temp_dir::~temp_dir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> temp_dir::entries() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void write_file(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string command_output(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    pclose(pipe);
  }
  return text;
}

bool file_exists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
}

stderr_capture::stderr_capture() { ::testing::internal::CaptureStderr(); }

stderr_capture::~stderr_capture() {
  if (active_) ::testing::internal::GetCapturedStderr();
}

std::vector<std::string> stderr_capture::lines() {
  std::vector<std::string> result;
  if (!active_) return result;
  active_ = false;
  std::istringstream text(::testing::internal::GetCapturedStderr());
  for (std::string line; std::getline(text, line);) result.push_back(line);
  return result;
}

time_zone::time_zone(const char* zone) {
  if (const char* old = std::getenv("TZ")) {
    had_ = true;
    before_ = old;
  }
  setenv("TZ", zone, 1);
  tzset();
}

time_zone::~time_zone() {
  if (had_) {
    setenv("TZ", before_.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

const char* const kExampleLog =
    "<record=0>\n"
    "cost=24.5;\n"
    "operation=Oil change;\n"
    "date=1020211200;\n"
    "mileage=45210;\n"
    "notes=Filter replaced too;\n"
    "</record>\n"
    "<record=3>\n"
    "cost=312;\n"
    "operation=Tyres;\n"
    "date=1031097600;\n"
    "mileage=51873.5;\n"
    "notes=;\n"
    "</record>\n";

}  // namespace tarvik::testing
