#ifndef TARVIK_DATA_DATA_SOURCE_H_
#define TARVIK_DATA_DATA_SOURCE_H_

#include <cstddef>
#include <vector>

#include "data/record.h"

namespace tarvik {

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

  // Drops every held record and reads the backing file again.
  virtual void rollback() = 0;
};

}  // namespace tarvik

#endif  // TARVIK_DATA_DATA_SOURCE_H_
