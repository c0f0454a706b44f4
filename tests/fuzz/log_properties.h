#ifndef TARVIK_TESTS_FUZZ_LOG_PROPERTIES_H_
#define TARVIK_TESTS_FUZZ_LOG_PROPERTIES_H_

#include <string>
#include <string_view>

namespace tarvik::testing {

// Stores `bytes` as the log tarvik.txt in `directory` (emptied first and
// afterwards) and checks what must hold whatever a log holds:
// - the store's identifiers are distinct and non-negative, and each finds
//   its own record;
// - a commit succeeds, and writes a log read without a word back byte for
//   byte;
// - reading the written file again says nothing and gives the same
//   records, and committing them again writes the same bytes;
// - changing one record and committing leaves every other block byte for
//   byte and every record's values as they were.
// Returns what failed, or an empty string.
std::string check_log_properties(std::string_view bytes, const std::string& directory);

// Stores `bytes` as the log, reads it, changes one record, lets another
// writer replace the file by an edited copy and commits; checks that the
// store then holds what its file holds, that the change is in it, and that
// every other record of the other writer's file is there unchanged.
std::string check_merge_properties(std::string_view bytes, const std::string& directory);

// Stores `bytes`, with a stray text (no blank, comment or tag) put before
// one of its blocks or after the last, as the log, when `bytes` alone reads
// without a word; checks that every block still gives its record, that no
// copy of the log is asked for, and that a commit after changing a record
// keeps the stray text and reads back.
std::string check_stray_text_properties(std::string_view bytes, const std::string& directory);

// Takes `bytes` as the two sides of a merge (this store's records, its
// removals, the other writer's records: small identifiers, flags and block
// texts) and checks merge_logs' promises: every record of theirs has its
// place once, only ours changed here replace theirs, only removed ones are
// dropped, every change of ours is kept, and what is appended ends with
// distinct identifiers no other record of the merged log has.
std::string check_merge_plan(std::string_view bytes);

// Takes `bytes` as the texts of a record (the operation before the middle,
// the notes after it; NUL bytes dropped, as texts end there) and checks that
// its block reads back to the same texts without a diagnostic. Returns what
// failed, or an empty string.
std::string check_text_round_trip(std::string_view bytes);

}  // namespace tarvik::testing

#endif  // TARVIK_TESTS_FUZZ_LOG_PROPERTIES_H_
