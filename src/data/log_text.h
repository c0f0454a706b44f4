#ifndef TARVIK_DATA_LOG_TEXT_H_
#define TARVIK_DATA_LOG_TEXT_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "data/log_format.h"
#include "data/record.h"

namespace tarvik {

// What a removal took of a record's text (see log_text::take_out), kept by
// whoever holds the removed record until it is put back.
struct removed_text {
  std::string comments;  // the comment lines right above its block
  std::string block;     // its block, as it stood
  // What stood before the comments (blank lines, other comments) and went
  // to the record after it, or to the end.
  std::string lead;
  int identifier = -1;   // the number in the block's tag
  bool verbatim = false;  // the block may be copied as it is
  bool extras = false;
  bool partial = false;
  // The block was read from the text kept at the removal; where it stood
  // there, and how much of `lead` had been moved before it by earlier
  // removals.
  bool from_text = false;
  std::uint32_t lead_at = 0;
  text_span span;
  std::size_t moved_before = 0;
};

// A field of a record whose text in the file says more than the value read
// from it (see log_format.h): `text` is all that follows its key and "=".
struct unread_value {
  record_field field = record_field::none;
  std::string text;
};

// The text of a log as a store last read or wrote it, where each held
// record's block stands in it, and what has been taken out since: all that
// a commit needs to copy what nobody changed byte for byte.
//
// Invariants: `origins` has one entry for each record the store holds, in
// store order; offsets of records from the file lie within `text` (a log is
// at most 1 GiB, so they fit 32 bits); `tail` <= text.size().
struct log_text {
  // Where a held record's block stands in `text`. Kept small: there is one
  // for every record.
  struct origin {
    std::uint32_t lead = 0;   // start of the blank lines and comments before it
    std::uint32_t begin = 0;  // its "<"
    std::uint32_t end = 0;    // after its close tag and line end
    bool from_file = false;   // false: added since the text was read or written
    bool verbatim = false;    // read cleanly and not renumbered: may be copied as it is
    bool extras = false;      // holds comment lines or items no field takes
    bool partial = false;     // holds a field's item not read in full
    // What stood before removed records ahead of it is in moved_leads.
    bool moved_lead = false;
    // Its block is in own_blocks, not at `begin` (where a record read from
    // the text has another): put back after its removal, or its edit undone.
    bool own_block = false;
  };
  // A record read from the text and removed since.
  struct removed_block {
    int identifier;
    text_span span;
  };
  // The text of a record put back whose block is not in `text`: the comment
  // lines that belong to it and its block, as they stood.
  struct own_text {
    std::string comments;
    std::string block;
  };

  std::string text;
  bool whole = false;       // `text` is all of the file (no read error)
  std::size_t tail = 0;     // where what follows the last block starts
  std::string moved_tail;   // what stood before removed last records
  // What stood before removed records, by the record it now stands before.
  std::unordered_map<const Record*, std::string> moved_leads;
  std::vector<origin> origins;
  std::vector<removed_block> removed;
  std::unordered_map<const Record*, own_text> own_blocks;

  // The block of a record from the text, or of a removed one.
  std::string_view block(const origin& where) const;
  std::string_view block(const removed_block& gone) const;

  // Takes the origin of `own`, at `index`, out. What stood before its block
  // (but its own comment lines, which go with it) moves to the record after
  // it, `next` (null when it was the last). A block from the text is listed
  // in `removed` under `identifier`. With `taken`, what it took of the text
  // is copied there, for put_back.
  void take_out(std::size_t index, int identifier, const Record* own, const Record* next,
                removed_text* taken = nullptr);

  // Gives `own`, just inserted at `index` with a fresh origin, the text
  // `taken` kept of it: its old place in `text` when that text is still
  // kept and the record keeps its number, else its block as own text (with
  // `identifier` in its tag). What stood before it and went to the record
  // now after it (`next`) or to the end comes back when it is still there.
  void put_back(std::size_t index, int identifier, const Record* own, const Record* next,
                const removed_text& taken);
  // Makes `taken`'s block (from FileDataSource::text_of) the one written for
  // `now`, at `index`, under `identifier`, when it reads as the values
  // `now` holds; false, and nothing changed, when it does not.
  bool give_back(std::size_t index, int identifier, Record& now, const removed_text& taken);
  // Takes `lead` back from the start of what stands before the record at
  // `index` + 1 (`next`), or at the end when `next` is null; false, and
  // nothing changed, when it is not there.
  bool take_back_lead(std::size_t index, const Record* next, const std::string& lead);

  // Forgets what was taken out and moved: the text is as written.
  void forget_changes();

  // What a block written anew for `now` keeps of the block at `from`: its
  // line ends, its extras and the items of fields not read in full whose
  // value `now` still has. The views point into `text` (into `old`).
  kept_block_text kept_of(const origin& from, const Record& now) const;
  static kept_block_text kept_of(std::string_view old, bool extras, bool partial, const Record& now);

  // The fields of the record at `index` whose text says more than the value
  // read; none for a record not from the text.
  std::vector<unread_value> unread_values(std::size_t index) const;

  // A new text for the held records, as pieces: unchanged runs of `text`
  // and new bytes, with where each record's block will stand.
  struct composition {
    struct piece {
      bool fresh;  // from `fresh`, else from `text`
      std::size_t begin;
      std::size_t size;
    };
    std::vector<piece> pieces;
    std::string fresh;
    std::vector<origin> written;
    std::size_t tail = 0;
    std::size_t size = 0;
  };
  // Composes the new text for `records` under `identifiers` (one of each
  // for every origin); `changed(i)` tells whether the block of record `i`
  // must be written anew rather than copied.
  void compose(const std::vector<std::unique_ptr<Record>>& records,
               const std::vector<int>& identifiers,
               const std::function<bool(std::size_t)>& changed, composition& out) const;

  // The bytes of `piece`.
  std::string_view bytes(const composition& composed, const composition::piece& piece) const;

  // Makes the composed text the kept one, as written to the file: edited in
  // place where few places changed, built anew otherwise.
  void adopt(composition&& composed);
};

}  // namespace tarvik

#endif  // TARVIK_DATA_LOG_TEXT_H_
