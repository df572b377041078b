#pragma once
// The connection page of the folder-tree benchmark: logged in to the benchmark's server, in
// binary transfer mode, moving one folder tree per call.
#include <memory>
#include <string>

#include "connection/page_host.h"
#include "tests/ftp_servers/ftp_account.h"

class Tfb;

namespace bench {

class TreePage {
  public:
    // Connects; throws what the component throws.
    explicit TreePage(const ftptest::FtpAccount& account);
    ~TreePage();

    // The remote folder `name` of the account's folder into the new local folder `localPath`.
    void Download(const std::string& name, const std::string& localPath);
    // The local folder `localPath` into the new remote folder `name` of the account's folder.
    void Upload(const std::string& localPath, const std::string& name);

  private:
    class Host : public TPageHost {
      public:
        void SavePageLayout(Tfb&) override {}
        void SetUploadEnabled(bool) override {}
        bool IsActivePage(const Tfb&) const override { return true; }
        void SetPageImage(Tfb&, int) override {}
        std::vector<std::string> SiteNames() const override { return {}; }
        std::string LocalFolder() const override { return "/"; }
    };

    ftptest::FtpAccount account_;
    Host host_;
    std::unique_ptr<Tfb> page_;
};

}  // namespace bench
