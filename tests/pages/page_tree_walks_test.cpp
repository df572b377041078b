// The page's three walks down remote folder trees (CHMOD, delete, export) against the scripted
// server, which checks the exact commands: dot entries anywhere in a listing are passed over,
// a folder's own command comes before its entries, a failed step of a delete lists the folder
// again, and the export file equals its fixture byte for byte.
#include <gtest/gtest.h>

#include <QTreeWidget>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "connection/page_dialogs.h"
#include "connection/page_session.h"
#include "connection/protocol_log.h"
#include "connection/remote_tree_walk.h"
#include "platform/os/clock.h"
#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/qt_test_environment.h"
#include "platform/ui/testing/scripted_ui.h"
#include "tests/ftp_servers/scripted_login.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/ftp_servers/temp_folder.h"
#include "tests/pages/listing_page_rig.h"

namespace pagetest {
namespace {

using ftptest::ScriptedServer;

// One expected command and the server's reply (a JSON value).
struct Step {
    std::string expect;
    std::string reply = R"("250 Ok")";
};

// The command line a step expects (its regex written out).
std::string Command(const Step& step) {
    return step.expect == "CWD [.][.]" ? "CWD .." : step.expect;
}

std::string Script(const std::vector<Step>& steps) {
    std::string json = R"({"builtin_data": true, "steps": [)";
    for (std::size_t i = 0; i < steps.size(); ++i) {
        json += (i == 0 ? "" : ",") + std::string(R"({"expect": ")") + steps[i].expect +
                R"(", "reply": )" + steps[i].reply + "}";
    }
    return json + R"(], "rules": [)" + ftptest::kLoginRules + "]}";
}

std::string Pwd(const std::string& folder) {
    return R"("257 \")" + folder + R"(\" is current")";
}

// A LIST reply with these listing lines.
std::string Listing(const std::vector<std::string>& lines) {
    std::string data;
    for (const std::string& line : lines)
        data += line + R"(\r\n)";
    return R"(["150 Here it comes", {"data_send": ")" + data + R"("}, "226 Done"])";
}

std::string Dir(const std::string& name) {
    return "drwxr-xr-x 2 ann staff 4096 Mar 05 2024 " + name;
}

std::string File(const std::string& name, int size, const char* day = "Mar 06 2024") {
    return "-rw-r--r-- 1 ann staff " + std::to_string(size) + " " + day + " " + name;
}

// The steps of ListingPage::Connect("/") with this root listing.
std::vector<Step> ConnectSteps(const std::vector<std::string>& root) {
    return {{"CWD /"}, {"TYPE A", R"("200 Type set")"}, {"PWD", Pwd("/")}, {"LIST", Listing(root)}};
}

ftptest::FtpAccount At(const ScriptedServer& server) {
    return {"127.0.0.1", server.port(), "alice", "secret", "/", ""};
}

// The commands the server received after the first `skip` ones, without PASV.
std::vector<std::string> After(const ScriptedServer& server, std::size_t skip) {
    std::vector<std::string> commands;
    const std::vector<std::string> recorded = server.Recorded();
    for (std::size_t i = skip; i < recorded.size(); ++i) {
        if (recorded[i] != "PASV")
            commands.push_back(recorded[i]);
    }
    return commands;
}

// The permissions dialog answered by the test: the mode it leaves in the page and its result.
class AnsweredPermissions : public TPageDialogs {
  public:
    AnsweredPermissions(int mode, int result) : mode_(mode), result_(result) {}
    int AskDuplicate(Tfb&) override { return ui::mrCancel; }
    int ShowDownloadTarget(Tfb&) override { return ui::mrCancel; }
    int ShowFind(Tfb&) override { return ui::mrCancel; }
    int ShowFilter(Tfb&) override { return ui::mrCancel; }
    int ShowPermissions(Tfb& page) override {
        page.FChmodMode = mode_;
        return result_;
    }
    int ShowBookmarkManager(Tfb&) override { return ui::mrCancel; }
    int ShowAddTask(Tfb&) override { return ui::mrCancel; }

  private:
    int mode_;
    int result_;
};

