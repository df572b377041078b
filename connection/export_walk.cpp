#include "connection/export_walk.h"

#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <cstdio>
#include <exception>
#include <stdexcept>

#include "connection/export_tree.h"
#include "connection/page_command.h"
#include "connection/page_session.h"
#include "connection/remote_tree_walk.h"
#include "connection/tfb.h"
#include "platform/ftp/id_ftp.h"
#include "platform/ui/list_view.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/ui_services.h"

namespace {

// "yyyy-mm-dd hh:mm:ss"
std::string ModifiedText(const os::LocalDateTime& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return text;
}

// The folder of a file path, without a trailing "/" ("/" for a file in the root).
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return "";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace

TExportWalk::TExportWalk(Tfb& page) : page_(page) {}

TExportWalk::~TExportWalk() = default;

bool TExportWalk::AskFile(std::string& fileName) {
    if (!page_.FSaveForm.exportdir.empty())
        page_.SaveDialog1.initialFolder = page_.FSaveForm.exportdir;
    const std::optional<std::string> chosen = ui::ExecuteSaveDialog(page_.SaveDialog1);
    if (!chosen)
        return false;
    fileName = *chosen;
    page_.FSaveForm.exportdir = FolderOf(fileName);
    return true;
}

void TExportWalk::Begin(const std::string& folder) {
    page_.TreeView1->clear();
    items_.clear();
    tree_ =
        std::make_unique<TExportTree>(ExportRootText(page_.FSiteName, page_.IdFTP1.Host, folder));
    auto* root = new QTreeWidgetItem(page_.TreeView1);
    root->setText(0, ui::ToQt(tree_->TextOf(TExportTree::kRoot)));
    items_.push_back(root);
}

QTreeWidgetItem* TExportWalk::ItemFor(std::size_t parent) const {
    if (parent >= items_.size())
        throw std::out_of_range("export tree: no such node");
    return items_[parent];
}

std::size_t TExportWalk::AddFolder(std::size_t parent, const std::string& name) {
    QTreeWidgetItem* parentItem = ItemFor(parent);
    const std::size_t node = tree_->AddFolder(parent, name);
    auto* item = new QTreeWidgetItem(parentItem);
    item->setText(0, ui::ToQt(tree_->TextOf(node)));
    items_.push_back(item);
    return node;
}

std::size_t TExportWalk::AddFileRow(std::size_t parent, const std::string& caption,
                                    const std::string& sizeText, const std::string& modified) {
    QTreeWidgetItem* parentItem = ItemFor(parent);
    const std::size_t node = tree_->AddFileRow(parent, caption, sizeText, modified);
    auto* item = new QTreeWidgetItem(parentItem);
    item->setText(0, ui::ToQt(tree_->TextOf(node)));
    items_.push_back(item);
    return node;
}

std::size_t TExportWalk::AddFile(std::size_t parent, const std::string& name, std::int64_t size,
                                 const std::string& modified) {
    return AddFileRow(parent, name, FormatSizeKB(size), modified);
}

template <class Build>
void TExportWalk::Run(const std::string& fileName, Build build) {
    TPageCommand command(page_, "Export");
    if (!command.Started())
        return;
    try {
        if (!build(command) || command.Stopped())
            return;
        SaveExportTree(fileName);
    } catch (const ERemoteWalkStopped&) {
        return;
    } catch (const std::exception& error) {
        if (command.Stopped())
            return;
        command.Fail(error);
        // The walk moved the server; the page's folder is where its names belong.
        command.EnterFolder(page_.FCurrentDir);
        return;
    }
    // The file is written: back into the page's folder with a CWD in every case, and a
    // failure there is that failure, not a stopped export.
    const std::string folder = page_.FCurrentDir;
    try {
        page_.Session().ForgetServerFolder();
        page_.Session().EnterFolder(folder);
    } catch (const std::exception& error) {
        if (!command.Stopped())
            page_.AddInfoLine("Export written to " + fileName + ", but can not enter " + folder +
                                  " again (" + CommandErrorText(error) + ").",
                              2);
    }
}

void TExportWalk::ToolButton18Click() {
    if (!page_.Connected()) {
        page_.AddInfoLine("Export stopped: the page is not connected.", 2);
        return;
    }
    std::string fileName;
    if (!AskFile(fileName))
        return;
    const std::string start = page_.FStartDir;
    Begin(start);
    Run(fileName, [&](TPageCommand& command) {
        TRemoteTreeWalk walk(page_.Session(), [&command] { return command.Stopped(); });
        // The start folder's entries stand directly under the root.
        Walk(walk, start, TExportTree::kRoot, 0);
        return true;
    });
}

void TExportWalk::Exportsel1Click() {
    const std::vector<int> rows = page_.ListView2->SelectedRows();
    if (rows.empty())
        return;
    if (!page_.Connected()) {
        page_.AddInfoLine("Export stopped: the page is not connected.", 2);
        return;
    }
    std::string fileName;
    if (!AskFile(fileName))
        return;
    // The rows as they are now, in row order.
    std::vector<rdatalist> selected;
    for (const int row : rows) {
        if (row >= 0 && static_cast<std::size_t>(row) < page_.FDisplayList.size())
            selected.push_back(page_.FDisplayList[static_cast<std::size_t>(row)]);
    }
    const std::string folder = page_.FCurrentDir;
    Begin(folder);
    Run(fileName, [&](TPageCommand& command) {
        for (const rdatalist& entry : selected) {
            if (entry.typetext == "Folder" && entry.sizetext.empty()) {
                // A folder's walk leaves the server's folder unknown: back into it each time.
                if (!command.EnterFolder(folder))
                    return false;  // logged
                BuildExportTree(entry.name, TExportTree::kRoot);
            } else {
                AddFileRow(TExportTree::kRoot, entry.name, entry.sizetext, entry.modified);
            }
        }
        return true;
    });
}

void TExportWalk::BuildExportTree(const std::string& folder, std::size_t parent) {
    if (!tree_)
        throw std::logic_error("No export is being built.");
    const TPageLifetime::Run run(page_.Lifetime());
    TRemoteTreeWalk walk(page_.Session(), [&run] { return run.Stopped(); });
    Walk(walk, folder, AddFolder(parent, folder), 1);
}

void TExportWalk::Walk(TRemoteTreeWalk& walk, const std::string& folder, std::size_t node,
                       int depth) {
    walk.Enter(folder, depth);
    for (const ftp::TIdFTPListItem& item : walk.Entries()) {
        if (item.ItemType == ftp::TIdDirItemType::ditDirectory)
            Walk(walk, item.FileName, AddFolder(node, item.FileName), depth + 1);
        else
            AddFile(node, item.FileName, item.Size, ModifiedText(item.ModifiedDate));
    }
    walk.Leave();
}

void TExportWalk::SaveExportTree(const std::string& fileName) {
    if (!tree_)
        throw std::logic_error("No export has been built.");
    ::SaveExportTree(*tree_, fileName);
}
