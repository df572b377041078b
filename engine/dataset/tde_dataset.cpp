// The record-buffer layer of the engine's data sets: layout, field values, new-row values,
// blob streams, bookmarks, record numbers and the filter switches.
#include "engine/dataset/tde_dataset.h"

#include <cstring>

#include "engine/component_error.h"
#include "engine/database.h"
#include "engine/dataset/data_source.h"
#include "engine/dataset/filter_parser.h"
#include "engine/dataset/vesk_blob_stream.h"
#include "engine/day_number.h"
#include "engine/file_format.h"
#include "engine/session.h"
#include "platform/os/clock.h"

namespace vesk {

namespace {

// The current moment as day number and milliseconds of the day.
void Today(std::int32_t& dayNumber, std::int32_t& msOfDay) {
    const os::LocalDateTime now = os::Now();
    dayNumber = 0;
    msOfDay = 0;
    EncodeDayNumber(TCivilDate{now.year, now.month, now.day}, dayNumber);
    EncodeMsOfDay(TClockTime{now.hour, now.minute, now.second, now.millisecond}, msOfDay);
}

std::int32_t AreaSize(const TField& field) {
    return field.IsBlob() ? static_cast<std::int32_t>(sizeof(TOptimBlobStream*)) : field.DataSize();
}

}  // namespace

TTDEDataSet::TTDEDataSet(std::string componentName, TVeskDatabase* ownerDatabase)
    : TTDBDataSet(std::move(componentName), ownerDatabase),
      FFilterParser(std::make_unique<TFilterParser>(*this)) {}

TTDEDataSet::~TTDEDataSet() {
    for (TDataSource* source : dataSources_)
        source->dataSet_ = nullptr;
}

void TTDEDataSet::NotifyDataChanged(const TField* field) {
    const std::vector<TDataSource*> sources = dataSources_;
    for (TDataSource* source : sources)
        source->DataChanged(field);
}

void TTDEDataSet::Refresh() {
    CheckBrowseMode();
    const std::int32_t bookmark = GetBookmark();
    InternalRefresh();
    FCurRec = -1;
    if (bookmark >= 0) {
        try {
            InternalGotoBookmark(bookmark);
        } catch (const EDatabaseError&) {
            FCurRec = -1;  // the row left the order: the first row instead
        }
    }
    if (FCurRec < 0)
        ReadFirst();
    else
        Resync();
    NotifyDataChanged();
}

void TTDEDataSet::Raise(const std::string& message) const {
    RaiseComponentError(Name(), message);
}

TField& TTDEDataSet::FieldByName(std::string_view name) const {
    TField* field = fields_.FindField(name);
    if (field == nullptr)
        Raise("Field '" + std::string(name) + "' not found");
    return *field;
}

void TTDEDataSet::InitRecordLayout() {
    std::int32_t largest = 0;
    for (std::int32_t i = 0; i < fields_.Count(); ++i)
        largest = std::max(largest, fields_.Fields(i).FieldNo());
    fieldOffsets_.assign(static_cast<size_t>(largest), 0);
    std::int32_t offset = 0;
    for (std::int32_t i = 0; i < fields_.Count(); ++i) {
        const TField& field = fields_.Fields(i);
        if (field.FieldNo() <= 0)
            continue;
        fieldOffsets_[static_cast<size_t>(field.FieldNo() - 1)] = offset;
        offset += AreaSize(field);
    }
    recordSize_ = offset;
}

std::int32_t TTDEDataSet::GetFieldOffset(std::int32_t fieldNo) const {
    return fieldOffsets_.at(static_cast<size_t>(fieldNo - 1));
}

std::unique_ptr<TRecordBuffer> TTDEDataSet::AllocRecordBuffer() {
    auto buffer = std::make_unique<TRecordBuffer>(recordSize_);
    for (std::int32_t i = 0; i < fields_.Count(); ++i) {
        const TField& field = fields_.Fields(i);
        if (field.IsBlob() && field.FieldNo() > 0)
            buffer->AddBlobStream(GetFieldOffset(field.FieldNo()), *this);
    }
    return buffer;
}

void TTDEDataSet::InternalInitRecord(TRecordBuffer& buffer) {
    std::int32_t dayNumber = 0;
    std::int32_t msOfDay = 0;
    Today(dayNumber, msOfDay);
    for (std::int32_t i = 0; i < fields_.Count(); ++i) {
        const TField& field = fields_.Fields(i);
        if (field.FieldNo() <= 0)
            continue;
        std::uint8_t* at = buffer.Data() + GetFieldOffset(field.FieldNo());
        switch (field.DataType()) {
            case ftDateTime:
                format::PutF64(at, static_cast<double>(dayNumber) * kMsPerDay + msOfDay);
                break;
            case ftDate:
                format::PutI32(at, dayNumber);
                break;
            case ftTime:
                format::PutI32(at, msOfDay);
                break;
            default:
                if (field.IsBlob()) {
                    if (TOptimBlobStream* stream =
                            buffer.BlobStreamAt(GetFieldOffset(field.FieldNo())))
                        stream->Empty();
                } else {
                    std::memset(at, 0, static_cast<size_t>(field.DataSize()));
                }
        }
    }
    buffer.SetBookmark(-1);
    buffer.SetBookmarkFlag(TBookmarkFlag::bfInserted);
}

void TTDEDataSet::AllocWorkBuffers() {
    FreeWorkBuffers();
    try {
        for (int i = 0; i < 2; ++i) {
            FWorkBuffers.push_back(AllocRecordBuffer());
            InternalInitRecord(*FWorkBuffers.back());
        }
    } catch (...) {
        FreeWorkBuffers();
        throw;
    }
}

void TTDEDataSet::FreeWorkBuffers() {
    FWorkBuffers.clear();
}

TRecordBuffer* TTDEDataSet::GetActiveRecBuf() const {
    switch (state_) {
        case TDataSetState::dsBrowse:
            return recordActive_ ? activeBuf_.get() : nullptr;
        case TDataSetState::dsEdit:
        case TDataSetState::dsInsert:
        case TDataSetState::dsNewValue:
            return activeBuf_.get();
        case TDataSetState::dsSetKey:
            if (FKeyBuffer != nullptr)
                return FKeyBuffer;
            return FWorkBuffers.empty() ? nullptr : FWorkBuffers.front().get();
        case TDataSetState::dsCalcFields:
            return FCalcBuffer;
        case TDataSetState::dsFilter:
            return FFilterBuffer;
        default:
            return nullptr;
    }
}

bool TTDEDataSet::GetFieldData(const TField& field, void* value) const {
    TRecordBuffer* buffer = GetActiveRecBuf();
    if (buffer == nullptr)
        return false;
    if (value == nullptr)
        return true;
    if (field.IsBlob())
        throw EDatabaseError("General error");
    std::memcpy(value, buffer->Data() + GetFieldOffset(field.FieldNo()),
                static_cast<size_t>(field.DataSize()));
    return true;
}

void TTDEDataSet::SetFieldData(const TField& field, const void* value) {
    TRecordBuffer* buffer = GetActiveRecBuf();
    if (buffer == nullptr || value == nullptr)
        return;
    if (field.IsBlob())
        throw EDatabaseError("General error");
    std::memcpy(buffer->Data() + GetFieldOffset(field.FieldNo()), value,
                static_cast<size_t>(field.DataSize()));
    NotifyFieldChange(field);
}

void TTDEDataSet::NotifyFieldChange(const TField& field) {
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) {
        modified_ = true;
        NotifyDataChanged(&field);
    }
}

