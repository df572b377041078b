#pragma once
// The pictures of a connection page's image lists, by the numbers the page uses: the tool bar's
// images (0 Back, 1 Refresh, 2 Abort, 3 connected, 4 Find, 5 Filter, 6 make folder, 7 Delete,
// 8 Download, 9 Export, 10 View, 11 Help, 14 Add task, 15 disconnected, 16 bookmarks), the
// log's (0 sent or informational, 1 received, 2 error, 3 a bookmarked folder), the remote
// list's (0 folder, 1 file) and the queue's (rows: 0 running, 1 failed, none while waiting;
// names: 3 folder, 4 file). A folder, a file and an error show the same picture in every
// list. Icons come from the icon theme with the style's
// standard icons as fallback; an unknown number gives an empty icon. Needs the application
// object.
#include <QIcon>

namespace page_images {

QIcon ToolImage(int index);
QIcon InfoImage(int index);
QIcon EntryImage(int index);
QIcon QueueImage(int index);

}  // namespace page_images
