#include "dialogs/task_images.h"

#include <QApplication>
#include <QStyle>

#include "connection/page_images.h"
#include "platform/ui/shared_icons.h"

namespace task_images {

namespace {

// Made once per kind: every node, row and box item that shows a picture shares it.
QIcon Themed(const char* name, QStyle::StandardPixmap fallback) {
    return ui::ThemedIcon(name, fallback);
}

}  // namespace

QIcon TreeImage(int index) {
    switch (index) {
        case 0:
            return Themed("folder-documents", QStyle::SP_DirClosedIcon);
        case 1:
            return Themed("go-up", QStyle::SP_ArrowUp);
        case 2:
            return Themed("go-down", QStyle::SP_ArrowDown);
        default:
            return QIcon();
    }
}

QIcon SiteImage() {
    return Themed("network-server", QStyle::SP_DriveNetIcon);
}

QIcon FileRowImage(bool isFolder) {
    // The same pictures as a page's remote list: 0 folder, 1 file.
    return page_images::EntryImage(isFolder ? 0 : 1);
}

}  // namespace task_images
