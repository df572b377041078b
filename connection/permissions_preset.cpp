#include "connection/permissions_preset.h"

#include "connection/tfb.h"
#include "platform/ui/list_view.h"

namespace {

// Permission texts are taken at most this long.
constexpr std::size_t kTextLimit = 20;

}  // namespace

TPermissionsPreset MakePermissionsPreset(Tfb& page) {
    TPermissionsPreset preset;
    const std::vector<int> rows = page.ListView2->SelectedRows();
    const std::vector<rdatalist>& list = page.FDisplayList;
    auto entryOf = [&](int row) -> const rdatalist* {
        if (row < 0 || static_cast<std::size_t>(row) >= list.size())
            return nullptr;
        return &list[static_cast<std::size_t>(row)];
    };
    if (rows.size() >= 2) {
        preset.several = true;
        for (const int row : rows) {
            if (const rdatalist* entry = entryOf(row))
                (entry->shelltype.empty() ? preset.folders : preset.files) += 1;
        }
        return preset;
    }
    const rdatalist* entry = rows.empty() ? nullptr : entryOf(rows.front());
    if (entry == nullptr)
        return preset;
    preset.name = entry->name;
    preset.folder = entry->isfile == 0;
    preset.owner = entry->owner;
    preset.group = entry->group;
    preset.ownerText = entry->attr.substr(0, kTextLimit);
    preset.groupText = entry->grpperm.substr(0, kTextLimit);
    preset.otherText = entry->othperm.substr(0, kTextLimit);
    preset.boxes = PermissionBoxesOfTexts(preset.ownerText, preset.groupText, preset.otherText);
    return preset;
}

std::array<bool, 9> PermissionBoxesOfTexts(const std::string& ownerText,
                                           const std::string& groupText,
                                           const std::string& otherText) {
    return JoinPermissionBoxes(Tfb::ShowOwnerPermissions(ownerText),
                               Tfb::ShowGroupPermissions(groupText),
                               Tfb::ShowOtherPermissions(otherText));
}
