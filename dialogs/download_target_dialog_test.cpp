#include "dialogs/download_target_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <functional>

#include "connection/protocol_log.h"
#include "connection/testing/quiet_page_host.h"
#include "connection/tfb.h"
#include "dialogs/testing/dialogs_rig.h"
#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/owner_data_model.h"
#include "shared/list_file.h"

namespace dialogs::testing {
namespace {

using ui::ClickButton;

const char* const kBadCharacters =
    "The following characters can not be contained in the name of files: ";

class DownloadTarget : public DialogsTest {
  protected:
    void SetUp() override {
        DialogsTest::SetUp();
        page_ = std::make_unique<Tfb>(host_);
        history_ = folder_ + "Downloads.dat";
    }
    void TearDown() override {
        page_.reset();
        DialogsTest::TearDown();
    }

    // Rows of the page's remote list: name, folder or not, size, modified; then a selection.
    void ShowRows(const std::vector<std::tuple<std::string, bool, int>>& rows,
                  const std::vector<int>& selected) {
        for (const auto& [name, folder, size] : rows)
            page_->AddDisplayEntry(name, folder ? "Folder" : "", std::to_string(size),
                                   "2026-01-02 03:04:00", "u", "g", "rw-", "r--", "r--");
        page_->RemoteItems->SetRowCount(static_cast<int>(page_->FDisplayList.size()));
        page_->ListView2->SelectRows(selected);
    }

    int Run(const std::function<void(TForm10&)>& drive) {
        driver_.Next([&](QDialog& dialog) { drive(static_cast<TForm10&>(dialog)); });
        TForm10 form(*page_, history_);
        form.PresetFromPage();
        return form.exec();
    }

    std::vector<std::string> LogLines() const {
        std::vector<std::string> lines;
        for (int row = 0; row < page_->Log().RowCount(); ++row)
            lines.push_back(page_->Log().Caption(row));
        return lines;
    }

    connection_testing::QuietPageHost host_;
    std::unique_ptr<Tfb> page_;
    std::string history_;
};

// OK queues one download per selected row into the folder, made level by level, skips a row
// already queued for that target and a name the server made unsafe, and remembers the folder
// once.
TEST_F(DownloadTarget, OkQueuesEverySelectedRowIntoTheNewFolder) {
    // (".." and "." never reach the display list.)
    ShowRows({{"a.txt", false, 10},
              {"docs", true, 0},
              {"../x", false, 2},
              {"a/b", false, 3},
              {"big.iso", false, 0}},
             {0, 1, 2, 3, 4});
    page_->FDisplayList[4].size = 5LL << 30;  // sizes beyond 32 bits stay whole
    const std::string target = folder_ + "one/two/three";
    rupdown queued;
    queued.direction = 1;
    queued.name = "a.txt";
    queued.lopath = target + "/a.txt";
    queued.ftppath = "0";
    page_->AddQueueEntry(queued);
    shared::WriteListFile(history_, {target});

    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(Run([&](TForm10& form) {
                      EXPECT_EQ(form.windowTitle(), "Download");
                      EXPECT_EQ(form.Label2->text(), QStringLiteral("1 Folders , 4 Files ."));
                      EXPECT_TRUE(form.Image3->isVisibleTo(&form));
                      EXPECT_EQ(form.Edit1->text(), QString());
                      EXPECT_EQ(form.ComboBox1->count(), 1);
                      form.ComboBox1->setEditText(QString::fromStdString(target));
                      ClickButton(form, "Button2");
                  }),
                  ui::mrOk);
    }

