#include "tools/table_check.h"

#include <set>
#include <vector>

#include "engine/field_type.h"
#include "engine/record_placement.h"
#include "engine/schema_rules.h"
#include "engine/stored_text.h"
#include "tools/stored_value.h"

namespace vesktool {

namespace {

using namespace vesk::format;
using vesk::TFieldType;

struct FieldInfo {
    std::string name;
    TFieldType type;
    std::int32_t dataSize;
    bool enciphered;
    bool coded;  // takes part in the file's codecs (processing mode 0)
    std::int64_t offset;
};

struct IndexInfo {
    std::string name;
    std::uint8_t options;
    std::vector<std::int32_t> keyFields;
    std::int64_t firstChunk;
    std::int64_t head;
    std::vector<std::int64_t> chunks;  // the walked chain
    bool chainSound = false;           // every expected chunk is inside the file
};

class TableChecker {
  public:
    explicit TableChecker(const TableCheckContext& context)
        : image_(context.image),
          at_(context.headerAt),
          encryption_(context.encryption),
          problems_(context.problems),
          headers_(context.headers),
          decoder_(context.decoder),
          map_(context.structures),
          tableNo_(context.tableNo) {}

    std::string Run() {
        name_ = std::string(GetText(image_.At(at_ + kHdrName), kNameSize));
        structures_ = vesk::TTableStructures(tableNo_, name_);
        structures_.AddHeader(at_);
        CheckName("the table", image_.At(at_ + kHdrName));
        const bool layout = ReadFields();
        const bool indexes = ReadIndexes();
        if (CheckRecordTab()) {
            if (indexes)
                for (IndexInfo& index : indexes_)
                    WalkIndexChain(index);
            if (layout) {
                CheckRecords();
                if (indexes)
                    for (const IndexInfo& index : indexes_)
                        CheckIndex(index);
            }
        }
        AddChunkStructures();
        map_.Set(std::move(structures_));
        return name_;
    }

  private:
    void Problem(const std::string& what) {
        problems_.Add("table '" + vesk::EscapeStoredText(name_) + "': " + what);
    }

    // What a writer killed in the middle of an append leaves: the engine reads the table
    // without the row it was writing, so this is no damage.
    void CutShort(const std::string& what) {
        problems_.Interrupted("table '" + vesk::EscapeStoredText(name_) +
                              "': an append was cut short: " + what);
    }

    static std::string Shown(const std::string& name) { return vesk::EscapeStoredText(name); }

    // A stored name must obey the naming rule the readers apply.
    void CheckName(const std::string& of, const std::uint8_t* name) {
        const std::string problem = vesk::StoredNameProblem(name, kNameSize);
        if (!problem.empty())
            Problem("the name '" + Shown(std::string(GetText(name, kNameSize))) + "' of " + of +
                    " " + problem);
    }

    static std::string Offset(std::int64_t value) { return std::to_string(value); }

    bool ReadFields() {
        const std::int32_t count = image_.I32(at_ + kHdrFieldCount);
        if (count < 0 || count > kMaxFields) {
            Problem("field count " + std::to_string(count) + " is over its 96 slots");
            return false;
        }
        bool loadable = true;
        std::int64_t offset = 0;
        for (std::int32_t f = 0; f < count; ++f) {
            const std::uint8_t* def = image_.At(at_ + kHdrFields + f * kFieldDefSize);
            FieldInfo field{std::string(GetText(def + kFldName, kNameSize)),
                            static_cast<TFieldType>(def[kFldType]),
                            GetI32(def + kFldDataSize),
                            encryption_ && def[kFldProcessMode] == 0,
                            def[kFldProcessMode] == 0,
                            offset};
            CheckName("field " + std::to_string(f), def + kFldName);
            const std::int32_t slot = vesk::RecordSlotSize(field.type, field.dataSize);
            const bool text = field.type == vesk::ftString || field.type == vesk::ftFixedChar;
            if (!vesk::IsLoadableFieldType(def[kFldType]) || slot < 0 ||
                (text && (field.dataSize < 1 || field.dataSize > vesk::kMaxStringSize))) {
                Problem("field '" + Shown(field.name) + "' has type " +
                        vesk::FieldTypeName(def[kFldType]) + " and size " +
                        std::to_string(field.dataSize) + ", which no table can be loaded with");
                loadable = false;
            }
            offset += slot < 0 ? 0 : slot;
            fields_.push_back(field);
        }
        recordSize_ = offset;
        return loadable;
    }

