#pragma once
// The site list of the main window: the "FTP Site" sheet's toolbar, the list of stored sites
// with "NewFTPSite" as item 0, its popup and view-style menus, the description memo, and the
// rename and delete of stored sites, and the new-site and edit commands, which open the site
// dialog (TForm4) modal to the dialogs' host's window. The pane knows nothing of pages:
// opening a site and the pages that follow a renamed site go through the two call-backs its
// owner sets.
//
// Stored data goes through the data module `dm`, one table use per action; table errors end
// the action and pass on (handlers run under the handler guard).
#include <QObject>

#include <functional>
#include <optional>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QStandardItemModel;
class QToolBar;
class QToolButton;
class QWidget;
class TDialogsHost;

namespace ui {
class ListView;
}

class TSiteListPane : public QObject {
    Q_OBJECT

  public:
    // Builds the pane's controls on `sheet` and its menus owned by `menuOwner`. `viewStep` is
    // the view-style cycle step (1 to 4) the owner keeps; it and `dialogsHost` (which the site
    // dialog calls back) must outlive the pane.
    TSiteListPane(QWidget& sheet, QWidget& menuOwner, int& viewStep, TDialogsHost& dialogsHost);
    ~TSiteListPane() override;

    QToolBar* ToolBar1;
    QToolButton* ToolButton37;  // "Quick connect"
    QToolButton* ToolButton2;   // "Edit FTP site"
    QToolButton* ToolButton9;   // "Delete"
    QToolButton* ToolButton3;   // "Connection"
    QToolButton* ToolButton5;   // "View style"
    QToolButton* ToolButton4;   // "Help"
    ui::ListView* ListView1;
    QSplitter* Splitter2;
    QLabel* Label1;
    QPlainTextEdit* Memo2;
    QMenu* Pbrowser;
    QAction* Connect1;
    QAction* New1;
    QAction* Edit1;
    QAction* Delete1;
    QAction* R1;  // "Rename"
    QAction* Refresh1;
    QMenu* view2;
    QAction* MenuItem1;  // "Large icon"
    QAction* MenuItem2;  // "List"
    QAction* MenuItem3;  // "Small icon"
    QAction* MenuItem4;  // "Report"

    // Opens the page of a site (its name); set by the owner.
    std::function<void(const std::string& name)> OnOpenSite;
    // A stored site was renamed; set by the owner so that the site's pages follow.
    std::function<void(const std::string& oldName, const std::string& newName)> OnSiteRenamed;

    void LoadSiteList();
    // The list with only "NewFTPSite", as the window is created.
    void ClearSiteList();
    void ShowSiteMenuItems(bool visible);
    void DeleteSite(const std::string& name);
    // Opens the site dialog in edit mode for the named site; nothing when no row has the name.
    void EditSite(const std::string& name);
    // Opens the site dialog in its "New FTP Site" mode, nothing preset.
    void NewSite();
    // The selected site's caption (a site's name may be empty); nullopt when nothing or
    // "NewFTPSite" is selected.
    std::optional<std::string> SelectedSite() const;
    int SiteCount() const;  // items of the list, "NewFTPSite" included
    std::string SiteCaption(int row) const;

    // ---- handlers ----
    void ListView1SelectItem();
    void ListView1DblClick();
    void FTP2Click();
    void Edit1Click();
    void Delete1Click();
    void R1Click();
    void ListView1Edited(int row, std::string& caption);
    void ToolButton3Click();
    void ToolButton5Click();
    void Refresh1Click();
    void ApplySiteViewStyle(int step);  // 1 large icons, 2 list, 3 small icons, 4 report

  private:
    void BuildControls(QWidget& sheet);
    void BuildMenus(QWidget& menuOwner);
    void ConnectHandlers();
    void OpenSite(const std::string& name);

    int& viewStep_;
    TDialogsHost& dialogsHost_;
    QStandardItemModel* siteItems_;
};
