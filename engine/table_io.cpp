#include "engine/table_io.h"

#include <algorithm>

#include "engine/db_error.h"
#include "engine/file_format.h"
#include "platform/os/collation.h"

namespace vesk {

namespace {

std::string Quoted(const std::string& name) {
    return "'" + name + "'";
}

}  // namespace

TVeskTableIO::TVeskTableIO(TTableIOOwner& owner, std::string tableName)
    : owner_(owner), tableName_(std::move(tableName)) {}

void TVeskTableIO::Open() {
    if (openCount_ == 0)
        LoadTable();
    ++openCount_;
}

void TVeskTableIO::Close() {
    if (openCount_ == 0)
        return;
    if (--openCount_ == 0)
        Unload();
}

void TVeskTableIO::Unload() {
    tableNo_ = -1;
    fieldDefs_.Clear();
    indexDefs_.Clear();
    recordSize_ = 0;
    fieldOffsets_.clear();
    autoIncField_ = -1;
    headerCopy_.clear();
    recordTabEntries_.clear();
    recordTabChunks_.clear();
    indexTabChunks_.clear();
    recordLists_.clear();
}

std::int32_t TVeskTableIO::FindTableIdx() {
    const std::vector<std::string>& names = owner_.TableNames();
    for (size_t i = 0; i < names.size(); ++i)
        if (os::CompareAnsiText(names[i], tableName_, true) == 0)
            return static_cast<std::int32_t>(i);
    return -1;
}

void TVeskTableIO::LoadTable() {
    TVeskDBFileIO& file = owner_.FileIO();
    const std::int32_t tableNo = FindTableIdx();
    if (tableNo < 0)
        throw EDatabaseError(FormatMessage("Table '%s' not found", tableName_));
    Unload();
    try {
        TFileLockGuard lock(file);
        headerCopy_.assign(format::kTableHeaderSize, 0);
        file.ReadTableHeader(tableNo, headerCopy_.data());
        const std::int32_t fieldCount = format::GetI32(headerCopy_.data() + format::kHdrFieldCount);
        const std::int32_t indexCount = format::GetI32(headerCopy_.data() + format::kHdrIndexCount);
        if (fieldCount < 0 || fieldCount > format::kMaxFields)
            file.ThrowDamaged("table " + Quoted(tableName_) + " counts " +
                              std::to_string(fieldCount) + " fields");
        if (indexCount < 0 || indexCount > format::kMaxIndexes)
            file.ThrowDamaged("table " + Quoted(tableName_) + " counts " +
                              std::to_string(indexCount) + " indexes");
        indexTabChunks_.assign(static_cast<size_t>(indexCount), {});
        InitFieldDefs();
        InitIndexDefs();
        InitRecordTab();
        InitFieldOffsets();
        InitAutoIncField();
    } catch (...) {
        Unload();
        throw;
    }
    tableNo_ = tableNo;
}

void TVeskTableIO::InitFieldDefs() {
    const std::int32_t count = format::GetI32(headerCopy_.data() + format::kHdrFieldCount);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint8_t* def =
            headerCopy_.data() + format::kHdrFields + i * format::kFieldDefSize;
        // Stored names are never empty; should one be, it keeps the stored (empty) name.
        TVeskFieldDef& field =
            fieldDefs_.Add(std::string(format::GetText(def + format::kFldName, format::kNameSize)));
        field.Name = std::string(format::GetText(def + format::kFldName, format::kNameSize));
        field.FieldType = static_cast<TFieldType>(def[format::kFldType]);
        field.DataSize = format::GetI32(def + format::kFldDataSize);
        field.ProcessMode = def[format::kFldProcessMode];
    }
}

void TVeskTableIO::InitIndexDefs() {
    TVeskDBFileIO& file = owner_.FileIO();
    const std::int32_t count = format::GetI32(headerCopy_.data() + format::kHdrIndexCount);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint8_t* def =
            headerCopy_.data() + format::kHdrIndexes + i * format::kIndexDefSize;
        TVeskIndexDef& index =
            indexDefs_.Add(std::string(format::GetText(def + format::kIdxName, format::kNameSize)));
        index.Name = std::string(format::GetText(def + format::kIdxName, format::kNameSize));
        index.SetOptions(def[format::kIdxOptions]);
        for (std::int32_t k = 0; k < format::kMaxKeyFields; ++k) {
            const std::int32_t fieldNo = format::GetI32(def + format::kIdxFields + 4 * k);
            if (fieldNo == -1)
                break;
            if (fieldNo < 0 || fieldNo >= fieldDefs_.Count())
                file.ThrowDamaged("index " + Quoted(index.Name) + " of table " +
                                  Quoted(tableName_) + " names key field " +
                                  std::to_string(fieldNo));
            index.FieldNumbers.push_back(fieldNo);
        }
    }
}

