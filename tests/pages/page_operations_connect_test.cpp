// Remote file operations on a stored site's page through the main window against pyftpdlib: a
// disconnected page connects and works in the folder its entries were listed in, and the
// permissions dialog opens preset from the selection and changes the modes on the server.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QCheckBox>
#include <QLabel>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dialogs/permissions_dialog.h"
#include "platform/ui/integer_edit.h"
#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"
#include "platform/ui/testing/scripted_ui.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"

namespace pagetest {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const Tfb& frame) {
    std::vector<std::string> names;
    for (const rdatalist& entry : frame.FDisplayList)
        names.push_back(entry.name);
    return names;
}

int RowOf(const Tfb& frame, const std::string& name) {
    const std::vector<std::string> names = Names(frame);
    const auto at = std::find(names.begin(), names.end(), name);
    return at == names.end() ? -1 : static_cast<int>(at - names.begin());
}

bool LoggedStartingWith(Tfb& frame, const std::string& prefix) {
    for (const LogRow& row : PageRig::LogOf(frame)) {
        if (row.icon == 2 && row.text.rfind(prefix, 0) == 0)
            return true;
    }
    return false;
}

class PageOperationsConnect : public PageRig {
  protected:
    PageOperationsConnect() : server_("alice", "secret"), root_(server_.account().local_folder) {}

    // The page of a site on the server, shown in its folder "/sub".
    Tfb& OpenInSub() {
        AddServerSite({.name = "local",
                       .port = server_.account().port,
                       .user = "alice",
                       .password = "secret"});
        Tfb& frame = OpenSite("local");
        frame.ListView2->Select(RowOf(frame, "sub"));
        frame.ListView2DblClick();
        EXPECT_EQ(frame.FCurrentDir, "/sub");
        return frame;
    }

    int Mode(const std::string& path) const {
        struct stat facts {};
        return ::stat((root_ + path).c_str(), &facts) == 0 ? static_cast<int>(facts.st_mode & 0777)
                                                           : -1;
    }

    ftptest::PyftpdlibServer server_;
    const std::string root_;
    ui::ScriptedUi boxes_{ui::GtestFailure()};
};

// The connection is gone: Delete connects, enters the folder the entry was listed in and
// deletes there; the same name in the login folder survives. When that folder is gone too,
// the delete stops with a log line and deletes nothing.
TEST_F(PageOperationsConnect, DeleteOnADisconnectedPageDeletesInTheFolderItWasListedIn) {
    fs::create_directory(root_ + "sub");
    for (const char* file : {"same.txt", "sub/same.txt", "sub/other.txt"})
        std::ofstream(root_ + file) << "x";
    Tfb& frame = OpenInSub();
    frame.Disconnect();
    ASSERT_FALSE(frame.Connected());

    frame.ListView2->Select(RowOf(frame, "same.txt"));
    boxes_.AnswerMessage(ui::mrYes);
    frame.ToolButton4Click();
    EXPECT_EQ(CountRows(frame, "Connecting 127.0.0.1"), 2);
    EXPECT_TRUE(frame.Connected());
    EXPECT_EQ(frame.FCurrentDir, "/sub");
    EXPECT_EQ(Names(frame), std::vector<std::string>{"other.txt"});
    EXPECT_TRUE(fs::exists(root_ + "same.txt"));
    EXPECT_FALSE(fs::exists(root_ + "sub/same.txt"));

    frame.Disconnect();
    fs::remove_all(root_ + "sub");
    std::ofstream(root_ + "other.txt") << "x";  // the same name in the login folder
    frame.ListView2->Select(RowOf(frame, "other.txt"));
    boxes_.AnswerMessage(ui::mrYes);
    frame.ToolButton4Click();
    EXPECT_TRUE(LoggedStartingWith(frame, "Delete stopped: can not enter /sub"));
    EXPECT_TRUE(fs::exists(root_ + "other.txt"));
    // The page shows the folder it is in.
    EXPECT_EQ(frame.FCurrentDir, "/");
    EXPECT_EQ(RowOf(frame, "same.txt") >= 0, true);
}

