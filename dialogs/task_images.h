#pragma once
// The pictures of the tasks page and the task dialog: the task tree's images (0 category,
// 1 upload task, 2 download task), the site image of the task dialog's site list and the
// images of its file rows (a folder or a file). Icons come from the icon theme with the
// style's standard icons as fallback. Needs the application object.
#include <QIcon>

namespace task_images {

QIcon TreeImage(int index);
QIcon SiteImage();
QIcon FileRowImage(bool isFolder);

}  // namespace task_images
