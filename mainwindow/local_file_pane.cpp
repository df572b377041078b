#include "mainwindow/local_file_pane.h"

#include <sys/stat.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <stdexcept>

#include "mainwindow/named_controls.h"
#include "platform/ui/drive_combo.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/shared_icons.h"
#include "platform/ui/shell_list_view.h"

namespace {

using mainwindow::AddMenuItem;
using mainwindow::AddToolButton;

QIcon StyleIcon(QStyle::StandardPixmap icon) {
    return ui::StyleIcon(icon);
}

}  // namespace

TLocalFilePane::TLocalFilePane(QWidget& sheet, QWidget& menuOwner, int& viewStep)
    : QObject(&sheet), viewStep_(viewStep) {
    setObjectName(QStringLiteral("LocalFilePane"));
    BuildControls(sheet);
    BuildViewMenu(menuOwner);
    ConnectHandlers();
}

TLocalFilePane::~TLocalFilePane() {
    // The view outlives the pane when both go with the sheet: its handlers must not run on a
    // pane that is gone.
    ShellListView1->OnDblClick = nullptr;
    ShellListView1->OnEdited = nullptr;
}

void TLocalFilePane::BuildControls(QWidget& sheet) {
    auto* column = new QVBoxLayout(&sheet);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    ToolBar4 = new QToolBar(&sheet);
    ToolBar4->setObjectName(QStringLiteral("ToolBar4"));
    ToolButton19 =
        AddToolButton(*ToolBar4, "ToolButton19", "", StyleIcon(QStyle::SP_FileDialogToParent));
    // It has no hint; assistive tools still need to call it something.
    ToolButton19->setAccessibleName(QStringLiteral("Up one level"));
    ToolBar4->addSeparator();
    ToolButton28 = AddToolButton(
        *ToolBar4, "ToolButton28", "Add bookmark",
        QIcon::fromTheme(QStringLiteral("bookmark-new"), StyleIcon(QStyle::SP_DialogApplyButton)));
    ToolButton28->setPopupMode(QToolButton::MenuButtonPopup);
    ToolBar4->addSeparator();
    ToolButton30 = AddToolButton(*ToolBar4, "ToolButton30", "Add task",
                                 StyleIcon(QStyle::SP_FileDialogNewFolder));
    ToolButton35 =
        AddToolButton(*ToolBar4, "ToolButton35", "Upload", StyleIcon(QStyle::SP_ArrowUp));
    ToolButton35->setText(QStringLiteral("Upload"));
    ToolButton35->setEnabled(false);
    ToolBar4->addSeparator();
    ToolButton31 = AddToolButton(*ToolBar4, "ToolButton31", "View style",
                                 StyleIcon(QStyle::SP_FileDialogListView));
    ToolButton31->setPopupMode(QToolButton::MenuButtonPopup);
    ToolButton36 =
        AddToolButton(*ToolBar4, "ToolButton36", "Help", StyleIcon(QStyle::SP_DialogHelpButton));
    column->addWidget(ToolBar4);

    JvDriveCombo1 = new ui::DriveCombo(&sheet);
    JvDriveCombo1->setObjectName(QStringLiteral("JvDriveCombo1"));
    column->addWidget(JvDriveCombo1);

    ShellListView1 = new ui::ShellListView(&sheet);
    ShellListView1->setObjectName(QStringLiteral("ShellListView1"));
    ShellListView1->SetAccessibleName(QStringLiteral("Local File"));
    column->addWidget(ShellListView1, 1);
}

void TLocalFilePane::BuildViewMenu(QWidget& menuOwner) {
    view = new QMenu(&menuOwner);
    view->setObjectName(QStringLiteral("view"));
    auto* group = new QActionGroup(view);
    Largeison1 = AddMenuItem(*view, "Largeison1", "Large icon");
    List2 = AddMenuItem(*view, "List2", "List");
    Smallicon2 = AddMenuItem(*view, "Smallicon2", "Small icon");
    Report2 = AddMenuItem(*view, "Report2", "Report");
    for (QAction* item : {Largeison1, List2, Smallicon2, Report2}) {
        item->setCheckable(true);
        group->addAction(item);
    }
    Report2->setChecked(true);
    ToolButton31->setMenu(view);
}

