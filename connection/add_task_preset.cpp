#include "connection/add_task_preset.h"

#include <filesystem>
#include <system_error>

#include "connection/page_host.h"
#include "connection/tfb.h"
#include "platform/ui/list_view.h"
#include "shared/tab_sheet.h"

namespace {

// The process's current folder with a trailing "/", as task rows keep local folders.
std::string CurrentFolder() {
    std::error_code error;
    std::string folder = std::filesystem::current_path(error).string();
    if (error)
        folder = "/";
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

}  // namespace

TAddTaskPreset MakeAddTaskPreset(Tfb& page) {
    TAddTaskPreset preset;
    preset.sites = page.Host().SiteNames();
    // The page's site is the caption of its tab (a renamed site's new name).
    const auto* sheet = qobject_cast<const TTabSheet*>(page.parentWidget());
    const std::string site = sheet != nullptr ? sheet->Caption() : page.FSiteName;
    for (std::size_t index = 0; index < preset.sites.size(); ++index) {
        if (preset.sites[index] == site) {
            preset.selectedSite = static_cast<int>(index);
            break;
        }
    }
    const std::string local = CurrentFolder();
    for (const int row : page.ListView2->SelectedRows()) {
        if (row < 0 || static_cast<std::size_t>(row) >= page.FDisplayList.size())
            continue;
        const rdatalist& entry = page.FDisplayList[static_cast<std::size_t>(row)];
        preset.files.push_back({entry.isfile == 0, entry.name, local, page.FCurrentDir});
    }
    preset.categories = page.Host().TaskCategories();
    if (!preset.categories.empty())
        preset.selectedCategory = 0;
    return preset;
}
