#include "data/file_data_source.h"

#include <algorithm>
#include <iterator>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

#include "data/commit_lock.h"
#include "data/diagnostic.h"
#include "data/large_text.h"
#include "data/log_merge.h"
#include "data/number_text.h"
#include "data/regular_file.h"
#include "data/replacement_file.h"
#include "data/system_calls.h"

namespace tarvik {
namespace {

// Backups are never replaced; past this many, the user has to tidy up.
constexpr int kMaxBackups = 1000;


// Reads the log at `path`: 0, or the errno that stopped it.
int read_log_at(const std::string& path, std::string& text) {
  std::string refusal;
  const int fd = open_regular_file(path, refusal);
  if (fd < 0) return errno;
  const int error = read_all(fd, text);
  ::close(fd);
  return error;
}

bool has_date(const std::vector<hash_element>& pairs) {
  for (const hash_element& pair : pairs) {
    if (pair.key == "date" || field_named(pair.key) == record_field::date) return true;
  }
  return false;
}

// How many bytes two texts share at their start, and at their end.
std::size_t common_prefix(const std::string& a, const std::string& b) {
  constexpr std::size_t kStep = 4096;
  const std::size_t size = std::min(a.size(), b.size());
  std::size_t same = 0;
  while (same + kStep <= size && std::memcmp(a.data() + same, b.data() + same, kStep) == 0) same += kStep;
  while (same < size && a[same] == b[same]) ++same;
  return same;
}

std::size_t common_suffix(const std::string& a, const std::string& b) {
  constexpr std::size_t kStep = 4096;
  const std::size_t size = std::min(a.size(), b.size());
  std::size_t same = 0;
  while (same + kStep <= size &&
         std::memcmp(a.data() + a.size() - same - kStep, b.data() + b.size() - same - kStep, kStep) == 0) {
    same += kStep;
  }
  while (same < size && a[a.size() - same - 1] == b[b.size() - same - 1]) ++same;
  return same;
}

std::string_view view(std::string_view text, const text_span& span) {
  return text.substr(span.begin, span.end - span.begin);
}

}  // namespace

FileDataSource::FileDataSource(std::string path) : filename(std::move(path)) {
  if (!read_file()) {
    const int error = errno;
    if (error != ENOENT) {
      report("Error opening " + filename + ": " + (refused_ ? read_failure_ : error_text(error)));
    }
  }
}

FileDataSource::~FileDataSource() = default;

bool FileDataSource::read_file() {
  kept_.text.clear();
  kept_.whole = false;
  kept_.tail = 0;
  kept_.moved_tail.clear();
  kept_.moved_leads.clear();
  kept_.removed.clear();
  kept_.own_blocks.clear();
  problems_.clear();
  read_failure_.clear();
  refused_ = false;
  on_disk_ = file_state{};

  std::string refusal;
  const int fd = open_regular_file(filename, refusal);
  if (fd < 0) {
    const int error = errno;
    if (!refusal.empty()) {
      // Nothing of it is read, and nothing will ever replace it.
      refused_ = true;
      read_failure_ = refusal;
      keep_nothing();
    } else if (error == ENOENT) {
      keep_nothing();
    } else {
      // A file we could not open may still hold a log that commit would wipe.
      read_failure_ = error_text(error);
      keep_file_on_disk();
    }
    errno = error;
    return false;
  }
  on_disk_ = file_state::of_descriptor(fd);
  const int read_error = read_all(fd, kept_.text);
  ::close(fd);
  parse_text(0, kept_.text.size(), read_error, nullptr, true);
  return true;
}

bool FileDataSource::parse_text(std::size_t start, std::size_t end, int read_error,
                                const identifier_index* earlier, bool report_problems) {
  // Blocks as the writer makes them take about a hundred bytes.
  const std::size_t expected = records.size() + (kept_.text.size() - start) / 96;
  records.reserve(expected);
  record_ids.reserve(expected);
  kept_.origins.reserve(expected);
  first_with_id.reserve(expected);
  advise_huge_pages(records.data() + records.size(), (records.capacity() - records.size()) * sizeof(records[0]));
  advise_huge_pages(record_ids.data() + record_ids.size(),
                    (record_ids.capacity() - record_ids.size()) * sizeof(int));
  advise_huge_pages(kept_.origins.data() + kept_.origins.size(),
                    (kept_.origins.capacity() - kept_.origins.size()) * sizeof(origin));
  std::size_t previous_end = start;
  // Blocks without a date: their record is dated at each reading anew.
  std::vector<std::size_t> undated;
  // The records and their texts take about twice the bytes of the blocks.
  large_heap_growth heap(2 * (end - start));
  std::size_t blocks = 0;
  log_reading reading = parse_log(
      std::string_view(kept_.text).substr(start, end - start), read_error, [&](block_reading& block) {
        if (block.clean && !has_date(block.pairs)) undated.push_back(start + block.span.begin);
        static_cast<DataSource*>(this)->record(Record::taking_texts(block.pairs).release());
        origin& placed = kept_.origins.back();
        placed.lead = static_cast<std::uint32_t>(previous_end);
        placed.begin = static_cast<std::uint32_t>(start + block.span.begin);
        placed.end = static_cast<std::uint32_t>(start + block.span.end);
        placed.from_file = true;
        placed.verbatim = block.clean;
        placed.extras = !block.extras.empty();
        placed.partial = !block.partial.empty();
        previous_end = start + block.span.end;
        if (++blocks % 1024 == 0) heap.grown();
      },
      report_problems, start == 0);
  if (!report_problems && reading.diagnostics > 0) return false;
  problems_ = std::move(reading.problems);
  if (start > 0 && !problems_.empty()) {
    // The reader counted lines from `start`.
    const auto before = static_cast<std::size_t>(
        std::count(kept_.text.begin(), kept_.text.begin() + static_cast<std::ptrdiff_t>(start), '\n'));
    for (log_problem& problem : problems_) {
      if (problem.line != 0) problem.line += before;
    }
  }
  if (!undated.empty()) {
    std::size_t line = 1;
    std::size_t counted = 0;
    for (const std::size_t at : undated) {
      line += static_cast<std::size_t>(std::count(kept_.text.begin() + static_cast<std::ptrdiff_t>(counted),
                                                  kept_.text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
      counted = at;
      problems_.push_back({line, "the entry has no date; it shows the day the log is read"});
    }
    std::stable_sort(problems_.begin(), problems_.end(),
                     [](const log_problem& a, const log_problem& b) { return a.line < b.line; });
  }
  kept_.whole = read_error == 0;
  // The reader gets through all of a text it could read: what follows the
  // last block stays. After a failed read it is the unread rest, which the
  // backup keeps.
  kept_.tail = read_error == 0 ? previous_end : kept_.text.size();
  if (read_error != 0) {
    read_failure_ = error_text(read_error);
    keep_file_on_disk();
  } else if (reading.diagnostics > reading.passed_over) {
    // A block read with a problem is written anew at the next commit.
    keep_text();
  } else {
    // Text between blocks costs no block anything and stays where it is.
    keep_nothing();
  }
  finish_reading(earlier);
  return true;
}

void FileDataSource::keep_nothing() {
  backup_pending = false;
  original_whole = false;
}

void FileDataSource::keep_text() {
  backup_pending = true;
  original_whole = true;
}

void FileDataSource::keep_file_on_disk() {
  backup_pending = true;
  original_whole = false;
}

void FileDataSource::parse(std::istream& in) {
  const log_reading reading = parse_log(in, [this](std::vector<hash_element> pairs) {
    static_cast<DataSource*>(this)->record(new Record(std::move(pairs)));
  });
  // The stream's bytes are gone; a backup copies the file from disk.
  if (reading.diagnostics > 0) keep_file_on_disk();
  finish_reading(nullptr);
}

std::vector<hash_element> FileDataSource::parse_record(std::istream& in) {
  return tarvik::parse_record(in);
}

std::vector<std::string> FileDataSource::split(std::string delimiters, std::string text,
                                               int max_tokens) {
  return tarvik::split(std::move(delimiters), std::move(text), max_tokens);
}

void FileDataSource::finish_reading(const identifier_index* earlier) {
  also_taken_ = earlier;
  highest_id = -1;
  if (earlier != nullptr) highest_id = earlier->highest();
  for (const int id : record_ids) highest_id = std::max(highest_id, id);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const int id = record_ids[i];
    if (id < 0) {
      renumber(i, "negative identifier");
    } else if (first_with_id.find(id) != records[i].get() ||
               (earlier != nullptr && earlier->find(id) != nullptr)) {
      renumber(i, "identifier used before");
    }
  }
  shadowed = 0;
  also_taken_ = nullptr;
}

void FileDataSource::renumber(std::size_t index, const char* reason) {
  const Record& old = *records[index];
  const int old_id = old.identifier();
  const int id = fresh_id();
  std::unique_ptr<Record> fresh = old.copy_as(id);
  if (first_with_id.find(old_id) == records[index].get()) first_with_id.erase(old_id);
  first_with_id.assign(id, fresh.get());
  records[index] = std::move(fresh);
  record_ids[index] = id;
  // Its block carries the old identifier: it has to be written anew.
  kept_.origins[index].verbatim = false;
  report("Renumbered record " + format_integer(old_id) + " of " + filename + " to " +
         format_integer(id) + " (" + reason + ")");
}

void FileDataSource::forget_all() {
  kept_.moved_leads.clear();
  kept_.own_blocks.clear();
  records.clear();
  record_ids.clear();
  kept_.origins.clear();
  first_with_id.clear();
  shadowed = 0;
}

int FileDataSource::fresh_id() {
  if (highest_id < INT_MAX) return ++highest_id;
  // Every identifier up to the largest int is taken or was handed out:
  // go on with the lowest ones that no held record has.
  const auto taken = [this](int id) {
    return first_with_id.find(id) != nullptr || (also_taken_ != nullptr && also_taken_->find(id) != nullptr);
  };
  while (wrapped_id < INT_MAX && taken(wrapped_id)) ++wrapped_id;
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
  kept_.origins.emplace_back();
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
    if (position_of(first) >= position) first_with_id.assign(id, record);
  } else {
    first_with_id.assign(id, record);
  }
  const auto at = static_cast<std::ptrdiff_t>(position);
  records.emplace(records.begin() + at, record);
  record_ids.insert(record_ids.begin() + at, id);
  kept_.origins.emplace(kept_.origins.begin() + at);
}

std::size_t FileDataSource::position_of(const Record* record) const {
  // From both ends at once: the records removed most are the first rows and
  // the last ones added (an undone import takes out thousands from the end).
  std::size_t front = 0;
  std::size_t back = records.size();
  while (front < back) {
    if (records[front].get() == record) return front;
    ++front;
    if (front < back && records[back - 1].get() == record) return back - 1;
    --back;
  }
  return records.size();
}

Record* FileDataSource::take_out(std::size_t index, removed_text* taken) {
  kept_.take_out(index, record_ids[index], records[index].get(),
                 index + 1 < records.size() ? records[index + 1].get() : nullptr, taken);
  Record* taken_record = records[index].release();
  const auto at = static_cast<std::ptrdiff_t>(index);
  records.erase(records.begin() + at);
  record_ids.erase(record_ids.begin() + at);
  return taken_record;
}

Record* FileDataSource::remove(int identifier) { return remove_first(identifier, nullptr); }

Record* FileDataSource::remove_first(int identifier, removed_text* text) {
  Record* const taken = first_with_id.find(identifier);
  if (taken == nullptr) return nullptr;
  first_with_id.erase(identifier);
  const std::size_t index = position_of(taken);
  take_out(index, text);
  if (shadowed > 0) {
    // A later record with the same identifier is now the first.
    for (std::size_t i = index; i < records.size(); ++i) {
      if (record_ids[i] == identifier) {
        first_with_id.assign(identifier, records[i].get());
        --shadowed;
        break;
      }
    }
  }
  return taken;
}

taken_record FileDataSource::take(int identifier) {
  auto text = std::make_shared<removed_text>();
  std::unique_ptr<Record> record(remove_first(identifier, text.get()));
  if (record == nullptr) return {};
  return {std::move(record), std::move(text)};
}

void FileDataSource::put_back(std::size_t position, taken_record taken, int identifier) {
  if (taken.record == nullptr) return;
  // Its block says what it held when last read or written.
  const bool modified = taken.record->modified();
  if (taken.record->identifier() != identifier) taken.record = taken.record->copy_as(identifier);
  position = std::min(position, records.size());
  Record* const record = taken.record.release();
  insert(position, record);
  if (taken.text == nullptr) return;
  kept_.put_back(position, identifier, record,
                 position + 1 < records.size() ? records[position + 1].get() : nullptr, *taken.text);
  if (modified) kept_.origins[position].verbatim = false;
}

std::shared_ptr<const removed_text> FileDataSource::text_of(int identifier) {
  const Record* held = first_with_id.find(identifier);
  if (held == nullptr) return nullptr;
  const origin& where = kept_.origins[position_of(held)];
  if (!where.verbatim || held->modified() || (!where.from_file && !where.own_block)) return nullptr;
  auto text = std::make_shared<removed_text>();
  text->block = where.own_block ? kept_.own_blocks.at(held).block : std::string(kept_.block(where));
  text->identifier = identifier;
  text->verbatim = true;
  text->extras = where.extras;
  text->partial = where.partial;
  return text;
}

void FileDataSource::give_back_text(int identifier, const std::shared_ptr<const removed_text>& text) {
  Record* held = first_with_id.find(identifier);
  if (held == nullptr || text == nullptr || text->block.empty()) return;
  kept_.give_back(position_of(held), identifier, *held, *text);
}

void FileDataSource::rollback() {
  forget_all();
  // On failure highest_id keeps its value: no identifier is handed out twice.
  if (!read_file()) {
    const int error = errno;
    report("Error opening " + filename + " for rollback " +
           (refused_ ? read_failure_ : error_text(error)));
  }
}

bool FileDataSource::has_unsaved_changes() const {
  if (!kept_.removed.empty()) return true;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (!kept_.origins[i].from_file || !kept_.origins[i].verbatim || kept_.origins[i].own_block ||
        records[i]->modified()) {
      return true;
    }
  }
  return false;
}

