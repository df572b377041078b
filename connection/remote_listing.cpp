#include "connection/remote_listing.h"

#include <charconv>
#include <chrono>
#include <cstdio>

#include "connection/page_session.h"
#include "connection/remote_sort.h"
#include "platform/ftp/id_ftp.h"
#include "platform/ui/message_pump.h"
#include "platform/ui/owner_data_model.h"
#include "platform/ui/shell_type_name.h"

namespace {

// The size text of a cache entry back to bytes; a text that is no 64-bit number is 0.
std::int64_t ParseSize(const std::string& text) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return 0;
    return value;
}

// How often a listing lets the window process its messages while it builds the lists: often
// enough that the window stays responsive, rarely enough that a folder of 100,000 entries does
// not spend its time in the pump.
constexpr std::chrono::milliseconds kPumpEvery{10};

// Appends `value` as `digits` decimal digits; the caller checked that it fits.
void AppendDigits(std::string& text, int value, int digits) {
    char buffer[4];
    for (int i = digits - 1; i >= 0; --i) {
        buffer[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    text.append(buffer, static_cast<std::size_t>(digits));
}

std::string DateText(const os::LocalDateTime& time) {
    // By hand where every field has its usual width: a listing of 100,000 entries makes as
    // many texts, and a formatted print of each is a noticeable part of the listing's time.
    auto within = [](int value, int limit) { return value >= 0 && value < limit; };
    if (within(time.year, 10000) && within(time.month, 100) && within(time.day, 100) &&
        within(time.hour, 100) && within(time.minute, 100) && within(time.second, 100)) {
        std::string text;
        text.reserve(19);
        AppendDigits(text, time.year, 4);
        text += '-';
        AppendDigits(text, time.month, 2);
        text += '-';
        AppendDigits(text, time.day, 2);
        text += ' ';
        AppendDigits(text, time.hour, 2);
        text += ':';
        AppendDigits(text, time.minute, 2);
        text += ':';
        AppendDigits(text, time.second, 2);
        return text;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return text;
}

}  // namespace

TRemoteListing::TRemoteListing(TPageSession& session, ui::OwnerDataModel& rows)
    : session_(session), rows_(rows) {}

std::string TRemoteListing::FormatSizeKB(std::int64_t bytes) {
    std::int64_t kb = bytes / 1024;
    const std::int64_t rest = bytes % 1024;
    if (rest > 512 || (rest == 512 && kb % 2 != 0))
        ++kb;
    if (kb < 1)
        kb = 1;
    return std::to_string(kb) + "KB";
}

void TRemoteListing::AddDisplayEntry(const std::string& name, const std::string& kind,
                                     const std::string& sizeText, const std::string& modified,
                                     const std::string& owner, const std::string& group,
                                     const std::string& attr, const std::string& grpperm,
                                     const std::string& othperm) {
    AppendDisplayEntry(FDisplayList, name, kind, sizeText, modified, owner, group, attr, grpperm,
                       othperm);
}

void TRemoteListing::AppendDisplayEntry(std::vector<rdatalist>& list, const std::string& name,
                                        const std::string& kind, const std::string& sizeText,
                                        const std::string& modified, const std::string& owner,
                                        const std::string& group, const std::string& attr,
                                        const std::string& grpperm, const std::string& othperm) {
    if (name == "." || name == "..")
        return;
    rdatalist entry;
    entry.seqno = std::to_string(list.size() + 1);
    entry.name = name;
    if (kind == "Folder") {
        entry.typetext = "Folder";
        entry.isfile = 0;
    } else {
        // Never empty: to the readers of display entries an empty type means a folder.
        entry.shelltype = ui::ShellTypeName(name);
        entry.typetext = entry.shelltype;
        entry.isfile = 1;
        entry.size = ParseSize(sizeText);
        entry.sizetext = FormatSizeKB(entry.size);
    }
    entry.modified = modified;
    entry.owner = owner;
    entry.group = group;
    entry.attr = attr;
    entry.grpperm = grpperm;
    entry.othperm = othperm;
    list.push_back(std::move(entry));
}

void TRemoteListing::AddCacheEntry(const std::string& folder, const std::string& name,
                                   const std::string& kind, const std::string& sizeText,
                                   const std::string& modified, const std::string& owner,
                                   const std::string& group, const std::string& attr,
                                   const std::string& grpperm, const std::string& othperm) {
    rdatalist entry;
    entry.seqno = std::to_string(FDirCache.size() + 1);
    entry.name = name;
    entry.typetext = kind == "Folder" ? "Folder" : "";
    entry.isfile = 0;
    entry.sizetext = sizeText;
    entry.size = 0;
    entry.modified = modified;
    entry.folder = folder;
    entry.owner = owner;
    entry.group = group;
    entry.attr = attr;
    entry.grpperm = grpperm;
    entry.othperm = othperm;
    FDirCache.push_back(std::move(entry));
}

void TRemoteListing::InvalidateCache(const std::string& folder, const std::string& name, int mode) {
    if (mode != 0 && mode != 2)
        return;
    // From the last entry to the first; one pass that keeps the order of the rest.
    std::erase_if(FDirCache, [&](const rdatalist& cached) {
        return cached.folder == folder && (mode == 0 || cached.name == name);
    });
}

void TRemoteListing::RetrieveCurrentDir() {
    FCurrentDir = session_.IdFTP1.RetrieveCurrentDir();
    session_.NoteServerFolder(FCurrentDir);
}

void TRemoteListing::ChangeDirAndList(const std::string& folder) {
    // The component's waits pump messages too: lists emptied at any point of the routine (the
    // page was disconnected or closed) get nothing of this listing.
    const unsigned clears = clears_;
    FDisplayList.clear();
    session_.ChangeDir(folder);
    session_.IdFTP1.SetTransferType(ftp::TIdFTPTransferType::ftASCII);
    RetrieveCurrentDir();
    std::vector<std::string> lines;
    session_.IdFTP1.List(lines);
    if (clears != clears_)
        return;
    InvalidateCache(FCurrentDir, "", 0);
    // Taken out of the component: the pumps below may run handlers that use the component
    // again. The key is a copy: a handler may change FCurrentDir.
    const ftp::TIdFTPListItems items = session_.IdFTP1.TakeDirectoryListing();
    const std::string key = FCurrentDir;
    // Every stretch below pumps at least every kPumpEvery, so a large folder never holds the
    // window for long. The first entry pumps: the component's last pump may be a step ago.
    auto lastPump = std::chrono::steady_clock::now() - kPumpEvery;
    // False when the lists were emptied by a handler the pump ran.
    auto pumpIfDue = [&] {
        if (std::chrono::steady_clock::now() - lastPump < kPumpEvery)
            return true;
        ui::ProcessMessages();
        lastPump = std::chrono::steady_clock::now();
        return clears == clears_;
    };
    // Room for all entries at once: growing a list of 100,000 entries step by step moves them
    // again and again.
    FDirCache.reserve(FDirCache.size() + items.size());
    // The display entries are built aside and join the display list in sorted order: sorting
    // the display list itself would be one long stretch without a pump, and handlers that run
    // in the pumps see a display list that is sorted at every moment.
    std::vector<rdatalist> built;
    built.reserve(items.size());
    for (const ftp::TIdFTPListItem& item : items) {
        if (item.FileName == "." || item.FileName == "..")
            continue;
        const bool folderItem = item.ItemType == ftp::TIdDirItemType::ditDirectory;
        const std::string kind = folderItem ? "Folder" : "";
        const std::string attr = (folderItem ? "d" : "-") + item.OwnerPermissions;
        const std::string sizeText = std::to_string(item.Size);
        const std::string modified = DateText(item.ModifiedDate);
        AddCacheEntry(key, item.FileName, kind, sizeText, modified, item.OwnerName, item.GroupName,
                      attr, item.GroupPermissions, item.OtherPermissions);
        if (!pumpIfDue())
            return;  // disconnected or closed meanwhile: the lists stay empty
        AppendDisplayEntry(built, item.FileName, kind, sizeText, modified, item.OwnerName,
                           item.GroupName, attr, item.GroupPermissions, item.OtherPermissions);
    }
    if (!pumpIfDue())
        return;
    const unsigned sorts = sorts_;
    const std::vector<std::size_t> order = SortedOrder(built, FSortColumn);
    FDisplayList.reserve(built.size());
    // A step of the move: a few milliseconds for the entries of a large folder.
    constexpr std::size_t kStep = 4096;
    for (std::size_t next = 0; next < order.size();) {
        if (!pumpIfDue())
            return;
        MoveInOrder(built, order, next, kStep, FDisplayList);
    }
    // A sort in a pump (a column click) ordered only the entries there were then, maybe by
    // another column.
    if (sorts != sorts_)
        SortDisplayList();
    ShowRows();
}

void TRemoteListing::ShowDirFromCache(const std::string& folder) {
    FDisplayList.clear();
    ShowRows();
    for (const rdatalist& cached : FDirCache) {
        if (cached.folder != folder)
            continue;
        AddDisplayEntry(cached.name, cached.typetext, cached.sizetext, cached.modified,
                        cached.owner, cached.group, cached.attr, cached.grpperm, cached.othperm);
    }
    if (FDisplayList.empty()) {
        ChangeDirAndList(folder);
        return;
    }
    SortDisplayList();
    ShowRows();
}

void TRemoteListing::SortDisplayList() {
    ++sorts_;
    SortEntries(FDisplayList, FSortColumn);
}

void TRemoteListing::ShowRows() {
    rows_.SetRowCount(static_cast<int>(FDisplayList.size()));
    rows_.Invalidate();
}

void TRemoteListing::Clear() {
    ++clears_;
    FDisplayList.clear();
    FDirCache.clear();
    ShowRows();
}

void TRemoteListing::ListView2Data(int row, ui::OwnerDataItem& item) const {
    if (row < 0 || static_cast<std::size_t>(row) >= FDisplayList.size())
        return;
    const rdatalist& entry = FDisplayList[static_cast<std::size_t>(row)];
    item.caption = entry.name;
    item.imageIndex = entry.isfile;
    item.subItems = {entry.sizetext, entry.typetext, entry.modified,
                     entry.attr + entry.grpperm + entry.othperm};
}