void TVeskTableIO::InitRecordTab() {
    recordLists_.clear();
    owner_.FileIO().ReadRecordTab(headerCopy_.data(), recordTabEntries_, recordTabChunks_);
    for (std::int32_t listNo = 0; listNo <= indexDefs_.Count(); ++listNo)
        LoadIndexOrder(listNo, false);
}

void TVeskTableIO::LoadIndexOrder(std::int32_t listNo, bool reReadRecordTab) {
    if (listNo < RecordListCount())
        return;
    if (listNo != RecordListCount() || listNo > indexDefs_.Count())
        throw EDatabaseError("Invalid index number " + std::to_string(listNo - 1));
    TVeskDBFileIO& file = owner_.FileIO();
    if (reReadRecordTab)
        file.ReadRecordTab(headerCopy_.data(), recordTabEntries_, recordTabChunks_);
    TRecordList list;
    const auto entryCount = static_cast<std::int32_t>(recordTabEntries_.size());
    if (listNo == 0) {
        for (std::int32_t e = 0; e < entryCount; ++e)
            if (!recordTabEntries_[static_cast<size_t>(e)].Deleted())
                list.push_back({recordTabEntries_[static_cast<size_t>(e)].RecordOffset, e});
    } else {
        const std::int32_t indexNo = listNo - 1;
        const std::uint8_t* def =
            headerCopy_.data() + format::kHdrIndexes + indexNo * format::kIndexDefSize;
        std::vector<std::int32_t>& chunks = indexTabChunks_.at(static_cast<size_t>(indexNo));
        chunks.clear();
        if (format::GetI32(def + format::kIdxFirstChunk) != 0 && entryCount > 0) {
            std::vector<TIndexTabItem> entries;
            file.ReadIndexTab(headerCopy_.data(), indexNo, entries, chunks);
            const std::string what = "the order of index " +
                                     Quoted(indexDefs_.Items(indexNo).Name) + " of table " +
                                     Quoted(tableName_);
            // Every entry may be met once: a chain that leaves the tab or meets an entry
            // twice is refused rather than followed.
            std::vector<bool> met(static_cast<size_t>(entryCount), false);
            for (std::int32_t e = format::GetI32(def + format::kIdxHead); e != -1;
                 e = entries[static_cast<size_t>(e)].Next) {
                if (e < 0 || e >= entryCount)
                    file.ThrowDamaged(what + " links to entry " + std::to_string(e));
                if (met[static_cast<size_t>(e)])
                    file.ThrowDamaged(what + " loops back to entry " + std::to_string(e));
                met[static_cast<size_t>(e)] = true;
                const TRecordTabItem& entry = recordTabEntries_[static_cast<size_t>(e)];
                if (!entry.Deleted())
                    list.push_back({entry.RecordOffset, e});
            }
        }
    }
    recordLists_.push_back(std::move(list));
}

void TVeskTableIO::InitFieldOffsets() {
    recordSize_ = ComputeRecordLayout(fieldDefs_, fieldOffsets_);
}

void TVeskTableIO::InitAutoIncField() {
    autoIncField_ = -1;
    for (std::int32_t i = 0; i < fieldDefs_.Count(); ++i)
        if (fieldDefs_.Items(i).FieldType == ftAutoInc) {
            autoIncField_ = i;
            return;
        }
}

bool TVeskTableIO::CanEncryptField(std::int32_t fieldNo) {
    return owner_.EncryptionOn() && fieldDefs_.Items(fieldNo).ProcessMode == 0;
}

bool TVeskTableIO::CanCompressField(std::int32_t fieldNo) {
    const TVeskFieldDef& field = fieldDefs_.Items(fieldNo);
    return owner_.CompressionOn() && IsBlobKind(field.FieldType) && field.ProcessMode == 0;
}

std::int64_t TVeskTableIO::RecordTabEntryPos(std::int32_t entryNo) const {
    const std::int32_t chunk = entryNo / format::kEntriesPerChunk;
    if (entryNo < 0 || static_cast<size_t>(chunk) >= recordTabChunks_.size())
        throw EDatabaseError("Record-tab entry " + std::to_string(entryNo) + " is out of range");
    return static_cast<std::int64_t>(recordTabChunks_[static_cast<size_t>(chunk)]) + 4 +
           static_cast<std::int64_t>(entryNo % format::kEntriesPerChunk) *
               format::kRecordTabEntrySize;
}

