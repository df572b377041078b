#include "engine/table_writer.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "engine/blob_area.h"
#include "engine/db_error.h"
#include "engine/file_format.h"
#include "engine/table_write_lock.h"
#include "engine/table_write_op.h"
#include "engine/write_buffers.h"

namespace vesk {

namespace {

using format::GetI32;
using format::PutI32;

// The deleted flag of a record-tab entry. A row is hidden by it while a write puts it in place,
// so that a write cut short leaves a deleted row rather than one half written.
constexpr std::uint8_t kEntryDeleted = 1;
constexpr std::uint8_t kEntryLive = 0;

std::int32_t ChunkCount(std::int32_t entries) {
    return entries / format::kEntriesPerChunk + (entries % format::kEntriesPerChunk != 0 ? 1 : 0);
}

std::uint8_t* IndexSlot(std::vector<std::uint8_t>& header, std::int32_t indexNo) {
    return header.data() + format::kHdrIndexes + indexNo * format::kIndexDefSize;
}

// The non-blob value of item into the work record at the field's offset.
void EncodeValue(TTableWriteOp& op, std::int32_t fieldNo, const TFieldBufferItem& item,
                 std::uint8_t* work) {
    op.file.EncodeBuffer(static_cast<const std::uint8_t*>(item.Buffer),
                         work + op.table.FieldOffsets()[static_cast<size_t>(fieldNo)], item.Size,
                         op.table.CanEncryptField(fieldNo));
}

bool HasActiveBlob(const TFieldBuffers& buffers) {
    for (std::int32_t f = 0; f < buffers.Count(); ++f)
        if (buffers.Items(f).Active && buffers.Items(f).IsBlob())
            return true;
    return false;
}

std::int32_t FindEntry(const TRecordList& list, std::int32_t entryNo) {
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].EntryNo == entryNo)
            return static_cast<std::int32_t>(i);
    return -1;
}

// The physical position of entryNo (list 0 ascends by entry number); -1 when not live.
std::int32_t PhysicalPosOf(TVeskTableIO& table, std::int32_t entryNo) {
    const TRecordList& list = table.GetRecordList(0);
    auto at =
        std::lower_bound(list.begin(), list.end(), entryNo,
                         [](const TRecordItem& item, std::int32_t e) { return item.EntryNo < e; });
    if (at == list.end() || at->EntryNo != entryNo)
        return -1;
    return static_cast<std::int32_t>(at - list.begin());
}

// The record at physPos, checked.
TRecordItem LiveRecord(TVeskTableIO& table, std::int32_t physPos) {
    const TRecordList& list = table.GetRecordList(0);
    if (physPos < 0 || physPos >= static_cast<std::int32_t>(list.size()))
        throw EDatabaseError("Record not found");
    return list[static_cast<size_t>(physPos)];
}

// The position of record once the table is current. A row is the same only with the same
// entry and the same record offset: an emptied table gives its entry numbers out again, to
// records that are always placed anew, so a handle that was behind finds its row gone rather
// than writing over the new one.
std::int32_t CurrentPhysicalPos(TVeskTableIO& table, const TRecordItem& record) {
    const std::int32_t pos = PhysicalPosOf(table, record.EntryNo);
    if (pos < 0 || table.GetRecordList(0)[static_cast<size_t>(pos)] != record)
        throw EDatabaseError("Record not found");
    return pos;
}

// True when the buffers hold, for every key field of the index, a value equal (in the index's
// comparison) to the one stored in entry entryNo.
bool KeyUnchanged(TVeskTableIO& table, const TFieldBuffers& buffers, std::int32_t indexNo,
                  std::int32_t entryNo) {
    const TVeskIndexDef& index = table.IndexDefs().Items(indexNo);
    const bool caseInsensitive = index.Has(tiCaseInsensitive);
    for (std::int32_t fieldNo : index.FieldNumbers) {
        const TFieldBufferItem& item = buffers.Items(fieldNo);
        if (!item.Active)
            continue;  // an inactive value is not written: the stored one stays
        if (item.IsBlob())
            return false;
        TMemoryStream stored;
        table.ReadFieldValue(stored, entryNo, fieldNo);
        if (TVeskTableIO::CompareFieldValue(item.GetDataBuf(), item.Size, stored.Memory(),
                                            static_cast<std::int32_t>(stored.Size()),
                                            item.FieldType, caseInsensitive, false) != 0)
            return false;
    }
    return true;
}

