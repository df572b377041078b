#include "connection/duplicate_question.h"

#include "connection/local_folders.h"
#include "connection/new_name_check.h"
#include "connection/page_dialogs.h"
#include "connection/page_session.h"
#include "connection/tfb.h"

TDuplicateQuestion::TDuplicateQuestion(Tfb& page, TDuplicateAnswers& answers)
    : page_(page), answers_(answers) {}

int TDuplicateQuestion::FindRemoteItem(const std::string& name, rtmpinfo& info, bool noDetails) {
    std::vector<std::string> lines;
    page_.IdFTP1.List(lines);
    const ftp::TIdFTPListItems items = page_.IdFTP1.TakeDirectoryListing();
    for (std::size_t index = 0; index < items.size(); ++index) {
        const ftp::TIdFTPListItem& item = items[index];
        if (item.FileName != name)
            continue;
        if (!noDetails) {
            info.ftpsize = item.Size;
            info.ftpdate = FormatDateTime(item.ModifiedDate);
        }
        return static_cast<int>(index);
    }
    return -1;
}

TDuplicateCode TDuplicateQuestion::Ask(const rtmpinfo& info, bool isFolder, bool isDownload,
                                       TPageDialogs* dialogs) {
    page_.FResumeOffset = 0;
    page_.FResumeRemaining = 0;
    if (!answers_.FAskDuplicate)
        return DuplicateCodeOf(answers_.FDuplicateAnswer);
    if (dialogs == nullptr)
        return TDuplicateCode::kCancel;
    const std::string typeText = isFolder ? std::string("Folder") : Tfb::ShellTypeName(info.path);
    presets_ = MakeDuplicatePresets(info, isFolder, isDownload, typeText, LocalItemOf(info.path));
    // A text download (the run has set its type) writes other line ends than the server's
    // file has, so the local length is no offset into that file: it is never resumed.
    if (page_.IdFTP1.TransferType() == ftp::TIdFTPTransferType::ftASCII)
        presets_.resumeOffered = false;
    const TDuplicateCode code = DuplicateCodeOf(dialogs->AskDuplicate(page_));
    if (code != TDuplicateCode::kResume)
        return code;
    // Resume continues the local file from its end: only the shorter local file of a file
    // download may be continued, anything else would corrupt it.
    if (!presets_.resumeOffered)
        return TDuplicateCode::kSkip;
    page_.FResumeOffset = presets_.resumeOffset;
    page_.FResumeRemaining = presets_.resumeRemaining;
    return code;
}

bool TDuplicateQuestion::RemoteItemExists(const std::string& name) {
    // The run that asks holds an exchange already; the look-up is part of it.
    const TExchangeGuard::Exchange exchange(page_.Session().Guard());
    rtmpinfo unused;
    return FindRemoteItem(name, unused, true) >= 0;
}

bool TDuplicateQuestion::CheckNewName(const std::string& name) {
    return ::CheckNewName(name, [this](const std::string& candidate) {
        for (const rdatalist& entry : page_.FDisplayList) {
            if (entry.name == candidate)
                return true;
        }
        return false;
    });
}
