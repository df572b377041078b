// Blob values through field streams: written, posted, loaded only when read, kept by a post
// that never read them, and never overwritten after a failed load.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "engine/dataset/dataset_test_support.h"
#include "engine/dataset/vesk_blob_stream.h"

namespace vesk::testing {
namespace {

class BlobStreams : public TableFixture {
  protected:
    static std::string ReadMemo(TVeskTable& t) {
        auto stream = t.CreateBlobStream(t.FieldByName("memo"), TBlobStreamMode::bmRead);
        return stream->AsString();
    }
    static void WriteMemo(TVeskTable& t, const std::string& value) {
        auto stream = t.CreateBlobStream(t.FieldByName("memo"), TBlobStreamMode::bmWrite);
        stream->Write(value.data(), static_cast<std::int64_t>(value.size()));
    }
    static TOptimBlobStream& BufferStream(TVeskTable& t) {
        return *t.GetActiveRecBuf()->BlobStreamAt(
            t.GetFieldOffset(t.FieldByName("memo").FieldNo()));
    }
    std::string ReadFileBytes() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Two rows: a 10 KB memo and a short one.
    void AddNotes() {
        TVeskTable& t = Opened("notes");
        t.Append();
        WriteMemo(t, std::string(10240, 'm'));
        t.Post();
        t.Append();
        WriteMemo(t, "short");
        t.Post();
        t.Close();
    }
};

TEST_F(BlobStreams, LoadedOnlyWhenReadAndKeptByOtherEdits) {
    AddNotes();
    Reconnect();
    TVeskTable& t = Opened("notes");
    EXPECT_FALSE(BufferStream(t).Loaded());
    EXPECT_NE(BufferStream(t).DescriptorPos, 0);
    t.Edit();
    t.FieldByName("tag").SetAsInteger(5);
    t.Post();
    EXPECT_EQ(ReadMemo(t), std::string(10240, 'm'));
    EXPECT_TRUE(BufferStream(t).Loaded());
    t.Next();
    EXPECT_FALSE(BufferStream(t).Loaded());  // the next row's value is not read yet
    EXPECT_EQ(ReadMemo(t), "short");
    t.Prior();  // moving back reads the record again: the value is loaded anew
    EXPECT_FALSE(BufferStream(t).Loaded());
    EXPECT_EQ(ReadMemo(t), std::string(10240, 'm'));
}

TEST_F(BlobStreams, WriteModeEmptiesAndLastWriterWins) {
    AddNotes();
    TVeskTable& t = Opened("notes");
    t.Edit();
    { auto emptied = t.CreateBlobStream(t.FieldByName("memo"), TBlobStreamMode::bmWrite); }
    EXPECT_TRUE(t.Modified());
    EXPECT_EQ(ReadMemo(t), "");
    auto first = t.CreateBlobStream(t.FieldByName("memo"), TBlobStreamMode::bmReadWrite);
    auto second = t.CreateBlobStream(t.FieldByName("memo"), TBlobStreamMode::bmReadWrite);
    first->Write("first", 5);
    second->Write("2nd", 3);
    t.Post();
    Reconnect();
    TVeskTable& again = Opened("notes");
    EXPECT_EQ(ReadMemo(again), "2nd");
    // With no row there is nothing to read or write.
    again.EmptyTable();
    auto none = again.CreateBlobStream(again.FieldByName("memo"), TBlobStreamMode::bmReadWrite);
    none->Write("x", 1);
    EXPECT_EQ(none->AsString(), "x");
    EXPECT_EQ(again.RecordCount(), 0);
    EXPECT_THROW(again.CreateBlobStream(again.FieldByName("day"), TBlobStreamMode::bmRead),
                 EDatabaseError);
    // Blob values never go through the plain value operations.
    again.Append();
    std::uint8_t value[8] = {};
    EXPECT_THROW(again.GetFieldData(again.FieldByName("memo"), value), EDatabaseError);
    EXPECT_THROW(again.SetFieldData(again.FieldByName("memo"), value), EDatabaseError);
}

TEST_F(BlobStreams, OpeningForReadAndWriteChangesNothingUntilWritten) {
    // A value over one copy step of 64 KiB, and a short one.
    const std::string large(100000, 'L');
    {
        TVeskTable& t = Opened("notes");
        t.Append();
        WriteMemo(t, large);
        t.Post();
        t.Append();
        WriteMemo(t, "short");
        t.Post();
        t.Close();
    }
    Reconnect();
    const std::string before = ReadFileBytes();
    {
        TVeskTable& t = Opened("notes");
        t.Edit();
        auto stream = t.CreateBlobStream(t.FieldByName("memo"), TBlobStreamMode::bmReadWrite);
        EXPECT_EQ(stream->AsString(), large);
        EXPECT_FALSE(t.Modified());
        EXPECT_EQ(BufferStream(t).Size(), static_cast<std::int64_t>(large.size()));
        t.Next();  // an untouched row is not posted
        EXPECT_EQ(ReadMemo(t), "short");
        t.Edit();
        auto shortStream = t.CreateBlobStream(t.FieldByName("memo"), TBlobStreamMode::bmReadWrite);
        EXPECT_FALSE(t.Modified());
        t.Cancel();
        t.Close();
    }
    EXPECT_EQ(ReadFileBytes(), before);
    Reconnect();
    {
        // Only a write through the stream changes the row: the value the stream holds then.
        TVeskTable& t = Opened("notes");
        EXPECT_EQ(ReadMemo(t), large);
        t.Edit();
        auto stream = t.CreateBlobStream(t.FieldByName("memo"), TBlobStreamMode::bmReadWrite);
        stream->Seek(0, SeekOrigin::End);
        stream->Write("+", 1);
        EXPECT_TRUE(t.Modified());
        t.Next();
        t.Close();
    }
    Reconnect();
    EXPECT_EQ(ReadMemo(Opened("notes")), large + "+");
}

TEST_F(BlobStreams, FailedLoadNeverLetsAPostOverwriteTheStoredValue) {
    AddNotes();
    Reconnect();
    TVeskTable& t = Opened("notes");
    const std::int64_t descriptor = BufferStream(t).DescriptorPos;
    std::uint8_t saved[4] = {};
    {
        // Point the stored value far past the file's end.
        std::fstream file(path_, std::ios::in | std::ios::out | std::ios::binary);
        file.seekg(descriptor);
        file.read(reinterpret_cast<char*>(saved), 4);
        const std::uint8_t far[4] = {0xF0, 0xFF, 0xFF, 0x0F};
        file.seekp(descriptor);
        file.write(reinterpret_cast<const char*>(far), 4);
    }
    t.Edit();
    EXPECT_THROW(ReadMemo(t), EDatabaseError);
    EXPECT_FALSE(BufferStream(t).Loaded());
    t.FieldByName("tag").SetAsInteger(9);
    EXPECT_THROW(t.Post(), EDatabaseError);
    EXPECT_EQ(t.State(), TDataSetState::dsEdit);
    t.Cancel();
    t.Close();
    {
        std::fstream file(path_, std::ios::in | std::ios::out | std::ios::binary);
        std::uint8_t now[4] = {};
        file.seekg(descriptor);
        file.read(reinterpret_cast<char*>(now), 4);
        EXPECT_EQ(format::GetI32(now), 0x0FFFFFF0);  // not replaced by an empty value
        file.seekp(descriptor);
        file.write(reinterpret_cast<const char*>(saved), 4);
    }
    Reconnect();
    EXPECT_EQ(ReadMemo(Opened("notes")), std::string(10240, 'm'));
}

}  // namespace
}  // namespace vesk::testing
