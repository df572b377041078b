// The field accessors' conversion rules and messages, on a row of the site table.
#include <gtest/gtest.h>

#include <functional>

#include "engine/dataset/dataset_test_support.h"
#include "engine/dataset/field_convert.h"
#include "engine/day_number.h"
#include "platform/os/clock.h"

namespace vesk::testing {
namespace {

using FieldAccess = TableFixture;

struct WriteCase {
    const char* label;
    const char* field;
    std::function<void(TField&)> write;
    const char* readBack;  // AsString after the write (and after reopen)
    const char* error;     // empty: no error
};

TEST_F(FieldAccess, WritesConvertOrRefuseAndKeepTheOldValue) {
    const std::vector<WriteCase> cases = {
        {"text of the field's size", "name",
         [](TField& f) { f.SetAsString("abcdefghijklmnopqrst"); }, "abcdefghijklmnopqrst", ""},
        {"text one byte too long", "name",
         [](TField& f) { f.SetAsString("abcdefghijklmnopqrstu"); }, "abcdefghijklmnopqrst",
         "Value too long for field 'name': 21 bytes, the field holds 20"},
        {"UTF-8 text counted in bytes, too long", "name",
         [](TField& f) { f.SetAsString("abcdefghijklmnopqrs\xC3\xA9"); }, "abcdefghijklmnopqrst",
         "Value too long for field 'name': 21 bytes, the field holds 20"},
        {"UTF-8 text counted in bytes, fits", "name",
         [](TField& f) { f.SetAsString("abcdefghijklmnopqr\xC3\xA9"); },
         "abcdefghijklmnopqr\xC3\xA9", ""},
        {"text ends at a zero byte", "name",
         [](TField& f) { f.SetAsString(std::string("ab\0", 3) + std::string(40, 'x')); }, "ab", ""},
        {"integer as text", "name", [](TField& f) { f.SetAsInteger(-42); }, "-42", ""},
        {"boolean as text", "name", [](TField& f) { f.SetAsBoolean(true); }, "T", ""},
        {"integer from text", "port", [](TField& f) { f.SetAsString(" 2121 "); }, "2121", ""},
        {"empty text keeps integer", "port", [](TField& f) { f.SetAsString(""); }, "7", ""},
        {"bad integer text", "port", [](TField& f) { f.SetAsString("12x"); }, "7",
         "'12x' is not a valid integer value for field 'port'"},
        {"integer beyond i32 text", "port", [](TField& f) { f.SetAsString("2147483648"); }, "7",
         "'2147483648' is not a valid integer value for field 'port'"},
        {"word range", "w", [](TField& f) { f.SetAsInteger(70000); }, "0",
         "70000 is not a valid value for field 'w'. The allowed range is 0 to 65535"},
        {"word top", "w", [](TField& f) { f.SetAsInteger(65535); }, "65535", ""},
        {"word negative", "w", [](TField& f) { f.SetAsString("-1"); }, "0",
         "-1 is not a valid value for field 'w'. The allowed range is 0 to 65535"},
        {"smallint range", "s", [](TField& f) { f.SetAsInteger(-40000); }, "0",
         "-40000 is not a valid value for field 's'. The allowed range is -32768 to 32767"},
        {"smallint bottom", "s", [](TField& f) { f.SetAsInteger(-32768); }, "-32768", ""},
        {"integer range", "port", [](TField& f) { f.SetAsInteger(3000000000LL); }, "7",
         "3000000000 is not a valid value for field 'port'. The allowed range is -2147483648 to "
         "2147483647"},
        {"integer as boolean", "port", [](TField& f) { f.SetAsBoolean(true); }, "7",
         "Cannot access field 'port' as type Boolean"},
        {"boolean prefix of True", "pasv", [](TField& f) { f.SetAsString("tR"); }, "True", ""},
        {"boolean prefix of False", "pasv", [](TField& f) { f.SetAsString("F"); }, "False", ""},
        {"empty text keeps boolean", "pasv", [](TField& f) { f.SetAsString(""); }, "True", ""},
        {"bad boolean text", "pasv", [](TField& f) { f.SetAsString("yes"); }, "True",
         "'yes' is not a valid boolean value for field 'pasv'"},
        {"boolean as integer", "pasv", [](TField& f) { f.SetAsInteger(1); }, "True",
         "Cannot access field 'pasv' as type Integer"},
        {"boolean false", "pasv", [](TField& f) { f.SetAsBoolean(false); }, "False", ""},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.label);
        TVeskTable& t = Opened("site");
        if (t.IsEmpty()) {
            t.Append();
            t.FieldByName("name").SetAsString("old");
        } else {
            t.Edit();
        }
        t.FieldByName("port").SetAsInteger(7);
        t.FieldByName("pasv").SetAsBoolean(true);
        t.FieldByName("w").SetAsInteger(0);
        t.FieldByName("s").SetAsInteger(0);
        TField& field = t.FieldByName(c.field);
        if (std::string(c.error).empty()) {
            c.write(field);
        } else {
            try {
                c.write(field);
                ADD_FAILURE() << "no error";
            } catch (const EDatabaseError& e) {
                EXPECT_STREQ(e.what(), c.error);
            }
        }
        EXPECT_EQ(field.AsString(), c.readBack);
        t.Post();
        t.Close();
        t.Open();
        EXPECT_EQ(t.FieldByName(c.field).AsString(), c.readBack);
        t.Close();
    }
}

TEST_F(FieldAccess, ReadsByType) {
    TVeskTable& t = Opened("site");
    t.Append();
    t.FieldByName("name").SetAsString("Yes");
    t.FieldByName("pasv").SetAsBoolean(true);
    t.FieldByName("s").SetAsInteger(-5);
    t.Post();
    EXPECT_TRUE(t.FieldByName("name").AsBoolean());
    EXPECT_TRUE(t.FieldByName("pasv").AsBoolean());
    EXPECT_EQ(t.FieldByName("s").AsInteger(), -5);
    EXPECT_EQ(t.FieldByName("s").AsString(), "-5");
    try {
        (void)t.FieldByName("name").AsInteger();
        ADD_FAILURE();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "'Yes' is not a valid integer value");
    }
    EXPECT_THROW((void)t.FieldByName("port").AsBoolean(), EDatabaseError);
    EXPECT_THROW((void)t.FieldByName("pasv").AsInteger(), EDatabaseError);
    t.Edit();
    t.FieldByName("name").SetAsString("12");
    t.Post();
    EXPECT_EQ(t.FieldByName("name").AsInteger(), 12);
    EXPECT_FALSE(t.FieldByName("name").AsBoolean());
}

