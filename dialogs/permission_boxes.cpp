#include "dialogs/permission_boxes.h"

#include <cstddef>

#include "connection/permissions_preset.h"

namespace dialogs {

int ModeNumber(const PermissionBoxes& boxes) {
    int mode = 0;
    for (std::size_t box = 0; box < boxes.size(); ++box) {
        if (boxes[box])
            mode += kPermissionBoxValues[box];
    }
    return mode;
}

PermissionBoxes BoxesOfMode(int mode) {
    PermissionBoxes boxes{};
    const int digits[3] = {mode / 100 % 10, mode / 10 % 10, mode % 10};
    for (int who = 0; who < 3; ++who) {
        const int digit = digits[who] < 0 ? 0 : digits[who];
        boxes[who * 3 + 0] = (digit & 4) != 0;
        boxes[who * 3 + 1] = (digit & 2) != 0;
        boxes[who * 3 + 2] = (digit & 1) != 0;
    }
    return boxes;
}

PermissionBoxes BoxesOfPermissionTexts(const std::string& ownerText, const std::string& groupText,
                                       const std::string& otherText) {
    return PermissionBoxesOfTexts(ownerText, groupText, otherText);
}

PermissionBoxes BoxesOfModeString(const std::string& modeString) {
    const auto part = [&](std::size_t from, std::size_t length) {
        return from < modeString.size() ? modeString.substr(from, length) : std::string();
    };
    return BoxesOfPermissionTexts(part(0, 4), part(4, 3), part(7, 3));
}

std::string SelectionCountText(int folders, int files) {
    return std::to_string(folders) + " Folders , " + std::to_string(files) + " Files .";
}

}  // namespace dialogs
