// The operation sequences of the data-set interface: open, close, the moves, edit, insert,
// append, post, cancel and delete, with their events and error events.
#include "engine/dataset/tde_dataset.h"

#include "engine/dataset/data_source.h"

#include "engine/silent_abort.h"

namespace vesk {

void TTDEDataSet::CheckActive() const {
    if (!Active() || state_ == TDataSetState::dsInactive)
        Raise("Cannot perform this operation on a closed dataset");
}

void TTDEDataSet::CheckBrowseMode() {
    CheckActive();
    switch (state_) {
        case TDataSetState::dsEdit:
        case TDataSetState::dsInsert:
            if (modified_)
                Post();
            else
                Cancel();
            break;
        case TDataSetState::dsSetKey:
            state_ = TDataSetState::dsBrowse;
            break;
        default:
            break;
    }
}

void TTDEDataSet::CheckCanModify() const {
    if (!GetCanModify())
        Raise("Cannot modify a read-only dataset");
}

void TTDEDataSet::CheckOperation(const std::function<void()>& operation,
                                 const TDataSetErrorEvent& event) {
    for (;;) {
        try {
            operation();
            return;
        } catch (const EDatabaseError& error) {
            TDataAction action = TDataAction::daFail;
            if (event)
                event(*this, error, action);
            if (action == TDataAction::daFail)
                throw;
            if (action == TDataAction::daAbort)
                throw EAbort();
        }
    }
}

void TTDEDataSet::Open() {
    if (Active())
        return;
    Fire(BeforeOpen);
    TTDBDataSet::Open();
    try {
        DoAfterOpen();
    } catch (...) {
        // An open that fails (a filter that cannot be applied, an event) leaves it closed.
        TTDBDataSet::Close();
        throw;
    }
}

void TTDEDataSet::InternalOpenCursor() {
    InternalOpen();
    activeBuf_ = AllocRecordBuffer();
    scratchBuf_ = AllocRecordBuffer();
    state_ = TDataSetState::dsBrowse;
    modified_ = false;
    ReadFirst();
}

void TTDEDataSet::DoAfterOpen() {
    if (filtered_) {
        ActivateFilters();
        ReadFirst();
    }
    Fire(AfterOpen);
    if (recordActive_)
        Fire(AfterScroll);
    else
        NotifyDataChanged();
}

void TTDEDataSet::Close() {
    if (!Active())
        return;
    Fire(BeforeClose);
    TTDBDataSet::Close();
    Fire(AfterClose);
}

void TTDEDataSet::InternalCloseCursor() {
    // Also reached when the database closes its data sets and when an open failed part-way.
    state_ = TDataSetState::dsInactive;
    modified_ = false;
    recordActive_ = false;
    eof_ = bof_ = true;
    FFilterBuffer = nullptr;
    FCalcBuffer = nullptr;
    activeBuf_.reset();
    scratchBuf_.reset();
    InternalClose();
    FreeWorkBuffers();
    fields_.Clear();
    fieldOffsets_.clear();
    recordSize_ = 0;
    FCurRec = -1;
    FCanModify = false;
    FKeyBuffer = nullptr;
    // Followers learn of every way a data set closes, the database's closing included.
    const std::vector<TDataSource*> sources = dataSources_;
    for (TDataSource* source : sources)
        source->DataDisabled();
}

void TTDEDataSet::ReadFirst() {
    FCurRec = -1;
    recordActive_ = GetRecord(*activeBuf_, TGetMode::gmNext, false) == TGetResult::grOK;
    bof_ = true;
    eof_ = !recordActive_;
}

void TTDEDataSet::Resync() {
    TRecordBuffer& buffer = *activeBuf_;
    TGetResult result = GetRecord(buffer, TGetMode::gmCurrent, false);
    if (result != TGetResult::grOK)
        result = GetRecord(buffer, TGetMode::gmNext, false);
    if (result != TGetResult::grOK)
        result = GetRecord(buffer, TGetMode::gmPrior, false);
    recordActive_ = result == TGetResult::grOK;
    eof_ = bof_ = !recordActive_;
}

void TTDEDataSet::ClearRowWindow() {
    recordActive_ = false;
    eof_ = bof_ = true;
}

void TTDEDataSet::First() {
    CheckBrowseMode();
    Fire(BeforeScroll);
    ReadFirst();
    Fire(AfterScroll);
}

void TTDEDataSet::Last() {
    CheckBrowseMode();
    Fire(BeforeScroll);
    FCurRec = RecordCount();
    recordActive_ = GetRecord(*activeBuf_, TGetMode::gmPrior, false) == TGetResult::grOK;
    eof_ = true;
    bof_ = !recordActive_;
    Fire(AfterScroll);
}

void TTDEDataSet::Next() {
    CheckBrowseMode();
    if (eof_)
        return;
    Fire(BeforeScroll);
    bof_ = false;
    if (GetRecord(*activeBuf_, TGetMode::gmNext, false) != TGetResult::grOK)
        eof_ = true;
    Fire(AfterScroll);
}

void TTDEDataSet::Prior() {
    CheckBrowseMode();
    if (bof_)
        return;
    Fire(BeforeScroll);
    eof_ = false;
    if (GetRecord(*activeBuf_, TGetMode::gmPrior, false) != TGetResult::grOK)
        bof_ = true;
    Fire(AfterScroll);
}

void TTDEDataSet::Edit() {
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert)
        return;
    CheckActive();
    if (!recordActive_) {
        Insert();
        return;
    }
    CheckBrowseMode();
    CheckCanModify();
    Fire(BeforeEdit);
    // The edit starts from the row as stored: what was written to the buffer in browse state
    // is never stored.
    CheckOperation([this] { GetRecord(*activeBuf_, TGetMode::gmCurrent, true); }, OnEditError);
    state_ = TDataSetState::dsEdit;
    modified_ = false;
    Fire(AfterEdit);
}

