#pragma once
// For the tests that run the real program under Xvfb on the page of a stored site: the program
// copied beside the test's files, the site opened from the site list with its login awaited,
// and what the screen and the server left behind.
#include <chrono>
#include <string>

#include "mainwindow/testing/x_session.h"
#include "tests/ftp_servers/server_fixture.h"

namespace pagetest {

// How long a test waits for a control to appear: each look into the accessibility tree walks
// the whole window, which on a loaded machine takes seconds.
inline constexpr std::chrono::seconds kAppear{60};

// The table cell that shows `name` (a pattern, as Control::Of takes it).
inline mainwindow::testing::Control Row(const std::string& name) {
    return mainwindow::testing::Control::Of("table cell", name);
}

// Copies the program built in `appDir` into `folder` (ending with "/") and returns the copy's
// path; the program keeps its data files beside itself.
std::string CopyProgramInto(const std::string& folder, const std::string& appDir);

// The whole content of a file; "" when it cannot be read.
std::string ReadText(const std::string& path);

// The number of colours in the part `crop` ("WxH+X+Y") of a PNG; -1 when it cannot be read.
int Colours(const std::string& png, const std::string& crop);

// Waits at most `limit` until the server's log shows `user` logged in.
bool WaitForLogin(const ftptest::PyftpdlibServer& server, const std::string& user,
                  std::chrono::seconds limit = std::chrono::seconds(30));

// Waits for the main window of the program `x` runs, lets it paint, double-clicks the first
// stored site of the site list, waits for the login of `user` on `server` and lets the page
// list its folder. Returns the main window's id; empty, with a test failure, when a step failed.
std::string OpenStoredSite(const mainwindow::testing::ProgramOnXvfb& x,
                           const ftptest::PyftpdlibServer& server, const std::string& user);

// Waits for the main window of the program `x` runs, selects the site list's item `site`
// (found through the accessibility tree; selected first, so that the double click cannot open
// another site while the list is still being laid out), double-clicks it and waits for the
// login of `user` on `server`. Adds a test failure and returns false when a step failed.
bool OpenListedSite(const mainwindow::testing::ProgramOnXvfb& x,
                    const ftptest::PyftpdlibServer& server, const std::string& site,
                    const std::string& user);

}  // namespace pagetest
