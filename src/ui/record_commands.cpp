#include "ui/record_commands.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstring>
#include <memory>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include "data/data_source.h"
#include "data/record.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

// The texts of this file, translated under one context.
struct command_text {
  Q_DECLARE_TR_FUNCTIONS(tarvik::record_commands)
};

template <typename Number>
bool same_bits(Number a, Number b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

std::optional<std::size_t> position_of(DataSource& store, int identifier) {
  const std::vector<int> ids = store.identifiers();
  const auto found = std::find(ids.begin(), ids.end(), identifier);
  if (found == ids.end()) return std::nullopt;
  return static_cast<std::size_t>(found - ids.begin());
}

// The record a step means: the one with `identifier` while it holds
// `values`, else the first in store order that holds them under a higher
// identifier (a merge renumbers a record only upwards, to the next free
// one), whose identifier then replaces `identifier`. A lower-numbered twin
// is another record the user had, never this one.
Record* find_record(DataSource& store, int& identifier, const record_values& values) {
  Record* record = store.record(identifier);
  if (record != nullptr && same_values(*record, values)) return record;
  for (const int other : store.identifiers()) {
    if (other <= identifier) continue;
    Record* candidate = store.record(other);
    if (candidate != nullptr && same_values(*candidate, values)) {
      identifier = other;
      return candidate;
    }
  }
  return nullptr;
}

void refuse(record_log& log, QUndoCommand& command, const char* step) {
  log.refused(command_text::tr("Could not %1 %2: the record has been changed or removed in the "
                             "log since.")
                  .arg(command_text::tr(step), command.text()));
  command.setObsolete(true);
}

// Takes the record out of the store into `taken`; its position, or nothing
// when it is not there (or another record shares its identifier ahead of
// it).
std::optional<std::size_t> take_out(record_log& log, int& identifier, const record_values& values,
                                    taken_record& taken) {
  DataSource& store = log.store();
  const Record* record = find_record(store, identifier, values);
  if (record == nullptr || store.record(identifier) != record) return std::nullopt;
  const std::optional<std::size_t> position = position_of(store, identifier);
  if (!position) return std::nullopt;
  taken = store.take(identifier);
  log.changed({record_change::kind::removed, *position, identifier});
  return position;
}

// Puts the record with the values back at `position` (or the end), under a
// fresh identifier when its own has been given to another record since:
// the one `taken` out before, with its text, while it still holds them.
void put_back(record_log& log, int& identifier, const record_values& values,
              std::size_t position, taken_record& taken) {
  DataSource& store = log.store();
  if (store.record(identifier) != nullptr) identifier = store.next_id();
  position = std::min(position, store.identifiers().size());
  if (taken.record != nullptr && same_values(*taken.record, values)) {
    store.put_back(position, std::move(taken), identifier);
  } else {
    auto record = std::make_unique<Record>(identifier);
    set_values(*record, values);
    store.insert(position, record.release());
  }
  taken = {};
  log.changed({record_change::kind::added, position, identifier});
}

// Where records holding given values are, among those with identifiers
// from `lowest` up, built on first need: for an undo of many records that
// the store renumbered, one pass over the store rather than one a record.
class records_by_values {
 public:
  records_by_values(DataSource& store_, int lowest_) : store(store_), lowest(lowest_) {}

  // The identifier of a held record with `values` not found before, or -1.
  int take(const record_values& values) {
    if (!built) build();
    const auto [first, last] = ids.equal_range(key_of(values));
    for (auto it = first; it != last; ++it) {
      const Record* candidate = store.record(it->second);
      if (candidate != nullptr && same_values(*candidate, values)) {
        const int found = it->second;
        ids.erase(it);
        return found;
      }
    }
    return -1;
  }

 private:
  static std::size_t key_of(const record_values& values) {
    return std::hash<std::string>()(values.operation) ^
           (std::hash<long>()(values.date) * 31) ^ (std::hash<double>()(values.mileage) * 131);
  }

  void build() {
    built = true;
    for (const int id : store.identifiers()) {
      if (id < lowest) continue;
      if (const Record* record = store.record(id)) ids.emplace(key_of(values_of(*record)), id);
    }
  }

  DataSource& store;
  int lowest;
  bool built = false;
  std::unordered_multimap<std::size_t, int> ids;
};

}  // namespace

record_values values_of(const Record& record) {
  return {record.date(), record.mileage(), record.operation(), record.notes(), record.cost(),
          record.other_fields()};
}

void set_values(Record& record, const record_values& values) {
  record.date(values.date);
  record.mileage(values.mileage);
  record.operation(values.operation);
  record.notes(values.notes);
  record.cost(values.cost);
  record.other_fields(values.fields);
}

bool same_values(const record_values& a, const record_values& b) {
  return a.date == b.date && same_bits(a.mileage, b.mileage) && a.operation == b.operation &&
         a.notes == b.notes && same_bits(a.cost, b.cost) &&
         std::equal(a.fields.begin(), a.fields.end(), b.fields.begin(), b.fields.end(),
                    [](const hash_element& x, const hash_element& y) {
                      return x.key == y.key && x.value == y.value;
                    });
}

bool same_values(const Record& record, const record_values& values) {
  return same_values(values_of(record), values);
}

