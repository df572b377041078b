#pragma once
// TVeskDBFileIO: the open file of one connected database. It opens and checks the file, keeps
// copies of the options block and the table tab, reads and writes table headers, reads the
// record-tab and index-tab chunk chains and single stored values, sets deleted flags, takes
// the one-byte file lock, and is the one place stored values pass through the codecs.
//
// Errors: EDatabaseError with the exact texts below, or "Database file '<name>' is damaged:
// <what>" for a structure that is out of range (nothing is ever read past a structure or the
// end of the file); EStreamError from the stream passes through unchanged.
//
// Share modes on disk: every handle takes a whole-file flock on its descriptor, exclusive
// (LOCK_EX) for an exclusive open, shared (LOCK_SH) otherwise, without waiting; so an exclusive
// open fails while any other handle is open and no handle opens while an exclusive one is.
// The refusal is EStreamError("Cannot open file <name>: the file is in use").
//
// The file lock: an open-file-description lock on byte 1 (a shared one on a handle that is
// open for reading only), which conflicts between any two handles, also of one process.
//
// On the disk medium the object keeps the file's size (read at open, grown by its own writes,
// read again when the lock is taken and before a range check or a read would come up short)
// and a cache of recently read file blocks (written through by its own writes, emptied when
// the lock is taken and at close). So every locked operation sees what other handles wrote,
// and a read outside the lock may see the file as it was at this handle's last lock (blob
// values excepted: they are always read from the file as it is).
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/codec/compress_mgr.h"
#include "engine/codec/data_process_owner.h"
#include "engine/codec/encrypt_mgr.h"
#include "engine/file_block_cache.h"
#include "engine/file_format.h"
#include "engine/file_mapping.h"
#include "engine/stream.h"
#include "engine/structure_map.h"

namespace vesk {

enum TVeskDBMediumType : std::uint8_t { mtDisk = 0, mtMemory = 1 };

// What the file needs of the database that owns it. The defaults are the session defaults,
// so a file can be used without a database (tools, tests).
class TDBFileIOOwner {
  public:
    virtual ~TDBFileIOOwner() = default;
    // Failed lock attempts allowed before the time-out; 0 waits forever.
    virtual std::int32_t LockRetryCount() const { return 20; }
    // Milliseconds between lock attempts.
    virtual std::int32_t LockWaitTime() const { return 100; }
    // Progress of the codecs, percent unchanged (the database adds itself as the sender).
    virtual void OnCompressProgress(int /*percent*/) {}
    virtual void OnUncompressProgress(int /*percent*/) {}
    virtual void OnEncryptProgress(int /*percent*/) {}
    virtual void OnDecryptProgress(int /*percent*/) {}
    // Waits between two lock attempts (sleeps; a test may count the waits instead).
    virtual void SleepBetweenLockAttempts(std::int32_t milliseconds);
    // Opens the stream of a disk file; Open calls it once for the file it keeps open. The
    // default opens a TFileStream; a test may hand out one that fails some writes on purpose.
    // Throws EStreamError("Cannot open file <path>: <reason>").
    virtual std::unique_ptr<TFileStream> OpenFileStream(const std::string& path,
                                                        TFileStream::Mode mode);
};

// A record-tab entry as read: the record's file offset and its deleted flag.
struct TRecordTabItem {
    std::int32_t RecordOffset = 0;
    std::uint8_t DeleteFlag = 0;  // 1 deleted, 0 live
    bool Deleted() const { return DeleteFlag != 0; }
};

// An index-tab entry as read: its own number (never relied on) and the next in key order.
struct TIndexTabItem {
    std::int32_t EntryNo = 0;
    std::int32_t Next = -1;  // -1: end of the order
};

// Which stored value a read is for, named in the damage error of a value that cannot be read
// or decoded. Each part may be unknown (null or -1); the pointed-to names outlive the read.
struct TValuePlace {
    const std::string* table = nullptr;
    const std::string* field = nullptr;
    std::int32_t entryNo = -1;
};

class TVeskDBFileIO : public TDataProcessOwner {
  public:
    // owner may be null (session defaults, no progress). The object starts closed.
    explicit TVeskDBFileIO(TDBFileIOOwner* owner = nullptr, TVeskDBMediumType mediumType = mtDisk,
                           bool exclusive = false);
    ~TVeskDBFileIO() override;
    TVeskDBFileIO(const TVeskDBFileIO&) = delete;
    TVeskDBFileIO& operator=(const TVeskDBFileIO&) = delete;

