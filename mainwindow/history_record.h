#pragma once
// One recorded transfer as the history page holds it: the data of a transfer node of the
// history tree, copied from its `hdital` row (texts as the history writer stored them) with
// the `ftpsite.id` of the site whose subtree shows it.
#include <cstdint>
#include <deque>
#include <string>

struct rhd {
    std::string type;         // "Upload" or "Download"
    std::string date;         // start time
    std::string date2;        // end time
    std::string ftppath;      // remote folder
    std::string lopath;       // full local path
    std::string ftpfile;      // remote name
    std::string lofile;       // local name, the node's text
    std::string usetime;      // elapsed seconds
    std::string speed;        // speed text
    std::int32_t key = 0;     // the row's hdital.key
    std::int32_t siteid = 0;  // ftpsite.id of the site
    bool isfolder = false;
};

// The records of the transfer nodes, in the order the load made them. A deque, so that the
// nodes may point at their records while more are added.
using THistoryItems = std::deque<rhd>;
