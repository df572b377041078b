#include "connection/folder_walk.h"

#include <utility>

#include "connection/tfb.h"
#include "platform/ftp/id_exceptions.h"

TFolderWalk::TFolderWalk(Tfb& page, ApplyType applyType)
    : page_(page), applyType_(std::move(applyType)), run_(page.Lifetime()) {}

void TFolderWalk::CheckOpen() const {
    if (run_.Stopped())
        throw ftp::EIdClosedSocket();
}

void TFolderWalk::CheckDepth(int depth, const std::string& folder) {
    if (depth > kMaxFolderDepth) {
        throw ftp::EIdException("The folder tree is deeper than " +
                                std::to_string(kMaxFolderDepth) + " levels at " + folder + ".");
    }
}

void TFolderWalk::LogSkipped(const std::string& path, const std::string& why) {
    page_.AddInfoLine("Skipped " + path + ": " + why, 2);
}

std::string TFolderWalk::ExtensionOf(const std::string& name) {
    const std::string::size_type dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}
