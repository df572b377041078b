#include "engine/db_file_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "engine/codec/algo_registry.h"
#include "engine/codec/hash.h"
#include "engine/codec/sha_hash.h"
#include "engine/codec/standard_algorithms.h"
#include "engine/db_error.h"
#include "engine/memory_medium.h"
#include "engine/testing/fifo_writer.h"
#include "engine/testing/scoped_algorithms.h"
#include "engine/testing/test_db_image.h"

namespace vesk {
namespace {

using testing::TestImage;
using testing::TestRecord;
using testing::TestTable;

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "fileio_" + std::to_string(getpid()) + "_" + name;
}

// Expects fn to throw an EDatabaseError whose text is exactly message.
template <typename Fn>
void ExpectDbError(Fn fn, const std::string& message) {
    try {
        fn();
        ADD_FAILURE() << "no error, expected: " << message;
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.what(), message);
    }
}

// Expects the damage error of the named file, its text containing part.
template <typename Fn>
void ExpectDamaged(Fn fn, const std::string& name, const std::string& part) {
    try {
        fn();
        ADD_FAILURE() << "no error, expected damage: " << part;
    } catch (const EDatabaseError& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("Database file '" + name + "' is damaged: ", 0), 0u) << text;
        EXPECT_NE(text.find(part), std::string::npos) << text;
    }
}

