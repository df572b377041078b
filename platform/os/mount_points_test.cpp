#include "platform/os/mount_points.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace os {
namespace {

TEST(MountPoints, RootAndHomeComeFirstThenTheMountsAPersonBrowses) {
    const char* table =
        "sysfs /sys sysfs rw,nosuid 0 0\n"
        "proc /proc proc rw 0 0\n"
        "/dev/sda2 / ext4 rw 0 0\n"
        "overlay /var/lib/docker/overlay2/x/merged overlay rw 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "/dev/sda1 /boot/efi vfat rw 0 0\n"
        "/dev/sdb1 /data xfs rw 0 0\n"
        "/dev/sdc1 /media/ann/USB\\040Stick vfat rw 0 0\n"
        "/dev/sr0 /run/media/ann/DISC iso9660 ro 0 0\n"
        "server:/export /net/export nfs4 rw 0 0\n"
        "//nas/share /mnt/share cifs rw 0 0\n"
        "/dev/loop3 /snap/core/1 squashfs ro 0 0\n"
        "/dev/sdb1 /data/ xfs rw 0 0\n"  // the same mount point again
        "/dev/sda3 /home ext4 rw 0 0\n"
        "broken-line\n"
        "tmpfs /home/ann/tmp tmpfs rw 0 0\n";
    const std::vector<MountPoint> expected = {
        {"/", MountKind::kRoot},
        {"/home/ann", MountKind::kHome},
        {"/data", MountKind::kFixed},
        {"/media/ann/USB Stick", MountKind::kRemovable},
        {"/run/media/ann/DISC", MountKind::kOptical},
        {"/net/export", MountKind::kNetwork},
        {"/mnt/share", MountKind::kNetwork},
        {"/home", MountKind::kFixed},
    };
    EXPECT_EQ(BrowsableMountPoints(table, "/home/ann"), expected);
}

TEST(MountPoints, EscapesInTheTableAreDecodedAndAnUnknownHomeIsNotRepeated) {
    const std::vector<MountPoint> points = BrowsableMountPoints(
        "/dev/sdd1 /mnt/a\\011b\\134c\\x ext4 rw 0 0\n/dev/sde1 /mnt/end\\04 ext4 rw 0 0\n", "/");
    const std::vector<MountPoint> expected = {{"/", MountKind::kRoot},
                                              {"/mnt/a\tb\\c\\x", MountKind::kRemovable},
                                              {"/mnt/end\\04", MountKind::kRemovable}};
    EXPECT_EQ(points, expected);
}

TEST(MountPoints, TheSystemsListStartsWithRootAndHoldsOnlyFolders) {
    const std::vector<MountPoint> points = SystemMountPoints();
    ASSERT_FALSE(points.empty());
    EXPECT_EQ(points.front().path, "/");
    if (HomeFolder() != "/") {
        ASSERT_GE(points.size(), 2u);
        EXPECT_EQ(points[1], (MountPoint{HomeFolder(), MountKind::kHome}));
    }
    EXPECT_EQ(std::count_if(points.begin(), points.end(),
                            [](const MountPoint& point) { return point.path == "/"; }),
              1);
}

}  // namespace
}  // namespace os
