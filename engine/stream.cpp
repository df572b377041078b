#include "engine/stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engine/db_error.h"

namespace vesk {

std::string StreamErrorText(const std::string& text, int error) {
    return error == 0 ? text : text + ": " + std::strerror(error);
}

std::int64_t ReadAtOrThrow(TStream& stream, void* buffer, std::int64_t position,
                           std::int64_t count) {
    const std::int64_t got = stream.ReadAt(buffer, position, count);
    if (got < count && stream.LastError() != 0)
        throw EStreamError(StreamErrorText("Stream read error", stream.LastError()));
    return got;
}

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
    if (count < 0)
        throw EStreamError("Stream read error");
    if (count > 0 && Read(buffer, count) != count)
        throw EStreamError(StreamErrorText("Stream read error", LastError()));
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
    if (count < 0)
        throw EStreamError("Stream write error");
    if (count > 0 && Write(buffer, count) != count)
        throw EStreamError(StreamErrorText("Stream write error", LastError()));
}

std::int64_t TStream::ReadAt(void* buffer, std::int64_t position, std::int64_t count) {
    SetPosition(position);
    return Read(buffer, count);
}

std::int64_t TStream::WriteAt(const void* buffer, std::int64_t position, std::int64_t count) {
    SetPosition(position);
    return Write(buffer, count);
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<std::uint8_t> chunk(static_cast<size_t>(std::min<std::int64_t>(count, 1 << 16)));
    std::int64_t left = count;
    while (left > 0) {
        const std::int64_t step =
            std::min<std::int64_t>(left, static_cast<std::int64_t>(chunk.size()));
        source.ReadBuffer(chunk.data(), step);
        WriteBuffer(chunk.data(), step);
        left -= step;
    }
    return count;
}

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
    if (count <= 0 || position_ >= Size())
        return 0;
    const std::int64_t n = std::min(count, Size() - position_);
    std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0)
        return 0;
    const std::int64_t end = position_ + count;
    if (end > Size())
        data_.resize(static_cast<size_t>(end));
    std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
    position_ = end;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
    std::int64_t base = 0;
    if (origin == SeekOrigin::Current)
        base = position_;
    if (origin == SeekOrigin::End)
        base = Size();
    const std::int64_t target = base + offset;
    if (target < 0)
        throw EStreamError("Stream seek error");
    position_ = target;
    return position_;
}

void TMemoryStream::SetSize(std::int64_t size) {
    if (size < 0)
        throw EStreamError("Stream write error");
    data_.resize(static_cast<size_t>(size));
    position_ = std::min(position_, size);
}

void TMemoryStream::Clear() {
    data_.clear();
    position_ = 0;
}

TFileStream::TFileStream(const std::string& path, Mode mode) : path_(path) {
    int flags = O_CLOEXEC;
    switch (mode) {
        case Mode::ReadOnly:
            flags |= O_RDONLY;
            break;
        case Mode::ReadWrite:
            flags |= O_RDWR;
            break;
        case Mode::CreateNew:
            flags |= O_RDWR | O_CREAT | O_EXCL;
            break;
    }
    fd_ = ::open(path.c_str(), flags, 0644);
    if (fd_ < 0)
        throw EStreamError("Cannot open file " + path + ": " + std::strerror(errno));
}

TFileStream::~TFileStream() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
    const std::int64_t done = ReadAt(buffer, position_, count);
    position_ += done;
    return done;
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
    const std::int64_t done = WriteAt(buffer, position_, count);
    position_ += done;
    return done;
}

std::int64_t TFileStream::ReadAt(void* buffer, std::int64_t position, std::int64_t count) {
    if (position < 0)
        throw EStreamError("Stream seek error");
    lastError_ = 0;
    std::int64_t done = 0;
    auto* out = static_cast<std::uint8_t*>(buffer);
    while (done < count) {
        const ssize_t n = ::pread(fd_, out + done, static_cast<size_t>(count - done),
                                  static_cast<off_t>(position + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            lastError_ = errno;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

std::int64_t TFileStream::WriteAt(const void* buffer, std::int64_t position, std::int64_t count) {
    if (position < 0)
        throw EStreamError("Stream seek error");
    lastError_ = 0;
    std::int64_t done = 0;
    const auto* in = static_cast<const std::uint8_t*>(buffer);
    while (done < count) {
        const ssize_t n = ::pwrite(fd_, in + done, static_cast<size_t>(count - done),
                                   static_cast<off_t>(position + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            lastError_ = errno;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, SeekOrigin origin) {
    std::int64_t base = 0;
    if (origin == SeekOrigin::Current)
        base = position_;
    if (origin == SeekOrigin::End)
        base = Size();
    if (base + offset < 0)
        throw EStreamError("Stream seek error");
    position_ = base + offset;
    return position_;
}

std::int64_t TFileStream::Size() {
    // Every transfer names its position, so the descriptor's own offset is free to use; this
    // costs less than fstat, which the C library turns into a path lookup.
    const off_t end = ::lseek(fd_, 0, SEEK_END);
    if (end < 0)
        throw EStreamError(StreamErrorText("Stream read error", errno));
    return end;
}

void TFileStream::SetSize(std::int64_t size) {
    if (size < 0)
        throw EStreamError("Stream write error");
    int result = 0;
    do {
        result = ::ftruncate(fd_, static_cast<off_t>(size));
    } while (result != 0 && errno == EINTR);
    if (result != 0)
        throw EStreamError(StreamErrorText("Stream write error", errno));
}

void TFileStream::Flush() {
    if (::fsync(fd_) != 0)
        throw EStreamError("Cannot flush file " + path_ + ": " + std::strerror(errno));
}

}  // namespace vesk
