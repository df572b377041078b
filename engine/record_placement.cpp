#include "engine/record_placement.h"

#include <algorithm>

#include "engine/file_format.h"

namespace vesk {

void TRecordPlacement::AddStructure(std::int64_t at, std::int64_t size, std::string name) {
    if (size <= 0)
        return;
    structures_.push_back({at, at + size, std::move(name)});
    sealed_ = false;
}

void TRecordPlacement::AddChunks(const std::vector<std::int64_t>& chunks, std::int64_t chunkSize,
                                 const std::string& chain) {
    for (size_t c = 0; c < chunks.size(); ++c)
        AddStructure(chunks[c], chunkSize, chain + " chunk " + std::to_string(c));
}

void TRecordPlacement::Clear() {
    structures_.clear();
    reachIndex_.clear();
    sealed_ = true;
}

void TRecordPlacement::Seal() const {
    if (sealed_)
        return;
    std::sort(structures_.begin(), structures_.end(),
              [](const Structure& a, const Structure& b) { return a.at < b.at; });
    reachIndex_.resize(structures_.size());
    for (size_t i = 0; i < structures_.size(); ++i)
        reachIndex_[i] = i > 0 && structures_[reachIndex_[i - 1]].end >= structures_[i].end
                             ? reachIndex_[i - 1]
                             : i;
    sealed_ = true;
}

std::string TRecordPlacement::Problem(std::int64_t offset, std::int64_t recordSize,
                                      std::int64_t fileSize) const {
    if (offset < format::kFirstFreeAt)
        return "lies in the file's fixed part";
    // A record of no bytes still needs a place of its own.
    const std::int64_t size = std::max<std::int64_t>(recordSize, 1);
    if (offset > fileSize - size)
        return kBeyondTheEnd;
    Seal();
    // The last structure starting before the record ends; of it and those before it, the
    // one reaching furthest overlaps the record when it reaches past the record's start.
    const auto after =
        std::lower_bound(structures_.begin(), structures_.end(), offset + size,
                         [](const Structure& s, std::int64_t end) { return s.at < end; });
    if (after == structures_.begin())
        return {};
    const Structure& reach =
        structures_[reachIndex_[static_cast<size_t>(after - structures_.begin()) - 1]];
    if (reach.end > offset)
        return "lies on " + reach.name;
    return {};
}

}  // namespace vesk
