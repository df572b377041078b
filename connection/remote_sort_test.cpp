#include "connection/remote_sort.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

rdatalist Entry(const std::string& name, const std::string& shelltype, std::int64_t size,
                const std::string& modified, const std::string& mode) {
    rdatalist entry;
    entry.name = name;
    entry.shelltype = shelltype;
    entry.typetext = shelltype.empty() ? "Folder" : shelltype;
    entry.isfile = shelltype.empty() ? 0 : 1;
    entry.size = size;
    entry.modified = modified;
    entry.attr = mode.substr(0, 4);
    entry.grpperm = mode.substr(4, 3);
    entry.othperm = mode.substr(7, 3);
    return entry;
}

// One fixed set of entries: two folders, files of two types, an empty file.
std::vector<rdatalist> Entries() {
    return {
        Entry("zeta.txt", "Text", 300, "2024-05-01 10:00:00", "-rw-r--r--"),
        Entry("Beta", "", 0, "2023-01-01 00:00:00", "drwxr-xr-x"),
        Entry("alpha.zip", "Zip archive", 9000, "2022-12-31 23:59:59", "-rw-------"),
        Entry("empty.txt", "Text", 0, "2024-05-01 09:59:59", "-rwxr-xr-x"),
        Entry("alpha", "", 0, "2025-02-03 04:05:06", "drwx------"),
    };
}

std::vector<std::string> Names(const std::vector<rdatalist>& entries) {
    std::vector<std::string> names;
    for (const rdatalist& entry : entries)
        names.push_back(entry.name);
    return names;
}

