// The history writer on the real tables: heads per site, day and direction, detail rows under
// the head's key, and the names and times a transfer leaves.
#include "connection/history_writer.h"

#include <gtest/gtest.h>

#include <QLocale>

#include "tests/pages/page_rig.h"

namespace pagetest {
namespace {

using HistoryWriter = PageRig;

rupdown Entry(int direction, const std::string& name, const std::string& folder = "0") {
    rupdown entry;
    entry.direction = direction;
    entry.name = name;
    entry.lopath = "/home/u/" + name;
    entry.ftppath = folder;
    return entry;
}

THistoryTransfer Transfer(std::int32_t site, const rupdown& entry, const std::string& newName) {
    THistoryTransfer transfer;
    transfer.siteId = site;
    transfer.entry = &entry;
    transfer.newName = newName;
    transfer.currentDir = "/pub";
    transfer.itemStart = DateTimeValue({2026, 12, 10, 9, 8, 7, 0});
    transfer.itemEnd = DateTimeValue({2026, 12, 10, 9, 8, 8, 500});
    transfer.elapsedMs = 1500;
    transfer.speed = "12.50KB/S";
    return transfer;
}

// Two uploads of one site on one day share a head; a download of that day, another site and
// another day each get a head of their own; every detail sits under its head's key.
TEST_F(HistoryWriter, HeadsPerSiteDayAndDirection) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const rupdown up = Entry(0, "a.txt");
    const rupdown down = Entry(1, "b.txt", "/incoming");
    const std::string today = "Thursday, December 10, 2026";
    const std::int32_t first = WriteHistoryRows(*dm, Transfer(7, up, ""), today);
    EXPECT_EQ(WriteHistoryRows(*dm, Transfer(7, up, ""), today), first);
    const std::int32_t download = WriteHistoryRows(*dm, Transfer(7, down, ""), today);
    const std::int32_t other = WriteHistoryRows(*dm, Transfer(8, up, ""), today);
    const std::int32_t tomorrow =
        WriteHistoryRows(*dm, Transfer(7, up, ""), "Friday, December 11, 2026");
    EXPECT_NE(download, first);
    EXPECT_NE(other, first);
    EXPECT_NE(tomorrow, first);
    EXPECT_EQ(Column(*dm->Thm, "key").size(), 4u);
    EXPECT_EQ(Column(*dm->Thd, "id"),
              (std::vector<std::string>{std::to_string(first), std::to_string(first),
                                        std::to_string(download), std::to_string(other),
                                        std::to_string(tomorrow)}));
    EXPECT_EQ(Column(*dm->Thd, "ftppath"),
              (std::vector<std::string>{"/pub", "/pub", "/incoming", "/pub", "/pub"}));
    EXPECT_EQ(Column(*dm->Thd, "date")[0], "09:08:07");
    EXPECT_EQ(Column(*dm->Thd, "date2")[0], "09:08:08");
    EXPECT_EQ(Column(*dm->Thd, "usetime")[0], "1.5");
    EXPECT_EQ(Column(*dm->Thd, "speed")[0], "12.50KB/S");
    QLocale::setDefault(saved);
}

// A rename answer names the new file on the side it was made on; the local path stays the
// entry's own.
TEST_F(HistoryWriter, ARenamedTransferRecordsTheNewNameOnItsSide) {
    const rupdown down = Entry(1, "remote.txt");
    const rupdown up = Entry(0, "local.txt");
    WriteHistoryRows(*dm, Transfer(1, down, "renamed.txt"), "d");
    WriteHistoryRows(*dm, Transfer(1, up, "renamed.txt"), "d");
    EXPECT_EQ(Column(*dm->Thd, "lofile"), (std::vector<std::string>{"renamed.txt", "local.txt"}));
    EXPECT_EQ(Column(*dm->Thd, "ftpfile"), (std::vector<std::string>{"remote.txt", "renamed.txt"}));
    EXPECT_EQ(Column(*dm->Thd, "lopath"),
              (std::vector<std::string>{"/home/u/remote.txt", "/home/u/local.txt"}));
    EXPECT_EQ(Column(*dm->Thd, "type"), (std::vector<std::string>{"Download", "Upload"}));
}

// Names and paths longer than their columns (a name of 300 bytes from a server, a folder of
// 5000) still make a row, with each text cut to its column at a character boundary; the
// transfer that succeeded is never failed by its history.
TEST_F(HistoryWriter, LongNamesAndPathsAreRecordedCutToTheirColumns) {
    std::string name = "n";
    for (int i = 0; i < 150; ++i)
        name += "\xC3\xA9";  // 301 bytes
    const std::string folder = "/" + std::string(5000, 'f');
    rupdown down = Entry(1, name, folder);
    down.lopath = "/home/u/" + std::string(5000, 'l');
    ASSERT_NO_THROW(WriteHistoryRows(*dm, Transfer(1, down, ""), "d"));
    rupdown up = Entry(0, "up.txt");
    ASSERT_NO_THROW(WriteHistoryRows(*dm, Transfer(1, up, name), "d"));
    const std::string cutName = name.substr(0, 255);  // "n" and 127 characters of two bytes
    EXPECT_EQ(Column(*dm->Thd, "lofile"), (std::vector<std::string>{cutName, "up.txt"}));
    EXPECT_EQ(Column(*dm->Thd, "ftpfile"), (std::vector<std::string>{cutName, cutName}));
    EXPECT_EQ(Column(*dm->Thd, "ftppath"),
              (std::vector<std::string>{folder.substr(0, 4096), "/pub"}));
    EXPECT_EQ(Column(*dm->Thd, "lopath"),
              (std::vector<std::string>{down.lopath.substr(0, 4096), "/home/u/up.txt"}));
}

}  // namespace
}  // namespace pagetest
