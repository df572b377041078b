#include "engine/file_block_cache.h"

#include <algorithm>
#include <cstring>

namespace vesk {

TFileBlockCache::TFileBlockCache(std::size_t capacity)
    : capacity_(std::max<std::size_t>(capacity, 1)) {}

TFileBlockCache::Block* TFileBlockCache::Find(std::int64_t number) {
    const auto found = index_.find(number);
    if (found == index_.end())
        return nullptr;
    blocks_.splice(blocks_.begin(), blocks_, found->second);
    return &*found->second;
}

TFileBlockCache::Block& TFileBlockCache::Load(TStream& stream, std::int64_t number, Block* held) {
    if (!held) {
        if (index_.size() >= capacity_) {
            // Reuse the least recently used block and its buffer.
            auto last = std::prev(blocks_.end());
            index_.erase(last->number);
            blocks_.splice(blocks_.begin(), blocks_, last);
        } else if (!spare_.empty()) {
            blocks_.splice(blocks_.begin(), spare_, spare_.begin());
        } else {
            blocks_.emplace_front();
            blocks_.front().bytes.resize(static_cast<std::size_t>(kBlockSize));
        }
        held = &blocks_.front();
        held->number = number;
        held->valid = 0;
        index_[number] = blocks_.begin();
    }
    try {
        held->valid = stream.ReadAt(held->bytes.data(), number * kBlockSize, kBlockSize);
    } catch (...) {
        Drop(index_.at(number));
        throw;
    }
    return *held;
}

void TFileBlockCache::Drop(Blocks::iterator at) {
    index_.erase(at->number);
    spare_.splice(spare_.end(), blocks_, at);
}

std::int64_t TFileBlockCache::Read(TStream& stream, void* buffer, std::int64_t position,
                                   std::int64_t count) {
    if (count <= 0)
        return 0;
    if (count > kBlockSize || position < 0)
        return stream.ReadAt(buffer, position, count);
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::int64_t done = 0;
    while (done < count) {
        const std::int64_t at = position + done;
        const std::int64_t number = at / kBlockSize;
        const std::int64_t offset = at - number * kBlockSize;
        const std::int64_t wanted = std::min(count - done, kBlockSize - offset);
        Block* block = Find(number);
        if (!block || block->valid < offset + wanted)
            block = &Load(stream, number, block);
        const std::int64_t got = std::min(wanted, block->valid - offset);
        if (got <= 0)
            break;
        std::memcpy(out + done, block->bytes.data() + offset, static_cast<std::size_t>(got));
        done += got;
        if (got < wanted)
            break;
    }
    return done;
}

void TFileBlockCache::Wrote(std::int64_t position, const void* data, std::int64_t count) {
    if (count <= 0 || position < 0 || index_.empty())
        return;
    const auto* in = static_cast<const std::uint8_t*>(data);
    const std::int64_t end = position + count;
    for (std::int64_t number = position / kBlockSize; number * kBlockSize < end; ++number) {
        const auto found = index_.find(number);
        if (found == index_.end())
            continue;
        Block& block = *found->second;
        const std::int64_t blockStart = number * kBlockSize;
        const std::int64_t from = std::max(position, blockStart) - blockStart;
        const std::int64_t to = std::min(end, blockStart + kBlockSize) - blockStart;
        if (from > block.valid) {
            // The bytes between would be a gap the block never held: read it again when needed.
            Drop(found->second);
            continue;
        }
        std::memcpy(block.bytes.data() + from, in + (blockStart + from - position),
                    static_cast<std::size_t>(to - from));
        block.valid = std::max(block.valid, to);
    }
}

void TFileBlockCache::Clear() {
    // The buffers are kept for the next blocks: a cache emptied on every lock would otherwise
    // allocate them anew for every locked operation.
    index_.clear();
    spare_.splice(spare_.end(), blocks_);
}

}  // namespace vesk
