#ifndef TARVIK_UI_RECORD_COMMANDS_H_
#define TARVIK_UI_RECORD_COMMANDS_H_

#include <QString>
#include <QUndoCommand>
#include <cstddef>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "data/data_source.h"
#include "data/record.h"

namespace tarvik {

// The values of a record that the user can change: the five fields and
// the fields beyond them (Record::other_fields).
struct record_values {
  long date = 0;
  double mileage = 0;
  std::string operation;
  std::string notes;
  float cost = 0;
  std::vector<hash_element> fields;
};

record_values values_of(const Record& record);
void set_values(Record& record, const record_values& values);
// Equal to the bit (numbers) and byte (texts), so a NaN equals itself.
bool same_values(const Record& record, const record_values& values);
bool same_values(const record_values& a, const record_values& b);

// How the answers and the undo history name an entry: its operation on one
// line, cut short when long ("Oil change"), and its day ("2024-05-01").
QString entry_name(const record_values& values);
QString entry_day(const record_values& values);

// What one step of a command did to the store, for the window to show.
struct record_change {
  enum class kind { added, removed, changed };
  kind what;
  std::size_t position;  // in store order, as it was for a removal
  int identifier;
};

// What the commands need of the window: the store, and someone to show and
// save each change and to tell the user when a step cannot be taken.
class record_log {
 public:
  virtual DataSource& store() = 0;
  virtual void changed(const record_change& change) = 0;
  // Many records changed in one step: show the store afresh and save once,
  // rather than once a record.
  virtual void changed_many() = 0;
  virtual void refused(const QString& why) = 0;

 protected:
  ~record_log() = default;
};

// New, Edit and Delete as undoable steps. They hold no pointers to records
// in the store: each finds its record by identifier and the values it last
// left it with, or, when the store renumbered it, by those values alone (a
// record they took out they keep, with its text, to put it back as it was); a record changed
// or removed since by someone else is not touched. A step that cannot be
// taken says so through refused() and drops out of the undo history.
// Every step goes through the store's operations and then changed().

class new_record_command : public QUndoCommand {
 public:
  new_record_command(record_log& log, int identifier, record_values values);
  void redo() override;
  void undo() override;

 private:
  record_log& log;
  int identifier;
  record_values values;
  std::size_t position = std::numeric_limits<std::size_t>::max();  // the end
  taken_record taken;  // while undone: the record as the store had it
};

class edit_record_command : public QUndoCommand {
 public:
  edit_record_command(record_log& log, int identifier, record_values before,
                      record_values after);
  void redo() override;
  void undo() override;

 private:
  void change(const record_values& from, const record_values& to, const char* step,
              std::shared_ptr<const removed_text>& from_text,
              const std::shared_ptr<const removed_text>& to_text);

  record_log& log;
  int identifier;
  record_values before;
  record_values after;
  // The record's block with each, once the step has left it.
  std::shared_ptr<const removed_text> before_text;
  std::shared_ptr<const removed_text> after_text;
};

class delete_record_command : public QUndoCommand {
 public:
  delete_record_command(record_log& log, int identifier, record_values values,
                        std::size_t position);
  void redo() override;
  void undo() override;

 private:
  record_log& log;
  int identifier;
  record_values values;
  std::size_t position;
  taken_record taken;  // while done: the record with its text, to put back
};

// Import as one step: redo appends every entry at the end of the store
// under a fresh identifier (or the one it had, while still free), undo takes
// them all out again. Entries changed or removed elsewhere since are left
// where they are, and said so; the step drops out of the history only when
// none could be taken out. Each step calls changed_many() once.
class import_records_command : public QUndoCommand {
 public:
  import_records_command(record_log& log, std::vector<record_values> entries);
  void redo() override;
  void undo() override;

 private:
  record_log& log;
  std::vector<record_values> entries;
  std::vector<int> identifiers;  // -1 until first added
  std::vector<bool> held;        // in the store, as this command last left it
  int first_new_id = -1;         // the first identifier it gave
};

}  // namespace tarvik

#endif  // TARVIK_UI_RECORD_COMMANDS_H_
