#include "fuzz/log_properties.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

#include "data/diagnostic.h"
#include "data/file_data_source.h"
#include "data/log_format.h"
#include "data/log_merge.h"

namespace tarvik::testing {
namespace {

std::string contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void empty_directory(const std::string& directory) {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(directory, ignored)) {
    std::filesystem::remove_all(entry.path(), ignored);
  }
}

// A block without a date reads as dated now, at every reading; such dates
// (from `since` on) are not compared.
std::time_t since = 0;

bool same_values(const Record& a, const Record& b) {
  if (a.date() >= since && b.date() >= since) {
    Record undated(a.identifier());
    undated.setup(a.identifier(), b.date(), a.mileage(), a.operation(), a.notes(), a.cost());
    return undated.same_fields(b);
  }
  return a.same_fields(b);
}

// The store's records as the writer writes them, after checking that its
// identifiers are distinct, non-negative and lead to their own records.
std::string blocks_of(DataSource& store, std::string& failure) {
  std::string blocks;
  std::set<int> seen;
  for (const int id : store.identifiers()) {
    if (id < 0) failure = "negative identifier " + std::to_string(id);
    if (!seen.insert(id).second) failure = "identifier " + std::to_string(id) + " twice";
    const Record* record = store.record(id);
    if (record == nullptr || record->identifier() != id) {
      failure = "identifier " + std::to_string(id) + " finds no record of its own";
      return blocks;
    }
    Record undated(id);
    undated.setup(id, record->date() >= since ? 0 : record->date(), record->mileage(),
                  record->operation(), record->notes(), record->cost());
    append_block(blocks, id, undated);
  }
  return blocks;
}

// The text of every block of a log, in file order.
std::vector<std::string> block_texts(const std::string& text) {
  std::vector<std::string> blocks;
  parse_log(
      text, 0, [&](block_reading& block) { blocks.emplace_back(text, block.span.begin, block.span.end - block.span.begin); },
      false);
  return blocks;
}

// How many lines a reading of `text` reports about text outside its blocks,
// which stays in the file as it is.
std::size_t outside_blocks(std::string_view text) {
  return static_cast<std::size_t>(parse_log(text, 0, [](block_reading&) {}, false).passed_over);
}

std::string check(std::string_view bytes, const std::string& log) {
  std::ofstream(log, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  std::string failure;

  const std::size_t lines_at_start = reported_lines();
  FileDataSource first(log);
  // Text outside blocks is kept, and said each time.
  const bool clean = reported_lines() - lines_at_start == outside_blocks(bytes);
  const std::string blocks = blocks_of(first, failure);
  if (!failure.empty()) return "first reading: " + failure;
  if (!first.commit()) return "the first commit failed";
  const std::string written = contents(log);
  if (clean && written != bytes) return "the commit of a log read without a word changed it";

  const std::size_t said = outside_blocks(written);
  std::size_t lines_before = reported_lines();
  FileDataSource second(log);
  if (reported_lines() - lines_before != said) return "the committed log read with a diagnostic";
  const std::string blocks_again = blocks_of(second, failure);
  if (!failure.empty()) return "second reading: " + failure;
  if (blocks_again != blocks) return "the committed log read back as other records";
  if (!second.commit()) return "the second commit failed";
  if (contents(log) != written) return "committing the committed log changed it";

  // Changing one record rewrites that block alone.
  const std::vector<int> ids = second.identifiers();
  if (ids.empty()) return {};
  const std::size_t changed = ids.size() / 2;
  Record* record = second.record(ids[changed]);
  record->notes(record->notes() + "+");
  if (!second.commit()) return "the commit of a changed record failed";
  const std::vector<std::string> before = block_texts(written);
  const std::vector<std::string> after = block_texts(contents(log));
  if (before.size() != ids.size() || after.size() != ids.size()) return "blocks went missing";
  for (std::size_t i = 0; i < ids.size(); ++i) {
    if (i != changed && before[i] != after[i]) return "a record nobody changed was rewritten";
  }
  lines_before = reported_lines();
  FileDataSource third(log);
  if (reported_lines() - lines_before != outside_blocks(contents(log))) {
    return "a log with a changed record read with a diagnostic";
  }
  if (third.identifiers() != ids) return "changing a record changed the identifiers";
  for (std::size_t i = 0; i < ids.size(); ++i) {
    const Record* now = third.record(ids[i]);
    const Record* then = second.record(ids[i]);
    if (!same_values(*now, *then)) return "a record read back with other values";
  }
  return {};
}

std::string without_nul(std::string_view text) {
  std::string kept;
  for (const char c : text) {
    if (c != '\0') kept += c;
  }
  return kept;
}

}  // namespace

std::string check_merge_plan(std::string_view bytes) {
  // Three bytes a record: which list, its identifier (-1 to 8), its flags
  // and which of four block texts it has.
  static const std::string_view kBlocks[] = {"<a>", "<b>", "<c>", "<d>"};
  std::vector<merge_ours> ours;
  std::vector<merge_removal> removed;
  std::vector<merge_theirs> theirs;
  std::vector<int> also_taken;
  for (std::size_t at = 0; at + 3 <= bytes.size() && at < 3 * 64; at += 3) {
    const auto kind = static_cast<unsigned char>(bytes[at]) % 4;
    const int id = static_cast<unsigned char>(bytes[at + 1]) % 10 - 1;
    const auto flags = static_cast<unsigned char>(bytes[at + 2]);
    const std::string_view block = kBlocks[flags % 4];
    if (kind == 0) ours.push_back({id, (flags & 4) != 0, (flags & 12) == 12, (flags & 4) ? block : std::string_view()});
    if (kind == 1) removed.push_back({id, block});
    if (kind == 2) theirs.push_back({id, block});
    if (kind == 3 && id >= 0) also_taken.push_back(id);
  }
  const int highest = bytes.empty() ? 8 : 8 + static_cast<unsigned char>(bytes[0]) % 3;
  const merge_result result = merge_logs(ours, removed, theirs, also_taken, highest);

  if (result.places.size() != theirs.size() || result.dropped.size() != theirs.size()) {
    return "a record of theirs has no place";
  }
  std::vector<int> seen(ours.size(), 0);
  std::set<int> taken(also_taken.begin(), also_taken.end());
  for (std::size_t j = 0; j < theirs.size(); ++j) {
    const merge_source& place = result.places[j];
    if (!place.ours && place.index != j) return "a place of theirs holds another of theirs";
    if (place.ours) {
      if (place.index >= ours.size()) return "a place holds no record of ours";
      const merge_ours& mine = ours[place.index];
      if (!mine.from_file || !mine.changed) return "an unchanged record of ours replaced theirs";
      if (mine.identifier != theirs[j].identifier) return "ours replaced a record of another identifier";
      ++seen[place.index];
    }
    if (result.dropped[j]) {
      bool asked = false;
      for (const merge_removal& gone : removed) asked = asked || gone.identifier == theirs[j].identifier;
      if (!asked) return "a record nobody removed was dropped";
    } else {
      taken.insert(theirs[j].identifier);
    }
  }
  if (result.appended_identifiers.size() != result.appended.size()) return "an appended record has no identifier";
  for (std::size_t k = 0; k < result.appended.size(); ++k) {
    const std::size_t i = result.appended[k];
    if (i >= ours.size()) return "an appended record is none of ours";
    ++seen[i];
    const int id = result.appended_identifiers[k];
    if (id < 0 || !taken.insert(id).second) return "an appended record shares its identifier";
  }
  for (std::size_t i = 0; i < ours.size(); ++i) {
    const bool kept = !ours[i].from_file || ours[i].changed;
    if (seen[i] > (kept ? 1 : 0)) return "a record of ours is in the merged log twice";
    // A change of ours is lost only to a later change of ours under the
    // same identifier, which takes its place.
    if (kept && seen[i] == 0) {
      bool replaced_by_twin = false;
      for (std::size_t j = 0; j < theirs.size(); ++j) {
        const merge_source& place = result.places[j];
        replaced_by_twin = replaced_by_twin || (place.ours && place.index != i &&
                                                ours[place.index].identifier == ours[i].identifier);
      }
      if (!replaced_by_twin) return "a change of ours was lost";
    }
  }
  return {};
}

std::string check_text_round_trip(std::string_view bytes) {
  Record record(1);
  record.operation(without_nul(bytes.substr(0, bytes.size() / 2)));
  record.notes(without_nul(bytes.substr(bytes.size() / 2)));
  std::string block;
  append_block(block, 1, record);
  std::vector<std::vector<hash_element>> blocks;
  const log_reading reading =
      parse_log(block, 0, [&](std::vector<hash_element> pairs) { blocks.push_back(std::move(pairs)); });
  if (reading.diagnostics != 0 || blocks.size() != 1) return "a written block read with a diagnostic";
  const Record back(blocks.front());
  if (back.operation() != record.operation()) return "the operation text changed";
  if (back.notes() != record.notes()) return "the notes text changed";
  return {};
}

namespace {

// A deterministic edit of `bytes`, as another writer might make: a slice cut
// out and a slice of the input put in its place.
std::string edited(std::string_view bytes) {
  std::uint64_t h = 1469598103934665603u;
  for (const char c : bytes) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211u;
  std::string text(bytes);
  if (text.empty()) return "<record=1>\nnotes=theirs;\n</record>\n";
  const std::size_t at = h % (text.size() + 1);
  const std::size_t cut = std::min<std::size_t>((h >> 16) % 64, text.size() - at);
  const std::size_t from = (h >> 32) % text.size();
  const std::size_t put = std::min<std::size_t>((h >> 48) % 48, text.size() - from);
  const std::string slice = text.substr(from, put);
  text.replace(at, cut, slice);
  return text;
}

std::string check_merge(std::string_view bytes, const std::string& log) {
  std::ofstream(log, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  FileDataSource store(log);
  const std::vector<int> ids = store.identifiers();
  int changed = -1;
  std::string notes;
  if (!ids.empty()) {
    changed = ids[ids.size() / 2];
    Record* record = store.record(changed);
    notes = record->notes() + "+";
    record->notes(notes);
  }
  const std::string theirs = edited(bytes);
  const std::string theirs_log = log + ".theirs";
  std::ofstream(theirs_log, std::ios::binary) << theirs;
  std::ofstream(log, std::ios::binary | std::ios::trunc) << theirs;
  if (!store.commit()) return "a merging commit failed";

  FileDataSource written(log);
  if (written.identifiers() != store.identifiers()) return "the merged store holds other identifiers than its file";
  for (const int id : written.identifiers()) {
    if (!same_values(*written.record(id), *store.record(id))) {
      return "the merged store holds other values than its file";
    }
  }
  if (changed >= 0) {
    bool found = false;
    for (const int id : written.identifiers()) found = found || written.record(id)->notes() == notes;
    if (!found) return "the change made before the merge was lost";
  }
  // Every record of theirs is in the file as they left it, but at most the
  // one that the change made here replaced. (Which block of theirs that is
  // depends on more than the identifier when theirs repeats one.)
  FileDataSource other(theirs_log);
  const std::vector<int> written_ids = written.identifiers();
  std::vector<bool> used(written_ids.size(), false);
  int missing = 0;
  for (const int id : other.identifiers()) {
    bool found = false;
    for (std::size_t i = 0; i < written_ids.size() && !found; ++i) {
      if (!used[i] && same_values(*written.record(written_ids[i]), *other.record(id))) {
        used[i] = found = true;
      }
    }
    if (!found) ++missing;
  }
  if (missing > (changed >= 0 ? 1 : 0)) return "a record of the other writer was lost";
  return {};
}

}  // namespace

std::string check_merge_properties(std::string_view bytes, const std::string& directory) {
  since = std::time(nullptr);
  empty_directory(directory);
  std::string failure = check_merge(bytes, directory + "/tarvik.txt");
  empty_directory(directory);
  return failure;
}

std::string check_stray_text_properties(std::string_view bytes, const std::string& directory) {
  // Only logs read without a word: stray text is then the only problem.
  std::vector<text_span> spans;
  const log_reading reading = parse_log(
      bytes, 0, [&](block_reading& block) { spans.push_back(block.span); }, false);
  if (reading.diagnostics != 0 || spans.empty()) return {};
  std::uint64_t h = 1469598103934665603u;
  for (const char c : bytes) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211u;
  // A text no reader could take for a blank, a comment or a tag, put before
  // a block or after the last one.
  std::string stray = "x";
  for (std::size_t i = 0; i < (h >> 8) % 24 && i < bytes.size(); ++i) {
    const char c = bytes[(h + i * 7919) % bytes.size()];
    if (c != '<') stray += c;
  }
  const std::size_t before = h % (spans.size() + 1);
  const std::size_t at = before < spans.size() ? spans[before].begin : bytes.size();
  std::string text(bytes);
  text.insert(at, stray);

  since = std::time(nullptr);
  empty_directory(directory);
  const std::string log = directory + "/tarvik.txt";
  std::ofstream(log, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
  std::string failure;
  {
    std::ofstream(log + ".plain", std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FileDataSource plain(log + ".plain");
    FileDataSource with_stray(log);
    std::string plain_failure;
    if (blocks_of(with_stray, failure) != blocks_of(plain, plain_failure)) {
      failure = "stray text cost a block its record";
    } else if (with_stray.copy_due()) {
      failure = "stray text alone asked for a copy of the log";
    } else {
      const std::vector<int> ids = with_stray.identifiers();
      Record* record = with_stray.record(ids[std::min(before, ids.size() - 1)]);
      record->notes(record->notes() + "+");
      if (!with_stray.commit()) {
        failure = "the commit of a log with stray text failed";
      } else if (contents(log).find(stray) == std::string::npos) {
        failure = "the stray text was not kept";
      } else {
        FileDataSource again(log);
        if (again.identifiers() != ids) failure = "the saved log read back with other records";
      }
    }
  }
  empty_directory(directory);
  return failure;
}

std::string check_log_properties(std::string_view bytes, const std::string& directory) {
  since = std::time(nullptr);
  empty_directory(directory);
  std::string failure = check(bytes, directory + "/tarvik.txt");
  empty_directory(directory);
  return failure;
}

}  // namespace tarvik::testing
