#include "platform/ftp/list_parser.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/ftp/id_exceptions.h"

namespace ftp {
namespace {

os::LocalDateTime At(int year, int month, int day) {
    os::LocalDateTime now;
    now.year = year;
    now.month = month;
    now.day = day;
    return now;
}

// Name, type, size and date and time, the fields both formats give.
template <typename Case>
void ExpectCommonFields(const TIdFTPListItem& item, const Case& c) {
    EXPECT_EQ(item.FileName, c.name);
    EXPECT_EQ(item.ItemType, c.type);
    EXPECT_EQ(item.Size, c.size);
    const os::LocalDateTime& at = item.ModifiedDate;
    EXPECT_EQ((std::vector<int>{at.year, at.month, at.day, at.hour, at.minute}),
              (std::vector<int>{c.year, c.month, c.day, c.hour, c.minute}));
}

struct UnixCase {
    const char* line;
    os::LocalDateTime now;
    const char* name;
    TIdDirItemType type;
    std::int64_t size;
    int year, month, day, hour, minute;
    const char* owner;
    const char* group;
    const char* perms;  // owner, group, other joined
};

void PrintTo(const UnixCase& c, std::ostream* out) {
    *out << c.line;
}

class UnixLines : public ::testing::TestWithParam<UnixCase> {};

TEST_P(UnixLines, ParsesEveryField) {
    const UnixCase& c = GetParam();
    const auto item = ParseUnixLine(c.line, c.now);
    ASSERT_TRUE(item) << c.line;
    ExpectCommonFields(*item, c);
    EXPECT_EQ(item->OwnerName, c.owner);
    EXPECT_EQ(item->GroupName, c.group);
    EXPECT_EQ(item->OwnerPermissions + item->GroupPermissions + item->OtherPermissions, c.perms);
}

constexpr auto kDir = TIdDirItemType::ditDirectory;
constexpr auto kFile = TIdDirItemType::ditFile;
constexpr auto kLink = TIdDirItemType::ditSymbolicLink;

INSTANTIATE_TEST_SUITE_P(
    Table, UnixLines,
    ::testing::Values(
        // A year given outright.
        UnixCase{"-rw-r--r--   1 ann  staff      1234 Mar  5  2019 notes.txt", At(2026, 12, 10),
                 "notes.txt", kFile, 1234, 2019, 3, 5, 0, 0, "ann", "staff", "rw-r--r--"},
        // A time of day in a month not after the current one: this year.
        UnixCase{"drwxr-xr-x   2 ann  staff      4096 Dec 10 09:15 src", At(2026, 12, 10), "src",
                 kDir, 4096, 2026, 12, 10, 9, 15, "ann", "staff", "rwxr-xr-x"},
        // Across the year boundary: in January a December time is last year's.
        UnixCase{"-rw-r--r--   1 ann  staff        10 Dec 31 23:59 late", At(2027, 1, 2), "late",
                 kFile, 10, 2026, 12, 31, 23, 59, "ann", "staff", "rw-r--r--"},
        UnixCase{"-rw-r--r--   1 ann  staff        10 Jan  1 00:01 early", At(2027, 1, 2), "early",
                 kFile, 10, 2027, 1, 1, 0, 1, "ann", "staff", "rw-r--r--"},
        // Sizes beyond 32 bits.
        UnixCase{"-rw-r--r--   1 ann  staff 3221225472 Jun  1  2024 big.iso", At(2026, 12, 10),
                 "big.iso", kFile, 3221225472LL, 2024, 6, 1, 0, 0, "ann", "staff", "rw-r--r--"},
        // A link: the name is the part before " -> "; upper-case L too.
        UnixCase{"lrwxrwxrwx   1 root root         7 Feb  2  2020 lib -> usr/lib", At(2026, 1, 1),
                 "lib", kLink, 7, 2020, 2, 2, 0, 0, "root", "root", "rwxrwxrwx"},
        UnixCase{"Lrwxrwxrwx   1 root root         7 Feb  2  2020 up -> ..", At(2026, 1, 1), "up",
                 kLink, 7, 2020, 2, 2, 0, 0, "root", "root", "rwxrwxrwx"},
        // Inner, doubled and leading blanks of a name are the server's bytes.
        UnixCase{"-rw-r--r--   1 ann  staff         5 Apr  4  2021 my  file name.txt ",
                 At(2026, 1, 1), "my  file name.txt ", kFile, 5, 2021, 4, 4, 0, 0, "ann", "staff",
                 "rw-r--r--"},
        UnixCase{"-rw-r--r--   1 ann  staff         5 Apr  4  2021  lead", At(2026, 1, 1), " lead",
                 kFile, 5, 2021, 4, 4, 0, 0, "ann", "staff", "rw-r--r--"},
        // A name that looks like a date part, an ACL marker, no group column.
        UnixCase{"-rw-r--r--+  1 ann  staff         5 Apr  4  2021 Jan 1 2020", At(2026, 1, 1),
                 "Jan 1 2020", kFile, 5, 2021, 4, 4, 0, 0, "ann", "staff", "rw-r--r--"},
        UnixCase{"-rw-r--r--   1 ann         77 Apr  4  2021 nogroup", At(2026, 1, 1), "nogroup",
                 kFile, 77, 2021, 4, 4, 0, 0, "ann", "", "rw-r--r--"},
        // An owner that looks like a month does not start the date.
        UnixCase{"-rw-r--r--   1 Jan  5         1234 Mar  5  2019 x", At(2026, 1, 1), "x", kFile,
                 1234, 2019, 3, 5, 0, 0, "Jan", "5", "rw-r--r--"},
        UnixCase{"-rw-r--r--   ann         77 Apr  4  2021 nolinks", At(2026, 1, 1), "nolinks",
                 kFile, 77, 2021, 4, 4, 0, 0, "ann", "", "rw-r--r--"},
        // Other types are files; "." and ".." come through.
        UnixCase{"prw-------   1 ann  staff         0 Apr  4  2021 fifo", At(2026, 1, 1), "fifo",
                 kFile, 0, 2021, 4, 4, 0, 0, "ann", "staff", "rw-------"},
        UnixCase{"drwxr-xr-x   3 ann  staff      4096 Apr  4  2021 ..", At(2026, 1, 1), "..", kDir,
                 4096, 2021, 4, 4, 0, 0, "ann", "staff", "rwxr-xr-x"},
        // Devices: the numbers stand where the size would be; a device has no size.
        UnixCase{"crw-rw-rw- 1 root root 1, 3 Jan 1 2020 null", At(2026, 1, 1), "null", kFile, 0,
                 2020, 1, 1, 0, 0, "root", "root", "rw-rw-rw-"},
        UnixCase{"crw-rw-rw- 1 root root 1,3 Jan 1 2020 null", At(2026, 1, 1), "null", kFile, 0,
                 2020, 1, 1, 0, 0, "root", "root", "rw-rw-rw-"},
        UnixCase{"brw-rw----   1 root disk   8,   0 Dec  9 08:00 sda", At(2026, 12, 10), "sda",
                 kFile, 0, 2026, 12, 9, 8, 0, "root", "disk", "rw-rw----"},
        UnixCase{"crw--w----   1 ann  4, 1 Mar  5  2019 tty1", At(2026, 1, 1), "tty1", kFile, 0,
                 2019, 3, 5, 0, 0, "ann", "", "rw--w----"},
        // February 29 of a leap year, given outright and as this year's.
        UnixCase{"-rw-r--r--   1 ann  staff         1 Feb 29  2024 leap", At(2026, 1, 1), "leap",
                 kFile, 1, 2024, 2, 29, 0, 0, "ann", "staff", "rw-r--r--"},
        UnixCase{"-rw-r--r--   1 ann  staff         1 Feb 29 10:30 leap", At(2028, 3, 1), "leap",
                 kFile, 1, 2028, 2, 29, 10, 30, "ann", "staff", "rw-r--r--"}));

TEST(UnixLinesRejected, LinesThatDoNotFit) {
    const os::LocalDateTime now = At(2026, 1, 1);
    for (const char* line : {
             "total 12",
             "-rw-r--r--   1 ann  staff      1234 Mar  5  2019",       // no name
             "-rw-r--r--   1 ann  staff      12x4 Mar  5  2019 bad",   // size not a number
             "-rw-r--r--   1 ann  staff      1234 Mar 32  2019 day",   // no valid day
             "-rw-r--r--   1 ann  staff      1234 Feb 29  2023 day",   // common year
             "-rw-r--r--   1 ann  staff      1234 Feb 29 10:30 day",   // its year, 2025, is common
             "-rw-r--r--   1 ann  staff      1234 Jun 31  2024 day",   // June has 30 days
             "-rw-r--r--   1 ann  staff      1234 Feb 30  2024 day",   // not even in a leap year
             "crw-rw-rw- 1 root root 1,x Jan 1 2020 null",             // device numbers broken
             "-rw-r--r--   1 ann  staff      1234 Mar  5 25:00 hour",  // no valid time
             "-rw-r--r--   1 ann  staff 99999999999999999999 Mar  5  2019 huge",  // > 64 bits
             "-rwxr-q--r--   1 ann  staff 1 Mar  5  2019 mode",  // not a mode string
         }) {
        EXPECT_FALSE(ParseUnixLine(line, now)) << line;
    }
}

struct DosCase {
    const char* line;
    const char* name;
    TIdDirItemType type;
    std::int64_t size;
    int year, month, day, hour, minute;
};

void PrintTo(const DosCase& c, std::ostream* out) {
    *out << c.line;
}

class DosLines : public ::testing::TestWithParam<DosCase> {};

TEST_P(DosLines, ParsesEveryField) {
    const DosCase& c = GetParam();
    const auto item = ParseDosLine(c.line, At(2026, 6, 1));
    ASSERT_TRUE(item) << c.line;
    ExpectCommonFields(*item, c);
    EXPECT_TRUE(item->OwnerPermissions.empty());
    EXPECT_TRUE(item->OwnerName.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, DosLines,
    ::testing::Values(
        DosCase{"01-02-21  03:04PM       <DIR>          Program Files", "Program Files", kDir, 0,
                2021, 1, 2, 15, 4},
        DosCase{"12-31-98  12:00AM                 1234 old.txt", "old.txt", kFile, 1234, 1998, 12,
                31, 0, 0},
        DosCase{"07-04-2025  12:30PM         4294967296 disk.img", "disk.img", kFile, 4294967296LL,
                2025, 7, 4, 12, 30},
        DosCase{"03-15-24  17:45                  9 a  b", "a  b", kFile, 9, 2024, 3, 15, 17, 45},
        DosCase{"02-29-24  08:00AM                 3 leap", "leap", kFile, 3, 2024, 2, 29, 8, 0}));

TEST(DosLinesRejected, LinesThatDoNotFit) {
    for (const char* line : {
             "13-01-21  03:04PM       <DIR>          month",
             "01-02-21  13:04PM       <DIR>          hour",
             "01-02-21  03:04PM       <FILE>         kind",
             "01-02-21  03:04PM       <DIR>",
             "01/02/21  03:04PM       <DIR>          slashes",
             "02-29-23  03:04PM       <DIR>          common year",
             "06-31-2024  03:04PM     <DIR>          june",
             "04-31-21  03:04PM                 7 april",
         }) {
        EXPECT_FALSE(ParseDosLine(line, At(2026, 1, 1))) << line;
    }
}

TEST(Listing, FirstLineFixesTheFormatAndLinesThatDoNotFitAreSkipped) {
    const struct {
        std::vector<std::string> lines;
        std::vector<std::string> names;
    } cases[] = {
        {{"TOTAL 8", "drwxr-xr-x   2 ann  staff      4096 Apr  4  2021 .",
          "garbage that fits nothing", "", "total 3",
          "-rw-r--r--   1 ann  staff         5 Apr  4  2021 a.txt",
          "01-02-21  03:04PM                 7 dos"},
         {".", "a.txt"}},
        {{"01-02-21  03:04PM       <DIR>          dir",
          "-rw-r--r--   1 ann  staff         5 Apr  4  2021 a.txt",
          "01-02-21  03:04PM                 7 file"},
         {"dir", "file"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> names;
        for (const TIdFTPListItem& item : ParseListing(c.lines, At(2026, 1, 1)))
            names.push_back(item.FileName);
        EXPECT_EQ(names, c.names) << c.lines.front();
    }
}

TEST(Listing, UnknownFirstLineFails) {
    for (const std::vector<std::string>& lines : std::vector<std::vector<std::string>>{
             {"Volume in drive C has no label"},
             {"+i8388621.29609,m824255902,/,\tdev"},
             {"", "modify=20200101000000;type=file; x"},
         }) {
        EXPECT_THROW(ParseListing(lines, At(2026, 1, 1)), EIdUnknownListFormat) << lines.back();
    }
    EXPECT_TRUE(ParseListing({}, At(2026, 1, 1)).empty());
}

// Line by line, as a listing arrives: an unknown first line is reported only when the items
// are asked for, and the lines after it give nothing; the items move out once.
TEST(Listing, TheParserReportsAnUnknownFormatWhenAskedForTheItems) {
    ListingParser unknown(At(2026, 1, 1));
    EXPECT_NO_THROW(unknown.Add("Volume in drive C has no label"));
    EXPECT_NO_THROW(unknown.Add("-rw-r--r--   1 ann  staff         5 Apr  4  2021 a.txt"));
    EXPECT_THROW(unknown.Items(), EIdUnknownListFormat);

    ListingParser parser(At(2026, 1, 1));
    parser.Add("");
    parser.Add("total 1");
    parser.Add("-rw-r--r--   1 ann  staff         5 Apr  4  2021 a.txt");
    parser.Add("not a line of the format");
    const TIdFTPListItems items = parser.Items();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].FileName, "a.txt");
    EXPECT_TRUE(parser.Items().empty());
}

// Lines handed over (moved) give the items that copied lines give, each with its line in Text;
// lines that make no item leave none behind.
TEST(Listing, MovedLinesGiveTheSameItemsWithTheirLines) {
    for (const std::vector<std::string>& lines : std::vector<std::vector<std::string>>{
             {"total 2", "-rw-r--r--   1 ann  staff         5 Apr  4  2021 a.txt", "junk",
              "drwxr-xr-x   2 ann  staff      4096 Apr  4 10:20 sub",
              "lrwxrwxrwx   1 ann  staff         3 Apr  4  2021 l -> a.txt"},
             {"01-02-21  03:04PM       <DIR>          dir", "junk",
              "01-02-21  03:04PM                 7 file name"},
         }) {
        SCOPED_TRACE(lines.front());
        ListingParser copied(At(2026, 1, 1));
        ListingParser moved(At(2026, 1, 1));
        for (const std::string& line : lines) {
            copied.Add(line);
            std::string handed = line;
            moved.Add(std::move(handed));
        }
        const TIdFTPListItems expected = copied.Items();
        const TIdFTPListItems items = moved.Items();
        ASSERT_EQ(items.size(), expected.size());
        ASSERT_GE(items.size(), 2u);
        for (std::size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i].FileName, expected[i].FileName) << i;
            EXPECT_EQ(items[i].ItemType, expected[i].ItemType) << i;
            EXPECT_EQ(items[i].Size, expected[i].Size) << i;
            EXPECT_EQ(items[i].OwnerPermissions, expected[i].OwnerPermissions) << i;
            EXPECT_EQ(items[i].Text, expected[i].Text) << i;
            EXPECT_NE(std::find(lines.begin(), lines.end(), items[i].Text), lines.end()) << i;
        }
    }
}

TEST(Listing, NameBytesAreKeptExactly) {
    const std::string line("-rw-r--r--   1 a b 1 Jan  1  2020 x\xff\x01/y");
    const auto item = ParseUnixLine(line, At(2026, 1, 1));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->FileName, std::string("x\xff\x01/y"));
    EXPECT_FALSE(IsSafeLocalName(item->FileName));
}

TEST(SafeLocalName, Table) {
    const struct {
        std::string name;
        bool safe;
    } cases[] = {
        {"a.txt", true},
        {"..a", true},
        {"a b", true},
        {".hidden", true},
        {"...", true},
        {"", false},
        {".", false},
        {"..", false},
        {"a/b", false},
        {"/", false},
        {"../up", false},
        {"/etc", false},
        {std::string("a\0b", 3), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsSafeLocalName(c.name), c.safe) << c.name;
}

}  // namespace
}  // namespace ftp
