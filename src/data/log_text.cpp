#include "data/log_text.h"

#include <algorithm>

#include "data/large_text.h"
#include "data/number_text.h"

namespace tarvik {
namespace {

std::string_view view(std::string_view text, std::size_t begin, std::size_t end) {
  return text.substr(begin, end - begin);
}

// Reads `old`, one block of the kept text, again and hands what the reader
// saw of it to `use`.
void read_again(std::string_view old, const std::function<void(block_reading&)>& use) {
  bool first = true;
  parse_log(
      old, 0,
      [&](block_reading& read) {
        if (!first) return;
        first = false;
        use(read);
      },
      false, false);
}

// Past this many places to change, a new text is built whole: each change
// in place moves all that follows it.
constexpr std::size_t kChangesInPlace = 4;

// How many records ahead of the one composed are fetched into the cache.
constexpr std::size_t kLookAhead = 16;

}  // namespace

std::string_view log_text::block(const origin& where) const {
  return view(text, where.begin, where.end);
}

std::string_view log_text::block(const removed_block& gone) const {
  return view(text, gone.span.begin, gone.span.end);
}

void log_text::take_out(std::size_t index, int identifier, const Record* own, const Record* next,
                        removed_text* taken) {
  const origin gone = origins[index];
  // Blank lines and comments about other things stay, before whatever comes
  // next; the comment lines right before the block go with it.
  std::string kept;
  if (gone.moved_lead) {
    const auto moved = moved_leads.find(own);
    kept = std::move(moved->second);
    moved_leads.erase(moved);
  }
  const std::size_t moved_before = kept.size();
  std::size_t comments_at = gone.begin;
  if (gone.from_file) {
    removed.push_back({identifier, {gone.begin, gone.end}});
    comments_at = attached_comments(text, gone.lead, gone.begin);
    kept.append(text, gone.lead, comments_at - gone.lead);
  }
  if (taken != nullptr) {
    *taken = removed_text{};
    taken->lead = kept;
    taken->identifier = identifier;
    taken->verbatim = gone.verbatim;
    taken->extras = gone.extras;
    taken->partial = gone.partial;
    if (gone.from_file) {
      taken->comments.assign(text, comments_at, gone.begin - comments_at);
      taken->block.assign(text, gone.begin, gone.end - gone.begin);
      taken->from_text = true;
      taken->lead_at = gone.lead;
      taken->span = {gone.begin, gone.end};
      taken->moved_before = moved_before;
    }
  }
  if (gone.own_block) {
    const auto mine = own_blocks.find(own);
    if (taken != nullptr) {
      // A block given back in place of one from the text keeps the
      // comments above it there.
      if (!gone.from_file) taken->comments = std::move(mine->second.comments);
      taken->block = std::move(mine->second.block);
    }
    own_blocks.erase(mine);
  }
  if (!kept.empty()) {
    if (next != nullptr) {
      origins[index + 1].moved_lead = true;
      moved_leads[next].insert(0, kept);
    } else {
      moved_tail.insert(0, kept);
    }
  }
  origins.erase(origins.begin() + static_cast<std::ptrdiff_t>(index));
}

namespace {

// Takes `lead` off the start of `from`; false when it does not start so.
bool take_front(std::string& from, const std::string& lead) {
  if (from.compare(0, lead.size(), lead) != 0) return false;
  from.erase(0, lead.size());
  return true;
}

// Puts `identifier` in the open tag of `block` ("<record=7>"); false when
// the block has no such tag.
bool retag(std::string& block, int identifier) {
  const std::size_t equals = block.find('=');
  if (equals == std::string::npos) return false;
  const std::size_t close = block.find('>', equals);
  if (close == std::string::npos) return false;
  block.replace(equals + 1, close - equals - 1, format_integer(identifier));
  return true;
}

}  // namespace

bool log_text::take_back_lead(std::size_t index, const Record* next, const std::string& lead) {
  if (lead.empty()) return true;
  if (next != nullptr) {
    origin& after = origins[index + 1];
    if (after.moved_lead) {
      const auto moved = moved_leads.find(next);
      if (!take_front(moved->second, lead)) return false;
      if (moved->second.empty()) {
        moved_leads.erase(moved);
        after.moved_lead = false;
      }
      return true;
    }
    if (!after.from_file || after.begin - after.lead < lead.size() ||
        text.compare(after.lead, lead.size(), lead) != 0) {
      return false;
    }
    after.lead += static_cast<std::uint32_t>(lead.size());
    return true;
  }
  if (!moved_tail.empty()) return take_front(moved_tail, lead);
  if (text.size() - tail < lead.size() || text.compare(tail, lead.size(), lead) != 0) return false;
  tail += lead.size();
  return true;
}

void log_text::put_back(std::size_t index, int identifier, const Record* own, const Record* next,
                        const removed_text& taken) {
  if (taken.block.empty()) return;  // added since the text was read: nothing kept
  origin& placed = origins[index];
  placed.verbatim = taken.verbatim;
  placed.extras = taken.extras;
  placed.partial = taken.partial;
  const bool lead_back = take_back_lead(index, next, taken.lead);
  if (taken.from_text && identifier == taken.identifier) {
    // No commit since: the block still stands in the text, listed as removed.
    const auto gone = std::find_if(removed.begin(), removed.end(), [&](const removed_block& block) {
      return block.identifier == identifier && block.span.begin == taken.span.begin &&
             block.span.end == taken.span.end;
    });
    if (gone != removed.end() && taken.span.end <= text.size() &&
        text.compare(taken.span.begin, taken.span.end - taken.span.begin, taken.block) == 0) {
      removed.erase(gone);
      placed.from_file = true;
      placed.begin = static_cast<std::uint32_t>(taken.span.begin);
      placed.end = static_cast<std::uint32_t>(taken.span.end);
      placed.lead = static_cast<std::uint32_t>(taken.span.begin - taken.comments.size());
      if (lead_back) {
        placed.lead = taken.lead_at;
        if (taken.moved_before > 0) {
          placed.moved_lead = true;
          moved_leads[own] = taken.lead.substr(0, taken.moved_before);
        }
      }
      return;
    }
  }
  placed.own_block = true;
  own_text& mine = own_blocks[own];
  mine.comments = taken.comments;
  mine.block = taken.block;
  // Under another number the block says so; all else stays as written.
  if (identifier != taken.identifier && !retag(mine.block, identifier)) placed.verbatim = false;
  if (lead_back && !taken.lead.empty()) {
    placed.moved_lead = true;
    moved_leads[own] = taken.lead;
  }
}

bool log_text::give_back(std::size_t index, int identifier, Record& now, const removed_text& taken) {
  bool same = false;
  read_again(taken.block, [&](block_reading& read) {
    const Record as_read(std::move(read.pairs));
    same = read.clean && now.same_fields(as_read) && now.same_other_fields(as_read);
  });
  if (!same) return false;
  origin& placed = origins[index];
  own_text mine{{}, taken.block};
  if (identifier != taken.identifier && !retag(mine.block, identifier)) return false;
  if (placed.from_file && block(placed) == mine.block) {
    // The file holds it as it is: nothing to write anew.
    placed.own_block = false;
    own_blocks.erase(&now);
  } else {
    if (placed.own_block) mine.comments = std::move(own_blocks.at(&now).comments);
    own_blocks[&now] = std::move(mine);
    placed.own_block = true;
  }
  placed.verbatim = placed.verbatim || placed.own_block;
  placed.extras = taken.extras;
  placed.partial = taken.partial;
  now.clear_modified();
  return true;
}

void log_text::forget_changes() {
  own_blocks.clear();
  moved_tail.clear();
  moved_leads.clear();
  removed.clear();
}

kept_block_text log_text::kept_of(const origin& from, const Record& now) const {
  return kept_of(block(from), from.extras, from.partial, now);
}

kept_block_text log_text::kept_of(std::string_view old, bool extras, bool partial, const Record& now) {
  kept_block_text kept;
  const std::size_t first_end = old.find('\n');
  if (first_end != std::string_view::npos && first_end > 0 && old[first_end - 1] == '\r') {
    kept.line_end = "\r\n";
  }
  if (!extras && !partial) {
    kept.fields_changed = !now.other_fields().empty();
    return kept;
  }
  read_again(old, [&](block_reading& read) {
    for (const block_extra& extra : read.extras) {
      extra_text text{view(old, extra.span.begin, extra.span.end), extra.comment, {}};
      if (extra.comment) {
        // A comment line keeps the line end it had.
        const std::string_view rest = old.substr(extra.span.end);
        if (rest.substr(0, 2) == "\r\n") {
          text.line_end = rest.substr(0, 2);
        } else if (!rest.empty() && (rest[0] == '\n' || rest[0] == '\r')) {
          text.line_end = rest.substr(0, 1);
        }
      }
      kept.extras.push_back(text);
    }
    const Record as_read(std::move(read.pairs));
    // Items no field takes are the record's other fields: kept as they
    // stand while those are as read.
    kept.fields_changed = !now.same_other_fields(as_read);
    // A field not read in full keeps its text unless it was given
    // another value than the one read from it.
    for (const partial_item& item : read.partial) {
      if (now.same_field(as_read, item.field)) {
        kept.items[kept_item_slot(item.field)] = view(old, item.span.begin, item.span.end);
      }
    }
  });
  return kept;
}

std::vector<unread_value> log_text::unread_values(std::size_t index) const {
  std::vector<unread_value> values;
  if (index >= origins.size() || !origins[index].from_file || !origins[index].partial) return values;
  const std::string_view old = block(origins[index]);
  read_again(old, [&](block_reading& read) {
    for (const partial_item& item : read.partial) {
      const std::string_view item_text = view(old, item.span.begin, item.span.end);
      std::size_t value = item_text.find('=');
      while (value < item_text.size() && item_text[value] == '=') ++value;
      values.push_back(
          {item.field, std::string(item_text.substr(std::min(value, item_text.size())))});
    }
  });
  return values;
}

void log_text::compose(const std::vector<std::unique_ptr<Record>>& records,
                       const std::vector<int>& identifiers,
                       const std::function<bool(std::size_t)>& changed, composition& out) const {
  out = composition{};
  out.written.reserve(records.size());
  advise_huge_pages(out.written.data(), records.size() * sizeof(origin));
  // Runs of the kept text that follow each other are one piece.
  const auto copy = [&](std::size_t begin, std::size_t end) {
    if (begin == end) return;
    if (!out.pieces.empty() && !out.pieces.back().fresh &&
        out.pieces.back().begin + out.pieces.back().size == begin) {
      out.pieces.back().size += end - begin;
    } else {
      out.pieces.push_back({false, begin, end - begin});
    }
    out.size += end - begin;
  };
  const auto add = [&](std::string_view bytes) {
    if (bytes.empty()) return;
    if (out.pieces.empty() || !out.pieces.back().fresh) {
      out.pieces.push_back({true, out.fresh.size(), 0});
    }
    out.fresh += bytes;
    out.pieces.back().size += bytes.size();
    out.size += bytes.size();
  };
  // Looked up only where it matters: reading the end of every block would
  // walk the whole kept text.
  const auto ends_line = [&] {
    if (out.pieces.empty()) return true;
    const composition::piece& last = out.pieces.back();
    const char byte = (last.fresh ? out.fresh : text)[last.begin + last.size - 1];
    return byte == '\n' || byte == '\r';
  };
  std::string block_text;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const origin& from = origins[i];
    // Whether a record changed is in the record itself, one more place in
    // memory for each: asked for ahead, the loop does not wait on each.
    if (i + kLookAhead < records.size()) {
      __builtin_prefetch(reinterpret_cast<const char*>(records[i + kLookAhead].get()) +
                         sizeof(Record) - 1);
    }
    origin& to = out.written.emplace_back();
    to.lead = static_cast<std::uint32_t>(out.size);
    if (from.moved_lead) add(moved_leads.at(records[i].get()));
    if (from.from_file) copy(from.lead, from.begin);
    const own_text* own = from.own_block ? &own_blocks.at(records[i].get()) : nullptr;
    if (own != nullptr) add(own->comments);
    to.begin = static_cast<std::uint32_t>(out.size);
    // A block given back stands as long as the record keeps the values it
    // was given back with, even where the file holds another.
    const bool anew = changed(i);
    if (own != nullptr ? from.verbatim && !records[i]->modified() : !anew) {
      if (own != nullptr) {
        add(own->block);
      } else {
        copy(from.begin, from.end);
      }
      // A block whose line ends without a line end gets one when something
      // other than what followed it in the file comes next.
      const bool last = i + 1 == records.size();
      const bool as_before =
          own != nullptr ? false
          : last ? moved_tail.empty() && tail == from.end
               : origins[i + 1].from_file && !origins[i + 1].moved_lead && origins[i + 1].lead == from.end;
      const bool more = !last || !moved_tail.empty() || tail < text.size();
      if (more && !as_before && !ends_line()) add("\n");
    } else {
      block_text.clear();
      if (own != nullptr) {
        append_block(block_text, identifiers[i], *records[i],
                     kept_of(own->block, from.extras, from.partial, *records[i]));
      } else if (from.from_file) {
        append_block(block_text, identifiers[i], *records[i], kept_of(from, *records[i]));
      } else {
        append_block(block_text, identifiers[i], *records[i]);
      }
      add(block_text);
    }
    to.end = static_cast<std::uint32_t>(out.size);
    to.from_file = true;
    to.verbatim = true;
    to.extras = from.extras;
    to.partial = from.partial;
  }
  out.tail = out.size;
  add(moved_tail);
  copy(tail, text.size());
}

