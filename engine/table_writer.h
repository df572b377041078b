#pragma once
// The four writing operations of a table: append, modify in place, delete and empty. Each
// works on the file and keeps the table storage object's in-memory state (header copy, chunk
// offsets, record tab, ordered lists) equal to what a fresh load of the file would give.
//
// Every operation runs under the file lock. Before it writes, it re-reads the table header
// and reloads the table when another handle has written since (each write advances a write
// counter kept in the header's reserved bytes), so two handles never claim the same entry.
//
// Failure: a duplicate key raises "Invalid unique field value '<values>'" before anything is
// written. Any later error (codecs, lock time-out, stream) rolls back every structure the
// operation had changed, reloads the table's state from the file and passes the error on; the
// caller's auto-increment value is given back. Nothing written is ever reclaimed.
//
// A write cut short with no rollback (its process killed) loses at most the row it was writing:
// every prefix of its writes is a file the loader reads with every other row as before. An
// append makes its row live with its last write; a modify that moves the row in an index or
// stores a blob hides the row behind its deleted flag meanwhile (so the row is then old, new or
// gone, never mixed); the header, whose write counter tells other handles that the table
// changed, is written before anything they would read differently.
//
// A modify or delete names its row by its position in the physical order as this object held
// it; once the table is current the row must still have the same entry and record offset, else
// "Record not found" (a row another handle deleted, or emptied away and gave the entry again).
//
// Field buffers hold one item per field of the table; the caller's record buffers are changed
// in place: text values are cut to their size and zero-padded (append), the auto-increment
// value is the one stored once the call returns.
#include <cstdint>
#include <functional>

#include "engine/field_buffers.h"
#include "engine/table_io.h"

namespace vesk {

// Told while an append changes the ordered lists: (index number, insert position, item); index
// number -1 (with position -1) stands for the physical order.
using TAdjustAppendEvent =
    std::function<void(std::int32_t indexNo, std::int32_t pos, const TRecordItem& item)>;
// Told while a modify moves a record in an index: (index number, old position, new position),
// positions counted in the order before the move.
using TAdjustModifyEvent =
    std::function<void(std::int32_t indexNo, std::int32_t oldPos, std::int32_t newPos)>;

class TVeskTableWriter {
  public:
    // table must be loaded (open); it is not owned.
    explicit TVeskTableWriter(TVeskTableIO& table) : table_(table) {}

    // Appends a record. Returns its record-tab entry number.
    std::int32_t AppendRecordData(TFieldBuffers& buffers, bool flush,
                                  const TAdjustAppendEvent& onAdjust = {});
    // Rewrites the record at physPos (its position in the physical order) in place and moves it
    // in every index whose key changed.
    void ModifyRecordData(TFieldBuffers& buffers, std::int32_t physPos, bool flush,
                          const TAdjustModifyEvent& onAdjust = {});
    // Marks the record at physPos deleted and takes it out of every list.
    void DeleteRecord(std::int32_t physPos, bool flush);
    // Forgets every record: the next append gets entry 0 and automatic key 1. Always flushes.
    void EmptyTable();

  private:
    TVeskTableIO& table_;
};

}  // namespace vesk
