#pragma once
// TFileBlockCache: copies of recently read fixed-size blocks of one file, so that the many
// small reads of key searches and record reads cost no system call once their block is held.
//
// The cache knows nothing of locks: its owner writes every byte it writes to the file through
// Wrote as well (write-through), and empties the cache wherever another handle may have
// changed the file. A block holds what one positioned read returned; a read that needs bytes
// past that reads the block again, so a file grown since is seen. A read missing any of its
// blocks reads them all in one call; larger reads go to the stream directly.
// Errors of the stream pass through (a read a system call refused is EStreamError, never a
// short block); the cache stays consistent.
#include <cstdint>
#include <list>
#include <unordered_map>
#include <vector>

#include "engine/stream.h"

namespace vesk {

class TFileBlockCache {
  public:
    static constexpr std::int64_t kBlockSize = 4096;
    static constexpr std::size_t kDefaultCapacity = 256;
    // Larger reads (whole records, headers, chunks) go to the stream directly: the blocks
    // around them would only be copied, and they are seldom read twice between two locks.
    static constexpr std::int64_t kLargestCachedRead = kBlockSize / 2;

    // capacity: blocks held at most (at least two, the most one read may span).
    explicit TFileBlockCache(std::size_t capacity = kDefaultCapacity);

    // Reads up to count bytes at position of stream; returns how many (short at its end).
    // Blocks are read from the stream no further than fileEnd (where the owner believes the
    // stream ends) unless the bytes asked for lie beyond it.
    std::int64_t Read(TStream& stream, void* buffer, std::int64_t position, std::int64_t count,
                      std::int64_t fileEnd);
    // Brings the held blocks in line with count bytes just written at position.
    void Wrote(std::int64_t position, const void* data, std::int64_t count);
    // Forgets every block.
    void Clear();
    std::size_t HeldBlocks() const { return index_.size(); }

  private:
    struct Block {
        std::int64_t number = 0;
        std::int64_t valid = 0;  // bytes of the block that the last read returned
        std::vector<std::uint8_t> bytes;
    };
    using Blocks = std::list<Block>;  // most recently used first

    Block* Find(std::int64_t number);
    // Blocks first to last read anew in one call of the stream, up to readEnd.
    void LoadRange(TStream& stream, std::int64_t first, std::int64_t last, std::int64_t readEnd);
    // A block taken for number (the least recently used one when the cache is full).
    Block& NewBlock(std::int64_t number);
    void Drop(Blocks::iterator at);

    std::size_t capacity_;
    Blocks blocks_;
    Blocks spare_;  // buffers of forgotten blocks, reused before new ones are made
    std::vector<std::uint8_t> scratch_;
    std::unordered_map<std::int64_t, Blocks::iterator> index_;
};

}  // namespace vesk