void SelectNames(ListingPage& rig, const std::vector<std::string>& names) {
    std::vector<int> rows;
    for (const std::string& name : names)
        rows.push_back(rig.RowOf(name));
    rig.page().ListView2->SelectRows(rows);
}

const std::vector<std::string> kChmodRoot = {Dir("d1"), Dir("d2")};

// Two folders, recursive: each folder's own command first, then its entries depth first from
// the last listed to the first, dot entries in the middle of a listing passed over; a refusal
// is accepted; the folder is listed again at the end.
TEST(PageTreeWalks, RecursiveChmodSendsEachFolderFirstThenItsEntriesDepthFirst) {
    std::vector<Step> steps = ConnectSteps(kChmodRoot);
    const std::vector<Step> chmod = {
        {"SITE CHMOD 750 d1", R"("200 SITE CHMOD command successful")"},
        {"CWD d1"},
        {"PWD", Pwd("/d1")},
        {"LIST", Listing({File("f1", 1), Dir("."), Dir("sub"), Dir(".."), File("f2", 1)})},
        {"SITE CHMOD 750 f2", R"("200 Ok")"},
        {"SITE CHMOD 750 sub", R"("200 Ok")"},
        {"CWD sub"},
        {"PWD", Pwd("/d1/sub")},
        {"LIST", Listing({Dir("."), Dir(".."), File("g1", 1)})},
        {"SITE CHMOD 750 g1", R"("200 Ok")"},
        {"CWD [.][.]"},
        {"SITE CHMOD 750 f1", R"("200 Ok")"},
        {"CWD [.][.]"},
        {"CWD /"},
        {"SITE CHMOD 750 d2", R"("550 Not allowed")"},
        {"CWD d2"},
        {"PWD", Pwd("/d2")},
        {"LIST", Listing({})},
        {"CWD [.][.]"},
        {"CWD /"},
        {"PWD", Pwd("/")},
        {"LIST", Listing(kChmodRoot)},
    };
    steps.insert(steps.end(), chmod.begin(), chmod.end());
    ScriptedServer server(ScriptedServer::Mode::kFtp, Script(steps));
    ListingPage rig(At(server), false);
    AnsweredPermissions dialog(750, ui::mrOk);
    rig.page().SetDialogs(&dialog);
    rig.Connect("/");
    const std::size_t connected = server.Recorded().size();
    SelectNames(rig, {"d1", "d2"});
    rig.page().Properties1Click();
    std::vector<std::string> expected;
    for (const Step& step : chmod)
        expected.push_back(Command(step));
    EXPECT_EQ(After(server, connected), expected);
    EXPECT_FALSE(rig.LoggedError());
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"d1", "d2"}));
}

// Result 3 changes the selected entries only; Cancel sends nothing.
TEST(PageTreeWalks, ChmodWithoutSubfoldersChangesOnlyTheSelectedEntries) {
    std::vector<Step> steps = ConnectSteps(kChmodRoot);
    const std::vector<Step> chmod = {
        {"SITE CHMOD 644 d1", R"("200 Ok")"},
        {"SITE CHMOD 644 d2", R"("200 Ok")"},
        {"CWD /"},
        {"PWD", Pwd("/")},
        {"LIST", Listing(kChmodRoot)},
    };
    steps.insert(steps.end(), chmod.begin(), chmod.end());
    ScriptedServer server(ScriptedServer::Mode::kFtp, Script(steps));
    ListingPage rig(At(server), false);
    rig.Connect("/");
    const std::size_t connected = server.Recorded().size();
    SelectNames(rig, {"d1", "d2"});
    AnsweredPermissions cancelled(644, ui::mrCancel);
    rig.page().SetDialogs(&cancelled);
    rig.page().Properties1Click();
    EXPECT_TRUE(After(server, connected).empty());
    AnsweredPermissions flat(644, ui::mrAbort);
    rig.page().SetDialogs(&flat);
    rig.page().Properties1Click();
    std::vector<std::string> expected;
    for (const Step& step : chmod)
        expected.push_back(Command(step));
    EXPECT_EQ(After(server, connected), expected);
}

