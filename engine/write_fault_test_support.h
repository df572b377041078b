#pragma once
// Test support for write failures: a file owner whose file stream fails one chosen positioned
// write, the way a full disk does, either writing nothing or only the first half of the bytes;
// or that stops writing after a chosen write, the way a killed writer does: the process goes on,
// but nothing it writes or cuts from then on reaches the file (its rollback included).
#include <cerrno>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/db_error.h"
#include "engine/db_file_io.h"
#include "engine/stream.h"

namespace vesk::write_testing {

enum class WriteFault { kNothingWritten, kShortWrite };

// Which write fails, and what the stream saw. Writes are counted from 1 after Arm or CutAfter.
struct WriteFaultPlan {
    std::int64_t failAt = 0;  // 0: no write fails
    WriteFault fault = WriteFault::kNothingWritten;
    std::int64_t cutAfter = -1;  // -1: the writer is never cut off
    std::int64_t writes = 0;
    bool fired = false;

    void Arm(std::int64_t n, WriteFault kind) {
        failAt = n;
        fault = kind;
        cutAfter = -1;
        writes = 0;
        fired = false;
    }
    // Writes 1 to n reach the file; every later write and size change fails and changes
    // nothing (fired tells whether one was tried).
    void CutAfter(std::int64_t n) {
        failAt = 0;
        cutAfter = n;
        writes = 0;
        fired = false;
    }
    void Disarm() {
        failAt = 0;
        cutAfter = -1;
    }
    bool CutOff() const { return cutAfter >= 0 && writes >= cutAfter; }
};

class FaultyFileStream : public TFileStream {
  public:
    FaultyFileStream(const std::string& path, Mode mode, WriteFaultPlan& plan)
        : TFileStream(path, mode), plan_(plan) {}

    std::int64_t WriteAt(const void* buffer, std::int64_t position, std::int64_t count) override {
        if (plan_.cutAfter >= 0) {
            if (!plan_.CutOff()) {
                ++plan_.writes;
                return TFileStream::WriteAt(buffer, position, count);
            }
            plan_.fired = true;
            SetLastError(EIO);
            return 0;
        }
        if (plan_.failAt == 0 || ++plan_.writes != plan_.failAt)
            return TFileStream::WriteAt(buffer, position, count);
        plan_.fired = true;
        const std::int64_t done = plan_.fault == WriteFault::kShortWrite
                                      ? TFileStream::WriteAt(buffer, position, count / 2)
                                      : 0;
        SetLastError(ENOSPC);
        return done;
    }

    void SetSize(std::int64_t size) override {
        if (plan_.CutOff()) {
            plan_.fired = true;
            throw EStreamError("Stream write error: the writer was cut off");
        }
        TFileStream::SetSize(size);
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
