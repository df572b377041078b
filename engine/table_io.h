#pragma once
// TVeskTableIO: the storage state of one table of a connected database: its header, field and
// index definitions, record layout, record tab and, for the physical order and for every
// index, an ordered list of its live records. Every open data set of the table shares it.
//
// Loading reads everything once; afterwards only this object's own writes change the state.
// Errors: EDatabaseError ("Table '%s' not found", "Invalid unique field value '%s'", the
// file's lock time-out and damage errors); a failed load leaves the object unloaded with
// OpenCount unchanged. Every locked step releases the lock on error.
//
// Damage: loading refuses a header whose counts, names (stored_text.h), field types, text
// sizes or index keys (none, out of range, a blob) are outside the format, an index order that
// leaves its tab, loops or skips a live entry (an index without chunks has an empty order, as the
// format reads it), and a record-tab entry, live or deleted, whose record offset breaks the
// placement rule (record_placement.h), and a structure of the table (header, chunks, records, blob
// areas) that shares bytes with any other structure of the file (structure_map.h: the load makes
// the file's map current). Every read checks the record offset it reads at by the placement rule,
// so a read in physical order and one through an index see the same rows, and no read returns the
// bytes of a structure as a row.
//
// Positions: index numbers are positions in IndexDefs, -1 the physical order; list 0 is the
// physical order, list i + 1 the order of index i.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/db_file_io.h"
#include "engine/field_buffers.h"
#include "engine/record_placement.h"
#include "engine/table_defs.h"

namespace vesk {

// What a table needs of its database.
class TTableIOOwner {
  public:
    virtual ~TTableIOOwner() = default;
    // The open file; throws EDatabaseError("Cannot perform this operation on a closed
    // database") when the database is not connected.
    virtual TVeskDBFileIO& FileIO() = 0;
    // The file's table names in table-number order (read at connect).
    virtual const std::vector<std::string>& TableNames() = 0;
    // Whether the file's encryption and compression are on (same error when not connected).
    virtual bool EncryptionOn() { return FileIO().EncryptionOn(); }
    virtual bool CompressionOn() { return FileIO().CompressionOn(); }
};

// An element of every ordered list: where the record is and its record-tab entry number. The
// entry number names the record within one load of the table (a data set's bookmark); across
// loads a row is the same only with the same entry and offset, since an emptied table gives
// its entry numbers out again to records placed anew.
struct TRecordItem {
    std::int32_t RecordOffset = 0;
    std::int32_t EntryNo = 0;
    bool operator==(const TRecordItem&) const = default;
};
using TRecordList = std::vector<TRecordItem>;
using TRecordTabItems = std::vector<TRecordTabItem>;

class TVeskTableIO {
  public:
    explicit TVeskTableIO(TTableIOOwner& owner, std::string tableName = {});

    // Life. Open loads on the first open, then counts; Close counts down (never below 0) and
    // unloads at 0.
    void Open();
    void Close();
    void LoadTable();  // under the file lock
    void Unload();
    void SetTableName(const std::string& name) { tableName_ = name; }
    // Position of TableName among the database's table names, case ignored; -1 when absent.
    std::int32_t FindTableIdx();

    bool Loaded() const { return tableNo_ >= 0; }
    std::int32_t OpenCount() const { return openCount_; }
    const std::string& TableName() const { return tableName_; }
    std::int32_t TableNo() const { return tableNo_; }
    const TVeskFieldDefs& FieldDefs() const { return fieldDefs_; }
    const TVeskIndexDefs& IndexDefs() const { return indexDefs_; }
    std::int32_t RecordSize() const { return recordSize_; }
    const std::vector<std::int32_t>& FieldOffsets() const { return fieldOffsets_; }
    std::int32_t AutoIncField() const { return autoIncField_; }
    TTableIOOwner& Owner() const { return owner_; }

    // The state the writers keep current.
    std::vector<std::uint8_t>& HeaderCopy() { return headerCopy_; }
    TRecordTabItems& RecordTabEntries() { return recordTabEntries_; }
    std::vector<std::int32_t>& RecordTabChunks() { return recordTabChunks_; }
    std::vector<std::vector<std::int32_t>>& IndexTabChunks() { return indexTabChunks_; }

    // List i (0: physical order, i + 1: index i). Throws std::out_of_range.
    TRecordList& GetRecordList(std::int32_t i) { return recordLists_.at(static_cast<size_t>(i)); }
    std::int32_t RecordListCount() const { return static_cast<std::int32_t>(recordLists_.size()); }
    // Builds list L when it does not exist yet (re-reading the record tab first when asked).
    void LoadIndexOrder(std::int32_t listNo, bool reReadRecordTab);

    // The file's encryption applies to field i / its compression applies to blob field i.
    bool CanEncryptField(std::int32_t fieldNo);
    bool CanCompressField(std::int32_t fieldNo);

    // File positions of record-tab entry e and of index i's index-tab entry e; throw the
    // damage error when e lies beyond the chunks.
    std::int64_t RecordTabEntryPos(std::int32_t entryNo) const;
    std::int64_t IndexTabEntryPos(std::int32_t indexNo, std::int32_t entryNo) const;

    // The record of item pos of list into the record buffers of buffers (one item per field),
    // under the file lock. Blob items are only told where their value is.
    void ReadRecordData(TFieldBuffers& buffers, const TRecordList& list, std::int32_t pos);
    // The decoded value of one field of the record with that entry number (the record offset
    // is read from the file's record-tab entry); a blob yields its whole value. No lock.
    void ReadFieldValue(TMemoryStream& dest, std::int32_t entryNo, std::int32_t fieldNo);
    // The same for the record of an item of one of this table's lists, read at the item's
    // record offset (records never move while the table is loaded). No lock.
    void ReadFieldValue(TMemoryStream& dest, const TRecordItem& item, std::int32_t fieldNo);

