#include "insight/due_file.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <limits>
#include <unistd.h>

#include "data/commit_lock.h"
#include "data/diagnostic.h"
#include "data/number_text.h"
#include "data/regular_file.h"
#include "data/replacement_file.h"
#include "data/text_escape.h"
#include "insight/beside_log_file.h"
#include "insight/log_settings.h"
#include "insight/operation_name.h"

namespace tarvik {
namespace {

constexpr std::string_view kCloseTag = "</interval>";
constexpr long kMostMonths = 12000;

std::string lower_ascii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// The key of an item "key=value" as the due file matches it.
std::string key_of(std::string_view item) {
  return lower_ascii(trim_blanks(item.substr(0, item.find('='))));
}

std::string_view value_of(std::string_view item) {
  const std::size_t equals = item.find('=');
  return equals == std::string_view::npos ? std::string_view() : item.substr(equals + 1);
}

std::optional<double> read_distance(std::string_view value) {
  const std::string text(value);
  if (text.find('\0') != std::string::npos || !whole_double_text(text.c_str())) return std::nullopt;
  const double distance = parse_double(text.c_str());
  if (!(distance > 0) || !std::isfinite(distance)) return std::nullopt;  // also NaN
  return distance;
}

std::optional<long> read_months(std::string_view value) {
  value = trim_blanks(value);
  if (value.empty() || value.size() > 6) return std::nullopt;
  long months = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return std::nullopt;
    months = months * 10 + (c - '0');
  }
  if (months < 1 || months > kMostMonths) return std::nullopt;
  return months;
}

std::string_view view(const std::string& text, text_span span) {
  return std::string_view(text).substr(span.begin, span.end - span.begin);
}

void append_block(std::string& out, const std::string& identifier, const service_interval& interval) {
  out += "<interval=";
  out += identifier;
  out += ">\n";
  if (interval.operation.find_first_of(";=") == std::string::npos) {
    out += "operation=";
    out += interval.operation;
  } else {
    out += "operation*=";
    std::string escaped(3 * interval.operation.size(), '\0');
    escaped.resize(static_cast<std::size_t>(write_escaped(escaped.data(), interval.operation) -
                                            escaped.data()));
    out += escaped;
  }
  out += ";\n";
  if (interval.distance) out += "distance=" + format_exact(*interval.distance) + ";\n";
  if (interval.months) out += "months=" + format_integer(*interval.months) + ";\n";
  for (const std::string& item : interval.other_items) {
    const std::string key = key_of(item);
    // A limit set anew replaces an item of its key that could not be read.
    if ((key == "distance" && interval.distance) || (key == "months" && interval.months)) continue;
    // At the start of a line, "#" would begin a comment: keep it on the
    // line before, after its ";".
    if (!item.empty() && item.front() == '#') out.pop_back();
    out += item;
    out += ";\n";
  }
  for (const std::string& comment : interval.comments) {
    out += comment;
    out += '\n';
  }
  out += kCloseTag;
  out += '\n';
}

}  // namespace

std::string due_file_path(const std::string& log_path) {
  constexpr std::string_view kText = ".txt";
  std::string_view stem = log_path;
  if (stem.ends_with(kText)) stem.remove_suffix(kText.size());
  return std::string(stem) + ".due.txt";
}

write_refusal refuse_export_target(const std::string& target, const std::string& log_path) {
  if (log_path.empty()) return refuse_to_write(target, log_path);
  return refuse_to_write(target, log_path,
                         {{due_file_path(log_path), "the log's service intervals"},
                          {settings_file_path(log_path), "the log's settings"}});
}

due_file::due_file(std::string path, std::string log_path)
    : path_(std::move(path)), log_path_(std::move(log_path)) {
  std::string refusal;
  const int fd = open_regular_file(path_, refusal);
  if (fd < 0) {
    if (!refusal.empty()) {
      read_failure_ = refusal;
    } else if (errno != ENOENT) {
      read_failure_ = error_text(errno);
    }
  } else {
    std::string text;
    on_disk_ = file_state::of_descriptor(fd);
    if (const int error = read_all(fd, text); error != 0) read_failure_ = error_text(error);
    ::close(fd);
    if (read_failure_.empty()) take_text(std::move(text));
  }
  if (!read_failure_.empty()) problems_.push_back({0, path_ + ": " + read_failure_});
}

std::size_t due_file::line_at(std::size_t offset) const {
  std::size_t line = 1;
  for (std::size_t i = 0; i < offset && i < text_.size(); ++i) line += text_[i] == '\n';
  return line;
}

void due_file::take_text(std::string text) {
  text_ = std::move(text);
  intervals_.clear();
  blocks_.clear();
  problems_.clear();
  tail_ = 0;
  bool stopped = false;
  const log_reading reading = parse_blocks(
      text_, 0, kCloseTag,
      [&](block_reading& block) {
        if (stopped || !block.clean) {
          stopped = true;
          return;
        }
        read_block_at(block);
        tail_ = block.span.end;
      },
      false);
  // The reader's own problems first: value problems of blocks after them
  // are not read at all.
  std::vector<log_problem> values = std::move(problems_);
  problems_ = reading.problems;
  problems_.insert(problems_.end(), values.begin(), values.end());
  std::stable_sort(problems_.begin(), problems_.end(),
                   [](const log_problem& a, const log_problem& b) { return a.line < b.line; });
}