    bool ReadIndexes() {
        const std::int32_t count = image_.I32(at_ + kHdrIndexCount);
        if (count < 0 || count > kMaxIndexes) {
            Problem("index count " + std::to_string(count) + " is over its 8 slots");
            return false;
        }
        for (std::int32_t i = 0; i < count; ++i) {
            const std::uint8_t* def = image_.At(at_ + kHdrIndexes + i * kIndexDefSize);
            CheckName("index " + std::to_string(i), def + kIdxName);
            IndexInfo index{std::string(GetText(def + kIdxName, kNameSize)),
                            def[kIdxOptions],
                            {},
                            GetI32(def + kIdxFirstChunk),
                            GetI32(def + kIdxHead),
                            {},
                            false};
            for (std::int32_t k = 0; k < kMaxKeyFields; ++k) {
                const std::int32_t number = GetI32(def + kIdxFields + 4 * k);
                if (number == -1)
                    break;
                index.keyFields.push_back(number);
            }
            indexes_.push_back(index);
        }
        return true;
    }

    // Follows a chunk chain of the expected length from first; fills chunks and returns true
    // when every expected chunk is inside the file.
    bool WalkChain(const std::string& what, std::int64_t first, std::int32_t entrySize,
                   std::vector<std::int64_t>& chunks) {
        const std::int64_t expected = (entries_ + kEntriesPerChunk - 1) / kEntriesPerChunk;
        std::set<std::int64_t> seen;
        std::int64_t position = first;
        for (std::int64_t c = 0; c < expected; ++c) {
            if (position == 0) {
                Problem(what + ": the chunk chain ends after " + std::to_string(c) + " of " +
                        std::to_string(expected) + " chunks");
                return false;
            }
            // Only the used part of the last chunk is read, so only that part must be in the
            // file; the rest is still the chunk's, and a writer places nothing there.
            const std::int64_t used =
                4 + std::min<std::int64_t>(kEntriesPerChunk, entries_ - c * kEntriesPerChunk) *
                        entrySize;
            if (position < kFirstFreeAt || !image_.Has(position, used)) {
                Problem(what + ": chunk " + std::to_string(c) + " at offset " + Offset(position) +
                        " is out of the file");
                return false;
            }
            if (!seen.insert(position).second) {
                Problem(what + ": the chunk chain loops back to offset " + Offset(position) +
                        " after " + std::to_string(c) + " chunks");
                return false;
            }
            chunks.push_back(position);
            position = image_.I32(position);
        }
        if (expected == 0 && first != 0)
            Problem(what + ": no entry, but a first chunk at offset " + Offset(first));
        else if (position != 0 && entries_ % kEntriesPerChunk == 0 && position >= kFirstFreeAt &&
                 image_.Has(position, 4 + kEntriesPerChunk * entrySize))
            // An append that opens a chunk links it before the header counts the entry.
            CutShort(what + ": the chunk at offset " + Offset(position) +
                     " is linked but holds no counted entry");
        else if (position != 0)
            Problem(what + ": the chunk chain runs on to offset " + Offset(position) +
                    " after the " + std::to_string(expected) + " chunks that " +
                    std::to_string(entries_) + " entries take");
        return true;
    }

    std::int64_t EntryAt(const std::vector<std::int64_t>& chunks, std::int64_t e,
                         std::int32_t entrySize) const {
        return chunks[static_cast<size_t>(e / kEntriesPerChunk)] + 4 +
               (e % kEntriesPerChunk) * entrySize;
    }

