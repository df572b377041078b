// The duplicate question as a connected page asks it: the real duplicate-file dialog, shown by
// the page's dialogs for the page that asks, worked inside its modal loop, and its answer as
// the page's code and fields; rename checks against the page's server and remote list.
#include <gtest/gtest.h>

#include <QPushButton>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "connection/page_session.h"
#include "dialogs/duplicate_dialog.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"
#include "platform/ui/testing/qt_test_environment.h"
#include "platform/ui/testing/scripted_ui.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/ftp_servers/temp_folder.h"
#include "tests/pages/listing_page_rig.h"
#include "tests/pages/transfer_page_rig.h"

namespace pagetest {
namespace {

using ftptest::PyftpdlibServer;
using ftptest::TempFolder;
using ui::ClickButton;

class PageDuplicate : public ::testing::Test {
  protected:
    PageDuplicate() : server_("alice", "secret"), local_("duplicate") {
        ftptest::WriteFileBytes(server_.account().local_folder + "a.txt", std::string(300, 'r'));
        ftptest::WriteFileBytes(server_.account().local_folder + "other.txt", "o");
        ftptest::WriteFileBytes(server_.account().local_folder + "gone.txt", "g");
        ftptest::WriteFileBytes(local_.File("a.txt"), std::string(100, 'l'));
    }

    // A page on the server's root with the real page dialogs.
    std::unique_ptr<ListingPage> NewPage() {
        auto rig = std::make_unique<ListingPage>(server_.account(), false);
        rig->Connect("/");
        rig->page().SetDialogs(&dialogs_.box);
        return rig;
    }

    // The page's question for a.txt (upload or download, file or folder), with `drive` run
    // inside the dialog's modal loop.
    TDuplicateCode Ask(Tfb& page, bool download, bool folder,
                       const std::function<void(QDialog&)>& drive) {
        driver_.Next(drive);
        rtmpinfo info{local_.File("a.txt"), folder ? 0 : 300, "2026-01-02 03:04:05",
                      download || folder ? 0 : 100};
        const TExchangeGuard::Exchange exchange(page.Session().Guard());
        return page.AskDuplicateAction(info, folder, download);
    }

    PyftpdlibServer server_;
    TempFolder local_;
    RealPageDialogs dialogs_;
    ui::ModalDriver driver_{ui::GtestFailure()};
    ui::ScriptedUi ui_{ui::GtestFailure()};
};

// Every answer of the dialog, as the button or the choice group gives it, becomes the page's
// code; only a resume of a shorter local file keeps the resume offset.
TEST_F(PageDuplicate, EachAnswerBecomesThePagesCode) {
    struct Case {
        const char* name;
        bool download;
        bool folder;
        std::function<void(QDialog&)> drive;
        TDuplicateCode code;
        std::int64_t resumeOffset;
    };
    const auto click = [](const char* button) {
        return [button](QDialog& dialog) { ClickButton(dialog, button); };
    };
    const auto choose = [](const char* choice) {
        return [choice](QDialog& dialog) {
            ClickButton(dialog, choice);
            ClickButton(dialog, "Button4");
        };
    };
    const Case cases[] = {
        {"overwrite", false, false, click("Button3"), TDuplicateCode::kOverwrite, 0},
        {"skip", true, false, click("Button6"), TDuplicateCode::kSkip, 0},
        {"cancel", true, false, click("Button2"), TDuplicateCode::kCancel, 0},
        {"close box", false, true, [](QDialog& dialog) { dialog.reject(); },
         TDuplicateCode::kCancel, 0},
        {"resume", true, false, click("Button9"), TDuplicateCode::kResume, 100},
        {"append for a folder", true, true, choose("RadioButton2"), TDuplicateCode::kAppend, 0},
        {"skip by choice", false, false, choose("RadioButton3"), TDuplicateCode::kSkip, 0},
    };
    auto rig = NewPage();
    Tfb& page = rig->page();
    // The run sets each file's type before it asks; a binary download may be resumed.
    page.IdFTP1.SetTransferType(ftp::TIdFTPTransferType::ftBinary);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Ask(page, c.download, c.folder, c.drive), c.code);
        EXPECT_EQ(page.FResumeOffset, c.resumeOffset);
        EXPECT_EQ(page.FResumeRemaining, c.resumeOffset == 0 ? 0 : 300 - c.resumeOffset);
        EXPECT_TRUE(page.FAskDuplicate);
        EXPECT_EQ(page.FDuplicateAnswer, -1);
    }
    // The dialog of an upload, of a local file as long as the remote one, or of a text (ASCII
    // type) download, whose local length counts other line ends, offers no resume.
    struct NoResume {
        const char* name;
        bool download;
        std::size_t localSize;
        ftp::TIdFTPTransferType type;
    };
    for (const NoResume& c : {NoResume{"upload", false, 100, ftp::TIdFTPTransferType::ftBinary},
                              NoResume{"as long", true, 300, ftp::TIdFTPTransferType::ftBinary},
                              NoResume{"text", true, 100, ftp::TIdFTPTransferType::ftASCII}}) {
        SCOPED_TRACE(c.name);
        ftptest::WriteFileBytes(local_.File("a.txt"), std::string(c.localSize, 'l'));
        page.IdFTP1.SetTransferType(c.type);
        EXPECT_EQ(Ask(page, c.download, false,
                      [](QDialog& dialog) {
                          EXPECT_FALSE(ui::Child<QPushButton>(dialog, "Button9").isEnabled());
                          ClickButton(dialog, "Button6");
                      }),
                  TDuplicateCode::kSkip);
        EXPECT_EQ(page.FResumeOffset, 0);
    }
    EXPECT_EQ(driver_.DialogsDriven(), 10);
}

