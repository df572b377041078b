#include "platform/ui/qt_ui_services.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ui/modal_result.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"
#include "platform/ui/testing/qt_test_environment.h"

namespace {

using ui::MessageKind;

QStringList ButtonNames(QDialog& dialog) {
    QStringList names;
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
        if (!button->objectName().isEmpty() && button->isVisible())
            names << button->objectName();
    }
    names.sort();
    return names;
}

TEST(QtMessageBox, ShowsKindTextAndButtonsAndReturnsTheModalResult) {
    const struct {
        MessageKind kind;
        ui::MessageButtons buttons;
        const char* click;
        QMessageBox::Icon icon;
        QStringList names;
        int result;
    } cases[] = {
        {MessageKind::kConfirmation, ui::mbYesNo, "No", QMessageBox::Question, {"No", "Yes"}, 7},
        {MessageKind::kConfirmation, ui::mbYesNo, "Yes", QMessageBox::Question, {"No", "Yes"}, 6},
        {MessageKind::kError, ui::mbOK, "OK", QMessageBox::Critical, {"OK"}, 1},
        {MessageKind::kWarning,
         ui::mbAbort | ui::mbRetry | ui::mbIgnore,
         "Retry",
         QMessageBox::Warning,
         {"Abort", "Ignore", "Retry"},
         4},
        {MessageKind::kInformation,
         ui::mbOKCancel,
         "Cancel",
         QMessageBox::Information,
         {"Cancel", "OK"},
         2},
    };
    ui::QtUiServices services;
    for (const auto& c : cases) {
        ui::ModalDriver driver(ui::GtestFailure());
        driver.Next([&](QDialog& dialog) {
            auto& box = *qobject_cast<QMessageBox*>(&dialog);
            EXPECT_EQ(box.windowTitle(), "Title");
            EXPECT_EQ(box.text(), "<b>The name a&b was existed</b>");
            EXPECT_EQ(box.textFormat(), Qt::PlainText);
            EXPECT_EQ(box.icon(), c.icon);
            EXPECT_EQ(ButtonNames(dialog), c.names);
            ui::ClickButton(dialog, c.click);
        });
        EXPECT_EQ(services.Show(c.kind, "Title", "<b>The name a&b was existed</b>", c.buttons),
                  c.result)
            << c.click;
        EXPECT_EQ(driver.DialogsDriven(), 1);
    }
}

TEST(QtInputBox, ReturnsTheTypedTextOrNothingWhenCancelled) {
    ui::QtUiServices services;
    ui::ModalDriver driver(ui::GtestFailure());
    driver.Next([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "New name");
        EXPECT_EQ(ui::Child<QLabel>(dialog, "Prompt").text(), "Enter a new filename");
        auto& edit = ui::Child<QLineEdit>(dialog, "Value");
        EXPECT_EQ(edit.text(), "old.txt");
        edit.setText("n\xC3\xA9w.txt");
        ui::ClickButton(dialog, "OkButton");
    });
    EXPECT_EQ(services.Ask("New name", "Enter a new filename", "old.txt", ui::kNoByteLimit),
              "n\xC3\xA9w.txt");
    driver.Next([](QDialog& dialog) {
        ui::Child<QLineEdit>(dialog, "Value").setText("typed");
        ui::ClickButton(dialog, "CancelButton");
    });
    EXPECT_EQ(services.Ask("Make new directory", "Name", "", ui::kNoByteLimit), std::nullopt);
}

// A box for a text of a column of so many bytes takes no more as it is typed.
TEST(QtInputBox, TakesNoMoreBytesThanItsLimit) {
    ui::QtUiServices services;
    ui::ModalDriver driver(ui::GtestFailure());
    driver.Next([](QDialog& dialog) {
        auto& edit = ui::Child<QLineEdit>(dialog, "Value");
        edit.selectAll();
        edit.insert(QString(10, QChar(0xE9)));  // ten "\xC3\xA9", 20 bytes
        ui::ClickButton(dialog, "OkButton");
    });
    std::string five;
    for (int i = 0; i < 5; ++i)
        five += "\xC3\xA9";
    EXPECT_EQ(services.Ask("Input Command", "", "x", 11), five);
}

class QtFileDialogs : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("zantrope_dialogs_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_ / "inner");
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::filesystem::path folder_;
};

TEST_F(QtFileDialogs, SaveDialogStartsInTheFolderAndAddsTheDefaultExtension) {
    ui::QtUiServices services;
    ui::ModalDriver driver(ui::GtestFailure());
    driver.Next([&](QDialog& dialog) {
        auto& files = *qobject_cast<QFileDialog*>(&dialog);
        EXPECT_EQ(files.directory().absolutePath().toStdString(), folder_.string());
        EXPECT_EQ(files.nameFilters(), QStringList{"*.txt (*.txt)"});
        files.selectFile("export");
        static_cast<QDialog&>(files).accept();
    });
    const auto chosen = services.Execute({"Save", folder_.string(), "", "txt", "*.txt|*.txt"});
    EXPECT_EQ(chosen, (folder_ / "export.txt").string());

    driver.Next([](QDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(services.Execute({"Save", folder_.string(), "", "txt", ""}), std::nullopt);
}

TEST_F(QtFileDialogs, FolderBrowserGivesTheChosenFolderWithoutTrailingSlash) {
    ui::QtUiServices services;
    ui::ModalDriver driver(ui::GtestFailure());
    driver.Next([&](QDialog& dialog) {
        auto& files = *qobject_cast<QFileDialog*>(&dialog);
        EXPECT_EQ(files.directory().absolutePath().toStdString(), folder_.string());
        files.selectFile("inner");
        static_cast<QDialog&>(files).accept();
    });
    EXPECT_EQ(services.Browse("", folder_.string()), (folder_ / "inner").string());
}

TEST(QtNameFilters, ConvertsDescriptionPatternPairs) {
    EXPECT_EQ(ui::QtNameFilters("*.txt|*.txt"), QStringList{"*.txt (*.txt)"});
    EXPECT_EQ(ui::QtNameFilters("Text|*.txt;*.log|All|*"),
              (QStringList{"Text (*.txt *.log)", "All (*)"}));
    EXPECT_TRUE(ui::QtNameFilters("").isEmpty());
    EXPECT_TRUE(ui::QtNameFilters("odd").isEmpty());
}

TEST(ShellTargetUrl, AddressesStayAndPathsBecomeFileUrls) {
    const std::pair<const char*, const char*> cases[] = {
        {"https://example.org/z", "https://example.org/z"},
        {"mailto:fb@example.org?subject=", "mailto:fb@example.org?subject="},
        {"/home/u/a b.txt", "file:///home/u/a%20b.txt"},
        {"/tmp/x:y", "file:///tmp/x:y"},
    };
    for (const auto& [target, url] : cases) {
        EXPECT_EQ(ui::ShellTargetUrl(target).toString(QUrl::FullyEncoded).toStdString(), url);
    }
}

}  // namespace
