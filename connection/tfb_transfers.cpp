// The page's duplicate question, folder trees and local folder helpers: forwards to
// TDuplicateQuestion, TFolderDownload, TFolderUpload and local_folders.h.
#include "connection/duplicate_question.h"
#include "connection/folder_download.h"
#include "connection/folder_upload.h"
#include "connection/local_folders.h"
#include "connection/tfb.h"

TDuplicateQuestion& Tfb::Question() {
    if (!question_)
        question_ = std::make_unique<TDuplicateQuestion>(*this, duplicateAnswers_);
    return *question_;
}

int Tfb::FindRemoteItem(const std::string& name, rtmpinfo& info, bool noDetails) {
    return Question().FindRemoteItem(name, info, noDetails);
}

TDuplicateCode Tfb::AskDuplicateAction(const rtmpinfo& info, bool isFolder, bool isDownload) {
    return Question().Ask(info, isFolder, isDownload, dialogs_);
}

const TDuplicatePresets& Tfb::DuplicatePresets() const {
    static const TDuplicatePresets none;
    return question_ ? question_->Presets() : none;
}

TDuplicateAsker& Tfb::DuplicateAsker() {
    return Question();
}

// The type of each file of a tree, by the page's transfer mode and the file's extension.
static TFolderWalk::ApplyType TreeTypeOf(Tfb& page) {
    return [&page](const std::string& extension) { page.ApplyTransferType(extension); };
}

void Tfb::DownloadFolderTree(const std::string& remoteName, const std::string& localPath,
                             const std::string& newName, int mode) {
    TFolderDownload(*this, TreeTypeOf(*this)).Run(remoteName, localPath, newName, mode);
}

void Tfb::UploadFolderTree(const std::string& localPath) {
    TFolderUpload(*this, TreeTypeOf(*this)).Run(localPath);
}

bool Tfb::EnsureLocalDir(const std::string& path) {
    return ::EnsureLocalDir(path);
}

bool Tfb::IsLocalDir(const std::string& path) {
    return ::IsLocalDir(path);
}

os::LocalDateTime Tfb::FileTimeToDateTime(std::time_t fileTime) {
    return ::FileTimeToDateTime(fileTime);
}