std::int64_t TVeskTableIO::IndexTabEntryPos(std::int32_t indexNo, std::int32_t entryNo) const {
    const std::vector<std::int32_t>& chunks = indexTabChunks_.at(static_cast<size_t>(indexNo));
    const std::int32_t chunk = entryNo / format::kEntriesPerChunk;
    if (entryNo < 0 || static_cast<size_t>(chunk) >= chunks.size())
        throw EDatabaseError("Index-tab entry " + std::to_string(entryNo) + " is out of range");
    return static_cast<std::int64_t>(chunks[static_cast<size_t>(chunk)]) + 4 +
           static_cast<std::int64_t>(entryNo % format::kEntriesPerChunk) *
               format::kIndexTabEntrySize;
}

void TVeskTableIO::CheckFieldBuffers(const TFieldBuffers& buffers) const {
    if (buffers.Count() != fieldDefs_.Count())
        throw EDatabaseError("Table " + Quoted(tableName_) + " has " +
                             std::to_string(fieldDefs_.Count()) + " fields, the record buffer " +
                             std::to_string(buffers.Count()));
    for (std::int32_t i = 0; i < buffers.Count(); ++i) {
        const TFieldBufferItem& item = buffers.Items(i);
        if (!item.Active)
            continue;
        const TVeskFieldDef& field = fieldDefs_.Items(i);
        const bool sizeFits =
            item.IsBlob() || item.Size == GetFieldDataSize(field.FieldType, field.DataSize);
        if (item.FieldType != field.FieldType || !sizeFits)
            throw EDatabaseError("The record buffer of field " + Quoted(field.Name) +
                                 " does not match its definition");
    }
}

void TVeskTableIO::ReadRecordData(TFieldBuffers& buffers, const TRecordList& list,
                                  std::int32_t pos) {
    CheckFieldBuffers(buffers);
    const TRecordItem item = GetRecordItem(list, pos);
    TVeskDBFileIO& file = owner_.FileIO();
    TFileLockGuard lock(file);
    std::vector<std::uint8_t> work(static_cast<size_t>(recordSize_), 0);
    file.ReadExact(
        work.data(), item.RecordOffset, recordSize_,
        "the record of entry " + std::to_string(item.EntryNo) + " of table " + Quoted(tableName_));
    for (std::int32_t i = 0; i < buffers.Count(); ++i) {
        TFieldBufferItem& target = buffers.Items(i);
        if (!target.Active)
            continue;
        const std::int32_t offset = fieldOffsets_[static_cast<size_t>(i)];
        if (target.IsBlob()) {
            if (TBlobBufferStream* stream = target.BlobStream())
                stream->SetBlobInfo(static_cast<std::int64_t>(item.RecordOffset) + offset,
                                    CanEncryptField(i), CanCompressField(i));
        } else if (target.Buffer) {
            file.DecodeBuffer(work.data() + offset, target.GetDataBuf(), target.Size,
                              CanEncryptField(i));
        }
    }
}

void TVeskTableIO::ReadFieldValue(TMemoryStream& dest, std::int32_t entryNo, std::int32_t fieldNo) {
    const TVeskFieldDef& field = fieldDefs_.Items(fieldNo);
    const bool isBlob = IsBlobKind(field.FieldType);
    const std::int32_t size =
        isBlob ? kBlobDescriptorSize : GetFieldDataSize(field.FieldType, field.DataSize);
    owner_.FileIO().ReadFieldData(dest, RecordTabEntryPos(entryNo),
                                  fieldOffsets_[static_cast<size_t>(fieldNo)], size, isBlob,
                                  CanEncryptField(fieldNo), CanCompressField(fieldNo));
}

const TVeskIndexDef& TVeskTableIO::IndexAt(std::int32_t indexNo) const {
    if (indexNo < 0 || indexNo >= indexDefs_.Count())
        throw EDatabaseError("Invalid index number " + std::to_string(indexNo));
    return indexDefs_.Items(indexNo);
}

