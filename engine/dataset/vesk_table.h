#pragma once
// TVeskTable: the table component through which the program reaches one table of an engine
// database. It carries the data-set interface of TTDEDataSet on the table's shared storage
// (TVeskTableIO): its current order is its own copy of one storage order (the physical order
// or an index), kept current by its own writes and rebuilt at open and when the order is
// chosen again; writes of another component of the same table show after that.
//
// Rules callers rely on: Edit on an empty table starts an insert; a new row starts zero or
// empty; delete leaves the following row current (the new last row after deleting the last);
// an engine-assigned key is in the row when Post returns; Locate compares exactly and with
// case and leaves the position unchanged when it finds nothing; Close never posts.
//
// Errors: EDatabaseError, prefixed with the component name when raised for it; storage
// errors (duplicate key, lock time-out) pass through unprefixed. A row this component lists
// that the storage no longer holds raises "Record not found" (prefixed) instead of acting on
// another row.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/dataset/data_source.h"
#include "engine/dataset/index_defs.h"
#include "engine/dataset/index_key_cache.h"
#include "engine/dataset/key_value.h"
#include "engine/dataset/scan_value_cache.h"
#include "engine/dataset/tde_dataset.h"
#include "engine/table_io.h"

namespace vesk {

class TVeskTable : public TTDEDataSet {
  public:
    explicit TVeskTable(std::string componentName = {}, TVeskDatabase* ownerDatabase = nullptr);
    ~TVeskTable() override;

    // Clears TableName and IndexName as well, on a closed table; an open one keeps them (it
    // accepts only its own database name).
    void SetDatabaseName(const std::string& name) override;
    const std::string& TableName() const { return tableName_; }
    // Refused while open ("Cannot perform this operation on an open dataset", prefixed).
    void SetTableName(const std::string& name);
    const std::string& IndexName() const { return indexName_; }
    // An open table takes the new order at once and moves to its first row; a name no index
    // has selects the first primary index, else the physical order.
    void SetIndexName(const std::string& name);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    const TIndexDefs& IndexDefs() const { return indexDefs_; }

    std::int32_t RecordCount() const override;
    // The index of the current order (position in the table's index definitions), -1 for the
    // physical order.
    std::int32_t CurrentIndex() const { return indexIdx_; }

    // Makes the first row whose key fields (names separated by ";") equal keyValues current
    // (one value per field). Not found: false, position, Eof and Bof unchanged.
    bool Locate(const std::string& keyFields, const std::vector<TKeyValue>& keyValues,
                TLocateOptions options = {});
    bool Locate(const std::string& keyFields, const TKeyValue& keyValue,
                TLocateOptions options = {}) {
        return Locate(keyFields, std::vector<TKeyValue>{keyValue}, options);
    }
    // The result fields (";"-separated) of the row Locate would find, without moving;
    // nullopt when none.
    std::optional<std::vector<TKeyValue>> Lookup(const std::string& keyFields,
                                                 const std::vector<TKeyValue>& keyValues,
                                                 const std::string& resultFields);

    // Removes every row; the next automatic key is 1. Refused on a closed or read-only
    // component.
    void EmptyTable();

    // The master-detail link: this table shows only the rows whose leading fields of the
    // current index equal the master's fields named in MasterFields (";"-separated), kept
    // current as the master's row changes; closing the master shows every row again. In
    // physical order the master is ignored. A source that leads back to this table raises
    // "Circular datalinks are not allowed" (prefixed). A change of MasterFields that fails (a
    // name the master lacks, a range that cannot be taken or filtered) passes its error on
    // and leaves the names, the order, the filter and the row as they were. A filtering that
    // fails as the master moves leaves the master's range unfiltered and Filtered false. The
    // master's close never fails for the detail: the detail shows every row, dropping a filter
    // that fails on them (a pending row that does not post keeps the range).
    TDataSource* MasterSource() const { return masterLink_.DataSource(); }
    void SetMasterSource(TDataSource* source);
    const std::string& MasterFields() const { return masterLink_.FieldNames(); }
    void SetMasterFields(const std::string& names);
    TDataSource* GetDataSource() const override { return MasterSource(); }
    bool RangeActive() const { return rangeActive_; }
    // The range again on the current order (a refresh): "No index currently active"
    // (prefixed) in physical order.
    void ApplyRange();
    // Every row of the current index again (filtered when Filtered; a filtering that fails
    // leaves them unfiltered with Filtered false and passes its error on).
    void CancelRange();

  protected:
    std::string StoredTableName() const override { return tableName_; }
    void InternalOpen() override;
    void InternalClose() override;
    TGetResult GetRecord(TRecordBuffer& buffer, TGetMode mode, bool doCheck) override;
    void InternalPost() override;
    void InternalDelete() override;
    void InternalGotoBookmark(std::int32_t bookmark) override;
    bool IsCursorOpen() const override { return currentList_.has_value(); }
    void ReadRecordData(TRecordBuffer& buffer, std::int32_t recordIdx) override;
    void ActivateFilters() override;
    void DeactivateFilters() override;
    // Restores the order, the cursor and the narrowing it had when filtering fails.
    void ReapplyFilters() override;
    // The full order of the current index, then the range, then the filter.
    void InternalRefresh() override;
    void DoAfterOpen() override;
    bool GetCanModify() const override;