    // Opens and checks the file (nothing when already open), then chooses the codecs named in
    // the options block when their flags are on. On failure the object stays closed. Errors:
    // "Cannot open file %s" (also, at once, for a FIFO, a device or a folder), "Database file '%s'
    // is a invalid VeskDB", "Version 1.00 is not compatible", "Version of database file is too
    // High", "Invalid database name '%s'" (memory medium: malformed or not registered), damage
    // (also an algorithm name that breaks the naming rule of stored_text.h, and a cipher mode
    // outside 0..4), "Compression algorithm module '%s' not found" and "Encryption algorithm module
    // '%s' not found" for a sound name that is not registered.
    void Open(const std::string& fileName, TVeskDBMediumType mediumType, bool exclusive);
    // Closes a file stream; a memory image belongs to whoever registered it. Drops a held lock.
    void Close();
    bool IsOpen() const { return stream_ != nullptr; }
    // Writes the file's buffers to disk; nothing on the memory medium or when closed.
    void Flush();

    // Takes the file lock, retrying LockRetryCount times LockWaitTime apart; then throws
    // EDatabaseError("Wait for unlock time out"). Nothing when closed or on the memory medium.
    // Not re-entrant: a second Lock before Unlock throws the time-out at once.
    void Lock();
    // Releases the lock (nothing when not held).
    void Unlock();

    // True when encryption is off, or when the password's digest text (SHA, format 64) equals
    // the options block's digest; then the cipher's key is set from the password.
    bool CheckPassword(const std::string& password);

    // The fixed structures (the copies are read at open and never re-read).
    void ReadOptions(std::uint8_t* buffer);   // 472 bytes at 2317
    void ReadTableTab(std::uint8_t* buffer);  // 1032 bytes at 2789
    void InitDbOptions();
    void InitTableTab();
    const std::array<std::uint8_t, format::kOptionsSize>& OptionsCopy() const { return options_; }
    const std::array<std::uint8_t, format::kTableTabSize>& TableTabCopy() const {
        return tableTab_;
    }
    std::int32_t TableCount() const;
    bool CompressionOn() const { return options_[format::kOptCompressOn] != 0; }
    bool EncryptionOn() const { return options_[format::kOptEncryptOn] != 0; }
    bool BlobCheckOn() const { return options_[format::kOptBlobCheck] != 0; }
    std::string CompressionName() const;
    std::string CipherName() const;
    std::uint8_t CipherMode() const { return options_[format::kOptCipherMode]; }

    // Where the header of table tableNo lies. Throws "Invalid table number" outside
    // 0 <= tableNo < TableCount(), and the damage error for an offset in the file's fixed part.
    std::int64_t TableHeaderPos(std::int32_t tableNo);
    // The 4821-byte header of table tableNo (0 <= tableNo < TableCount()).
    void ReadTableHeader(std::int32_t tableNo, std::uint8_t* buffer);
    void WriteTableHeader(std::int32_t tableNo, const std::uint8_t* buffer);
    // The names of all tables in table-number order (the list is cleared first). A name that
    // breaks the naming rule (stored_text.h) is damage.
    void GetTableNames(std::vector<std::string>& list);

    // Reads up to count bytes at position; returns the bytes read (short at the end of the
    // file as it is now). A read the system refuses throws EStreamError("Stream read error:
    // <the system's text>").
    std::int64_t ReadBuffer(void* buffer, std::int64_t position, std::int64_t count);
    // Throws the damage error naming what unless count bytes at position lie inside the file.
    void CheckRange(std::int64_t position, std::int64_t count, const std::string& what);
    // Reads exactly count bytes at position, else throws the damage error naming what.
    void ReadExact(void* buffer, std::int64_t position, std::int64_t count,
                   const std::string& what);
    // The same with the text naming what made only when the read fails, as ReadExact makes
    // it: for reads made very often, which should not build a message each time.
    void ReadExactNamedLate(void* buffer, std::int64_t position, std::int64_t count,
                            const std::function<std::string()>& what);
    // The same from the file as it is now, past the block cache: for small reads scattered
    // over the file, whose blocks would only push out the ones read again soon.
    void ReadExactUncached(void* buffer, std::int64_t position, std::int64_t count,
                           const std::string& what);
    // Writes count bytes at position (EStreamError "Stream write error", with the system's
    // text when a call failed, when short).
    void WriteBuffer(const void* buffer, std::int64_t position, std::int64_t count);
    // Cuts the file to size bytes (a failed write giving back what it appended). EStreamError.
    void SetFileSize(std::int64_t size);
    // The size as this handle knows it (see above); exact while the lock is held.
    std::int64_t FileSize();