void TTDEDataSet::Insert() {
    BeginInsertAppend(false);
}

void TTDEDataSet::Append() {
    BeginInsertAppend(true);
}

void TTDEDataSet::BeginInsertAppend(bool append) {
    CheckBrowseMode();
    CheckCanModify();
    Fire(BeforeInsert);
    Fire(BeforeScroll);
    // Where the new row is begun decides where a post in physical order leaves the cursor.
    if (append)
        FCurRec = RecordCount();
    else if (!recordActive_)
        FCurRec = -1;
    InternalInitRecord(*activeBuf_);
    state_ = TDataSetState::dsInsert;
    if (append) {
        eof_ = true;
        bof_ = false;
    } else {
        eof_ = bof_ = false;
    }
    Fire(OnNewRecord);
    modified_ = false;
    Fire(AfterInsert);
    Fire(AfterScroll);
}

void TTDEDataSet::Post() {
    CheckActive();
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert)
        Raise("Dataset not in edit or insert mode");
    Fire(BeforePost);
    CheckOperation([this] { InternalPost(); }, OnPostError);
    state_ = TDataSetState::dsBrowse;
    modified_ = false;
    Resync();
    Fire(AfterPost);
}

void TTDEDataSet::Cancel() {
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert)
        return;
    const bool inserting = state_ == TDataSetState::dsInsert;
    Fire(BeforeCancel);
    if (inserting)
        Fire(BeforeScroll);
    state_ = TDataSetState::dsBrowse;
    modified_ = false;
    Resync();
    Fire(AfterCancel);
    if (inserting)
        Fire(AfterScroll);
}

void TTDEDataSet::Delete() {
    CheckActive();
    if (state_ == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    if (!recordActive_)
        Raise("Cannot perform this operation on an empty dataset");
    CheckBrowseMode();
    // A read-only component refuses every change, deletes included.
    CheckCanModify();
    Fire(BeforeDelete);
    Fire(BeforeScroll);
    CheckOperation([this] { InternalDelete(); }, OnDeleteError);
    state_ = TDataSetState::dsBrowse;
    Resync();
    Fire(AfterDelete);
    Fire(AfterScroll);
}

}  // namespace vesk
