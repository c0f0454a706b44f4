#include "data/file_data_source.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/diagnostic.h"
#include "data/number_text.h"
#include "data/replacement_file.h"
#include "data/system_calls.h"

namespace tarvik {
namespace {

// Backups are never replaced; past this many, the user has to tidy up.
constexpr int kMaxBackups = 1000;

// Reads all of `fd` into `text`. Returns 0, or the errno of the read that
// failed; `text` then holds what was read before it.
int read_all(int fd, std::string& text) {
  // Room for the whole file and one more byte, which finds the end at once.
  struct stat status;
  std::size_t room = 1 << 16;
  if (fstat(fd, &status) == 0 && status.st_size > 0) {
    room = static_cast<std::size_t>(status.st_size) + 1;
  }
  std::size_t used = text.size();
  text.resize(used + room);
  for (;;) {
    if (used == text.size()) text.resize(text.size() * 2);
    const ssize_t n = ::read(fd, text.data() + used, text.size() - used);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = n < 0 ? errno : 0;
      text.resize(used);
      return error;
    }
    used += static_cast<std::size_t>(n);
  }
}

// Reads the file at `path`: 0, or the errno that stopped it.
int read_file_at(const std::string& path, std::string& text) {
  const int fd = current_system_calls().open(path.c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (fd < 0) return errno;
  const int error = read_all(fd, text);
  ::close(fd);
  return error;
}

}  // namespace

FileDataSource::FileDataSource(std::string path) : filename(std::move(path)) {
  if (!read_file()) {
    const int error = errno;
    if (error != ENOENT) report("Error opening " + filename + ": " + error_text(error));
  }
}

FileDataSource::~FileDataSource() = default;

bool FileDataSource::read_file() {
  const int fd = current_system_calls().open(filename.c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (fd < 0) {
    // A file we could not open may still hold a log that commit would wipe.
    const int error = errno;
    if (error == ENOENT) {
      keep_nothing();
    } else {
      keep_file_on_disk();
    }
    errno = error;
    return false;
  }
  std::string text;
  const int read_error = read_all(fd, text);
  ::close(fd);
  // Blocks as the writer makes them take about a hundred bytes.
  const std::size_t expected = records.size() + text.size() / 96;
  records.reserve(expected);
  record_ids.reserve(expected);
  first_with_id.reserve(expected);
  const log_reading reading = parse_log(text, read_error, [this](std::vector<hash_element> pairs) {
    static_cast<DataSource*>(this)->record(new Record(std::move(pairs)));
  });
  if (read_error != 0) {
    keep_file_on_disk();
  } else if (reading.diagnostics > 0) {
    keep_text(std::move(text));
  } else {
    keep_nothing();
  }
  finish_reading();
  return true;
}

void FileDataSource::keep_nothing() {
  backup_pending = false;
  original_whole = false;
  original_text = std::string();
}

void FileDataSource::keep_text(std::string text) {
  backup_pending = true;
  original_whole = true;
  original_text = std::move(text);
}

void FileDataSource::keep_file_on_disk() {
  backup_pending = true;
  original_whole = false;
  original_text = std::string();
}

void FileDataSource::parse(std::istream& in) {
  const log_reading reading = parse_log(in, [this](std::vector<hash_element> pairs) {
    static_cast<DataSource*>(this)->record(new Record(std::move(pairs)));
  });
  // The stream's bytes are gone; a backup copies the file from disk.
  if (reading.diagnostics > 0) keep_file_on_disk();
  finish_reading();
}

std::vector<hash_element> FileDataSource::parse_record(std::istream& in) {
  return tarvik::parse_record(in);
}

std::vector<std::string> FileDataSource::split(std::string delimiters, std::string text,
                                               int max_tokens) {
  return tarvik::split(std::move(delimiters), std::move(text), max_tokens);
}

void FileDataSource::finish_reading() {
  highest_id = -1;
  for (const int id : record_ids) highest_id = std::max(highest_id, id);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const int id = record_ids[i];
    if (id < 0) {
      renumber(i, "negative identifier");
    } else if (first_with_id.find(id) != records[i].get()) {
      renumber(i, "identifier used before");
    }
  }
  shadowed = 0;
}

void FileDataSource::renumber(std::size_t index, const char* reason) {
  const Record& old = *records[index];
  const int old_id = old.identifier();
  const int id = fresh_id();
  auto fresh = std::make_unique<Record>(id);
  fresh->setup(id, old.date(), old.mileage(), old.operation(), old.notes(), old.cost());
  if (first_with_id.find(old_id) == records[index].get()) first_with_id.erase(old_id);
  first_with_id.assign(id, fresh.get());
  records[index] = std::move(fresh);
  record_ids[index] = id;
  report("Renumbered record " + format_integer(old_id) + " of " + filename + " to " +
         format_integer(id) + " (" + reason + ")");
}

void FileDataSource::forget_all() {
  records.clear();
  record_ids.clear();
  first_with_id.clear();
  shadowed = 0;
}

int FileDataSource::fresh_id() {
  if (highest_id < INT_MAX) return ++highest_id;
  // Every identifier up to the largest int is taken or was handed out:
  // go on with the lowest ones that no held record has.
  while (wrapped_id < INT_MAX && first_with_id.find(wrapped_id) != nullptr) ++wrapped_id;
  return wrapped_id < INT_MAX ? wrapped_id++ : INT_MAX;
}

int FileDataSource::next_id() { return fresh_id(); }

std::vector<int> FileDataSource::identifiers() { return record_ids; }

Record* FileDataSource::record(int identifier) {
  return first_with_id.find(identifier);
}

void FileDataSource::record(Record* record) {
  if (record == nullptr) return;
  const int id = record->identifier();
  records.emplace_back(record);
  record_ids.push_back(id);
  if (!first_with_id.insert(id, record)) ++shadowed;
}

void FileDataSource::insert(std::size_t position, Record* record) {
  if (record == nullptr) return;
  if (position >= records.size()) {
    this->record(record);
    return;
  }
  const int id = record->identifier();
  if (Record* first = first_with_id.find(id); first != nullptr) {
    ++shadowed;
    const auto held = std::find_if(records.begin(), records.end(),
                                   [first](const auto& r) { return r.get() == first; });
    if (static_cast<std::size_t>(held - records.begin()) >= position) first_with_id.assign(id, record);
  } else {
    first_with_id.assign(id, record);
  }
  const auto at = static_cast<std::ptrdiff_t>(position);
  records.emplace(records.begin() + at, record);
  record_ids.insert(record_ids.begin() + at, id);
}

Record* FileDataSource::remove(int identifier) {
  Record* const taken = first_with_id.find(identifier);
  if (taken == nullptr) return nullptr;
  first_with_id.erase(identifier);
  const auto position = std::find_if(records.begin(), records.end(),
                                     [taken](const auto& held) { return held.get() == taken; });
  const auto index = position - records.begin();
  position->release();
  records.erase(position);
  record_ids.erase(record_ids.begin() + index);
  if (shadowed > 0) {
    // A later record with the same identifier is now the first.
    for (auto i = static_cast<std::size_t>(index); i < records.size(); ++i) {
      if (record_ids[i] == identifier) {
        first_with_id.assign(identifier, records[i].get());
        --shadowed;
        break;
      }
    }
  }
  return taken;
}

void FileDataSource::rollback() {
  forget_all();
  // On failure highest_id keeps its value: no identifier is handed out twice.
  if (!read_file()) report("Error opening " + filename + " for rollback " + error_text(errno));
}

bool FileDataSource::save_backup() {
  if (!backup_pending) return true;
  std::string copied;
  if (!original_whole) {
    const int error = read_file_at(filename, copied);
    if (error == ENOENT) {  // nothing left to keep
      keep_nothing();
      return true;
    }
    if (error != 0) {
      report("Error reading " + filename + " to save a copy before commit: " + error_text(error));
      return false;
    }
  }
  const std::string& text = original_whole ? original_text : copied;
  struct stat status;
  const unsigned mode = stat(filename.c_str(), &status) == 0 ? status.st_mode : 0600;
  const std::string base = filename + ".bak";
  for (int n = 0; n < kMaxBackups; ++n) {
    const std::string name = n == 0 ? base : base + "." + format_integer(n);
    struct stat existing;
    if (lstat(name.c_str(), &existing) == 0) continue;
    replacement_file copy(name);
    copy.use_mode(mode);
    if (copy.open() && copy.append(text) && copy.create()) {
      report("Saved a copy of " + filename + " as " + name + " before rewriting it");
      keep_nothing();
      return true;
    }
    if (copy.error() == EEXIST) continue;  // taken meanwhile: try the next name
    report("Error " + copy.failed_step() + " " + name + " to save a copy of " + filename +
           " before commit: " + error_text(copy.error()));
    return false;
  }
  report("Error saving a copy of " + filename + " before commit: " + error_text(EEXIST));
  return false;
}

bool FileDataSource::commit() {
  if (!save_backup()) return false;
  replacement_file file(filename);
  const auto failed = [&] {
    report("Error " + file.failed_step() + " " + filename + " for commit: " +
           error_text(file.error()));
    return false;
  };
  if (!file.open()) return failed();
  // Blocks are written straight into a large chunk: few write calls, and
  // no copy on the way. A block too large for the chunk goes on its own.
  constexpr std::size_t kChunk = 1 << 18;
  const auto chunk = std::make_unique_for_overwrite<char[]>(kChunk);
  std::size_t used = 0;
  std::string large_block;
  for (const int id : record_ids) {
    const Record* held = static_cast<DataSource*>(this)->record(id);
    if (held == nullptr) {
      report("Error fetching record.");
      return false;
    }
    const std::size_t bound = block_size_bound(*held);
    if (used + bound > kChunk) {
      if (!file.append(std::string_view(chunk.get(), used))) return failed();
      used = 0;
    }
    if (bound > kChunk) {
      large_block.clear();
      append_block(large_block, id, *held);
      if (!file.append(large_block)) return failed();
      continue;
    }
    used = static_cast<std::size_t>(write_block(chunk.get() + used, id, *held) - chunk.get());
  }
  if (!file.append(std::string_view(chunk.get(), used))) return failed();
  return file.replace() || failed();
}

}  // namespace tarvik
