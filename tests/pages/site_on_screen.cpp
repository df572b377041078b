#include "tests/pages/site_on_screen.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace pagetest {

using mainwindow::testing::FirstLine;

std::string CopyProgramInto(const std::string& folder, const std::string& appDir) {
    const std::string program = folder + "zantrope";
    std::filesystem::copy_file(appDir + "/zantrope", program);
    return program;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int Colours(const std::string& png, const std::string& crop) {
    const std::string text =
        FirstLine("convert '" + png + "' -crop " + crop + " +repage -format '%k' info:");
    return text.empty() ? -1 : std::stoi(text);
}

bool WaitForLogin(const ftptest::PyftpdlibServer& server, const std::string& user,
                  std::chrono::seconds limit) {
    const std::string line = "USER '" + user + "' logged in.";
    return mainwindow::testing::WaitFor(
        [&] { return ReadText(server.LogPath()).find(line) != std::string::npos; }, limit);
}

std::string OpenStoredSite(const mainwindow::testing::ProgramOnXvfb& x,
                           const ftptest::PyftpdlibServer& server, const std::string& user) {
    const std::string id =
        x.FindWindow("Zantrope FREE Edition", mainwindow::testing::kProgramStartLimit);
    if (id.empty()) {
        ADD_FAILURE() << "no window appeared; " << x.ProgramOutput();
        return {};
    }
    // The pauses pace the window's painting and listing; nothing is timed.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    // The stored site is the site list's second icon, after "NewFTPSite".
    if (!x.Run("mousemove --window " + id + " 481 123 click --repeat 2 --delay 80 1")) {
        ADD_FAILURE() << "the double click on the site failed";
        return {};
    }
    if (!WaitForLogin(server, user)) {
        ADD_FAILURE() << "the page did not log in";
        return {};
    }
    std::this_thread::sleep_for(std::chrono::seconds(3));  // the listing follows the login
    return id;
}

bool OpenListedSite(const mainwindow::testing::ProgramOnXvfb& x,
                    const ftptest::PyftpdlibServer& server, const std::string& site,
                    const std::string& user) {
    using mainwindow::testing::Control;
    if (x.FindWindow("Zantrope FREE Edition", mainwindow::testing::kProgramStartLimit).empty()) {
        ADD_FAILURE() << "no window appeared; " << x.ProgramOutput();
        return false;
    }
    const Control item = Control::Of("list item", site);
    const bool selected = mainwindow::testing::WaitFor(
        [&] {
            x.Click(item);
            return x.States(item).find("selected") != std::string::npos;
        },
        std::chrono::seconds(30));
    if (!selected) {
        ADD_FAILURE() << "the site could not be selected\n" << x.Dump();
        return false;
    }
    if (!x.Click(item, std::chrono::seconds(60), 1, 2)) {
        ADD_FAILURE() << "the double click on the site failed";
        return false;
    }
    if (!WaitForLogin(server, user)) {
        ADD_FAILURE() << "the page did not log in";
        return false;
    }
    return true;
}

}  // namespace pagetest
