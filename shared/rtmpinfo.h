#pragma once
// rtmpinfo: the two sides of one duplicate-name question of a queue run, made afresh for each
// queue entry by the page that asks and passed by value to the duplicate-file dialog.
#include <cstdint>
#include <string>

struct rtmpinfo {
    // Full local path of the item (file or folder).
    std::string path;
    // Remote size: the listing's for uploads, the queue entry's for downloads; 0 for folders.
    std::int64_t ftpsize = 0;
    // Remote modified time "yyyy-mm-dd hh:mm:ss" (a download entry of a history or task run
    // gives "?").
    std::string ftpdate;
    // Local size, filled for uploads only; 0 for folders.
    std::int64_t losize = 0;
};
