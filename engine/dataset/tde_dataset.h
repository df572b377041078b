#pragma once
// TTDEDataSet: the engine's data set. It carries the data-set interface (states, the current
// row, Eof and Bof, the moves, edit, insert, append, post, cancel, delete, bookmarks, record
// numbers, the filter switches and the events) and the record-buffer layer beneath it (the
// layout of a record buffer, field values in and out of it, the values of a new row, blob
// streams). Storage comes from a descendant (TVeskTable), through the protected hooks.
//
// The row window is one record buffer: the current row, or the row being built. The cursor
// FCurRec is the current row's position in the descendant's current order (-1 before the
// first row).
//
// Errors: EDatabaseError; those raised for the data set begin with its component name, a
// colon and a blank. An operation that fails leaves the data set open and usable: a failing
// post keeps the edit or insert state with the row's values; a temporary state (filter,
// calc-fields) is always left again. Events are plain callbacks; an exception from one passes
// on and ends the operation.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/dataset/data_set_types.h"
#include "engine/dataset/field_list.h"
#include "engine/dataset/record_buffer.h"
#include "engine/db_dataset.h"
#include "engine/db_error.h"

namespace vesk {

class TDataSource;
class TFilterParser;
class TVeskBlobStream;
enum class TBlobStreamMode { bmRead, bmWrite, bmReadWrite };

class TTDEDataSet : public TTDBDataSet {
  public:
    using TDataSetNotifyEvent = std::function<void(TTDEDataSet&)>;
    using TFilterRecordEvent = std::function<void(TTDEDataSet&, bool& accept)>;
    using TFilterProgressEvent = std::function<void(TTDEDataSet&, int percent)>;
    using TDataSetErrorEvent =
        std::function<void(TTDEDataSet&, const EDatabaseError&, TDataAction&)>;

    explicit TTDEDataSet(std::string componentName = {}, TVeskDatabase* ownerDatabase = nullptr);
    ~TTDEDataSet() override;

    // Opening and closing. Close never posts: a pending row is dropped. Data sources on this
    // data set hear of the open (a changed row) and of the close (disabled).
    void Open();
    void Close();
    void SetActive(bool value) { value ? Open() : Close(); }

    // Moves; each first leaves edit or insert (posting a modified row, else cancelling).
    void First();
    void Last();
    void Next();
    void Prior();

    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();

    TDataSetState State() const { return state_; }
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    bool Modified() const { return modified_; }
    // No current row (closed, or open on no row).
    bool IsEmpty() const { return !recordActive_; }
    // Rows in the current order (0 while closed).
    virtual std::int32_t RecordCount() const { return 0; }
    std::int32_t RecNo();
    void SetRecNo(std::int32_t value);
    bool CanModify() const { return GetCanModify(); }

    // Fields exist while open.
    const TFields& Fields() const { return fields_; }
    TField* FindField(std::string_view name) const { return fields_.FindField(name); }
    // "Field '%s' not found" (prefixed) when no field has that name.
    TField& FieldByName(std::string_view name) const;

    // The record-tab entry number of the current row; GotoBookmark makes that row current
    // ("Bookmark not found" when it left the current order).
    std::int32_t GetBookmark() const;
    void GotoBookmark(std::int32_t bookmark);
    bool BookmarkValid(std::int32_t /*bookmark*/) const { return IsCursorOpen(); }

    // Filter switches. Without a filter text every row passes unless OnFilterRecord says no.
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& text) { SetFilterData(text, filterOptions_); }
    TFilterOptions FilterOptions() const { return filterOptions_; }
    void SetFilterOptions(TFilterOptions options) { SetFilterData(filter_, options); }
    bool Filtered() const { return filtered_; }
    void SetFiltered(bool value);
    TFilterRecordEvent OnFilterRecord;
    // Called once per row tested while the current order is filtered, with the share of the
    // rows tested before it (0 to 99).
    TFilterProgressEvent OnFilterProgress;
    // The searches for the first, last, next and prior row that passes the filter.
    bool FindFirst() { return FindRecord(true, true); }
    bool FindLast() { return FindRecord(true, false); }
    bool FindNext() { return FindRecord(false, true); }
    bool FindPrior() { return FindRecord(false, false); }

