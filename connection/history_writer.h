#pragma once
// The history writer: one row in `hdital` per transfer a queue run performed, under its head
// row in `hmaster` (one per site, day and direction, found by Locate or appended, its engine
// key read back right after the post). Tables through the data module's Thm and Thd, each open
// only for its step. Names and paths longer than their columns are stored cut at a character
// boundary.
#include <cstdint>
#include <string>

#include "connection/rupdown.h"
#include "platform/os/clock.h"

class Tdm;

struct THistoryTransfer {
    std::int32_t siteId = 0;
    const rupdown* entry = nullptr;  // the queue entry that was transferred
    std::string newName;             // the new name of a rename answer, else empty
    std::string currentDir;          // the page's folder, for an entry run in "0"
    double itemStart = 0;            // date-times (days) of the transfer's start and end
    double itemEnd = 0;
    std::int64_t elapsedMs = 0;
    std::string speed;  // the speed text shown at the end, e.g. "12.50KB/S"
};

// Writes the head (when today's is missing) and the detail row of `transfer`; `today` is the
// head's date text (the user's long date). Returns the head's key. Throws what the tables
// throw; a failed detail leaves the head written.
std::int32_t WriteHistoryRows(Tdm& data, const THistoryTransfer& transfer,
                              const std::string& today);

// "hh:mm:ss" of a date-time value (days since 1899-12-30, the fraction the time of day).
std::string TimeOfDayText(double dateTime);
// The date-time value (days) of a local moment.
double DateTimeValue(const os::LocalDateTime& moment);
