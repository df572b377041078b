#include "connection/new_name_check.h"

#include "platform/ui/ui_services.h"

bool CheckNewName(const std::string& name, const std::function<bool(const std::string&)>& shown) {
    bool accepted = true;
    if (name.find_first_of(kForbiddenNameCharacters) != std::string::npos) {
        ui::MessageDlg(
            std::string("The following characters can not be contained in the name of files: ") +
                kForbiddenNameCharacters,
            ui::MessageKind::kError, ui::mbOK);
        accepted = false;
    }
    // The taken name is reported even after the character message, so the user learns both.
    if (shown && shown(name)) {
        ui::MessageDlg("The name " + name + " was existed, please re-enter.",
                       ui::MessageKind::kError, ui::mbOK);
        accepted = false;
    }
    return accepted;
}
