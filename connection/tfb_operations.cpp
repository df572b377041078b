// The page's remote file operations, permissions and export: Tfb forwards to its collaborators.
#include <QAction>
#include <QToolButton>

#include "connection/chmod_tree.h"
#include "connection/export_tree.h"
#include "connection/export_walk.h"
#include "connection/remote_operations.h"
#include "connection/tfb.h"
#include "platform/ui/handler_guard.h"

void Tfb::ConnectOperationHandlers() {
    operations_ = std::make_unique<TRemoteOperations>(*this, *listing_);
    chmod_ = std::make_unique<TChmodTree>(*this, *listing_);
    export_ = std::make_unique<TExportWalk>(*this);

    auto bind = [this](auto* sender, auto signal, auto handler) {
        QObject::connect(sender, signal, this, ui::Guarded(std::move(handler)));
    };
    bind(ToolButton4, &QToolButton::clicked, [this] { ToolButton4Click(); });
    bind(Delete1, &QAction::triggered, [this] { ToolButton4Click(); });
    bind(Rename1, &QAction::triggered, [this] { Rename1Click(); });
    bind(ToolButton11, &QToolButton::clicked, [this] { ToolButton11Click(); });
    bind(Makenewdirectory1, &QAction::triggered, [this] { ToolButton11Click(); });
    bind(Properties1, &QAction::triggered, [this] { Properties1Click(); });
    bind(ToolButton18, &QToolButton::clicked, [this] { ToolButton18Click(); });
    bind(Exportfull1, &QAction::triggered, [this] { ToolButton18Click(); });
    bind(Exportsel1, &QAction::triggered, [this] { Exportsel1Click(); });
    bind(Exportselectfolder1, &QAction::triggered, [this] { Exportsel1Click(); });
}

bool Tfb::CheckNewName(const std::string& name) {
    return operations_->CheckNewName(name);
}

void Tfb::Rename1Click() {
    operations_->Rename1Click();
}

void Tfb::ListView2Edited(int row, std::string& caption) {
    operations_->ListView2Edited(row, caption);
}

void Tfb::RenameEntry(const std::string& oldName, const std::string& newName) {
    operations_->RenameEntry(oldName, newName);
}

void Tfb::ToolButton4Click() {
    operations_->DeleteClick();
}

void Tfb::DeleteEntry(const std::string& name, bool folder) {
    operations_->DeleteEntry(name, folder);
}

void Tfb::DeleteFolderTree(const std::string& folder) {
    operations_->DeleteFolderTree(folder);
}

void Tfb::ToolButton11Click() {
    operations_->MakeDirClick();
}

bool Tfb::MakeDirEntry(const std::string& name) {
    return operations_->MakeDirEntry(name);
}

void Tfb::Properties1Click() {
    chmod_->Properties1Click();
}

void Tfb::ChmodTree(const std::string& folder) {
    chmod_->ChmodTree(folder);
}

PermissionTextBoxes Tfb::ShowOwnerPermissions(const std::string& ownerText) {
    return BoxesOfPermissionText(ownerText, 1);
}

PermissionTextBoxes Tfb::ShowGroupPermissions(const std::string& groupText) {
    return BoxesOfPermissionText(groupText, 0);
}

PermissionTextBoxes Tfb::ShowOtherPermissions(const std::string& otherText) {
    return BoxesOfPermissionText(otherText, 0);
}

void Tfb::ToolButton18Click() {
    export_->ToolButton18Click();
}

void Tfb::Exportsel1Click() {
    export_->Exportsel1Click();
}

void Tfb::BuildExportTree(const std::string& folder, std::size_t parent) {
    export_->BuildExportTree(folder, parent);
}

void Tfb::SaveExportTree(const std::string& fileName) {
    export_->SaveExportTree(fileName);
}

std::string Tfb::FormatSizeKB(std::int64_t size) {
    return ::FormatSizeKB(size);
}
