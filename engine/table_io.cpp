#include "engine/table_io.h"

#include "engine/table_write_op.h"

#include <algorithm>

#include "engine/db_error.h"
#include "engine/file_format.h"
#include "engine/schema_rules.h"
#include "engine/stored_text.h"
#include "engine/table_structures.h"
#include "platform/os/collation.h"

namespace vesk {

namespace {

std::string StoredName(const std::uint8_t* at) {
    return std::string(format::GetText(at, format::kNameSize));
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
    placement_.Clear();
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
            file.ThrowDamaged("table " + QuotedStoredText(tableName_) + " counts " +
                              std::to_string(fieldCount) + " fields");
        if (indexCount < 0 || indexCount > format::kMaxIndexes)
            file.ThrowDamaged("table " + QuotedStoredText(tableName_) + " counts " +
                              std::to_string(indexCount) + " indexes");
        indexTabChunks_.assign(static_cast<size_t>(indexCount), {});
        InitFieldDefs();
        InitIndexDefs();
        InitFieldOffsets();
        InitRecordTab();
        // What the other tables hold first: no record may lie on their chunks either.
        RefreshStructureMap(file, tableNo);
        InitRecordPlacement();
        InitStructures(tableNo);
        CheckIndexOrders();
        InitAutoIncField();
    } catch (...) {
        Unload();
        throw;
    }
    tableNo_ = tableNo;
}

void TVeskTableIO::InitFieldDefs() {
    TVeskDBFileIO& file = owner_.FileIO();
    const std::int32_t count = format::GetI32(headerCopy_.data() + format::kHdrFieldCount);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint8_t* def =
            headerCopy_.data() + format::kHdrFields + i * format::kFieldDefSize;
        if (const std::string problem =
                StoredNameProblem(def + format::kFldName, format::kNameSize);
            !problem.empty())
            file.ThrowDamaged("the name " + QuotedStoredText(StoredName(def + format::kFldName)) +
                              " of field " + std::to_string(i) + " of table " +
                              QuotedStoredText(tableName_) + " " + problem);
        // The stored name replaces the one the naming rule gives.
        TVeskFieldDef& field = fieldDefs_.Add();
        field.Name = StoredName(def + format::kFldName);
        field.FieldType = static_cast<TFieldType>(def[format::kFldType]);
        field.DataSize = format::GetI32(def + format::kFldDataSize);
        field.ProcessMode = def[format::kFldProcessMode];
        // Only the types with a record slot are ever written; any other byte is damage.
        const std::string where =
            "field " + QuotedStoredText(field.Name) + " of table " + QuotedStoredText(tableName_);
        if (def[format::kFldType] > ftFMTBcd)
            file.ThrowDamaged(where + " has the unknown type byte " +
                              std::to_string(def[format::kFldType]));
        if (!IsLoadableFieldType(def[format::kFldType]))
            file.ThrowDamaged(where + " has the type " + FieldTypeName(def[format::kFldType]) +
                              ", which no table can hold");
        if ((field.FieldType == ftString || field.FieldType == ftFixedChar) &&
            (field.DataSize < 1 || field.DataSize > kMaxStringSize))
            file.ThrowDamaged(where + " has the text size " + std::to_string(field.DataSize) +
                              ", outside 1 to " + std::to_string(kMaxStringSize));
    }
}

