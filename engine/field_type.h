#pragma once
// Field type codes as they are stored in a table header's field definitions (one byte each).
#include <cstdint>

namespace vesk {

enum TFieldType : std::uint8_t {
    ftUnknown = 0,
    ftString = 1,
    ftSmallint = 2,
    ftInteger = 3,
    ftWord = 4,
    ftBoolean = 5,
    ftFloat = 6,
    ftCurrency = 7,
    ftBCD = 8,
    ftDate = 9,
    ftTime = 10,
    ftDateTime = 11,
    ftBytes = 12,
    ftVarBytes = 13,
    ftAutoInc = 14,
    ftBlob = 15,
    ftMemo = 16,
    ftGraphic = 17,
    ftFmtMemo = 18,
    ftParadoxOle = 19,
    ftDBaseOle = 20,
    ftTypedBinary = 21,
    ftCursor = 22,
    ftFixedChar = 23,
    ftWideString = 24,
    ftLargeint = 25,
    ftADT = 26,
    ftArray = 27,
    ftReference = 28,
    ftDataSet = 29,
    ftOraBlob = 30,
    ftOraClob = 31,
    ftVariant = 32,
    ftInterface = 33,
    ftIDispatch = 34,
    ftGuid = 35,
    ftTimeStamp = 36,
    ftFMTBcd = 37,
};

// Types whose record slot is a 20-byte blob descriptor.
constexpr bool IsBlobKind(TFieldType type) {
    switch (type) {
        case ftBlob:
        case ftMemo:
        case ftGraphic:
        case ftFmtMemo:
        case ftParadoxOle:
        case ftDBaseOle:
        case ftTypedBinary:
        case ftOraBlob:
        case ftOraClob:
            return true;
        default:
            return false;
    }
}

// Types handled as zero-terminated texts.
constexpr bool IsTextKind(TFieldType type) {
    return type == ftString || type == ftFixedChar || type == ftWideString || type == ftGuid;
}

// Bytes of a blob descriptor inside a record.
constexpr std::int32_t kBlobDescriptorSize = 20;

}  // namespace vesk
