#include "engine/field_buffers.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/file_format.h"

namespace vesk {

namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;

// Days from 0001-01-01 (day 1) through the proleptic Gregorian calendar, by the usual
// era arithmetic on days since 0000-03-01.
constexpr std::int64_t kDaysFrom0000_03_01To0001_01_01 = 306;

std::string FormatDate(std::int64_t dayNumber) {
    const TCivilDate d = DayNumberToDate(dayNumber);
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

TCivilDate DayNumberToDate(std::int64_t dayNumber) {
    const std::int64_t z = dayNumber - 1 + kDaysFrom0000_03_01To0001_01_01;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    TCivilDate date;
    date.Day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    date.Month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    date.Year = static_cast<int>(yoe + era * 400 + (date.Month <= 2 ? 1 : 0));
    return date;
}

std::int64_t DateToDayNumber(int year, int month, int day) {
    const std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = month > 2 ? month - 3 : month + 9;
    const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - kDaysFrom0000_03_01To0001_01_01 + 1;
}

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
            const double value = std::round(format::GetF64(data));
            if (!std::isfinite(value) || std::fabs(value) > 1e17)
                return {};
            const auto ms = static_cast<std::int64_t>(value);
            const std::int64_t day =
                ms >= 0 ? ms / kMsPerDay : -((-ms + kMsPerDay - 1) / kMsPerDay);
            return FormatDate(day) + " " + FormatTime(ms - day * kMsPerDay);
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
