#include "mainwindow/window_layout.h"

#include <filesystem>
#include <system_error>

#include "platform/os/private_profile.h"
#include "platform/os/program_folder.h"

namespace mainwindow {

namespace {

constexpr const char* kMain = "MAIN";
constexpr const char* kFtp = "FTP";
constexpr const char* kNoLocalPath = "-1";

void WriteInt(const char* section, const char* key, int value, const std::string& path) {
    os::WritePrivateProfileString(section, key, std::to_string(value), path);
}

// A width or height: a value that no window could have (a hand-edited or damaged file) is
// taken as absent.
int ReadExtent(const char* section, const char* key, int defaultValue, const std::string& path) {
    const int value = os::GetPrivateProfileInt(section, key, defaultValue, path);
    return value >= 1 && value <= kMaxLayoutExtent ? value : defaultValue;
}

}  // namespace

std::string LayoutFilePath() {
    return os::ProgramFolder() + kLayoutFile;
}

std::optional<ViewStyle> ViewStyleOfCode(int code) {
    if (code < 0 || code > 3)
        return std::nullopt;
    return static_cast<ViewStyle>(code);
}

int CodeOfViewStyle(ViewStyle style) {
    return static_cast<int>(style);
}

MainLayout ReadMainLayout(const std::string& path) {
    const MainLayout defaults;
    MainLayout layout;
    layout.p2 = os::GetPrivateProfileInt(kMain, "P2", defaults.p2, path);
    layout.localPath = os::GetPrivateProfileString(kMain, "LOCALPATH", defaults.localPath, path);
    layout.pwidth = ReadExtent(kMain, "PWIDTH", defaults.pwidth, path);
    layout.ftpSiteView = os::GetPrivateProfileInt(kMain, "FTPSITEVIEW", defaults.ftpSiteView, path);
    return layout;
}

PageLayout ReadPageLayout(const std::string& path) {
    const PageLayout defaults;
    PageLayout layout;
    layout.info = ReadExtent(kFtp, "INFO", defaults.info, path);
    layout.updown = ReadExtent(kFtp, "UPDOWN", defaults.updown, path);
    layout.lvcView = os::GetPrivateProfileInt(kFtp, "LVCVIEW", defaults.lvcView, path);
    return layout;
}

void WriteMainLayout(const std::string& path, const MainLayout& layout) {
    std::error_code error;
    const bool isFolder =
        !layout.localPath.empty() && std::filesystem::is_directory(layout.localPath, error);
    WriteInt(kMain, "P2", layout.p2, path);
    os::WritePrivateProfileString(kMain, "LOCALPATH", isFolder ? layout.localPath : kNoLocalPath,
                                  path);
    WriteInt(kMain, "PWIDTH", layout.pwidth, path);
    WriteInt(kMain, "FTPSITEVIEW", layout.ftpSiteView, path);
    WriteInt(kMain, "WELCOMEH", 0, path);
}

void WritePageLayout(const std::string& path, const PageLayout& layout) {
    WriteInt(kFtp, "INFO", layout.info, path);
    WriteInt(kFtp, "UPDOWN", layout.updown, path);
    WriteInt(kFtp, "LVCVIEW", layout.lvcView, path);
}

}  // namespace mainwindow
