// Resumed downloads on a connected page: the question offers Resume for a shorter local file,
// the page continues it from its end, and the restart probe goes out once per connection.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "connection/page_session.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"
#include "platform/ui/testing/qt_test_environment.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/ftp_servers/temp_folder.h"
#include "tests/pages/listing_page_rig.h"
#include "tests/pages/transfer_page_rig.h"

namespace pagetest {
namespace {

using ui::ClickButton;

// A download cut at 50 seeded random places (the local file holds that many first bytes) is
// resumed to the same bytes as the server's every time.
TEST(PageResume, CutDownloadsResumeByteIdenticalWithOneProbe) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string original = ftptest::RandomBytes(1 << 20, 50);
    ftptest::WriteFileBytes(server.account().local_folder + "big.bin", original);
    ftptest::TempFolder local("resume");
    const std::string target = local.File("big.bin");
    RealPageDialogs dialogs;
    ui::ModalDriver driver(ui::GtestFailure());
    ListingPage rig(server.account(), false);
    rig.Connect("/");
    Tfb& page = rig.page();
    page.SetDialogs(&dialogs.box);

    std::mt19937 random(20261210);
    std::uniform_int_distribution<std::size_t> cut(0, original.size() - 1);
    for (int attempt = 0; attempt < 50; ++attempt) {
        const std::size_t offset = cut(random);
        SCOPED_TRACE(offset);
        ftptest::WriteFileBytes(target, original.substr(0, offset));
        driver.Next([](QDialog& dialog) { ClickButton(dialog, "Button9"); });
        const TExchangeGuard::Exchange exchange(page.Session().Guard());
        const rtmpinfo info{target, static_cast<std::int64_t>(original.size()), "?", 0};
        ASSERT_EQ(page.AskDuplicateAction(info, false, true), TDuplicateCode::kResume);
        ASSERT_EQ(page.FResumeOffset, static_cast<std::int64_t>(offset));
        ASSERT_EQ(page.FResumeRemaining, static_cast<std::int64_t>(original.size() - offset));
        page.IdFTP1.SendCmd("REST " + std::to_string(page.FResumeOffset));
        page.IdFTP1.Get("big.bin", target, false, true);
        ASSERT_EQ(Fingerprint(ftptest::ReadFileBytes(target)), Fingerprint(original));
    }
    int probes = 0;
    for (const std::string& line : rig.Sent())
        probes += line == "REST 1" ? 1 : 0;
    EXPECT_EQ(probes, 1);
    EXPECT_EQ(driver.DialogsDriven(), 50);
}

}  // namespace
}  // namespace pagetest
