#include "engine/dataset/record_scan_reader.h"

#include <algorithm>

namespace vesk {

TStoredValue TRecordScanReader::Value(const TRecordItem& item, std::int32_t fieldNo) {
    const TVeskFieldDef& field = table_.FieldDefs().Items(fieldNo);
    if (IsBlobKind(field.FieldType) || table_.CanEncryptField(fieldNo)) {
        table_.ReadFieldValue(value_, item.EntryNo, fieldNo);
        return {value_.Memory(), static_cast<std::int32_t>(value_.Size())};
    }
    const std::int32_t size = GetFieldDataSize(field.FieldType, field.DataSize);
    const std::int64_t position =
        std::int64_t{item.RecordOffset} + table_.FieldOffsets().at(static_cast<size_t>(fieldNo));
    TVeskDBFileIO& file = table_.Owner().FileIO();
    if (const std::uint8_t* view = file.LockedView(position, size))
        return {view, size};
    if (position < blockStart_ || blockStart_ < 0 || position + size > blockStart_ + blockLength_) {
        block_.resize(static_cast<size_t>(std::max<std::int64_t>(kBlockSize, size)));
        blockStart_ = position;
        blockLength_ =
            file.ReadBuffer(block_.data(), position, static_cast<std::int64_t>(block_.size()));
        if (blockLength_ < size) {
            blockStart_ = -1;
            file.ThrowDamaged("a record of table '" + table_.TableName() + "' lies past the end");
        }
    }
    return {block_.data() + (position - blockStart_), size};
}

}  // namespace vesk
