#ifndef TARVIK_DATA_DATA_SOURCE_H_
#define TARVIK_DATA_DATA_SOURCE_H_

#include <cstddef>
#include <memory>
#include <vector>

#include "data/record.h"

namespace tarvik {

struct removed_text;

// A record taken out of a store (see DataSource::take) with what the store
// kept of its text, to put it back as the log had it. It owns both: nothing
// in it points into the store.
struct taken_record {
  std::unique_ptr<Record> record;
  std::shared_ptr<const removed_text> text;  // null: the store keeps no text
};

// The record store as the user interface sees it. A store owns every record
// it holds: from the moment a record is handed to record(Record*) until
// remove() hands it back (then the caller owns it) or the store is destroyed.
class DataSource {
 public:
  DataSource() = default;
  DataSource(const DataSource&) = delete;
  DataSource& operator=(const DataSource&) = delete;
  virtual ~DataSource() = default;

  // Writes every held record to the backing file. True when the file now
  // holds exactly the store's records; false (with a diagnostic on stderr)
  // when it still holds what it held before.
  virtual bool commit() = 0;

  // Takes the first record with `identifier`, in store order, out of the
  // store and hands it to the caller; null when there is none.
  virtual Record* remove(int identifier) = 0;

  // The identifiers of all held records, in store order.
  virtual std::vector<int> identifiers() = 0;

  // A fresh identifier, never handed out before by this store.
  virtual int next_id() = 0;

  // The first held record, in store order, with `identifier`, or null. The
  // record stays in the store; the caller may change it and then commit.
  virtual Record* record(int identifier) = 0;

  // Adds a record made with new at the end; the store takes ownership. A
  // null pointer is ignored.
  virtual void record(Record* record) = 0;

  // Adds a record made with new at `position` in store order (the end when
  // `position` is past it); the store takes ownership. For undoing a removal
  // where the record stood. A null pointer is ignored.
  virtual void insert(std::size_t position, Record* record) = 0;

  // remove() for a record that may be put back: the record with what the
  // store needs to write it again as it stood in the file (its comment
  // lines, its layout). Null record when there is none.
  virtual taken_record take(int identifier) {
    return {std::unique_ptr<Record>(remove(identifier)), nullptr};
  }

  // Undoes a take(): puts the record back at `position` (as insert) under
  // `identifier`, a fresh copy of it when that is not its own, so that the
  // next commit writes its block as it stood, the number in its tag aside,
  // unless its values changed meanwhile.
  virtual void put_back(std::size_t position, taken_record taken, int identifier) {
    if (taken.record == nullptr) return;
    if (taken.record->identifier() != identifier) taken.record = taken.record->copy_as(identifier);
    insert(position, taken.record.release());
  }

  // The text the store holds for the record `identifier` as it now stands,
  // while it has no changes since it was read or written; null otherwise
  // (and from a store that keeps no text). For giving it back with
  // give_back_text when a change is undone.
  virtual std::shared_ptr<const removed_text> text_of(int /*identifier*/) { return nullptr; }

  // Makes `text` (from text_of) what the next commit writes for the record
  // `identifier`, when it reads as the values the record holds now: an
  // edit undone leaves the block as it was. Does nothing otherwise.
  virtual void give_back_text(int /*identifier*/, const std::shared_ptr<const removed_text>& /*text*/) {}

  // Drops every held record and reads the backing file again.
  virtual void rollback() = 0;
};

}  // namespace tarvik

#endif  // TARVIK_DATA_DATA_SOURCE_H_
