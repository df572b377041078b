#pragma once
// The export of a page's remote listing to a text file (connection/export_tree.h): the whole
// tree below the page's start folder, or the selected rows with everything below the selected
// folders. The walk lists the server's folders anew (the folder cache is not used), builds the
// tree in the page's hidden tree view TreeView1 as well, and writes the file only when the
// whole walk succeeded.
//
// The save dialog opens in the folder of the last export file (the page's FSaveForm). The walk
// is one TPageCommand: a disconnected page, an FTP failure or a tree deeper than
// kMaxRemoteTreeDepth ends it with a log line and writes nothing; afterwards the server is
// brought back into the page's folder.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class QTreeWidgetItem;
class TExportTree;
class Tfb;
class TRemoteTreeWalk;

class TExportWalk {
  public:
    // `page` owns the object and must outlive it.
    explicit TExportWalk(Tfb& page);
    ~TExportWalk();
    TExportWalk(const TExportWalk&) = delete;
    TExportWalk& operator=(const TExportWalk&) = delete;

    // "Export whole directories".
    void ToolButton18Click();
    // "Export selected": nothing when no row is selected.
    void Exportsel1Click();

    // Adds "<folder>" below `parent` of the export being built and everything below the
    // folder (relative to the server's folder) under it. The caller holds an exchange and an
    // export is being built (std::logic_error otherwise). Throws what the component throws,
    // ERemoteTreeTooDeep, and ERemoteWalkStopped when the page was closed meanwhile.
    void BuildExportTree(const std::string& folder, std::size_t parent);
    // Writes the export built last to `fileName` (std::logic_error when there is none; a
    // file that cannot be written throws std::runtime_error naming it).
    void SaveExportTree(const std::string& fileName);

  private:
    // The save dialog; nothing when cancelled. Remembers the chosen file's folder.
    bool AskFile(std::string& fileName);
    // A new export whose root names `folder`, shown in TreeView1 too.
    void Begin(const std::string& folder);
    std::size_t AddFolder(std::size_t parent, const std::string& name);
    std::size_t AddFile(std::size_t parent, const std::string& name, std::int64_t size,
                        const std::string& modified);
    std::size_t AddFileRow(std::size_t parent, const std::string& caption,
                           const std::string& sizeText, const std::string& modified);
    QTreeWidgetItem* ItemFor(std::size_t parent) const;
    // The entries of `folder` below `node`, entering and leaving it.
    void Walk(TRemoteTreeWalk& walk, const std::string& folder, std::size_t node, int depth);
    // Runs `build` as the export command and writes `fileName` when it returned true (false:
    // it stopped and logged why).
    template <class Build>
    void Run(const std::string& fileName, Build build);

    Tfb& page_;
    std::unique_ptr<TExportTree> tree_;
    // TreeView1's item of each node of tree_, by node.
    std::vector<QTreeWidgetItem*> items_;
};
