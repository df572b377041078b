#pragma once
// The rule by which a listing entry's permission texts tick the permissions dialog's boxes:
// a character is compared with its letter (r, w, x), case ignored, and a missing character
// leaves its box clear.
#include <array>
#include <cstddef>
#include <string>

// Read, write, execute.
using PermissionTextBoxes = std::array<bool, 3>;

// The boxes of the three characters of `text` from position `first` (0-based): 1 for an owner
// text, whose first character is the entry's type ("-rw"), 0 for a group or other text.
PermissionTextBoxes BoxesOfPermissionText(const std::string& text, std::size_t first);

// The dialog's nine boxes in its order (owner, group, other; read, write, execute each).
std::array<bool, 9> JoinPermissionBoxes(const PermissionTextBoxes& owner,
                                        const PermissionTextBoxes& group,
                                        const PermissionTextBoxes& other);
