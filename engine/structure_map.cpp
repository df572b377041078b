#include "engine/structure_map.h"

#include <algorithm>
#include <iterator>

#include "engine/file_format.h"
#include "engine/stored_text.h"

namespace vesk {

namespace {

// The order of the lists: by offset, and at one offset by kind, so that every pass names an
// overlap alike whichever order the structures were added in.
inline bool Before(const TStructure& a, const TStructure& b) {
    if (a.at != b.at)
        return a.at < b.at;
    if (a.kind != b.kind)
        return a.kind < b.kind;
    if (a.part != b.part)
        return a.part < b.part;
    return a.number < b.number;
}

struct ByPlace {
    bool operator()(const TStructure& a, const TStructure& b) const { return Before(a, b); }
};

// Sorts structures that come as a few runs each in file order, the records of a table in one
// long run as a rule: the longest run stays as it is, the rest is sorted (it is small) and
// merged with it, which costs a few passes instead of a sort of the whole.
void SortRuns(std::vector<TStructure>& structures) {
    size_t bestBegin = 0, bestEnd = 0;
    for (size_t begin = 0; begin < structures.size();) {
        size_t end = begin + 1;
        while (end < structures.size() && !Before(structures[end], structures[end - 1]))
            ++end;
        if (end - begin > bestEnd - bestBegin) {
            bestBegin = begin;
            bestEnd = end;
        }
        begin = end;
    }
    if (bestBegin == 0 && bestEnd == structures.size())
        return;
    std::vector<TStructure> rest;
    rest.reserve(structures.size() - (bestEnd - bestBegin));
    rest.insert(rest.end(), structures.begin(),
                structures.begin() + static_cast<std::ptrdiff_t>(bestBegin));
    rest.insert(rest.end(), structures.begin() + static_cast<std::ptrdiff_t>(bestEnd),
                structures.end());
    std::sort(rest.begin(), rest.end(), ByPlace());
    std::vector<TStructure> merged;
    merged.reserve(structures.size());
    std::merge(structures.begin() + static_cast<std::ptrdiff_t>(bestBegin),
               structures.begin() + static_cast<std::ptrdiff_t>(bestEnd), rest.begin(), rest.end(),
               std::back_inserter(merged), ByPlace());
    structures.swap(merged);
}

// One structure of one table, for the passes over several tables.
struct Placed {
    const TTableStructures* table;
    const TStructure* structure;
};

// one starts within other's extent; both are named at one's first byte.
std::string LiesOn(const Placed& one, const Placed& other) {
    const std::int64_t point = one.structure->at;
    return one.table->Describe(*one.structure, point) + " lies on " +
           other.table->Describe(*other.structure, point);
}

// The first structure of a (table) that lies on one of b, or of b on one of a: both lists are
// sorted by offset, so one merging pass with the furthest reach of each side finds it.
std::string FirstOverlap(const TTableStructures& a, const TTableStructures& b) {
    const std::vector<TStructure>& left = a.Structures();
    const std::vector<TStructure>& right = b.Structures();
    const TStructure* reachLeft = nullptr;
    const TStructure* reachRight = nullptr;
    size_t l = 0, r = 0;
    while (l < left.size() || r < right.size()) {
        if (r == right.size() || (l < left.size() && !Before(right[r], left[l]))) {
            const TStructure& x = left[l++];
            if (reachRight && reachRight->end > x.at)
                return LiesOn({&a, &x}, {&b, reachRight});
            if (!reachLeft || x.end > reachLeft->end)
                reachLeft = &x;
        } else {
            const TStructure& y = right[r++];
            if (reachLeft && reachLeft->end > y.at)
                return LiesOn({&b, &y}, {&a, reachLeft});
            if (!reachRight || y.end > reachRight->end)
                reachRight = &y;
        }
    }
    return {};
}

// The same within one table's list.
std::string FirstOverlapWithin(const TTableStructures& table) {
    const TStructure* reach = nullptr;
    for (const TStructure& x : table.Structures()) {
        if (reach && reach->end > x.at)
            return LiesOn({&table, &x}, {&table, reach});
        if (!reach || x.end > reach->end)
            reach = &x;
    }
    return {};
}

}  // namespace

void TTableStructures::SetPartNames(std::vector<std::string> indexNames,
                                    std::vector<std::string> fieldNames) {
    indexNames_ = std::move(indexNames);
    fieldNames_ = std::move(fieldNames);
}

void TTableStructures::Add(const TStructure& structure) {
    if (!structures_.empty() && Before(structure, structures_.back()))
        sorted_ = false;
    structures_.push_back(structure);
    maxEnd_ = std::max(maxEnd_, structure.end);
}

void TTableStructures::Reserve(size_t more) {
    structures_.reserve(structures_.size() + more);
}

void TTableStructures::AddHeader(std::int64_t at) {
    Add({at, at + format::kTableHeaderSize, 0, 1, 0, TStructureKind::Header});
}

void TTableStructures::AddRecordChunks(const std::vector<std::int32_t>& chunks) {
    for (size_t c = 0; c < chunks.size(); ++c)
        Add({chunks[c], std::int64_t{chunks[c]} + format::kRecordTabChunkSize,
             static_cast<std::int32_t>(c), 1, 0, TStructureKind::RecordChunk});
}

void TTableStructures::AddIndexChunks(std::int32_t indexNo,
                                      const std::vector<std::int32_t>& chunks) {
    for (size_t c = 0; c < chunks.size(); ++c)
        Add({chunks[c], std::int64_t{chunks[c]} + format::kIndexTabChunkSize,
             static_cast<std::int32_t>(c), 1, static_cast<std::int16_t>(indexNo),
             TStructureKind::IndexChunk});
}

void TTableStructures::AddRecord(std::int32_t entryNo, std::int64_t offset, std::int64_t size,
                                 std::int64_t fileSize) {
    if (size <= 0 || offset < format::kFirstFreeAt || offset > fileSize - size)
        return;
    recordSize_ = size;
    if (!structures_.empty()) {
        TStructure& last = structures_.back();
        if (last.kind == TStructureKind::Record && last.end == offset &&
            last.number + last.count == entryNo) {
            ++last.count;
            last.end += size;
            maxEnd_ = std::max(maxEnd_, last.end);
            return;
        }
    }
    Add({offset, offset + size, entryNo, 1, 0, TStructureKind::Record});
}

bool TTableStructures::BlobAreaExtent(std::int64_t offset, std::int64_t stored,
                                      std::int64_t allocated, std::int64_t fileSize,
                                      std::int64_t& end) {
    if (offset < format::kFirstFreeAt || stored < 0 || allocated < 0)
        return false;
    const std::int64_t bytes = std::max(stored, allocated);
    if (bytes == 0 || offset > fileSize - bytes)
        return false;
    end = offset + bytes;
    return true;
}

void TTableStructures::AddBlobArea(std::int32_t entryNo, std::int32_t fieldNo, std::int64_t offset,
                                   std::int64_t stored, std::int64_t allocated,
                                   std::int64_t fileSize) {
    std::int64_t end = 0;
    if (BlobAreaExtent(offset, stored, allocated, fileSize, end))
        Add({offset, end, entryNo, 1, static_cast<std::int16_t>(fieldNo),
             TStructureKind::BlobArea});
}

const std::vector<TStructure>& TTableStructures::Structures() const {
    if (!sorted_) {
        SortRuns(structures_);
        sorted_ = true;
    }
    return structures_;
}

std::string TTableStructures::Describe(const TStructure& s, std::int64_t point) const {
    const std::string table = "table " + QuotedStoredText(name_);
    const auto named = [](const std::vector<std::string>& names, std::int32_t i) {
        return i >= 0 && static_cast<size_t>(i) < names.size()
                   ? QuotedStoredText(names[static_cast<size_t>(i)])
                   : std::to_string(i);
    };
    std::string what;
    switch (s.kind) {
        case TStructureKind::Header:
            what = "the header of " + table;
            break;
        case TStructureKind::RecordChunk:
            what = "chunk " + std::to_string(s.number) + " of the record tab of " + table;
            break;
        case TStructureKind::IndexChunk:
            what = "chunk " + std::to_string(s.number) + " of the index tab of index " +
                   named(indexNames_, s.part) + " of " + table;
            break;
        case TStructureKind::Record: {
            std::int64_t k = 0;
            if (s.count > 1 && recordSize_ > 0 && point > s.at)
                k = std::min<std::int64_t>((point - s.at) / recordSize_, s.count - 1);
            return "the record of entry " + std::to_string(s.number + k) + " of " + table + " at " +
                   std::to_string(s.at + k * recordSize_);
        }
        case TStructureKind::BlobArea:
            what = "the blob area of field " + named(fieldNames_, s.part) + " of entry " +
                   std::to_string(s.number) + " of " + table;
            break;
    }
    return what + " at " + std::to_string(s.at);
}

const TTableStructures* TStructureMap::Find(std::int32_t tableNo) const {
    const auto at = tables_.find(tableNo);
    return at == tables_.end() ? nullptr : &at->second;
}

void TStructureMap::Set(TTableStructures structures) {
    const std::int32_t tableNo = structures.TableNo();
    tables_.insert_or_assign(tableNo, std::move(structures));
}

std::int64_t TStructureMap::MaxEnd() const {
    std::int64_t end = 0;
    for (const auto& [tableNo, table] : tables_)
        end = std::max(end, table.MaxEnd());
    return end;
}

std::string TStructureMap::OverlapOf(std::int32_t tableNo) const {
    const TTableStructures* own = Find(tableNo);
    if (own == nullptr)
        return {};
    if (std::string found = FirstOverlapWithin(*own); !found.empty())
        return found;
    for (const auto& [otherNo, other] : tables_)
        if (otherNo != tableNo)
            if (std::string found = FirstOverlap(*own, other); !found.empty())
                return found;
    return {};
}

void TStructureMap::ForEachOverlap(const std::function<void(const std::string&)>& report) const {
    std::vector<Placed> all;
    for (const auto& [tableNo, table] : tables_)
        for (const TStructure& s : table.Structures())
            all.push_back({&table, &s});
    std::sort(all.begin(), all.end(), [](const Placed& a, const Placed& b) {
        if (Before(*a.structure, *b.structure))
            return true;
        return !Before(*b.structure, *a.structure) && a.table->TableNo() < b.table->TableNo();
    });
    const Placed* reach = nullptr;
    for (const Placed& x : all) {
        if (reach && reach->structure->end > x.structure->at)
            report(LiesOn(x, *reach));
        if (!reach || x.structure->end > reach->structure->end)
            reach = &x;
    }
}

std::string TStructureMap::BlobAreaLiesOn(std::int32_t tableNo, std::int32_t entryNo,
                                          std::int32_t fieldNo, std::int64_t at,
                                          std::int64_t end) const {
    for (const auto& [otherNo, table] : tables_)
        for (const TStructure& s : table.Structures()) {
            if (s.at >= end)
                break;
            if (s.end <= at)
                continue;
            const bool itself = otherNo == tableNo && s.kind == TStructureKind::BlobArea &&
                                s.number == entryNo && s.part == fieldNo;
            if (!itself)
                return table.Describe(s, std::max(at, s.at));
        }
    return {};
}

}  // namespace vesk
