#include "engine/stored_text.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/db_error.h"
#include "engine/file_format.h"
#include "engine/schema_rules.h"

namespace vesk {
namespace {

TEST(StoredText, MessagesShowEveryByteThatIsNoCharacterEscaped) {
    const struct {
        std::string bytes;
        std::string shown;
    } cases[] = {
        {"ftpsite", "ftpsite"},
        {"ft\x01psite", "ft\\x01psite"},
        {std::string("a\0b", 3), "a\\x00b"},
        {"tab\there\r\n", "tab\\x09here\\x0D\\x0A"},
        {"del\x7F", "del\\x7F"},
        {"back\\slash", "back\\\\slash"},
        {"\xC3\xBC"
         "ber",
         "\xC3\xBC"
         "ber"},                                       // UTF-8 stays
        {"Blowf\xE9sh", "Blowf\\xE9sh"},               // a byte of no character
        {"\xC3", "\\xC3"},                             // a character cut short
        {"\xC0\xAF", "\\xC0\\xAF"},                    // an overlong form
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"},           // a surrogate
        {"\xF0\x9F\x98\x80!", "\xF0\x9F\x98\x80!"},    // four bytes
        {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},  // beyond U+10FFFF
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapeStoredText(c.bytes), c.shown) << c.shown;
}

TEST(StoredText, NameRules) {
    const auto stored = [](const std::string& bytes) {
        std::vector<std::uint8_t> field(format::kNameSize, 0);
        std::memcpy(field.data(), bytes.data(), std::min<size_t>(bytes.size(), field.size()));
        return field;
    };
    const struct {
        std::string bytes;
        std::string name;       // StoredNameProblem
        std::string algorithm;  // StoredAlgorithmNameProblem
    } cases[] = {
        {"ftpsite", "", ""},
        {std::string(32, 'x'), "", ""},
        {std::string(33, 'x'), "", "has no terminating zero byte"},  // a name fills its field
        {"", "is empty", "is empty"},
        {"a b", "", "holds the byte \\x20"},
        {"\xC3\xBC"
         "ber",
         "", "holds the byte \\xC3"},
        {"x\x1Fy", "holds the byte \\x1F", "holds the byte \\x1F"},
        {"x\x7F", "holds the byte \\x7F", "holds the byte \\x7F"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(EscapeStoredText(c.bytes));
        const std::vector<std::uint8_t> field = stored(c.bytes);
        EXPECT_EQ(StoredNameProblem(field.data(), format::kNameSize), c.name);
        EXPECT_EQ(StoredAlgorithmNameProblem(field.data(), format::kNameSize), c.algorithm);
    }
    EXPECT_EQ(NameProblem(std::string(32, 'n')), "");
    EXPECT_EQ(NameProblem(std::string(33, 'n')), "is longer than 32 bytes");
    EXPECT_EQ(NameProblem(std::string("a\0b", 3)), "holds a zero byte");
    EXPECT_EQ(NameProblem("a\tb"), "holds the byte \\x09");
}

TEST(StoredText, TheBuilderWritesNoNameTheReadersRefuse) {
    DatabaseSchema schema;
    schema.tables = {{"ok", {{"bad\x01name", ftInteger, 0, 0}}, {}}};
    try {
        ValidateSchema(schema);
        ADD_FAILURE() << "accepted";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Table 'ok', field 'bad\\x01name': the name holds the byte \\x01");
    }
}

}  // namespace
}  // namespace vesk
