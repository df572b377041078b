#include "connection/remote_listing.h"

#include <gtest/gtest.h>

#include <QObject>

#include <string>
#include <vector>

#include "connection/page_session.h"
#include "platform/ui/owner_data_model.h"
#include "platform/ui/shell_type_name.h"
#include "platform/ui/testing/qt_test_environment.h"

namespace {

class RemoteListingTest : public ::testing::Test {
  protected:
    RemoteListingTest() {
        rows_.SetDataCallback(
            [this](int row, ui::OwnerDataItem& item) { listing_.ListView2Data(row, item); });
    }

    void AddFolder(TRemoteListing& listing, const std::string& folder, const std::string& name,
                   bool isFolder, const std::string& bytes) {
        const std::string kind = isFolder ? "Folder" : "";
        const std::string attr = isFolder ? "drwx" : "-rw-";
        listing.AddCacheEntry(folder, name, kind, bytes, "2024-03-04 05:06:07", "ann", "staff",
                              attr, "r-x", "r--");
    }

    QObject context_;
    TPageSession session_{context_};
    ui::OwnerDataModel rows_;
    TRemoteListing listing_{session_, rows_};
};

TEST_F(RemoteListingTest, DisplayAndCacheEntriesDifferFieldByField) {
    listing_.AddDisplayEntry("docs", "Folder", "4096", "2024-01-02 03:04:05", "ann", "staff",
                             "drwx", "r-x", "---");
    listing_.AddDisplayEntry("notes.txt", "", "0", "2024-01-02 03:04:06", "bob", "users", "-rw-",
                             "r--", "r--");
    listing_.AddDisplayEntry(".", "Folder", "4096", "", "", "", "", "", "");
    listing_.AddDisplayEntry("..", "Folder", "4096", "", "", "", "", "", "");
    listing_.AddCacheEntry("/pub", "docs", "Folder", "4096", "2024-01-02 03:04:05", "ann", "staff",
                           "drwx", "r-x", "---");
    listing_.AddCacheEntry("/pub", "notes.txt", "", "0", "2024-01-02 03:04:06", "bob", "users",
                           "-rw-", "r--", "r--");

    ASSERT_EQ(listing_.FDisplayList.size(), 2u);
    ASSERT_EQ(listing_.FDirCache.size(), 2u);
    const std::string textType = ui::ShellTypeName("notes.txt");
    ASSERT_FALSE(textType.empty());
    struct Expected {
        std::string seqno, name, typetext;
        int isfile;
        std::string sizetext;
        std::int64_t size;
        std::string shelltype, folder, owner, attr, grpperm, othperm;
    };
    const Expected display[] = {
        {"1", "docs", "Folder", 0, "", 0, "", "", "ann", "drwx", "r-x", "---"},
        {"2", "notes.txt", textType, 1, "1KB", 0, textType, "", "bob", "-rw-", "r--", "r--"},
    };
    const Expected cache[] = {
        {"1", "docs", "Folder", 0, "4096", 0, "", "/pub", "ann", "drwx", "r-x", "---"},
        {"2", "notes.txt", "", 0, "0", 0, "", "/pub", "bob", "-rw-", "r--", "r--"},
    };
    for (int list = 0; list < 2; ++list) {
        for (std::size_t i = 0; i < 2; ++i) {
            const rdatalist& entry = list == 0 ? listing_.FDisplayList[i] : listing_.FDirCache[i];
            const Expected& e = list == 0 ? display[i] : cache[i];
            SCOPED_TRACE(std::to_string(list) + " " + e.name);
            EXPECT_EQ(entry.seqno, e.seqno);
            EXPECT_EQ(entry.name, e.name);
            EXPECT_EQ(entry.typetext, e.typetext);
            EXPECT_EQ(entry.isfile, e.isfile);
            EXPECT_EQ(entry.sizetext, e.sizetext);
            EXPECT_EQ(entry.size, e.size);
            EXPECT_EQ(entry.shelltype, e.shelltype);
            EXPECT_EQ(entry.folder, e.folder);
            EXPECT_EQ(entry.owner, e.owner);
            EXPECT_EQ(entry.attr, e.attr);
            EXPECT_EQ(entry.grpperm, e.grpperm);
            EXPECT_EQ(entry.othperm, e.othperm);
            EXPECT_EQ(entry.modified.size(), 19u);
        }
    }
    EXPECT_EQ(listing_.FDisplayList[0].group, "staff");
    EXPECT_EQ(listing_.FDirCache[1].group, "users");
}

TEST_F(RemoteListingTest, SizesShowInKilobytesHalvesToEvenAtLeastOne) {
    struct Case {
        std::string bytes;
        std::string text;
        std::int64_t size;
    };
    const Case cases[] = {
        {"0", "1KB", 0},
        {"1", "1KB", 1},
        {"512", "1KB", 512},  // a half: 0 is even, and at least 1 shows
        {"1535", "1KB", 1535},
        {"1536", "2KB", 1536},  // 1.5 goes up to the even 2
        {"2560", "2KB", 2560},  // 2.5 goes down to the even 2
        {"3584", "4KB", 3584},
        {"3221225472", "3145728KB", 3221225472LL},  // 3 GB, beyond 32 bits
        {"9223372036854775807", "9007199254740992KB", 9223372036854775807LL},
        {"not a size", "1KB", 0},
    };
    for (const Case& c : cases) {
        listing_.AddDisplayEntry("f" + c.bytes, "", c.bytes, "", "", "", "-", "", "");
        const rdatalist& entry = listing_.FDisplayList.back();
        EXPECT_EQ(entry.sizetext, c.text) << c.bytes;
        EXPECT_EQ(entry.size, c.size) << c.bytes;
    }
}

TEST_F(RemoteListingTest, InvalidationByModeComparesExactly) {
    struct Case {
        const char* folder;
        const char* name;
        int mode;
        std::vector<std::string> left;  // folder:name of what stays
    };
    const Case cases[] = {
        {"/a", "", 0, {"/b:x", "/A:x"}},
        {"/a", "x", 2, {"/a:y", "/a:X", "/b:x", "/A:x"}},
        {"/a", "X", 2, {"/a:x", "/a:y", "/b:x", "/A:x"}},
        {"/a", "x", 1, {"/a:x", "/a:y", "/a:X", "/b:x", "/A:x"}},
        {"/a/", "", 0, {"/a:x", "/a:y", "/a:X", "/b:x", "/A:x"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.folder) + " " + c.name + " " + std::to_string(c.mode));
        listing_.FDirCache.clear();
        AddFolder(listing_, "/a", "x", false, "1");
        AddFolder(listing_, "/a", "y", false, "1");
        AddFolder(listing_, "/a", "X", false, "1");
        AddFolder(listing_, "/b", "x", false, "1");
        AddFolder(listing_, "/A", "x", false, "1");
        listing_.InvalidateCache(c.folder, c.name, c.mode);
        std::vector<std::string> left;
        for (const rdatalist& entry : listing_.FDirCache)
            left.push_back(entry.folder + ":" + entry.name);
        EXPECT_EQ(left, c.left);
    }
}

TEST_F(RemoteListingTest, AFolderShowsFromTheCacheSortedWithItsDisplayFields) {
    AddFolder(listing_, "/pub", "b.txt", false, "2560");
    AddFolder(listing_, "/other", "elsewhere", true, "4096");
    AddFolder(listing_, "/pub", "sub", true, "4096");
    AddFolder(listing_, "/pub/", "slash", true, "4096");
    rows_.SetRowCount(7);  // an earlier, longer folder
    listing_.FSortColumn = 2;
    listing_.ShowDirFromCache("/pub");

    ASSERT_EQ(listing_.FDisplayList.size(), 2u);
    EXPECT_EQ(rows_.RowCount(), 2);
    const ui::OwnerDataItem folder = rows_.Item(0);
    EXPECT_EQ(folder.caption, "sub");
    EXPECT_EQ(folder.imageIndex, 0);
    EXPECT_EQ(folder.subItems,
              (std::vector<std::string>{"", "Folder", "2024-03-04 05:06:07", "drwxr-xr--"}));
    const ui::OwnerDataItem file = rows_.Item(1);
    EXPECT_EQ(file.caption, "b.txt");
    EXPECT_EQ(file.imageIndex, 1);
    EXPECT_EQ(file.subItems, (std::vector<std::string>{"2KB", ui::ShellTypeName("b.txt"),
                                                       "2024-03-04 05:06:07", "-rw-r-xr--"}));
    EXPECT_EQ(listing_.FDisplayList[1].size, 2560);
    // The cache keeps its entries: the display list has copies.
    EXPECT_EQ(listing_.FDirCache.size(), 4u);
    EXPECT_EQ(listing_.FDirCache[0].sizetext, "2560");
}

TEST_F(RemoteListingTest, RowsOutsideTheDisplayListStayEmpty) {
    AddFolder(listing_, "/pub", "only", false, "1");
    listing_.ShowDirFromCache("/pub");
    for (const int row : {-1, 1, 1000}) {
        ui::OwnerDataItem item;
        listing_.ListView2Data(row, item);
        EXPECT_TRUE(item.caption.empty()) << row;
        EXPECT_TRUE(item.subItems.empty()) << row;
        EXPECT_EQ(item.imageIndex, -1) << row;
    }
}

// Not connected, a folder the cache does not hold is listed, which fails before anything is
// shown; the rows follow the emptied display list.
TEST_F(RemoteListingTest, AFolderTheCacheDoesNotHoldIsListed) {
    AddFolder(listing_, "/pub", "only", false, "1");
    listing_.ShowDirFromCache("/pub");
    EXPECT_ANY_THROW(listing_.ShowDirFromCache("/PUB"));
    EXPECT_TRUE(listing_.FDisplayList.empty());
    EXPECT_EQ(rows_.RowCount(), 0);
}

}  // namespace