    // Leaves edit or insert, then takes the current order again from the storage (with the
    // range and the filter applied anew); the current row stays when it is still there, else
    // the first row is current.
    void Refresh();
    // The data source this data set follows (a detail table's master); none here.
    virtual TDataSource* GetDataSource() const { return nullptr; }

    TVeskDBMediumType MediumType() const override { return mediumType_; }
    // Refused while open ("Cannot perform this operation on an open dataset", prefixed); the
    // database of DatabaseName, when there is one, takes the same medium.
    void SetMediumType(TVeskDBMediumType value);

    // A stream on a blob field of the current row (the caller owns it). Throws "Cannot access
    // field '%s' as type Blob" for any other field.
    std::unique_ptr<TVeskBlobStream> CreateBlobStream(TField& field, TBlobStreamMode mode);

    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose, BeforeScroll, AfterScroll,
        BeforeInsert, AfterInsert, BeforeEdit, AfterEdit, BeforePost, AfterPost, BeforeCancel,
        AfterCancel, BeforeDelete, AfterDelete, OnNewRecord;
    TDataSetErrorEvent OnPostError, OnEditError, OnDeleteError;

    // The record-buffer layer, used by fields and blob streams.
    // The buffer field reads and writes address in the current state; nullptr when none.
    TRecordBuffer* GetActiveRecBuf() const;
    bool HasActiveRecord() const { return GetActiveRecBuf() != nullptr; }
    // Copies the field's value out of / into the active record buffer. Get answers false when
    // there is no active buffer; Set then does nothing. A null value leaves the stored value.
    // Blob fields: "General error".
    bool GetFieldData(const TField& field, void* value) const;
    void SetFieldData(const TField& field, const void* value);
    // A field of the active row changed: marks the row modified in edit and insert state.
    void NotifyFieldChange(const TField& field);
    // Reads one stored blob value through the database's file (no file lock).
    void ReadBlobContent(TMemoryStream& dest, std::int64_t descriptorPos, bool decipher,
                         bool decompress);
    std::int32_t GetFieldOffset(std::int32_t fieldNo) const;

  protected:
    // The name of the stored table the data set reads, named in damage errors; empty here.
    virtual std::string StoredTableName() const { return {}; }
    // Storage hooks of the descendant.
    // Opens the storage and makes the fields (then InitRecordLayout, AllocWorkBuffers); must
    // leave nothing behind that InternalClose does not undo.
    virtual void InternalOpen() {}
    virtual void InternalClose() {}
    virtual TGetResult GetRecord(TRecordBuffer& /*buffer*/, TGetMode /*mode*/, bool /*doCheck*/) {
        return TGetResult::grEOF;
    }
    // Writes the active row (edit: rewrite, insert: append) and places it in the current order.
    virtual void InternalPost() {}
    virtual void InternalDelete() {}
    virtual void InternalGotoBookmark(std::int32_t /*bookmark*/) {}
    virtual bool IsCursorOpen() const { return false; }
    virtual void ReadRecordData(TRecordBuffer& /*buffer*/, std::int32_t /*recordIdx*/) {}
    virtual void ActivateFilters() {}
    virtual void DeactivateFilters() {}
    // A changed filter: the full order again, then filtered. A failure passes on; a
    // descendant that can restores the order it had before.
    virtual void ReapplyFilters() {
        DeactivateFilters();
        ActivateFilters();
    }
    virtual void InternalRefresh() {}
    // After the storage is open: the filter when Filtered, then the open's events.
    virtual void DoAfterOpen();
    virtual bool GetCanModify() const { return FCanModify; }
    // Parses a filter text ahead of testing rows (nothing for an empty text); raises the
    // parser's errors (filter_parser.h).
    virtual void ParseFilterText(const std::string& text);
    // The parsed filter's verdict on the row in FFilterBuffer, with the current options.
    virtual bool CalculateFilterText();
    // Sets Filtered and nothing else: for a descendant that has put its order in step with
    // the value itself (a filtering that failed after the order changed, an order put back).
    void SetFilteredFlag(bool value) { filtered_ = value; }

