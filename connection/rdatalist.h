#pragma once
// One remote directory entry of a page: an entry of the display list (row i of the remote
// list) or of the folder cache (keyed by `folder`). The two lists never share an entry.
#include <cstdint>
#include <string>

struct rdatalist {
    std::string seqno;  // the list's count + 1 when it was made (never read)
    std::string name;
    std::string typetext;     // "Folder", else the file's type name (cache: empty for files)
    std::int32_t isfile = 0;  // 0 folder, 1 file: the row's image
    std::string sizetext;     // display: file size in KB + "KB", folders empty; cache: bytes
    std::int64_t size = 0;    // display: file size in bytes, folders 0; cache: 0
    std::string shelltype;    // display: the file's type name, folders empty; cache: empty
    std::string modified;     // "yyyy-mm-dd hh:mm:ss"
    std::string folder;       // cache: the folder the entry belongs to; display: empty
    std::string owner;
    std::string group;
    std::string attr;  // "d" or "-" and the owner's permissions
    std::string grpperm;
    std::string othperm;
};
