#include "insight/log_settings.h"

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <unistd.h>

#include "data/commit_lock.h"
#include "data/diagnostic.h"
#include "data/regular_file.h"
#include "data/replacement_file.h"
#include "insight/beside_log_file.h"
#include "insight/due_file.h"
#include "insight/operation_name.h"

namespace tarvik {
namespace {

constexpr std::string_view kDistanceKey = "distance";
constexpr std::string_view kCurrencyKey = "currency";
constexpr std::string_view kVehicleKey = "vehicle";
constexpr std::string_view kVolumeKey = "volume";
constexpr std::string_view kConsumptionKey = "consumption";

std::string lower_ascii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::string one_line(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return std::string(trim_blanks(text));
}

}  // namespace

std::string settings_file_path(const std::string& log_path) {
  constexpr std::string_view kText = ".txt";
  std::string_view stem = log_path;
  if (stem.ends_with(kText)) stem.remove_suffix(kText.size());
  return std::string(stem) + ".settings.txt";
}

log_settings::log_settings(std::string path, std::string log_path)
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

void log_settings::set_currency(std::string currency) { currency_ = one_line(std::move(currency)); }

void log_settings::set_vehicle(std::string vehicle) { vehicle_ = one_line(std::move(vehicle)); }

void log_settings::take_text(std::string text) {
  text_ = std::move(text);
  distance_ = distance_read_ = std::nullopt;
  volume_ = volume_read_ = std::nullopt;
  consumption_ = consumption_read_ = std::nullopt;
  currency_ = currency_read_ = std::nullopt;
  vehicle_ = vehicle_read_ = std::nullopt;
  distance_line_ = volume_line_ = consumption_line_ = currency_line_ = vehicle_line_ = std::nullopt;
  problems_.clear();
  std::size_t line_number = 0;
  for (std::size_t begin = 0; begin < text_.size();) {
    ++line_number;
    std::size_t next = text_.find('\n', begin);
    next = next == std::string::npos ? text_.size() : next + 1;
    std::size_t end = next;
    if (end > begin && text_[end - 1] == '\n') --end;
    if (end > begin && text_[end - 1] == '\r') --end;
    const std::string_view line = std::string_view(text_).substr(begin, end - begin);
    const std::string_view content = trim_blanks(line);
    const setting_line where{begin, end};
    begin = next;
    if (content.empty() || content.front() == '#') continue;
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos) {
      problems_.push_back({line_number, "\"" + std::string(content) + "\" is no setting (key=value)"});
      continue;
    }
    const std::string key = lower_ascii(trim_blanks(content.substr(0, equals)));
    const std::string_view value = trim_blanks(content.substr(equals + 1));
    std::optional<setting_line>* line_of = key == kDistanceKey      ? &distance_line_
                                           : key == kVolumeKey      ? &volume_line_
                                           : key == kConsumptionKey ? &consumption_line_
                                           : key == kCurrencyKey    ? &currency_line_
                                           : key == kVehicleKey     ? &vehicle_line_
                                                                    : nullptr;
    if (line_of == nullptr) continue;  // a later version's: kept
    std::optional<setting_line>& held = *line_of;
    if (held) {
      problems_.push_back({line_number, key + " is set on an earlier line; this line is not read"});
      continue;
    }
    held = where;
    if (key == kVehicleKey) {
      vehicle_ = vehicle_read_ = std::string(value);
    } else if (key == kCurrencyKey) {
      currency_ = currency_read_ = std::string(value);
    } else if (key == kVolumeKey) {
      if (const std::optional<volume_unit> unit = read_volume_unit(value)) {
        volume_ = volume_read_ = unit;
      } else {
        problems_.push_back({line_number, "volume \"" + std::string(value) +
                                              "\" is none of l, gal-us, gal-imp, kwh; litres are used"});
      }
    } else if (key == kConsumptionKey) {
      if (const std::optional<consumption_unit> unit = read_consumption_unit(value)) {
        consumption_ = consumption_read_ = unit;
      } else {
        problems_.push_back(
            {line_number, "consumption \"" + std::string(value) +
                              "\" is none of l/100km, km/l, mpg-us, mpg-imp, kwh/100km, "
                              "kwh/100mi; the usual unit of the distance and volume is used"});
      }
    } else if (const std::optional<distance_unit> unit = read_distance_unit(value)) {
      distance_ = distance_read_ = unit;
    } else {
      problems_.push_back({line_number, "distance \"" + std::string(value) +
                                            "\" is neither km nor mi; the locale's unit is used"});
    }
  }
}

std::string log_settings::compose() const {
  struct change {
    std::optional<setting_line> line;
    std::string text;
  };
  std::vector<change> changes;
  if (distance_ && distance_ != distance_read_) {
    changes.push_back({distance_line_, std::string(kDistanceKey) + "=" + unit_text(*distance_)});
  }
  if (volume_ && volume_ != volume_read_) {
    changes.push_back({volume_line_, std::string(kVolumeKey) + "=" + unit_word(*volume_)});
  }
  if (consumption_ && consumption_ != consumption_read_) {
    changes.push_back(
        {consumption_line_, std::string(kConsumptionKey) + "=" + unit_word(*consumption_)});
  }
  if (currency_ && currency_ != currency_read_) {
    changes.push_back({currency_line_, std::string(kCurrencyKey) + "=" + *currency_});
  }
  // An empty name is written only over one the file has: no empty line
  // for a vehicle never named.
  if (vehicle_ && vehicle_ != vehicle_read_ && (vehicle_line_ || !vehicle_->empty())) {
    changes.push_back({vehicle_line_, std::string(kVehicleKey) + "=" + *vehicle_});
  }
  std::string out;
  if (text_.empty() && !changes.empty()) {
    out = "# The units of this log: distance km or mi; currency a symbol or code.\n";
  }
  // Lines rewritten in place, in file order; the line ends stay.
  std::sort(changes.begin(), changes.end(), [](const change& a, const change& b) {
    if (!a.line || !b.line) return a.line.has_value() && !b.line.has_value();
    return a.line->begin < b.line->begin;
  });
  std::size_t copied = 0;
  for (const change& c : changes) {
    if (!c.line) continue;
    out.append(text_, copied, c.line->begin - copied);
    out += c.text;
    copied = c.line->end;
  }
  out.append(text_, copied);
  for (const change& c : changes) {
    if (c.line) continue;
    if (!out.empty() && out.back() != '\n') out += '\n';
    out += c.text;
    out += '\n';
  }
  return out;
}

bool log_settings::changed_on_disk() const { return changed_since_seen(path_, on_disk_, text_); }

bool log_settings::save() {
  std::string text = compose();
  const beside_log_save saved =
      save_beside_log(path_, log_path_, {due_file_path(log_path_), "the log's service intervals"},
                      read_failure_, on_disk_, text_, text);
  error_ = saved.error;
  changed_elsewhere_ = saved.changed_elsewhere;
  if (!saved.saved) return false;
  on_disk_ = saved.written;
  // What was set stays set, also where the text holds it differently.
  const std::optional<distance_unit> distance = distance_;
  const std::optional<volume_unit> volume = volume_;
  const std::optional<consumption_unit> consumption = consumption_;
  const std::optional<std::string> currency = currency_;
  const std::optional<std::string> vehicle = vehicle_;
  take_text(std::move(text));
  if (distance) distance_ = distance;
  if (volume) volume_ = volume;
  if (consumption) consumption_ = consumption;
  if (currency) currency_ = currency;
  if (vehicle) vehicle_ = vehicle;
  return true;
}

}  // namespace tarvik
