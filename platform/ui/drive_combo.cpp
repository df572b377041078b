#include "platform/ui/drive_combo.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>

#include "platform/ui/qt_text.h"
#include "platform/ui/shared_icons.h"

namespace ui {

namespace {

// The icon theme's icon of the kind, else the style's; one shared picture per kind.
QIcon DriveIcon(os::MountKind kind) {
    switch (kind) {
        case os::MountKind::kHome:
            return ThemedIcon("user-home", QStyle::SP_DirHomeIcon);
        case os::MountKind::kRemovable:
            return ThemedIcon("drive-removable-media", QStyle::SP_DriveFDIcon);
        case os::MountKind::kOptical:
            return ThemedIcon("drive-optical", QStyle::SP_DriveCDIcon);
        case os::MountKind::kNetwork:
            return ThemedIcon("folder-remote", QStyle::SP_DriveNetIcon);
        case os::MountKind::kRoot:
        case os::MountKind::kFixed:
            break;
    }
    return ThemedIcon("drive-harddisk", QStyle::SP_DriveHDIcon);
}

}  // namespace

DriveCombo::DriveCombo(QWidget* parent) : QComboBox(parent) {
    setIconSize(QSize(16, 16));
    SetDrives(os::SystemMountPoints());
}

void DriveCombo::SetDrives(const std::vector<os::MountPoint>& drives) {
    clear();
    for (const os::MountPoint& drive : drives)
        addItem(DriveIcon(drive.kind), ToQt(drive.path), ToQt(drive.path));
    setCurrentIndex(count() > 0 ? 0 : -1);
}

std::string DriveCombo::Drive(int index) const {
    if (index < 0 || index >= count())
        return {};
    return FromQt(itemData(index).toString());
}

}  // namespace ui
