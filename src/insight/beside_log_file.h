#ifndef TARVIK_INSIGHT_BESIDE_LOG_FILE_H_
#define TARVIK_INSIGHT_BESIDE_LOG_FILE_H_

#include <string>

#include "data/file_state.h"
#include "data/write_target.h"

// What the small hand-editable files kept beside a log (its due file, its
// settings) share: telling whether another program changed one since it
// was read or saved, and saving one without writing over such a change.
namespace tarvik {

// Whether the file at `path` differs from what was read or last saved:
// `seen` is its state then, `text` its bytes then (it was made, changed,
// replaced or removed since). Where the state cannot prove it unchanged
// (written too recently), the bytes are compared.
bool changed_since_seen(const std::string& path, const file_state& seen, const std::string& text);

struct beside_log_save {
  bool saved = false;
  // Refused because the file changed since `seen`.
  bool changed_elsewhere = false;
  std::string error;   // why not saved, for after "cannot save NAME: "
  file_state written;  // of the new file, when saved
};

// Replaces the file at `path` with `text`, crash-safely, under the commit
// lock of `path`. Refused, with nothing written: a file that was not read
// to its end (`read_failure` not empty); a target that `refuse_to_write`
// keeps while `log_path` is in use (the log, its backups, `other`); and a
// file changed since `seen` / `seen_text` (changed_since_seen).
beside_log_save save_beside_log(const std::string& path, const std::string& log_path,
                                const kept_file& other, const std::string& read_failure,
                                const file_state& seen, const std::string& seen_text,
                                const std::string& text);

}  // namespace tarvik

#endif  // TARVIK_INSIGHT_BESIDE_LOG_FILE_H_