TEST_F(FieldAccess, NoRowReadsEmptyAndNewRowStartsEmptyWithToday) {
    os::SetFixedNow(os::LocalDateTime{2026, 12, 10, 9, 30, 0, 0});
    TVeskTable& t = Opened("site");
    EXPECT_EQ(t.FieldByName("name").AsString(), "");
    EXPECT_EQ(t.FieldByName("port").AsInteger(), 0);
    EXPECT_FALSE(t.FieldByName("pasv").AsBoolean());
    EXPECT_EQ(t.FieldByName("name").AsInteger(), 0);
    AddSites(t, {"x"});
    t.Append();
    EXPECT_EQ(t.FieldByName("name").AsString(), "");
    EXPECT_EQ(t.FieldByName("port").AsInteger(), 0);
    EXPECT_EQ(t.FieldByName("id").AsInteger(), 0);
    EXPECT_FALSE(t.FieldByName("pasv").AsBoolean());
    t.Cancel();
    TVeskTable& notes = Opened("notes");
    notes.Append();
    std::int32_t today = 0;
    ASSERT_TRUE(EncodeDayNumber(TCivilDate{2026, 12, 10}, today));
    std::uint8_t bytes[4] = {};
    ASSERT_TRUE(notes.GetFieldData(notes.FieldByName("day"), bytes));
    EXPECT_EQ(format::GetI32(bytes), today);
    os::SetFixedNow(std::nullopt);
}

TEST_F(FieldAccess, BrowseWriteIsLostAndFieldByNameIgnoresCase) {
    TVeskTable& t = Opened("site");
    AddSites(t, {"kept"});
    t.FieldByName("NAME").SetAsString("lost");
    EXPECT_EQ(t.State(), TDataSetState::dsBrowse);
    EXPECT_FALSE(t.Modified());
    t.First();
    EXPECT_EQ(t.FieldByName("name").AsString(), "kept");
    // Nor does an edit that follows store it.
    t.FieldByName("name").SetAsString("lost");
    t.Edit();
    EXPECT_EQ(t.FieldByName("name").AsString(), "kept");
    t.FieldByName("port").SetAsInteger(5);
    t.Post();
    Reconnect();
    TVeskTable& again = Opened("site");
    EXPECT_EQ(again.FieldByName("name").AsString(), "kept");
    EXPECT_EQ(again.FieldByName("port").AsInteger(), 5);
    try {
        again.FieldByName("nothere");
        ADD_FAILURE();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Tsite: Field 'nothere' not found");
    }
}

TEST(FieldConvert, IntegerAndBooleanTexts) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> value;
    };
    for (const Case& c : std::vector<Case>{{"0", 0},
                                           {"-2147483648", -2147483648LL},
                                           {"2147483647", 2147483647},
                                           {"+5", 5},
                                           {"  9\t", 9},
                                           {"", std::nullopt},
                                           {"-", std::nullopt},
                                           {"1 2", std::nullopt},
                                           {"0x10", std::nullopt},
                                           {"99999999999999999999", std::nullopt}}) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseInteger(c.text), c.value);
    }
    EXPECT_EQ(ParseBooleanText("FALSE"), false);
    EXPECT_EQ(ParseBooleanText("fals"), false);
    EXPECT_EQ(ParseBooleanText("true"), true);
    EXPECT_EQ(ParseBooleanText("truex"), std::nullopt);
    EXPECT_EQ(ParseBooleanText(""), std::nullopt);
    EXPECT_EQ(TextBeforeZero(std::string_view("ab\0cd", 5)), "ab");
    EXPECT_NO_THROW(CheckTextFits(std::string_view("abcd\0ef", 7), 4, "f"));
    EXPECT_THROW(CheckTextFits("\xC3\xA9\xC3\xA9", 3, "f"), EDatabaseError);
}

}  // namespace
}  // namespace vesk::testing
