#pragma once
// Tests only: lays out small database images byte by byte under the file format, so tests can
// build exactly the structure they need (also damaged ones) without copying hex.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "engine/field_type.h"
#include "engine/file_format.h"
#include "engine/stream.h"

namespace vesk::testing {

struct TestField {
    std::string Name;
    TFieldType Type = ftInteger;
    std::int32_t DataSize = 0;
    std::uint8_t ProcessMode = 0;
};

struct TestIndex {
    std::string Name;
    std::uint8_t Options = 0;
    std::vector<std::int32_t> Fields;
    std::vector<std::int32_t> Order;  // entry numbers in key order (deleted ones included)
};

struct TestTable {
    std::string Name;
    std::vector<TestField> Fields;
    std::vector<TestIndex> Indexes;
    std::vector<std::vector<std::uint8_t>> Records;  // raw record bytes, entry e = Records[e]
    std::vector<std::int32_t> Deleted;               // entry numbers flagged deleted
};

// Where AddTable put a table's structures.
struct TestTableAt {
    std::int32_t Header = 0;
    std::vector<std::int32_t> RecordChunks;
    std::vector<std::int32_t> Records;
    std::vector<std::vector<std::int32_t>> IndexChunks;
};

class TestImage {
  public:
    explicit TestImage(const std::string& version = "2.0") : bytes(format::kFirstFreeAt, 0) {
        std::memcpy(bytes.data(), "VeskDB", 6);
        std::memcpy(bytes.data() + format::kVersionAt, version.data(),
                    std::min<size_t>(version.size(), 5));
    }

    std::vector<std::uint8_t> bytes;

    std::int32_t End() const { return static_cast<std::int32_t>(bytes.size()); }
    std::int32_t AppendZeros(std::int32_t count) {
        const std::int32_t at = End();
        bytes.resize(bytes.size() + static_cast<size_t>(count), 0);
        return at;
    }
    std::int32_t AppendBytes(const std::vector<std::uint8_t>& data) {
        const std::int32_t at = AppendZeros(static_cast<std::int32_t>(data.size()));
        std::copy(data.begin(), data.end(), bytes.begin() + at);
        return at;
    }
    void PutI32(std::int64_t at, std::int32_t value) { format::PutI32(bytes.data() + at, value); }
    std::int32_t GetI32(std::int64_t at) const { return format::GetI32(bytes.data() + at); }
    void PutText(std::int64_t at, std::int32_t size, const std::string& text) {
        format::PutText(bytes.data() + at, size, text);
    }
    void SetOption(std::int32_t at, std::uint8_t value) { bytes[format::kOptionsAt + at] = value; }
    void SetOptionText(std::int32_t at, const std::string& text) {
        PutText(format::kOptionsAt + at, format::kOptNameSize, text);
    }
    std::int32_t TableCount() const { return GetI32(format::kTableTabAt + format::kTabCount); }

