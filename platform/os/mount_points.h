#pragma once
// The folders a person picks as "drives" on this system: the root "/", the home folder, then
// the mounted file systems worth browsing (disks, removable media, optical discs and network
// shares), from the system's mount table. Pseudo file systems (proc, sysfs, cgroups, tmpfs,
// overlays of containers) and system areas (/proc, /sys, /dev, /run, /boot, snaps) are left out.
#include <string>
#include <string_view>
#include <vector>

namespace os {

enum class MountKind { kRoot, kHome, kFixed, kRemovable, kOptical, kNetwork };

struct MountPoint {
    std::string path;
    MountKind kind;

    bool operator==(const MountPoint&) const = default;
};

// The drives from `mountTable` (the text of /proc/self/mounts: "source target type options
// ...", one mount a line, blanks in fields written as octal escapes) and the home folder
// `home`: "/" first, then `home` (unless empty or "/"), then each browsable mount point once,
// in table order. Lines that do not parse are passed over. Touches no file.
std::vector<MountPoint> BrowsableMountPoints(std::string_view mountTable, const std::string& home);

// The same from this process's mount table and home folder ($HOME, else the password entry),
// keeping only mount points that are folders (a bind mount may be a single file). Throws
// nothing but std::bad_alloc; an unreadable table gives "/" and the home folder.
std::vector<MountPoint> SystemMountPoints();

// The user's home folder without a trailing "/" ("/" when none is known).
std::string HomeFolder();

}  // namespace os
