#pragma once
// The session settings of one connection page, loaded from the site's row (or the quick-connect
// dialog) and the options row each time the page connects.
#include <cstdint>
#include <string>

struct rftpsite {
    std::string defaultpath;    // folder to enter after login; empty or "/": the login folder
    bool autorefresh = false;   // always list a folder again instead of showing the cache
    std::int32_t timeout = 0;   // connect and read time-out, milliseconds
    std::int32_t nor = 0;       // connect attempts in all; 0 or less: no limit
    std::int32_t rd = 0;        // delay between attempts, milliseconds
    bool cnc = false;           // stored only
    std::int32_t maxc = 0;      // stored only
    std::string proxy;          // name of a proxy row, or "None"
    std::string socks;          // name of a SOCKS row, or "None"
    std::string transfermode;   // "auto", "ascii" or "binary"
    std::string transferc;      // stored only
    bool appe = false;          // stored only
    std::int32_t interval = 0;  // anti-idle seconds
};