// A folder whose listing has dot entries in the middle is deleted completely; a failed step
// of the next delete ends it with a log line and lists the folder again.
TEST(PageTreeWalks, DeleteWalksPastDotEntriesAndListsAgainAfterAFailedStep) {
    const std::vector<std::string> root = {Dir("d"), Dir("e"), File("f.txt", 3)};
    std::vector<Step> steps = ConnectSteps(root);
    const std::vector<Step> first = {
        {"CWD d"},
        {"LIST", Listing({File("a1", 1), Dir("."), Dir("s"), Dir(".."), File("a2", 1)})},
        {"DELE a2"},
        {"CWD s"},
        {"LIST", Listing({})},
        {"CWD [.][.]"},
        {"RMD s"},
        {"DELE a1"},
        {"CWD [.][.]"},
        {"RMD d"},
    };
    const std::vector<Step> second = {
        {"CWD /"},
        {"CWD e"},
        {"LIST", Listing({File("bad", 1)})},
        {"DELE bad", R"("550 Permission denied")"},
        {"CWD /"},
        {"PWD", Pwd("/")},
        {"LIST", Listing({Dir("e"), File("f.txt", 3)})},
    };
    steps.insert(steps.end(), first.begin(), first.end());
    steps.insert(steps.end(), second.begin(), second.end());
    ScriptedServer server(ScriptedServer::Mode::kFtp, Script(steps));
    ListingPage rig(At(server), false);
    rig.Connect("/");
    Tfb& page = rig.page();
    const std::size_t connected = server.Recorded().size();
    ui::ScriptedUi boxes(ui::GtestFailure());
    boxes.AnswerMessage(ui::mrYes).AnswerMessage(ui::mrYes);

    SelectNames(rig, {"d"});
    page.ToolButton4Click();
    EXPECT_FALSE(rig.LoggedError());
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"e", "f.txt"}));

    SelectNames(rig, {"e"});
    page.ToolButton4Click();
    std::vector<std::string> expected;
    for (const auto* part : {&first, &second}) {
        for (const Step& step : *part)
            expected.push_back(Command(step));
    }
    EXPECT_EQ(After(server, connected), expected);
    const TProtocolLog& log = page.Log();
    bool stopped = false;
    for (int row = 0; row < log.RowCount(); ++row)
        stopped =
            stopped || (log.Icon(row) == 2 && log.Caption(row).rfind("Delete stopped: ", 0) == 0);
    EXPECT_TRUE(stopped);
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"e", "f.txt"}));
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Fixes the clock of the export date and gives the real one back.
class FixedClock {
  public:
    explicit FixedClock(const os::LocalDateTime& now) { os::SetFixedNow(now); }
    ~FixedClock() { os::SetFixedNow(std::nullopt); }
};