    // Throws the damage error unless the record of item may lie where the item says (the
    // rule every read of a record keeps; record_placement.h).
    void CheckRecordPlacement(const TRecordItem& item) {
        CheckRecordOffset(item.EntryNo, item.RecordOffset);
    }
    // The write counter of the table's header copy: it moves with every write of the table.
    std::int32_t WriteCounter() const;

    // -1, 0 or 1 by the expression evaluator's "=" and then "<". Each value is read up to its
    // size in bytes (a text also up to its first zero byte).
    static int CompareFieldValue(const void* value1, std::int32_t size1, const void* value2,
                                 std::int32_t size2, TFieldType fieldType, bool caseInsensitive,
                                 bool partialCompare);

    // Bisection of list for the key in buffers over index indexNo's key fields (fieldCount 0:
    // all). indicator: 0 equal, 1 the key belongs after the result, -1 before, -2 empty list.
    std::int32_t SearchIndexedField(const TFieldBuffers& buffers, const TRecordList& list,
                                    std::int32_t indexNo, std::int32_t& indicator,
                                    std::int32_t fieldCount, bool partialCompare);
    // The first (findFirst) or last equal position, else as SearchIndexedField.
    std::int32_t SearchIndexedFieldBound(const TFieldBuffers& buffers, const TRecordList& list,
                                         std::int32_t indexNo, bool findFirst,
                                         std::int32_t& indicator, std::int32_t fieldCount,
                                         bool partialCompare);
    // Where a new key goes in index indexNo's list: right after the equal entry met.
    std::int32_t SearchInsertPos(const TFieldBuffers& buffers, std::int32_t indexNo,
                                 std::int32_t& indicator);
    // The first index with tiPrimary, -1 when none.
    std::int32_t GetPrimaryIndex() const;
    // Throw EDatabaseError("Invalid unique field value '<values>'") on a duplicate key of a
    // primary or unique index; for modify, the record at physPos itself is no duplicate.
    void CheckUniqueFieldForAppend(const TFieldBuffers& buffers);
    void CheckUniqueFieldForModify(const TFieldBuffers& buffers, std::int32_t physPos);

    // Moving between orders; each yields -1 for a position out of range or a record not found
    // (one of another list that this table no longer holds with the same entry and offset).
    std::int32_t ConvertRecordPos(std::int32_t fromIndex, std::int32_t pos, std::int32_t toIndex);
    std::int32_t IndexPosToPhysicalPos(std::int32_t indexNo, std::int32_t pos);
    std::int32_t ListPosToPhysicalPos(const TRecordList& list, std::int32_t pos);
    std::int32_t IndexPosToListPos(std::int32_t indexNo, std::int32_t pos, const TRecordList& list);

    // List operations (copies in and out). Positions out of range throw std::out_of_range.
    static void AddRecordItem(TRecordList& list, const TRecordItem& item);
    static void InsertRecordItem(TRecordList& list, std::int32_t pos, const TRecordItem& item);
    static void DeleteRecordItem(TRecordList& list, std::int32_t pos);
    static TRecordItem GetRecordItem(const TRecordList& list, std::int32_t pos);
    static void ClearRecordList(TRecordList& list) { list.clear(); }

  private:
    void InitFieldDefs();
    void InitIndexDefs();
    void InitRecordTab();
    void InitFieldOffsets();
    void InitAutoIncField();
    // Builds the placement rule from the file's table headers and every table's chunks, and
    // checks every record-tab entry by it.
    void InitRecordPlacement();
    // Puts this table's structures into the file's structure map and throws the damage error
    // when one of them shares bytes with any other structure of the file.
    void InitStructures(std::int32_t tableNo);
    // Throws the damage error when an index order with chunks holds fewer live entries than
    // the physical order.
    void CheckIndexOrders();
    // Throws the damage error unless a record of this table may lie at offset.
    void CheckRecordOffset(std::int32_t entryNo, std::int64_t offset);
    void CheckFieldBuffers(const TFieldBuffers& buffers) const;
    // Compares the key with the stored record of item over the index's first fieldCount keys.
    int CompareKey(const TFieldBuffers& buffers, const TRecordItem& item,
                   const TVeskIndexDef& index, std::int32_t fieldCount, bool partialCompare);
    const TVeskIndexDef& IndexAt(std::int32_t indexNo) const;
    std::int32_t PhysicalPosOfEntry(std::int32_t entryNo) const;
    std::string KeyText(const TFieldBuffers& buffers, const TVeskIndexDef& index) const;
    bool CheckUnique(const TFieldBuffers& buffers, std::int32_t exceptPhysPos);

    TTableIOOwner& owner_;
    std::int32_t openCount_ = 0;
    std::string tableName_;
    std::int32_t tableNo_ = -1;
    TVeskFieldDefs fieldDefs_;
    TVeskIndexDefs indexDefs_;
    std::int32_t recordSize_ = 0;
    std::vector<std::uint8_t> recordWork_;  // ReadRecordData's buffer, kept between reads
    std::vector<std::int32_t> fieldOffsets_;
    std::int32_t autoIncField_ = -1;
    std::vector<std::uint8_t> headerCopy_;
    TRecordTabItems recordTabEntries_;
    std::vector<std::int32_t> recordTabChunks_;
    std::vector<std::vector<std::int32_t>> indexTabChunks_;
    std::vector<TRecordList> recordLists_;
    TRecordPlacement placement_;
};

}  // namespace vesk