void TLocalFilePane::ConnectHandlers() {
    connect(ToolButton19, &QToolButton::clicked, this,
            ui::Guarded([this] { ToolButton19Click(); }));
    connect(ToolButton31, &QToolButton::clicked, this,
            ui::Guarded([this] { ToolButton31Click(); }));
    // A drive chosen by the user; filling the list changes nothing shown.
    connect(JvDriveCombo1, &QComboBox::activated, this,
            ui::Guarded([this] { JvDriveCombo1Change(); }));
    // The menu's radio marks follow the user's choice by themselves; the cycle step stays.
    QAction* styles[] = {Largeison1, List2, Smallicon2, Report2};
    for (int step = 1; step <= 4; ++step) {
        connect(styles[step - 1], &QAction::triggered, this,
                ui::Guarded([this, step] { ApplyLocalViewStyle(step); }));
    }
    ShellListView1->OnDblClick = [this] { ShellListView1DblClick(); };
    ShellListView1->OnEdited = [this](int item, std::string& caption) {
        ShellListView1Edited(item, caption);
    };
}

std::string TLocalFilePane::ShownFolder() const {
    return ShellListView1->Root();
}

void TLocalFilePane::SetRoot(const std::string& path) {
    ShellListView1->SetRoot(path);
}

int TLocalFilePane::ItemCount() const {
    return ShellListView1->ItemCount();
}

bool TLocalFilePane::IsFolder(int item) const {
    return ShellListView1->IsFolder(item);
}

std::string TLocalFilePane::ItemPath(int item) const {
    return ShellListView1->ItemPath(item);
}

std::int64_t TLocalFilePane::ItemSize(int item) const {
    return ShellListView1->ItemSize(item);
}

std::vector<int> TLocalFilePane::SelectedItems() const {
    return ShellListView1->SelectedItems();
}

int TLocalFilePane::ItemAt(const QPoint& position) const {
    return ShellListView1->ItemAt(position);
}

void TLocalFilePane::Refresh() {
    ShellListView1->Refresh();
}

void TLocalFilePane::ToolButton19Click() {
    const std::string shown = ShownFolder();
    if (shown == "/")
        return;
    const std::string::size_type slash = shown.find_last_of('/');
    SetRoot(slash == 0 || slash == std::string::npos ? "/" : shown.substr(0, slash));
}

void TLocalFilePane::JvDriveCombo1Change() {
    const std::string drive = JvDriveCombo1->CurrentDrive();
    if (!drive.empty())
        SetRoot(drive);
}

void TLocalFilePane::ToolButton31Click() {
    viewStep_ = viewStep_ - 1 == 0 ? 4 : viewStep_ - 1;
    ApplyLocalViewStyle(viewStep_);
    QAction* marks[] = {Largeison1, List2, Smallicon2, Report2};
    marks[viewStep_ - 1]->setChecked(true);
}

void TLocalFilePane::ApplyLocalViewStyle(int step) {
    static constexpr ui::ViewStyle kStyles[] = {ui::ViewStyle::kLargeIcons, ui::ViewStyle::kList,
                                                ui::ViewStyle::kSmallIcons, ui::ViewStyle::kReport};
    if (step >= 1 && step <= 4)
        ShellListView1->SetStyle(kStyles[step - 1]);
}

void TLocalFilePane::ShellListView1DblClick() {
    const int item = ShellListView1->Selected();
    if (item >= 0 && IsFolder(item))
        SetRoot(ItemPath(item));
}

// The view renames the file once this returns; a name it cannot take is refused here with a
// reason, where the file system would only leave the old name without one.
void TLocalFilePane::ShellListView1Edited(int item, std::string& caption) {
    if (caption.empty() || caption == "." || caption == ".." ||
        caption.find('/') != std::string::npos || caption.find('\0') != std::string::npos)
        throw std::runtime_error("Invalid file name: \"" + caption + "\"");
    const std::string path = ItemPath(item);
    const std::string target = path.substr(0, path.find_last_of('/') + 1) + caption;
    struct stat status {};
    if (target != path && ::lstat(target.c_str(), &status) == 0)
        throw std::runtime_error("Cannot rename \"" + path + "\": \"" + target + "\" exists.");
}
