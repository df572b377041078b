#include "dialogs/bookmark_rows.h"

#include "shared/open_table.h"

namespace dialogs {

std::vector<std::string> ReadSiteBookmarks(vesk::TVeskTable& bookmark, std::int32_t siteId) {
    OpenTable table(bookmark);
    std::vector<std::string> paths;
    for (table->First(); !table->Eof(); table->Next()) {
        if (table->FieldByName("ftpid").AsInteger() == siteId)
            paths.push_back(table->FieldByName("path").AsString());
    }
    return paths;
}

void ReplaceSiteBookmarks(vesk::TVeskTable& bookmark, std::int32_t siteId,
                          const std::vector<std::string>& paths) {
    OpenTable table(bookmark);
    // Delete leaves the table on the row that followed, so the scan moves on only past rows
    // that stay.
    table->First();
    while (!table->Eof()) {
        if (table->FieldByName("ftpid").AsInteger() == siteId)
            table->Delete();
        else
            table->Next();
    }
    for (const std::string& path : paths) {
        table->Append();
        table->FieldByName("ftpid").SetAsInteger(siteId);
        table->FieldByName("path").SetAsString(path);
        table->Post();
    }
}

}  // namespace dialogs
