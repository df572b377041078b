#pragma once
// What the permissions dialog shows when a page's "Properties" opens it: for several selected
// rows their counts of folders and files (the dialog then starts from mode 666), for one row
// its name, whether it is a folder, its owner and group and its three permission texts (each at
// most 20 characters). The page's dialogs (TPageDialogs::ShowPermissions) take it from here.
#include <array>
#include <string>

class Tfb;

struct TPermissionsPreset {
    bool several = false;
    // Several rows: a display entry without a shell type name counts as a folder.
    int folders = 0;
    int files = 0;
    // One row.
    std::string name;
    bool folder = false;
    std::string owner;
    std::string group;
    std::string ownerText;  // the type character and the owner's three ("-rw-")
    std::string groupText;  // three characters ("r--")
    std::string otherText;
    // The dialog's nine boxes from the three texts (Tfb::ShowOwnerPermissions,
    // ShowGroupPermissions, ShowOtherPermissions): owner, group, other; read, write, execute.
    std::array<bool, 9> boxes{};
};

// The preset for the selected rows of `page` (no row selected: an empty one-row preset).
TPermissionsPreset MakePermissionsPreset(Tfb& page);

// The dialog's nine boxes from an entry's three permission texts, as the page's
// Tfb::ShowOwnerPermissions, ShowGroupPermissions and ShowOtherPermissions tick them.
std::array<bool, 9> PermissionBoxesOfTexts(const std::string& ownerText,
                                           const std::string& groupText,
                                           const std::string& otherText);
