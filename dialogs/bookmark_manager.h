#pragma once
// The bookmark manager "Manage Bookmarks": deletes local folder bookmarks (page "Local") or the
// remote bookmarks of one site (page "FTP"). One page is shown: the main window opens it on
// "Local", a connection page on "FTP" preset with its site. OK writes the remaining bookmarks
// back: the local ones through the dialogs' host (which rebuilds its menu and writes
// "bookmark.dat"), the remote ones into the `bookmark` table of `dm` under the site id the
// opener gave; the opener then rebuilds the page's menu from FtpBookmarks(). Cancel changes
// nothing.
//
// The global `Form17` names the dialog while it exists. Table and host errors in OK pass on to
// the handler guard; the dialog then stays open.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/modal_dialog.h"

class QLabel;
class QPushButton;
class QStandardItemModel;
class QTabWidget;
class TDialogsHost;

namespace ui {
class ListView;
}

class TForm17 : public ui::ModalDialog {
    Q_OBJECT

  public:
    // `localBookmarksPath`: the list file of the local bookmarks ("bookmark.dat" in the
    // program's folder), read when the dialog is shown. `host` must outlive the dialog.
    TForm17(TDialogsHost& host, std::string localBookmarksPath, QWidget* parent = nullptr);
    ~TForm17() override;

    QTabWidget* PageControl1;
    QWidget* TabSheet1;  // "Local"
    QWidget* TabSheet2;  // "FTP"
    ui::ListView* ListView1;
    QPushButton* Button3;  // "&Delete" of "Local"
    QLabel* Label2;        // "FTP server :"
    QLabel* Label1;        // the site's name
    ui::ListView* ListView2;
    QPushButton* Button4;  // "&Delete" of "FTP"
    QPushButton* Button2;  // "&OK"
    QPushButton* Button1;  // "&Cancel"

    // Local mode: only the "Local" page.
    void ShowLocalPage();
    // FTP mode for the site `siteId` named `siteName`: only the "FTP" page, its list filled
    // from the site's rows of the `bookmark` table. Throws the table's errors.
    void PresetSite(std::int32_t siteId, const std::string& siteName);
    bool LocalMode() const;

    // The paths of the lists, in their order.
    std::vector<std::string> LocalBookmarks() const;
    std::vector<std::string> FtpBookmarks() const;

    void FormShow();
    void Button3Click();
    void Button4Click();
    void Button2Click();
    void Button1Click();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    TDialogsHost& host_;
    std::string localBookmarksPath_;
    std::int32_t siteId_ = 0;
    QStandardItemModel* localRows_;
    QStandardItemModel* ftpRows_;
};

// The bookmark manager while it exists, else nullptr.
extern TForm17* Form17;
