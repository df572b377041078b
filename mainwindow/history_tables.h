#pragma once
// The history page's reads and writes of the history tables: `hmaster` heads (one per site,
// day and direction) and their `hdital` details. Each write is one user action that opens the
// tables it needs and closes them again, also when it throws; the reads work on tables the
// caller holds open. Errors are the engine's (EDatabaseError).
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "mainwindow/history_record.h"

namespace vesk {
class TVeskTable;
}
class Tdm;

namespace mainwindow {

struct HistorySite {
    std::int32_t id = 0;
    std::string name;
    std::string address;
};

// Every site in table order.
std::vector<HistorySite> ReadHistorySites(vesk::TVeskTable& ftpsite);

struct HistoryHead {
    std::int32_t key = 0;
    std::int32_t siteId = 0;  // hmaster.id
    std::string date;         // the day's text
    std::string type;
};

// Every head in table order.
std::vector<HistoryHead> ReadHistoryHeads(vesk::TVeskTable& hmaster);

using THistoryDetailsByHead = std::unordered_map<std::int32_t, std::vector<rhd>>;

// Every detail row read once, grouped by its head key (hdital.id), each group in table order.
// The records' siteid is left 0.
THistoryDetailsByHead ReadHistoryDetailsByHead(vesk::TVeskTable& hdital);

// Deletes the detail row of that key; false when there is none.
bool DeleteHistoryDetail(Tdm& data, std::int32_t key);

// Deletes the details of `keys` (where they still exist), then every head of the site with that
// day text in that direction: an "Upload" head for `upload`, any other for a download, as the
// tree files them. One day node may show several heads; none is left to bring the day back.
void DeleteHistoryDay(Tdm& data, const std::vector<std::int32_t>& keys, std::int32_t siteId,
                      const std::string& date, bool upload);

// Empties `hmaster`, then `hdital`.
void ClearHistoryTables(Tdm& data);

}  // namespace mainwindow