void TTDEDataSet::ReadBlobContent(TMemoryStream& dest, std::int64_t descriptorPos, bool decipher,
                                  bool decompress) {
    TVeskDatabase* database = Database();
    if (database == nullptr || database->FileIO() == nullptr)
        Raise("Cannot perform this operation on a closed dataset");
    const std::string table = StoredTableName();
    const TValuePlace place{table.empty() ? nullptr : &table, nullptr, -1};
    database->FileIO()->ReadFieldContent(dest, descriptorPos, kBlobDescriptorSize, true, decipher,
                                         decompress, &place);
}

std::unique_ptr<TVeskBlobStream> TTDEDataSet::CreateBlobStream(TField& field,
                                                               TBlobStreamMode mode) {
    if (!field.IsBlob())
        throw EDatabaseError("Cannot access field '" + field.FieldName() + "' as type Blob");
    return std::make_unique<TVeskBlobStream>(field, mode);
}

std::int32_t TTDEDataSet::GetBookmark() const {
    if (!recordActive_)
        return -1;
    return activeBuf_->Bookmark();
}

void TTDEDataSet::GotoBookmark(std::int32_t bookmark) {
    CheckBrowseMode();
    Fire(BeforeScroll);
    InternalGotoBookmark(bookmark);
    Resync();
    Fire(AfterScroll);
}