// The whole tree below the start folder equals the fixture; then a selection exports the
// selected folder's tree and the selected file's row as the list shows it, and its save
// dialog opens in the folder of the first export file.
TEST(PageTreeWalks, ExportWritesTheFixtureAndTheSelection) {
    const std::vector<std::string> root = {
        File("one.txt", 1536, "Mar 04 2024"),  Dir("."),     Dir("sub"),
        File("small.txt", 100, "Mar 07 2024"), Dir("empty"), Dir("..")};
    const std::vector<std::string> sub = {File("two.txt", 512), Dir("."), File("three.bin", 2560)};
    std::vector<Step> steps = ConnectSteps(root);
    const std::vector<Step> whole = {
        {"CWD /"},   {"LIST", Listing(root)}, {"CWD empty"},  {"LIST", Listing({})}, {"CWD [.][.]"},
        {"CWD sub"}, {"LIST", Listing(sub)},  {"CWD [.][.]"}, {"CWD [.][.]"},        {"CWD /"},
    };
    const std::vector<Step> selected = {
        {"CWD sub"},
        {"LIST", Listing(sub)},
        {"CWD [.][.]"},
        {"CWD /"},
    };
    steps.insert(steps.end(), whole.begin(), whole.end());
    steps.insert(steps.end(), selected.begin(), selected.end());
    ScriptedServer server(ScriptedServer::Mode::kFtp, Script(steps));
    ListingPage rig(At(server), false);
    Tfb& page = rig.page();
    page.FSiteName = "Test site";
    rig.Connect("/");
    const std::size_t connected = server.Recorded().size();
    page.FStartDir = "/";
    const FixedClock clock(
        {.year = 2026, .month = 1, .day = 2, .hour = 3, .minute = 4, .second = 5});
    ftptest::TempFolder folder("export");
    std::filesystem::create_directory(folder.File("first"));
    const std::string first = folder.File("first") + "/tree.txt";
    const std::string second = folder.File("selection.txt");
    ui::ScriptedUi boxes(ui::GtestFailure());
    boxes.AnswerSaveFile(first).AnswerSaveFile(second);

    page.ToolButton18Click();
    EXPECT_EQ(ReadFile(first),
              ReadFile(std::string(ZANTROPE_SOURCE_DIR) + "/tests/pages/fixtures/export_tree.txt"));
    EXPECT_EQ(page.TreeView1->topLevelItemCount(), 1);

    // A selected folder keeps its own line even when its name is the start folder's text (a
    // site's relative default folder).
    page.FStartDir = "sub";
    SelectNames(rig, {"sub", "small.txt"});
    page.Exportsel1Click();
    EXPECT_EQ(
        ReadFile(second),
        "Test site(ftp://127.0.0.1/)\r\n"
        "\u251C\u2500<sub>\r\n"
        "\u2502    \u2502    three.bin    2KB    2024-03-06 00:00:00\r\n"
        "\u2502    \u2502    two.txt    512bytes    2024-03-06 00:00:00\r\n"
        "\u2502    small.txt    1KB    2024-03-07 00:00:00\r\n"
        "\u2514" +
            [] {
                std::string dashes;
                for (int i = 0; i < 26; ++i)
                    dashes += "\u2500";
                return dashes;
            }() +
            "\r\n    1 folders, 3 files, export date: 2026/01/02 03:04\r\n");
    ASSERT_EQ(boxes.Calls().size(), 2u);
    EXPECT_EQ(boxes.Calls()[0].save.defaultExtension, "txt");
    EXPECT_EQ(boxes.Calls()[0].save.filter, "*.txt|*.txt");
    EXPECT_EQ(boxes.Calls()[1].save.initialFolder, folder.File("first"));
    EXPECT_EQ(page.FSaveForm.exportdir, folder.path());
    EXPECT_FALSE(rig.LoggedError());
    std::vector<std::string> expected;
    for (const auto* part : {&whole, &selected}) {
        for (const Step& step : *part)
            expected.push_back(Command(step));
    }
    EXPECT_EQ(After(server, connected), expected);
}

