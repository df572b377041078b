#pragma once
// What the tests of duplicate answers, resume and folder trees share: a page with the real
// duplicate-file dialog behind it (TPageDialogBox over a quiet dialogs host), local trees made
// and read back whole, and the scripted server's listings.
#include <map>
#include <string>
#include <vector>

#include "dialogs/dialogs_host.h"
#include "dialogs/page_dialog_box.h"
#include "platform/os/program_folder.h"

namespace pagetest {

// A dialogs host for pages without the main window: nothing to reload, no parent window.
class QuietDialogsHost : public TDialogsHost {
  public:
    void LoadSiteList() override {}
    void OpenSitePage(const std::string&, bool) override {}
    void SetLocalBookmarks(const std::vector<std::string>&) override {}
    void OpenQuickConnectPage(const std::string&, int, const std::string&, const std::string&,
                              bool) override {}
    void ReloadPageOptions() override {}
    void SaveLocalBookmarks() override {}
    std::vector<Tfb*> Pages() const override { return {}; }
    QWidget* DialogParent() override { return nullptr; }
};

// The page dialogs as the main window hands them to pages.
struct RealPageDialogs {
    QuietDialogsHost host;
    TPageDialogBox box{host, os::ProgramFolder()};
};

// A tree of 3 levels below `root` (which must exist): files with spaces in their names, a
// zero-byte file, empty folders on two levels. Contents are seeded random bytes.
void MakeSampleTree(const std::string& root);

// The size and a 64-bit hash of `bytes`, for comparisons whose failures stay readable.
std::string Fingerprint(const std::string& bytes);

// Every entry below `root` by its relative path: a folder as "<folder>", a file as its
// Fingerprint.
// Links are not followed (a link shows as "<link>").
std::map<std::string, std::string> TreeOf(const std::string& root);

// The entries of a folder directly below `root`, by name (no recursion), "." and ".." left out.
std::vector<std::string> NamesIn(const std::string& folder);

// A scripted-server reply that sends `lines` (JSON-escaped, each ending in \r\n) as a listing.
std::string ListingReply(const std::string& lines);

}  // namespace pagetest
