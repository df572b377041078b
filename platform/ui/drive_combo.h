#pragma once
// The drive list of the local file pane: the system's "drives", which on this system are the
// root, the home folder and the mounted file systems a person browses (os::SystemMountPoints),
// each with a small icon of its kind.
#include <QComboBox>

#include <string>
#include <vector>

#include "platform/os/mount_points.h"

namespace ui {

class DriveCombo : public QComboBox {
    Q_OBJECT

  public:
    // Filled from the system's mount table; the root "/" is the current item.
    explicit DriveCombo(QWidget* parent = nullptr);

    // Replaces the items by `drives`, the first one current.
    void SetDrives(const std::vector<os::MountPoint>& drives);
    // The folder of item `index`; "" out of range.
    std::string Drive(int index) const;
    // The folder of the current item.
    std::string CurrentDrive() const { return Drive(currentIndex()); }
};

}  // namespace ui
