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
        kProgramStartLimit))
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

}  // namespace
}  // namespace mainwindow::testing