TEST(DbFileIO, VersionRule) {
    struct Case {
        std::string version;
        std::string error;  // empty: accepted
    } cases[] = {
        {"2.0", ""},
        {"1.5", ""},
        {"10.0", ""},
        {"", ""},
        {"1.00", "Version 1.00 is not compatible"},
        {"2.00", "Version of database file is too High"},
        {"2.1", "Version of database file is too High"},
        {"3", "Version of database file is too High"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("version '" + c.version + "'");
        TMemoryStream image;
        TestImage(c.version).CopyTo(image);
        TMemoryImageRegistration registration(image);
        TVeskDBFileIO file;
        if (c.error.empty()) {
            file.Open(registration.Name(), mtMemory, false);
            EXPECT_TRUE(file.IsOpen());
        } else {
            ExpectDbError([&] { file.Open(registration.Name(), mtMemory, false); }, c.error);
            EXPECT_FALSE(file.IsOpen());
        }
    }
}

TEST(DbFileIO, DiskChecksAndTheirTexts) {
    const std::string missing = TempPath("missing.dat");
    TVeskDBFileIO file;
    ExpectDbError([&] { file.Open(missing, mtDisk, false); }, "Cannot open file " + missing);

    struct Case {
        const char* name;
        std::function<void(TestImage&)> damage;
        std::string error;
    } cases[] = {
        {"magic", [](TestImage& i) { i.bytes[5] = 'X'; }, "Database file '%s' is a invalid VeskDB"},
        {"shorter than the magic", [](TestImage& i) { i.bytes.resize(4); },
         "Database file '%s' is a invalid VeskDB"},
        // The magic is there: one of ours, cut short.
        {"short", [](TestImage& i) { i.bytes.resize(10); },
         "Database file '%s' is damaged: the file ends inside its 12-byte header"},
        {"old", [](TestImage& i) { std::memcpy(i.bytes.data() + 7, "1.00", 4); },
         "Version 1.00 is not compatible"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestImage image;
        c.damage(image);
        const std::string path = TempPath(std::string(c.name) + ".dat");
        image.WriteTo(path);
        ExpectDbError([&] { file.Open(path, mtDisk, false); }, FormatMessage(c.error, path));
        EXPECT_FALSE(file.IsOpen());
        std::remove(path.c_str());
    }
}

TEST(DbFileIO, RefusesWhatIsNoRegularFileAtOnce) {
    const std::string fifo = TempPath("fifo.dat");
    const std::string folder = TempPath("folder.dat");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    const vesk::testing::FifoWriterAfterAWhile writer(fifo);
    for (const std::string& path : {fifo, folder, std::string("/dev/null")}) {
        SCOPED_TRACE(path);
        TVeskDBFileIO file;
        ExpectDbError([&] { file.Open(path, mtDisk, false); }, "Cannot open file " + path);
        EXPECT_FALSE(file.IsOpen());
    }
    std::remove(fifo.c_str());
    ::rmdir(folder.c_str());
}

TEST(DbFileIO, MemoryNames) {
    TMemoryStream image;
    TestImage().CopyTo(image);
    TMemoryMedium::Register(":1a2B", image);
    struct Case {
        std::string name;
        bool opens;
    } cases[] = {{":1a2B", true}, {":01A2b", true}, {":", false},
                 {"", false},     {":xyz", false},  {":FFFF", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE("name '" + c.name + "'");
        TVeskDBFileIO file;
        if (c.opens) {
            file.Open(c.name, mtMemory, false);
            EXPECT_TRUE(file.IsOpen());
            file.Lock();  // nothing to lock in memory
            EXPECT_FALSE(file.Locked());
            file.Close();
            EXPECT_EQ(image.Size(), TestImage().End()) << "a memory image outlives the file object";
        } else {
            ExpectDbError([&] { file.Open(c.name, mtMemory, false); },
                          FormatMessage("Invalid database name '%s'", c.name));
        }
    }
    TMemoryMedium::Unregister(":1A2B");
    EXPECT_EQ(TMemoryMedium::Find(":1a2b"), nullptr);
}

TEST(DbFileIO, ReadOnlyFileOpensForReadingOnly) {
    const std::string path = TempPath("readonly.dat");
    TestImage image;
    image.AddTable({"t", {{"a", ftInteger}}, {}, {TestRecord(4).I32(0, 7).bytes}, {}});
    image.WriteTo(path);
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    TVeskDBFileIO file;
    file.Open(path, mtDisk, false);
    EXPECT_TRUE(file.ReadOnlyFile());
    std::vector<std::string> names;
    file.GetTableNames(names);
    EXPECT_EQ(names, std::vector<std::string>{"t"});
    file.Lock();
    EXPECT_TRUE(file.Locked());
    file.Unlock();
    const std::uint8_t byte = 1;
    EXPECT_THROW(file.WriteBuffer(&byte, 0, 1), EStreamError);
    file.Close();
    chmod(path.c_str(), 0644);
    std::remove(path.c_str());
}

class CountingOwner : public TDBFileIOOwner {
  public:
    std::int32_t retries = 3;
    int waits = 0;
    std::function<void(int)> onWait;
    std::int32_t LockRetryCount() const override { return retries; }
    std::int32_t LockWaitTime() const override { return 1; }
    void SleepBetweenLockAttempts(std::int32_t) override {
        ++waits;
        if (onWait)
            onWait(waits);
    }
};

class DbFileIOLock : public ::testing::Test {
  protected:
    void SetUp() override {
        path = TempPath("lock.dat");
        TestImage().WriteTo(path);
        holder.Open(path, mtDisk, false);
        holder.Lock();
    }
    void TearDown() override {
        holder.Close();
        std::remove(path.c_str());
    }
    std::string path;
    TVeskDBFileIO holder;
};

TEST_F(DbFileIOLock, TimesOutAfterExactlyTheRetryCount) {
    for (std::int32_t retries : {3, 1}) {
        CountingOwner owner;
        owner.retries = retries;
        TVeskDBFileIO waiter(&owner);
        waiter.Open(path, mtDisk, false);
        ExpectDbError([&] { waiter.Lock(); }, "Wait for unlock time out");
        EXPECT_EQ(owner.waits, retries) << "one wait between attempts, none after the last";
        EXPECT_FALSE(waiter.Locked());
    }
}

TEST_F(DbFileIOLock, ClosingAnotherHandleKeepsTheLock) {
    {
        TVeskDBFileIO third;
        third.Open(path, mtDisk, false);
    }
    CountingOwner owner;
    TVeskDBFileIO waiter(&owner);
    waiter.Open(path, mtDisk, false);
    EXPECT_THROW(waiter.Lock(), EDatabaseError);
}

TEST_F(DbFileIOLock, GetsTheLockOnceReleasedAndRefusesReentry) {
    CountingOwner owner;
    owner.onWait = [&](int wait) {
        if (wait == 2)
            holder.Unlock();
    };
    TVeskDBFileIO waiter(&owner);
    waiter.Open(path, mtDisk, false);
    waiter.Lock();
    EXPECT_TRUE(waiter.Locked());
    EXPECT_EQ(owner.waits, 2);
    owner.onWait = nullptr;
    const int before = owner.waits;
    ExpectDbError([&] { waiter.Lock(); }, "Wait for unlock time out");
    EXPECT_EQ(owner.waits, before) << "a nested lock fails at once";
    EXPECT_TRUE(waiter.Locked()) << "the held lock stays";
    waiter.Unlock();
    EXPECT_TRUE(holder.IsOpen());
    holder.Lock();
}

TEST(DbFileIO, SeesWhatOtherHandlesWroteAndWhatItWritesItself) {
    const std::string path = TempPath("sizes.dat");
    TestImage().WriteTo(path);
    TVeskDBFileIO reader;
    TVeskDBFileIO writer;
    reader.Open(path, mtDisk, false);
    writer.Open(path, mtDisk, false);
    const std::int64_t size = reader.FileSize();
    const std::int64_t probe = size - 8;
    std::uint8_t got[8] = {};
    reader.ReadExact(got, probe, 4, "probe");

    {
        TFileLockGuard lock(writer);
        writer.WriteBuffer("WXYZ", probe, 4);
        writer.WriteBuffer("grown", size, 5);
        EXPECT_EQ(writer.FileSize(), size + 5);
    }
    // Bytes past the end it knew are looked for in the file before a read is refused.
    reader.ReadExact(got, size, 5, "grown bytes");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(got), 5), "grown");
    {
        TFileLockGuard lock(reader);
        EXPECT_EQ(reader.FileSize(), size + 5);
        reader.ReadExact(got, probe, 4, "probe");
        EXPECT_EQ(std::string(reinterpret_cast<char*>(got), 4), "WXYZ");
        // Its own writes, also past the end with a gap, read back at once.
        reader.WriteBuffer("1234", probe, 4);
        reader.WriteBuffer("end", size + 20, 3);
        EXPECT_EQ(reader.FileSize(), size + 23);
        std::uint8_t tail[18] = {};
        reader.ReadExact(tail, size + 5, 18, "tail");
        EXPECT_EQ(std::string(reinterpret_cast<char*>(tail), 18), std::string(15, '\0') + "end");
        reader.ReadExact(got, probe, 4, "probe");
        EXPECT_EQ(std::string(reinterpret_cast<char*>(got), 4), "1234");
    }

    // A file cut short is refused, by a locked read and by one that finds the bytes missing.
    const std::int64_t far = size + 3 * TFileBlockCache::kBlockSize;
    {
        TFileLockGuard lock(writer);
        writer.WriteBuffer("far", far, 3);
    }
    TVeskDBFileIO unaware;
    unaware.Open(path, mtDisk, false);
    ASSERT_EQ(::truncate(path.c_str(), size), 0);
    ExpectDamaged([&] { unaware.ReadExact(got, far, 3, "cut bytes"); }, path,
                  "cut bytes lies beyond the end of the file");
    {
        TFileLockGuard lock(reader);
        EXPECT_EQ(reader.FileSize(), size);
        ExpectDamaged([&] { reader.ReadExact(got, size + 1, 4, "cut bytes"); }, path,
                      "cut bytes lies beyond the end of the file");
    }
    reader.Close();
    writer.Close();
    unaware.Close();
    std::remove(path.c_str());
}

TEST(DbFileIO, ExclusiveShareMode) {
    const std::string path = TempPath("exclusive.dat");
    TestImage().WriteTo(path);
    {
        TVeskDBFileIO first;
        first.Open(path, mtDisk, true);
        TVeskDBFileIO second;
        EXPECT_THROW(second.Open(path, mtDisk, false), EStreamError);
        EXPECT_FALSE(second.IsOpen());
    }
    {
        TVeskDBFileIO shared1;
        shared1.Open(path, mtDisk, false);
        TVeskDBFileIO shared2;
        shared2.Open(path, mtDisk, false);
        TVeskDBFileIO exclusive;
        EXPECT_THROW(exclusive.Open(path, mtDisk, true), EStreamError);
    }
    std::remove(path.c_str());
}

// 2500 one-field records over three record-tab chunks.
TestImage ManyRecords(std::int32_t count, testing::TestTableAt* where = nullptr) {
    TestImage image;
    TestTable table{"many", {{"n", ftInteger}}, {}, {}, {}};
    for (std::int32_t i = 0; i < count; ++i)
        table.Records.push_back(TestRecord(4).I32(0, i * 3).bytes);
    const auto at = image.AddTable(table);
    if (where)
        *where = at;
    return image;
}

struct OpenImage {
    explicit OpenImage(const TestImage& image) {
        image.CopyTo(stream);
        file.Open(registration.Name(), mtMemory, false);
    }
    TMemoryStream stream;
    TMemoryImageRegistration registration{stream};
    TVeskDBFileIO file;
    std::vector<std::uint8_t> Header(std::int32_t tableNo = 0) {
        std::vector<std::uint8_t> header(format::kTableHeaderSize);
        file.ReadTableHeader(tableNo, header.data());
        return header;
    }
};

TEST(DbFileIO, ReadsTheRecordTabOverThreeChunks) {
    testing::TestTableAt at;
    OpenImage open(ManyRecords(2500, &at));
    std::vector<TRecordTabItem> entries;
    std::vector<std::int32_t> chunks;
    open.file.ReadRecordTab(open.Header().data(), entries, chunks);
    ASSERT_EQ(entries.size(), 2500u);
    EXPECT_EQ(chunks, at.RecordChunks);
    for (std::int32_t e : {0, 1023, 1024, 2047, 2048, 2499}) {
        EXPECT_EQ(entries[static_cast<size_t>(e)].RecordOffset, at.Records[static_cast<size_t>(e)])
            << e;
        EXPECT_FALSE(entries[static_cast<size_t>(e)].Deleted());
    }
    // The file may end right after the used part of the last chunk.
    TestImage cut = ManyRecords(2500, &at);
    const std::vector<std::uint8_t> lastChunk(cut.bytes.begin() + at.RecordChunks[2],
                                              cut.bytes.begin() + at.RecordChunks[2] + 4 + 452 * 5);
    cut.PutI32(at.RecordChunks[1], cut.AppendBytes(lastChunk));
    OpenImage shortTail(cut);
    shortTail.file.ReadRecordTab(shortTail.Header().data(), entries, chunks);
    EXPECT_EQ(chunks.back(), cut.End() - 4 - 452 * 5);
    EXPECT_EQ(entries[2499].RecordOffset, at.Records[2499]);
    cut.bytes.pop_back();
    OpenImage tooShort(cut);
    EXPECT_THROW(tooShort.file.ReadRecordTab(tooShort.Header().data(), entries, chunks),
                 EDatabaseError);
    open.file.SetDeleteFlag(TestImage::RecordTabEntryAt(at, 1024));
    open.file.ReadRecordTab(open.Header().data(), entries, chunks);
    EXPECT_TRUE(entries[1024].Deleted());
    EXPECT_FALSE(entries[1023].Deleted());
    std::vector<std::uint8_t> header = open.Header();
    format::PutText(header.data() + format::kHdrName, format::kNameSize, "renamed");
    open.file.WriteTableHeader(0, header.data());
    std::vector<std::string> names;
    open.file.GetTableNames(names);
    EXPECT_EQ(names, std::vector<std::string>{"renamed"});
    EXPECT_THROW(open.file.ReadTableHeader(1, header.data()), EDatabaseError);
}

// An index order over three chunks, read whole and as its links alone; a chain that fails to
// load leaves what the caller held.
TEST(DbFileIO, ReadsTheIndexTabAndItsLinksOverThreeChunks) {
    constexpr std::int32_t kCount = 2500;
    TestImage image;
    TestTable table{"many", {{"n", ftInteger}}, {{"byn", 0, {0}, {}}}, {}, {}};
    for (std::int32_t i = 0; i < kCount; ++i) {
        table.Records.push_back(TestRecord(4).I32(0, i).bytes);
        table.Indexes[0].Order.push_back((i * 7) % kCount);  // 7 and 2500 share no factor
    }
    testing::TestTableAt at = image.AddTable(table);
    OpenImage open(image);
    std::vector<TIndexTabItem> entries;
    std::vector<std::int32_t> next;
    std::vector<std::int32_t> chunks;
    open.file.ReadIndexTab(open.Header().data(), 0, entries, chunks);
    EXPECT_EQ(chunks, at.IndexChunks[0]);
    chunks.clear();
    open.file.ReadIndexLinks(open.Header().data(), 0, next, chunks);
    EXPECT_EQ(chunks, at.IndexChunks[0]);
    ASSERT_EQ(entries.size(), static_cast<size_t>(kCount));
    ASSERT_EQ(next.size(), static_cast<size_t>(kCount));
    const std::vector<std::int32_t>& order = table.Indexes[0].Order;
    for (size_t k = 0; k < order.size(); ++k) {
        const std::int32_t expected = k + 1 < order.size() ? order[k + 1] : -1;
        EXPECT_EQ(entries[static_cast<size_t>(order[k])].Next, expected) << k;
        EXPECT_EQ(next[static_cast<size_t>(order[k])], expected) << k;
    }
    EXPECT_THROW(open.file.ReadIndexLinks(open.Header().data(), 1, next, chunks), EDatabaseError);

    image.PutI32(at.IndexChunks[0][1], 0);  // the chain ends after two of three chunks
    OpenImage cut(image);
    std::vector<TRecordTabItem> records;
    cut.file.ReadRecordTab(cut.Header().data(), records, chunks);
    const std::vector<TIndexTabItem> entriesBefore = entries;
    const std::vector<std::int32_t> nextBefore = next;
    ExpectDamaged([&] { cut.file.ReadIndexTab(cut.Header().data(), 0, entries, chunks); },
                  cut.registration.Name(), "ends after 2 of 3 chunks");
    ExpectDamaged([&] { cut.file.ReadIndexLinks(cut.Header().data(), 0, next, chunks); },
                  cut.registration.Name(), "ends after 2 of 3 chunks");
    EXPECT_EQ(next, nextBefore);
    EXPECT_EQ(entries.size(), entriesBefore.size());
    EXPECT_EQ(entries.back().Next, entriesBefore.back().Next);
}

TEST(DbFileIO, RefusesDamagedStructures) {
    using Damage = std::function<void(TestImage&, const testing::TestTableAt&)>;
    const std::int64_t tab = format::kTableTabAt;
    struct Case {
        const char* name;
        Damage damage;
        std::string part;
    } cases[] = {
        {"table count", [&](TestImage& i, auto&) { i.PutI32(tab, 257); }, "table count 257"},
        {"header offset", [&](TestImage& i, auto&) { i.PutI32(tab + 8, i.End() - 100); },
         "header of table 0"},
        {"header offset low", [&](TestImage& i, auto&) { i.PutI32(tab + 8, 12); },
         "header offset 12"},
        {"chain ends early", [](TestImage& i, auto& at) { i.PutI32(at.RecordChunks[1], 0); },
         "ends after 2 of 3 chunks"},
        {"chain loops",
         [](TestImage& i, auto& at) { i.PutI32(at.RecordChunks[1], at.RecordChunks[0]); },
         "loops back"},
        {"chunk past end",
         [](TestImage& i, auto& at) { i.PutI32(at.RecordChunks[1], i.End() - 10); },
         "beyond the end"},
        {"negative count",
         [](TestImage& i, auto& at) { i.PutI32(at.Header + format::kHdrEntryCount, -1); },
         "negative"},
        {"huge count",
         [](TestImage& i, auto& at) { i.PutI32(at.Header + format::kHdrEntryCount, 0x7fffffff); },
         "more entries than the file can hold"},
        {"no first chunk",
         [](TestImage& i, auto& at) { i.PutI32(at.Header + format::kHdrFirstChunk, 0); },
         "ends after 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TestTableAt at;
        TestImage image = ManyRecords(2500, &at);
        c.damage(image, at);
        TMemoryStream stream;
        image.CopyTo(stream);
        TMemoryImageRegistration registration(stream);
        TVeskDBFileIO file;
        ExpectDamaged(
            [&] {
                file.Open(registration.Name(), mtMemory, false);
                std::vector<std::uint8_t> header(format::kTableHeaderSize);
                file.ReadTableHeader(0, header.data());
                std::vector<TRecordTabItem> entries;
                std::vector<std::int32_t> chunks;
                file.ReadRecordTab(header.data(), entries, chunks);
            },
            registration.Name(), c.part);
    }
}

TEST(DbFileIO, ReadsSingleValuesAndBlobsWithinTheFile) {
    TestImage image;
    // Record: i32 at 0, blob descriptor at 4.
    const std::string memo = "a memo value";
    TestRecord record(24);
    record.I32(0, 42);
    const auto at =
        image.AddTable({"t", {{"n", ftInteger}, {"m", ftMemo}}, {}, {record.bytes}, {}});
    const std::int32_t area =
        image.AppendBytes(std::vector<std::uint8_t>(memo.begin(), memo.end()));
    image.AppendZeros(64 - static_cast<std::int32_t>(memo.size()));
    const std::int64_t descriptor = at.Records[0] + 4;
    image.PutI32(descriptor, area);
    image.PutI32(descriptor + 4, static_cast<std::int32_t>(memo.size()));
    image.PutI32(descriptor + 8, 64);
    OpenImage open(image);
    const std::int64_t entry = TestImage::RecordTabEntryAt(at, 0);
    TMemoryStream value;
    open.file.ReadFieldData(value, entry, 0, 4, false, false, false);
    ASSERT_EQ(value.Size(), 4);
    EXPECT_EQ(format::GetI32(value.Memory()), 42);
    open.file.ReadFieldData(value, entry, 4, 20, true, false, false);
    EXPECT_EQ(value.AsString(), memo);

    struct Case {
        const char* name;
        std::int32_t areaAt;
        std::int32_t size;
        std::string part;  // empty: an empty value
    } cases[] = {
        {"empty", area, 0, ""},
        {"past the end", area, 1000, "of 1000 bytes lies beyond the end of the file"},
        {"negative size", area, -5, "negative size"},
        {"negative offset", -64, 10, "at offset -64 of 10 bytes lies in the file's fixed part"},
        {"in the fixed part", 100, 10, "at offset 100 of 10 bytes lies in the file's fixed part"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::uint8_t patch[8];
        format::PutI32(patch, c.areaAt);
        format::PutI32(patch + 4, c.size);
        open.file.WriteBuffer(patch, descriptor, 8);
        if (c.part.empty()) {
            open.file.ReadFieldContent(value, descriptor, 20, true, false, false);
            EXPECT_EQ(value.Size(), 0);
        } else {
            ExpectDamaged(
                [&] { open.file.ReadFieldContent(value, descriptor, 20, true, false, false); },
                open.registration.Name(), c.part);
        }
    }
    ExpectDamaged(
        [&] { open.file.ReadFieldContent(value, open.stream.Size() - 2, 4, false, false, false); },
        open.registration.Name(), "lies beyond the end of the file");
}

TEST(DbFileIO, ChoosesCodecsByTheOptionsBlock) {
    const engine_testing::ScopedStandardAlgorithms algorithms;
    TestImage image;
    image.SetOption(format::kOptCompressOn, 1);
    image.SetOptionText(format::kOptCompressName, "ZIP");
    OpenImage open(image);
    EXPECT_TRUE(open.file.CompressionOn());
    const std::string plain(5000, 'z');
    TMemoryStream source;
    source.Write(plain.data(), static_cast<std::int64_t>(plain.size()));
    TMemoryStream packed;
    open.file.EncodeStream(source, packed, false, true);
    EXPECT_LT(packed.Size(), 200);
    TMemoryStream unpacked;
    open.file.DecodeStream(packed, unpacked, false, true);
    EXPECT_EQ(unpacked.AsString(), plain);
    open.file.DecodeStream(packed, packed, false, false);
    EXPECT_LT(packed.Size(), 200) << "in place without a flag leaves the bytes";

    TestImage unknown;
    unknown.SetOption(format::kOptCompressOn, 1);
    unknown.SetOptionText(format::kOptCompressName, "XYZ");
    TMemoryStream stream;
    unknown.CopyTo(stream);
    TMemoryImageRegistration registration(stream);
    TVeskDBFileIO file;
    ExpectDbError([&] { file.Open(registration.Name(), mtMemory, false); },
                  "Compression algorithm module 'XYZ' not found");
    EXPECT_FALSE(file.IsOpen());
}

TEST(DbFileIO, PasswordRuleAndEncipheredValues) {
    const engine_testing::ScopedStandardAlgorithms algorithms;
    for (const char* cipher : {"Blowfish", "Twofish", "Gost"}) {
        SCOPED_TRACE(cipher);
        TestImage image;
        image.SetOption(format::kOptEncryptOn, 1);
        image.SetOption(format::kOptCipherMode, 1);
        image.SetOptionText(format::kOptCipherName, cipher);
        image.PutText(format::kOptionsAt + format::kOptPasswordDigest,
                      format::kOptPasswordDigestSize,
                      CalcHashString(&THash_SHA::New, "secret", nullptr));
        OpenImage open(image);
        EXPECT_FALSE(open.file.CheckPassword("Secret"));
        EXPECT_FALSE(open.file.CheckPassword(""));
        ASSERT_TRUE(open.file.CheckPassword("secret"));
        const std::uint8_t plain[11] = "0123456789";
        std::uint8_t stored[11];
        std::uint8_t back[11];
        open.file.EncodeBuffer(plain, stored, 11, true);
        EXPECT_NE(std::memcmp(plain, stored, 11), 0);
        open.file.DecodeBuffer(stored, back, 11, true);
        EXPECT_EQ(std::memcmp(plain, back, 11), 0);
        open.file.EncodeBuffer(plain, stored, 11, false);
        EXPECT_EQ(std::memcmp(plain, stored, 11), 0) << "a plain field is copied";
        // A blob: compressed (when asked) and enciphered as one message, decoded back.
        const std::string value(3000, 'q');
        TMemoryStream source;
        source.Write(value.data(), static_cast<std::int64_t>(value.size()));
        TMemoryStream encoded;
        open.file.EncodeStream(source, encoded, true, false);
        EXPECT_NE(encoded.AsString(), value);
        TMemoryStream decoded;
        open.file.DecodeStream(encoded, decoded, true, false);
        EXPECT_EQ(decoded.AsString(), value);
        image.SetOption(format::kOptCompressOn, 1);
        image.SetOptionText(format::kOptCompressName, "ZIP");
        OpenImage both(image);
        ASSERT_TRUE(both.file.CheckPassword("secret"));
        both.file.EncodeStream(source, encoded, true, true);
        EXPECT_LT(encoded.Size(), 200) << "compressed before it was enciphered";
        both.file.DecodeStream(encoded, decoded, true, true);
        EXPECT_EQ(decoded.AsString(), value);
    }
    TestImage plainFile;
    OpenImage open(plainFile);
    EXPECT_TRUE(open.file.CheckPassword("anything")) << "no encryption, no password";
}

// A mode outside 0 to 4 must never leave values in plain text: the open is refused. The mode
// byte means nothing while encryption is off.
TEST(DbFileIO, RefusesACipherModeOutsideTheFiveModes) {
    const engine_testing::ScopedStandardAlgorithms algorithms;
    const struct {
        std::uint8_t encryptOn;
        std::uint8_t mode;
        const char* error;  // nullptr: opens
    } cases[] = {
        {1, 4, nullptr},
        {1, 5, "is damaged: the cipher mode 5 is not one of 0 to 4"},
        {1, 255, "is damaged: the cipher mode 255 is not one of 0 to 4"},
        {0, 9, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        TestImage image;
        image.SetOption(format::kOptEncryptOn, c.encryptOn);
        image.SetOption(format::kOptCipherMode, c.mode);
        image.SetOptionText(format::kOptCipherName, "Gost");
        TMemoryStream stream;
        image.CopyTo(stream);
        TMemoryImageRegistration registration(stream);
        TVeskDBFileIO file;
        if (c.error == nullptr) {
            file.Open(registration.Name(), mtMemory, false);
            EXPECT_TRUE(file.IsOpen());
            continue;
        }
        ExpectDbError([&] { file.Open(registration.Name(), mtMemory, false); },
                      "Database file '" + registration.Name() + "' " + c.error);
        EXPECT_FALSE(file.IsOpen());
    }
}

TEST(DbFileIO, ForwardsCodecProgressToItsOwner) {
    const engine_testing::ScopedStandardAlgorithms algorithms;
    struct ProgressOwner : TDBFileIOOwner {
        std::vector<int> compress, uncompress;
        void OnCompressProgress(int percent) override { compress.push_back(percent); }
        void OnUncompressProgress(int percent) override { uncompress.push_back(percent); }
    } owner;
    TestImage image;
    image.SetOption(format::kOptCompressOn, 1);
    image.SetOptionText(format::kOptCompressName, "ZIP");
    TMemoryStream stream;
    image.CopyTo(stream);
    TMemoryImageRegistration registration(stream);
    TVeskDBFileIO file(&owner);
    file.Open(registration.Name(), mtMemory, false);
    TMemoryStream source;
    const std::string value(200000, 'p');
    source.Write(value.data(), static_cast<std::int64_t>(value.size()));
    TMemoryStream packed;
    file.EncodeStream(source, packed, false, true);
    ASSERT_FALSE(owner.compress.empty());
    EXPECT_TRUE(owner.uncompress.empty());
    EXPECT_TRUE(std::find(owner.compress.begin(), owner.compress.end(), 100) !=
                owner.compress.end());
    file.DecodeStream(packed, source, false, true);
    EXPECT_FALSE(owner.uncompress.empty());
}

}  // namespace
}  // namespace vesk
