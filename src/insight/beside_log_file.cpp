#include "insight/beside_log_file.h"

#include "data/commit_lock.h"
#include "data/diagnostic.h"
#include "data/regular_file.h"
#include "data/replacement_file.h"

namespace tarvik {

bool changed_since_seen(const std::string& path, const file_state& seen, const std::string& text) {
  const file_state now = file_state::of_path(path);
  if (now.exists != seen.exists) return true;
  if (!now.exists) return false;
  if (!now.same_as(seen)) return true;
  // The same size and time stamp prove nothing this soon: look at the bytes.
  return !seen.trustworthy() && !holds_exactly(path, text);
}

beside_log_save save_beside_log(const std::string& path, const std::string& log_path,
                                const kept_file& other, const std::string& read_failure,
                                const file_state& seen, const std::string& seen_text,
                                const std::string& text) {
  beside_log_save result;
  if (!read_failure.empty()) {
    result.error = "it could not be read (" + read_failure + "), so it is not replaced";
    return result;
  }
  if (!log_path.empty()) {
    if (const write_refusal refusal = refuse_to_write(path, log_path, {other}); refusal.kept) {
      result.error = refusal.reason;
      return result;
    }
  }
  const commit_lock lock(path);
  if (lock.error() != 0) {
    result.error = error_text(lock.error());
    return result;
  }
  if (changed_since_seen(path, seen, seen_text)) {
    result.changed_elsewhere = true;
    result.error = "another program changed it since it was read";
    return result;
  }
  replacement_file file(path);
  if (!file.open() || !file.append(text) || !file.replace()) {
    result.error = file.failed_step() + " failed: " + error_text(file.error());
    return result;
  }
  result.saved = true;
  result.written = file.written();
  return result;
}

}  // namespace tarvik
