#pragma once
// One queued transfer of a page's queue. The page owns the records once they are added.
#include <cstdint>
#include <string>

struct rupdown {
    std::int32_t direction = 0;  // 0 upload, 1 download
    std::string lopath;          // local full path
    std::string ftppath;         // "0": the page's current folder when the run gets there
    std::int64_t size = 0;       // bytes; 0: ask the server
    std::string name;            // item name
    bool isfolder = false;
    std::string status;  // the queue row's first status text
    std::int32_t spare = -1;
    std::string rdate;        // "?" for entries of history and task runs
    bool checkexist = false;  // downloads: look the remote file up first
};
