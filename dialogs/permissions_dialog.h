#pragma once
// TForm18, the permissions dialog ("Properties"): shows the permissions of the selected
// remote entries as nine boxes and a mode number, and leaves the chosen mode in the mode
// field of the page whose command opened it. Ticking or clearing a box makes the number the
// boxes' sum; a number typed afterwards is what OK hands over. OK closes with modal result 1
// when "Apply changes to all subfolders and files ." is ticked (the page changes everything
// below the selected folders too) and 3 otherwise (the selected entries only); Cancel and the
// close box give 2 and write nothing.
//
// Life: one at a time, in the global `Form18` from creation to destruction; the page creates
// it, presets it (PresetEntry or PresetSeveral), shows it modally and frees it when it has
// closed.
#include <functional>
#include <string>

#include "dialogs/permission_boxes.h"
#include "platform/ui/modal_dialog.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace ui {
class IntegerEdit;
}

class TForm18 : public ui::ModalDialog {
    Q_OBJECT

  public:
    // Where OK writes the mode: the active page's mode field (FChmodMode), found when OK is
    // pressed; null when no page is active, and OK then does nothing and leaves the dialog
    // open. The field must outlive the dialog's OK.
    using ModeField = std::function<int*()>;

    explicit TForm18(ModeField modeField, QWidget* parent = nullptr);
    ~TForm18() override;

    QLabel* Image1;          // the entry's picture
    QLabel* Image2;          // the second picture: several entries, or a folder
    QLabel* Label1;          // the entry's name, or the counts of a selection (bold)
    QLabel* Label3;          // owner name
    QLabel* Label5;          // group name
    ui::IntegerEdit* Edit2;  // "Permissions": the mode number
    QCheckBox* CheckBox1;    // owner "Read"
    QCheckBox* CheckBox2;    // owner "Write"
    QCheckBox* CheckBox3;    // owner "Execute"
    QCheckBox* CheckBox4;    // group "Read"
    QCheckBox* CheckBox5;    // group "Write"
    QCheckBox* CheckBox6;    // group "Execute"
    QCheckBox* CheckBox7;    // other "Read"
    QCheckBox* CheckBox8;    // other "Write"
    QCheckBox* CheckBox9;    // other "Execute"
    QCheckBox* CheckBox10;   // "Apply changes to all subfolders and files ."
    QPushButton* Button1;    // "&OK"
    QPushButton* Button2;    // "&Cancel"

    // One selected entry: its picture (a file's or a folder's), name, owner and group, and
    // the boxes its three permission texts tick (TPermissionsPreset::boxes).
    void PresetEntry(const std::string& name, bool folder, const std::string& owner,
                     const std::string& group, const dialogs::PermissionBoxes& boxes);
    // Several selected entries: both pictures, the counts, and mode 666.
    void PresetSeveral(int folders, int files);

    dialogs::PermissionBoxes Boxes() const;
    // Ticks the boxes (each change runs its click handler, as a click does).
    void SetBoxes(const dialogs::PermissionBoxes& boxes);

    // ---- handlers ----
    void FormShow();
    void CheckBox1Click();  // all nine boxes
    void UpdateModeNumber();
    void Button1Click();

  protected:
    void FirstShown() override;

  private:
    QCheckBox* Box(int index) const;

    ModeField modeField_;
};

// The open permissions dialog, null while there is none.
extern TForm18* Form18;
