// The table component: properties, opening and closing, the current order and row reads.
#include "engine/dataset/vesk_table.h"

#include "engine/component_error.h"
#include "engine/database.h"

namespace vesk {

TVeskTable::TVeskTable(std::string componentName, TVeskDatabase* ownerDatabase)
    : TTDEDataSet(std::move(componentName), ownerDatabase) {}

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
    if (Filtered())
        ActivateFilters();
    ReadFirst();
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
    keyCache_.Clear();
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

void TVeskTable::ActivateFilters() {
    ParseFilterText(Filter());
    TRecordList kept;
    {
        TTempState filterState(*this, TDataSetState::dsFilter, &ScratchBuffer());
        for (std::int32_t pos = 0; pos < RecordCount(); ++pos) {
            ReadRecordData(ScratchBuffer(), pos);
            if (AcceptRecord())
                kept.push_back((*currentList_)[static_cast<size_t>(pos)]);
        }
    }
    currentList_ = std::move(kept);
    listNarrowed_ = true;
    FCurRec = -1;
}

void TVeskTable::DeactivateFilters() {
    LoadCurrentList(indexIdx_);
    FCurRec = -1;
}

}  // namespace vesk
