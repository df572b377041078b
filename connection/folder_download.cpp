#include "connection/folder_download.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "connection/local_folders.h"
#include "connection/page_session.h"
#include "connection/remote_tree_walk.h"
#include "connection/tfb.h"
#include "platform/ftp/id_exceptions.h"
#include "platform/ftp/id_list_item.h"
#include "platform/ui/message_pump.h"
#include "platform/ui/ui_services.h"

namespace {

// The folder part of a local path with its last "/" ("/a/b/c" -> "/a/b/", "c" -> "").
std::string FolderPartOf(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool IsLink(const std::string& path) {
    struct stat facts {};
    return ::lstat(path.c_str(), &facts) == 0 && S_ISLNK(facts.st_mode);
}

}  // namespace

void TFolderDownload::Run(const std::string& remoteName, const std::string& localPath,
                          const std::string& newName, int mode) {
    std::string top = localPath;
    if (mode == 0) {
        // The new name comes from the rename check; it still has to be one plain name here.
        if (!ftp::IsSafeLocalName(newName))
            throw ftp::EIdLocalFileError("The new name \"" + newName + "\" is no folder name.");
        top = FolderPartOf(localPath) + newName;
    }
    while (top.size() > 1 && top.back() == '/')
        top.pop_back();
    page_.Session().ForgetServerFolder();
    Walk(remoteName, top, mode, 0);
    // The top folder is the process's current folder afterwards (the Add-task command reads
    // it); the walk itself works with full paths only, since another page's walk may run
    // inside this one's waits.
    if (::chdir(top.c_str()) != 0)
        throw ftp::EIdLocalFileError("Cannot enter folder \"" + top +
                                     "\": " + std::strerror(errno));
}

void TFolderDownload::Walk(const std::string& remoteName, const std::string& local, int mode,
                           int depth) {
    ui::ProcessMessages();
    CheckOpen();
    CheckDepth(depth, local);
    if (!EnsureLocalDir(local)) {
        ui::MessageDlg("Can not create the folder. Downloading cancel.", ui::MessageKind::kError,
                       ui::mbOK);
        CheckOpen();
        throw ftp::EIdLocalFileError("Cannot create folder \"" + local +
                                     "\": " + std::strerror(errno));
    }
    // The remote side walks as delete, CHMOD and export do. A page closed meanwhile ends the
    // walk with the component's closed-connection error, as the rest of this walk does.
    TRemoteTreeWalk remote(page_.Session(), [this] {
        CheckOpen();
        return false;
    });
    remote.Enter(remoteName, depth);  // the depth was checked above, with the local folder
    for (const ftp::TIdFTPListItem& item : remote.Entries()) {
        const std::string& name = item.FileName;
        if (!ftp::IsSafeLocalName(name)) {
            LogSkipped(local + "/" + name, "the remote name is no plain file name.");
            continue;
        }
        const std::string path = local + "/" + name;
        if (IsLink(path)) {
            LogSkipped(path, "a local link is in its place.");
            continue;
        }
        if (item.ItemType == ftp::TIdDirItemType::ditDirectory) {
            Walk(name, path, mode == 0 ? -1 : mode, depth + 1);
            continue;
        }
        page_.FFileSize = item.Size;
        applyType_(ExtensionOf(name));
        page_.IdFTP1.Get(name, path, mode == 2, false);
        CheckOpen();
    }
    remote.Leave();
}
