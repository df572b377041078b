#pragma once
// For tests only: a program folder of its own with fresh "all.dat" and "FTPBookmark.dat"
// (made in the test process from the shipped schemas), the engine started, the data module
// and the main window created in the program's order, and helpers that put rows into the
// tables and read the layout file.
#include <gtest/gtest.h>

#include <QApplication>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "connection/quick_connect_target.h"
#include "connection/tfb.h"
#include "mainwindow/engine_lifetime.h"
#include "mainwindow/main_form.h"
#include "platform/os/private_profile.h"
#include "platform/os/testing/temp_folder.h"
#include "platform/ui/testing/qt_test_environment.h"
#include "shared/open_table.h"
#include "shared/tab_sheet.h"
#include "shared/tdm.h"
#include "shared/testing/database_files.h"

namespace mainwindow::testing {

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Frees what deleteLater left for the event loop (the tests run outside it).
inline void FlushDeferredDeletes() {
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A quick connection to a loopback port nobody listens on: it fails at once.
inline TQuickConnectTarget UnreachableQuickTarget() {
    TQuickConnectTarget target;
    target.host = "127.0.0.1";
    target.port = 1;
    return target;
}

struct SiteValues {
    std::string name;
    std::string address = "ftp.example.org";
    int port = 21;
    std::string cdate = "2026-01-02 03:04:05";
    std::string zdate = "2026-02-03 04:05:06";
    std::string defaultpath = "/pub";
    std::string comment;
};

struct HistoryDetail {
    std::string lofile;
    std::string type = "Download";
    bool isfolder = false;
    std::string ftpfile = "";  // the local name when empty
    std::string lopath = "";   // "/l/" + lofile when empty
    std::string ftppath = "/pub/";
};

class MainFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        shared::testing::MakeDatabaseFile(folder_ + "all.dat", "all.schema");
        shared::testing::MakeDatabaseFile(folder_ + "FTPBookmark.dat", "FTPBookmark.schema");
        engine_ = std::make_unique<EngineLifetime>();
        data_ = std::make_unique<Tdm>();
        dm = data_.get();
        // Rows are put in before the window exists, through a connection of their own.
        dm->VeskDatabase1->SetFileName(folder_ + "all.dat");
        dm->VeskDatabase1->SetConnected(true);
    }

    void TearDown() override {
        form_.reset();
        Form1 = nullptr;
        data_.reset();
        dm = nullptr;
        engine_.reset();
    }

    // Creates the main window (its creation) without showing it.
    TForm1& CreateForm() {
        form_ = std::make_unique<TForm1>(folder_);
        Form1 = form_.get();
        return *form_;
    }

    // Creates and shows the main window: its first show connects the database and fills it.
    TForm1& ShowForm() {
        if (!form_)
            CreateForm();
        form_->resize(1000, 700);
        form_->show();
        QApplication::processEvents();
        return *form_;
    }

    std::int32_t AddSite(const SiteValues& site) {
        OpenTable table(*dm->Tftpsite);
        table->Append();
        table->FieldByName("name").SetAsString(site.name);
        table->FieldByName("address").SetAsString(site.address);
        table->FieldByName("port").SetAsInteger(site.port);
        table->FieldByName("cdate").SetAsString(site.cdate);
        table->FieldByName("zdate").SetAsString(site.zdate);
        table->FieldByName("defaultpath").SetAsString(site.defaultpath);
        table->FieldByName("comment").SetAsString(site.comment);
        table->Post();
        return table->FieldByName("id").AsInteger();
    }
    std::int32_t AddSite(const std::string& name) {
        SiteValues site;
        site.name = name;
        return AddSite(site);
    }
    // Sites whose pages can be opened without a server: their time-out of 0 fails every
    // connect at once (one log line, no retry), so the tests about pages need no network.
    void AddSites(std::initializer_list<const char*> names) {
        for (const char* name : names)
            AddSite(name);
    }

    std::int32_t AddHistoryHead(std::int32_t siteId, const std::string& type,
                                const std::string& date = "Thursday, 10 December 2026") {
        OpenTable table(*dm->Thm);
        table->Append();
        table->FieldByName("id").SetAsInteger(siteId);
        table->FieldByName("date").SetAsString(date);
        table->FieldByName("type").SetAsString(type);
        table->Post();
        return table->FieldByName("key").AsInteger();
    }

    // A detail row as the history writer makes one; returns its key.
    std::int32_t AddHistoryDetail(std::int32_t headKey, const HistoryDetail& d) {
        OpenTable table(*dm->Thd);
        table->Append();
        table->FieldByName("id").SetAsInteger(headKey);
        table->FieldByName("type").SetAsString(d.type);
        table->FieldByName("lofile").SetAsString(d.lofile);
        table->FieldByName("ftpfile").SetAsString(d.ftpfile.empty() ? d.lofile : d.ftpfile);
        table->FieldByName("date").SetAsString("10:00:0" + std::to_string(headKey % 10));
        table->FieldByName("date2").SetAsString("10:01:00");
        table->FieldByName("ftppath").SetAsString(d.ftppath);
        table->FieldByName("lopath").SetAsString(d.lopath.empty() ? "/l/" + d.lofile : d.lopath);
        table->FieldByName("usetime").SetAsString("1.5");
        table->FieldByName("speed").SetAsString("12.50KB/S");
        table->FieldByName("isfolder").SetAsBoolean(d.isfolder);
        table->Post();
        return table->FieldByName("key").AsInteger();
    }

    // The values of one text column in table order.
    std::vector<std::string> Column(vesk::TVeskTable& component, const char* field) {
        OpenTable table(component);
        std::vector<std::string> values;
        for (table->First(); !table->Eof(); table->Next())
            values.push_back(table->FieldByName(field).AsString());
        return values;
    }

    std::vector<std::string> SiteItems() const {
        std::vector<std::string> items;
        for (int row = 0; row < form_->SiteCount(); ++row)
            items.push_back(form_->SiteCaption(row));
        return items;
    }

    std::string LayoutValue(const char* section, const char* key) const {
        return os::GetPrivateProfileString(section, key, "<none>", folder_ + "forminfo.ini");
    }

    os::testing::TempFolder temp_{"main"};
    std::string folder_ = temp_.path() + "/";
    std::unique_ptr<EngineLifetime> engine_;
    std::unique_ptr<Tdm> data_;
    std::unique_ptr<TForm1> form_;
};

}  // namespace mainwindow::testing
