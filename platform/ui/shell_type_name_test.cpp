#include "platform/ui/shell_type_name.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/ui/testing/qt_test_environment.h"

namespace {

// What the remote list needs of a type name: one per extension, never empty (an empty type
// means a folder to its readers), from the database for a known extension.
TEST(ShellTypeName, OneNonEmptyNamePerExtension) {
    const std::string text = ui::ShellTypeName("notes.txt");
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text, "TXT File");  // the database knows plain text
    EXPECT_EQ(ui::ShellTypeName("other name.txt"), text);
    EXPECT_EQ(ui::ShellTypeName("a.b.txt"), text);
    // Only the last extension counts, even where the database has a longer pattern.
    EXPECT_EQ(ui::ShellTypeName("backup.tar.gz"), ui::ShellTypeName("x.gz"));
    EXPECT_NE(ui::ShellTypeName("x.gz"), text);
}

TEST(ShellTypeName, UnknownAndMissingExtensionsFallBackToPlainText) {
    struct Case {
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {"data.qqqzzx", "QQQZZX File"}, {"DATA.Qqqzzx", "QQQZZX File"}, {"README", "File"},
        {"Makefile", "File"},           {"trailing.", "File"},          {"", "File"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::ShellTypeName(c.name), c.expected) << c.name;
}

TEST(ShellTypeName, ALongOrDamagedExtensionGivesAShortTextCutAtACharacterBoundary) {
    // 40 two-byte characters: 80 bytes; the extension is cut to 74 bytes, 37 characters,
    // and keeps " File" within the 79.
    std::string extension;
    std::string kept;
    for (int i = 0; i < 40; ++i) {
        extension += "\xC3\xA9";
        if (i < 37)
            kept += "\xC3\xA9";
    }
    const std::string text = ui::ShellTypeName("x." + extension);
    EXPECT_EQ(text, kept + " File");
    EXPECT_EQ(text, ui::ShellTypeName("y." + extension));
    // Bytes that are not UTF-8 still name a type; as they form no character they are cut at
    // the limit itself, and " File" stays within the 79.
    EXPECT_FALSE(ui::ShellTypeName("x.\xFF\xFE").empty());
    EXPECT_EQ(ui::ShellTypeName("x." + std::string(100, '\x80')),
              std::string(74, '\x80') + " File");
}

}  // namespace
