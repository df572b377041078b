#include "dialogs/site_table.h"

#include <cstdio>

#include "shared/open_table.h"
#include "shared/text_fields.h"

namespace dialogs {

namespace {

void SetText(vesk::TVeskTable& table, const char* field, const std::string& value) {
    table.FieldByName(field).SetAsString(value);
}

void SetInteger(vesk::TVeskTable& table, const char* field, int value) {
    table.FieldByName(field).SetAsInteger(value);
}

void SetFlag(vesk::TVeskTable& table, const char* field, bool value) {
    table.FieldByName(field).SetAsBoolean(value);
}

// The columns after the name and the dates, in the order both modes write them.
void SetSettingColumns(vesk::TVeskTable& table, const SiteSettings& site) {
    // The multi-line comment is the one text no edit limits as it is typed.
    shared::SetCutText(table.FieldByName("comment"), site.comment);
    SetInteger(table, "timeout", site.timeout);
    SetInteger(table, "nor", site.nor);
    SetInteger(table, "rd", site.rd);
    SetFlag(table, "vp", site.vp);
    SetText(table, "defaultpath", site.defaultpath);
    SetText(table, "proxy", site.proxy);
    SetText(table, "socks", site.socks);
    SetFlag(table, "pasv", site.pasv);
    SetFlag(table, "autorefresh", site.autorefresh);
    SetFlag(table, "cnc", site.cnc);
    SetInteger(table, "maxc", site.maxc);
}

void SetLoginColumns(vesk::TVeskTable& table, const SiteSettings& site) {
    SetText(table, "address", site.address);
    SetInteger(table, "port", site.port);
    SetText(table, "username", site.username);
    SetText(table, "password", site.password);
}

}  // namespace

std::string FormatSiteStamp(const os::LocalDateTime& m) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", m.year, m.month, m.day,
                  m.hour, m.minute, m.second);
    return text;
}

std::optional<SiteSettings> SiteTable::Read(const std::string& name) {
    OpenTable table(table_);
    if (!table->Locate("name", name))
        return std::nullopt;
    auto text = [&](const char* field) { return table->FieldByName(field).AsString(); };
    auto integer = [&](const char* field) { return table->FieldByName(field).AsInteger(); };
    auto flag = [&](const char* field) { return table->FieldByName(field).AsBoolean(); };
    SiteSettings site;
    site.name = text("name");
    site.address = text("address");
    site.port = integer("port");
    site.username = text("username");
    site.password = text("password");
    site.vp = flag("vp");
    site.comment = text("comment");
    site.defaultpath = text("defaultpath");
    site.proxy = text("proxy");
    site.socks = text("socks");
    site.pasv = flag("pasv");
    site.autorefresh = flag("autorefresh");
    site.timeout = integer("timeout");
    site.nor = integer("nor");
    site.rd = integer("rd");
    site.cnc = flag("cnc");
    site.maxc = integer("maxc");
    return site;
}

SiteWrite SiteTable::Add(const SiteSettings& site, const std::string& stamp) {
    OpenTable table(table_);
    if (table->Locate("name", site.name))
        return SiteWrite::kNameTaken;
    table->Edit();
    table->Append();
    SetLoginColumns(*table, site);
    SetText(*table, "name", site.name);
    SetText(*table, "cdate", stamp);
    SetText(*table, "zdate", stamp);
    SetSettingColumns(*table, site);
    table->Post();
    return SiteWrite::kWritten;
}

SiteWrite SiteTable::Update(const std::string& oldName, const SiteSettings& site,
                            const std::string& stamp) {
    OpenTable table(table_);
    if (site.name != oldName && table->Locate("name", site.name))
        return SiteWrite::kNameTaken;
    if (!table->Locate("name", oldName))
        return SiteWrite::kNoSuchSite;
    table->Edit();
    SetText(*table, "name", site.name);
    SetLoginColumns(*table, site);
    SetText(*table, "cdate", stamp);
    SetText(*table, "zdate", stamp);
    SetSettingColumns(*table, site);
    table->Post();
    return SiteWrite::kWritten;
}

std::vector<std::string> ReadNames(vesk::TVeskTable& component) {
    OpenTable table(component);
    std::vector<std::string> names;
    for (table->First(); !table->Eof(); table->Next())
        names.push_back(table->FieldByName("name").AsString());
    return names;
}

}  // namespace dialogs