  private:
    void CreateFields();
    void SelectIndex();
    void LoadCurrentList(std::int32_t indexIdx);
    TFieldBuffers& FillFieldBuffers(TRecordBuffer& buffer);
    void AppendRecord(TRecordBuffer& buffer);
    void ModifyRecord(TRecordBuffer& buffer, std::int32_t pos);
    void DeleteRecord(std::int32_t pos);
    std::int32_t PhysicalPosOf(std::int32_t pos);
    // Takes the current order again from the storage with that entry's row current.
    void ReloadListAt(std::int32_t entryNo);
    void AdjustListForAppend(std::int32_t indexNo, std::int32_t pos, const TRecordItem& item);
    void AdjustListForModify(std::int32_t indexNo, std::int32_t from, std::int32_t to);
    // Whether this component's list is the storage list of the current index around pos.
    bool ListMatchesStorage(std::int32_t pos) const;
    // Where the active row's key belongs in the current list (after equal entries).
    std::int32_t SearchInsertPos(TRecordBuffer& buffer);
    bool LocateRecord(const std::string& keyFields, const std::vector<TKeyValue>& keyValues,
                      TLocateOptions options, bool syncCursor);
    std::vector<TField*> FieldList(const std::string& names) const;
    std::int32_t FindIndexForFields(const std::vector<TField*>& fields, bool caseInsensitive) const;
    std::int32_t LocateByIndex(std::int32_t indexNo, TRecordBuffer& key, bool partialKey);
    std::int32_t LocateByScan(const std::vector<TField*>& fields, TRecordBuffer& key,
                              TLocateOptions options);
    [[noreturn]] void RecordNotFound() const;
    // The fields the parsed filter reads, when a row can be tested with them alone (no
    // OnFilterRecord or OnFilterProgress, which may read any field; no blob, whose stream
    // needs the record); nullopt when the whole record is needed.
    std::optional<std::vector<const TField*>> FilterFields() const;
    // A filter pass that compares fields only and runs no handler, made on the order itself.
    void FilterInPlace(const std::vector<const TField*>& fields, std::int32_t cursor);
    // Asks for the values of fields of the rows a little ahead of pos in the order.
    void PrefetchScanFields(std::int32_t pos, const std::vector<const TField*>& fields);
    // Puts the stored values of those fields of row pos into the buffer.
    void ReadScanFields(TRecordBuffer& buffer, std::int32_t pos,
                        const std::vector<const TField*>& fields);
    void MasterChanged();
    void MasterDisabled();
    // Takes the master range when the link is active and names a field, then filters it when
    // filter and Filtered (else leaves the filtering and the row to the caller); whether the
    // link asked for a range.
    bool CheckMasterRange(bool filter);
    // Narrows the current order to the rows of the master's values; false when nothing
    // changed (physical order, no master field, an index without rows). A failure to take
    // the keys leaves everything as it was.
    bool TakeMasterRange(const std::vector<TField*>& masterFields);
    // The range, then the filter, then the first row. A filtering that fails leaves the range
    // unfiltered and Filtered false, and passes the error on.
    void ApplyMasterRange(const std::vector<TField*>& masterFields);
    // Filters an order that has just followed the master, when Filtered; on a failure the
    // order stays unfiltered with Filtered false, its first row current, and the error passes.
    void FilterFollowingMaster();
    // What the range and the filter made of the current order, with the range keys and the
    // cursor: a failed change of MasterFields puts it back.
    struct TNarrowing {
        TRecordList List;
        bool Narrowed = false;
        bool RangeActive = false;
        std::int32_t RangeFieldCount = 0;
        std::vector<std::uint8_t> StartKey;
        std::vector<std::uint8_t> EndKey;
        bool Filtered = false;
        std::int32_t CurRec = -1;
    };
    TNarrowing SaveNarrowing();
    // Puts it back, re-reads the row at the cursor and tells the followers.
    void RestoreNarrowing(TNarrowing& saved);
    static std::vector<std::uint8_t> KeyBytes(TRecordBuffer& key);
    static void PutKeyBytes(TRecordBuffer& key, const std::vector<std::uint8_t>& bytes);
    // Sets a range key buffer from the master's fields.
    void SetRangeKey(TRecordBuffer& key, const std::vector<TField*>& masterFields);
    // The first position of list whose leading keys equal the start key (where it would go
    // when none does) / the last equal to the end key (before where it would go).
    std::int32_t SearchRangeStart(const TRecordList& list);
    std::int32_t SearchRangeEnd(const TRecordList& list);
    // Keeps of the current order (sorted by the current index) the rows inside the range.
    void NarrowToRange();

    std::string tableName_;
    std::string indexName_;
    bool readOnly_ = false;
    TIndexDefs indexDefs_;
    TVeskTableIO* tableIO_ = nullptr;  // the database's, shared; set while open
    bool tableIOOpen_ = false;
    std::int32_t indexIdx_ = -1;
    std::optional<TRecordList> currentList_;
    bool listNarrowed_ = false;  // a filter narrowed the current list
    TIndexKeyCache keyCache_;
    TScanValueCache scanCache_;      // the fields scans compare, read once per record
    bool listAdjustFailed_ = false;  // placing a written row in the current order failed
    TMasterDataLink masterLink_;
    bool rangeActive_ = false;          // a master range narrows the current order
    std::int32_t rangeFieldCount_ = 0;  // leading index fields the range compares
};

}  // namespace vesk
