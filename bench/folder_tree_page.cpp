#include "bench/folder_tree_page.h"

#include "connection/page_session.h"
#include "connection/tfb.h"

namespace bench {

TreePage::TreePage(const ftptest::FtpAccount& account)
    : account_(account), page_(std::make_unique<Tfb>(host_)) {
    Tfb& page = *page_;
    page.IdFTP1.Host = account.host;
    page.IdFTP1.Port = account.port;
    page.IdFTP1.Username = account.user;
    page.IdFTP1.Password = account.password;
    page.IdFTP1.Passive = true;
    page.IdFTP1.ReadTimeout = 60000;
    page.FSite.transfermode = "binary";
    const TExchangeGuard::Exchange exchange(page.Session().Guard());
    page.IdFTP1.Connect(true, 10000);
    page.FCurrentDir = account.remote_folder;
    page.ChangeDirAndList(account.remote_folder);
}

TreePage::~TreePage() = default;

void TreePage::Download(const std::string& name, const std::string& localPath) {
    Tfb& page = *page_;
    const TExchangeGuard::Exchange exchange(page.Session().Guard());
    page.Session().EnterFolder(account_.remote_folder);
    page.DownloadFolderTree(name, localPath, "", -1);
}

void TreePage::Upload(const std::string& localPath, const std::string& name) {
    Tfb& page = *page_;
    const TExchangeGuard::Exchange exchange(page.Session().Guard());
    page.Session().EnterFolder(account_.remote_folder);
    page.IdFTP1.MakeDir(name);
    page.Session().ChangeDir(name);
    page.UploadFolderTree(localPath + "/");
}

}  // namespace bench