    bool CheckRecordTab() {
        entries_ = image_.I32(at_ + kHdrEntryCount);
        if (entries_ < 0 || entries_ > image_.Size() / kRecordTabEntrySize) {
            Problem("entry count " + std::to_string(entries_) + " cannot fit in the file");
            return false;
        }
        if (!WalkChain("record tab", image_.I32(at_ + kHdrFirstChunk), kRecordTabEntrySize,
                       recordChunks_))
            return false;
        const std::int64_t used = entries_ % kEntriesPerChunk;
        if (used != 0) {
            const std::int64_t rest = recordChunks_.back() + 4 + used * kRecordTabEntrySize;
            const std::int64_t restSize =
                std::min((kEntriesPerChunk - used) * kRecordTabEntrySize, image_.Size() - rest);
            std::int64_t written = -1;  // the last byte after the last entry that is not zero
            for (std::int64_t i = 0; i < restSize; ++i)
                if (*image_.At(rest + i) != 0)
                    written = i;
            // An append writes its entry, marked deleted, before the header counts it.
            if (written >= 0 && written < kRecordTabEntrySize && restSize > 4 &&
                *image_.At(rest + 4) == 1)
                CutShort("entry " + std::to_string(entries_) +
                         " is written but not counted; the table reads without it");
            else if (written >= 0)
                Problem("record tab: the entries after the last one are not zero");
        }
        return true;
    }

    // The chunks walked, each with its full size, and the names messages give the parts.
    void AddChunkStructures() {
        const auto offsets = [](const std::vector<std::int64_t>& chunks) {
            return std::vector<std::int32_t>(chunks.begin(), chunks.end());
        };
        structures_.AddRecordChunks(offsets(recordChunks_));
        std::vector<std::string> indexNames, fieldNames;
        for (size_t i = 0; i < indexes_.size(); ++i) {
            structures_.AddIndexChunks(static_cast<std::int32_t>(i), offsets(indexes_[i].chunks));
            indexNames.push_back(indexes_[i].name);
        }
        for (const FieldInfo& field : fields_)
            fieldNames.push_back(field.name);
        structures_.SetPartNames(std::move(indexNames), std::move(fieldNames));
    }

    const std::uint8_t* Record(std::int64_t e) const {
        return image_.At(recordOffsets_[static_cast<size_t>(e)]);
    }

    // The engine's placement rule: every table header and this table's chunks are off limits.
    vesk::TRecordPlacement Placement() const {
        vesk::TRecordPlacement placement;
        for (size_t t = 0; t < headers_.size(); ++t)
            placement.AddStructure(headers_[t], kTableHeaderSize,
                                   "the header of table " + std::to_string(t));
        placement.AddChunks(recordChunks_, kRecordTabChunkSize, "the record tab");
        for (const IndexInfo& index : indexes_)
            placement.AddChunks(index.chunks, kIndexTabChunkSize,
                                "the index tab of index '" + Shown(index.name) + "'");
        return placement;
    }

    void CheckRecords() {
        const vesk::TRecordPlacement placement = Placement();
        recordOffsets_.assign(static_cast<size_t>(entries_), -1);
        live_.assign(static_cast<size_t>(entries_), false);
        const FieldInfo* autoInc = nullptr;
        for (const FieldInfo& field : fields_)
            if (field.type == vesk::ftAutoInc) {
                autoInc = &field;
                break;
            }
        std::int64_t largestKey = 0;
        for (std::int64_t e = 0; e < entries_; ++e) {
            const std::int64_t entry = EntryAt(recordChunks_, e, kRecordTabEntrySize);
            const std::int64_t offset = image_.I32(entry);
            const std::uint8_t flag = *image_.At(entry + 4);
            const std::string label = "entry " + std::to_string(e);
            if (flag > 1)
                Problem(label + ": deleted flag " + std::to_string(flag) + " is not 0 or 1");
            const std::string placed = placement.Problem(offset, recordSize_, image_.Size());
            if (!placed.empty()) {
                Problem(label + ": record offset " + Offset(offset) + " " + placed);
                continue;
            }
            recordOffsets_[static_cast<size_t>(e)] = offset;
            live_[static_cast<size_t>(e)] = flag == 0;
            structures_.AddRecord(static_cast<std::int32_t>(e), offset, recordSize_, image_.Size());
            CheckBlobs(e, label, Record(e), flag == 0);
            if (autoInc && !autoInc->enciphered && flag == 0)
                largestKey = std::max(largestKey, vesktool::StoredInteger(
                                                      autoInc->type, Record(e) + autoInc->offset));
        }
        const std::int32_t counter = image_.I32(at_ + kHdrAutoInc);
        if (counter < 0)
            Problem("auto-increment counter " + std::to_string(counter) + " is negative");
        if (largestKey > counter)
            Problem("auto-increment counter " + std::to_string(counter) +
                    " is below the stored key " + std::to_string(largestKey));
    }

