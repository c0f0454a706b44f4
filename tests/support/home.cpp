#include "support/home.h"

#include <cstdlib>

namespace tarvik::testing {

scoped_home::scoped_home() {
  if (const char* home = std::getenv("HOME")) saved_ = home;
  set(dir_.path());
}

scoped_home::~scoped_home() { set(saved_); }

void scoped_home::set(const std::optional<std::string>& value) {
  if (value) {
    setenv("HOME", value->c_str(), 1);
  } else {
    unsetenv("HOME");
  }
}

}  // namespace tarvik::testing
