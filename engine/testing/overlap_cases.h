#pragma once
// Tests only: files whose structures share bytes, each made from one small sound image by one
// change. The table loader refuses every table an overlap involves, before anything is
// written, and the file checker names it; both tests take their cases from here, so that they
// judge the same files.
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/testing/test_db_image.h"

namespace vesk::testing {

// Table "proxy" (id integer, host string[10], memo; three rows; index ByHost on host), 64 free
// bytes, then table "ext" (n integer; two rows; index pk on n). The free bytes give room to lay
// a chunk's used part just before ext's header.
struct OverlapFixture {
    static constexpr std::int32_t kProxyRecordSize = 35;
    static constexpr std::int32_t kMemoAt = 15;
    static constexpr std::int32_t kGap = 64;

    TestImage image;
    TestTableAt proxy;
    TestTableAt ext;

    OverlapFixture() {
        TestTable table{"proxy",
                        {{"id", ftInteger}, {"host", ftString, 10}, {"memo", ftMemo}},
                        {{"ByHost", 0, {1}, {1, 2, 0}}},
                        {},
                        {}};
        const char* hosts[] = {"gamma", "alpha", "beta"};
        for (std::int32_t e = 0; e < 3; ++e)
            table.Records.push_back(
                TestRecord(kProxyRecordSize).I32(0, e + 1).Text(4, hosts[e]).bytes);
        proxy = image.AddTable(table);
        image.AppendZeros(kGap);
        ext = image.AddTable({"ext",
                              {{"n", ftInteger}},
                              {{"pk", 3, {0}, {0, 1}}},
                              {TestRecord(4).I32(0, 10).bytes, TestRecord(4).I32(0, 20).bytes},
                              {}});
    }

    void SetMemo(std::int32_t entry, std::int32_t area, std::int32_t stored,
                 std::int32_t allocated) {
        const std::int64_t at = proxy.Records[static_cast<size_t>(entry)] + kMemoAt;
        image.PutI32(at + format::kBlobOffset, area);
        image.PutI32(at + format::kBlobStoredSize, stored);
        image.PutI32(at + format::kBlobAllocatedSize, allocated);
    }
    // Copies the used part of a chunk to `to` (the chunk then starts there).
    void MoveChunk(std::int64_t from, std::int64_t to, std::int32_t usedBytes) {
        std::vector<std::uint8_t> used(image.bytes.begin() + from,
                                       image.bytes.begin() + from + usedBytes);
        std::memcpy(image.bytes.data() + to, used.data(), used.size());
    }
    // Moves ext's record tab to the end of the file with only its two used entries written,
    // as the engine reads a last chunk; returns where the chunk starts. Its unused entries lie
    // past the file's end.
    std::int32_t LayExtRecordTabAtTheEnd() {
        const std::int32_t used = 4 + 2 * format::kRecordTabEntrySize;
        const std::int32_t chunk = image.End();
        image.AppendZeros(used);
        MoveChunk(ext.RecordChunks[0], chunk, used);
        image.PutI32(ext.Header + format::kHdrFirstChunk, chunk);
        return chunk;
    }
};

struct OverlapCase {
    const char* name;
    std::function<void(OverlapFixture&)> damage;
    std::vector<std::string> refused;  // the tables whose load is refused
    // What the loader's message and the checker's problem both say (offsets filled in).
    std::function<std::string(const OverlapFixture&)> part;
};

inline std::vector<OverlapCase> OverlapCases() {
    using F = OverlapFixture;
    const auto at = [](std::int64_t offset) { return " at " + std::to_string(offset); };
    return {
        {"a record inside another table's record-tab chunk",
         [](F& f) {
             f.image.PutI32(TestImage::RecordTabEntryAt(f.proxy, 0), f.ext.RecordChunks[0] + 8);
         },
         {"proxy", "ext"},
         [at](const F& f) {
             return "lies on chunk 0 of the record tab of table 'ext'" + at(f.ext.RecordChunks[0]);
         }},
        {"a memo's blob area on another table's header",
         [](F& f) { f.SetMemo(1, f.ext.Header, 5, 64); },
         {"proxy", "ext"},
         [at](const F& f) {
             return "the blob area of field 'memo' of entry 1 of table 'proxy'" + at(f.ext.Header);
         }},
        {"a record-tab chunk laid just before another table's header",
         [](F& f) {
             const std::int32_t to = f.ext.Header - 32;
             f.MoveChunk(f.proxy.RecordChunks[0], to, 4 + 3 * format::kRecordTabEntrySize);
             f.image.PutI32(f.proxy.Header + format::kHdrFirstChunk, to);
         },
         {"proxy", "ext"},
         [at](const F& f) {
             return "the header of table 'ext'" + at(f.ext.Header) +
                    " lies on chunk 0 of the record tab of table 'proxy'" + at(f.ext.Header - 32);
         }},
        {"an index-tab chunk laid just before another table's header",
         [](F& f) {
             const std::int32_t to = f.ext.Header - 32;
             f.MoveChunk(f.proxy.IndexChunks[0][0], to, 4 + 3 * format::kIndexTabEntrySize);
             f.image.PutI32(TestImage::IndexDefAt(f.proxy, 0) + format::kIdxFirstChunk, to);
         },
         {"proxy", "ext"},
         [at](const F& f) {
             return "the header of table 'ext'" + at(f.ext.Header) +
                    " lies on chunk 0 of the index tab of index 'ByHost' of table 'proxy'" +
                    at(f.ext.Header - 32);
         }},
        {"two records of one table sharing bytes",
         [](F& f) {
             f.image.PutI32(TestImage::RecordTabEntryAt(f.proxy, 1), f.proxy.Records[0] + 4);
         },
         {"proxy"},
         [at](const F& f) {
             return "the record of entry 1 of table 'proxy'" + at(f.proxy.Records[0] + 4) +
                    " lies on the record of entry 0 of table 'proxy'" + at(f.proxy.Records[0]);
         }},
        {"a blob area on its own table's record tab",
         [](F& f) { f.SetMemo(2, f.proxy.RecordChunks[0], 0, 64); },
         {"proxy"},
         [at](const F& f) {
             return "the blob area of field 'memo' of entry 2 of table 'proxy'" +
                    at(f.proxy.RecordChunks[0]) +
                    " lies on chunk 0 of the record tab of table 'proxy'" +
                    at(f.proxy.RecordChunks[0]);
         }},
        {"a blob area on another table's record",
         [](F& f) { f.SetMemo(0, f.ext.Records[1], 3, 64); },
         {"proxy", "ext"},
         [at](const F& f) {
             return "the blob area of field 'memo' of entry 0 of table 'proxy'" +
                    at(f.ext.Records[1]);
         }},
    };
}

}  // namespace vesk::testing