    // The whole record tab of a table header: entries and chunk offsets in chain order.
    void ReadRecordTab(const std::uint8_t* header, std::vector<TRecordTabItem>& entries,
                       std::vector<std::int32_t>& chunkOffsets);
    // The same for index indexNo (as many entries as the record tab has).
    void ReadIndexTab(const std::uint8_t* header, std::int32_t indexNo,
                      std::vector<TIndexTabItem>& entries, std::vector<std::int32_t>& chunkOffsets);
    // The same as the next links alone (entry e's successor in key order, -1 at the end), for
    // loading an order: half the memory of whole entries.
    void ReadIndexLinks(const std::uint8_t* header, std::int32_t indexNo,
                        std::vector<std::int32_t>& next, std::vector<std::int32_t>& chunkOffsets);
    // The offsets of the chunks of a chain of count entries of entrySize bytes from firstChunk,
    // reading only their links; the chain is checked as the tab readers check it (the damage
    // error names what).
    void ReadChunkOffsets(std::int32_t firstChunk, std::int32_t count, std::int32_t entrySize,
                          const std::string& what, std::vector<std::int32_t>& chunkOffsets);
    // Sets the deleted flag of the record-tab entry at that file position.
    void SetDeleteFlag(std::int64_t entryPosition);

    // One stored value, decoded into dest: the record of the record-tab entry at
    // entryPosition, at fieldOffset; a blob reads its descriptor there and then its bytes.
    // A record offset in the file's fixed part, a value outside the file, and stored bytes
    // that do not decode (a damaged compressed or enciphered value) are damage, naming the
    // value by place where given.
    void ReadFieldData(TMemoryStream& dest, std::int64_t entryPosition, std::int32_t fieldOffset,
                       std::int32_t size, bool isBlob, bool decrypt, bool decompress,
                       const TValuePlace* place = nullptr);
    void ReadFieldContent(TMemoryStream& dest, std::int64_t valuePosition, std::int32_t size,
                          bool isBlob, bool decrypt, bool decompress,
                          const TValuePlace* place = nullptr);

    // The codec glue: decoding deciphers (as one message) then decompresses; encoding
    // compresses then enciphers. Without a flag the bytes are copied. dest may be source (in
    // place); another dest is emptied first. Codec errors pass through unchanged.
    void EncodeStream(TStream& source, TStream& dest, bool encrypt, bool compress);
    void DecodeStream(TStream& source, TStream& dest, bool decrypt, bool decompress);
    void EncodeBuffer(const std::uint8_t* source, std::uint8_t* dest, std::int32_t size,
                      bool encrypt);
    void DecodeBuffer(const std::uint8_t* source, std::uint8_t* dest, std::int32_t size,
                      bool decrypt);

    // Header checks usable without an object; they throw the texts of Open. name is the name
    // put into the magic error.
    static void CheckMagic(TStream& stream, const std::string& name);
    static void CheckVersion(TStream& stream);
    static void CheckMagicOfFile(const std::string& fileName);
    static void CheckVersionOfFile(const std::string& fileName);

    // Progress forwarding to the owner (the managers call these; the sender is this object).
    void DoCompressProgress(TDataProcessOwner* sender, int percent) override;
    void DoUncompressProgress(TDataProcessOwner* sender, int percent) override;
    void DoEncryptProgress(TDataProcessOwner* sender, int percent) override;
    void DoDecryptProgress(TDataProcessOwner* sender, int percent) override;

    // The managers, created with this object; Open chooses their algorithms by the options
    // block. The database sets the cipher's key through EncryptMgr (the password rule).
    TCompressMgr& CompressMgr() { return *compressMgr_; }
    TEncryptMgr& EncryptMgr() { return *encryptMgr_; }

