#include "connection/duplicate_presets.h"

#include <sys/stat.h>

#include "connection/local_folders.h"

TLocalItemFacts LocalItemOf(const std::string& path) {
    struct stat facts {};
    if (::stat(path.c_str(), &facts) != 0 && ::lstat(path.c_str(), &facts) != 0)
        return {};
    TLocalItemFacts item;
    item.found = true;
    item.size = S_ISDIR(facts.st_mode) ? 0 : static_cast<std::int64_t>(facts.st_size);
    item.modified = FormatDateTime(FileTimeToDateTime(facts.st_mtime));
    return item;
}

std::string ItemNameOfPath(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const std::string::size_type slash = trimmed.rfind('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

TDuplicatePresets MakeDuplicatePresets(const rtmpinfo& info, bool folder, bool download,
                                       const std::string& typeText, const TLocalItemFacts& local) {
    TDuplicatePresets presets;
    presets.download = download;
    presets.folder = folder;
    presets.localPath = info.path;
    const std::string name = ItemNameOfPath(info.path);
    const TDuplicateBlock remote{"Remote file", name, std::to_string(info.ftpsize), info.ftpdate,
                                 typeText};
    if (download) {
        presets.upper = remote;
        presets.lower = {"Local file", name, std::to_string(local.size), local.modified, typeText};
        // Signed comparison: a local file as long as the remote one or longer is no resume.
        if (!folder && local.size < info.ftpsize) {
            presets.resumeOffered = true;
            presets.resumeOffset = local.size;
            presets.resumeRemaining = info.ftpsize - local.size;
        }
    } else {
        presets.upper = {"Local file", name, std::to_string(info.losize), local.modified, typeText};
        presets.lower = remote;
    }
    return presets;
}
