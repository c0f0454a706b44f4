#ifndef TARVIK_TESTS_SUPPORT_HOME_H_
#define TARVIK_TESTS_SUPPORT_HOME_H_

#include <optional>
#include <string>

#include "support/test_support.h"

namespace tarvik::testing {

// Points HOME at a fresh temporary directory while it lives.
class scoped_home {
 public:
  scoped_home();
  ~scoped_home();
  scoped_home(const scoped_home&) = delete;
  scoped_home& operator=(const scoped_home&) = delete;

  const temp_dir& dir() const { return dir_; }
  std::string log() const { return dir_.file("tarvik.txt"); }
  // Sets HOME to `value`, or unsets it.
  void set(const std::optional<std::string>& value);

 private:
  temp_dir dir_;
  std::optional<std::string> saved_;
};

}  // namespace tarvik::testing

#endif  // TARVIK_TESTS_SUPPORT_HOME_H_
