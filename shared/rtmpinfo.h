#pragma once
// rtmpinfo: the two sides of one duplicate-name question of a queue run, made afresh for each
// queue entry by the page that asks and passed by value to the duplicate-file dialog.
#include <cstdint>
#include <string>

struct rtmpinfo {
    std::string path;          // full local path of the item (file or folder)
    std::int64_t ftpsize = 0;  // remote size: the listing's for uploads, the entry's for
                               // downloads; 0 for folders
    std::string ftpdate;      // remote modified time "yyyy-mm-dd hh:mm:ss" (downloads may give "?")
    std::int64_t losize = 0;  // local size, filled for uploads only; 0 for folders
};