    void CheckBlobs(std::int64_t entryNo, const std::string& label, const std::uint8_t* record,
                    bool live) {
        for (size_t f = 0; f < fields_.size(); ++f) {
            const FieldInfo& field = fields_[f];
            if (!vesk::IsBlobKind(field.type))
                continue;
            const std::uint8_t* descriptor = record + field.offset;
            const std::int64_t area = GetI32(descriptor + kBlobOffset);
            const std::int64_t stored = GetI32(descriptor + kBlobStoredSize);
            const std::int64_t allocated = GetI32(descriptor + kBlobAllocatedSize);
            structures_.AddBlobArea(static_cast<std::int32_t>(entryNo),
                                    static_cast<std::int32_t>(f), area, stored, allocated,
                                    image_.Size());
            // A record never written past its zero placeholder holds an empty descriptor.
            if (area == 0 && stored == 0 && allocated == 0)
                continue;
            const std::string where = label + ", blob '" + Shown(field.name) + "'";
            // A new area is the stored size rounded up to the next 64-byte step; a modify that
            // stores fewer bytes keeps the larger area it had, so only the steps and the room
            // for the bytes are rules.
            if (stored < 0 || allocated % kBlobAreaGranule != 0 || allocated <= stored) {
                Problem(where + ": stored size " + std::to_string(stored) + " and allocated size " +
                        std::to_string(allocated) + " do not match");
                continue;
            }
            if (area < kFirstFreeAt || !image_.Has(area, allocated)) {
                Problem(where + ": the area at offset " + Offset(area) + " of " +
                        std::to_string(allocated) + " bytes is out of the file");
                continue;
            }
            // Only live values are ever read.
            if (!live || !field.coded)
                continue;
            const std::string decoded = decoder_.Problem(
                std::span<const std::uint8_t>(image_.At(area), static_cast<size_t>(stored)));
            if (!decoded.empty())
                Problem(where + ": the value does not decode (" + decoded + ")");
        }
    }

    int CompareKeys(const IndexInfo& index, std::int64_t left, std::int64_t right) const {
        for (const std::int32_t number : index.keyFields) {
            const FieldInfo& field = fields_[static_cast<size_t>(number)];
            const int order = CompareStoredValues(
                field.type, field.dataSize, Record(left) + field.offset,
                Record(right) + field.offset, (index.options & kIdxCaseInsensitive) != 0);
            if (order != 0)
                return (index.options & kIdxDescending) != 0 ? -order : order;
        }
        return 0;
    }

    // True when the key fields are valid and their stored bytes can be compared as they are.
    bool KeysComparable(const IndexInfo& index) {
        bool comparable = !index.keyFields.empty();
        if (index.keyFields.empty())
            Problem("index '" + Shown(index.name) + "': no key field");
        for (const std::int32_t number : index.keyFields) {
            if (number < 0 || static_cast<size_t>(number) >= fields_.size()) {
                Problem("index '" + Shown(index.name) + "': key field number " +
                        std::to_string(number) + " is out of range");
                return false;
            }
            const FieldInfo& field = fields_[static_cast<size_t>(number)];
            if (vesk::IsBlobKind(field.type)) {
                Problem("index '" + Shown(index.name) + "': blob field '" + Shown(field.name) +
                        "' is a key");
                return false;
            }
            if (field.enciphered)
                comparable = false;
        }
        return comparable;
    }

