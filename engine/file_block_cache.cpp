#include "engine/file_block_cache.h"

#include <algorithm>
#include <cstring>

namespace vesk {

TFileBlockCache::TFileBlockCache(std::size_t capacity)
    : capacity_(std::max<std::size_t>(capacity, 2)) {}

TFileBlockCache::Block* TFileBlockCache::Find(std::int64_t number) {
    const auto found = index_.find(number);
    if (found == index_.end())
        return nullptr;
    blocks_.splice(blocks_.begin(), blocks_, found->second);
    return &*found->second;
}

TFileBlockCache::Block& TFileBlockCache::NewBlock(std::int64_t number) {
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
    Block& block = blocks_.front();
    block.number = number;
    block.valid = 0;
    index_[number] = blocks_.begin();
    return block;
}

void TFileBlockCache::Drop(Blocks::iterator at) {
    index_.erase(at->number);
    spare_.splice(spare_.end(), blocks_, at);
}

std::int64_t TFileBlockCache::Read(TStream& stream, void* buffer, std::int64_t position,
                                   std::int64_t count, std::int64_t fileEnd) {
    if (count <= 0)
        return 0;
    if (count > kLargestCachedRead || position < 0)
        return ReadAtOrThrow(stream, buffer, position, count);
    const std::int64_t first = position / kBlockSize;
    const std::int64_t last = (position + count - 1) / kBlockSize;
    // Held blocks that hold every byte wanted of them are used as they are; otherwise all
    // blocks of the range are read anew in one call.
    bool held = true;
    for (std::int64_t number = first; number <= last && held; ++number) {
        const Block* block = Find(number);
        const std::int64_t wantedEnd = std::min(position + count, (number + 1) * kBlockSize);
        held = block && block->valid >= wantedEnd - number * kBlockSize;
    }
    if (!held)
        LoadRange(stream, first, last, std::max(fileEnd, position + count));
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::int64_t done = 0;
    while (done < count) {
        const std::int64_t at = position + done;
        const std::int64_t number = at / kBlockSize;
        const std::int64_t offset = at - number * kBlockSize;
        const std::int64_t wanted = std::min(count - done, kBlockSize - offset);
        const Block* block = Find(number);
        const std::int64_t got = block ? std::min(wanted, block->valid - offset) : 0;
        if (got <= 0)
            break;
        std::memcpy(out + done, block->bytes.data() + offset, static_cast<std::size_t>(got));
        done += got;
        if (got < wanted)
            break;
    }
    return done;
}

void TFileBlockCache::LoadRange(TStream& stream, std::int64_t first, std::int64_t last,
                                std::int64_t readEnd) {
    const std::int64_t start = first * kBlockSize;
    const std::int64_t length = std::min((last + 1) * kBlockSize, readEnd) - start;
    scratch_.resize(static_cast<std::size_t>(std::max<std::int64_t>(length, 0)));
    for (std::int64_t number = first; number <= last; ++number)
        if (const auto found = index_.find(number); found != index_.end())
            Drop(found->second);
    const std::int64_t got = length > 0 ? ReadAtOrThrow(stream, scratch_.data(), start, length) : 0;
    for (std::int64_t number = first; number <= last; ++number) {
        const std::int64_t from = (number - first) * kBlockSize;
        Block& block = NewBlock(number);
        block.valid = std::clamp<std::int64_t>(got - from, 0, kBlockSize);
        if (block.valid > 0)
            std::memcpy(block.bytes.data(), scratch_.data() + from,
                        static_cast<std::size_t>(block.valid));
    }
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
