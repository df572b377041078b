#include "tools/stored_value.h"

#include "engine/file_format.h"
#include "platform/os/collation.h"

namespace vesktool {

namespace {

template <typename T>
int Order(T left, T right) {
    return left < right ? -1 : (right < left ? 1 : 0);
}

}  // namespace

std::int64_t StoredInteger(vesk::TFieldType type, const std::uint8_t* at) {
    using namespace vesk;
    switch (type) {
        case ftSmallint:
            return format::GetI16(at);
        case ftWord:
        case ftBoolean:
            return static_cast<std::uint16_t>(format::GetI16(at));
        case ftInteger:
        case ftAutoInc:
        case ftDate:
        case ftTime:
            return format::GetI32(at);
        case ftLargeint:
            return format::GetI64(at);
        default:
            return 0;
    }
}

int CompareStoredValues(vesk::TFieldType type, std::int32_t dataSize, const std::uint8_t* left,
                        const std::uint8_t* right, bool caseInsensitive) {
    using namespace vesk;
    switch (type) {
        case ftString:
        case ftFixedChar:
            return os::CompareAnsiText(format::GetText(left, dataSize + 1),
                                       format::GetText(right, dataSize + 1), caseInsensitive);
        case ftBoolean:
            return Order(StoredInteger(type, left) != 0, StoredInteger(type, right) != 0);
        case ftFloat:
        case ftCurrency:
        case ftDateTime:
            return Order(format::GetF64(left), format::GetF64(right));
        default:
            return Order(StoredInteger(type, left), StoredInteger(type, right));
    }
}

}  // namespace vesktool