std::string_view log_text::bytes(const composition& composed,
                                 const composition::piece& piece) const {
  const std::string& from = piece.fresh ? composed.fresh : text;
  return std::string_view(from).substr(piece.begin, piece.size);
}

void log_text::adopt(composition&& composed) {
  // The places where the new text differs from the kept one, in order: a
  // range of the kept text and the new bytes in its place.
  struct change {
    std::size_t begin;
    std::size_t end;
    std::size_t fresh_begin;
    std::size_t fresh_size;
  };
  std::vector<change> changes;
  bool in_order = true;
  std::size_t at = 0;  // how far the kept text has been matched
  change pending{0, 0, 0, 0};
  bool any_pending = false;
  for (const composition::piece& piece : composed.pieces) {
    if (piece.fresh) {
      if (!any_pending) pending = {at, at, piece.begin, 0};
      pending.fresh_size = piece.begin + piece.size - pending.fresh_begin;
      any_pending = true;
      continue;
    }
    if (piece.begin < at) {
      in_order = false;
      break;
    }
    if (piece.begin > at || any_pending) {
      if (!any_pending) pending = {at, at, composed.fresh.size(), 0};
      pending.end = piece.begin;
      changes.push_back(pending);
      any_pending = false;
    }
    at = piece.begin + piece.size;
  }
  if (in_order && (at < text.size() || any_pending)) {
    if (!any_pending) pending = {at, at, composed.fresh.size(), 0};
    pending.end = text.size();
    changes.push_back(pending);
  }

  if (in_order && changes.size() <= kChangesInPlace) {
    if (composed.size > text.capacity()) reserve_large(text, composed.size + composed.size / 16);
    for (auto change = changes.rbegin(); change != changes.rend(); ++change) {
      text.replace(change->begin, change->end - change->begin, composed.fresh, change->fresh_begin,
                   change->fresh_size);
    }
  } else {
    std::string built;
    reserve_large(built, composed.size);
    for (const composition::piece& piece : composed.pieces) built += bytes(composed, piece);
    text = std::move(built);
  }
  origins = std::move(composed.written);
  tail = composed.tail;
  whole = true;
  forget_changes();
}

}  // namespace tarvik
