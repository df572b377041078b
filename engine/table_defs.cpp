#include "engine/table_defs.h"

#include <cstdint>

#include "engine/db_error.h"

namespace vesk {

void TVeskFieldDef::Assign(const TVeskFieldDef& source) {
    Name = source.Name;
    FieldType = source.FieldType;
    DataSize = source.DataSize;
    ProcessMode = source.ProcessMode;
}

void TVeskIndexDef::Assign(const TVeskIndexDef& source) {
    Name = source.Name;
    Options = source.Options;
    FieldNumbers = source.FieldNumbers;
}

std::int32_t GetFieldDataSize(TFieldType fieldType, std::int32_t dataSize) {
    switch (fieldType) {
        case ftString:
        case ftFixedChar:
            if (dataSize < 0 || dataSize == INT32_MAX)
                throw EDatabaseError("Invalid field size");
            return dataSize + 1;
        case ftSmallint:
        case ftWord:
        case ftBoolean:
            return 2;
        case ftInteger:
        case ftDate:
        case ftTime:
        case ftAutoInc:
            return 4;
        case ftFloat:
        case ftCurrency:
        case ftDateTime:
        case ftLargeint:
            return 8;
        case ftBlob:
        case ftMemo:
        case ftGraphic:
        case ftFmtMemo:
            return 0;
        default:
            throw EDatabaseError("General error");
    }
}

std::int32_t GetFieldStorageSize(const TVeskFieldDef& field) {
    if (IsBlobKind(field.FieldType))
        return kBlobDescriptorSize;
    return GetFieldDataSize(field.FieldType, field.DataSize);
}

std::int32_t ComputeRecordLayout(const TVeskFieldDefs& fields, std::vector<std::int32_t>& offsets) {
    offsets.assign(static_cast<size_t>(fields.Count()), 0);
    // Summed in 64 bits: sizes read from a damaged file must not wrap the layout.
    std::int64_t at = 0;
    for (std::int32_t i = 0; i < fields.Count(); ++i) {
        offsets[static_cast<size_t>(i)] = static_cast<std::int32_t>(at);
        at += GetFieldStorageSize(fields.Items(i));
        if (at > INT32_MAX)
            throw EDatabaseError("Record too large");
    }
    return static_cast<std::int32_t>(at);
}

}  // namespace vesk
