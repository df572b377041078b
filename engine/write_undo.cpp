#include "engine/write_undo.h"

#include <algorithm>

namespace vesk {

TWriteUndoLog::TWriteUndoLog(TVeskDBFileIO& file) : file_(file), originalSize_(file.FileSize()) {}

void TWriteUndoLog::Overwrite(std::int64_t position, const void* data, std::int64_t count) {
    const std::int64_t keptEnd = std::min(position + count, originalSize_);
    if (keptEnd > position) {
        Saved saved{position, std::vector<std::uint8_t>(static_cast<size_t>(keptEnd - position))};
        file_.ReadExact(saved.bytes.data(), position, keptEnd - position, "bytes to overwrite");
        saved_.push_back(std::move(saved));
    }
    file_.WriteBuffer(data, position, count);
}

void TWriteUndoLog::Rollback() noexcept {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
        try {
            file_.WriteBuffer(it->bytes.data(), it->position,
                              static_cast<std::int64_t>(it->bytes.size()));
        } catch (...) {
            // Keep going: every range restored is one structure less left changed.
        }
    }
    saved_.clear();
    try {
        if (file_.FileSize() > originalSize_)
            file_.SetFileSize(originalSize_);
    } catch (...) {
        // The appended bytes stay as dead space: nothing in the file points at them.
    }
}

}  // namespace vesk