    void WalkIndexChain(IndexInfo& index) {
        if (entries_ == 0 || index.firstChunk == 0)
            return;
        index.chainSound = WalkChain("index '" + Shown(index.name) + "'", index.firstChunk,
                                     kIndexTabEntrySize, index.chunks);
    }

    void CheckIndex(const IndexInfo& index) {
        const std::string what = "index '" + Shown(index.name) + "'";
        const bool comparable = KeysComparable(index);
        if (entries_ == 0) {
            if (index.firstChunk != 0 || index.head != 0)
                Problem(what + ": no entry, but a first chunk or head");
            return;
        }
        std::int64_t liveCount = 0;
        for (std::int64_t e = 0; e < entries_; ++e)
            liveCount += live_[static_cast<size_t>(e)];
        if (index.firstChunk == 0) {
            if (liveCount > 0)
                Problem(what + ": no chunk, so its order skips every live entry");
            return;
        }
        if (!index.chainSound)
            return;
        const std::vector<std::int64_t>& chunks = index.chunks;
        for (std::int64_t e = 0; e < entries_; ++e) {
            const std::int32_t own = image_.I32(EntryAt(chunks, e, kIndexTabEntrySize));
            if (own != e)
                Problem(what + ": entry " + std::to_string(e) + " carries the number " +
                        std::to_string(own));
        }
        if (index.head < 0 || index.head >= entries_) {
            Problem(what + ": head " + std::to_string(index.head) + " is out of range");
            return;
        }
        const bool unique = (index.options & (kIdxPrimary | kIdxUnique)) != 0;
        std::vector<bool> visited(static_cast<size_t>(entries_), false);
        std::int64_t previous = -1;
        // The head and every next number are checked before they are followed.
        for (std::int64_t at = index.head; at != -1;) {
            if (visited[static_cast<size_t>(at)]) {
                Problem(what + ": the order comes back to entry " + std::to_string(at));
                break;
            }
            visited[static_cast<size_t>(at)] = true;
            if (live_[static_cast<size_t>(at)] && comparable) {
                if (previous >= 0) {
                    const int order = CompareKeys(index, previous, at);
                    if (order > 0)
                        Problem(what + ": entry " + std::to_string(at) +
                                " is out of key order after entry " + std::to_string(previous));
                    else if (order == 0 && unique)
                        Problem(what + ": entries " + std::to_string(previous) + " and " +
                                std::to_string(at) + " hold the same unique key");
                }
            }
            if (live_[static_cast<size_t>(at)])
                previous = at;
            const std::int64_t next = image_.I32(EntryAt(chunks, at, kIndexTabEntrySize) + 4);
            if (next != -1 && (next < 0 || next >= entries_)) {
                Problem(what + ": entry " + std::to_string(at) + " links to " +
                        std::to_string(next) + ", out of range");
                break;
            }
            at = next;
        }
        std::int64_t skipped = 0, firstSkipped = -1;
        for (std::int64_t e = 0; e < entries_; ++e)
            if (live_[static_cast<size_t>(e)] && !visited[static_cast<size_t>(e)]) {
                if (skipped++ == 0)
                    firstSkipped = e;
            }
        if (skipped > 0)
            Problem(what + ": the order skips " + std::to_string(skipped) +
                    " live entries, the first is entry " + std::to_string(firstSkipped));
    }

    const ImageView& image_;
    std::int64_t at_;
    bool encryption_;
    ProblemList& problems_;
    const std::vector<std::int64_t>& headers_;
    ValueDecoder& decoder_;
    vesk::TStructureMap& map_;
    std::int32_t tableNo_;
    vesk::TTableStructures structures_;
    std::string name_;
    std::vector<FieldInfo> fields_;
    std::vector<IndexInfo> indexes_;
    std::int64_t recordSize_ = 0;
    std::int64_t entries_ = 0;
    std::vector<std::int64_t> recordChunks_;
    std::vector<std::int64_t> recordOffsets_;
    std::vector<bool> live_;
};

}  // namespace

std::string CheckTable(const TableCheckContext& context) {
    return TableChecker(context).Run();
}

}  // namespace vesktool