bool FileDataSource::changed_on_disk(bool look_at_bytes) {
  const file_state now = file_state::of_path(filename);
  if (!now.exists) return false;
  if (!on_disk_.exists || !now.same_as(on_disk_)) return true;
  // Nothing has touched the file since we put it there: reading a large
  // log back for that would cost about a third of a commit.
  if (on_disk_.settled && now.changed.tv_sec == on_disk_.changed.tv_sec &&
      now.changed.tv_nsec == on_disk_.changed.tv_nsec) {
    return false;
  }
  if (on_disk_.trustworthy() || !look_at_bytes) return false;
  // The same size and time stamp prove nothing this soon: look at the bytes.
  if (!kept_.whole || !holds_exactly(filename, kept_.text)) return true;
  // Unchanged until now: a later change shows in the time stamp once this
  // moment is far enough past the last one.
  on_disk_.seen = now.seen;
  return false;
}

bool FileDataSource::changed(std::size_t index) const {
  return !kept_.origins[index].verbatim || changed_here(index);
}

bool FileDataSource::changed_here(std::size_t index) const {
  const origin& where = kept_.origins[index];
  if (!where.from_file) return !where.own_block || records[index]->modified();
  // A block given back differs from the one the file holds.
  if (where.own_block) return true;
  return records[index]->modified();
}