// Make folder on a disconnected page connects, comes back to its folder and refuses a name
// taken there before MKD; a new name is made there.
TEST_F(PageOperationsConnect, MakeFolderOnADisconnectedPageWorksInItsFolder) {
    fs::create_directory(root_ + "sub");
    std::ofstream(root_ + "sub/taken") << "x";
    Tfb& frame = OpenInSub();
    frame.Disconnect();
    boxes_.AnswerInput("taken").AnswerMessage(ui::mrOk);
    frame.ToolButton11Click();
    EXPECT_EQ(boxes_.Calls().back().text, "The name taken was existed, please re-enter.");
    EXPECT_EQ(CountRows(frame, "Connecting 127.0.0.1"), 2);
    EXPECT_EQ(CountRows(frame, "MKD taken"), 0);
    EXPECT_EQ(frame.FCurrentDir, "/sub");

    frame.Disconnect();
    boxes_.AnswerInput("made");
    frame.ToolButton11Click();
    EXPECT_TRUE(fs::is_directory(root_ + "sub/made"));
    EXPECT_FALSE(fs::exists(root_ + "made"));
    EXPECT_GE(RowOf(frame, "made"), 0);
}

// The dialog opens preset: 644 from -rw-r--r--, 666 and the counts for several rows; OK sends
// the number, also down a folder's tree; Cancel sends nothing.
TEST_F(PageOperationsConnect, ThePermissionsDialogIsPresetAndItsModeReachesTheServer) {
    fs::create_directory(root_ + "d");
    for (const char* file : {"p.txt", "q.txt", "d/inner.txt"}) {
        std::ofstream(root_ + file) << "x";
        ::chmod((root_ + file).c_str(), 0644);
    }
    ::chmod((root_ + "q.txt").c_str(), 0600);
    AddServerSite(
        {.name = "local", .port = server_.account().port, .user = "alice", .password = "secret"});
    Tfb& frame = OpenSite("local");
    ui::ModalDriver driver(ui::GtestFailure());

    frame.ListView2->Select(RowOf(frame, "p.txt"));
    driver.Next([](QDialog& dialog) {
        auto& form = static_cast<TForm18&>(dialog);
        EXPECT_EQ(form.Edit2->Value(), 644);
        EXPECT_EQ(form.Label1->text(), "p.txt");
        EXPECT_FALSE(form.Image2->isVisibleTo(&form));
        ui::ClickButton(form, "Button2");
    });
    frame.Properties1Click();
    EXPECT_EQ(Mode("p.txt"), 0644);

    frame.ListView2->SelectRows({RowOf(frame, "p.txt"), RowOf(frame, "q.txt")});
    driver.Next([](QDialog& dialog) {
        auto& form = static_cast<TForm18&>(dialog);
        EXPECT_EQ(form.Edit2->Value(), 666);
        EXPECT_EQ(form.Label1->text(), "0 Folders , 2 Files .");
        ui::ClickButton(form, "Button1");
    });
    frame.Properties1Click();
    EXPECT_EQ(Mode("p.txt"), 0666);
    EXPECT_EQ(Mode("q.txt"), 0666);

    frame.ListView2->Select(RowOf(frame, "d"));
    driver.Next([](QDialog& dialog) {
        auto& form = static_cast<TForm18&>(dialog);
        EXPECT_TRUE(form.Image2->isVisibleTo(&form));
        form.CheckBox10->setChecked(true);
        form.Edit2->SetValue(700);
        ui::ClickButton(form, "Button1");
    });
    frame.Properties1Click();
    EXPECT_EQ(Mode("d"), 0700);
    EXPECT_EQ(Mode("d/inner.txt"), 0700);
    EXPECT_EQ(Mode("p.txt"), 0666);
    EXPECT_EQ(driver.Pending(), 0u);
    EXPECT_EQ(Form18, nullptr);
}

}  // namespace
}  // namespace pagetest
