// The main window as its pages and the dialogs see it: through the two host interfaces only.
#include <QTabWidget>
#include <QToolButton>

#include "mainwindow/local_file_pane.h"
#include "mainwindow/main_form_test_support.h"
#include "shared/list_file.h"

namespace mainwindow::testing {
namespace {

using Hosts = MainFormTest;

TEST_F(Hosts, TheDialogsOpenPagesReloadTheSiteListAndSeeEveryPage) {
    AddSite("A");
    TForm1& form = ShowForm();
    TDialogsHost& host = form;
    host.OpenSitePage("A", false);
    const TQuickConnectTarget quick = UnreachableQuickTarget();
    {
        const TScopedQuickConnectTarget dialogOpen(quick);
        host.OpenSitePage("ftp.example.org", true);
    }
    form.CloseActivePage();  // closed pages are pages too
    EXPECT_EQ(host.Pages(), (std::vector<Tfb*>{form.FindFrame(2), form.FindFrame(1)}));

    AddSite("beta");  // as the site dialog saves a site
    host.LoadSiteList();
    EXPECT_EQ(SiteItems(), (std::vector<std::string>{"NewFTPSite", "A", "beta"}));

    const std::vector<std::string> folders = {"/srv", "/home/user"};
    host.SetLocalBookmarks(folders);
    EXPECT_EQ(form.LocalBookmarks(), folders);
    EXPECT_FALSE(std::filesystem::exists(folder_ + "bookmark.dat"));
    host.SaveLocalBookmarks();
    EXPECT_EQ(shared::ReadListFile(folder_ + "bookmark.dat"), folders);
}

TEST_F(Hosts, APageReachesTheUploadButtonItsTabAndTheWindowsLists) {
    AddSite("alpha");
    AddSite("beta");
    TForm1& form = ShowForm();
    form.OpenSitePage("alpha", false);
    form.OpenSitePage("beta", false);
    Tfb& first = *form.FindFrame(1);
    Tfb& second = *form.FindFrame(2);
    TPageHost& host = form;

    EXPECT_TRUE(host.IsActivePage(second));
    EXPECT_FALSE(host.IsActivePage(first));
    host.SetUploadEnabled(true);
    EXPECT_TRUE(form.ToolButton35->isEnabled());
    host.SetUploadEnabled(false);
    EXPECT_FALSE(form.ToolButton35->isEnabled());

    // New pages that could not connect show the disconnected image; the site list none.
    const QIcon disconnected = form.PageControl1->tabIcon(1);
    EXPECT_FALSE(disconnected.isNull());
    EXPECT_FALSE(form.PageControl1->tabIcon(2).isNull());
    EXPECT_TRUE(form.PageControl1->tabIcon(0).isNull());
    host.SetPageImage(first, 1);
    const QIcon connected = form.PageControl1->tabIcon(1);
    EXPECT_FALSE(connected.isNull());
    EXPECT_NE(connected.cacheKey(), disconnected.cacheKey());
    host.SetPageImage(first, 0);
    EXPECT_NE(form.PageControl1->tabIcon(1).cacheKey(), connected.cacheKey());

    EXPECT_EQ(host.SiteNames(), (std::vector<std::string>{"alpha", "beta"}));
    EXPECT_TRUE(host.TaskCategories().empty());
    {
        OpenTable table(*dm->Ttask);
        for (const char* name : {"Nightly", "Archive"}) {
            table->Append();
            table->FieldByName("name").SetAsString(name);
            table->Post();
        }
    }
    // The categories of the task tree, as it was last loaded.
    EXPECT_TRUE(host.TaskCategories().empty());
    form.LoadTaskTree();
    EXPECT_EQ(host.TaskCategories(), (std::vector<std::string>{"Nightly", "Archive"}));
    EXPECT_EQ(host.LocalFolder(), form.LocalPane().ShownFolder());
    form.LocalPane().SetRoot(folder_);
    EXPECT_EQ(host.LocalFolder() + "/", folder_);
}

}  // namespace
}  // namespace mainwindow::testing