// Runs the file steps of one write. When a step fails, every byte it overwrote is put back and
// the table is read again from the file before the error goes on, so no phantom row is left.
template <class Steps>
void RunFileSteps(TTableWriteOp& op, TTableWriteLock& lock, Steps&& steps) {
    try {
        steps();
    } catch (...) {
        op.undo.Rollback();
        lock.ReleaseAndReload();
        throw;
    }
}

}  // namespace

std::int32_t TVeskTableWriter::AppendRecordData(TFieldBuffers& buffers, bool flush,
                                                const TAdjustAppendEvent& onAdjust) {
    TVeskDBFileIO& file = table_.Owner().FileIO();
    TTableWriteLock lock(table_, file);
    CheckWriteBuffers(table_, buffers);
    PadStringFields(buffers);

    std::vector<std::uint8_t> header = table_.HeaderCopy();
    const std::int32_t n = GetI32(header.data() + format::kHdrEntryCount);
    if (n < 0 || n == std::numeric_limits<std::int32_t>::max() ||
        static_cast<size_t>(n) != table_.RecordTabEntries().size() ||
        static_cast<size_t>(ChunkCount(n)) != table_.RecordTabChunks().size())
        file.ThrowDamaged("the record tab of table '" + table_.TableName() +
                          "' does not match its header");
    const std::int32_t e = n;

    // The automatic key first, so that the unique check sees the values actually stored.
    TAutoIncRestore autoIncRestore;
    const std::int32_t autoField = table_.AutoIncField();
    if (autoField >= 0 && buffers.Items(autoField).Active) {
        auto* value = static_cast<std::uint8_t*>(buffers.Items(autoField).Buffer);
        autoIncRestore.Keep(value);
        const std::int32_t counter = GetI32(header.data() + format::kHdrAutoInc);
        const std::int32_t given = GetI32(value);
        if (given == 0) {
            if (counter == std::numeric_limits<std::int32_t>::max())
                throw EDatabaseError("Auto-increment value out of range");
            PutI32(value, counter + 1);
            PutI32(header.data() + format::kHdrAutoInc, counter + 1);
        } else if (given > counter) {
            PutI32(header.data() + format::kHdrAutoInc, given);
        }
    }
    table_.CheckUniqueFieldForAppend(buffers);

    const std::int32_t indexCount = table_.IndexDefs().Count();
    std::vector<std::int32_t> insertPos(static_cast<size_t>(indexCount));
    for (std::int32_t i = 0; i < indexCount; ++i) {
        std::int32_t indicator = 0;
        insertPos[static_cast<size_t>(i)] = table_.SearchInsertPos(buffers, i, indicator);
    }

    TTableWriteOp op(table_, file);
    const bool newRecordChunk = e % format::kEntriesPerChunk == 0;
    std::int64_t recordChunk = 0;
    std::vector<std::int64_t> newIndexChunks(static_cast<size_t>(indexCount), 0);
    std::int64_t recordOffset = 0;
    RunFileSteps(op, lock, [&] {
        // Written in an order that a process killed between any two writes leaves readable:
        // first what nothing reaches yet (chunks past the counted ones, the record and its
        // blobs, its record-tab entry marked deleted, its own index-tab entries); then the
        // header counts the entry, the orders link it in, and clearing its deleted flag last
        // makes the row live. A cut write loses the new row and nothing else.
        const std::int32_t recordSize = table_.RecordSize();
        std::uint8_t entry[format::kRecordTabEntrySize] = {};
        std::int64_t entryPos = 0;
        if (newRecordChunk) {
            recordChunk = op.Allocate(format::kRecordTabChunkSize);
            std::vector<std::uint8_t> chunk(format::kRecordTabChunkSize, 0);
            recordOffset = op.Allocate(recordSize);
            PutI32(chunk.data() + 4, static_cast<std::int32_t>(recordOffset));
            chunk[4 + 4] = kEntryDeleted;
            op.Write(recordChunk, chunk.data(), format::kRecordTabChunkSize);
            entryPos = recordChunk + 4;
        } else {
            recordOffset = op.Allocate(recordSize);
            entryPos = table_.RecordTabEntryPos(e);
        }
        // The placeholder reserves the record's place before its blobs follow it; a record
        // without blobs is written once.
        std::vector<std::uint8_t> work(static_cast<size_t>(recordSize), 0);
        if (HasActiveBlob(buffers))
            op.Write(recordOffset, work.data(), recordSize);

        for (std::int32_t f = 0; f < buffers.Count(); ++f) {
            TFieldBufferItem& item = buffers.Items(f);
            if (!item.Active)
                continue;
            if (!item.IsBlob()) {
                EncodeValue(op, f, item, work.data());
                continue;
            }
            // The slot is still zero: the value gets a new area at the end of the file.
            StoreBlobValue(op, f, *item.BlobStream(),
                           work.data() + table_.FieldOffsets()[static_cast<size_t>(f)]);
        }
        op.Write(recordOffset, work.data(), recordSize);

        // The record-tab entry and the chain of chunks.
        if (!newRecordChunk) {
            PutI32(entry, static_cast<std::int32_t>(recordOffset));
            entry[4] = kEntryDeleted;
            op.Write(entryPos, entry, sizeof entry);
        } else if (n > 0) {
            op.WriteI32(table_.RecordTabChunks().back(), static_cast<std::int32_t>(recordChunk));
        } else {
            PutI32(header.data() + format::kHdrFirstChunk, static_cast<std::int32_t>(recordChunk));
        }

        // Every index: its chunk when the entry opens one, then the entry's own link in key
        // order. The link to it from the entry before is written once the header counts it.
        std::vector<std::int64_t> linkFrom(static_cast<size_t>(indexCount), 0);
        for (std::int32_t i = 0; i < indexCount; ++i) {
            std::uint8_t* slot = IndexSlot(header, i);
            const std::vector<std::int32_t>& chunks =
                table_.IndexTabChunks()[static_cast<size_t>(i)];
            std::int64_t ownPos = 0;
            if (newRecordChunk) {
                if (static_cast<std::int32_t>(chunks.size()) != ChunkCount(n))
                    file.ThrowDamaged("the index tab of table '" + table_.TableName() +
                                      "' does not match its record tab");
                const std::int64_t chunk = op.Allocate(format::kIndexTabChunkSize);
                const std::vector<std::uint8_t> zeros(format::kIndexTabChunkSize, 0);
                op.Write(chunk, zeros.data(), format::kIndexTabChunkSize);
                if (!chunks.empty())
                    op.WriteI32(chunks.back(), static_cast<std::int32_t>(chunk));
                else
                    PutI32(slot + format::kIdxFirstChunk, static_cast<std::int32_t>(chunk));
                newIndexChunks[static_cast<size_t>(i)] = chunk;
                ownPos = chunk + 4;
            } else {
                ownPos = table_.IndexTabEntryPos(i, e);
            }
            const std::int32_t pos = insertPos[static_cast<size_t>(i)];
            std::int32_t next = -1;
            if (e == 0) {
                PutI32(slot + format::kIdxHead, 0);
            } else if (pos == 0) {
                next = GetI32(slot + format::kIdxHead);
                PutI32(slot + format::kIdxHead, e);
            } else {
                const TRecordItem& before =
                    table_.GetRecordList(i + 1)[static_cast<size_t>(pos - 1)];
                linkFrom[static_cast<size_t>(i)] = table_.IndexTabEntryPos(i, before.EntryNo) + 4;
                next = op.ReadI32(linkFrom[static_cast<size_t>(i)], "index-tab entry");
            }
            std::uint8_t own[format::kIndexTabEntrySize];
            PutI32(own, e);
            PutI32(own + 4, next);
            op.Write(ownPos, own, sizeof own);
        }

        PutI32(header.data() + format::kHdrEntryCount, n + 1);
        op.WriteHeader(header);
        for (const std::int64_t at : linkFrom)
            if (at != 0)
                op.WriteI32(at, e);
        op.Write(entryPos + 4, &kEntryLive, 1);
        if (flush)
            file.Flush();
    });

    // The file holds the record: the in-memory state follows.
    autoIncRestore.Commit();
    table_.HeaderCopy() = header;
    table_.RecordTabEntries().push_back(TRecordTabItem{static_cast<std::int32_t>(recordOffset), 0});
    if (newRecordChunk) {
        table_.RecordTabChunks().push_back(static_cast<std::int32_t>(recordChunk));
        for (std::int32_t i = 0; i < indexCount; ++i)
            table_.IndexTabChunks()[static_cast<size_t>(i)].push_back(
                static_cast<std::int32_t>(newIndexChunks[static_cast<size_t>(i)]));
    }
    const TRecordItem item{static_cast<std::int32_t>(recordOffset), e};
    TVeskTableIO::AddRecordItem(table_.GetRecordList(0), item);
    if (onAdjust)
        onAdjust(-1, -1, item);
    for (std::int32_t i = 0; i < indexCount; ++i) {
        const std::int32_t pos = insertPos[static_cast<size_t>(i)];
        if (onAdjust)
            onAdjust(i, pos, item);
        TVeskTableIO::InsertRecordItem(table_.GetRecordList(i + 1), pos, item);
    }
    return e;
}

