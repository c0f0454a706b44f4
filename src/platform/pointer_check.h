#ifndef TARVIK_PLATFORM_POINTER_CHECK_H_
#define TARVIK_PLATFORM_POINTER_CHECK_H_

namespace tarvik {

// Reports a null `pointer` on stderr with the source file's name and the
// line, then returns: the caller goes on.
void check_pointer(const void* pointer, const char* source, int line);

}  // namespace tarvik

// The check at the line where it stands; `source` is the file's short name
// ("main", "tarvik", "record_editor").
#define TARVIK_CHECK_POINTER(pointer, source) \
  ::tarvik::check_pointer(static_cast<const void*>(pointer), source, __LINE__)

#endif  // TARVIK_PLATFORM_POINTER_CHECK_H_
