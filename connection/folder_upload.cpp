#include "connection/folder_upload.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "connection/page_session.h"
#include "connection/tfb.h"
#include "platform/ftp/id_exceptions.h"
#include "platform/ui/message_pump.h"

namespace {

enum class EntryKind { kFolder, kFile, kSkipped };

struct LocalEntry {
    std::string name;
    EntryKind kind = EntryKind::kSkipped;
    std::string why;  // for a skipped entry
};

// What the walk does with the entry at `path`: links are judged by what they point to, but a
// link to a folder is never entered.
LocalEntry Classify(const std::string& folder, const std::string& name) {
    LocalEntry entry{name, EntryKind::kSkipped, {}};
    const std::string path = folder + "/" + name;
    struct stat facts {};
    if (::lstat(path.c_str(), &facts) != 0) {
        entry.why = std::string("it cannot be read: ") + std::strerror(errno);
        return entry;
    }
    if (S_ISLNK(facts.st_mode)) {
        struct stat target {};
        if (::stat(path.c_str(), &target) != 0) {
            entry.why = "a link that points nowhere.";
        } else if (S_ISDIR(target.st_mode)) {
            entry.why = "a link to a folder is not followed.";
        } else if (S_ISREG(target.st_mode)) {
            entry.kind = EntryKind::kFile;
        } else {
            entry.why = "a link to something that is no file.";
        }
        return entry;
    }
    if (S_ISDIR(facts.st_mode))
        entry.kind = EntryKind::kFolder;
    else if (S_ISREG(facts.st_mode))
        entry.kind = EntryKind::kFile;
    else
        entry.why = "it is no file and no folder.";
    return entry;
}

std::vector<LocalEntry> ReadFolder(const std::string& folder) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
    if (!dir) {
        throw ftp::EIdLocalFileError("Cannot read folder \"" + folder +
                                     "\": " + std::strerror(errno));
    }
    std::vector<LocalEntry> entries;
    while (const dirent* found = ::readdir(dir.get())) {
        const std::string name = found->d_name;
        if (name == "." || name == "..")
            continue;
        entries.push_back(Classify(folder, name));
    }
    return entries;
}

}  // namespace

void TFolderUpload::Run(const std::string& localPath) {
    std::string top = localPath;
    while (top.size() > 1 && top.back() == '/')
        top.pop_back();
    page_.Session().ForgetServerFolder();
    Walk(top, 0);
    // The run entered the tree's remote folder before the walk: leaving it returns the server
    // to the folder the run started in, which later entries and commands name folders from.
    page_.Session().ChangeDir("..");
    CheckOpen();
}

void TFolderUpload::Walk(const std::string& local, int depth) {
    ui::ProcessMessages();
    CheckOpen();
    const std::vector<LocalEntry> entries = ReadFolder(local);
    TPageSession& session = page_.Session();
    // The server's folder is listed once per level, and only when a sub-folder needs it: a
    // folder that is listed reuses the remote one.
    std::set<std::string> remoteNames;
    bool listed = false;
    for (const LocalEntry& entry : entries) {
        const std::string path = local + "/" + entry.name;
        if (entry.kind == EntryKind::kSkipped) {
            LogSkipped(path, entry.why);
            continue;
        }
        if (entry.kind == EntryKind::kFile) {
            applyType_(ExtensionOf(entry.name));
            page_.IdFTP1.Put(path, entry.name, false);
            CheckOpen();
            continue;
        }
        // Refused before the remote folder is made: nothing is left past the bound.
        CheckDepth(depth + 1, path);
        if (!listed) {
            std::vector<std::string> lines;
            page_.IdFTP1.List(lines);
            CheckOpen();
            for (const ftp::TIdFTPListItem& item : page_.IdFTP1.TakeDirectoryListing())
                remoteNames.insert(item.FileName);
            listed = true;
        }
        if (remoteNames.count(entry.name) == 0) {
            page_.IdFTP1.MakeDir(entry.name);
            CheckOpen();
        }
        session.ChangeDir(entry.name);
        CheckOpen();
        Walk(path, depth + 1);
        session.ChangeDir("..");
        CheckOpen();
    }
}
