#include "engine/write_buffers.h"

#include <cstring>

#include "engine/db_error.h"
#include "engine/table_defs.h"

namespace vesk {

void CheckWriteBuffers(const TVeskTableIO& table, const TFieldBuffers& buffers) {
    const TVeskFieldDefs& fields = table.FieldDefs();
    bool fits = buffers.Count() == fields.Count();
    for (std::int32_t f = 0; fits && f < buffers.Count(); ++f) {
        const TFieldBufferItem& item = buffers.Items(f);
        if (!item.Active)
            continue;
        if (item.IsBlob())
            fits = item.BlobStream() != nullptr;
        else
            fits = item.Buffer != nullptr && item.Size == GetFieldStorageSize(fields.Items(f));
    }
    if (!fits)
        throw EDatabaseError("Field buffers do not match table '" + table.TableName() + "'");
}

void PadStringFields(TFieldBuffers& buffers) {
    for (std::int32_t f = 0; f < buffers.Count(); ++f) {
        TFieldBufferItem& item = buffers.Items(f);
        if (!item.Active || !IsTextKind(item.FieldType) || item.Size <= 0)
            continue;
        auto* text = static_cast<std::uint8_t*>(item.Buffer);
        auto* zero =
            static_cast<std::uint8_t*>(std::memchr(text, 0, static_cast<size_t>(item.Size)));
        if (zero == nullptr)
            zero = text + item.Size - 1;
        std::memset(zero, 0, static_cast<size_t>(text + item.Size - zero));
    }
}

void TerminateStringFields(TFieldBuffers& buffers) {
    for (std::int32_t f = 0; f < buffers.Count(); ++f) {
        TFieldBufferItem& item = buffers.Items(f);
        if (!item.Active || !IsTextKind(item.FieldType) || item.Size <= 0)
            continue;
        auto* text = static_cast<std::uint8_t*>(item.Buffer);
        if (std::memchr(text, 0, static_cast<size_t>(item.Size)) == nullptr)
            text[item.Size - 1] = 0;
    }
}

TAutoIncRestore::~TAutoIncRestore() {
    if (value_ != nullptr)
        std::memcpy(value_, saved_, 4);
}

void TAutoIncRestore::Keep(std::uint8_t* value) {
    value_ = value;
    std::memcpy(saved_, value, 4);
}

}  // namespace vesk
