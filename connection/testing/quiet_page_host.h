#pragma once
// For tests only: a page host that answers from fixed values and records nothing, for pages
// tested without the main window.
#include <string>
#include <utility>
#include <vector>

#include "connection/page_host.h"

namespace connection_testing {

class QuietPageHost : public TPageHost {
  public:
    QuietPageHost() = default;
    QuietPageHost(std::vector<std::string> siteNames, std::vector<std::string> taskCategories,
                  std::string localFolder = "-1")
        : siteNames_(std::move(siteNames)),
          taskCategories_(std::move(taskCategories)),
          localFolder_(std::move(localFolder)) {}

    void SavePageLayout(Tfb&) override {}
    void SetUploadEnabled(bool) override {}
    bool IsActivePage(const Tfb&) const override { return true; }
    void SetPageImage(Tfb&, int) override {}
    std::vector<std::string> SiteNames() const override { return siteNames_; }
    std::string LocalFolder() const override { return localFolder_; }
    std::vector<std::string> TaskCategories() const override { return taskCategories_; }

  private:
    std::vector<std::string> siteNames_;
    std::vector<std::string> taskCategories_;
    std::string localFolder_ = "-1";
};

}  // namespace connection_testing
