#include "dialogs/entry_table.h"

#include "shared/open_table.h"

namespace dialogs {

const EntryColumns kProxyColumns{"name",     "server",   "port", "login",
                                 "username", "password", "type", "typename"};
const EntryColumns kSocksColumns{"name", "host", "port", "login", "user", "pass", "sv", "svname"};

const EntryColumns& ColumnsOf(EntryKind kind) {
    return kind == EntryKind::kProxy ? kProxyColumns : kSocksColumns;
}

std::vector<EntryRow> EntryTable::Rows() {
    OpenTable table(table_);
    std::vector<EntryRow> rows;
    for (table->First(); !table->Eof(); table->Next()) {
        rows.push_back({table->FieldByName(columns_.name).AsString(),
                        table->FieldByName(columns_.address).AsString(),
                        table->FieldByName(columns_.typeName).AsString()});
    }
    return rows;
}

std::optional<EntryValues> EntryTable::Read(const std::string& name) {
    OpenTable table(table_);
    if (!table->Locate(columns_.name, name))
        return std::nullopt;
    EntryValues entry;
    entry.name = table->FieldByName(columns_.name).AsString();
    entry.address = table->FieldByName(columns_.address).AsString();
    entry.port = table->FieldByName(columns_.port).AsInteger();
    entry.login = table->FieldByName(columns_.login).AsBoolean();
    entry.user = table->FieldByName(columns_.user).AsString();
    entry.password = table->FieldByName(columns_.password).AsString();
    entry.type = table->FieldByName(columns_.type).AsInteger();
    entry.typeName = table->FieldByName(columns_.typeName).AsString();
    return entry;
}

void EntryTable::SetColumns(const EntryValues& entry) {
    table_.FieldByName(columns_.name).SetAsString(entry.name);
    table_.FieldByName(columns_.address).SetAsString(entry.address);
    table_.FieldByName(columns_.port).SetAsInteger(entry.port);
    table_.FieldByName(columns_.login).SetAsBoolean(entry.login);
    table_.FieldByName(columns_.user).SetAsString(entry.user);
    table_.FieldByName(columns_.password).SetAsString(entry.password);
    table_.FieldByName(columns_.type).SetAsInteger(entry.type);
    table_.FieldByName(columns_.typeName).SetAsString(entry.typeName);
}

EntryWrite EntryTable::Add(const EntryValues& entry) {
    OpenTable table(table_);
    if (table->Locate(columns_.name, entry.name))
        return EntryWrite::kNameTaken;
    table->Edit();
    table->Append();
    SetColumns(entry);
    table->Post();
    return EntryWrite::kWritten;
}

EntryWrite EntryTable::Update(const std::string& oldName, const EntryValues& entry) {
    OpenTable table(table_);
    if (entry.name != oldName && table->Locate(columns_.name, entry.name))
        return EntryWrite::kNameTaken;
    if (!table->Locate(columns_.name, oldName))
        return EntryWrite::kNoSuchEntry;
    table->Edit();
    SetColumns(entry);
    table->Post();
    return EntryWrite::kWritten;
}

EntryWrite EntryTable::Remove(const std::string& name) {
    OpenTable table(table_);
    if (!table->Locate(columns_.name, name))
        return EntryWrite::kNoSuchEntry;
    table->Delete();
    return EntryWrite::kWritten;
}

}  // namespace dialogs
