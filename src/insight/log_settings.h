#ifndef TARVIK_INSIGHT_LOG_SETTINGS_H_
#define TARVIK_INSIGHT_LOG_SETTINGS_H_

#include <optional>
#include <string>
#include <vector>

#include "data/file_state.h"
#include "data/log_format.h"
#include "insight/units.h"

// The units of a log, kept beside it in a small hand-editable file of its
// own, one setting a line:
//
//   # The units of tarvik.txt: distance km or mi; currency a symbol or code.
//   distance=km
//   currency=€
//   volume=l
//   consumption=l/100km
//   vehicle=Golf VII (B-XY 123)
//
// The words of the volume and consumption units are in units.h. The
// vehicle's name, optional, titles the printed history.
// A file of its own rather than a block in the due file: a program that
// knows only intervals stops reading the due file at the first block it
// cannot read, so a settings block there would hide the intervals after it
// from it. Here an older program finds nothing it does not know.
//
// Keys are read in any letter case, with blanks around keys and values.
// Lines starting with "#", blank lines, unknown keys and values that cannot
// be read are kept as they stand; a save rewrites only the line of a
// setting whose value changed, and puts a setting the file lacks at its
// end, so a file saved unchanged keeps every byte.
namespace tarvik {

// The settings file of the log at `log_path`: a trailing ".txt" replaced by
// ".settings.txt", any other name with ".settings.txt" appended, as
// due_file_path() does for the due file.
std::string settings_file_path(const std::string& log_path);

// A settings file as read, and its saving. A missing file gives no settings
// and no problem: the window takes the units of the user's locale then.
// Values are never guessed: a unit that is none of units.h's words (in
// any letter case) is reported in problems() with its line and read as unset;
// of a key given twice the first line counts and the later is reported.
//
// A save writes crash-safely (replacement_file.h), never over the log, its
// backups or its due file, nor over a change another program made since the
// file was read (changed_elsewhere()); saves take the log's commit lock.
class log_settings {
 public:
  explicit log_settings(std::string path, std::string log_path = {});

  const std::string& path() const { return path_; }
  // Whether the file was there when read or last saved.
  bool exists() const { return on_disk_.exists; }

  std::optional<distance_unit> distance() const { return distance_; }
  void set_distance(distance_unit unit) { distance_ = unit; }
  std::optional<volume_unit> volume() const { return volume_; }
  void set_volume(volume_unit unit) { volume_ = unit; }
  std::optional<consumption_unit> consumption() const { return consumption_; }
  void set_consumption(consumption_unit unit) { consumption_ = unit; }
  // The currency as written; empty text is no currency.
  const std::optional<std::string>& currency() const { return currency_; }
  // Line breaks would end the setting: they are written as blanks.
  void set_currency(std::string currency);
  // The vehicle's name as written; empty text is no name.
  const std::optional<std::string>& vehicle() const { return vehicle_; }
  // Line breaks would end the setting: they are written as blanks.
  void set_vehicle(std::string vehicle);

  const std::vector<log_problem>& problems() const { return problems_; }
  // A file that exists but cannot be read: every save is refused.
  const std::string& read_failure() const { return read_failure_; }

  // The text a save would write now.
  std::string compose() const;
  // On failure nothing changed, and error() says why in words for the user.
  bool save();
  const std::string& error() const { return error_; }
  bool changed_elsewhere() const { return changed_elsewhere_; }
  bool changed_on_disk() const;

 private:
  // Where a known setting stands in text_, when it does.
  struct setting_line {
    std::size_t begin = 0;
    std::size_t end = 0;  // before the line end
  };

  void take_text(std::string text);

  std::string path_;
  std::string log_path_;
  std::optional<distance_unit> distance_;
  std::optional<volume_unit> volume_;
  std::optional<consumption_unit> consumption_;
  std::optional<std::string> currency_;
  std::optional<std::string> vehicle_;
  std::optional<setting_line> distance_line_;
  std::optional<setting_line> volume_line_;
  std::optional<setting_line> consumption_line_;
  std::optional<setting_line> currency_line_;
  std::optional<setting_line> vehicle_line_;
  // The values as read or last saved: a save rewrites what differs.
  std::optional<distance_unit> distance_read_;
  std::optional<volume_unit> volume_read_;
  std::optional<consumption_unit> consumption_read_;
  std::optional<std::string> currency_read_;
  std::optional<std::string> vehicle_read_;
  std::vector<log_problem> problems_;
  std::string read_failure_;
  std::string error_;
  bool changed_elsewhere_ = false;
  file_state on_disk_;
  std::string text_;
};

}  // namespace tarvik

#endif  // TARVIK_INSIGHT_LOG_SETTINGS_H_
