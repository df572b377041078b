#pragma once
// The remote listing of a page: the display list (entry i is row i of the owner-data remote
// list), the folder cache of every folder listed since the page connected, the listing routine
// that fills both from the server, and the sorted order the list shows. The object owns both
// lists and their entries.
//
// The listing talks to the server; its caller holds the page's exchange guard. Errors of the
// FTP component pass through (the display list may then be empty while the list's row count is
// unchanged until the next listing).
#include <cstdint>
#include <string>
#include <vector>

#include "connection/rdatalist.h"

namespace ftp {
class TIdFTP;
}
namespace ui {
class OwnerDataModel;
struct OwnerDataItem;
}  // namespace ui

class TRemoteListing {
  public:
    // `ftp` and `rows` (the remote list's model) must outlive the object.
    TRemoteListing(ftp::TIdFTP& ftp, ui::OwnerDataModel& rows);

    std::vector<rdatalist> FDisplayList;
    std::vector<rdatalist> FDirCache;
    // The server's current folder as it last reported it.
    std::string FCurrentDir;
    // The sort key: 0 name, 1 size, 2 type, 3 modified, 4 attributes.
    std::int32_t FSortColumn = 2;

    // CWD folder, TYPE A when needed, PWD, LIST; the listing replaces the cache entries of the
    // reported folder and becomes the display list, sorted. Pumps messages once per entry.
    void ChangeDirAndList(const std::string& folder);
    // The server's current folder (PWD) into FCurrentDir.
    void RetrieveCurrentDir();

    void AddDisplayEntry(const std::string& name, const std::string& kind,
                         const std::string& sizeText, const std::string& modified,
                         const std::string& owner, const std::string& group,
                         const std::string& attr, const std::string& grpperm,
                         const std::string& othperm);
    void AddCacheEntry(const std::string& folder, const std::string& name, const std::string& kind,
                       const std::string& sizeText, const std::string& modified,
                       const std::string& owner, const std::string& group, const std::string& attr,
                       const std::string& grpperm, const std::string& othperm);
    // Mode 0: every cache entry of `folder`; mode 2: those of `folder` named `name`.
    void InvalidateCache(const std::string& folder, const std::string& name, int mode);

    void SortDisplayList();
    // The list's row count follows the display list.
    void ShowRows();
    // Empties both lists and the remote list.
    void Clear();
    // Row request of the remote list.
    void ListView2Data(int row, ui::OwnerDataItem& item) const;

    // Size in KB as the list shows it: bytes / 1024 rounded half to even, at least 1, + "KB".
    static std::string FormatSizeKB(std::int64_t bytes);
    // A type name from the file name alone: never empty, the same for one extension.
    static std::string ShellTypeName(const std::string& name);
    // The compare of a sort key (negative, zero, positive).
    static int Compare(const rdatalist& left, const rdatalist& right, int column);

  private:
    ftp::TIdFTP& ftp_;
    ui::OwnerDataModel& rows_;
};
