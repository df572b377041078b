#pragma once
// The byte streams through which the engine moves file contents and blob data.
//
// Read may return fewer bytes than asked (at the end); ReadBuffer and WriteBuffer are exact
// and throw EStreamError("Stream read error" / "Stream write error") otherwise, followed by
// ": <the system's text>" when a system call failed ("Stream write error: No space left on
// device"). Positions and sizes are 64-bit. A stream that throws leaves its position
// unspecified but stays usable.
#include <cstdint>
#include <string>
#include <vector>

namespace vesk {

enum class SeekOrigin { Begin, Current, End };

class TStream {
  public:
    virtual ~TStream() = default;
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    // Reads up to count bytes at the position; returns how many were read.
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    // Writes count bytes at the position; returns how many were written.
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    // Moves the position; returns the new position.
    virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;
    virtual std::int64_t Size() = 0;
    virtual void SetSize(std::int64_t size) = 0;

    // Reads up to count bytes at position / writes count bytes at position, in one step where
    // the stream allows it; return how many bytes moved. The stream's position afterwards is
    // unspecified (a file stream leaves it alone, others move it past the bytes).
    virtual std::int64_t ReadAt(void* buffer, std::int64_t position, std::int64_t count);
    virtual std::int64_t WriteAt(const void* buffer, std::int64_t position, std::int64_t count);

    // The error number (errno) of the last transfer that stopped short because a system call
    // failed; 0 when it moved every byte or stopped at the end of the data.
    virtual int LastError() const { return 0; }

    std::int64_t Position() { return Seek(0, SeekOrigin::Current); }
    void SetPosition(std::int64_t position) { Seek(position, SeekOrigin::Begin); }

    void ReadBuffer(void* buffer, std::int64_t count);
    void WriteBuffer(const void* buffer, std::int64_t count);
    // Copies count bytes from source's position (count 0: all of source from its start).
    // Returns the bytes copied.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

// text, followed by ": <strerror(error)>" when error is not 0.
std::string StreamErrorText(const std::string& text, int error);

// stream.ReadAt, except that a read a system call refused throws EStreamError("Stream read
// error: <the system's text>"); a read short at the end of the data returns what it got.
std::int64_t ReadAtOrThrow(TStream& stream, void* buffer, std::int64_t position,
                           std::int64_t count);

// A stream in memory that grows with every write past its end.
class TMemoryStream : public TStream {
  public:
    TMemoryStream() = default;
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }
    void SetSize(std::int64_t size) override;

    void Clear();
    std::uint8_t* Memory() { return data_.data(); }
    const std::uint8_t* Memory() const { return data_.data(); }
    const std::vector<std::uint8_t>& Bytes() const { return data_; }
    std::string AsString() const { return std::string(data_.begin(), data_.end()); }

  private:
    std::vector<std::uint8_t> data_;
    std::int64_t position_ = 0;
};

// A file on disk. The descriptor is owned and closed by the destructor. The stream keeps its
// own position: every transfer is a positioned one, so the descriptor's offset means nothing.
// Size and SetSize throw EStreamError with the system's text when their call fails.
class TFileStream : public TStream {
  public:
    enum class Mode { ReadOnly, ReadWrite, CreateNew };
    // Opens path; throws EStreamError("Cannot open file <path>: <reason>") when it cannot.
    // CreateNew refuses an existing file.
    TFileStream(const std::string& path, Mode mode);
    ~TFileStream() override;

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() override;
    void SetSize(std::int64_t size) override;
    // One positioned system call each (repeated only for a partial transfer). A failed call
    // ends the transfer short and leaves its errno in LastError.
    std::int64_t ReadAt(void* buffer, std::int64_t position, std::int64_t count) override;
    std::int64_t WriteAt(const void* buffer, std::int64_t position, std::int64_t count) override;
    int LastError() const override { return lastError_; }

    // Writes the file's buffers to the disk (FlushFileBuffers). Throws EStreamError.
    void Flush();
    int Handle() const { return fd_; }
    const std::string& Path() const { return path_; }

  protected:
    // For a stream that stands in for the file in tests: the error the last transfer ended with.
    void SetLastError(int error) { lastError_ = error; }

  private:
    int fd_ = -1;
    std::int64_t position_ = 0;
    int lastError_ = 0;
    std::string path_;
};

}  // namespace vesk