void due_file::read_block_at(const block_reading& block) {
  service_interval interval;
  interval.origin = {blocks_.size(), block.pairs.empty() ? std::string() : block.pairs[0].value, true};
  bool has_operation = false;
  std::size_t extra = 0;  // the next of block.extras
  const auto note = [&](std::size_t offset, std::string message) {
    problems_.push_back({line_at(offset), std::move(message)});
  };
  for (std::size_t i = 1; i < block.pairs.size(); ++i) {
    const hash_element& pair = block.pairs[i];
    switch (field_named(pair.key)) {
      case record_field::operation:
        interval.operation = pair.value;
        has_operation = true;
        continue;
      case record_field::operation_escaped:
        interval.operation = unescape_text(pair.value);
        has_operation = true;
        continue;
      case record_field::none:
        break;
      default:
        // A key the log gives a field but an interval has no use for.
        interval.other_items.push_back(pair.key + "=" + pair.value);
        continue;
    }
    // Items under keys no record field takes are extras, in the same order.
    while (extra < block.extras.size() && block.extras[extra].comment) {
      interval.comments.emplace_back(view(text_, block.extras[extra++].span));
    }
    if (extra == block.extras.size()) break;  // cannot happen: the reader lists each
    const text_span span = block.extras[extra++].span;
    const std::string_view item = view(text_, span);
    const std::string key = key_of(item);
    if (key == "distance") {
      if (const std::optional<double> distance = read_distance(value_of(item))) {
        interval.distance = distance;
        continue;
      }
      note(span.begin, "distance \"" + std::string(trim_blanks(value_of(item))) +
                           "\" is not a number above 0; the interval is read without a distance");
    } else if (key == "months") {
      if (const std::optional<long> months = read_months(value_of(item))) {
        interval.months = months;
        continue;
      }
      note(span.begin, "months \"" + std::string(trim_blanks(value_of(item))) +
                           "\" is not a whole number from 1 to 12000; the interval is read "
                           "without months");
    }
    interval.other_items.emplace_back(item);
  }
  for (; extra < block.extras.size(); ++extra) {
    if (block.extras[extra].comment) interval.comments.emplace_back(view(text_, block.extras[extra].span));
  }
  if (!has_operation) note(block.span.begin, "interval without an operation");

  const std::size_t lead_begin = blocks_.empty() ? 0 : blocks_.back().span.end;
  blocks_.push_back({{lead_begin, block.span.begin}, block.span, interval});
  intervals_.push_back(std::move(interval));
}

std::string due_file::compose() const {
  std::vector<bool> kept(blocks_.size(), false);
  long highest = -1;
  for (const service_interval& interval : intervals_) {
    if (interval.origin.read && interval.origin.block < blocks_.size()) kept[interval.origin.block] = true;
    if (!interval.origin.identifier.empty()) {
      highest = std::max(highest, parse_long(interval.origin.identifier.c_str()));
    }
  }
  if (highest == std::numeric_limits<long>::max()) highest = -1;  // never wrap: numbering is cosmetic

  std::string out;
  std::vector<bool> written(blocks_.size(), false);
  std::size_t next_removed = 0;
  // The text before removed blocks up to `end`, without their own comments.
  const auto keep_leads_of_removed = [&](std::size_t end) {
    for (; next_removed < end; ++next_removed) {
      if (kept[next_removed]) continue;
      const read_block& gone = blocks_[next_removed];
      out.append(text_, gone.lead.begin,
                 attached_comments(text_, gone.lead.begin, gone.span.begin) - gone.lead.begin);
    }
  };
  for (const service_interval& interval : intervals_) {
    const std::size_t block = interval.origin.block;
    if (interval.origin.read && block < blocks_.size() && !written[block]) {
      written[block] = true;
      keep_leads_of_removed(block);
      const read_block& stood = blocks_[block];
      out += view(text_, stood.lead);
      if (interval.same_content(stood.as_read)) {
        out += view(text_, stood.span);
      } else {
        append_block(out, interval.origin.identifier, interval);
      }
    } else {
      append_block(out, format_integer(++highest), interval);
    }
  }
  keep_leads_of_removed(blocks_.size());
  out.append(text_, tail_);
  return out;
}

bool due_file::changed_on_disk() const { return changed_since_seen(path_, on_disk_, text_); }

bool due_file::save() {
  std::string text = compose();
  const beside_log_save saved =
      save_beside_log(path_, log_path_, {settings_file_path(log_path_), "the log's settings"},
                      read_failure_, on_disk_, text_, text);
  error_ = saved.error;
  changed_elsewhere_ = saved.changed_elsewhere;
  if (!saved.saved) return false;
  on_disk_ = saved.written;
  take_text(std::move(text));
  return true;
}

}  // namespace tarvik