// A server that shows a folder inside every folder: each walk stops at the depth bound with a
// log line, and the delete has deleted nothing, the export written nothing.
TEST(PageTreeWalks, EachWalkStopsAtTheDepthBound) {
    const std::string script =
        std::string(R"({"builtin_data": true, "rules": [)") + ftptest::kLoginRules +
        R"(, {"expect": "CWD .*", "reply": "250 Ok"}, {"expect": "PWD", "reply": "257 \"/\""},
           {"expect": "SITE .*", "reply": "200 Ok"}, {"expect": "LIST", "reply": )" +
        Listing({Dir("loop")}) + "}]}";
    ftptest::TempFolder folder("export");
    const std::string file = folder.File("deep.txt");
    const struct {
        const char* what;
        std::function<void(Tfb&, ui::ScriptedUi&)> run;
    } cases[] = {
        {"Delete",
         [](Tfb& page, ui::ScriptedUi& boxes) {
             boxes.AnswerMessage(ui::mrYes);
             page.ToolButton4Click();
         }},
        {"Permissions", [](Tfb& page, ui::ScriptedUi&) { page.Properties1Click(); }},
        {"Export",
         [&](Tfb& page, ui::ScriptedUi& boxes) {
             boxes.AnswerSaveFile(file);
             page.FStartDir = "/";
             page.ToolButton18Click();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedServer server(ScriptedServer::Mode::kFtp, script);
        ListingPage rig(At(server), false);
        AnsweredPermissions dialog(700, ui::mrOk);
        rig.page().SetDialogs(&dialog);
        rig.Connect("/");
        rig.page().ListView2->Select(0);
        ui::ScriptedUi boxes(ui::GtestFailure());
        c.run(rig.page(), boxes);
        const std::vector<std::string> recorded = server.Recorded();
        EXPECT_EQ(std::count(recorded.begin(), recorded.end(), "CWD loop"), kMaxRemoteTreeDepth);
        EXPECT_EQ(std::count_if(recorded.begin(), recorded.end(),
                                [](const std::string& line) {
                                    return line.rfind("DELE", 0) == 0 || line.rfind("RMD", 0) == 0;
                                }),
                  0);
        const TProtocolLog& log = rig.page().Log();
        const std::string stopped =
            std::string(c.what) + " stopped: The folder tree is deeper than 64 levels";
        bool logged = false;
        for (int row = 0; row < log.RowCount(); ++row)
            logged = logged || (log.Icon(row) == 2 && log.Caption(row).rfind(stopped, 0) == 0);
        EXPECT_TRUE(logged);
    }
    EXPECT_FALSE(std::filesystem::exists(file));
}

// After CHMOD the page lists its folder again as Refresh does: the selection goes with the
// old listing, and the items that need one are hidden.
TEST(PageTreeWalks, PermissionsClearTheSelectionWithTheNewListing) {
    const std::string script =
        std::string(R"({"builtin_data": true, "rules": [)") + ftptest::kLoginRules +
        R"(, {"expect": "CWD .*", "reply": "250 Ok"}, {"expect": "PWD", "reply": "257 \"/\""},
           {"expect": "SITE .*", "reply": "200 Ok"}, {"expect": "LIST", "reply": )" +
        Listing({File("a.txt", 5), File("b.txt", 6)}) + "}]}";
    ScriptedServer server(ScriptedServer::Mode::kFtp, script);
    ListingPage rig(At(server), false);
    AnsweredPermissions dialog(640, ui::mrAbort);  // OK without the subfolders box
    rig.page().SetDialogs(&dialog);
    rig.Connect("/");
    SelectNames(rig, {"a.txt"});
    ASSERT_EQ(rig.page().ListView2->SelectedRows().size(), 1u);
    rig.page().Properties1Click();
    const std::vector<std::string> recorded = server.Recorded();
    EXPECT_NE(std::find(recorded.begin(), recorded.end(), "SITE CHMOD 640 a.txt"), recorded.end());
    EXPECT_EQ(rig.page().FDisplayList.size(), 2u);
    EXPECT_TRUE(rig.page().ListView2->SelectedRows().empty());
    EXPECT_FALSE(rig.page().Properties1->isEnabled());
    EXPECT_FALSE(rig.LoggedError());
}

// Step 6 of an export: the CWD back into the page's folder is sent also where the server is
// known to be there, and when it fails after the file was written, the log says so, not that
// the export stopped.
TEST(PageTreeWalks, AnExportThatCannotGoBackLogsThatAndKeepsItsFile) {
    std::vector<Step> steps = ConnectSteps({File("one.txt", 10)});
    steps.push_back({"CWD /", R"("550 Gone")"});
    ScriptedServer server(ScriptedServer::Mode::kFtp, Script(steps));
    ListingPage rig(At(server), false);
    Tfb& page = rig.page();
    rig.Connect("/");
    ftptest::TempFolder folder("export");
    const std::string file = folder.File("files.txt");
    ui::ScriptedUi boxes(ui::GtestFailure());
    boxes.AnswerSaveFile(file);
    SelectNames(rig, {"one.txt"});  // files only: the walk never leaves the folder
    page.Exportsel1Click();
    EXPECT_TRUE(std::filesystem::exists(file));
    const std::vector<std::string> recorded = server.Recorded();
    EXPECT_EQ(recorded.back(), "CWD /");
    const TProtocolLog& log = page.Log();
    bool stopped = false;
    bool written = false;
    for (int row = 0; row < log.RowCount(); ++row) {
        stopped = stopped || log.Caption(row).rfind("Export stopped", 0) == 0;
        written = written || (log.Icon(row) == 2 &&
                              log.Caption(row).rfind("Export written to " + file, 0) == 0);
    }
    EXPECT_FALSE(stopped);
    EXPECT_TRUE(written);
}

}  // namespace
}  // namespace pagetest
