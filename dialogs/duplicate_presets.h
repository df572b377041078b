#pragma once
// What the duplicate-file dialog shows for one clash, without widgets: both blocks (heading,
// name, size, modified time, type), which pictures, and whether Resume is offered with the
// offset and the remaining bytes the page resumes with.
//
// An upload shows the local item in the upper block under "Local file" and the remote item
// below under "Remote file"; a download swaps the headings and the sides. Resume is offered
// only for a file download whose local file is shorter than the remote one.
#include <cstdint>
#include <string>

#include "shared/rtmpinfo.h"

namespace dialogs {

// What a directory search finds for a local path.
struct LocalItemFacts {
    bool found = false;
    std::int64_t size = 0;  // 0 for a folder
    std::string modified;   // last-write time in local time, "yyyy-mm-dd hh:mm:ss"
};

// The facts of the item at `path` (a symbolic link is looked at itself, not followed). Nothing
// found gives found false, size 0 and an empty time. Never throws.
LocalItemFacts LocalItemOf(const std::string& path);

struct DuplicateBlock {
    std::string heading;  // "Local file" or "Remote file"
    std::string name;
    std::string size;  // bytes, in decimal
    std::string modified;
    std::string type;
};

struct DuplicatePresets {
    bool download = false;
    bool folder = false;  // folder pictures; Append can be chosen
    DuplicateBlock upper;
    DuplicateBlock lower;
    std::string
        localPath;  // the clashing local item; a local rename target is looked for beside it
    bool resumeOffered = false;
    std::int64_t resumeOffset = 0;     // the local size, when offered
    std::int64_t resumeRemaining = 0;  // remote size minus local size, when offered
};

// The presets of one clash: `info` from the page, `typeText` "Folder" or the shell's type name
// of the path, `local` the directory search of info.path. For an upload the local size is
// info.losize, for a download the one searched.
DuplicatePresets MakeDuplicatePresets(const rtmpinfo& info, bool folder, bool download,
                                      const std::string& typeText, const LocalItemFacts& local);

// The last part of a path ("/a/b/c.txt" -> "c.txt"; a trailing "/" is passed over).
std::string NameOfPath(const std::string& path);

}  // namespace dialogs
