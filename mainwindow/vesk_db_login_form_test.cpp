#include "mainwindow/vesk_db_login_form.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <QLineEdit>

#include <filesystem>
#include <string>

#include "engine/dataset/vesk_table.h"
#include "engine/db_error.h"
#include "engine/file_builder.h"
#include "engine/login_prompt.h"
#include "engine/password_digest.h"
#include "mainwindow/engine_lifetime.h"
#include "platform/ui/control_sizes.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"
#include "platform/ui/testing/qt_test_environment.h"

namespace {

TEST(VeskDBLoginForm, ShowsTheFileAndReturnsTheTypedPasswordOnlyOnOk) {
    ui::ModalDriver driver(ui::GtestFailure());
    std::string seenFile;
    driver.Next([&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Database Login");
        EXPECT_EQ(dialog.size(), ui::ScaledSize(dialog, 281, 154));
        auto& database = ui::Child<QLineEdit>(dialog, "DatabaseEdit");
        EXPECT_TRUE(database.isReadOnly());
        seenFile = database.text().toStdString();
        auto& password = ui::Child<QLineEdit>(dialog, "PasswordEdit");
        EXPECT_EQ(password.echoMode(), QLineEdit::Password);
        password.setText("s3cret");
        ui::ClickButton(dialog, "OkButton");
    });
    std::string password = "unchanged";
    EXPECT_TRUE(VeskLoginDialog("/data/all.dat", password));
    EXPECT_EQ(password, "s3cret");
    EXPECT_EQ(seenFile, "/data/all.dat");

    driver.Next([](QDialog& dialog) {
        ui::Child<QLineEdit>(dialog, "PasswordEdit").setText("typed");
        ui::ClickButton(dialog, "CancelButton");
    });
    password = "unchanged";
    EXPECT_FALSE(VeskLoginDialog("/data/all.dat", password));
    EXPECT_EQ(password, "unchanged");
}

// The installed prompt opens an enciphered file with the right password and refuses a wrong
// one with the engine's own message.
TEST(VeskDBLoginForm, IsTheEnginesPromptForEncipheredFiles) {
    const EngineLifetime engine;
    char folder[] = "/tmp/loginformXXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string file = std::string(folder) + "/secret.dat";
    vesk::DatabaseSchema schema;
    schema.options.encryption = true;
    schema.options.cipherName = "Blowfish";
    schema.options.passwordDigest = vesk::PasswordDigestText("right");
    schema.tables.push_back({"t", {{"v", vesk::ftInteger, 0, 0}}, {}});
    vesk::CreateDatabaseFile(file, schema);

    InstallVeskLoginPrompt();
    ui::ModalDriver driver(ui::GtestFailure());
    auto answer = [&](const char* text) {
        driver.Next([text](QDialog& dialog) {
            ui::Child<QLineEdit>(dialog, "PasswordEdit").setText(text);
            ui::ClickButton(dialog, "OkButton");
        });
    };
    {
        answer("wrong");
        vesk::TVeskTable table("Tt");
        table.SetDatabaseName(file);
        table.SetTableName("t");
        try {
            table.Open();
            ADD_FAILURE() << "a wrong password opened the file";
        } catch (const vesk::EDatabaseError& error) {
            EXPECT_NE(std::string(error.what()).find("Access denied"), std::string::npos)
                << error.what();
        }
        EXPECT_EQ(table.State(), vesk::TDataSetState::dsInactive);
    }
    {
        answer("right");
        vesk::TVeskTable table("Tt");
        table.SetDatabaseName(file);
        table.SetTableName("t");
        table.Open();
        EXPECT_EQ(table.State(), vesk::TDataSetState::dsBrowse);
        table.Close();
    }
    vesk::SetLoginPrompt({});
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

}  // namespace
