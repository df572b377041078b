#pragma once
// One duplicate-name question as the asking page makes it, without widgets: what the
// duplicate-file dialog shows (both blocks: heading, name, size, modified time, type; file or
// folder pictures) and whether Resume is offered, with the offset and the remaining bytes the
// page resumes with when that is the answer.
//
// An upload shows the local item in the upper block under "Local file" and the remote item
// below under "Remote file"; a download swaps the headings and the sides. Resume is offered
// only for a file download whose local file is shorter than the remote one.
#include <cstdint>
#include <string>

#include "shared/rtmpinfo.h"

// What a directory search finds for a local path.
struct TLocalItemFacts {
    bool found = false;
    std::int64_t size = 0;  // 0 for a folder
    std::string modified;   // last-write time in local time, "yyyy-mm-dd hh:mm:ss"
};

// The facts of the item at `path`. A symbolic link gives the facts of what it points to (a
// resume writes there), a link that points nowhere its own. Nothing found gives found false,
// size 0 and an empty time. Never throws.
TLocalItemFacts LocalItemOf(const std::string& path);

struct TDuplicateBlock {
    std::string heading;  // "Local file" or "Remote file"
    std::string name;
    std::string size;  // bytes, in decimal
    std::string modified;
    std::string type;
};

struct TDuplicatePresets {
    bool download = false;
    bool folder = false;  // folder pictures; Append can be chosen
    TDuplicateBlock upper;
    TDuplicateBlock lower;
    std::string
        localPath;  // the clashing local item; a local rename target is looked for beside it
    bool resumeOffered = false;
    std::int64_t resumeOffset = 0;     // the local size, when offered
    std::int64_t resumeRemaining = 0;  // remote size minus local size, when offered
};

// The presets of one clash: `info` from the page, `typeText` "Folder" or the shell's type name
// of the path, `local` the directory search of info.path. For an upload the local size is
// info.losize, for a download the one searched.
TDuplicatePresets MakeDuplicatePresets(const rtmpinfo& info, bool folder, bool download,
                                       const std::string& typeText, const TLocalItemFacts& local);

// The last part of a path ("/a/b/c.txt" -> "c.txt"; a trailing "/" is passed over).
std::string ItemNameOfPath(const std::string& path);