std::int32_t TTDEDataSet::RecNo() {
    CheckActive();
    if (FCurRec != -1)
        return FCurRec + 1;
    return RecordCount() > 0 ? 1 : 0;
}

void TTDEDataSet::SetRecNo(std::int32_t value) {
    CheckBrowseMode();
    if (value < 0 || value > RecordCount() || value == RecNo())
        return;
    Fire(BeforeScroll);
    FCurRec = value - 1;
    Resync();
    Fire(AfterScroll);
}

void TTDEDataSet::SetMediumType(TVeskDBMediumType value) {
    if (value == mediumType_)
        return;
    CheckInactive();
    // The database first: when it refuses (it is connected), this data set keeps its medium.
    if (TVeskDatabase* database = GetDBSession().FindDatabase(DatabaseName()))
        database->SetMediumType(value);
    mediumType_ = value;
}

void TTDEDataSet::ParseFilterText(const std::string& text) {
    if (!text.empty())
        FFilterParser->Parse(text);
}

bool TTDEDataSet::CalculateFilterText() {
    return FFilterParser->Calculate(filterOptions_);
}

bool TTDEDataSet::AcceptRecord() {
    bool accept = true;
    if (OnFilterRecord)
        OnFilterRecord(*this, accept);
    if (accept && !filter_.empty())
        accept = CalculateFilterText();
    return accept;
}

void TTDEDataSet::SetFilterData(const std::string& text, TFilterOptions options) {
    bool changed = false;
    const std::string oldText = filter_;
    if (Active()) {
        CheckBrowseMode();
        ParseFilterText(text);
        changed = text != filter_ || options != filterOptions_;
    }
    filter_ = text;
    filterOptions_ = options;
    if (changed && filtered_) {
        try {
            ReapplyFilters();
        } catch (...) {
            filter_ = oldText;
            throw;
        }
        ReadFirst();
        NotifyDataChanged();
    }
}

void TTDEDataSet::SetFiltered(bool value) {
    if (!Active()) {
        filtered_ = value;
        return;
    }
    CheckBrowseMode();
    if (value != filtered_) {
        if (value)
            ActivateFilters();
        else
            DeactivateFilters();
        filtered_ = value;
    }
    First();
}

bool TTDEDataSet::FindRecord(bool restart, bool goForward) {
    CheckBrowseMode();
    Fire(BeforeScroll);
    const std::int32_t count = RecordCount();
    std::int32_t from = 0;
    std::int32_t step = 1;
    if (goForward) {
        from = restart ? 0 : FCurRec + 1;
    } else {
        from = restart ? count - 1 : FCurRec - 1;
        step = -1;
    }
    ParseFilterText(filter_);
    const std::int32_t remembered = FCurRec;
    bool found = false;
    {
        TTempState filterState(*this, TDataSetState::dsFilter, scratchBuf_.get());
        for (std::int32_t pos = from; pos >= 0 && pos < count; pos += step) {
            ReadRecordData(*scratchBuf_, pos);
            if (AcceptRecord()) {
                FCurRec = pos;
                found = true;
                break;
            }
        }
    }
    if (!found)
        FCurRec = remembered;
    Resync();
    if (found)
        Fire(AfterScroll);
    return found;
}

TTDEDataSet::TTempState::TTempState(TTDEDataSet& dataSet, TDataSetState state,
                                    TRecordBuffer* buffer)
    : dataSet_(dataSet),
      oldState_(dataSet.state_),
      oldFilterBuffer_(dataSet.FFilterBuffer),
      oldCalcBuffer_(dataSet.FCalcBuffer),
      oldKeyBuffer_(dataSet.FKeyBuffer) {
    if (state == TDataSetState::dsFilter)
        dataSet_.FFilterBuffer = buffer;
    else if (state == TDataSetState::dsCalcFields)
        dataSet_.FCalcBuffer = buffer;
    else if (state == TDataSetState::dsSetKey)
        dataSet_.FKeyBuffer = buffer;
    dataSet_.state_ = state;
}

TTDEDataSet::TTempState::~TTempState() {
    dataSet_.state_ = oldState_;
    dataSet_.FFilterBuffer = oldFilterBuffer_;
    dataSet_.FCalcBuffer = oldCalcBuffer_;
    dataSet_.FKeyBuffer = oldKeyBuffer_;
}

}  // namespace vesk
