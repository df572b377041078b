#include "engine/dataset/record_scan_reader.h"

#include <algorithm>
#include <stdexcept>

namespace vesk {

TRecordScanReader::TRecordScanReader(TVeskTableIO& table)
    : table_(table), file_(table.Owner().FileIO()) {}

const TRecordScanReader::Field& TRecordScanReader::FieldOf(std::int32_t fieldNo) {
    if (fieldNo < 0 || fieldNo >= table_.FieldDefs().Count())
        throw std::out_of_range("field number");
    if (fields_.size() <= static_cast<size_t>(fieldNo))
        fields_.resize(static_cast<size_t>(fieldNo) + 1);
    Field& info = fields_[static_cast<size_t>(fieldNo)];
    if (!info.known) {
        const TVeskFieldDef& field = table_.FieldDefs().Items(fieldNo);
        info.plain = !IsBlobKind(field.FieldType) && !table_.CanEncryptField(fieldNo);
        info.offset = table_.FieldOffsets().at(static_cast<size_t>(fieldNo));
        info.size = GetFieldDataSize(field.FieldType, field.DataSize);
        info.known = true;
    }
    return info;
}

TStoredValue TRecordScanReader::Value(const TRecordItem& item, std::int32_t fieldNo) {
    const Field& field = FieldOf(fieldNo);
    if (!field.plain) {
        table_.ReadFieldValue(value_, item.EntryNo, fieldNo);
        return {value_.Memory(), static_cast<std::int32_t>(value_.Size())};
    }
    const std::int32_t size = field.size;
    const std::int64_t position = std::int64_t{item.RecordOffset} + field.offset;
    if (const std::uint8_t* view = file_.LockedView(position, size))
        return {view, size};
    if (position < blockStart_ || blockStart_ < 0 || position + size > blockStart_ + blockLength_) {
        block_.resize(static_cast<size_t>(std::max<std::int64_t>(kBlockSize, size)));
        blockStart_ = position;
        blockLength_ =
            file_.ReadBuffer(block_.data(), position, static_cast<std::int64_t>(block_.size()));
        if (blockLength_ < size) {
            blockStart_ = -1;
            file_.ThrowDamaged("a record of table '" + table_.TableName() + "' lies past the end");
        }
    }
    return {block_.data() + (position - blockStart_), size};
}

const std::uint8_t* TRecordScanReader::InPlace(const TRecordItem& item, std::int32_t fieldNo) {
    if (fieldNo < 0 || fieldNo >= table_.FieldDefs().Count())
        return nullptr;
    const Field& field = FieldOf(fieldNo);
    if (!field.plain)
        return nullptr;
    return file_.LockedView(std::int64_t{item.RecordOffset} + field.offset, field.size);
}

}  // namespace vesk
