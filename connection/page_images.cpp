#include "connection/page_images.h"

#include <QApplication>
#include <QStyle>

#include "platform/ui/shared_icons.h"
namespace page_images {
namespace {

// Made once per kind: every row and button that shows a picture shares it.
QIcon Themed(const char* themeName, QStyle::StandardPixmap fallback) {
    return ui::ThemedIcon(themeName, fallback);
}

// The pictures several lists share, so a folder or an error looks the same everywhere.
QIcon FolderPicture() {
    return Themed("folder", QStyle::SP_DirIcon);
}

QIcon FilePicture() {
    return Themed("text-x-generic", QStyle::SP_FileIcon);
}

QIcon ErrorPicture() {
    return Themed("dialog-error", QStyle::SP_MessageBoxCritical);
}

}  // namespace

QIcon ToolImage(int index) {
    switch (index) {
        case 0:
            return Themed("go-up", QStyle::SP_FileDialogToParent);
        case 1:
            return Themed("view-refresh", QStyle::SP_BrowserReload);
        case 2:
            return Themed("process-stop", QStyle::SP_BrowserStop);
        case 3:
            return Themed("network-disconnect", QStyle::SP_DialogCloseButton);
        case 4:
            return Themed("edit-find", QStyle::SP_FileDialogContentsView);
        case 5:
            return Themed("view-filter", QStyle::SP_FileDialogInfoView);
        case 6:
            return Themed("folder-new", QStyle::SP_FileDialogNewFolder);
        case 7:
            return Themed("edit-delete", QStyle::SP_TrashIcon);
        case 8:
            return Themed("go-down", QStyle::SP_ArrowDown);
        case 9:
            return Themed("document-export", QStyle::SP_DialogSaveButton);
        case 10:
            return Themed("view-list-details", QStyle::SP_FileDialogListView);
        case 11:
            return Themed("help-contents", QStyle::SP_DialogHelpButton);
        case 14:
            return Themed("list-add", QStyle::SP_FileDialogDetailedView);
        case 15:
            return Themed("network-connect", QStyle::SP_DriveNetIcon);
        case 16:
            return Themed("bookmark-new", QStyle::SP_DirLinkIcon);
        default:
            return QIcon();
    }
}

QIcon InfoImage(int index) {
    switch (index) {
        case 0:
            return Themed("go-next", QStyle::SP_ArrowRight);
        case 1:
            return Themed("go-previous", QStyle::SP_ArrowLeft);
        case 2:
            return ErrorPicture();
        case 3:
            return Themed("folder-bookmark", QStyle::SP_DirLinkIcon);
        default:
            return QIcon();
    }
}

QIcon EntryImage(int index) {
    switch (index) {
        case 0:
            return FolderPicture();
        case 1:
            return FilePicture();
        default:
            return QIcon();
    }
}

QIcon QueueImage(int index) {
    switch (index) {
        case 0:
            // The row being transferred now: a transfer under way.
            return Themed("media-playback-start", QStyle::SP_MediaPlay);
        case 1:
            return ErrorPicture();
        case 3:
            return FolderPicture();
        case 4:
            return FilePicture();
        default:
            return QIcon();
    }
}

}  // namespace page_images