// Each key over the same set. Where a key leaves entries equal their order is free, so the
// set has at most ties that the expectation does not depend on (checked by the key below).
TEST(RemoteSort, EachKeyOrdersTheFixedSet) {
    struct Case {
        int column;
        std::vector<std::string> order;
    };
    const Case cases[] = {
        // Names mix folders and files; case is ignored ("alpha" < "alpha.zip" < "Beta").
        {0, {"alpha", "alpha.zip", "Beta", "empty.txt", "zeta.txt"}},
        // Folders and empty files (all 0) first, then by size.
        {1, {"*", "*", "*", "zeta.txt", "alpha.zip"}},
        // Folders (no type) first, then files grouped by type.
        {2, {"*", "*", "*", "*", "alpha.zip"}},
        {3, {"alpha.zip", "Beta", "empty.txt", "zeta.txt", "alpha"}},
        // The whole mode text: '-' (0x2D) before 'd' in the collation.
        {4, {"alpha.zip", "zeta.txt", "empty.txt", "alpha", "Beta"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        std::vector<rdatalist> entries = Entries();
        SortEntries(entries, c.column);
        const std::vector<std::string> names = Names(entries);
        ASSERT_EQ(names.size(), c.order.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (c.order[i] != "*") {
                EXPECT_EQ(names[i], c.order[i]) << i;
            }
        }
        // Ascending by the key's own compare, whatever the ties.
        for (std::size_t i = 1; i < entries.size(); ++i)
            EXPECT_LE(CompareByColumn(entries[i - 1], entries[i], c.column), 0) << i;
    }
}

TEST(RemoteSort, TiesFallWhereTheKeySaysAndFoldersLeadByType) {
    std::vector<rdatalist> entries = Entries();
    SortEntries(entries, 2);
    EXPECT_EQ(entries[0].isfile, 0);
    EXPECT_EQ(entries[1].isfile, 0);
    EXPECT_EQ(entries[2].shelltype, "Text");
    EXPECT_EQ(entries[3].shelltype, "Text");
    entries = Entries();
    SortEntries(entries, 1);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(entries[static_cast<std::size_t>(i)].size, 0) << i;
}

// The order taken apart: the entries join a new list a few at a time, as a listing moves them
// between pumps, and end in the order SortEntries gives; ties keep the order they had.
TEST(RemoteSort, AnOrderMovedInStepsIsTheSortedList) {
    for (int column = 0; column <= 4; ++column) {
        SCOPED_TRACE(column);
        std::vector<rdatalist> sorted = Entries();
        SortEntries(sorted, column);
        std::vector<rdatalist> from = Entries();
        const std::vector<std::size_t> order = SortedOrder(from, column);
        ASSERT_EQ(order.size(), from.size());
        std::vector<rdatalist> to;
        std::size_t next = 0;
        std::vector<std::size_t> sizes;
        while (next < order.size()) {
            MoveInOrder(from, order, next, 2, to);
            sizes.push_back(to.size());
        }
        EXPECT_EQ(sizes, (std::vector<std::size_t>{2, 4, 5}));
        EXPECT_EQ(Names(to), Names(sorted));
        for (std::size_t i = 1; i < order.size(); ++i) {
            if (CompareByColumn(to[i - 1], to[i], column) == 0) {
                EXPECT_LT(order[i - 1], order[i]) << i;
            }
        }
    }
}

// Larger sets whose keys hold few distinct texts (the type names of a folder) or many: every
// key gives an ascending order by its compare in which equal entries keep their order. Texts
// differ in case too, which the compares ignore.
TEST(RemoteSort, LargeSetsOfFewAndOfManyTextsSortAscendingAndStable) {
    for (const int kinds : {3, 700}) {
        SCOPED_TRACE(kinds);
        std::vector<rdatalist> entries;
        // More than two of the sort's runs of 4096 keys, the last one short: the merges run.
        for (int i = 0; i < 10000; ++i) {
            const int kind = (i * 37) % kinds;
            const std::string type =
                kind == 0 ? "" : ((i % 2 ? "Type " : "TYPE ") + std::to_string(kind));
            const std::string day = std::to_string(10 + kind % 20);
            entries.push_back(Entry((i % 3 ? "n" : "N") + std::to_string((i * 7919) % 10000), type,
                                    kind * 100, "2024-01-" + day + " 00:00:00",
                                    kind % 2 ? "-rw-r--r--" : "drwxr-xr-x"));
        }
        for (int column = 0; column <= 4; ++column) {
            SCOPED_TRACE(column);
            const std::vector<std::size_t> order = SortedOrder(entries, column);
            ASSERT_EQ(order.size(), entries.size());
            std::vector<bool> seen(entries.size());
            for (std::size_t k = 0; k < order.size(); ++k) {
                ASSERT_LT(order[k], entries.size());
                EXPECT_FALSE(seen[order[k]]);
                seen[order[k]] = true;
                if (k == 0)
                    continue;
                const int compared =
                    CompareByColumn(entries[order[k - 1]], entries[order[k]], column);
                ASSERT_LE(compared, 0) << k;
                if (compared == 0) {
                    ASSERT_LT(order[k - 1], order[k]) << k;
                }
            }
        }
    }
}

// Found in steps, an order asks whether to go on every few thousand keys, gives what the
// order in one go gives, and gives nothing once told to stop.
TEST(RemoteSort, AnOrderFoundInStepsAsksToGoOnAndCanBeStopped) {
    auto keysOf = [](int column) {
        SortKeys keys(column, 20000);
        for (int i = 0; i < 20000; ++i) {
            const int n = (i * 7919) % 20000;
            keys.Add("n" + std::to_string(n), "Type " + std::to_string(n % 5), n % 300,
                     "2024-01-01", "-rw-r--r--", "", "");
        }
        return keys;
    };
    for (const int column : {0, 1, 2}) {
        SCOPED_TRACE(column);
        const std::vector<std::size_t> whole = keysOf(column).Order();
        int asked = 0;
        const auto stepped = keysOf(column).Order([&] { return ++asked > 0; });
        ASSERT_TRUE(stepped.has_value());
        EXPECT_EQ(*stepped, whole);
        EXPECT_GE(asked, 4) << "20,000 keys are some steps of a few thousand";
        int allowed = 2;
        EXPECT_FALSE(keysOf(column).Order([&] { return --allowed > 0; }).has_value());
    }
}

TEST(RemoteSort, TheCompares) {
    struct Case {
        int (*compare)(const rdatalist&, const rdatalist&);
        rdatalist left;
        rdatalist right;
        int sign;
    };
    const rdatalist folder = Entry("Docs", "", 0, "2024-01-01 00:00:00", "drwxr-xr-x");
    const Case cases[] = {
        // Names that differ only in case are equal; otherwise folded order.
        {CompareByName, Entry("README", "T", 1, "", "----------"),
         Entry("readme", "T", 1, "", "----------"), 0},
        {CompareByName, Entry("b", "T", 1, "", "----------"), Entry("A", "T", 1, "", "----------"),
         1},
        // Letters fold to lower case: '_' (0x5F) sorts before every letter.
        {CompareByName, Entry("_x", "T", 1, "", "----------"), Entry("a", "T", 1, "", "----------"),
         -1},
        // Sizes numerically, beyond 32 bits.
        {CompareBySize, Entry("a", "T", 3LL << 30, "", "----------"),
         Entry("b", "T", 5000000000LL, "", "----------"), -1},
        {CompareBySize, folder, Entry("e", "T", 0, "", "----------"), 0},
        {CompareBySize, Entry("a", "T", 10, "", "----------"), Entry("b", "T", 9, "", "----------"),
         1},
        // Types: a folder's empty type first; case ignored.
        {CompareByType, folder, Entry("a", "Text", 1, "", "----------"), -1},
        {CompareByType, Entry("a", "TEXT", 1, "", "----------"),
         Entry("b", "text", 1, "", "----------"), 0},
        // Dates: the text order is the time order.
        {CompareByDate, Entry("a", "T", 1, "2024-01-02 00:00:00", "----------"),
         Entry("b", "T", 1, "2024-01-01 23:59:59", "----------"), 1},
        // Attributes: the three parts as one text.
        {CompareByAttributes, Entry("a", "T", 1, "", "-rw-r--r--"),
         Entry("b", "T", 1, "", "-rw-r--r-x"), -1},
        {CompareByAttributes, Entry("a", "T", 1, "", "-RW-r--r--"),
         Entry("b", "T", 1, "", "-rw-r--r--"), 0},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const int result = c.compare(c.left, c.right);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << i;
        const int reverse = c.compare(c.right, c.left);
        EXPECT_EQ((reverse > 0) - (reverse < 0), -c.sign) << i;
    }
}

}  // namespace