    TestTableAt AddTable(const TestTable& table) {
        TestTableAt where;
        const std::int32_t tableNo = TableCount();
        where.Header = AppendZeros(format::kTableHeaderSize);
        PutI32(format::kTableTabAt + format::kTabCount, tableNo + 1);
        PutI32(format::kTableTabAt + format::kTabOffsets + 4 * tableNo, where.Header);
        const std::int64_t h = where.Header;
        PutText(h + format::kHdrName, format::kNameSize, table.Name);
        PutI32(h + format::kHdrFieldCount, static_cast<std::int32_t>(table.Fields.size()));
        for (size_t i = 0; i < table.Fields.size(); ++i) {
            const std::int64_t f =
                h + format::kHdrFields + static_cast<std::int64_t>(i) * format::kFieldDefSize;
            PutText(f + format::kFldName, format::kNameSize, table.Fields[i].Name);
            bytes[f + format::kFldType] = table.Fields[i].Type;
            PutI32(f + format::kFldDataSize, table.Fields[i].DataSize);
            bytes[f + format::kFldProcessMode] = table.Fields[i].ProcessMode;
        }
        const auto n = static_cast<std::int32_t>(table.Records.size());
        PutI32(h + format::kHdrEntryCount, n);
        const std::int32_t chunks = (n + format::kEntriesPerChunk - 1) / format::kEntriesPerChunk;
        for (std::int32_t c = 0; c < chunks; ++c) {
            where.RecordChunks.push_back(AppendZeros(format::kRecordTabChunkSize));
            if (c == 0)
                PutI32(h + format::kHdrFirstChunk, where.RecordChunks[0]);
            else
                PutI32(where.RecordChunks[c - 1], where.RecordChunks[c]);
        }
        for (std::int32_t e = 0; e < n; ++e) {
            where.Records.push_back(AppendBytes(table.Records[static_cast<size_t>(e)]));
            const std::int64_t entry = RecordTabEntryAt(where, e);
            PutI32(entry, where.Records.back());
        }
        for (std::int32_t e : table.Deleted)
            bytes[RecordTabEntryAt(where, e) + 4] = 1;
        PutI32(h + format::kHdrIndexCount, static_cast<std::int32_t>(table.Indexes.size()));
        for (size_t i = 0; i < table.Indexes.size(); ++i) {
            const TestIndex& index = table.Indexes[i];
            const std::int64_t d =
                h + format::kHdrIndexes + static_cast<std::int64_t>(i) * format::kIndexDefSize;
            PutText(d + format::kIdxName, format::kNameSize, index.Name);
            bytes[d + format::kIdxOptions] = index.Options;
            for (std::int32_t k = 0; k < format::kMaxKeyFields; ++k)
                PutI32(d + format::kIdxFields + 4 * k,
                       k < static_cast<std::int32_t>(index.Fields.size())
                           ? index.Fields[static_cast<size_t>(k)]
                           : -1);
            where.IndexChunks.emplace_back();
            for (std::int32_t c = 0; c < chunks; ++c) {
                where.IndexChunks[i].push_back(AppendZeros(format::kIndexTabChunkSize));
                if (c == 0)
                    PutI32(d + format::kIdxFirstChunk, where.IndexChunks[i][0]);
                else
                    PutI32(where.IndexChunks[i][static_cast<size_t>(c - 1)],
                           where.IndexChunks[i][static_cast<size_t>(c)]);
            }
            for (std::int32_t e = 0; e < n; ++e) {
                PutI32(IndexTabEntryAt(where, i, e), e);
                PutI32(IndexTabEntryAt(where, i, e) + 4, -1);
            }
            PutI32(d + format::kIdxHead, index.Order.empty() ? 0 : index.Order[0]);
            for (size_t k = 0; k + 1 < index.Order.size(); ++k)
                PutI32(IndexTabEntryAt(where, i, index.Order[k]) + 4, index.Order[k + 1]);
        }
        return where;
    }

    static std::int64_t RecordTabEntryAt(const TestTableAt& where, std::int32_t e) {
        return where.RecordChunks[static_cast<size_t>(e / format::kEntriesPerChunk)] + 4 +
               static_cast<std::int64_t>(e % format::kEntriesPerChunk) *
                   format::kRecordTabEntrySize;
    }
    static std::int64_t IndexTabEntryAt(const TestTableAt& where, size_t index, std::int32_t e) {
        return where.IndexChunks[index][static_cast<size_t>(e / format::kEntriesPerChunk)] + 4 +
               static_cast<std::int64_t>(e % format::kEntriesPerChunk) * format::kIndexTabEntrySize;
    }
    static std::int64_t IndexDefAt(const TestTableAt& where, size_t index) {
        return where.Header + format::kHdrIndexes +
               static_cast<std::int64_t>(index) * format::kIndexDefSize;
    }

    void WriteTo(const std::string& path) const {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    void CopyTo(TMemoryStream& stream) const {
        stream.Clear();
        stream.Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        stream.SetPosition(0);
    }
};

// A record built field by field at given offsets.
class TestRecord {
  public:
    explicit TestRecord(std::int32_t size) : bytes(static_cast<size_t>(size), 0) {}
    TestRecord& I16(std::int32_t at, std::int16_t v) {
        format::PutI16(bytes.data() + at, v);
        return *this;
    }
    TestRecord& I32(std::int32_t at, std::int32_t v) {
        format::PutI32(bytes.data() + at, v);
        return *this;
    }
    TestRecord& F64(std::int32_t at, double v) {
        format::PutF64(bytes.data() + at, v);
        return *this;
    }
    TestRecord& Text(std::int32_t at, const std::string& v) {
        std::copy(v.begin(), v.end(), bytes.begin() + at);
        return *this;
    }
    std::vector<std::uint8_t> bytes;
};

}  // namespace vesk::testing
