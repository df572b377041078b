// The page's side of a name clash: looking an item up in the server's folder and settling the
// clash by the run's standing answer or by the question.
#include <cstdio>

#include "connection/page_dialogs.h"
#include "connection/page_session.h"
#include "connection/tfb.h"

int Tfb::FindRemoteItem(const std::string& name, rtmpinfo& info, bool noDetails) {
    std::vector<std::string> lines;
    IdFTP1.List(lines);
    const ftp::TIdFTPListItems items = IdFTP1.TakeDirectoryListing();
    for (std::size_t index = 0; index < items.size(); ++index) {
        const ftp::TIdFTPListItem& item = items[index];
        if (item.FileName != name)
            continue;
        if (!noDetails) {
            info.ftpsize = item.Size;
            char text[64];
            const os::LocalDateTime& time = item.ModifiedDate;
            std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month,
                          time.day, time.hour, time.minute, time.second);
            info.ftpdate = text;
        }
        return static_cast<int>(index);
    }
    return -1;
}

TDuplicateCode Tfb::AskDuplicateAction(const rtmpinfo& info, bool isFolder, bool isDownload) {
    (void)info;
    (void)isFolder;
    (void)isDownload;
    FResumeOffset = 0;
    FResumeRemaining = 0;
    if (!FAskDuplicate)
        return DuplicateCodeOf(FDuplicateAnswer);
    if (dialogs_ == nullptr)
        return TDuplicateCode::kCancel;
    return DuplicateCodeOf(dialogs_->AskDuplicate(*this));
}