    EXPECT_TRUE(std::filesystem::is_directory(target));
    ASSERT_EQ(page_->FQueue.size(), 3u);
    const rupdown& folder = page_->FQueue[1];
    EXPECT_EQ(folder.name, "docs");
    EXPECT_TRUE(folder.isfolder);
    EXPECT_EQ(folder.size, 0);
    EXPECT_EQ(folder.lopath, target + "/docs");
    EXPECT_EQ(folder.ftppath, "0");
    EXPECT_EQ(folder.direction, 1);
    EXPECT_EQ(folder.rdate, "2026-01-02 03:04:00");
    EXPECT_FALSE(folder.checkexist);
    EXPECT_EQ(page_->FQueue[2].name, "big.iso");
    EXPECT_EQ(page_->FQueue[2].size, 5LL << 30);
    EXPECT_EQ(page_->QueueItems->item(2, 2)->text(), QString::number(5LL << 30));
    // The unsafe names are refused in each round.
    EXPECT_EQ(LogLines(),
              (std::vector<std::string>{
                  "The name \"../x\" is not a plain file name; it was not queued for download.",
                  "The name \"a/b\" is not a plain file name; it was not queued for download.",
                  "The name \"../x\" is not a plain file name; it was not queued for download.",
                  "The name \"a/b\" is not a plain file name; it was not queued for download."}));
    EXPECT_EQ(shared::ReadListFile(history_), std::vector<std::string>{target});
    EXPECT_TRUE(ui_.Calls().empty());
}

// Return in the folder box, as a person enters a folder, beside a remembered folder that
// differs only in case: the download goes into the folder as typed (on Linux another folder),
// which joins the history beside the other.
TEST_F(DownloadTarget, ReturnDownloadsIntoTheFolderAsTyped) {
    ShowRows({{"a.txt", false, 10}}, {0});
    const std::string remembered = folder_ + "data";
    const std::string typed = folder_ + "Data";
    std::filesystem::create_directory(remembered);
    shared::WriteListFile(history_, {remembered});
    EXPECT_EQ(Run([&](TForm10& form) {
                  QLineEdit& edit = *form.ComboBox1->lineEdit();
                  edit.setFocus();
                  QTest::keyClicks(&edit, QString::fromStdString(typed));
                  QTest::keyClick(&edit, Qt::Key_Return);
              }),
              ui::mrOk);
    ASSERT_EQ(page_->FQueue.size(), 1u);
    EXPECT_EQ(page_->FQueue[0].lopath, typed + "/a.txt");
    EXPECT_TRUE(std::filesystem::is_directory(typed));
    EXPECT_EQ(shared::ReadListFile(history_), (std::vector<std::string>{remembered, typed}));
}

// What keeps the dialog open with nothing queued: no folder, a bad character in the single
// entry's name, a folder that cannot be made.
TEST_F(DownloadTarget, RefusedInputKeepsTheDialogOpen) {
    std::ofstream(folder_ + "file") << "x";
    struct Case {
        const char* entry;
        std::string folder;
        ui::MessageKind kind;
        std::string text;
    };
    const Case cases[] = {
        {"a.txt", "", ui::MessageKind::kWarning,
         "Please enter the path with the files download to."},
        {"a:b.txt", folder_ + "in", ui::MessageKind::kError,
         std::string(kBadCharacters) + "\\/:*?\"<>|"},
        {"a.txt", folder_ + "file/below", ui::MessageKind::kError,
         "Can not create the folder " + folder_ + "file/below, please check and enter again."},
        {"a.txt", "relative/folder", ui::MessageKind::kError,
         "Can not create the folder relative/folder, please check and enter again."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry + std::string(" into ") + c.folder);
        page_->FDisplayList.clear();
        ShowRows({{c.entry, false, 1}}, {0});
        ui_.AnswerMessage(ui::mrOk);
        const std::size_t calls = ui_.Calls().size();
        EXPECT_EQ(Run([&](TForm10& form) {
                      EXPECT_EQ(form.Edit1->text().toStdString(), c.entry);
                      EXPECT_EQ(form.Label2->text().toStdString(), c.entry);
                      EXPECT_EQ(form.Label4->text(), QStringLiteral("1KB"));
                      EXPECT_TRUE(form.Image1->isVisibleTo(&form));
                      EXPECT_FALSE(form.Image3->isVisibleTo(&form));
                      form.ComboBox1->setEditText(QString::fromStdString(c.folder));
                      ClickButton(form, "Button2");
                      EXPECT_TRUE(form.isVisible());
                      ClickButton(form, "Button1");
                  }),
                  ui::mrCancel);
        ASSERT_EQ(ui_.Calls().size(), calls + 1);
        EXPECT_EQ(ui_.Calls().back().kind, c.kind);
        EXPECT_EQ(ui_.Calls().back().text, c.text);
        EXPECT_TRUE(page_->FQueue.empty());
        EXPECT_FALSE(std::filesystem::exists(history_));
    }
    EXPECT_FALSE(std::filesystem::exists("relative"));
}

// A character no folder may hold is reported at every change of the folder text; "Clear
// history" leaves a history file of no entries.
TEST_F(DownloadTarget, TypingAndClearingTheHistory) {
    ShowRows({{"a.txt", false, 1}}, {0});
    shared::WriteListFile(history_, {"/one", "/two"});
    ui_.AnswerMessage(ui::mrOk).AnswerMessage(ui::mrOk);
    Run([&](TForm10& form) {
        EXPECT_EQ(form.ComboBox1->count(), 2);
        QLineEdit& edit = *form.ComboBox1->lineEdit();
        edit.setText(QStringLiteral("/tmp/a"));
        emit edit.textEdited(edit.text());  // fine: no box
        edit.setText(QStringLiteral("/tmp/a?"));
        emit edit.textEdited(edit.text());
        edit.setText(QStringLiteral("/tmp/a?b"));
        emit edit.textEdited(edit.text());
        ClickButton(form, "Button3");
        EXPECT_EQ(form.ComboBox1->count(), 0);
        ClickButton(form, "Button1");
    });
    ASSERT_EQ(ui_.Calls().size(), 2u);
    EXPECT_EQ(ui_.Calls()[0].text, std::string(kBadCharacters) + "\\*?\"<>|");
    EXPECT_TRUE(shared::ReadListFile(history_).empty());
    EXPECT_TRUE(std::filesystem::exists(history_));
    EXPECT_TRUE(TForm10::CreateTargetFolders(""));
}

}  // namespace
}  // namespace dialogs::testing
