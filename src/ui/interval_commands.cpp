#include "ui/interval_commands.h"

#include <QCoreApplication>
#include <utility>
#include <vector>

#include "insight/due_file.h"
#include "ui/open_log.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

QString step_text(const std::optional<service_interval>& before,
                  const std::optional<service_interval>& after) {
  if (!before) {
    return QCoreApplication::translate("tarvik::interval_command", "Add Interval %1")
        .arg(to_widget_text(after->operation));
  }
  if (!after) {
    return QCoreApplication::translate("tarvik::interval_command", "Remove Interval %1")
        .arg(to_widget_text(before->operation));
  }
  return QCoreApplication::translate("tarvik::interval_command", "Change Interval %1")
      .arg(to_widget_text(after->operation));
}

}  // namespace

interval_command::interval_command(open_log& log, std::size_t position,
                                   std::optional<service_interval> before,
                                   std::optional<service_interval> after)
    : QUndoCommand(step_text(before, after)),
      log_(log),
      position_(position),
      before_(std::move(before)),
      after_(std::move(after)) {
  // Where the interval stood in the file is the file's business: a save
  // renews it, so the step keeps only what the interval holds.
  if (before_) before_->origin = {};
  if (after_) after_->origin = {};
}

void interval_command::redo() { step(before_, after_, false); }

void interval_command::undo() { step(after_, before_, true); }

void interval_command::step(const std::optional<service_interval>& from,
                            const std::optional<service_interval>& to, bool undoing) {
  // The change the user made from the list shown is not laid over another
  // program's: the save refuses it and says so.
  if (!first_) log_.read_intervals_again();
  first_ = false;
  std::vector<service_interval>& intervals = log_.intervals().intervals();
  if (from) {
    std::size_t at = position_;
    if (at >= intervals.size() || !intervals[at].same_content(*from)) {
      at = intervals.size();
      for (std::size_t i = 0; i < intervals.size(); ++i) {
        if (intervals[i].same_content(*from)) {
          at = i;
          break;
        }
      }
    }
    if (at == intervals.size()) {
      log_.refused(
          (undoing ? QCoreApplication::translate(
                         "tarvik::interval_command",
                         "Could not undo %1: the interval has been changed or removed since.")
                   : QCoreApplication::translate(
                         "tarvik::interval_command",
                         "Could not redo %1: the interval has been changed or removed since."))
              .arg(text()));
      setObsolete(true);
      return;
    }
    position_ = at;
    if (to) {
      // It keeps its place in the file.
      const interval_origin origin = intervals[at].origin;
      intervals[at] = *to;
      intervals[at].origin = origin;
    } else {
      intervals.erase(intervals.begin() + static_cast<std::ptrdiff_t>(at));
    }
  } else {
    position_ = std::min(position_, intervals.size());
    intervals.insert(intervals.begin() + static_cast<std::ptrdiff_t>(position_), *to);
  }
  const due_file* saved_to = &log_.intervals();
  log_.save_intervals(true);
  if (&log_.intervals() != saved_to) {
    // Another program's intervals were read in its place.
    log_.refused(QCoreApplication::translate("tarvik::interval_command",
                                             "%1 was not saved: another program changed the "
                                             "service intervals meanwhile.")
                     .arg(text()));
    setObsolete(true);
  }
}

}  // namespace tarvik