void TVeskTableWriter::ModifyRecordData(TFieldBuffers& buffers, std::int32_t physPos, bool flush,
                                        const TAdjustModifyEvent& onAdjust) {
    TVeskDBFileIO& file = table_.Owner().FileIO();
    const TRecordItem wanted = LiveRecord(table_, physPos);
    const std::int32_t e = wanted.EntryNo;
    TTableWriteLock lock(table_, file);
    physPos = CurrentPhysicalPos(table_, wanted);
    const TRecordItem record = table_.GetRecordList(0)[static_cast<size_t>(physPos)];
    CheckWriteBuffers(table_, buffers);
    TerminateStringFields(buffers);

    const std::int32_t recordSize = table_.RecordSize();
    std::vector<std::uint8_t> work(static_cast<size_t>(recordSize));
    file.ReadExact(work.data(), record.RecordOffset, recordSize, "record");
    CheckReusableBlobAreas(table_, file, e, work.data(), buffers);
    std::vector<std::uint8_t> header = table_.HeaderCopy();

    // An automatic key of 0 keeps the stored one; the buffer then holds it, so the unique
    // check and the caller see the value that stays stored.
    TAutoIncRestore autoIncRestore;
    bool keepStoredAutoInc = false;
    const std::int32_t autoField = table_.AutoIncField();
    if (autoField >= 0 && buffers.Items(autoField).Active) {
        auto* value = static_cast<std::uint8_t*>(buffers.Items(autoField).Buffer);
        autoIncRestore.Keep(value);
        std::int32_t given = GetI32(value);
        if (given == 0) {
            keepStoredAutoInc = true;
            file.DecodeBuffer(work.data() + table_.FieldOffsets()[static_cast<size_t>(autoField)],
                              value, 4, table_.CanEncryptField(autoField));
            given = GetI32(value);
        }
        if (given > GetI32(header.data() + format::kHdrAutoInc))
            PutI32(header.data() + format::kHdrAutoInc, given);
    }
    table_.CheckUniqueFieldForModify(buffers, physPos);

    // Where the record goes in every index whose key changed.
    struct Move {
        std::int32_t index, from, to, target;
    };
    std::vector<Move> moves;
    const std::int32_t indexCount = table_.IndexDefs().Count();
    for (std::int32_t i = 0; i < indexCount; ++i) {
        if (KeyUnchanged(table_, buffers, i, e))
            continue;
        TRecordList& list = table_.GetRecordList(i + 1);
        const std::int32_t from = FindEntry(list, e);
        if (from < 0)
            file.ThrowDamaged("a live record of table '" + table_.TableName() +
                              "' is in no index order");
        const TRecordItem item = list[static_cast<size_t>(from)];
        list.erase(list.begin() + from);
        std::int32_t to = 0;
        try {
            std::int32_t indicator = 0;
            to = table_.SearchInsertPos(buffers, i, indicator);
        } catch (...) {
            list.insert(list.begin() + from, item);
            throw;
        }
        list.insert(list.begin() + from, item);
        const std::int32_t target = from < to ? to + 1 : to;
        if (target != from)
            moves.push_back({i, from, to, target});
    }

    // A blob may be stored again in its own area, and a move unlinks the row from an order
    // before it links it in again: while either is under way the row is hidden behind its
    // deleted flag, so that a write cut short leaves it deleted, never half changed. Otherwise
    // the record's one write changes it.
    const bool hide = !moves.empty() || HasActiveBlob(buffers);

    TTableWriteOp op(table_, file);
    RunFileSteps(op, lock, [&] {
        // The header first: other handles see from its write counter that the table changed,
        // and a raised automatic key is kept even when the rest is cut short.
        op.WriteHeader(header);
        const std::int64_t flagPos = table_.RecordTabEntryPos(e) + 4;
        if (hide)
            op.Write(flagPos, &kEntryDeleted, 1);
        for (std::int32_t f = 0; f < buffers.Count(); ++f) {
            TFieldBufferItem& item = buffers.Items(f);
            if (!item.Active)
                continue;
            std::uint8_t* slot = work.data() + table_.FieldOffsets()[static_cast<size_t>(f)];
            if (f == autoField && keepStoredAutoInc)
                continue;
            if (!item.IsBlob()) {
                EncodeValue(op, f, item, work.data());
                continue;
            }
            StoreBlobValue(op, f, *item.BlobStream(), slot);
        }
        op.Write(record.RecordOffset, work.data(), recordSize);

        // Each link is written before anything that depends on it, a changed head at once, so
        // that the order stays one chain after every write.
        for (const Move& move : moves) {
            const TRecordList& list = table_.GetRecordList(move.index + 1);
            std::uint8_t* slot = IndexSlot(header, move.index);
            const std::int64_t ownPos = table_.IndexTabEntryPos(move.index, e);
            const std::int32_t ownNext = op.ReadI32(ownPos + 4, "index-tab entry");
            // Out of the chain at the old place...
            if (move.from == 0) {
                PutI32(slot + format::kIdxHead, ownNext);
                op.WriteHeader(header);
            } else {
                const std::int32_t before = list[static_cast<size_t>(move.from - 1)].EntryNo;
                op.WriteI32(table_.IndexTabEntryPos(move.index, before) + 4, ownNext);
            }
            // ...and into it at the new one: its own link first, then the link to it.
            if (move.target == 0) {
                op.WriteI32(ownPos + 4, GetI32(slot + format::kIdxHead));
                PutI32(slot + format::kIdxHead, e);
                op.WriteHeader(header);
            } else {
                const std::int32_t before = list[static_cast<size_t>(move.target - 1)].EntryNo;
                const std::int64_t beforePos = table_.IndexTabEntryPos(move.index, before);
                op.WriteI32(ownPos + 4, op.ReadI32(beforePos + 4, "index-tab entry"));
                op.WriteI32(beforePos + 4, e);
            }
        }
        if (hide)
            op.Write(flagPos, &kEntryLive, 1);
        if (flush)
            file.Flush();
    });

    autoIncRestore.Commit();
    table_.HeaderCopy() = header;
    for (const Move& move : moves) {
        if (onAdjust)
            onAdjust(move.index, move.from, move.target);
        TRecordList& list = table_.GetRecordList(move.index + 1);
        const TRecordItem item = TVeskTableIO::GetRecordItem(list, move.from);
        TVeskTableIO::DeleteRecordItem(list, move.from);
        TVeskTableIO::InsertRecordItem(list, move.to, item);
    }
}