QString entry_name(const record_values& values) {
  QString name = to_widget_text(values.operation).simplified();
  // An undo menu entry or an answer stays one short line.
  constexpr int longest = 40;
  if (name.size() > longest) name = name.left(longest - 1).trimmed() + QChar(0x2026);
  if (!name.isEmpty()) return name;
  return QCoreApplication::translate("tarvik::record_commands", "an entry without operation");
}

QString entry_day(const record_values& values) {
  Record dated(0);
  dated.date(values.date);
  return to_widget_text(dated.value("date"));
}

new_record_command::new_record_command(record_log& log_, int identifier_, record_values values_)
    : QUndoCommand(
          QCoreApplication::translate("tarvik::record_commands", "New %1").arg(entry_name(values_))),
      log(log_),
      identifier(identifier_),
      values(std::move(values_)) {}

void new_record_command::redo() { put_back(log, identifier, values, position, taken); }

void new_record_command::undo() {
  const std::optional<std::size_t> at = take_out(log, identifier, values, taken);
  if (!at) return refuse(log, *this, QT_TRANSLATE_NOOP("tarvik::record_commands", "undo"));
  position = *at;
}

edit_record_command::edit_record_command(record_log& log_, int identifier_,
                                         record_values before_, record_values after_)
    : QUndoCommand(
          QCoreApplication::translate("tarvik::record_commands", "Edit %1").arg(entry_name(after_))),
      log(log_),
      identifier(identifier_),
      before(std::move(before_)),
      after(std::move(after_)) {}

void edit_record_command::redo() { change(before, after, "redo", before_text, after_text); }

void edit_record_command::undo() { change(after, before, "undo", after_text, before_text); }

void edit_record_command::change(const record_values& from, const record_values& to,
                                 const char* step, std::shared_ptr<const removed_text>& from_text,
                                 const std::shared_ptr<const removed_text>& to_text) {
  DataSource& store = log.store();
  Record* record = find_record(store, identifier, from);
  const std::optional<std::size_t> position =
      record != nullptr ? position_of(store, identifier) : std::nullopt;
  if (!position) return refuse(log, *this, step);
  from_text = store.text_of(identifier);
  set_values(*record, to);
  // The block it had with these values, as the user wrote it.
  if (to_text != nullptr) store.give_back_text(identifier, to_text);
  log.changed({record_change::kind::changed, *position, identifier});
}

delete_record_command::delete_record_command(record_log& log_, int identifier_,
                                             record_values values_, std::size_t position_)
    : QUndoCommand(
          QCoreApplication::translate("tarvik::record_commands", "Delete %1").arg(entry_name(values_))),
      log(log_),
      identifier(identifier_),
      values(std::move(values_)),
      position(position_) {}

void delete_record_command::redo() {
  const std::optional<std::size_t> at = take_out(log, identifier, values, taken);
  if (!at) return refuse(log, *this, QT_TRANSLATE_NOOP("tarvik::record_commands", "redo"));
  position = *at;
}

void delete_record_command::undo() { put_back(log, identifier, values, position, taken); }

import_records_command::import_records_command(record_log& log_,
                                               std::vector<record_values> entries_)
    : QUndoCommand(QCoreApplication::translate("tarvik::record_commands", "Import CSV")),
      log(log_),
      entries(std::move(entries_)),
      identifiers(entries.size(), -1),
      held(entries.size(), false) {}

void import_records_command::redo() {
  DataSource& store = log.store();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (held[i]) continue;
    if (identifiers[i] < 0 || store.record(identifiers[i]) != nullptr) {
      identifiers[i] = store.next_id();
    }
    // Every record the log held before has a lower identifier; whatever
    // this import added has this or a higher one, even when a merge
    // renumbers it.
    if (first_new_id < 0) first_new_id = identifiers[i];
    auto record = std::make_unique<Record>(identifiers[i]);
    set_values(*record, entries[i]);
    store.record(record.release());
    held[i] = true;
  }
  log.changed_many();
}

void import_records_command::undo() {
  DataSource& store = log.store();
  // A record the user had before the import is never taken for one of its
  // own, however alike.
  records_by_values elsewhere(store, first_new_id);
  std::size_t taken = 0;
  std::size_t left = 0;
  // Last first: the store then takes each from its end.
  for (std::size_t i = entries.size(); i-- > 0;) {
    if (!held[i]) continue;
    const Record* record = store.record(identifiers[i]);
    if (record == nullptr || !same_values(*record, entries[i])) {
      // Renumbered by the store, perhaps: the same values under another
      // identifier.
      const int other = elsewhere.take(entries[i]);
      record = other >= 0 ? store.record(other) : nullptr;
      if (record == nullptr) {
        ++left;
        continue;
      }
      identifiers[i] = other;
    }
    std::unique_ptr<Record> removed(store.remove(identifiers[i]));
    held[i] = false;
    ++taken;
  }
  if (taken > 0) log.changed_many();
  if (left == 0) return;
  if (taken == 0) {
    log.refused(command_text::tr("Could not undo Import CSV: every imported record has been "
                               "changed or removed in the log since."));
    setObsolete(true);
    return;
  }
  log.refused(command_text::tr("Undo Import CSV left %1 of the imported records in the log: they "
                             "have been changed or removed there since.")
                  .arg(left));
}

}  // namespace tarvik
