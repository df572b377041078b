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
constexpr std::chrono::milliseconds kPumpEvery{5};

// Writes `value` as `digits` decimal digits at `at`; the caller checked that it fits.
char* PutDigits(char* at, int value, int digits) {
    for (int i = digits - 1; i >= 0; --i) {
        at[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return at + digits;
}

std::string DateText(const os::LocalDateTime& time) {
    // By hand where every field has its usual width: a listing of 100,000 entries makes as
    // many texts, and a formatted print of each is a noticeable part of the listing's time.
    auto within = [](int value, int limit) { return value >= 0 && value < limit; };
    if (within(time.year, 10000) && within(time.month, 100) && within(time.day, 100) &&
        within(time.hour, 100) && within(time.minute, 100) && within(time.second, 100)) {
        char text[19];
        char* at = PutDigits(text, time.year, 4);
        *at++ = '-';
        at = PutDigits(at, time.month, 2);
        *at++ = '-';
        at = PutDigits(at, time.day, 2);
        *at++ = ' ';
        at = PutDigits(at, time.hour, 2);
        *at++ = ':';
        at = PutDigits(at, time.minute, 2);
        *at++ = ':';
        at = PutDigits(at, time.second, 2);
        return std::string(text, at);
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
    // Made in its place: an entry is a dozen strings, and building it aside and moving it in
    // costs as much again for each entry of a large folder.
    rdatalist& entry = list.emplace_back();
    entry.seqno = std::to_string(list.size());
    entry.name = name;
    if (kind == "Folder") {
        entry.typetext = "Folder";
        entry.isfile = 0;
    } else {
        SetFileType(entry, ParseSize(sizeText));
    }
    entry.modified = modified;
    entry.owner = owner;
    entry.group = group;
    entry.attr = attr;
    entry.grpperm = grpperm;
    entry.othperm = othperm;
}

void TRemoteListing::SetFileType(rdatalist& entry, std::int64_t size) {
    // Never empty: to the readers of display entries an empty type means a folder.
    entry.shelltype = ui::ShellTypeName(entry.name);
    entry.typetext = entry.shelltype;
    entry.isfile = 1;
    entry.size = size;
    entry.sizetext = FormatSizeKB(size);
}

void TRemoteListing::AddCacheEntry(const std::string& folder, const std::string& name,
                                   const std::string& kind, const std::string& sizeText,
                                   const std::string& modified, const std::string& owner,
                                   const std::string& group, const std::string& attr,
                                   const std::string& grpperm, const std::string& othperm) {
    rdatalist& entry = FDirCache.emplace_back();
    entry.seqno = std::to_string(FDirCache.size());
    entry.name = name;
    if (kind == "Folder")
        entry.typetext = "Folder";
    entry.sizetext = sizeText;
    entry.modified = modified;
    entry.folder = folder;
    entry.owner = owner;
    entry.group = group;
    entry.attr = attr;
    entry.grpperm = grpperm;
    entry.othperm = othperm;
}

const rdatalist& TRemoteListing::AddListedCacheEntry(const std::string& folder,
                                                     const ftp::TIdFTPListItem& item) {
    // The fields AddCacheEntry gives the item, each made in its place.
    const bool folderItem = item.ItemType == ftp::TIdDirItemType::ditDirectory;
    rdatalist& cached = FDirCache.emplace_back();
    cached.seqno = std::to_string(FDirCache.size());
    cached.name = item.FileName;
    if (folderItem)
        cached.typetext = "Folder";
    cached.sizetext = std::to_string(item.Size);
    cached.modified = DateText(item.ModifiedDate);
    cached.folder = folder;
    cached.owner = item.OwnerName;
    cached.group = item.GroupName;
    cached.attr.reserve(1 + item.OwnerPermissions.size());
    cached.attr += folderItem ? 'd' : '-';
    cached.attr += item.OwnerPermissions;
    cached.grpperm = item.GroupPermissions;
    cached.othperm = item.OtherPermissions;
    return cached;
}

void TRemoteListing::AddListedDisplayEntry(ftp::TIdFTPListItem& item) {
    // The fields AddDisplayEntry gives the item, each made in its place; the item's texts are
    // moved out.
    const bool folderItem = item.ItemType == ftp::TIdDirItemType::ditDirectory;
    rdatalist& entry = FDisplayList.emplace_back();
    entry.seqno = std::to_string(FDisplayList.size());
    entry.name = std::move(item.FileName);
    if (folderItem) {
        entry.typetext = "Folder";
        entry.isfile = 0;
    } else {
        // The size the cache's text gives back: the parser's sizes are never negative.
        SetFileType(entry, item.Size);
    }
    entry.modified = DateText(item.ModifiedDate);
    entry.owner = std::move(item.OwnerName);
    entry.group = std::move(item.GroupName);
    entry.attr.reserve(1 + item.OwnerPermissions.size());
    entry.attr += folderItem ? 'd' : '-';
    entry.attr += item.OwnerPermissions;
    entry.grpperm = std::move(item.GroupPermissions);
    entry.othperm = std::move(item.OtherPermissions);
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
    session_.IdFTP1.ListItems();
    if (clears != clears_)
        return;
    InvalidateCache(FCurrentDir, "", 0);
    // Taken out of the component: the pumps below may run handlers that use the component
    // again. The key is a copy: a handler may change FCurrentDir.
    ftp::TIdFTPListItems items = session_.IdFTP1.TakeDirectoryListing();
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
    // The cache entries first, with the keys of the display list's order; then the display
    // entries are made straight into the display list in that order. Sorting the display list
    // itself would be one long stretch without a pump, and handlers that run in the pumps see
    // a display list that is sorted at every moment. The cache is not read again after a pump:
    // a handler may have changed it. A sort in a pump (a column click) from here on orders only
    // the entries there are then, maybe by another column than these keys.
    const unsigned sorts = sorts_;
    SortKeys keys(FSortColumn, items.size());
    std::vector<std::size_t> listed;  // the items that become entries, in listing order
    listed.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const ftp::TIdFTPListItem& item = items[i];
        if (item.FileName == "." || item.FileName == "..")
            continue;
        const rdatalist& cached = AddListedCacheEntry(key, item);
        const bool folderItem = item.ItemType == ftp::TIdDirItemType::ditDirectory;
        keys.Add(item.FileName,
                 folderItem || !keys.NeedsType() ? std::string() : ui::ShellTypeName(item.FileName),
                 folderItem ? 0 : item.Size, cached.modified, cached.attr, cached.grpperm,
                 cached.othperm);
        listed.push_back(i);
        if (!pumpIfDue())
            return;  // disconnected or closed meanwhile: the lists stay empty
    }
    if (!pumpIfDue())
        return;
    const std::optional<std::vector<std::size_t>> sorted = keys.Order(pumpIfDue);
    if (!sorted)
        return;
    const std::vector<std::size_t>& order = *sorted;
    FDisplayList.reserve(order.size());
    for (std::size_t index : order) {
        if (!pumpIfDue())
            return;
        AddListedDisplayEntry(items[listed[index]]);
    }
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

void TRemoteListing::RemoveDisplayEntries(const std::function<bool(const rdatalist&)>& drop) {
    std::erase_if(FDisplayList, drop);
    // Rows that stay now show other entries: the views start afresh (removing rows from the
    // end would leave the accessibility tree naming the old ones).
    rows_.ResetRows(static_cast<int>(FDisplayList.size()));
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
