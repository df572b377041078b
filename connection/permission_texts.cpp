#include "connection/permission_texts.h"

#include <cctype>

PermissionTextBoxes BoxesOfPermissionText(const std::string& text, std::size_t first) {
    static const char kLetters[3] = {'R', 'W', 'X'};
    PermissionTextBoxes boxes{};
    for (std::size_t bit = 0; bit < boxes.size(); ++bit) {
        const std::size_t index = first + bit;
        boxes[bit] = index < text.size() &&
                     std::toupper(static_cast<unsigned char>(text[index])) == kLetters[bit];
    }
    return boxes;
}

std::array<bool, 9> JoinPermissionBoxes(const PermissionTextBoxes& owner,
                                        const PermissionTextBoxes& group,
                                        const PermissionTextBoxes& other) {
    const PermissionTextBoxes* parts[3] = {&owner, &group, &other};
    std::array<bool, 9> boxes{};
    for (std::size_t who = 0; who < 3; ++who) {
        for (std::size_t bit = 0; bit < 3; ++bit)
            boxes[who * 3 + bit] = (*parts[who])[bit];
    }
    return boxes;
}
