#include "connection/remote_listing.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "platform/ftp/id_ftp.h"
#include "platform/os/collation.h"
#include "platform/ui/message_pump.h"
#include "platform/ui/owner_data_model.h"

namespace {

std::int64_t ParseSize(const std::string& text) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return 0;
    return value;
}

std::string DateText(const os::LocalDateTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return text;
}

int TextCompare(const std::string& left, const std::string& right) {
    return os::CompareAnsiText(left, right, /*caseInsensitive=*/true);
}

}  // namespace

TRemoteListing::TRemoteListing(ftp::TIdFTP& ftp, ui::OwnerDataModel& rows)
    : ftp_(ftp), rows_(rows) {}

std::string TRemoteListing::FormatSizeKB(std::int64_t bytes) {
    std::int64_t kb = bytes / 1024;
    const std::int64_t rest = bytes % 1024;
    if (rest > 512 || (rest == 512 && kb % 2 != 0))
        ++kb;
    if (kb < 1)
        kb = 1;
    return std::to_string(kb) + "KB";
}

std::string TRemoteListing::ShellTypeName(const std::string& name) {
    const std::string::size_type dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size())
        return "File";
    std::string extension = name.substr(dot + 1);
    for (char& c : extension)
        c = os::AsciiUpper(c);
    return extension + " File";
}

void TRemoteListing::AddDisplayEntry(const std::string& name, const std::string& kind,
                                     const std::string& sizeText, const std::string& modified,
                                     const std::string& owner, const std::string& group,
                                     const std::string& attr, const std::string& grpperm,
                                     const std::string& othperm) {
    if (name == "." || name == "..")
        return;
    rdatalist entry;
    entry.seqno = std::to_string(FDisplayList.size() + 1);
    entry.name = name;
    if (kind == "Folder") {
        entry.typetext = "Folder";
        entry.isfile = 0;
    } else {
        entry.shelltype = ShellTypeName(name);
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
    FDisplayList.push_back(std::move(entry));
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
    entry.sizetext = sizeText;
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
    for (auto entry = FDirCache.size(); entry-- > 0;) {
        const rdatalist& cached = FDirCache[entry];
        if (cached.folder != folder)
            continue;
        if (mode == 0 || (mode == 2 && cached.name == name))
            FDirCache.erase(FDirCache.begin() + static_cast<std::ptrdiff_t>(entry));
    }
}

void TRemoteListing::RetrieveCurrentDir() {
    FCurrentDir = ftp_.RetrieveCurrentDir();
}

void TRemoteListing::ChangeDirAndList(const std::string& folder) {
    FDisplayList.clear();
    ftp_.ChangeDir(folder);
    ftp_.SetTransferType(ftp::TIdFTPTransferType::ftASCII);
    RetrieveCurrentDir();
    std::vector<std::string> lines;
    ftp_.List(lines);
    InvalidateCache(FCurrentDir, "", 0);
    // A copy: the pump below may run handlers that use the component again.
    const ftp::TIdFTPListItems items = ftp_.DirectoryListing();
    for (const ftp::TIdFTPListItem& item : items) {
        if (item.FileName == "." || item.FileName == "..")
            continue;
        const bool folderItem = item.ItemType == ftp::TIdDirItemType::ditDirectory;
        const std::string kind = folderItem ? "Folder" : "";
        const std::string attr = (folderItem ? "d" : "-") + item.OwnerPermissions;
        const std::string sizeText = std::to_string(item.Size);
        const std::string modified = DateText(item.ModifiedDate);
        AddCacheEntry(FCurrentDir, item.FileName, kind, sizeText, modified, item.OwnerName,
                      item.GroupName, attr, item.GroupPermissions, item.OtherPermissions);
        ui::ProcessMessages();
        AddDisplayEntry(item.FileName, kind, sizeText, modified, item.OwnerName, item.GroupName,
                        attr, item.GroupPermissions, item.OtherPermissions);
    }
    SortDisplayList();
    ShowRows();
}

int TRemoteListing::Compare(const rdatalist& left, const rdatalist& right, int column) {
    switch (column) {
        case 0:
            return TextCompare(left.name, right.name);
        case 1:
            return left.size < right.size ? -1 : (left.size > right.size ? 1 : 0);
        case 3:
            return TextCompare(left.modified, right.modified);
        case 4:
            return TextCompare(left.attr + left.grpperm + left.othperm,
                               right.attr + right.grpperm + right.othperm);
        default:
            return TextCompare(left.shelltype, right.shelltype);
    }
}

void TRemoteListing::SortDisplayList() {
    const int column = FSortColumn;
    std::sort(FDisplayList.begin(), FDisplayList.end(),
              [column](const rdatalist& left, const rdatalist& right) {
                  return Compare(left, right, column) < 0;
              });
}

void TRemoteListing::ShowRows() {
    rows_.SetRowCount(static_cast<int>(FDisplayList.size()));
    rows_.Invalidate();
}

void TRemoteListing::Clear() {
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