int TVeskTableIO::CompareKey(const TFieldBuffers& buffers, const TRecordItem& item,
                             const TVeskIndexDef& index, std::int32_t fieldCount,
                             bool partialCompare) {
    const auto keys = static_cast<std::int32_t>(index.FieldNumbers.size());
    const std::int32_t count = fieldCount <= 0 ? keys : std::min(fieldCount, keys);
    const bool caseInsensitive = index.Has(tiCaseInsensitive);
    for (std::int32_t k = 0; k < count; ++k) {
        const std::int32_t fieldNo = index.FieldNumbers[static_cast<size_t>(k)];
        const TFieldBufferItem& key = buffers.Items(fieldNo);
        TMemoryStream stored;
        ReadFieldValue(stored, item.EntryNo, fieldNo);
        const auto keySize =
            static_cast<std::int32_t>(std::min<std::int64_t>(key.GetDataSize(), INT32_MAX));
        const auto storedSize =
            static_cast<std::int32_t>(std::min<std::int64_t>(stored.Size(), INT32_MAX));
        int result =
            CompareFieldValue(key.GetDataBuf(), keySize, stored.Memory(), storedSize,
                              fieldDefs_.Items(fieldNo).FieldType, caseInsensitive, partialCompare);
        if (result != 0)
            return index.Has(tiDescending) ? -result : result;
    }
    return 0;
}

std::int32_t TVeskTableIO::SearchIndexedField(const TFieldBuffers& buffers, const TRecordList& list,
                                              std::int32_t indexNo, std::int32_t& indicator,
                                              std::int32_t fieldCount, bool partialCompare) {
    const TVeskIndexDef& index = IndexAt(indexNo);
    CheckFieldBuffers(buffers);
    std::int32_t lo = 0;
    std::int32_t hi = static_cast<std::int32_t>(list.size()) - 1;
    std::int32_t result = -1;
    indicator = -2;
    while (lo <= hi) {
        const std::int32_t mid = lo + (hi - lo) / 2;
        const int compared =
            CompareKey(buffers, list[static_cast<size_t>(mid)], index, fieldCount, partialCompare);
        result = mid;
        if (compared > 0) {
            lo = mid + 1;
            indicator = 1;
        } else if (compared < 0) {
            hi = mid - 1;
            indicator = -1;
        } else {
            indicator = 0;
            break;
        }
    }
    return result;
}

