#pragma once
// The window-layout file "forminfo.ini" in the program's folder: section [MAIN] for the main
// window, section [FTP] shared by all connection pages (the page written last wins). Values
// are read and written key by key; a missing file, section or key, or a value that is no
// integer, reads as the key's default.
#include <optional>
#include <string>

namespace mainwindow {

inline constexpr const char* kLayoutFile = "forminfo.ini";

// The program's folder followed by "forminfo.ini".
std::string LayoutFilePath();

// View styles of the site list and the remote list, by their codes in the layout file.
enum class ViewStyle { kLargeIcons = 0, kList = 1, kSmallIcons = 2, kReport = 3 };

// The style of a stored code; nullopt for any other number (the list keeps its style).
std::optional<ViewStyle> ViewStyleOfCode(int code);
int CodeOfViewStyle(ViewStyle style);

struct MainLayout {
    int p2 = 0;                    // left tab: 0 local files, 1 history, 2 tasks; others: unchanged
    std::string localPath = "-1";  // "-1": the local pane keeps its default root
    int pwidth = 307;              // width of the left page control
    int ftpSiteView = 0;           // view code of the site list
};

struct PageLayout {
    int info = 93;     // height of the protocol log
    int updown = 116;  // height of the queue list
    int lvcView = 3;   // view code of the remote list
};

// The largest width or height in pixels the file may give; no screen is larger.
inline constexpr int kMaxLayoutExtent = 16384;

// Reads [MAIN] or [FTP] of the file at `path`. Never throws. A width or height (PWIDTH, INFO,
// UPDOWN) outside 1 to kMaxLayoutExtent reads as its default, as a missing key does, so no
// value from the file reaches the layout arithmetic unchecked. P2 and the view codes are
// passed on as read: a number outside their set leaves the tab or the style unchanged.
MainLayout ReadMainLayout(const std::string& path);
PageLayout ReadPageLayout(const std::string& path);

// Writes [MAIN] in the order P2, LOCALPATH, PWIDTH, FTPSITEVIEW, WELCOMEH (always 0).
// LOCALPATH is `layout.localPath` when that is an existing folder, else "-1". Throws
// os::ProfileWriteError ("Unable to write to <path>") when the file cannot be written; keys
// written before the failure stay written.
void WriteMainLayout(const std::string& path, const MainLayout& layout);

// Writes [FTP]: INFO, UPDOWN, LVCVIEW. Throws as WriteMainLayout.
void WritePageLayout(const std::string& path, const PageLayout& layout);

}  // namespace mainwindow