bool FileDataSource::save_backup() {
  if (!backup_pending) return true;
  std::string copied;
  if (!original_whole) {
    const int error = read_log_at(filename, copied);
    if (error == ENOENT) {  // nothing left to keep
      keep_nothing();
      return true;
    }
    if (error != 0) {
      report("Error opening " + filename + " for commit: " + error_text(error));
      outcome_.error = error_text(error);
      return false;
    }
  }
  if (!save_copy(original_whole ? kept_.text : copied, outcome_.backup, "before rewriting it")) {
    return false;
  }
  keep_nothing();
  return true;
}

bool FileDataSource::save_copy(const std::string& text, std::string& saved_as,
                               const char* purpose) {
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
      report("Saved a copy of " + filename + " as " + name + " " + purpose);
      saved_as = name;
      return true;
    }
    if (copy.error() == EEXIST) continue;  // taken meanwhile: try the next name
    report("Error " + copy.failed_step() + " " + name + " to save a copy of " + filename +
           " before commit: " + error_text(copy.error()));
    outcome_.error = error_text(copy.error());
    return false;
  }
  report("Error saving a copy of " + filename + " before commit: " + error_text(EEXIST));
  outcome_.error = error_text(EEXIST);
  return false;
}

bool FileDataSource::merge_from_disk() {
  FileDataSource theirs(filename, no_reading{});
  std::string refusal;
  const int fd = open_regular_file(filename, refusal);
  if (fd < 0 && errno == ENOENT) return true;  // gone again: ours is all there is
  int error = fd < 0 ? errno : read_all(fd, theirs.kept_.text);
  if (fd >= 0) {
    theirs.on_disk_ = file_state::of_descriptor(fd);
    ::close(fd);
  }
  if (error != 0) {
    // What we cannot read, we must not write over.
    const std::string reason = refusal.empty() ? error_text(error) : refusal;
    report("Error opening " + filename + " for commit: " + reason);
    outcome_.error = reason;
    return false;
  }

  // The records of ours whose blocks (with what stands before them) they
  // left byte for byte as they were, from the start of the file on and
  // from its end back, need no reading: theirs are ours. Only what lies
  // between, usually what another window added or changed, is read.
  std::size_t kept = 0;  // ours [0, kept) stand at the start
  std::size_t cut = 0;   // where the first of the rest starts, in both
  std::size_t back = records.size();  // ours [back, size) stand at the end
  std::ptrdiff_t shift = 0;  // where theirs has the bytes of ours at the end
  if (kept_.whole) {
    const std::size_t same_start = common_prefix(kept_.text, theirs.kept_.text);
    while (kept < records.size()) {
      const origin& mine = kept_.origins[kept];
      if (!mine.from_file || !mine.verbatim || mine.moved_lead || mine.lead != cut ||
          mine.end > same_start) {
        break;
      }
      cut = mine.end;
      ++kept;
    }
    const std::size_t same_end =
        std::min(common_suffix(kept_.text, theirs.kept_.text), std::min(kept_.text.size(), theirs.kept_.text.size()) - cut);
    const std::size_t end_from = kept_.text.size() - same_end;
    shift = static_cast<std::ptrdiff_t>(theirs.kept_.text.size()) - static_cast<std::ptrdiff_t>(kept_.text.size());
    std::size_t next_lead = kept_.tail;
    if (kept_.moved_tail.empty() && kept_.tail >= end_from) {
      while (back > kept) {
        const origin& mine = kept_.origins[back - 1];
        if (!mine.from_file || !mine.verbatim || mine.moved_lead || mine.end != next_lead ||
            mine.lead < end_from || mine.lead < cut) {
          break;
        }
        next_lead = mine.lead;
        --back;
      }
    }
  }
  identifier_index earlier;
  earlier.reserve(records.size());
  for (std::size_t i = 0; i < kept; ++i) earlier.insert(record_ids[i], records[i].get());
  for (std::size_t i = back; i < records.size(); ++i) earlier.insert(record_ids[i], records[i].get());
  theirs.kept_.whole = true;
  if (back < records.size()) {
    const auto middle_end = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(kept_.origins[back].lead) + shift);
    if (!theirs.parse_text(cut, middle_end, 0, &earlier, false)) {
      // The unchanged end did not start where a block of theirs ends: read
      // all of the rest instead.
      theirs.forget_all();
      back = records.size();
      earlier.clear();
      for (std::size_t i = 0; i < kept; ++i) earlier.insert(record_ids[i], records[i].get());
    }
  }
  if (back == records.size()) theirs.parse_text(cut, theirs.kept_.text.size(), 0, &earlier, true);
  // What they wrote that we cannot read is kept before we write over it.
  if (!theirs.save_backup()) {
    outcome_.error = theirs.outcome_.error;
    return false;
  }
  outcome_.backup = theirs.outcome_.backup;

  // First decide, then move: a failure before the end leaves the store as
  // it was.
  std::vector<merge_ours> ours;
  ours.reserve(back - kept);
  for (std::size_t i = kept; i < back; ++i) {
    const origin& mine = kept_.origins[i];
    ours.push_back({record_ids[i], mine.from_file, mine.from_file && changed_here(i),
                    mine.from_file ? view(kept_.text, {mine.begin, mine.end}) : std::string_view()});
  }
  std::vector<merge_removal> removals;
  removals.reserve(kept_.removed.size());
  for (const log_text::removed_block& gone : kept_.removed) removals.push_back({gone.identifier, kept_.block(gone)});
  std::vector<merge_theirs> their_blocks;
  their_blocks.reserve(theirs.records.size());
  for (std::size_t j = 0; j < theirs.records.size(); ++j) {
    their_blocks.push_back(
        {theirs.record_ids[j], view(theirs.kept_.text, {theirs.kept_.origins[j].begin, theirs.kept_.origins[j].end})});
  }
  std::vector<int> outside(record_ids.begin(), record_ids.begin() + static_cast<std::ptrdiff_t>(kept));
  outside.insert(outside.end(), record_ids.begin() + static_cast<std::ptrdiff_t>(back), record_ids.end());
  const merge_result merged = merge_logs(ours, removals, their_blocks, outside,
                                         std::max(highest_id, theirs.highest_id));
  outcome_.conflicts = merged.conflicts;
  outcome_.renumbered = merged.renumbered;
  if (merged.overrode_theirs &&
      !save_copy(theirs.kept_.text, outcome_.conflict_copy, "with the other version of changed records")) {
    return false;
  }

  // From here on the store is the file as it now is, with our changes: our
  // kept records, then theirs (ours in place of those we changed), then
  // ours at the end as they stood, then what we added.
  for (std::size_t j = 0; j < merged.places.size(); ++j) {
    if (!merged.places[j].ours) continue;
    // In their place it takes their origin: a block given back (its record
    // not modified since) is written anew, as any changed one.
    if (kept_.own_blocks.erase(records[kept + merged.places[j].index].get()) > 0) {
      theirs.kept_.origins[j].verbatim = false;
    }
    theirs.records[j] = std::move(records[kept + merged.places[j].index]);
  }
  std::vector<std::unique_ptr<Record>> added;
  // Records put back keep their blocks at the end as well.
  std::vector<removed_text> added_texts(merged.appended.size());
  for (const std::size_t i : merged.appended) {
    const origin& mine = kept_.origins[kept + i];
    if (mine.own_block) {
      removed_text& text = added_texts[added.size()];
      const auto own = kept_.own_blocks.find(records[kept + i].get());
      text.comments = std::move(own->second.comments);
      text.block = std::move(own->second.block);
      kept_.own_blocks.erase(own);
      text.identifier = record_ids[kept + i];
      text.verbatim = mine.verbatim;
      text.extras = mine.extras;
      text.partial = mine.partial;
    }
    added.push_back(std::move(records[kept + i]));
  }
  // Ours at the end keep their places, moved by what changed before them;
  // the first starts where the last block read ends.
  std::vector<std::unique_ptr<Record>> at_end;
  std::vector<int> ids_at_end(record_ids.begin() + static_cast<std::ptrdiff_t>(back), record_ids.end());
  std::vector<origin> origins_at_end(kept_.origins.begin() + static_cast<std::ptrdiff_t>(back), kept_.origins.end());
  for (std::size_t i = back; i < records.size(); ++i) at_end.push_back(std::move(records[i]));
  const bool end_kept = !at_end.empty();
  const std::size_t their_tail = theirs.kept_.tail;
  for (origin& mine : origins_at_end) {
    mine.lead = static_cast<std::uint32_t>(static_cast<std::ptrdiff_t>(mine.lead) + shift);
    mine.begin = static_cast<std::uint32_t>(static_cast<std::ptrdiff_t>(mine.begin) + shift);
    mine.end = static_cast<std::uint32_t>(static_cast<std::ptrdiff_t>(mine.end) + shift);
  }
  if (end_kept) origins_at_end.front().lead = static_cast<std::uint32_t>(their_tail);
  const std::size_t our_tail = kept_.tail;

  records.resize(kept);
  record_ids.resize(kept);
  kept_.origins.resize(kept);
  for (std::size_t j = 0; j < theirs.records.size(); ++j) {
    records.push_back(std::move(theirs.records[j]));
    record_ids.push_back(theirs.record_ids[j]);
    kept_.origins.push_back(theirs.kept_.origins[j]);
  }
  for (std::size_t i = 0; i < at_end.size(); ++i) {
    records.push_back(std::move(at_end[i]));
    record_ids.push_back(ids_at_end[i]);
    kept_.origins.push_back(origins_at_end[i]);
  }
  kept_.text = std::move(theirs.kept_.text);
  kept_.whole = true;
  kept_.tail = end_kept ? static_cast<std::size_t>(static_cast<std::ptrdiff_t>(our_tail) + shift) : their_tail;
  kept_.moved_tail.clear();
  kept_.moved_leads.clear();
  on_disk_ = theirs.on_disk_;
  problems_ = std::move(theirs.problems_);
  highest_id = std::max(highest_id, theirs.highest_id);
  first_with_id.clear();
  first_with_id.reserve(records.size());
  shadowed = 0;
  for (std::size_t i = 0; i < records.size(); ++i) first_with_id.assign(record_ids[i], records[i].get());
  for (std::size_t j = merged.dropped.size(); j-- > 0;) {
    if (!merged.dropped[j]) continue;
    first_with_id.erase(record_ids[kept + j]);
    delete take_out(kept + j);
  }
  kept_.removed.clear();
  for (std::size_t k = 0; k < added.size(); ++k) {
    std::unique_ptr<Record>& mine = added[k];
    const int id = merged.appended_identifiers[k];
    const bool modified = mine->modified();
    if (id != mine->identifier()) mine = mine->copy_as(id);
    highest_id = std::max(highest_id, id);
    const Record* const placed = mine.get();
    static_cast<DataSource*>(this)->record(mine.release());
    if (!added_texts[k].block.empty()) {
      kept_.put_back(records.size() - 1, id, placed, nullptr, added_texts[k]);
      if (modified) kept_.origins.back().verbatim = false;
    }
  }
  outcome_.merged = true;
  return true;
}

