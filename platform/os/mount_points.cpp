#include "platform/os/mount_points.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace os {

namespace {

// The mount table writes blank, tab, newline and backslash in a field as "\040", "\011",
// "\012" and "\134"; any other backslash stays as it is.
std::string Unescape(std::string_view field) {
    std::string text;
    text.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string_view digits = field.substr(i + 1, 3);
            if (digits.size() == 3 && std::all_of(digits.begin(), digits.end(),
                                                  [](char c) { return c >= '0' && c <= '7'; })) {
                text.push_back(static_cast<char>(((digits[0] - '0') << 6) |
                                                 ((digits[1] - '0') << 3) | (digits[2] - '0')));
                i += 3;
                continue;
            }
        }
        text.push_back(field[i]);
    }
    return text;
}

bool IsOneOf(std::string_view value, std::initializer_list<std::string_view> set) {
    return std::find(set.begin(), set.end(), value) != set.end();
}

bool IsBelow(const std::string& path, std::string_view folder) {
    return path == folder ||
           (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '/');
}

// What a mount is to a person browsing files; false for one to leave out.
bool KindOf(const std::string& source, const std::string& target, const std::string& type,
            MountKind& kind) {
    static constexpr std::array<std::string_view, 7> kSystemAreas = {
        "/proc", "/sys", "/dev", "/boot", "/snap", "/var/snap", "/var/lib"};
    if (target.empty() || target.front() != '/')
        return false;
    const bool mediaFolder =
        IsBelow(target, "/media") || IsBelow(target, "/run/media") || IsBelow(target, "/mnt");
    if (IsBelow(target, "/run") && !IsBelow(target, "/run/media"))
        return false;
    for (std::string_view area : kSystemAreas) {
        if (IsBelow(target, area))
            return false;
    }
    if (IsOneOf(type, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "sshfs", "davfs",
                       "fuse.davfs2", "afs", "9p", "ncpfs", "fuse.rclone", "glusterfs"})) {
        kind = MountKind::kNetwork;
        return true;
    }
    if (IsOneOf(type, {"iso9660", "udf"})) {
        kind = MountKind::kOptical;
        return true;
    }
    // Disks are file systems on a block device; snaps and live images (squashfs) are not
    // browsed.
    if (source.rfind("/dev/", 0) != 0 || IsOneOf(type, {"squashfs", "swap"}))
        return false;
    kind = mediaFolder ? MountKind::kRemovable : MountKind::kFixed;
    return true;
}

bool IsFolder(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

std::vector<MountPoint> BrowsableMountPoints(std::string_view mountTable, const std::string& home) {
    std::vector<MountPoint> points{{"/", MountKind::kRoot}};
    if (!home.empty() && home != "/")
        points.push_back({home, MountKind::kHome});
    std::istringstream lines{std::string(mountTable)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string source;
        std::string target;
        std::string type;
        if (!(fields >> source >> target >> type))
            continue;
        target = Unescape(target);
        while (target.size() > 1 && target.back() == '/')
            target.pop_back();
        MountKind kind = MountKind::kFixed;
        if (!KindOf(Unescape(source), target, type, kind))
            continue;
        const bool known = std::any_of(points.begin(), points.end(), [&](const MountPoint& point) {
            return point.path == target;
        });
        if (!known)
            points.push_back({target, kind});
    }
    return points;
}

std::string HomeFolder() {
    std::string home;
    if (const char* variable = std::getenv("HOME"); variable != nullptr && *variable != '\0') {
        home = variable;
    } else if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir) {
        home = entry->pw_dir;
    }
    while (home.size() > 1 && home.back() == '/')
        home.pop_back();
    return home.empty() ? "/" : home;
}

std::vector<MountPoint> SystemMountPoints() {
    std::ifstream in("/proc/self/mounts");
    std::ostringstream table;
    if (in)
        table << in.rdbuf();
    std::vector<MountPoint> points = BrowsableMountPoints(table.str(), HomeFolder());
    std::erase_if(points, [](const MountPoint& point) {
        return point.kind != MountKind::kRoot && !IsFolder(point.path);
    });
    return points;
}

}  // namespace os