void TVeskTableIO::InitIndexDefs() {
    TVeskDBFileIO& file = owner_.FileIO();
    const std::int32_t count = format::GetI32(headerCopy_.data() + format::kHdrIndexCount);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint8_t* def =
            headerCopy_.data() + format::kHdrIndexes + i * format::kIndexDefSize;
        if (const std::string problem =
                StoredNameProblem(def + format::kIdxName, format::kNameSize);
            !problem.empty())
            file.ThrowDamaged("the name " + QuotedStoredText(StoredName(def + format::kIdxName)) +
                              " of index " + std::to_string(i) + " of table " +
                              QuotedStoredText(tableName_) + " " + problem);
        TVeskIndexDef& index = indexDefs_.Add();
        index.Name = StoredName(def + format::kIdxName);
        index.SetOptions(def[format::kIdxOptions]);
        for (std::int32_t k = 0; k < format::kMaxKeyFields; ++k) {
            const std::int32_t fieldNo = format::GetI32(def + format::kIdxFields + 4 * k);
            if (fieldNo == -1)
                break;
            if (fieldNo < 0 || fieldNo >= fieldDefs_.Count())
                file.ThrowDamaged("index " + QuotedStoredText(index.Name) + " of table " +
                                  QuotedStoredText(tableName_) + " names key field " +
                                  std::to_string(fieldNo));
            // A blob descriptor has no value to order by; no index is ever made on one.
            if (IsBlobKind(fieldDefs_.Items(fieldNo).FieldType))
                file.ThrowDamaged("index " + QuotedStoredText(index.Name) + " of table " +
                                  QuotedStoredText(tableName_) + " names the blob field " +
                                  QuotedStoredText(fieldDefs_.Items(fieldNo).Name) + " as a key");
            index.FieldNumbers.push_back(fieldNo);
        }
        if (index.FieldNumbers.empty())
            file.ThrowDamaged("index " + QuotedStoredText(index.Name) + " of table " +
                              QuotedStoredText(tableName_) + " has no key field");
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
    if (reReadRecordTab) {
        file.ReadRecordTab(headerCopy_.data(), recordTabEntries_, recordTabChunks_);
        for (size_t e = 0; e < recordTabEntries_.size(); ++e)
            CheckRecordOffset(static_cast<std::int32_t>(e), recordTabEntries_[e].RecordOffset);
    }
    TRecordList list;
    const auto entryCount = static_cast<std::int32_t>(recordTabEntries_.size());
    // At most one item per entry: sized once rather than grown and copied while it fills.
    list.reserve(static_cast<size_t>(entryCount));
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
            std::vector<std::int32_t> next;
            file.ReadIndexLinks(headerCopy_.data(), indexNo, next, chunks);
            const std::string what = "the order of index " +
                                     QuotedStoredText(indexDefs_.Items(indexNo).Name) +
                                     " of table " + QuotedStoredText(tableName_);
            // Every entry may be met once: a chain that leaves the tab or meets an entry
            // twice is refused rather than followed.
            std::vector<bool> met(static_cast<size_t>(entryCount), false);
            for (std::int32_t e = format::GetI32(def + format::kIdxHead); e != -1;
                 e = next[static_cast<size_t>(e)]) {
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

void TVeskTableIO::InitRecordPlacement() {
    TVeskDBFileIO& file = owner_.FileIO();
    placement_.Clear();
    const std::uint8_t* tab = file.TableTabCopy().data();
    for (std::int32_t t = 0; t < file.TableCount(); ++t)
        placement_.AddStructure(format::GetI32(tab + format::kTabOffsets + 4 * t),
                                format::kTableHeaderSize,
                                "the header of table " + std::to_string(t));
    const auto chunks = [](const std::vector<std::int32_t>& offsets) {
        return std::vector<std::int64_t>(offsets.begin(), offsets.end());
    };
    placement_.AddChunks(chunks(recordTabChunks_), format::kRecordTabChunkSize,
                         "the record tab of table " + QuotedStoredText(tableName_));
    for (std::int32_t i = 0; i < indexDefs_.Count(); ++i)
        placement_.AddChunks(
            chunks(indexTabChunks_[static_cast<size_t>(i)]), format::kIndexTabChunkSize,
            "the index tab of index " + QuotedStoredText(indexDefs_.Items(i).Name));
    const std::int32_t self = FindTableIdx();
    for (std::int32_t t = 0; t < file.TableCount(); ++t) {
        const TTableStructures* other = t == self ? nullptr : file.Structures().Find(t);
        if (other == nullptr)
            continue;
        for (const TStructure& s : other->Structures())
            if (s.kind == TStructureKind::RecordChunk || s.kind == TStructureKind::IndexChunk)
                placement_.AddStructure(s.at, s.end - s.at, other->Describe(s, s.at));
    }
    // Deleted entries too: they are never read, but an entry at a structure marks a damaged tab.
    for (size_t e = 0; e < recordTabEntries_.size(); ++e)
        CheckRecordOffset(static_cast<std::int32_t>(e), recordTabEntries_[e].RecordOffset);
}

void TVeskTableIO::InitStructures(std::int32_t tableNo) {
    TVeskDBFileIO& file = owner_.FileIO();
    TTableStructures own(tableNo, tableName_);
    own.AddHeader(file.TableHeaderPos(tableNo));
    own.AddRecordChunks(recordTabChunks_);
    std::vector<std::string> indexNames, fieldNames;
    for (std::int32_t i = 0; i < indexDefs_.Count(); ++i) {
        own.AddIndexChunks(i, indexTabChunks_[static_cast<size_t>(i)]);
        indexNames.push_back(indexDefs_.Items(i).Name);
    }
    std::vector<TBlobSlot> blobs;
    for (std::int32_t f = 0; f < fieldDefs_.Count(); ++f) {
        fieldNames.push_back(fieldDefs_.Items(f).Name);
        if (IsBlobKind(fieldDefs_.Items(f).FieldType))
            blobs.push_back({f, fieldOffsets_[static_cast<size_t>(f)]});
    }
    own.SetPartNames(std::move(indexNames), std::move(fieldNames));
    AddRecordStructures(file, own, recordTabEntries_, recordSize_, blobs);
    own.header = headerCopy_;
    TStructureMap& map = file.Structures();
    map.Set(std::move(own));
    // Kept even when refused: it is what the file holds, and a table sharing bytes with this
    // one is refused as well.
    if (const std::string overlap = map.OverlapOf(tableNo); !overlap.empty())
        file.ThrowDamaged(overlap);
}

void TVeskTableIO::CheckIndexOrders() {
    // Read by an index and in physical order, the table shows the same rows. An index without
    // chunks reads as an empty order, as the format has it.
    const size_t live = GetRecordList(0).size();
    for (std::int32_t i = 0; i < indexDefs_.Count(); ++i) {
        const size_t held = GetRecordList(i + 1).size();
        if (!indexTabChunks_[static_cast<size_t>(i)].empty() && held != live)
            owner_.FileIO().ThrowDamaged(
                "the order of index " + QuotedStoredText(indexDefs_.Items(i).Name) + " of table " +
                QuotedStoredText(tableName_) + " holds " + std::to_string(held) + " of the " +
                std::to_string(live) + " live entries");
    }
}

void TVeskTableIO::CheckRecordOffset(std::int32_t entryNo, std::int64_t offset) {
    TVeskDBFileIO& file = owner_.FileIO();
    std::string problem = placement_.Problem(offset, recordSize_, file.FileSize());
    if (problem == TRecordPlacement::kBeyondTheEnd) {
        // Outside the lock the known size may be behind the file: CheckRange learns it anew.
        try {
            file.CheckRange(offset, std::max(recordSize_, 1), "a record");
            problem = placement_.Problem(offset, recordSize_, file.FileSize());
        } catch (const EDatabaseError&) {
            // really beyond the end: reported below
        }
    }
    if (!problem.empty())
        file.ThrowDamaged("entry " + std::to_string(entryNo) + " of table " +
                          QuotedStoredText(tableName_) + ": record offset " +
                          std::to_string(offset) + " " + problem);
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
        throw EDatabaseError("Table " + QuotedStoredText(tableName_) + " has " +
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
            throw EDatabaseError("The record buffer of field " + QuotedStoredText(field.Name) +
                                 " does not match its definition");
    }
}

void TVeskTableIO::ReadRecordData(TFieldBuffers& buffers, const TRecordList& list,
                                  std::int32_t pos) {
    CheckFieldBuffers(buffers);
    const TRecordItem item = GetRecordItem(list, pos);
    TVeskDBFileIO& file = owner_.FileIO();
    TFileLockGuard lock(file);
    // Checked before the work buffer is sized: a record size read from a damaged header must
    // not decide an allocation larger than the file.
    CheckRecordOffset(item.EntryNo, item.RecordOffset);
    // A buffer kept from read to read, and the message text made only for an error: a key
    // Locate reads one record, and a fresh zeroed buffer and a message each time cost more
    // than the rest of the read.
    recordWork_.resize(static_cast<size_t>(recordSize_));
    std::uint8_t* const work = recordWork_.data();
    file.ReadExactNamedLate(work, item.RecordOffset, recordSize_, [&] {
        return "the record of entry " + std::to_string(item.EntryNo) + " of table " +
               QuotedStoredText(tableName_);
    });
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
            file.DecodeBuffer(work + offset, target.GetDataBuf(), target.Size, CanEncryptField(i));
        }
    }
}

