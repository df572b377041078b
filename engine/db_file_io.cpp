#include "engine/db_file_io.h"

#include <sys/file.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <typeinfo>
#include <unordered_set>

#include "engine/codec/encrypt_exception.h"
#include "engine/db_error.h"
#include "engine/field_type.h"
#include "engine/memory_medium.h"
#include "engine/schema_rules.h"
#include "engine/stored_text.h"
#include "platform/os/byte_lock.h"
#include "platform/os/file_attributes.h"
#include "platform/os/local_paths.h"

namespace vesk {

namespace {

constexpr off_t kLockByte = 1;

std::array<std::uint8_t, format::kFileHeaderSize> ReadFileHeader(TStream& stream, bool& complete) {
    std::array<std::uint8_t, format::kFileHeaderSize> header{};
    stream.SetPosition(format::kFileHeaderAt);
    complete = stream.Read(header.data(), format::kFileHeaderSize) == format::kFileHeaderSize;
    return header;
}

std::string TableNameOf(const std::uint8_t* header) {
    return std::string(format::GetText(header + format::kHdrName, format::kNameSize));
}

// A stored value as a damage message names it: by field, entry and table where known, else by
// its offset.
std::string ValueText(const TValuePlace* place, const char* unknown, std::int64_t position) {
    const std::string table = place && place->table
                                  ? " of table '" + EscapeStoredText(*place->table) + "'"
                                  : std::string();
    if (place == nullptr || place->field == nullptr)
        return std::string(unknown) + " at offset " + std::to_string(position) + table;
    std::string text = "the value of field '" + EscapeStoredText(*place->field) + "'";
    if (place->entryNo >= 0)
        text += " of entry " + std::to_string(place->entryNo);
    return text + table;
}

}  // namespace

TVeskDBFileIO::TVeskDBFileIO(TDBFileIOOwner* owner, TVeskDBMediumType mediumType, bool exclusive)
    : owner_(owner ? owner : &defaultOwner_),
      mediumType_(mediumType),
      exclusive_(exclusive),
      compressMgr_(std::make_unique<TCompressMgr>(this)),
      encryptMgr_(std::make_unique<TEncryptMgr>(this)) {}

TVeskDBFileIO::~TVeskDBFileIO() {
    Close();
}

void TVeskDBFileIO::CheckMagic(TStream& stream, const std::string& name) {
    bool complete = false;
    const auto header = ReadFileHeader(stream, complete);
    if (format::GetText(header.data(), format::kMagicSize) != format::kMagic)
        throw EDatabaseError(FormatMessage("Database file '%s' is a invalid VeskDB", name));
    // The magic is there, so this is one of our files, cut short inside its header.
    if (!complete)
        throw EDatabaseError("Database file '" + name +
                             "' is damaged: the file ends inside its 12-byte header");
}

void TVeskDBFileIO::CheckVersion(TStream& stream) {
    bool complete = false;
    const auto header = ReadFileHeader(stream, complete);
    // Byte-wise string order, a prefix before the longer text: "10.0" < "2.0" < "2.00".
    const std::string_view version =
        format::GetText(header.data() + format::kVersionAt, format::kVersionSize);
    if (version == "1.00")
        throw EDatabaseError("Version 1.00 is not compatible");
    if (version > std::string_view("2.0"))
        throw EDatabaseError("Version of database file is too High");
}

void TVeskDBFileIO::CheckMagicOfFile(const std::string& fileName) {
    TFileStream file(fileName, TFileStream::Mode::ReadOnly);
    CheckMagic(file, fileName);
}

void TVeskDBFileIO::CheckVersionOfFile(const std::string& fileName) {
    TFileStream file(fileName, TFileStream::Mode::ReadOnly);
    CheckVersion(file);
}

void TVeskDBFileIO::Open(const std::string& fileName, TVeskDBMediumType mediumType,
                         bool exclusive) {
    if (IsOpen())
        return;
    mediumType_ = mediumType;
    exclusive_ = exclusive;
    readOnlyFile_ = false;
    if (mediumType == mtDisk) {
        // A FIFO or a device would block the open or read as something else: only a regular
        // file is a database.
        if (!os::FileExists(fileName) || !os::IsRegularFile(fileName))
            throw EDatabaseError(FormatMessage("Cannot open file %s", fileName));
        CheckMagicOfFile(fileName);
        CheckVersionOfFile(fileName);
        const bool readOnly = os::IsReadOnlyFile(fileName);
        std::unique_ptr<TFileStream> file = owner_->OpenFileStream(
            fileName, readOnly ? TFileStream::Mode::ReadOnly : TFileStream::Mode::ReadWrite);
        // The share mode: see the header. flock locks belong to the open file description, so
        // two handles of this process exclude each other as two processes do.
        if (::flock(file->Handle(), (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0)
            throw EStreamError("Cannot open file " + fileName + ": the file is in use");
        readOnlyFile_ = readOnly;
        knownSize_ = file->Size();
        blockCache_.Clear();
        fileStream_ = std::move(file);
        stream_ = fileStream_.get();
    } else {
        // The name only selects a registered image; it is never taken for an address.
        TStream* image = TMemoryMedium::Find(fileName);
        if (!image)
            throw EDatabaseError(FormatMessage("Invalid database name '%s'", fileName));
        CheckMagic(*image, fileName);
        CheckVersion(*image);
        stream_ = image;
    }
    fileName_ = fileName;
    try {
        InitDbOptions();
        InitTableTab();
    } catch (...) {
        Close();
        throw;
    }
}

void TVeskDBFileIO::Close() {
    Unlock();
    view_.reset();
    fileStream_.reset();
    stream_ = nullptr;
    knownSize_ = 0;
    blockCache_.Clear();
    structures_.Clear();
}

void TVeskDBFileIO::Flush() {
    if (fileStream_)
        fileStream_->Flush();
}

void TVeskDBFileIO::Lock() {
    if (!IsOpen() || mediumType_ == mtMemory || !fileStream_)
        return;
    // A handle already holding the byte would be granted it again by the system; the engine
    // never nests locked operations, so a nested Lock is a fault reported as the time-out.
    if (locked_)
        throw EDatabaseError("Wait for unlock time out");
    const std::int32_t retryCount = std::max<std::int32_t>(0, owner_->LockRetryCount());
    const std::int32_t waitTime = std::max<std::int32_t>(0, owner_->LockWaitTime());
    std::int64_t failed = 0;
    for (;;) {
        if (os::TryLockBytes(fileStream_->Handle(), kLockByte, 1, !readOnlyFile_)) {
            locked_ = true;
            // Other handles may have written since this one last held the lock.
            blockCache_.Clear();
            try {
                RefreshFileSize();
            } catch (...) {
                Unlock();
                throw;
            }
            return;
        }
        ++failed;
        if (retryCount != 0 && failed > retryCount)
            throw EDatabaseError("Wait for unlock time out");
        owner_->SleepBetweenLockAttempts(waitTime);
    }
}

void TVeskDBFileIO::Unlock() {
    if (!locked_)
        return;
    locked_ = false;
    if (fileStream_)
        os::UnlockBytes(fileStream_->Handle(), kLockByte, 1);
}

void TDBFileIOOwner::SleepBetweenLockAttempts(std::int32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::unique_ptr<TFileStream> TDBFileIOOwner::OpenFileStream(const std::string& path,
                                                            TFileStream::Mode mode) {
    return std::make_unique<TFileStream>(path, mode);
}

[[noreturn]] void TVeskDBFileIO::ThrowDamaged(const std::string& what) const {
    throw EDatabaseError("Database file '" + fileName_ + "' is damaged: " + what);
}

std::int64_t TVeskDBFileIO::FileSize() {
    if (!stream_)
        throw EDatabaseError("Cannot perform this operation on a closed database");
    return fileStream_ ? knownSize_ : stream_->Size();
}

std::int64_t TVeskDBFileIO::RefreshFileSize() {
    if (!stream_)
        throw EDatabaseError("Cannot perform this operation on a closed database");
    if (!fileStream_)
        return stream_->Size();
    knownSize_ = fileStream_->Size();
    return knownSize_;
}

bool TVeskDBFileIO::WithinFile(std::int64_t end) {
    return end <= FileSize() || end <= RefreshFileSize();
}

std::int64_t TVeskDBFileIO::ReadBuffer(void* buffer, std::int64_t position, std::int64_t count) {
    return ReadStored(buffer, position, count, true);
}

std::int64_t TVeskDBFileIO::ReadStored(void* buffer, std::int64_t position, std::int64_t count,
                                       bool useCache) {
    if (!stream_)
        throw EDatabaseError("Cannot perform this operation on a closed database");
    if (!fileStream_)
        return stream_->ReadAt(buffer, position, count);
    if (count <= 0)
        return 0;
    // A read reaching past the known end learns the real one first, as a read of the file
    // would; nothing the cache may still hold from beyond it is returned.
    if (position > knownSize_ - count)
        RefreshFileSize();
    // Small reads under the lock (headers, tab entries, keys) are read in place; a whole
    // record is copied by the system, which costs less than first touching its pages.
    const std::uint8_t* view =
        count <= TFileBlockCache::kLargestCachedRead ? LockedView(position, count) : nullptr;
    if (view != nullptr) {
        std::memcpy(buffer, view, static_cast<size_t>(count));
        return count;
    }
    const std::int64_t got =
        useCache ? blockCache_.Read(*fileStream_, buffer, position, count, knownSize_)
                 : ReadAtOrThrow(*fileStream_, buffer, position, count);
    return std::max<std::int64_t>(0, std::min(got, knownSize_ - position));
}

const std::uint8_t* TVeskDBFileIO::LockedView(std::int64_t position, std::int64_t count) {
    // Only the real file is viewed (streams standing in for it in tests are read), and only
    // inside the size learnt under the lock.
    if (!locked_ || !fileStream_ || position < 0 || count < 0 || position > knownSize_ - count ||
        typeid(*fileStream_) != typeid(TFileStream))
        return nullptr;
    if (!view_ || view_->Size() < position + count) {
        constexpr std::int64_t kRoom = 64 * 1024 * 1024;
        view_.reset();
        view_ = std::make_unique<TReadOnlyFileMapping>(fileStream_->Handle(),
                                                       knownSize_ + knownSize_ / 2 + kRoom);
        if (view_->Size() < position + count) {
            view_.reset();
            return nullptr;
        }
    }
    return view_->Data() + position;
}

void TVeskDBFileIO::CheckRange(std::int64_t position, std::int64_t count, const std::string& what) {
    if (position < 0 || count < 0 || !WithinFile(position + count))
        ThrowDamaged(what + " lies beyond the end of the file");
}

void TVeskDBFileIO::ReadExact(void* buffer, std::int64_t position, std::int64_t count,
                              const std::string& what) {
    ReadStoredExact(buffer, position, count, what, true);
}

void TVeskDBFileIO::ReadExactNamedLate(void* buffer, std::int64_t position, std::int64_t count,
                                       const std::function<std::string()>& what) {
    if (position >= 0 && count >= 0 && WithinFile(position + count) &&
        ReadStored(buffer, position, count, true) == count)
        return;
    // Failed: once more as ReadExact, which gives the error its text.
    ReadStoredExact(buffer, position, count, what(), true);
}

void TVeskDBFileIO::ReadExactUncached(void* buffer, std::int64_t position, std::int64_t count,
                                      const std::string& what) {
    ReadStoredExact(buffer, position, count, what, false);
}

void TVeskDBFileIO::ReadStoredExact(void* buffer, std::int64_t position, std::int64_t count,
                                    const std::string& what, bool useCache) {
    CheckRange(position, count, what);
    if (ReadStored(buffer, position, count, useCache) != count) {
        // The file may have shrunk since its size was last read.
        if (position + count > RefreshFileSize())
            ThrowDamaged(what + " lies beyond the end of the file");
        ThrowDamaged(what + " could not be read in full");
    }
}

void TVeskDBFileIO::WriteBuffer(const void* buffer, std::int64_t position, std::int64_t count) {
    if (!stream_)
        throw EDatabaseError("Cannot perform this operation on a closed database");
    if (!fileStream_) {
        stream_->SetPosition(position);
        stream_->WriteBuffer(buffer, count);
        return;
    }
    if (count < 0)
        throw EStreamError("Stream write error");
    if (count == 0)
        return;
    if (fileStream_->WriteAt(buffer, position, count) != count) {
        const int error = fileStream_->LastError();
        // Part of the bytes may be on disk: forget what is held and learn the size again.
        blockCache_.Clear();
        try {
            RefreshFileSize();
        } catch (...) {
        }
        throw EStreamError(StreamErrorText("Stream write error", error));
    }
    blockCache_.Wrote(position, buffer, count);
    knownSize_ = std::max(knownSize_, position + count);
}

void TVeskDBFileIO::SetFileSize(std::int64_t size) {
    if (!stream_)
        throw EDatabaseError("Cannot perform this operation on a closed database");
    if (!fileStream_) {
        stream_->SetSize(size);
        return;
    }
    try {
        fileStream_->SetSize(size);
    } catch (...) {
        blockCache_.Clear();
        try {
            RefreshFileSize();
        } catch (...) {
        }
        throw;
    }
    // Blocks may hold bytes from beyond the new end.
    blockCache_.Clear();
    knownSize_ = size;
}

void TVeskDBFileIO::ReadOptions(std::uint8_t* buffer) {
    ReadExact(buffer, format::kOptionsAt, format::kOptionsSize, "the options block");
}

void TVeskDBFileIO::ReadTableTab(std::uint8_t* buffer) {
    ReadExact(buffer, format::kTableTabAt, format::kTableTabSize, "the table tab");
}

void TVeskDBFileIO::InitDbOptions() {
    ReadOptions(options_.data());
    // A name that no algorithm can have is damage, not a module that is missing.
    const auto checkName = [this](std::int32_t at, const char* what) {
        const std::uint8_t* name = options_.data() + at;
        if (const std::string problem = StoredAlgorithmNameProblem(name, format::kOptNameSize);
            !problem.empty())
            ThrowDamaged("the name '" +
                         EscapeStoredText(format::GetText(name, format::kOptNameSize)) +
                         "' of the " + what + " " + problem);
    };
    if (CompressionOn())
        checkName(format::kOptCompressName, "compression algorithm");
    if (EncryptionOn()) {
        checkName(format::kOptCipherName, "cipher");
        if (CipherMode() > kMaxCipherMode)
            ThrowDamaged("the cipher mode " + std::to_string(CipherMode()) +
                         " is not one of 0 to " + std::to_string(kMaxCipherMode));
    }
    if (CompressionOn())
        compressMgr_->SetAlgoName(CompressionName());
    if (EncryptionOn()) {
        encryptMgr_->SetAlgoName(CipherName());
        encryptMgr_->SetMode(CipherMode());
    }
}

void TVeskDBFileIO::InitTableTab() {
    std::array<std::uint8_t, format::kTableTabSize> tab{};
    ReadTableTab(tab.data());
    const std::int32_t count = format::GetI32(tab.data() + format::kTabCount);
    if (count < 0 || count > format::kMaxTables)
        ThrowDamaged("the table count " + std::to_string(count) + " is outside 0 to 256");
    tableTab_ = tab;
}

std::int32_t TVeskDBFileIO::TableCount() const {
    return format::GetI32(tableTab_.data() + format::kTabCount);
}

std::string TVeskDBFileIO::CompressionName() const {
    return std::string(
        format::GetText(options_.data() + format::kOptCompressName, format::kOptNameSize));
}

std::string TVeskDBFileIO::CipherName() const {
    return std::string(
        format::GetText(options_.data() + format::kOptCipherName, format::kOptNameSize));
}

std::int64_t TVeskDBFileIO::TableHeaderPos(std::int32_t tableNo) {
    if (tableNo < 0 || tableNo >= TableCount())
        throw EDatabaseError("Invalid table number " + std::to_string(tableNo));
    const std::int32_t at = format::GetI32(tableTab_.data() + format::kTabOffsets + 4 * tableNo);
    if (at < format::kFirstFreeAt)
        ThrowDamaged("the header offset " + std::to_string(at) + " of table " +
                     std::to_string(tableNo) + " is out of range");
    return at;
}

void TVeskDBFileIO::ReadTableHeader(std::int32_t tableNo, std::uint8_t* buffer) {
    const std::int64_t at = TableHeaderPos(tableNo);
    ReadExact(buffer, at, format::kTableHeaderSize,
              "the header of table " + std::to_string(tableNo));
}

void TVeskDBFileIO::WriteTableHeader(std::int32_t tableNo, const std::uint8_t* buffer) {
    WriteBuffer(buffer, TableHeaderPos(tableNo), format::kTableHeaderSize);
}

void TVeskDBFileIO::GetTableNames(std::vector<std::string>& list) {
    list.clear();
    std::vector<std::uint8_t> header(format::kTableHeaderSize);
    for (std::int32_t i = 0; i < TableCount(); ++i) {
        ReadTableHeader(i, header.data());
        const std::uint8_t* name = header.data() + format::kHdrName;
        if (const std::string problem = StoredNameProblem(name, format::kNameSize);
            !problem.empty())
            ThrowDamaged("the name '" + EscapeStoredText(format::GetText(name, format::kNameSize)) +
                         "' of table " + std::to_string(i) + " " + problem);
        list.push_back(TableNameOf(header.data()));
    }
}

void TVeskDBFileIO::ReadChunkChain(
    std::int32_t firstChunk, std::int32_t count, std::int32_t entrySize, const std::string& what,
    const std::function<void(const std::uint8_t*, std::int32_t)>& take,
    std::vector<std::int32_t>& chunkOffsets) {
    chunkOffsets.clear();
    if (count < 0)
        ThrowDamaged(what + " has a negative entry count");
    if (count == 0)
        return;
    // Checked before anything is sized by the count: the entries alone must fit the file.
    if (!WithinFile(static_cast<std::int64_t>(count) * entrySize))
        ThrowDamaged(what + " counts more entries than the file can hold");
    const std::int32_t chunks = (count + format::kEntriesPerChunk - 1) / format::kEntriesPerChunk;
    chunkOffsets.reserve(static_cast<size_t>(chunks));
    // One chunk at a time through one small buffer: its link and its entries in one read,
    // handed on at once, so that loading a long tab neither reads twice per chunk nor holds
    // the whole tab's bytes besides what is made of them.
    std::vector<std::uint8_t> chunk(take ? 4 + static_cast<size_t>(format::kEntriesPerChunk) *
                                                   static_cast<size_t>(entrySize)
                                         : 4);
    std::unordered_set<std::int32_t> seen;
    std::int32_t at = firstChunk;
    std::int32_t left = count;
    for (std::int32_t c = 0; c < chunks; ++c) {
        if (at == 0)
            ThrowDamaged(what + " ends after " + std::to_string(c) + " of " +
                         std::to_string(chunks) + " chunks");
        if (at < format::kFirstFreeAt)
            ThrowDamaged(what + " links to chunk offset " + std::to_string(at));
        if (!seen.insert(at).second)
            ThrowDamaged(what + " loops back to the chunk at " + std::to_string(at));
        const std::int32_t inChunk = std::min(left, format::kEntriesPerChunk);
        // Only the used part of the last chunk is read, so only that part must be in the file.
        const std::int64_t used = 4 + static_cast<std::int64_t>(inChunk) * entrySize;
        if (take) {
            ReadExactNamedLate(chunk.data(), at, used,
                               [&] { return what + " chunk " + std::to_string(c); });
            take(chunk.data() + 4, inChunk);
        } else {
            CheckRange(at, used, what + " chunk " + std::to_string(c));
            ReadExact(chunk.data(), at, 4, what + " chunk " + std::to_string(c));
        }
        chunkOffsets.push_back(at);
        left -= inChunk;
        at = format::GetI32(chunk.data());
    }
}

void TVeskDBFileIO::ReadRecordTab(const std::uint8_t* header, std::vector<TRecordTabItem>& entries,
                                  std::vector<std::int32_t>& chunkOffsets) {
    const std::int32_t count = format::GetI32(header + format::kHdrEntryCount);
    // Made apart and swapped in: a tab that fails to load leaves entries as they were.
    std::vector<TRecordTabItem> read;
    ReadChunkChain(
        format::GetI32(header + format::kHdrFirstChunk), count, format::kRecordTabEntrySize,
        "the record tab of table '" + TableNameOf(header) + "'",
        [&](const std::uint8_t* at, std::int32_t inChunk) {
            if (read.empty())
                read.reserve(static_cast<size_t>(count));  // the count is checked by now
            for (std::int32_t e = 0; e < inChunk; ++e, at += format::kRecordTabEntrySize)
                read.push_back({format::GetI32(at), at[4]});
        },
        chunkOffsets);
    entries.swap(read);
}

void TVeskDBFileIO::ReadIndexChain(
    const std::uint8_t* header, std::int32_t indexNo,
    const std::function<void(const std::uint8_t*, std::int32_t)>& take,
    std::vector<std::int32_t>& chunkOffsets) {
    const std::int32_t indexCount = format::GetI32(header + format::kHdrIndexCount);
    if (indexNo < 0 || indexNo >= std::min(indexCount, format::kMaxIndexes))
        throw EDatabaseError("Invalid index number " + std::to_string(indexNo));
    const std::uint8_t* def = header + format::kHdrIndexes + indexNo * format::kIndexDefSize;
    const std::int32_t count = format::GetI32(header + format::kHdrEntryCount);
    ReadChunkChain(format::GetI32(def + format::kIdxFirstChunk), count, format::kIndexTabEntrySize,
                   "the index tab of index '" +
                       std::string(format::GetText(def + format::kIdxName, format::kNameSize)) +
                       "' of table '" + TableNameOf(header) + "'",
                   take, chunkOffsets);
}

namespace {

// The chunk handler of ReadIndexChain that decodes each index-tab entry into `read`, sized once
// for the table's entry count (checked against the file before the first chunk comes).
template <class Item, class Decode>
std::function<void(const std::uint8_t*, std::int32_t)> IndexEntryCollector(
    std::vector<Item>& read, const std::uint8_t* header, Decode decode) {
    return [&read, header, decode](const std::uint8_t* at, std::int32_t inChunk) {
        if (read.empty())
            read.reserve(static_cast<size_t>(format::GetI32(header + format::kHdrEntryCount)));
        for (std::int32_t e = 0; e < inChunk; ++e, at += format::kIndexTabEntrySize)
            read.push_back(decode(at));
    };
}

}  // namespace

void TVeskDBFileIO::ReadIndexTab(const std::uint8_t* header, std::int32_t indexNo,
                                 std::vector<TIndexTabItem>& entries,
                                 std::vector<std::int32_t>& chunkOffsets) {
    std::vector<TIndexTabItem> read;
    ReadIndexChain(
        header, indexNo,
        IndexEntryCollector(read, header,
                            [](const std::uint8_t* at) {
                                return TIndexTabItem{format::GetI32(at), format::GetI32(at + 4)};
                            }),
        chunkOffsets);
    entries.swap(read);
}

void TVeskDBFileIO::ReadIndexLinks(const std::uint8_t* header, std::int32_t indexNo,
                                   std::vector<std::int32_t>& next,
                                   std::vector<std::int32_t>& chunkOffsets) {
    std::vector<std::int32_t> read;
    ReadIndexChain(header, indexNo,
                   IndexEntryCollector(
                       read, header, [](const std::uint8_t* at) { return format::GetI32(at + 4); }),
                   chunkOffsets);
    next.swap(read);
}

void TVeskDBFileIO::ReadChunkOffsets(std::int32_t firstChunk, std::int32_t count,
                                     std::int32_t entrySize, const std::string& what,
                                     std::vector<std::int32_t>& chunkOffsets) {
    ReadChunkChain(firstChunk, count, entrySize, what, nullptr, chunkOffsets);
}

void TVeskDBFileIO::SetDeleteFlag(std::int64_t entryPosition) {
    std::uint8_t entry[format::kRecordTabEntrySize];
    ReadExact(entry, entryPosition, sizeof entry, "a record-tab entry");
    entry[4] = 1;
    WriteBuffer(entry, entryPosition, sizeof entry);
}

void TVeskDBFileIO::ReadFieldData(TMemoryStream& dest, std::int64_t entryPosition,
                                  std::int32_t fieldOffset, std::int32_t size, bool isBlob,
                                  bool decrypt, bool decompress, const TValuePlace* place) {
    std::uint8_t entry[format::kRecordTabEntrySize];
    ReadExact(entry, entryPosition, sizeof entry, "a record-tab entry");
    const std::int32_t recordAt = format::GetI32(entry);
    if (recordAt < format::kFirstFreeAt)
        ThrowDamaged(ValueText(place, "a record", recordAt) + " lies in the file's fixed part");
    ReadFieldContent(dest, static_cast<std::int64_t>(recordAt) + fieldOffset, size, isBlob, decrypt,
                     decompress, place);
}

void TVeskDBFileIO::ReadFieldContent(TMemoryStream& dest, std::int64_t valuePosition,
                                     std::int32_t size, bool isBlob, bool decrypt, bool decompress,
                                     const TValuePlace* place) {
    // Names are built only for a message: this read serves every key comparison.
    const auto outside = [&](std::int64_t at, std::int64_t count) {
        return at < 0 || count < 0 || !WithinFile(at + count);
    };
    TMemoryStream stored;
    if (isBlob) {
        std::uint8_t descriptor[kBlobDescriptorSize];
        if (outside(valuePosition, sizeof descriptor))
            ThrowDamaged("the blob descriptor of " +
                         ValueText(place, "a blob value", valuePosition) +
                         " lies beyond the end of the file");
        // Blob values are read outside the lock, from the file as it is now: the descriptor
        // may have been replaced since this handle's last lock.
        ReadStoredExact(descriptor, valuePosition, sizeof descriptor, "a blob descriptor", false);
        const std::int32_t areaAt = format::GetI32(descriptor + format::kBlobOffset);
        const std::int32_t storedSize = format::GetI32(descriptor + format::kBlobStoredSize);
        if (storedSize < 0)
            ThrowDamaged("the blob descriptor of " +
                         ValueText(place, "a blob value", valuePosition) + " has a negative size");
        if (storedSize > 0) {
            if (areaAt < format::kFirstFreeAt || outside(areaAt, storedSize))
                ThrowDamaged("the blob area of " + ValueText(place, "a blob value", valuePosition) +
                             " at offset " + std::to_string(areaAt) + " of " +
                             std::to_string(storedSize) + " bytes " +
                             (areaAt < format::kFirstFreeAt ? "lies in the file's fixed part"
                                                            : "lies beyond the end of the file"));
            stored.SetSize(storedSize);
            ReadStoredExact(stored.Memory(), areaAt, storedSize, "a blob value", false);
        }
    } else {
        if (size < 0)
            throw EDatabaseError("Invalid field size");
        if (outside(valuePosition, size))
            ThrowDamaged(ValueText(place, "a value", valuePosition) +
                         " lies beyond the end of the file");
        stored.SetSize(size);
        ReadExact(stored.Memory(), valuePosition, size, "a field value");
    }
    try {
        DecodeStream(stored, dest, decrypt, decompress);
    } catch (const EDatabaseError&) {
        throw;  // no algorithm chosen: not the value's fault
    } catch (const EEncryptException&) {
        throw;  // no key set: not the value's fault
    } catch (const std::runtime_error& e) {
        // A compressed form that does not inflate or ends early: the stored bytes are damaged.
        ThrowDamaged(ValueText(place, isBlob ? "a blob value" : "a value", valuePosition) +
                     " cannot be decoded (" + e.what() + ")");
    }
}

void TVeskDBFileIO::DoCompressProgress(TDataProcessOwner*, int percent) {
    owner_->OnCompressProgress(percent);
}
void TVeskDBFileIO::DoUncompressProgress(TDataProcessOwner*, int percent) {
    owner_->OnUncompressProgress(percent);
}
void TVeskDBFileIO::DoEncryptProgress(TDataProcessOwner*, int percent) {
    owner_->OnEncryptProgress(percent);
}
void TVeskDBFileIO::DoDecryptProgress(TDataProcessOwner*, int percent) {
    owner_->OnDecryptProgress(percent);
}

}  // namespace vesk
