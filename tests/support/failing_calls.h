#ifndef TARVIK_TESTS_SUPPORT_FAILING_CALLS_H_
#define TARVIK_TESTS_SUPPORT_FAILING_CALLS_H_

#include <string>

#include "data/system_calls.h"

namespace tarvik::testing {

// The system calls a file write or read goes through, by name.
enum class call { open_read, open_write, open_directory, write, fsync, fchmod, close, rename, link, read };

// While it lives, makes the chosen call fail with `error` once it has
// succeeded `successes` times; every other call is the real one. Only one
// may live at a time.
class failing_calls {
 public:
  failing_calls(call which, int error, int successes = 0);
  ~failing_calls();
  failing_calls(const failing_calls&) = delete;
  failing_calls& operator=(const failing_calls&) = delete;

  // How often the chosen call was made, failed ones included.
  int calls() const;

 private:
  system_calls previous_;
};

}  // namespace tarvik::testing

#endif  // TARVIK_TESTS_SUPPORT_FAILING_CALLS_H_
