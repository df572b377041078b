// The table component's writes: post (append or rewrite) with the placing of the row in the
// component's own order, delete and empty.
#include "engine/dataset/vesk_table.h"

#include "engine/database.h"
#include "engine/table_writer.h"

namespace vesk {

void TVeskTable::RecordNotFound() const {
    Raise("Record not found");
}

void TVeskTable::InternalPost() {
    TRecordBuffer& buffer = ActiveBuffer();
    // An edited row stores every blob again: a value never read is loaded first, so it keeps
    // its stored contents (a load that fails stops the post before anything is written).
    for (const auto& stream : buffer.BlobStreams())
        stream->LoadBlob();
    if (State() == TDataSetState::dsEdit)
        ModifyRecord(buffer, FCurRec);
    else
        AppendRecord(buffer);
}

void TVeskTable::AppendRecord(TRecordBuffer& buffer) {
    TVeskTableWriter writer(*tableIO_);
    listAdjustFailed_ = false;
    const std::int32_t entryNo = writer.AppendRecordData(
        FillFieldBuffers(buffer), false,
        [this](std::int32_t indexNo, std::int32_t pos, const TRecordItem& item) {
            // Nothing may escape into the storage's commit: a failure is repaired below.
            try {
                AdjustListForAppend(indexNo, pos, item);
            } catch (...) {
                listAdjustFailed_ = true;
            }
        });
    if (listAdjustFailed_)
        ReloadListAt(entryNo);
}

void TVeskTable::ReloadListAt(std::int32_t entryNo) {
    // The row is stored; this component's order is taken again from the storage (unfiltered,
    // since testing rows could fail again) with the written row current.
    listAdjustFailed_ = false;
    LoadCurrentList(indexIdx_);
    for (std::size_t i = 0; i < currentList_->size(); ++i)
        if ((*currentList_)[i].EntryNo == entryNo) {
            FCurRec = static_cast<std::int32_t>(i);
            return;
        }
}

std::int32_t TVeskTable::PhysicalPosOf(std::int32_t pos) {
    const std::int32_t physPos = tableIO_->ListPosToPhysicalPos(*currentList_, pos);
    if (physPos < 0)
        RecordNotFound();
    return physPos;
}

void TVeskTable::ModifyRecord(TRecordBuffer& buffer, std::int32_t pos) {
    if (pos < 0 || pos >= RecordCount())
        RecordNotFound();
    const std::int32_t physPos = PhysicalPosOf(pos);
    const std::int32_t entryNo = (*currentList_)[static_cast<size_t>(pos)].EntryNo;
    TVeskTableWriter writer(*tableIO_);
    listAdjustFailed_ = false;
    writer.ModifyRecordData(FillFieldBuffers(buffer), physPos, false,
                            [this](std::int32_t indexNo, std::int32_t from, std::int32_t to) {
                                try {
                                    AdjustListForModify(indexNo, from, to);
                                } catch (...) {
                                    listAdjustFailed_ = true;
                                }
                            });
    if (listAdjustFailed_)
        ReloadListAt(entryNo);
}

void TVeskTable::DeleteRecord(std::int32_t pos) {
    if (pos < 0 || pos >= RecordCount())
        RecordNotFound();
    const std::int32_t physPos = PhysicalPosOf(pos);
    TVeskTableWriter writer(*tableIO_);
    writer.DeleteRecord(physPos, false);
    TVeskTableIO::DeleteRecordItem(*currentList_, pos);
}

void TVeskTable::InternalDelete() {
    DeleteRecord(FCurRec);
    if (FCurRec >= RecordCount())
        --FCurRec;
}

bool TVeskTable::ListMatchesStorage(std::int32_t pos) const {
    const TRecordList& storage = tableIO_->GetRecordList(indexIdx_ + 1);
    const TRecordList& own = *currentList_;
    if (listNarrowed_ || own.size() != storage.size() || pos < 0 ||
        static_cast<size_t>(pos) > own.size())
        return false;
    const auto at = static_cast<size_t>(pos);
    if (at > 0 && own[at - 1] != storage[at - 1])
        return false;
    return at == own.size() || own[at] == storage[at];
}

std::int32_t TVeskTable::SearchInsertPos(TRecordBuffer& buffer) {
    if (currentList_->empty())
        return 0;
    std::int32_t indicator = 0;
    const std::int32_t found = tableIO_->SearchIndexedField(FillFieldBuffers(buffer), *currentList_,
                                                            indexIdx_, indicator, 0, false);
    return indicator < 0 ? found : found + 1;
}

void TVeskTable::AdjustListForAppend(std::int32_t indexNo, std::int32_t pos,
                                     const TRecordItem& item) {
    if (indexNo != indexIdx_)
        return;
    TRecordList& list = *currentList_;
    if (indexNo == -1) {
        list.push_back(item);
        return;
    }
    // The storage's position holds for this list only while it is the same order; a list
    // that is filtered or missing rows another component wrote is searched by key instead.
    if (!ListMatchesStorage(pos))
        pos = SearchInsertPos(ActiveBuffer());
    TVeskTableIO::InsertRecordItem(list, pos, item);
    FCurRec = pos;
}

void TVeskTable::AdjustListForModify(std::int32_t indexNo, std::int32_t from, std::int32_t to) {
    if (indexNo != indexIdx_)
        return;
    TRecordList& list = *currentList_;
    if (FCurRec < 0 || static_cast<size_t>(FCurRec) >= list.size())
        RecordNotFound();
    const TRecordItem item = list[static_cast<size_t>(FCurRec)];
    if (from == FCurRec && ListMatchesStorage(from)) {
        const std::int32_t target = from < to ? to - 1 : to;
        TVeskTableIO::DeleteRecordItem(list, from);
        TVeskTableIO::InsertRecordItem(list, target, item);
        FCurRec = target;
        return;
    }
    TVeskTableIO::DeleteRecordItem(list, FCurRec);
    const std::int32_t pos = SearchInsertPos(ActiveBuffer());
    TVeskTableIO::InsertRecordItem(list, pos, item);
    FCurRec = pos;
}

void TVeskTable::EmptyTable() {
    // Sound refusals: the storage of a closed component may be gone, and a read-only
    // component changes nothing.
    CheckActive();
    CheckBrowseMode();
    CheckCanModify();
    TVeskTableWriter(*tableIO_).EmptyTable();
    currentList_->clear();
    FCurRec = -1;
    ClearRowWindow();
    // The row is gone: a detail linked to this table follows, as after any move.
    NotifyDataChanged();
}

}  // namespace vesk
