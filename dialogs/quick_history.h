#pragma once
// The quick-connect dialog's history of servers (table `quickftp`): one row per server text,
// found by `ftp` exactly (letter case counts). Each call opens the table and closes it again,
// also when it throws; a write that fails leaves no row half-posted. Passwords are stored as
// typed, in plain text, in this table only. Errors are the engine's.
#include <optional>
#include <string>
#include <vector>

namespace vesk {
class TVeskTable;
}

namespace dialogs {

struct QuickServer {
    std::string ftp;
    int port = 21;
    std::string user;
    std::string pass;
    bool pasv = true;

    bool operator==(const QuickServer&) const = default;
};

class QuickHistory {
  public:
    // `quickftp` must outlive the object.
    explicit QuickHistory(vesk::TVeskTable& quickftp) : table_(quickftp) {}

    // The `ftp` texts, first row to last.
    std::vector<std::string> Servers();
    std::optional<QuickServer> Find(const std::string& ftp);
    // Changes the row of `server.ftp`, or adds one when there is none.
    void Save(const QuickServer& server);
    // Empties the table.
    void Clear();

  private:
    vesk::TVeskTable& table_;
};

}  // namespace dialogs
