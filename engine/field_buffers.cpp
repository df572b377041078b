#include "engine/field_buffers.h"

#include <cstdio>
#include <cstring>

#include "engine/day_number.h"
#include "engine/file_format.h"

namespace vesk {

namespace {

std::string FormatDate(std::int64_t dayNumber) {
    const TCivilDate d = DecodeDayNumber(static_cast<std::int32_t>(dayNumber));
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.Year, d.Month, d.Day);
    return text;
}

std::string FormatTime(std::int64_t ms) {
    ms = ((ms % kMsPerDay) + kMsPerDay) % kMsPerDay;
    const std::int64_t seconds = ms / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(seconds / 3600),
                  static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return text;
}

}  // namespace

std::uint8_t* TFieldBufferItem::GetDataBuf() const {
    if (IsBlob())
        return Buffer ? BlobStream()->Memory() : nullptr;
    return static_cast<std::uint8_t*>(Buffer);
}

std::int64_t TFieldBufferItem::GetDataSize() const {
    if (IsBlob())
        return Buffer ? BlobStream()->Size() : 0;
    return Buffer ? Size : 0;
}

void TFieldBufferItem::FreeBuffer() {
    if (!OwnsBuffer)
        return;
    if (IsBlob())
        delete BlobStream();
    else
        delete[] static_cast<std::uint8_t*>(Buffer);
    Buffer = nullptr;
    OwnsBuffer = false;
}

std::string TFieldBufferItem::GetAsString() const {
    const std::uint8_t* data = GetDataBuf();
    const std::int64_t size = GetDataSize();
    if (IsTextKind(FieldType) || IsBlob()) {
        if (!data || size <= 0)
            return {};
        return std::string(format::GetText(data, static_cast<std::int32_t>(size)));
    }
    auto need = [&](std::int64_t bytes) { return data && size >= bytes; };
    char text[64];
    switch (FieldType) {
        case ftSmallint:
            return need(2) ? std::to_string(format::GetI16(data)) : std::string();
        case ftWord:
            return need(2) ? std::to_string(static_cast<std::uint16_t>(format::GetI16(data)))
                           : std::string();
        case ftBoolean:
            if (!need(2))
                return {};
            return format::GetI16(data) != 0 ? "True" : "False";
        case ftInteger:
        case ftAutoInc:
            return need(4) ? std::to_string(format::GetI32(data)) : std::string();
        case ftLargeint:
            return need(8) ? std::to_string(format::GetI64(data)) : std::string();
        case ftFloat:
        case ftCurrency:
            if (!need(8))
                return {};
            std::snprintf(text, sizeof text, "%.15g", format::GetF64(data));
            return text;
        case ftDate:
            return need(4) ? FormatDate(format::GetI32(data)) : std::string();
        case ftTime:
            return need(4) ? FormatTime(format::GetI32(data)) : std::string();
        case ftDateTime: {
            if (!need(8))
                return {};
            std::int32_t day = 0;
            std::int32_t msOfDay = 0;
            if (!SplitDateTime(format::GetF64(data), day, msOfDay))
                return {};
            return FormatDate(day) + " " + FormatTime(msOfDay);
        }
        default:
            return {};
    }
}

TFieldBufferItem& TFieldBuffers::Add(void* buffer, TFieldType fieldType, std::int32_t size) {
    void* target = buffer;
    if (IsBlobKind(fieldType)) {
        TBlobBufferStream* stream = nullptr;
        if (buffer)
            std::memcpy(&stream, buffer, sizeof stream);
        target = stream;
        size = 0;
    }
    items_.push_back(std::make_unique<TFieldBufferItem>(target, fieldType, size));
    return *items_.back();
}

TFieldBufferItem& TFieldBuffers::AddBlob(TBlobBufferStream* stream, TFieldType fieldType) {
    items_.push_back(std::make_unique<TFieldBufferItem>(stream, fieldType, 0));
    return *items_.back();
}

}  // namespace vesk
