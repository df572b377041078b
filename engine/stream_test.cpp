#include "engine/stream.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

#include "engine/db_error.h"

namespace {

TEST(MemoryStream, GrowsOnWriteAndReadsShortAtTheEnd) {
    vesk::TMemoryStream stream;
    stream.WriteBuffer("abcdef", 6);
    stream.SetPosition(10);
    stream.WriteBuffer("z", 1);
    EXPECT_EQ(stream.Size(), 11);
    EXPECT_EQ(stream.Memory()[7], 0) << "a gap is zero-filled";
    stream.SetPosition(8);
    char out[8] = {};
    EXPECT_EQ(stream.Read(out, 8), 3);
    stream.SetPosition(8);
    EXPECT_THROW(stream.ReadBuffer(out, 4), vesk::EStreamError);
}

TEST(MemoryStream, CopyFromWholeAndPart) {
    vesk::TMemoryStream source;
    source.WriteBuffer("hello world", 11);
    vesk::TMemoryStream all;
    EXPECT_EQ(all.CopyFrom(source, 0), 11);
    EXPECT_EQ(all.AsString(), "hello world");
    source.SetPosition(6);
    vesk::TMemoryStream part;
    part.CopyFrom(source, 5);
    EXPECT_EQ(part.AsString(), "world");
    source.SetPosition(8);
    EXPECT_THROW(part.CopyFrom(source, 5), vesk::EStreamError);
}

TEST(FileStream, CreateNewRefusesAnExistingFileAndReadOnlyRefusesWrites) {
    char pattern[] = "/tmp/streamXXXXXX";
    int fd = mkstemp(pattern);
    ASSERT_GE(fd, 0);
    close(fd);
    EXPECT_THROW(vesk::TFileStream(pattern, vesk::TFileStream::Mode::CreateNew),
                 vesk::EStreamError);
    {
        vesk::TFileStream rw(pattern, vesk::TFileStream::Mode::ReadWrite);
        rw.WriteBuffer("data", 4);
        rw.Flush();
        EXPECT_EQ(rw.Size(), 4);
    }
    vesk::TFileStream ro(pattern, vesk::TFileStream::Mode::ReadOnly);
    EXPECT_THROW(ro.WriteBuffer("x", 1), vesk::EStreamError);
    char out[4];
    ro.ReadBuffer(out, 4);
    EXPECT_EQ(std::string(out, 4), "data");
    unlink(pattern);
    EXPECT_THROW(vesk::TFileStream("/nonexistent/dir/file", vesk::TFileStream::Mode::ReadOnly),
                 vesk::EStreamError);
}

// A transfer a system call refused names the reason; one short at the end of a file does not.
TEST(FileStream, FailedSystemCallsKeepTheirErrorInTheMessage) {
    char pattern[] = "/tmp/streamXXXXXX";
    int fd = mkstemp(pattern);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "ab", 2), 2);
    close(fd);
    vesk::TFileStream full("/dev/full", vesk::TFileStream::Mode::ReadWrite);
    vesk::TFileStream readOnly(pattern, vesk::TFileStream::Mode::ReadOnly);
    vesk::TFileStream folder("/tmp", vesk::TFileStream::Mode::ReadOnly);
    char buffer[8] = {};
    struct Case {
        const char* what;
        std::function<void()> transfer;
        const char* message;
    };
    const Case cases[] = {
        {"write to a full device", [&] { full.WriteBuffer("x", 1); },
         "Stream write error: No space left on device"},
        {"write through a read-only handle", [&] { readOnly.WriteBuffer("x", 1); },
         "Stream write error: Bad file descriptor"},
        {"read of a folder", [&] { folder.ReadBuffer(buffer, 1); },
         "Stream read error: Is a directory"},
        {"positioned read of a folder", [&] { vesk::ReadAtOrThrow(folder, buffer, 0, 1); },
         "Stream read error: Is a directory"},
        {"read past the end", [&] { readOnly.ReadBuffer(buffer, 4); }, "Stream read error"},
    };
    for (const Case& c : cases) {
        try {
            c.transfer();
            ADD_FAILURE() << c.what << ": no error";
        } catch (const vesk::EStreamError& e) {
            EXPECT_STREQ(e.what(), c.message) << c.what;
        }
    }
    EXPECT_EQ(full.WriteAt("x", 0, 1), 0);
    EXPECT_EQ(full.LastError(), ENOSPC);
    readOnly.SetPosition(0);
    EXPECT_EQ(vesk::ReadAtOrThrow(readOnly, buffer, 1, 4), 1) << "short at the end: no error";
    EXPECT_EQ(readOnly.LastError(), 0);
    unlink(pattern);
}

TEST(Streams, PositionedReadsAndWritesOfFileAndMemoryAgree) {
    char pattern[] = "/tmp/streamXXXXXX";
    int fd = mkstemp(pattern);
    ASSERT_GE(fd, 0);
    close(fd);
    vesk::TFileStream file(pattern, vesk::TFileStream::Mode::ReadWrite);
    vesk::TMemoryStream memory;
    for (vesk::TStream* stream :
         {static_cast<vesk::TStream*>(&file), static_cast<vesk::TStream*>(&memory)}) {
        SCOPED_TRACE(stream == &file ? "file" : "memory");
        EXPECT_EQ(stream->WriteAt("abcdef", 0, 6), 6);
        EXPECT_EQ(stream->WriteAt("XY", 8, 2), 2) << "a write past the end grows the stream";
        EXPECT_EQ(stream->Size(), 10);
        char out[16] = {};
        EXPECT_EQ(stream->ReadAt(out, 4, 16), 6) << "short at the end";
        EXPECT_EQ(std::string(out, 6), std::string("ef\0\0XY", 6));
        EXPECT_EQ(stream->ReadAt(out, 12, 4), 0);
        EXPECT_THROW(stream->ReadAt(out, -1, 1), vesk::EStreamError);
    }
    // The file stream's own position is left where it was.
    file.SetPosition(2);
    char one = 0;
    file.ReadAt(&one, 9, 1);
    EXPECT_EQ(one, 'Y');
    EXPECT_EQ(file.Position(), 2);
    EXPECT_EQ(file.Size(), 10);
    EXPECT_EQ(file.Read(&one, 1), 1) << "asking the size leaves the position alone";
    EXPECT_EQ(one, 'c');
    EXPECT_EQ(file.Seek(-1, vesk::SeekOrigin::End), 9);
    EXPECT_THROW(file.Seek(-11, vesk::SeekOrigin::End), vesk::EStreamError);
    unlink(pattern);
}

}  // namespace
