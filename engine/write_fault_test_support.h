#pragma once
// Test support for write failures: a file owner whose file stream fails one chosen positioned
// write, the way a full disk does, either writing nothing or only the first half of the bytes.
#include <cerrno>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/db_file_io.h"
#include "engine/stream.h"

namespace vesk::write_testing {

enum class WriteFault { kNothingWritten, kShortWrite };

// Which write fails, and what the stream saw. Writes are counted from 1 after Arm.
struct WriteFaultPlan {
    std::int64_t failAt = 0;  // 0: no write fails
    WriteFault fault = WriteFault::kNothingWritten;
    std::int64_t writes = 0;
    bool fired = false;

    void Arm(std::int64_t n, WriteFault kind) {
        failAt = n;
        fault = kind;
        writes = 0;
        fired = false;
    }
    void Disarm() { failAt = 0; }
};

class FaultyFileStream : public TFileStream {
  public:
    FaultyFileStream(const std::string& path, Mode mode, WriteFaultPlan& plan)
        : TFileStream(path, mode), plan_(plan) {}

    std::int64_t WriteAt(const void* buffer, std::int64_t position, std::int64_t count) override {
        if (plan_.failAt == 0 || ++plan_.writes != plan_.failAt)
            return TFileStream::WriteAt(buffer, position, count);
        plan_.fired = true;
        const std::int64_t done = plan_.fault == WriteFault::kShortWrite
                                      ? TFileStream::WriteAt(buffer, position, count / 2)
                                      : 0;
        SetLastError(ENOSPC);
        return done;
    }

  private:
    WriteFaultPlan& plan_;
};

// The owner to open a TVeskDBFileIO with: its disk file fails as plan says.
class FaultyStreamOwner : public TDBFileIOOwner {
  public:
    std::unique_ptr<TFileStream> OpenFileStream(const std::string& path,
                                                TFileStream::Mode mode) override {
        return std::make_unique<FaultyFileStream>(path, mode, plan);
    }

    WriteFaultPlan plan;
};

}  // namespace vesk::write_testing
