#include "mainwindow/history_tables.h"

#include "shared/open_table.h"
#include "shared/tdm.h"

namespace mainwindow {

std::vector<HistorySite> ReadHistorySites(vesk::TVeskTable& ftpsite) {
    const vesk::TField& id = ftpsite.FieldByName("id");
    const vesk::TField& name = ftpsite.FieldByName("name");
    const vesk::TField& address = ftpsite.FieldByName("address");
    std::vector<HistorySite> sites;
    for (ftpsite.First(); !ftpsite.Eof(); ftpsite.Next())
        sites.push_back({id.AsInteger(), name.AsString(), address.AsString()});
    return sites;
}

std::vector<HistoryHead> ReadHistoryHeads(vesk::TVeskTable& hmaster) {
    const vesk::TField& key = hmaster.FieldByName("key");
    const vesk::TField& id = hmaster.FieldByName("id");
    const vesk::TField& date = hmaster.FieldByName("date");
    const vesk::TField& type = hmaster.FieldByName("type");
    std::vector<HistoryHead> heads;
    for (hmaster.First(); !hmaster.Eof(); hmaster.Next())
        heads.push_back({key.AsInteger(), id.AsInteger(), date.AsString(), type.AsString()});
    return heads;
}

THistoryDetailsByHead ReadHistoryDetailsByHead(vesk::TVeskTable& hdital) {
    // The fields are looked up once: a few years of history are some hundred thousand rows.
    const vesk::TField& key = hdital.FieldByName("key");
    const vesk::TField& id = hdital.FieldByName("id");
    const vesk::TField& type = hdital.FieldByName("type");
    const vesk::TField& lofile = hdital.FieldByName("lofile");
    const vesk::TField& ftpfile = hdital.FieldByName("ftpfile");
    const vesk::TField& date = hdital.FieldByName("date");
    const vesk::TField& date2 = hdital.FieldByName("date2");
    const vesk::TField& ftppath = hdital.FieldByName("ftppath");
    const vesk::TField& lopath = hdital.FieldByName("lopath");
    const vesk::TField& usetime = hdital.FieldByName("usetime");
    const vesk::TField& speed = hdital.FieldByName("speed");
    const vesk::TField& isfolder = hdital.FieldByName("isfolder");
    THistoryDetailsByHead byHead;
    for (hdital.First(); !hdital.Eof(); hdital.Next()) {
        rhd record;
        record.type = type.AsString();
        record.date = date.AsString();
        record.date2 = date2.AsString();
        record.ftppath = ftppath.AsString();
        record.lopath = lopath.AsString();
        record.ftpfile = ftpfile.AsString();
        record.lofile = lofile.AsString();
        record.usetime = usetime.AsString();
        record.speed = speed.AsString();
        record.key = key.AsInteger();
        record.isfolder = isfolder.AsBoolean();
        byHead[id.AsInteger()].push_back(std::move(record));
    }
    return byHead;
}

bool DeleteHistoryDetail(Tdm& data, std::int32_t key) {
    OpenTable details(*data.Thd);
    if (!details->Locate("key", key))
        return false;
    details->Delete();
    return true;
}

void DeleteHistoryDay(Tdm& data, const std::vector<std::int32_t>& keys, std::int32_t siteId,
                      const std::string& date, bool upload) {
    {
        OpenTable details(*data.Thd);
        for (const std::int32_t key : keys) {
            if (details->Locate("key", key))
                details->Delete();
        }
    }
    OpenTable heads(*data.Thm);
    heads->First();
    while (!heads->Eof()) {
        // Delete leaves the table on the row that followed.
        if (heads->FieldByName("id").AsInteger() == siteId &&
            heads->FieldByName("date").AsString() == date &&
            (heads->FieldByName("type").AsString() == "Upload") == upload)
            heads->Delete();
        else
            heads->Next();
    }
}

void ClearHistoryTables(Tdm& data) {
    {
        OpenTable heads(*data.Thm);
        heads->EmptyTable();
    }
    OpenTable details(*data.Thd);
    details->EmptyTable();
}

}  // namespace mainwindow
