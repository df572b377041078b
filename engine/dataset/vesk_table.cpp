// The table component: properties, opening and closing, the current order and row reads.
#include "engine/dataset/vesk_table.h"

#include <algorithm>
#include <cstring>

#include "engine/component_error.h"
#include "engine/database.h"
#include "engine/dataset/filter_parser.h"

namespace vesk {

TVeskTable::TVeskTable(std::string componentName, TVeskDatabase* ownerDatabase)
    : TTDEDataSet(std::move(componentName), ownerDatabase) {
    masterLink_.OnMasterChange = [this] { MasterChanged(); };
    masterLink_.OnMasterDisable = [this] { MasterDisabled(); };
}

TVeskTable::~TVeskTable() {
    // The storage hooks are this class's: close while they can still run. A component being
    // destroyed fires no events.
    try {
        TTDBDataSet::Close();
    } catch (...) {
        // A destructor must not throw; closing only frees and gives uses back.
    }
}

void TVeskTable::SetDatabaseName(const std::string& name) {
    TTDEDataSet::SetDatabaseName(name);
    // An open table accepts only its own database name again (any other is refused above);
    // it keeps the table and index it is open on.
    if (Active())
        return;
    tableName_.clear();
    indexName_.clear();
}

void TVeskTable::SetTableName(const std::string& name) {
    if (name == tableName_)
        return;
    CheckInactive();
    tableName_ = name;
}

void TVeskTable::SetIndexName(const std::string& name) {
    // A pending row is posted in the order it was begun in; a post that fails leaves the name
    // and the order as they were, so the two never disagree.
    if (Active())
        CheckBrowseMode();
    indexName_ = name;
    if (name.empty())
        indexIdx_ = -1;
    if (!Active())
        return;
    std::int32_t idx = tableIO_->IndexDefs().IndexOf(name);
    if (idx < 0)
        idx = tableIO_->GetPrimaryIndex();
    LoadCurrentList(idx);
    // The range applies the filter after itself.
    if (!CheckMasterRange(true) && Filtered())
        ActivateFilters();
    ReadFirst();
    NotifyDataChanged();
}

std::int32_t TVeskTable::RecordCount() const {
    return currentList_ ? static_cast<std::int32_t>(currentList_->size()) : 0;
}

bool TVeskTable::GetCanModify() const {
    if (!TTDEDataSet::GetCanModify() || readOnly_)
        return false;
    TVeskDatabase* database = Database();
    return database == nullptr || database->FileIO() == nullptr ||
           !database->FileIO()->ReadOnlyFile();
}

void TVeskTable::InternalOpen() {
    tableIO_ = Database()->FindTableIO(tableName_);
    if (tableIO_ == nullptr)
        Raise("Table '" + tableName_ + "' not found");
    tableIO_->Open();
    tableIOOpen_ = true;
    currentList_.emplace();
    FCurRec = -1;
    FCanModify = true;
    CreateFields();
    indexDefs_.Assign(tableIO_->IndexDefs(), tableIO_->FieldDefs());
    SelectIndex();
    InitRecordLayout();
    AllocWorkBuffers();
}

void TVeskTable::CreateFields() {
    const TVeskFieldDefs& defs = tableIO_->FieldDefs();
    for (std::int32_t i = 0; i < defs.Count(); ++i) {
        const TVeskFieldDef& def = defs.Items(i);
        const bool text = IsTextKind(def.FieldType);
        const std::int32_t valueSize =
            IsBlobKind(def.FieldType) ? 0 : GetFieldDataSize(def.FieldType, def.DataSize);
        MutableFields().Add(std::make_unique<TField>(*this, def.Name, def.FieldType,
                                                     text ? def.DataSize : 0, i + 1, valueSize));
    }
}

void TVeskTable::InternalClose() {
    if (tableIOOpen_ && tableIO_ != nullptr)
        tableIO_->Close();
    tableIOOpen_ = false;
    tableIO_ = nullptr;
    currentList_.reset();
    listNarrowed_ = false;
    rangeActive_ = false;
    rangeFieldCount_ = 0;
    keyCache_.Clear();
    scanCache_.Clear();
}

void TVeskTable::SelectIndex() {
    std::int32_t idx = tableIO_->IndexDefs().IndexOf(indexName_);
    if (idx < 0)
        idx = tableIO_->GetPrimaryIndex();
    LoadCurrentList(idx);
}

void TVeskTable::LoadCurrentList(std::int32_t indexIdx) {
    indexIdx_ = indexIdx;
    currentList_ = tableIO_->GetRecordList(indexIdx + 1);
    listNarrowed_ = false;
    FCanModify = true;
}

TFieldBuffers& TVeskTable::FillFieldBuffers(TRecordBuffer& buffer) {
    TFieldBuffers& buffers = buffer.FieldBuffers();
    if (buffers.Count() > 0)
        return buffers;
    const TVeskFieldDefs& defs = tableIO_->FieldDefs();
    for (std::int32_t i = 0; i < defs.Count(); ++i) {
        const TField* field = Fields().FieldByNumber(i + 1);
        if (field == nullptr) {
            buffers.Add(nullptr, defs.Items(i).FieldType, 0).Active = false;
            continue;
        }
        std::uint8_t* at = buffer.Data() + GetFieldOffset(i + 1);
        buffers.Add(at, field->DataType(), field->IsBlob() ? 0 : field->DataSize());
    }
    return buffers;
}

void TVeskTable::ReadRecordData(TRecordBuffer& buffer, std::int32_t recordIdx) {
    if (recordIdx < 0 || recordIdx >= RecordCount())
        return;
    tableIO_->ReadRecordData(FillFieldBuffers(buffer), *currentList_, recordIdx);
}

TGetResult TVeskTable::GetRecord(TRecordBuffer& buffer, TGetMode mode, bool doCheck) {
    const std::int32_t count = RecordCount();
    if (count < 1)
        return TGetResult::grEOF;
    TGetResult result = TGetResult::grOK;
    switch (mode) {
        case TGetMode::gmCurrent:
            if (FCurRec < 0 || FCurRec >= count)
                result = TGetResult::grError;
            break;
        case TGetMode::gmNext:
            if (FCurRec < count - 1)
                ++FCurRec;
            else
                result = TGetResult::grEOF;
            break;
        case TGetMode::gmPrior:
            if (FCurRec > 0)
                --FCurRec;
            else
                result = TGetResult::grBOF;
            break;
    }
    if (result == TGetResult::grOK) {
        ReadRecordData(buffer, FCurRec);
        buffer.SetBookmarkFlag(TBookmarkFlag::bfCurrent);
        buffer.SetBookmark((*currentList_)[static_cast<size_t>(FCurRec)].EntryNo);
    } else if (result == TGetResult::grError && doCheck) {
        throw EDatabaseError("No records");
    }
    return result;
}

void TVeskTable::InternalGotoBookmark(std::int32_t bookmark) {
    for (std::size_t i = 0; i < currentList_->size(); ++i)
        if ((*currentList_)[i].EntryNo == bookmark) {
            FCurRec = static_cast<std::int32_t>(i);
            return;
        }
    throw EDatabaseError("Bookmark not found");
}

std::optional<std::vector<const TField*>> TVeskTable::FilterFields() const {
    // A handler may look at any field of the row under test.
    if (OnFilterRecord || OnFilterProgress)
        return std::nullopt;
    std::vector<const TField*> fields;
    if (Filter().empty())
        return fields;  // every row passes: nothing to read
    for (const TExprNode* node = FFilterParser->Nodes.Head; node != nullptr; node = node->Next) {
        if (node->Kind != enField)
            continue;
        const TField* field = &Fields().Fields(node->FieldIndex);
        if (field->IsBlob() || field->FieldNo() <= 0)
            return std::nullopt;
        if (std::find(fields.begin(), fields.end(), field) == fields.end())
            fields.push_back(field);
    }
    return fields;
}

void TVeskTable::ReadScanFields(TRecordBuffer& buffer, std::int32_t pos,
                                const std::vector<const TField*>& fields) {
    const TRecordItem& item = (*currentList_)[static_cast<size_t>(pos)];
    for (const TField* field : fields) {
        const TStoredValue value = scanCache_.Value(*tableIO_, item, field->FieldNo() - 1);
        std::uint8_t* at = buffer.Data() + GetFieldOffset(field->FieldNo());
        const auto room = static_cast<size_t>(field->DataSize());
        const size_t size = std::min(static_cast<size_t>(std::max(value.size, 0)), room);
        std::memcpy(at, value.data, size);
        // A kept text has no zero of its own; a text's room is always one byte longer.
        if (size < room)
            std::memset(at + size, 0, IsTextKind(field->DataType()) ? 1 : room - size);
    }
}

namespace {

// How many records ahead a scan asks for the values it will read.
constexpr std::int32_t kScanPrefetchDistance = 8;

bool Passed(const std::vector<std::uint64_t>& bits, size_t pos) {
    return (bits[pos / 64] >> (pos % 64) & 1) != 0;
}

}  // namespace

void TVeskTable::PrefetchScanFields(std::int32_t pos, const std::vector<const TField*>& fields) {
    // Asked for a batch at a time: their loads then overlap one another as well.
    if (pos % kScanPrefetchDistance != 0)
        return;
    const auto count = static_cast<std::int32_t>(currentList_->size());
    for (std::int32_t ahead = pos + kScanPrefetchDistance;
         ahead < std::min(count, pos + 2 * kScanPrefetchDistance); ++ahead)
        for (const TField* field : fields)
            scanCache_.Prefetch(*tableIO_, (*currentList_)[static_cast<size_t>(ahead)],
                                field->FieldNo() - 1);
}

void TVeskTable::ActivateFilters() {
    ParseFilterText(Filter());
    const std::int32_t cursor = FCurRec;
    if (const std::optional<std::vector<const TField*>> fields = FilterFields()) {
        FilterInPlace(*fields, cursor);
        return;
    }
    const std::int32_t count = RecordCount();
    TRecordList kept;
    kept.reserve(static_cast<size_t>(count));
    try {
        // Each whole-record read takes the file's lock itself, so a handler may read other
        // tables of the file meanwhile.
        TTempState filterState(*this, TDataSetState::dsFilter, &ScratchBuffer());
        for (std::int32_t pos = 0; pos < count; ++pos) {
            FCurRec = pos;
            ReadRecordData(ScratchBuffer(), pos);
            if (AcceptRecord())
                kept.push_back((*currentList_)[static_cast<size_t>(pos)]);
            if (OnFilterProgress)
                OnFilterProgress(*this, static_cast<int>(std::int64_t{pos} * 100 / count));
        }
    } catch (...) {
        FCurRec = cursor;
        throw;
    }
    // A filter that passes every row leaves the order as it was.
    if (kept.size() < currentList_->size()) {
        currentList_ = std::move(kept);
        listNarrowed_ = true;
    }
    FCurRec = -1;
}

void TVeskTable::FilterInPlace(const std::vector<const TField*>& fields, std::int32_t cursor) {
    TRecordList& list = *currentList_;
    const size_t count = list.size();
    // The rows that pass move to the front of the order itself, so a pass makes no second
    // order as long as the first. Only rows that did not pass are lost by a move over them;
    // those are put aside first, and on a failure the order is put back from them.
    std::vector<std::uint64_t> passed((count + 63) / 64, 0);
    TRecordList putAside;
    size_t kept = 0;
    size_t pos = 0;
    try {
        const TScanValueCache::TScan scan(scanCache_, *tableIO_);
        TTempState filterState(*this, TDataSetState::dsFilter, &ScratchBuffer());
        for (; pos < count; ++pos) {
            FCurRec = static_cast<std::int32_t>(pos);
            PrefetchScanFields(FCurRec, fields);
            ReadScanFields(ScratchBuffer(), FCurRec, fields);
            if (!AcceptRecord())
                continue;
            if (kept < pos) {
                if (!Passed(passed, kept))
                    putAside.push_back(list[kept]);
                list[kept] = list[pos];
            }
            passed[pos / 64] |= std::uint64_t{1} << (pos % 64);
            ++kept;
        }
    } catch (...) {
        // From the last row met back to the first: a row that passed is the last of those
        // still at the front, one that did not is where it was or the last put aside.
        size_t front = kept;
        for (size_t i = pos; i-- > 0;) {
            if (Passed(passed, i)) {
                list[i] = list[--front];
            } else if (i < kept) {
                list[i] = putAside.back();
                putAside.pop_back();
            }
        }
        FCurRec = cursor;
        throw;
    }
    // A filter that passes every row leaves the order as it was.
    if (kept < count) {
        list.resize(kept);
        listNarrowed_ = true;
    }
    FCurRec = -1;
}

void TVeskTable::DeactivateFilters() {
    SelectIndex();
    // Leaving the filter keeps the master's range.
    if (rangeActive_ && indexIdx_ >= 0)
        NarrowToRange();
    FCurRec = -1;
}

void TVeskTable::ReapplyFilters() {
    TRecordList saved = *currentList_;
    const bool savedNarrowed = listNarrowed_;
    const std::int32_t savedCursor = FCurRec;
    try {
        TTDEDataSet::ReapplyFilters();
    } catch (...) {
        currentList_ = std::move(saved);
        listNarrowed_ = savedNarrowed;
        FCurRec = savedCursor;
        throw;
    }
}

void TVeskTable::InternalRefresh() {
    SelectIndex();
    if (rangeActive_)
        ApplyRange();
    if (Filtered())
        ActivateFilters();
}

void TVeskTable::DoAfterOpen() {
    // The range first, unfiltered: the open's own filtering then narrows it, once.
    if (CheckMasterRange(false))
        ReadFirst();
    TTDEDataSet::DoAfterOpen();
}

}  // namespace vesk
