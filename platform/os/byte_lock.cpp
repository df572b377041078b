#include "platform/os/byte_lock.h"

#include <fcntl.h>

namespace os {

namespace {

bool SetLock(int fd, short type, off_t offset, off_t length) {
    struct flock request {};
    request.l_type = type;
    request.l_whence = SEEK_SET;
    request.l_start = offset;
    request.l_len = length;
    request.l_pid = 0;  // required to be 0 for open-file-description locks
    return fcntl(fd, F_OFD_SETLK, &request) == 0;
}

}  // namespace

bool TryLockBytes(int fd, off_t offset, off_t length, bool exclusive) {
    if (fd < 0 || length <= 0)
        return false;
    return SetLock(fd, exclusive ? F_WRLCK : F_RDLCK, offset, length);
}

bool UnlockBytes(int fd, off_t offset, off_t length) {
    if (fd < 0 || length <= 0)
        return false;
    return SetLock(fd, F_UNLCK, offset, length);
}

}  // namespace os
