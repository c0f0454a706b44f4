#ifndef TARVIK_INSIGHT_SERVICE_INTERVAL_H_
#define TARVIK_INSIGHT_SERVICE_INTERVAL_H_

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {

// Where an interval stood in the due file it was read from, so that a save
// can copy its block as it was. Only due_file fills it in; a caller copies
// it along with the interval and otherwise leaves it alone.
struct interval_origin {
  std::size_t block = 0;   // index among the blocks of the file read
  std::string identifier;  // the digits of its open tag
  bool read = false;       // false: added since the file was read
};

// A service that falls due every `distance` units and/or every `months`
// calendar months, whichever comes first, counted from the last entry of the
// log with this operation (matched by operation_key()). Either limit may be
// missing; with neither, the interval never falls due. Limits, when set,
// are above zero (the due file's reader sees to it; a caller that sets them
// itself should too).
struct service_interval {
  std::string operation;
  std::optional<double> distance;
  std::optional<long> months;

  // What the interval's block held besides: items under other keys, each
  // as "key=value" without its ";", and comment lines, in file order. A
  // changed interval is written with them, so hand-written additions last.
  std::vector<std::string> other_items;
  std::vector<std::string> comments;

  interval_origin origin;

  // The same operation text, limits, other items and comments.
  bool same_content(const service_interval& other) const {
    return operation == other.operation && distance == other.distance &&
           months == other.months && other_items == other.other_items &&
           comments == other.comments;
  }
};

}  // namespace tarvik

#endif  // TARVIK_INSIGHT_SERVICE_INTERVAL_H_
