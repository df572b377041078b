#pragma once
// For tests only: the rig of the dialog tests. A folder of its own with a fresh "all.dat"
// made from the shipped schema (no rows in any table), the engine started, the data module
// connected to it, the clock fixed, the UI services scripted, the help recorded and a modal
// driver for the dialogs; a dialogs' host that records what the dialogs ask of the main
// window; and helpers that put rows in and read them back.
#include <gtest/gtest.h>

#include <QLineEdit>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/dialogs_host.h"
#include "engine/session_list.h"
#include "engine/testing/scoped_algorithms.h"
#include "platform/os/clock.h"
#include "platform/os/testing/temp_folder.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"
#include "platform/ui/testing/qt_test_environment.h"
#include "platform/ui/testing/recorded_help.h"
#include "platform/ui/testing/scripted_ui.h"
#include "shared/open_table.h"
#include "shared/tdm.h"
#include "shared/testing/database_files.h"

namespace dialogs::testing {

// One quick-connect page request.
struct QuickPage {
    std::string host;
    int port = 0;
    std::string user;
    std::string password;
    bool passive = false;
    bool operator==(const QuickPage&) const = default;
};

inline void PrintTo(const QuickPage& page, std::ostream* out) {
    *out << "{" << page.host << ", " << page.port << ", " << page.user << ", " << page.password
         << ", " << page.passive << "}";
}

class RecordingHost : public TDialogsHost {
  public:
    void LoadSiteList() override { ++siteListLoads; }
    void OpenSitePage(const std::string& name, bool quickConnect) override {
        sitePages.push_back(name + (quickConnect ? " (quick)" : ""));
    }
    void OpenQuickConnectPage(const std::string& host, int port, const std::string& user,
                              const std::string& password, bool passive) override {
        quickPages.push_back({host, port, user, password, passive});
        if (onQuickPage)
            onQuickPage();
    }
    void ReloadPageOptions() override { ++optionReloads; }
    void SetLocalBookmarks(const std::vector<std::string>& folders) override {
        localBookmarks = folders;
    }
    void SaveLocalBookmarks() override {}
    std::vector<Tfb*> Pages() const override { return pages; }
    QWidget* DialogParent() override { return nullptr; }

    int siteListLoads = 0;
    int optionReloads = 0;
    std::vector<std::string> sitePages;
    std::vector<QuickPage> quickPages;
    std::vector<std::string> localBookmarks;
    std::vector<Tfb*> pages;            // the open pages, as Pages() gives them
    std::function<void()> onQuickPage;  // runs inside OpenQuickConnectPage
};

// The engine's start-up and shut-down around one test.
class ScopedEngine {
  public:
    ScopedEngine() { vesk::VeskDB_Initialization(); }
    ~ScopedEngine() { vesk::VeskDB_Finalization(); }
    ScopedEngine(const ScopedEngine&) = delete;
    ScopedEngine& operator=(const ScopedEngine&) = delete;

  private:
    engine_testing::ScopedStandardAlgorithms algorithms_;
};

class DialogsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        shared::testing::MakeDatabaseFile(folder_ + "all.dat", "all.schema");
        engine_ = std::make_unique<ScopedEngine>();
        data_ = std::make_unique<Tdm>();
        dm = data_.get();
        dm->VeskDatabase1->SetFileName(folder_ + "all.dat");
        dm->VeskDatabase1->SetConnected(true);
        os::SetFixedNow(os::LocalDateTime{2026, 12, 10, 14, 5, 6, 0});
    }

    void TearDown() override {
        os::SetFixedNow(std::nullopt);
        data_.reset();
        dm = nullptr;
        engine_.reset();
    }

    // Puts a row into `table` with the given text, integer and boolean columns.
    struct Column {
        const char* name;
        std::string text;
        int integer = 0;
        bool flag = false;
        enum Kind { kText, kInteger, kFlag } kind = kText;
    };
    static Column Text(const char* name, std::string value) {
        return {name, std::move(value), 0, false, Column::kText};
    }
    static Column Int(const char* name, int value) {
        return {name, {}, value, false, Column::kInteger};
    }
    static Column Flag(const char* name, bool value) { return {name, {}, 0, value, Column::kFlag}; }
    static void AddRow(vesk::TVeskTable& component, const std::vector<Column>& columns) {
        OpenTable table(component);
        table->Append();
        for (const Column& column : columns) {
            vesk::TField& field = table->FieldByName(column.name);
            if (column.kind == Column::kText)
                field.SetAsString(column.text);
            else if (column.kind == Column::kInteger)
                field.SetAsInteger(column.integer);
            else
                field.SetAsBoolean(column.flag);
        }
        table->Post();
    }

    // The values of one column as text, in table order.
    static std::vector<std::string> ColumnTexts(vesk::TVeskTable& component, const char* field) {
        OpenTable table(component);
        std::vector<std::string> values;
        for (table->First(); !table->Eof(); table->Next())
            values.push_back(table->FieldByName(field).AsString());
        return values;
    }

    // "a" followed by `characters` two-byte characters ("\xC3\xA9"), as UTF-8 bytes.
    static std::string LongText(int characters) {
        std::string text = "a";
        for (int i = 0; i < characters; ++i)
            text += "\xC3\xA9";
        return text;
    }

    // Pastes a text longer than `limit` bytes over the whole of `edit`, as a person does, and
    // expects the edit to take its longest start that fits: "a" and (limit - 1) / 2 of the
    // two-byte characters. Returns the text the edit took.
    static std::string ExpectByteLimit(QLineEdit& edit, std::size_t limit) {
        edit.selectAll();
        edit.insert(QString::fromStdString(LongText(static_cast<int>(limit))));
        const std::string taken = edit.text().toStdString();
        EXPECT_EQ(taken, LongText(static_cast<int>((limit - 1) / 2)))
            << edit.objectName().toStdString() << " limited to " << limit;
        return taken;
    }

    static int RowCount(vesk::TVeskTable& component) {
        OpenTable table(component);
        int rows = 0;
        for (table->First(); !table->Eof(); table->Next())
            ++rows;
        return rows;
    }

    // Every table of the data module is closed (no action left one open).
    static bool AllTablesClosed() {
        for (vesk::TVeskTable* table :
             {dm->Tftpsite.get(), dm->Toption.get(), dm->Tproxy.get(), dm->Tsocks.get(),
              dm->Tantiidle.get(), dm->Tascext.get(), dm->Tquick.get()}) {
            if (table->State() != vesk::TDataSetState::dsInactive)
                return false;
        }
        return true;
    }

    os::testing::TempFolder temp_{"dialogs"};
    std::string folder_ = temp_.path() + "/";
    std::unique_ptr<ScopedEngine> engine_;
    std::unique_ptr<Tdm> data_;
    ui::ScriptedUi ui_{ui::GtestFailure()};
    ui::RecordedHelp help_;
    ui::ModalDriver driver_{ui::GtestFailure()};
    RecordingHost host_;
};

}  // namespace dialogs::testing