// "Overwrite all" and "Skip all" switch the page's question off with their standing answer:
// later clashes get it without a dialog, until the page is asking again.
TEST_F(PageDuplicate, StandingAnswersHoldUntilReset) {
    auto rig = NewPage();
    Tfb& page = rig->page();
    for (const auto& [button, code, answer] : {std::tuple{"Button5", TDuplicateCode::kOverwrite, 6},
                                               std::tuple{"Button7", TDuplicateCode::kSkip, 7}}) {
        SCOPED_TRACE(button);
        EXPECT_EQ(Ask(page, true, false, [button](QDialog& d) { ClickButton(d, button); }), code);
        EXPECT_FALSE(page.FAskDuplicate);
        EXPECT_EQ(page.FDuplicateAnswer, answer);
        const int shown = driver_.DialogsDriven();
        const rtmpinfo info{local_.File("a.txt"), 0, "?", 0};
        EXPECT_EQ(page.AskDuplicateAction(info, true, true), code);
        EXPECT_EQ(page.AskDuplicateAction(info, false, false), code);
        EXPECT_EQ(driver_.DialogsDriven(), shown);
        page.DuplicateAnswers().Reset();
    }
}

// Rename of an upload: the input box offers the clashing name, which exists; a name on the
// server, a name the remote list still shows, and a name with a forbidden character are
// refused with their messages and the dialog stays open; a free name is the answer.
TEST_F(PageDuplicate, RenameChecksTheServerAndTheRemoteList) {
    auto rig = NewPage();
    Tfb& page = rig->page();
    std::remove((server_.account().local_folder + "gone.txt").c_str());
    ui_.AnswerInput(std::nullopt)
        .AnswerMessage(ui::mrOk)
        .AnswerInput("other.txt")
        .AnswerMessage(ui::mrOk)
        .AnswerInput("gone.txt")
        .AnswerMessage(ui::mrOk)
        .AnswerInput("bad:name")
        .AnswerMessage(ui::mrOk)
        .AnswerInput("fresh.txt");
    const TDuplicateCode code = Ask(page, false, false, [](QDialog& dialog) {
        for (int attempt = 0; attempt < 4; ++attempt) {
            ClickButton(dialog, "Button8");
            EXPECT_TRUE(dialog.isVisible());
        }
        ClickButton(dialog, "Button8");
    });
    EXPECT_EQ(code, TDuplicateCode::kRename);
    EXPECT_EQ(page.FRenameTo, "fresh.txt");
    std::vector<std::pair<ui::MessageKind, std::string>> messages;
    for (const ui::UiCall& call : ui_.Calls()) {
        if (call.service == ui::UiService::kMessage)
            messages.emplace_back(call.kind, call.text);
    }
    const std::string forbidden =
        "The following characters can not be contained in the name of files: \\/:*?\"<>|";
    EXPECT_EQ(messages,
              (std::vector<std::pair<ui::MessageKind, std::string>>{
                  {ui::MessageKind::kWarning, "The name a.txt was existed, please re-enter."},
                  {ui::MessageKind::kWarning, "The name other.txt was existed, please re-enter."},
                  {ui::MessageKind::kError, "The name gone.txt was existed, please re-enter."},
                  {ui::MessageKind::kError, forbidden}}));
}

// Rename of a download is checked beside the local file.
TEST_F(PageDuplicate, RenameOfADownloadIsCheckedBesideTheLocalFile) {
    auto rig = NewPage();
    ftptest::WriteFileBytes(local_.File("taken.txt"), "t");
    ui_.AnswerInput("taken.txt").AnswerMessage(ui::mrOk).AnswerInput("new.txt");
    const TDuplicateCode code = Ask(rig->page(), true, false, [](QDialog& dialog) {
        ClickButton(dialog, "Button8");
        ClickButton(dialog, "Button8");
    });
    EXPECT_EQ(code, TDuplicateCode::kRename);
    EXPECT_EQ(rig->page().FRenameTo, "new.txt");
}

}  // namespace
}  // namespace pagetest
