#pragma once
// The reads and writes of the proxy and SOCKS lists (tables `proxy` and `socks`), which the
// options dialog and the proxy and SOCKS entry dialogs share. The two tables have the same
// shape under other column names; an EntryColumns names them. Rows are found by `name`
// exactly (letter case counts). Each call opens the table and closes it again, also when it
// throws; a write that fails leaves no row half-posted. Errors are the engine's.
#include <optional>
#include <string>
#include <vector>

namespace vesk {
class TVeskTable;
}

namespace dialogs {

// Which of the two lists: the FTP proxies or the SOCKS servers.
enum class EntryKind { kProxy, kSocks };

// The column names of one of the two tables, in the order a row's columns are written.
struct EntryColumns {
    const char* name;
    const char* address;  // the proxy server, the SOCKS host
    const char* port;
    const char* login;
    const char* user;
    const char* password;
    const char* type;      // the proxy type, the SOCKS version (an index, -1 for none)
    const char* typeName;  // its text, empty for none
};

extern const EntryColumns kProxyColumns;
extern const EntryColumns kSocksColumns;
const EntryColumns& ColumnsOf(EntryKind kind);

struct EntryValues {
    std::string name;
    std::string address;
    int port = 0;
    bool login = false;
    std::string user;
    std::string password;
    int type = -1;
    std::string typeName;

    bool operator==(const EntryValues&) const = default;
};

// One row of the options dialog's proxy or SOCKS list.
struct EntryRow {
    std::string name;
    std::string address;
    std::string typeName;

    bool operator==(const EntryRow&) const = default;
};

enum class EntryWrite {
    kWritten,     // the row was added or changed
    kNameTaken,   // another row carries the name; nothing written
    kNoSuchEntry  // edit or remove: no row carries the name; nothing written
};

class EntryTable {
  public:
    // Both must outlive the object.
    EntryTable(vesk::TVeskTable& table, const EntryColumns& columns)
        : table_(table), columns_(columns) {}

    std::vector<EntryRow> Rows();
    std::optional<EntryValues> Read(const std::string& name);
    // Appends the entry unless one with its exact name exists.
    EntryWrite Add(const EntryValues& entry);
    // Changes the row named `oldName` in place unless the name changed and another row
    // carries the new one.
    EntryWrite Update(const std::string& oldName, const EntryValues& entry);
    // Deletes the row named `name`.
    EntryWrite Remove(const std::string& name);

  private:
    void SetColumns(const EntryValues& entry);

    vesk::TVeskTable& table_;
    const EntryColumns& columns_;
};

}  // namespace dialogs
