#ifndef TARVIK_UI_INTERVAL_COMMANDS_H_
#define TARVIK_UI_INTERVAL_COMMANDS_H_

#include <QUndoCommand>
#include <cstddef>
#include <optional>

#include "insight/service_interval.h"

namespace tarvik {

class open_log;

// Add, Change and Remove of a service interval as one step of the log's
// undo history, the intervals saved at each step as at the first. Every
// save reads the due file anew, and another program may change it
// meanwhile, so an undo or redo reads the file again and finds its
// interval by what it holds: where it stood, else the first that holds the
// same. A step whose interval is no longer there, or whose save met
// another program's change (which is kept, and shown), drops out of the
// history.
class interval_command : public QUndoCommand {
 public:
  // `before`: the interval at `position` (none for an Add); `after`: what
  // it becomes (none for a Remove). An Add puts it at `position`, or at the
  // end when that is past it.
  interval_command(open_log& log, std::size_t position, std::optional<service_interval> before,
                   std::optional<service_interval> after);
  void redo() override;
  void undo() override;

 private:
  void step(const std::optional<service_interval>& from,
            const std::optional<service_interval>& to, bool undoing);

  open_log& log_;
  std::size_t position_;
  std::optional<service_interval> before_;
  std::optional<service_interval> after_;
  // The first redo acts on the list the user chose from.
  bool first_ = true;
};

}  // namespace tarvik

#endif  // TARVIK_UI_INTERVAL_COMMANDS_H_
