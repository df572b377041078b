#include "mainwindow/local_task_rows.h"

#include <string>

#include "mainwindow/local_file_pane.h"
#include "platform/os/local_paths.h"

std::vector<rtaskupdown> LocalTaskRows(const TLocalFilePane& pane) {
    std::vector<rtaskupdown> rows;
    for (const int item : pane.SelectedItems()) {
        const std::string path = pane.ItemPath(item);
        const bool isFolder = pane.IsFolder(item);
        if (isFolder ? !os::IsFolder(path) : !os::IsRegularFile(path))
            continue;
        rows.push_back({isFolder, os::FileNamePart(path), os::FolderPart(path), "/"});
    }
    return rows;
}