std::int32_t TVeskTableIO::SearchIndexedFieldBound(const TFieldBuffers& buffers,
                                                   const TRecordList& list, std::int32_t indexNo,
                                                   bool findFirst, std::int32_t& indicator,
                                                   std::int32_t fieldCount, bool partialCompare) {
    const TVeskIndexDef& index = IndexAt(indexNo);
    CheckFieldBuffers(buffers);
    std::int32_t lo = 0;
    std::int32_t hi = static_cast<std::int32_t>(list.size()) - 1;
    std::int32_t result = -1;
    indicator = -2;
    bool metEqual = false;
    while (lo <= hi) {
        const std::int32_t mid = lo + (hi - lo) / 2;
        const int compared =
            CompareKey(buffers, list[static_cast<size_t>(mid)], index, fieldCount, partialCompare);
        if (compared == 0) {
            result = mid;
            indicator = 0;
            metEqual = true;
            if (findFirst)
                hi = mid - 1;
            else
                lo = mid + 1;
            continue;
        }
        if (!metEqual) {
            result = mid;
            indicator = compared > 0 ? 1 : -1;
        }
        if (compared > 0)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return result;
}

std::int32_t TVeskTableIO::SearchInsertPos(const TFieldBuffers& buffers, std::int32_t indexNo,
                                           std::int32_t& indicator) {
    IndexAt(indexNo);
    const std::int32_t result =
        SearchIndexedField(buffers, GetRecordList(indexNo + 1), indexNo, indicator, 0, false);
    switch (indicator) {
        case 0:
        case 1:
            return result + 1;
        case -1:
            return result;
        default:
            return 0;
    }
}

std::int32_t TVeskTableIO::GetPrimaryIndex() const {
    for (std::int32_t i = 0; i < indexDefs_.Count(); ++i)
        if (indexDefs_.Items(i).Has(tiPrimary))
            return i;
    return -1;
}

std::string TVeskTableIO::KeyText(const TFieldBuffers& buffers, const TVeskIndexDef& index) const {
    std::string text;
    for (size_t k = 0; k < index.FieldNumbers.size(); ++k) {
        if (k > 0)
            text += ",";
        text += buffers.Items(index.FieldNumbers[k]).GetAsString();
    }
    return text;
}

bool TVeskTableIO::CheckUnique(const TFieldBuffers& buffers, std::int32_t exceptPhysPos) {
    for (std::int32_t i = 0; i < indexDefs_.Count(); ++i) {
        const TVeskIndexDef& index = indexDefs_.Items(i);
        if (!index.Has(tiPrimary) && !index.Has(tiUnique))
            continue;
        std::int32_t indicator = -2;
        const std::int32_t pos =
            SearchIndexedField(buffers, GetRecordList(i + 1), i, indicator, 0, false);
        if (indicator != 0)
            continue;
        if (exceptPhysPos >= 0 && ConvertRecordPos(i, pos, -1) == exceptPhysPos)
            continue;
        throw EDatabaseError(
            FormatMessage("Invalid unique field value '%s'", KeyText(buffers, index)));
    }
    return true;
}

void TVeskTableIO::CheckUniqueFieldForAppend(const TFieldBuffers& buffers) {
    CheckUnique(buffers, -1);
}

void TVeskTableIO::CheckUniqueFieldForModify(const TFieldBuffers& buffers, std::int32_t physPos) {
    CheckUnique(buffers, physPos < 0 ? INT32_MAX : physPos);
}

std::int32_t TVeskTableIO::PhysicalPosOfEntry(std::int32_t entryNo) const {
    // List 0 holds its items in ascending entry numbers.
    const TRecordList& physical = recordLists_.at(0);
    const auto found =
        std::lower_bound(physical.begin(), physical.end(), entryNo,
                         [](const TRecordItem& item, std::int32_t e) { return item.EntryNo < e; });
    if (found == physical.end() || found->EntryNo != entryNo)
        return -1;
    return static_cast<std::int32_t>(found - physical.begin());
}

std::int32_t TVeskTableIO::ConvertRecordPos(std::int32_t fromIndex, std::int32_t pos,
                                            std::int32_t toIndex) {
    const TRecordList& from = GetRecordList(fromIndex + 1);
    if (pos < 0 || static_cast<size_t>(pos) >= from.size())
        return -1;
    if (fromIndex == toIndex)
        return pos;
    if (toIndex == -1)
        return IndexPosToPhysicalPos(fromIndex, pos);
    const TRecordList& to = GetRecordList(toIndex + 1);
    const std::int32_t entryNo = from[static_cast<size_t>(pos)].EntryNo;
    for (size_t i = 0; i < to.size(); ++i)
        if (to[i].EntryNo == entryNo)
            return static_cast<std::int32_t>(i);
    return -1;
}

std::int32_t TVeskTableIO::IndexPosToPhysicalPos(std::int32_t indexNo, std::int32_t pos) {
    return ListPosToPhysicalPos(GetRecordList(indexNo + 1), pos);
}

std::int32_t TVeskTableIO::ListPosToPhysicalPos(const TRecordList& list, std::int32_t pos) {
    if (pos < 0 || static_cast<size_t>(pos) >= list.size())
        return -1;
    return PhysicalPosOfEntry(list[static_cast<size_t>(pos)].EntryNo);
}

std::int32_t TVeskTableIO::IndexPosToListPos(std::int32_t indexNo, std::int32_t pos,
                                             const TRecordList& list) {
    const TRecordList& indexList = GetRecordList(indexNo + 1);
    if (pos < 0 || static_cast<size_t>(pos) >= indexList.size())
        return -1;
    if (&list == &indexList)
        return pos;
    const std::int32_t entryNo = indexList[static_cast<size_t>(pos)].EntryNo;
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].EntryNo == entryNo)
            return static_cast<std::int32_t>(i);
    return -1;
}

void TVeskTableIO::AddRecordItem(TRecordList& list, const TRecordItem& item) {
    list.push_back(item);
}

void TVeskTableIO::InsertRecordItem(TRecordList& list, std::int32_t pos, const TRecordItem& item) {
    if (pos < 0 || static_cast<size_t>(pos) > list.size())
        throw std::out_of_range("record list position");
    list.insert(list.begin() + pos, item);
}

void TVeskTableIO::DeleteRecordItem(TRecordList& list, std::int32_t pos) {
    if (pos < 0 || static_cast<size_t>(pos) >= list.size())
        throw std::out_of_range("record list position");
    list.erase(list.begin() + pos);
}

TRecordItem TVeskTableIO::GetRecordItem(const TRecordList& list, std::int32_t pos) {
    if (pos < 0 || static_cast<size_t>(pos) >= list.size())
        throw std::out_of_range("record list position");
    return list[static_cast<size_t>(pos)];
}

}  // namespace vesk