    // Helpers for the descendant.
    void InitRecordLayout();
    std::unique_ptr<TRecordBuffer> AllocRecordBuffer();
    void InternalInitRecord(TRecordBuffer& buffer);
    void AllocWorkBuffers();
    void FreeWorkBuffers();
    TFields& MutableFields() { return fields_; }
    void CheckActive() const;
    void CheckBrowseMode();
    void CheckCanModify() const;
    // Whether the row in FFilterBuffer passes OnFilterRecord and the filter text.
    bool AcceptRecord();
    // Re-reads the current row at FCurRec (else the next, else the prior row).
    void Resync();
    // No current row: Eof and Bof true.
    void ClearRowWindow();
    // Moves to the first row of the current order (no events, no browse-mode check).
    void ReadFirst();
    TRecordBuffer& ActiveBuffer() { return *activeBuf_; }
    TRecordBuffer& ScratchBuffer() { return *scratchBuf_; }
    [[noreturn]] void Raise(const std::string& message) const;
    // Tells the data sources on this data set that its row or state changed (field nullptr)
    // or that one field's value changed.
    void NotifyDataChanged(const TField* field = nullptr);

    // Puts the data set into a temporary state for a scope and restores the old one on every
    // way out.
    class TTempState {
      public:
        TTempState(TTDEDataSet& dataSet, TDataSetState state, TRecordBuffer* buffer);
        ~TTempState();
        TTempState(const TTempState&) = delete;
        TTempState& operator=(const TTempState&) = delete;

      private:
        TTDEDataSet& dataSet_;
        TDataSetState oldState_;
        TRecordBuffer* oldFilterBuffer_;
        TRecordBuffer* oldCalcBuffer_;
        TRecordBuffer* oldKeyBuffer_;
    };

    std::int32_t FCurRec = -1;
    bool FCanModify = false;
    TRecordBuffer* FFilterBuffer = nullptr;
    TRecordBuffer* FKeyBuffer = nullptr;  // the set-key state's buffer (one of FWorkBuffers)
    TRecordBuffer* FCalcBuffer = nullptr;
    std::vector<std::unique_ptr<TRecordBuffer>> FWorkBuffers;
    std::unique_ptr<TFilterParser> FFilterParser;  // its field nodes read the active buffer

  private:
    friend class TDataSource;
    void InternalOpenCursor() override;
    void InternalCloseCursor() override;
    void BeginInsertAppend(bool append);
    void SetFilterData(const std::string& text, TFilterOptions options);
    bool FindRecord(bool restart, bool goForward);
    // Runs an operation, handing an engine error to the error event (retry, abort, fail).
    void CheckOperation(const std::function<void()>& operation, const TDataSetErrorEvent& event);
    // Runs an event; after a scroll, a post or a cancel the data sources hear that the row
    // changed.
    void Fire(const TDataSetNotifyEvent& event) {
        if (event)
            event(*this);
        if (&event == &AfterScroll || &event == &AfterPost || &event == &AfterCancel)
            NotifyDataChanged();
    }

    TDataSetState state_ = TDataSetState::dsInactive;
    bool eof_ = true;
    bool bof_ = true;
    bool modified_ = false;
    bool recordActive_ = false;
    TFields fields_;
    std::int32_t recordSize_ = 0;
    std::vector<std::int32_t> fieldOffsets_;
    std::unique_ptr<TRecordBuffer> activeBuf_;
    std::unique_ptr<TRecordBuffer> scratchBuf_;
    std::string filter_;
    TFilterOptions filterOptions_ = 0;
    bool filtered_ = false;
    TVeskDBMediumType mediumType_ = mtDisk;
    std::vector<TDataSource*> dataSources_;  // sources naming this data set (not owned)
};

}  // namespace vesk
