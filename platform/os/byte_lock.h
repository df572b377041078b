#pragma once
// One-byte file locks in place of the platform's LockFile/UnlockFile.
//
// Open-file-description locks: they conflict between any two open handles of a file, also
// two handles of this process, and closing some other handle of the same file does not drop
// them (unlike process-wide POSIX record locks). A handle opened for reading only can take
// only a shared lock, which still conflicts with every exclusive one.
#include <sys/types.h>

namespace os {

// Tries once, without blocking, to lock `length` bytes at `offset` of the open descriptor.
// exclusive = false takes a shared (read) lock. Returns false when another handle holds a
// conflicting lock or the descriptor is not valid; never throws.
bool TryLockBytes(int fd, off_t offset, off_t length, bool exclusive);

// Releases a lock taken through the same descriptor. Returns false on failure; never throws.
bool UnlockBytes(int fd, off_t offset, off_t length);

}  // namespace os
