#pragma once
// The connection page of the folder-tree benchmark: logged in to the benchmark's server, in
// binary transfer mode, with a data module over a copy of the shipped "all.dat" (the run
// writes its history rows there), moving one folder tree per queue run.
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_page.h"
#include "mainwindow/engine_lifetime.h"
#include "tests/ftp_servers/ftp_account.h"
#include "tests/ftp_servers/temp_folder.h"

class Tdm;
class Tfb;

namespace bench {

class TreePage {
  public:
    // Connects; throws what the component throws.
    explicit TreePage(const ftptest::FtpAccount& account);
    ~TreePage();

    // One queue run of one download entry: the remote folder `name` of the account's folder
    // into the new local folder `localPath`. Throws when the entry failed.
    void Download(const std::string& name, const std::string& localPath);
    // One queue run of one upload entry: the local folder `localPath` into a new remote folder
    // of its name in the account's folder.
    void Upload(const std::string& localPath);
    // The longest gap between two event-loop turns during the last queue run, in seconds.
    double LastLongestGap() const { return lastLongestGap_; }

  private:
    void RunQueue();

    ftptest::TempFolder folder_{"tree-bench-data"};
    EngineLifetime engine_;
    std::unique_ptr<Tdm> data_;
    BenchHost host_;
    std::unique_ptr<Tfb> page_;
    double lastLongestGap_ = 0;
};

}  // namespace bench