std::vector<int> FileDataSource::problem_records() const {
  std::vector<int> found(problems_.size(), -1);
  if (problems_.empty()) return found;
  // The first and last line of each block read, in text order.
  struct lines {
    std::size_t first;
    std::size_t last;
    int identifier;
  };
  std::vector<lines> blocks;
  std::size_t line = 1;
  std::size_t counted = 0;
  const auto newlines = [this](std::size_t from, std::size_t to) {
    return static_cast<std::size_t>(std::count(kept_.text.begin() + static_cast<std::ptrdiff_t>(from),
                                               kept_.text.begin() + static_cast<std::ptrdiff_t>(to), '\n'));
  };
  for (std::size_t i = 0; i < kept_.origins.size(); ++i) {
    const origin& placed = kept_.origins[i];
    // Added since, or out of text order (a merge): no lines of the reading.
    if (!placed.from_file || placed.begin < counted || placed.end > kept_.text.size() ||
        placed.end <= placed.begin) {
      continue;
    }
    line += newlines(counted, placed.begin);
    counted = placed.begin;
    blocks.push_back({line, line + newlines(placed.begin, placed.end - 1), record_ids[i]});
  }
  for (std::size_t p = 0; p < problems_.size(); ++p) {
    const std::size_t at = problems_[p].line;
    const auto block = std::upper_bound(blocks.begin(), blocks.end(), at,
                                        [](std::size_t l, const lines& b) { return l < b.first; });
    if (block != blocks.begin() && at <= std::prev(block)->last) found[p] = std::prev(block)->identifier;
  }
  return found;
}

