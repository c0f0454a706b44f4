#include "platform/pointer_check.h"

#include <cstdio>

namespace tarvik {

void check_pointer(const void* pointer, const char* source, int line) {
  if (pointer != nullptr) return;
  std::fprintf(stderr, "Null pointer in %s, line %d\n", source, line);
  std::fflush(stderr);
}

}  // namespace tarvik
