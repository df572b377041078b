#pragma once
// One file row of the task dialog: a file or folder to transfer, with its local and remote
// folders.
#include <string>

struct rtaskupdown {
    bool isfolder = false;
    std::string files;  // the item's name
    std::string local;  // the local folder, ending with "/"
    std::string ftp;    // the remote folder
    bool operator==(const rtaskupdown&) const = default;
};
