#include "platform/os/byte_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

class ByteLockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/bytelockXXXXXX";
        int fd = mkstemp(pattern);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(write(fd, "0123456789", 10), 10);
        close(fd);
        path_ = pattern;
    }
    void TearDown() override { unlink(path_.c_str()); }
    int OpenRw() const { return open(path_.c_str(), O_RDWR); }
    std::string path_;
};

TEST_F(ByteLockTest, TwoHandlesOfOneProcessConflictAndAThirdHandleClosingKeepsTheLock) {
    int first = OpenRw();
    int second = OpenRw();
    int third = OpenRw();
    ASSERT_TRUE(os::TryLockBytes(first, 1, 1, true));
    EXPECT_FALSE(os::TryLockBytes(second, 1, 1, true));
    EXPECT_TRUE(os::TryLockBytes(second, 2, 1, true)) << "other bytes stay free";
    close(third);  // a process-wide record lock would be dropped here
    EXPECT_FALSE(os::TryLockBytes(second, 1, 1, true));
    ASSERT_TRUE(os::UnlockBytes(first, 1, 1));
    EXPECT_TRUE(os::TryLockBytes(second, 1, 1, true));
    close(first);
    close(second);
}

TEST_F(ByteLockTest, ReadOnlyHandleTakesSharedLockThatConflictsWithExclusive) {
    int reader = open(path_.c_str(), O_RDONLY);
    int writer = OpenRw();
    EXPECT_FALSE(os::TryLockBytes(reader, 1, 1, true))
        << "read-only handle cannot lock exclusively";
    ASSERT_TRUE(os::TryLockBytes(reader, 1, 1, false));
    EXPECT_FALSE(os::TryLockBytes(writer, 1, 1, true));
    close(reader);  // closing the description releases its lock
    EXPECT_TRUE(os::TryLockBytes(writer, 1, 1, true));
    close(writer);
    EXPECT_FALSE(os::TryLockBytes(-1, 1, 1, true));
}

}  // namespace
