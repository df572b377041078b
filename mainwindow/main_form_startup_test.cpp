#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

#include "engine/file_builder.h"
#include "engine/login_prompt.h"
#include "engine/password_digest.h"
#include "mainwindow/banner_bar.h"
#include "mainwindow/main_form_test_support.h"
#include "platform/ftp/id_exceptions.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/scripted_ui.h"
#include "shared/list_file.h"

namespace mainwindow::testing {
namespace {

class StartUp : public MainFormTest {
  protected:
    // A saved layout other than the defaults; returns the file's bytes.
    std::string WriteSavedLayout() {
        const std::string ini = folder_ + "forminfo.ini";
        os::WritePrivateProfileString("MAIN", "P2", "1", ini);
        os::WritePrivateProfileString("MAIN", "LOCALPATH", folder_, ini);
        os::WritePrivateProfileString("MAIN", "PWIDTH", "555", ini);
        os::WritePrivateProfileString("MAIN", "FTPSITEVIEW", "1", ini);
        return ReadBytes(ini);
    }
};

TEST_F(StartUp, CreationReadsBookmarksAndTouchesNoTable) {
    ASSERT_TRUE(shared::WriteListFile(folder_ + "bookmark.dat", {"/srv", "/home"}));
    AddSite("alpha");
    dm->VeskDatabase1->SetConnected(false);
    TForm1& form = CreateForm();
    EXPECT_EQ(form.LocalBookmarks(), (std::vector<std::string>{"/srv", "/home"}));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Zantrope FREE Edition"));
    EXPECT_EQ(form.FLocalViewStep, 4);
    EXPECT_EQ(form.FSiteViewStep, 4);
    EXPECT_FALSE(dm->VeskDatabase1->Connected());
    EXPECT_EQ(SiteItems(), (std::vector<std::string>{"NewFTPSite"}));
}

TEST_F(StartUp, FirstShowConnectsAllDatFillsSitesAndPointsBookmarksAtTheirFile) {
    AddSite("alpha");
    SiteValues beta;
    beta.name = "beta";
    beta.address = "ftp.beta.test";
    AddSite(beta);
    TForm1& form = ShowForm();
    EXPECT_EQ(dm->VeskDatabase1->FileName(), folder_ + "all.dat");
    EXPECT_EQ(dm->Tftpb->DatabaseName(), folder_ + "FTPBookmark.dat");
    EXPECT_EQ(dm->Tftpb->TableName(), "bookmark");
    EXPECT_EQ(SiteItems(), (std::vector<std::string>{"NewFTPSite", "alpha", "beta"}));
    EXPECT_EQ(form.PageControl2->count(), 3);
    EXPECT_EQ(form.PageControl2->tabText(0), QStringLiteral("&Local File"));
    EXPECT_EQ(form.PageControl2->tabText(1), QStringLiteral("&History"));
    EXPECT_EQ(form.PageControl2->tabText(2), QStringLiteral("&Tasks"));
    EXPECT_EQ(form.PageControl1->tabText(0), QStringLiteral("FTP Site"));
    EXPECT_FALSE(form.ToolButton35->isEnabled());
    EXPECT_EQ(form.LastErrorText(), "");
}

// A missing or damaged "all.dat": the window opens with only "NewFTPSite", the error reaches
// the status line without a message box (the scripted services fail any box), and the file is
// left as it was. The layout was never read, so Exit leaves the saved one as it was.
TEST_F(StartUp, UnusableDatabaseOpensTheWindowWithOnlyTheNewSiteItem) {
    struct Case {
        const char* name;
        bool present;
        std::string bytes;
        const char* errorPart;
    };
    const Case cases[] = {
        {"missing", false, "", "Cannot open file"},
        {"garbage", true, std::string(300, '\x5A'), ""},
        {"truncated", true, std::string("\x01\x02", 2), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dm->VeskDatabase1->SetConnected(false);
        const std::string path = folder_ + "all.dat";
        std::filesystem::remove(path);
        if (c.present) {
            std::ofstream(path, std::ios::binary) << c.bytes;
        }
        const std::string layout = WriteSavedLayout();
        ui::ScriptedUi noBoxes(ui::GtestFailure());
        TForm1& form = ShowForm();
        EXPECT_EQ(SiteItems(), (std::vector<std::string>{"NewFTPSite"}));
        EXPECT_NE(form.LastErrorText(), "");
        EXPECT_NE(form.LastErrorText().find(c.errorPart), std::string::npos)
            << form.LastErrorText();
        EXPECT_EQ(form.statusBar()->currentMessage().toStdString(), form.LastErrorText());
        EXPECT_TRUE(dm->Tftpb->TableName().empty());
        form.close();
        QApplication::processEvents();
        EXPECT_EQ(std::filesystem::exists(path), c.present);
        if (c.present) {
            EXPECT_EQ(ReadBytes(path), c.bytes);
        }
        EXPECT_EQ(ReadBytes(folder_ + "forminfo.ini"), layout);
        form_.reset();
    }
}

// An enciphered "all.dat" whose password prompt is cancelled or answered wrongly stops the
// first show before the layout is read: Exit writes no [MAIN], the saved layout stays.
TEST_F(StartUp, AStartStoppedAtThePasswordKeepsTheSavedLayout) {
    dm->VeskDatabase1->SetConnected(false);
    const std::string path = folder_ + "all.dat";
    std::filesystem::remove(path);
    vesk::DatabaseSchema schema;
    schema.options.encryption = true;
    schema.options.cipherName = "Blowfish";
    schema.options.passwordDigest = vesk::PasswordDigestText("right");
    schema.tables.push_back({"t", {{"v", vesk::ftInteger, 0, 0}}, {}});
    vesk::CreateDatabaseFile(path, schema);
    struct Case {
        const char* name;
        bool confirm;
    };
    for (const Case& c : {Case{"cancelled", false}, Case{"wrong", true}}) {
        SCOPED_TRACE(c.name);
        const std::string layout = WriteSavedLayout();
        const vesk::TLoginPrompt previous =
            vesk::SetLoginPrompt([&c](const std::string&, std::string& password) {
                password = "wrong";
                return c.confirm;
            });
        ui::ScriptedUi noBoxes(ui::GtestFailure());
        TForm1& form = ShowForm();
        vesk::SetLoginPrompt(previous);
        EXPECT_EQ(SiteItems(), (std::vector<std::string>{"NewFTPSite"}));
        EXPECT_EQ(form.PageControl2->width(), 307);
        form.close();
        QApplication::processEvents();
        EXPECT_EQ(ReadBytes(folder_ + "forminfo.ini"), layout);
        form_.reset();
    }
}

TEST_F(StartUp, ErrorHandlerTellsTheServerClosingFromOtherErrors) {
    TForm1& form = ShowForm();
    struct Case {
        std::exception_ptr error;
        std::string shown;
    };
    const Case cases[] = {
        {std::make_exception_ptr(ftp::EIdConnClosedGracefully()),
         "The server closed the connection."},
        {std::make_exception_ptr(std::runtime_error("Tftpsite: Table is busy")),
         "Tftpsite: Table is busy"},
    };
    for (const Case& c : cases) {
        ui::ReportApplicationError(c.error);
        EXPECT_EQ(form.LastErrorText(), c.shown);
        EXPECT_EQ(form.statusBar()->currentMessage().toStdString(), c.shown);
    }
}

TEST_F(StartUp, ExitButtonClosesTheWindowAndSavesTheLayout) {
    TForm1& form = ShowForm();
    form.ZezovozPanel1->findChild<QToolButton*>(QStringLiteral("SpeedButton2"))->click();
    QApplication::processEvents();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(LayoutValue("MAIN", "WELCOMEH"), "0");
    EXPECT_EQ(LayoutValue("FTP", "INFO"), "<none>");
}

}  // namespace
}  // namespace mainwindow::testing
