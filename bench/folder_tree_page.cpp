#include "bench/folder_tree_page.h"

#include <filesystem>
#include <stdexcept>

#include "connection/page_session.h"
#include "connection/protocol_log.h"
#include "connection/rupdown.h"
#include "connection/tfb.h"
#include "shared/tdm.h"

namespace bench {

namespace {

rupdown FolderEntry(int direction, const std::string& name, const std::string& localPath) {
    rupdown entry;
    entry.direction = direction;
    entry.lopath = localPath;
    entry.ftppath = "0";
    entry.name = name;
    entry.isfolder = true;
    entry.rdate = "?";
    return entry;
}

}  // namespace

TreePage::TreePage(const ftptest::FtpAccount& account) {
    std::filesystem::copy_file(std::string(ZANTROPE_APP_DIR) + "/all.dat", folder_.File("all.dat"));
    data_ = std::make_unique<Tdm>();
    dm = data_.get();
    dm->VeskDatabase1->SetFileName(folder_.File("all.dat"));
    dm->VeskDatabase1->SetConnected(true);
    page_ = std::make_unique<Tfb>(host_);
    Tfb& page = *page_;
    PointPageAt(page, account);
    page.FSite.transfermode = "binary";
    const TExchangeGuard::Exchange exchange(page.Session().Guard());
    page.IdFTP1.Connect(true, 10000);
    page.FStartDir = account.remote_folder;
    page.FCurrentDir = account.remote_folder;
    page.ChangeDirAndList(account.remote_folder);
}

TreePage::~TreePage() {
    page_.reset();
    dm = nullptr;
}

void TreePage::RunQueue() {
    Tfb& page = *page_;
    page.StartQueueRun(false);
    if (!page.FQueue.empty()) {
        const TProtocolLog& log = page.Log();
        throw std::runtime_error("the queue run failed: " +
                                 (log.RowCount() > 0 ? log.Caption(log.RowCount() - 1) : "?"));
    }
}

void TreePage::Download(const std::string& name, const std::string& localPath) {
    page_->AddQueueEntry(FolderEntry(1, name, localPath));
    RunQueue();
}

void TreePage::Upload(const std::string& localPath) {
    page_->AddQueueEntry(
        FolderEntry(0, std::filesystem::path(localPath).filename().string(), localPath));
    RunQueue();
}

}  // namespace bench