std::vector<unread_value> FileDataSource::unread_values(int identifier) const {
  const Record* held = first_with_id.find(identifier);
  if (held == nullptr) return {};
  return kept_.unread_values(position_of(held));
}

bool FileDataSource::commit() {
  outcome_ = commit_outcome{};
  if (refused_) {
    report("Error opening " + filename + " for commit: " + read_failure_);
    outcome_.error = read_failure_;
    return false;
  }
  const commit_lock lock(resolve_links(filename));
  if (lock.error() != 0) {
    report("Error locking " + filename + " for commit: " + error_text(lock.error()));
    outcome_.error = error_text(lock.error());
    return false;
  }
  if (lock.held() && !swept_) {
    remove_stale_temporaries(resolve_links(filename));
    swept_ = true;
  }
  if (!save_backup()) return false;
  // A file read only in part is merged whole, whatever its time stamp
  // says: its records past the failed read are kept if it reads now.
  const bool read_in_part = !kept_.whole && on_disk_.exists;
  if ((read_in_part || changed_on_disk()) && !merge_from_disk()) return false;

  // Every identifier is looked up as callers see it: a store that cannot
  // find one of its own records must not write a log without it.
  for (const int id : record_ids) {
    if (static_cast<DataSource*>(this)->record(id) == nullptr) {
      report("Error fetching record.");
      outcome_.error = "a record of the log could not be found";
      return false;
    }
  }
  // The records written anew: the only ones that may have changes to
  // forget afterwards. A pass over all of them would touch every record
  // once more.
  std::vector<std::size_t> written_anew;
  log_text::composition composed;
  kept_.compose(
      records, record_ids,
      [&](std::size_t i) {
        if (!changed(i)) return false;
        written_anew.push_back(i);
        return true;
      },
      composed);
  replacement_file file(filename);
  const auto failed = [&] {
    report("Error " + file.failed_step() + " " + filename + " for commit: " +
           error_text(file.error()));
    outcome_.error = error_text(file.error());
    return false;
  };
  if (!file.open()) return failed();
  // What nobody changed goes to the file straight from the kept text.
  for (const log_text::composition::piece& piece : composed.pieces) {
    if (!file.append(kept_.bytes(composed, piece))) return failed();
  }
  if (!file.replace()) return failed();

  // The file is now exactly the composed text: later commits copy from it.
  kept_.adopt(std::move(composed));
  // A record set back to its old values was copied and needs nothing: what
  // it compares with is what the file holds.
  for (const std::size_t i : written_anew) records[i]->clear_modified();
  // Not a look at the path: a file another program put there right after
  // the rename would pass for ours.
  on_disk_ = file.written();
  return true;
}

}  // namespace tarvik
