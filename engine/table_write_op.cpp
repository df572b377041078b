#include "engine/table_write_op.h"

#include <algorithm>
#include <limits>

#include "engine/db_error.h"
#include "engine/file_format.h"

namespace vesk {

std::int64_t TTableWriteOp::Allocate(std::int64_t size) {
    if (end + size > std::numeric_limits<std::int32_t>::max())
        throw EDatabaseError("Database file '" + file.FileName() + "' is full");
    const std::int64_t at = end;
    end += size;
    return at;
}

void TTableWriteOp::Write(std::int64_t position, const void* data, std::int64_t count) {
    undo.Overwrite(position, data, count);
    end = std::max(end, position + count);
}

void TTableWriteOp::WriteI32(std::int64_t position, std::int32_t value) {
    std::uint8_t bytes[4];
    format::PutI32(bytes, value);
    Write(position, bytes, 4);
}

std::int32_t TTableWriteOp::ReadI32(std::int64_t position, const char* what) {
    std::uint8_t bytes[4];
    file.ReadExact(bytes, position, 4, what);
    return format::GetI32(bytes);
}

void TTableWriteOp::WriteHeader(std::vector<std::uint8_t>& header) {
    // The counter wraps around; it only has to differ from what other handles last saw.
    const auto counter =
        static_cast<std::uint32_t>(format::GetI32(header.data() + kHdrWriteCounter));
    format::PutI32(header.data() + kHdrWriteCounter, static_cast<std::int32_t>(counter + 1u));
    Write(file.TableHeaderPos(table.TableNo()), header.data(), format::kTableHeaderSize);
}

}  // namespace vesk