    // Throws EDatabaseError("Database file '<FileName>' is damaged: <what>").
    [[noreturn]] void ThrowDamaged(const std::string& what) const;

    // Where the structures of the file's tables lie, as the table loaders last read them
    // (structure_map.h); emptied at close.
    TStructureMap& Structures() { return structures_; }

    TDBFileIOOwner* Owner() const { return owner_; }
    const std::string& FileName() const { return fileName_; }
    TVeskDBMediumType MediumType() const { return mediumType_; }
    bool Exclusive() const { return exclusive_; }
    bool ReadOnlyFile() const { return readOnlyFile_; }
    bool Locked() const { return locked_; }
    // The open stream, for reading only: writes go through WriteBuffer, which keeps the size
    // and the block cache in step.
    TStream* Stream() const { return stream_; }
    // While this handle holds the lock: the file's own bytes [position, position + count),
    // read in place and valid until the next call or the unlock; nullptr when the lock is not
    // held, when they lie outside the file as learnt under the lock, or when the file cannot
    // be viewed (then the stream must read them).
    const std::uint8_t* LockedView(std::int64_t position, std::int64_t count);

  private:
    // Reads the size of the file anew (disk medium) and returns it.
    std::int64_t RefreshFileSize();
    // True when end lies inside the file, reading the size anew once before saying no.
    bool WithinFile(std::int64_t end);
    // ReadBuffer and ReadExact, through the block cache or from the file as it is now.
    std::int64_t ReadStored(void* buffer, std::int64_t position, std::int64_t count, bool useCache);
    void ReadStoredExact(void* buffer, std::int64_t position, std::int64_t count,
                         const std::string& what, bool useCache);
    // Checks indexNo and reads the index tab's chain as ReadChunkChain.
    void ReadIndexChain(const std::uint8_t* header, std::int32_t indexNo,
                        const std::function<void(const std::uint8_t*, std::int32_t)>& take,
                        std::vector<std::int32_t>& chunkOffsets);
    // Follows a chain of count entries of entrySize bytes from firstChunk, handing the entries
    // of each chunk to take as they are read (an empty take reads only the links, checking
    // that each chunk's used part is in the file); the damage error names what.
    void ReadChunkChain(std::int32_t firstChunk, std::int32_t count, std::int32_t entrySize,
                        const std::string& what,
                        const std::function<void(const std::uint8_t*, std::int32_t)>& take,
                        std::vector<std::int32_t>& chunkOffsets);

    TDBFileIOOwner* owner_;
    TDBFileIOOwner defaultOwner_;
    std::string fileName_;
    TVeskDBMediumType mediumType_;
    bool exclusive_;
    bool readOnlyFile_ = false;
    bool locked_ = false;
    std::unique_ptr<TFileStream> fileStream_;  // the disk medium's stream
    TStream* stream_ = nullptr;                // the open stream (file or memory image)
    std::int64_t knownSize_ = 0;               // the disk medium's file size, see above
    // A read-only view of the file, used only while the lock is held (no engine writer can
    // cut the file then) for bytes inside the size learnt under the lock; mapped with room to
    // grow, so that appends seldom make a new one. Reads without the lock go to the stream.
    std::unique_ptr<TReadOnlyFileMapping> view_;
    TFileBlockCache blockCache_;  // the disk medium's blocks, see above
    std::array<std::uint8_t, format::kOptionsSize> options_{};
    std::array<std::uint8_t, format::kTableTabSize> tableTab_{};
    std::unique_ptr<TCompressMgr> compressMgr_;
    std::unique_ptr<TEncryptMgr> encryptMgr_;
    TStructureMap structures_;
    std::mutex codecLock_;  // serialises every pass through the codecs, which keep state
};

// Holds the file lock of a TVeskDBFileIO for a scope.
class TFileLockGuard {
  public:
    explicit TFileLockGuard(TVeskDBFileIO& file) : file_(file) { file_.Lock(); }
    ~TFileLockGuard() { file_.Unlock(); }
    TFileLockGuard(const TFileLockGuard&) = delete;
    TFileLockGuard& operator=(const TFileLockGuard&) = delete;

  private:
    TVeskDBFileIO& file_;
};

}  // namespace vesk