void TVeskTableIO::ReadFieldValue(TMemoryStream& dest, std::int32_t entryNo, std::int32_t fieldNo) {
    // The record offset as the file's entry holds it now, checked as at load.
    TVeskDBFileIO& file = owner_.FileIO();
    std::uint8_t entry[format::kRecordTabEntrySize];
    file.ReadExact(entry, RecordTabEntryPos(entryNo), sizeof entry, "a record-tab entry");
    ReadFieldValue(dest, TRecordItem{format::GetI32(entry), entryNo}, fieldNo);
}

void TVeskTableIO::ReadFieldValue(TMemoryStream& dest, const TRecordItem& item,
                                  std::int32_t fieldNo) {
    const TVeskFieldDef& field = fieldDefs_.Items(fieldNo);
    const bool isBlob = IsBlobKind(field.FieldType);
    const std::int32_t size =
        isBlob ? kBlobDescriptorSize : GetFieldDataSize(field.FieldType, field.DataSize);
    CheckRecordOffset(item.EntryNo, item.RecordOffset);
    const TValuePlace place{&tableName_, &field.Name, item.EntryNo};
    owner_.FileIO().ReadFieldContent(
        dest,
        static_cast<std::int64_t>(item.RecordOffset) + fieldOffsets_[static_cast<size_t>(fieldNo)],
        size, isBlob, CanEncryptField(fieldNo), CanCompressField(fieldNo), &place);
}

std::int32_t TVeskTableIO::WriteCounter() const {
    return headerCopy_.size() >= static_cast<size_t>(kHdrWriteCounter) + 4
               ? format::GetI32(headerCopy_.data() + kHdrWriteCounter)
               : 0;
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
