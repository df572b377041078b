// The program's real window on an X server of its own (Xvfb): the window appears with its
// title, and a screenshot of it is kept in the build folder (zantrope-window.png).
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "mainwindow/main_form_test_support.h"
#include "mainwindow/testing/x_session.h"

namespace mainwindow::testing {
namespace {

using Screenshot = MainFormTest;

TEST_F(Screenshot, ProgramWindowShowsUnderXvfb) {
    // The sites go in as a user's file would hold them, through the database tool.
    dm->VeskDatabase1->SetConnected(false);
    const std::string rows = folder_ + "sites.tsv";
    std::ofstream(rows) << "name\taddress\tport\tcdate\tzdate\n"
                        << "Example mirror\tftp.example.org\t21\t2026-01-02 03:04:05\t"
                           "2026-02-03 04:05:06\n"
                        << "Backup server\tbackup.example.net\t2121\t2026-03-04 05:06:07\t"
                           "2026-04-05 06:07:08\n";
    const std::string import = std::string("\"") + ZANTROPE_BIN_DIR + "/vesk\" import \"" +
                               folder_ + "all.dat\" ftpsite \"" + rows + "\" > /dev/null";
    ASSERT_EQ(std::system(import.c_str()), 0) << import;
    const std::string program = folder_ + "zantrope";
    std::filesystem::copy_file(std::string(ZANTROPE_APP_DIR) + "/zantrope", program);

    // The server picks a free display itself and tells its number.
    int numberPipe[2];
    ASSERT_EQ(::pipe(numberPipe), 0);
    ChildProcess server(
        {"/usr/bin/Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"},
        {}, numberPipe[1]);
    ::close(numberPipe[1]);
    ASSERT_TRUE(server.Started());
    const int display = ReadDisplayNumber(numberPipe[0]);
    ::close(numberPipe[0]);
    ASSERT_GE(display, 0) << "the X server told no display";
    const std::string name = ":" + std::to_string(display);

    const std::string displayEnv = "DISPLAY=" + name;
    ChildProcess window({program},
                        {displayEnv, "QT_QPA_PLATFORM=xcb", "ASAN_OPTIONS=detect_leaks=0"});
    ASSERT_TRUE(window.Started());
    const std::string env = "env " + displayEnv + " ";
    std::string id;
    ASSERT_TRUE(WaitFor(
        [&] {
            id = FirstLine(env + "xdotool search --name 'Zantrope FREE Edition' 2>/dev/null");
            return !id.empty();
        },
        std::chrono::seconds(30)))
        << "no window appeared";
    EXPECT_EQ(FirstLine(env + "xdotool getwindowname " + id), "Zantrope FREE Edition");
    std::this_thread::sleep_for(std::chrono::seconds(2));  // let it paint
    EXPECT_TRUE(window.Running());

    const std::string png = std::string(ZANTROPE_BIN_DIR) + "/../zantrope-window.png";
    ASSERT_EQ(std::system((env + "import -window root '" + png + "'").c_str()), 0);
    // Not blank: a painted window has many colours, an empty screen one.
    const std::string colours = FirstLine("identify -format '%k' '" + png + "'");
    ASSERT_FALSE(colours.empty());
    EXPECT_GT(std::stoi(colours), 50) << png;
}

// On a freshly built "all.dat" without sites, a site is made through the new-site dialog with
// the keyboard; it is stored and listed, and a double click on it opens its page (which the
// layout file written at exit shows). Screenshots are kept in the build folder
// (zantrope-new-site.png with the dialog filled in, zantrope-site-page.png with the page).
TEST_F(Screenshot, ASiteIsMadeWithTheKeyboardAndOpenedWithADoubleClick) {
    dm->VeskDatabase1->SetConnected(false);
    const std::string program = folder_ + "zantrope";
    std::filesystem::copy_file(std::string(ZANTROPE_APP_DIR) + "/zantrope", program);
    ProgramOnXvfb x(program);
    ASSERT_TRUE(x.Started());
    ASSERT_FALSE(x.FindWindow("Zantrope FREE Edition", std::chrono::seconds(30)).empty())
        << "no window appeared";
    std::this_thread::sleep_for(std::chrono::seconds(1));

    // The site list fills the window's right side (no window manager: the window fills the
    // screen); its items are large icons, "NewFTPSite" first.
    constexpr const char* kNewSiteItem = "369 123";
    constexpr const char* kFirstSiteItem = "482 123";
    ASSERT_TRUE(x.Run(std::string("mousemove ") + kNewSiteItem + " click --repeat 2 --delay 80 1"));
    const std::string dialog = x.FindWindow("New FTP Site", std::chrono::seconds(10));
    ASSERT_FALSE(dialog.empty()) << "the double click on NewFTPSite opened no dialog";
    ASSERT_TRUE(x.Run("windowfocus --sync " + dialog));
    // The name has the focus; Tab goes on to the address, port, user name and password.
    ASSERT_TRUE(x.Run("type --delay 20 'Local test'"));
    ASSERT_TRUE(x.Run("key Tab"));
    ASSERT_TRUE(x.Run("type --delay 20 '127.0.0.1'"));
    ASSERT_TRUE(x.Run("key Tab ctrl+a"));
    ASSERT_TRUE(x.Run("type --delay 20 '2121'"));
    ASSERT_TRUE(x.Run("key Tab ctrl+a"));
    ASSERT_TRUE(x.Run("type --delay 20 'user'"));
    ASSERT_TRUE(x.Run("key Tab ctrl+a"));
    ASSERT_TRUE(x.Run("type --delay 20 'secret'"));
    const std::string build = std::string(ZANTROPE_BIN_DIR) + "/../";
    EXPECT_GT(x.Screenshot(build + "zantrope-new-site.png"), 50);
    ASSERT_TRUE(x.Run("key Return"));  // OK is the default button
    ASSERT_TRUE(WaitFor(
        [&] {
            return FirstLine(x.Env() + "xdotool search --name 'New FTP Site' 2>/dev/null").empty();
        },
        std::chrono::seconds(10)))
        << "the dialog stayed open";

    dm->VeskDatabase1->SetConnected(true);
    EXPECT_EQ(Column(*dm->Tftpsite, "name"), std::vector<std::string>{"Local test"});
    EXPECT_EQ(Column(*dm->Tftpsite, "address"), std::vector<std::string>{"127.0.0.1"});
    EXPECT_EQ(Column(*dm->Tftpsite, "port"), std::vector<std::string>{"2121"});
    EXPECT_EQ(Column(*dm->Tftpsite, "username"), std::vector<std::string>{"user"});
    EXPECT_EQ(Column(*dm->Tftpsite, "password"), std::vector<std::string>{"secret"});
    dm->VeskDatabase1->SetConnected(false);

    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(
        x.Run(std::string("mousemove ") + kFirstSiteItem + " click --repeat 2 --delay 80 1"));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_GT(x.Screenshot(build + "zantrope-site-page.png"), 50);
    EXPECT_TRUE(x.Running());

    // "Exit" on the banner: the shut-down saves the page layout only when a page exists.
    ASSERT_TRUE(x.Run("mousemove 402 17 click 1"));
    ASSERT_TRUE(WaitFor([&] { return !x.Running(); }, std::chrono::seconds(20)));
    EXPECT_EQ(LayoutValue("FTP", "INFO") != "<none>", true) << "no page was opened";
}

}  // namespace
}  // namespace mainwindow::testing
