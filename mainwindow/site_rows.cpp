#include "mainwindow/site_rows.h"

#include <string_view>
#include <unordered_set>

#include "shared/open_table.h"
#include "shared/tdm.h"

namespace mainwindow {

namespace {

std::string Text(const vesk::TVeskTable& table, std::string_view field) {
    return table.FieldByName(field).AsString();
}

}  // namespace

std::vector<SiteRow> ReadSiteRows(vesk::TVeskTable& ftpsite) {
    OpenTable table(ftpsite);
    std::vector<SiteRow> rows;
    for (table->First(); !table->Eof(); table->Next())
        rows.push_back({Text(*table, "name"), Text(*table, "address"), Text(*table, "cdate"),
                        Text(*table, "zdate")});
    return rows;
}

std::optional<std::string> SiteDescription(vesk::TVeskTable& ftpsite, const std::string& name) {
    OpenTable table(ftpsite);
    if (!table->Locate("name", name))
        return std::nullopt;
    std::string text = "FTP address : " + Text(*table, "address") + "\n";
    text += "Port : " + std::to_string(table->FieldByName("port").AsInteger()) + "\n";
    text += "Create date : " + Text(*table, "cdate") + "\n";
    text += "Latest date : " + Text(*table, "zdate") + "\n";
    text += "Default ftp path : " + Text(*table, "defaultpath") + "\n";
    text += "Comment : ";
    // The comment's own lines follow, whatever line ends the dialog stored them with.
    std::string comment;
    for (const char c : Text(*table, "comment")) {
        if (c != '\r')
            comment += c;
    }
    if (!comment.empty())
        text += "\n" + comment;
    return text;
}

RenameOutcome RenameSiteRow(vesk::TVeskTable& ftpsite, const std::string& oldName,
                            const std::string& newName) {
    OpenTable table(ftpsite);
    if (table->Locate("name", newName))
        return RenameOutcome::kNameTaken;
    if (!table->Locate("name", oldName))
        return RenameOutcome::kNoSuchSite;
    table->Edit();
    table->FieldByName("name").SetAsString(newName);
    table->Post();
    return RenameOutcome::kRenamed;
}

void DeleteHistoryOfSite(Tdm& data, std::int32_t siteId) {
    // One pass over each table: the heads first, remembering their keys, then every detail
    // under one of them. Delete leaves the table on the row that followed.
    std::unordered_set<std::int32_t> keys;
    {
        OpenTable heads(*data.Thm);
        heads->First();
        while (!heads->Eof()) {
            if (heads->FieldByName("id").AsInteger() == siteId) {
                keys.insert(heads->FieldByName("key").AsInteger());
                heads->Delete();
            } else {
                heads->Next();
            }
        }
    }
    OpenTable details(*data.Thd);
    details->First();
    while (!details->Eof()) {
        if (keys.count(details->FieldByName("id").AsInteger()) != 0)
            details->Delete();
        else
            details->Next();
    }
}

void DeleteSiteWithHistory(Tdm& data, const std::string& name) {
    OpenTable sites(*data.Tftpsite);
    if (!sites->Locate("name", name))
        return;
    DeleteHistoryOfSite(data, sites->FieldByName("id").AsInteger());
    sites->Delete();
}

}  // namespace mainwindow