void TVeskTableWriter::DeleteRecord(std::int32_t physPos, bool flush) {
    TVeskDBFileIO& file = table_.Owner().FileIO();
    const TRecordItem wanted = LiveRecord(table_, physPos);
    const std::int32_t e = wanted.EntryNo;
    TTableWriteLock lock(table_, file);
    physPos = CurrentPhysicalPos(table_, wanted);
    std::vector<std::uint8_t> header = table_.HeaderCopy();

    TTableWriteOp op(table_, file);
    RunFileSteps(op, lock, [&] {
        // The header's write counter first: a handle that takes the lock after a cut write
        // must see that the table changed.
        op.WriteHeader(header);
        op.Write(table_.RecordTabEntryPos(e) + 4, &kEntryDeleted, 1);
        if (flush)
            file.Flush();
    });

    table_.HeaderCopy() = header;
    table_.RecordTabEntries()[static_cast<size_t>(e)].DeleteFlag = 1;
    for (std::int32_t i = 1; i < table_.RecordListCount(); ++i) {
        TRecordList& list = table_.GetRecordList(i);
        const std::int32_t at = FindEntry(list, e);
        if (at >= 0)
            TVeskTableIO::DeleteRecordItem(list, at);
    }
    TVeskTableIO::DeleteRecordItem(table_.GetRecordList(0), physPos);
}

void TVeskTableWriter::EmptyTable() {
    TVeskDBFileIO& file = table_.Owner().FileIO();
    TTableWriteLock lock(table_, file);
    std::vector<std::uint8_t> header = table_.HeaderCopy();
    PutI32(header.data() + format::kHdrFirstChunk, 0);
    PutI32(header.data() + format::kHdrEntryCount, 0);
    PutI32(header.data() + format::kHdrAutoInc, 0);
    for (std::int32_t i = 0; i < format::kMaxIndexes; ++i) {
        PutI32(IndexSlot(header, i) + format::kIdxFirstChunk, 0);
        PutI32(IndexSlot(header, i) + format::kIdxHead, 0);
    }

    TTableWriteOp op(table_, file);
    RunFileSteps(op, lock, [&] {
        op.WriteHeader(header);
        file.Flush();
    });

    table_.HeaderCopy() = header;
    for (std::int32_t i = 0; i < table_.RecordListCount(); ++i)
        TVeskTableIO::ClearRecordList(table_.GetRecordList(i));
    table_.RecordTabEntries().clear();
    table_.RecordTabChunks().clear();
    for (auto& chunks : table_.IndexTabChunks())
        chunks.clear();
}

}  // namespace vesk
