#pragma once
// Writing a whole small file so that a reader finds either the old contents or the new ones,
// never half of them: the new contents go to a sibling file, which is then renamed over it.
// Where the folder takes no new file, WriteFileContents rewrites the file in place.
#include <string>

namespace os {

enum class ReplaceResult {
    kReplaced,   // the file now holds the new contents
    kNoSibling,  // no sibling file could be made in the folder; nothing was changed
    kFailed,     // writing or renaming failed; the old file is as it was
};

// Replaces the file at `path` (created when missing; a new file gets mode 0644, an existing one
// keeps its mode) with `contents`, flushed to the disk. Never throws.
ReplaceResult ReplaceFileContents(const std::string& path, const std::string& contents);

// Writes a small file whole wherever it can be written: as ReplaceFileContents, and where no
// sibling can be made at all (a read-only folder holding a writable file) by rewriting the
// file in place, which a failure half-way leaves cut short. A write that failed after its
// sibling was made leaves the old file untouched. True when the file holds `contents`. Never
// throws.
bool WriteFileContents(const std::string& path, const std::string& contents);

// Writes all of `bytes` to the descriptor, retrying interrupted writes. False on failure.
bool WriteAllBytes(int fd, const std::string& bytes);

}  // namespace os
