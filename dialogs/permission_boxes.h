#pragma once
// The permissions dialog's nine boxes and its mode number, without widgets. The mode number
// is a decimal integer whose three digits are the octal digits of owner, group and other
// (rw-r--r-- is 644); the boxes, in the order CheckBox1 ... CheckBox9, are owner read, write,
// execute, group read, write, execute, other read, write, execute.
#include <array>
#include <string>

namespace dialogs {

using PermissionBoxes = std::array<bool, 9>;

// What each box adds to the mode number, in box order.
inline constexpr std::array<int, 9> kPermissionBoxValues{400, 200, 100, 40, 20, 10, 4, 2, 1};

// The mode several selected entries start from, whatever their permissions: read and write
// for owner, group and other.
inline constexpr int kSeveralEntriesMode = 666;

// The sum of the values of the ticked boxes.
int ModeNumber(const PermissionBoxes& boxes);

// The boxes of a mode number: a box is ticked when its bit (4 read, 2 write, 1 execute) is
// set in its digit (hundreds owner, tens group, units other). Digits above 7 and a fourth
// digit are not permission bits: their extra bits tick nothing.
PermissionBoxes BoxesOfMode(int mode);

// The boxes from the three permission texts of a listing entry, as the page's
// Tfb::ShowOwnerPermissions, ShowGroupPermissions and ShowOtherPermissions tick them: the
// owner text is the type character followed by the owner's three characters ("-rw"), the
// group and other texts three characters each ("r--").
PermissionBoxes BoxesOfPermissionTexts(const std::string& ownerText, const std::string& groupText,
                                       const std::string& otherText);

// The same from a whole mode string of a listing ("-rw-r--r--").
PermissionBoxes BoxesOfModeString(const std::string& modeString);

// The caption of a selection of several entries: "2 Folders , 3 Files .".
std::string SelectionCountText(int folders, int files);

}  // namespace dialogs
