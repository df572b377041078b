#include "dialogs/options_tables.h"

#include "shared/open_table.h"

namespace dialogs {

OptionsValues OptionsTables::ReadOptions(vesk::TVeskTable& component) {
    OpenTable table(component);
    OptionsValues values;
    values.eanti = table->FieldByName("eanti").AsBoolean();
    values.interval = table->FieldByName("interval").AsInteger();
    values.transfermode = table->FieldByName("transfermode").AsString();
    values.transferc = table->FieldByName("transferc").AsString();
    values.recvb = table->FieldByName("recvb").AsInteger();
    values.sendb = table->FieldByName("sendb").AsInteger();
    values.appe = table->FieldByName("appe").AsBoolean();
    return values;
}

void OptionsTables::WriteOptions(vesk::TVeskTable& component, const OptionsValues& values) {
    OpenTable table(component);
    table->Edit();
    table->FieldByName("eanti").SetAsBoolean(values.eanti);
    table->FieldByName("interval").SetAsInteger(values.interval);
    table->FieldByName("transfermode").SetAsString(values.transfermode);
    table->FieldByName("transferc").SetAsString(values.transferc);
    table->FieldByName("recvb").SetAsInteger(values.recvb);
    table->FieldByName("sendb").SetAsInteger(values.sendb);
    table->FieldByName("appe").SetAsBoolean(values.appe);
    table->Post();
}

std::vector<CheckedText> OptionsTables::ReadList(vesk::TVeskTable& component,
                                                 const char* textColumn) {
    OpenTable table(component);
    std::vector<CheckedText> entries;
    for (table->First(); !table->Eof(); table->Next()) {
        entries.push_back(
            {table->FieldByName(textColumn).AsString(), table->FieldByName("tf").AsBoolean()});
    }
    return entries;
}

namespace {

void ReplaceRows(vesk::TVeskTable& component, const char* textColumn,
                 const std::vector<CheckedText>& entries) {
    OpenTable table(component);
    table->EmptyTable();
    for (const CheckedText& entry : entries) {
        table->Edit();
        table->Append();
        table->FieldByName(textColumn).SetAsString(entry.text);
        table->FieldByName("tf").SetAsBoolean(entry.checked);
        table->Post();
    }
}

}  // namespace

void OptionsTables::WriteList(vesk::TVeskTable& component, const char* textColumn,
                              const std::vector<CheckedText>& entries) {
    // A list the table refuses part of (a text too long for its column) would be left half
    // written: the stored list is put back before the error goes on.
    const std::vector<CheckedText> stored = ReadList(component, textColumn);
    try {
        ReplaceRows(component, textColumn, entries);
    } catch (...) {
        try {
            ReplaceRows(component, textColumn, stored);
        } catch (...) {
            // The first error is the one to report; the table is closed either way.
        }
        throw;
    }
}

bool OptionsTables::SetCheckMark(vesk::TVeskTable& component, const char* textColumn,
                                 const std::string& text, bool checked) {
    OpenTable table(component);
    if (!table->Locate(textColumn, text))
        return false;
    table->Edit();
    table->FieldByName("tf").SetAsBoolean(checked);
    table->Post();
    return true;
}

}  // namespace dialogs
