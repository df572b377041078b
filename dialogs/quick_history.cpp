#include "dialogs/quick_history.h"

#include "shared/open_table.h"

namespace dialogs {

std::vector<std::string> QuickHistory::Servers() {
    OpenTable table(table_);
    std::vector<std::string> servers;
    for (table->First(); !table->Eof(); table->Next())
        servers.push_back(table->FieldByName("ftp").AsString());
    return servers;
}

std::optional<QuickServer> QuickHistory::Find(const std::string& ftp) {
    OpenTable table(table_);
    if (!table->Locate("ftp", ftp))
        return std::nullopt;
    return QuickServer{table->FieldByName("ftp").AsString(), table->FieldByName("port").AsInteger(),
                       table->FieldByName("user").AsString(), table->FieldByName("pass").AsString(),
                       table->FieldByName("pasv").AsBoolean()};
}

void QuickHistory::Save(const QuickServer& server) {
    OpenTable table(table_);
    if (table->Locate("ftp", server.ftp)) {
        table->Edit();
    } else {
        table->Edit();
        table->Insert();
    }
    table->FieldByName("ftp").SetAsString(server.ftp);
    table->FieldByName("user").SetAsString(server.user);
    table->FieldByName("pass").SetAsString(server.pass);
    table->FieldByName("port").SetAsInteger(server.port);
    table->FieldByName("pasv").SetAsBoolean(server.pasv);
    table->Post();
}

void QuickHistory::Clear() {
    OpenTable table(table_);
    table->EmptyTable();
}

}  // namespace dialogs
