#include "tools/schema_parser.h"

#include <gtest/gtest.h>

#include "engine/file_format.h"

namespace {

using namespace vesk;
using vesktool::ParseSchema;
using vesktool::SchemaError;

TEST(SchemaParser, ReadsTablesFieldsIndexesAndOptions) {
    const DatabaseSchema schema = ParseSchema(
        "# settings\n"
        "compression ZIP\n"
        "encryption Twofish 2 AbC+/9\n"
        "BLOBCHECK\n"
        "\n"
        "table ftpsite   # sites\n"
        "  field id AutoInc\n"
        "\tfield name string 100\n"
        "  field note memo plain\n"
        "  field code fixedchar 4 plain\r\n"
        "  index pk id primary unique\n"
        "  index byname NAME,id descending caseinsensitive\n"
        "table empty\n"
        "field v largeint");
    EXPECT_TRUE(schema.options.compression);
    EXPECT_EQ(schema.options.compressionName, "ZIP");
    EXPECT_TRUE(schema.options.encryption);
    EXPECT_EQ(schema.options.cipherName, "Twofish");
    EXPECT_EQ(schema.options.cipherMode, 2);
    EXPECT_EQ(schema.options.passwordDigest, "AbC+/9");
    EXPECT_TRUE(schema.options.blobCheck);
    ASSERT_EQ(schema.tables.size(), 2u);
    const SchemaTable& sites = schema.tables[0];
    EXPECT_EQ(sites.name, "ftpsite");
    ASSERT_EQ(sites.fields.size(), 4u);
    EXPECT_EQ(sites.fields[0].type, ftAutoInc);
    EXPECT_EQ(sites.fields[1].type, ftString);
    EXPECT_EQ(sites.fields[1].dataSize, 100);
    EXPECT_EQ(sites.fields[1].processMode, 0);
    EXPECT_EQ(sites.fields[2].type, ftMemo);
    EXPECT_EQ(sites.fields[2].processMode, 1);
    EXPECT_EQ(sites.fields[3].type, ftFixedChar);
    EXPECT_EQ(sites.fields[3].dataSize, 4);
    EXPECT_EQ(sites.fields[3].processMode, 1);
    ASSERT_EQ(sites.indexes.size(), 2u);
    EXPECT_EQ(sites.indexes[0].options, format::kIdxPrimary | format::kIdxUnique);
    EXPECT_EQ(sites.indexes[0].fieldNumbers, std::vector<std::int32_t>{0});
    EXPECT_EQ(sites.indexes[1].options, format::kIdxDescending | format::kIdxCaseInsensitive);
    EXPECT_EQ(sites.indexes[1].fieldNumbers, (std::vector<std::int32_t>{1, 0}));
    EXPECT_EQ(schema.tables[1].fields[0].type, ftLargeint);
    EXPECT_FALSE(ParseSchema("table t\nfield a integer\n").options.encryption);
}

TEST(SchemaParser, NamesTheLineOfEveryMistake) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"field a integer", "line 1: a field or index line before the first table line"},
        {"table t\nfield a strin 5", "line 2: unknown field type 'strin'"},
        {"table t\nfield a string", "line 2: a string field needs its size"},
        {"table t\nfield a string x", "line 2: size 'x' is no number"},
        {"table t\nfield a string 5x", "line 2: size '5x' is no number"},
        {"table t\nfield a integer 4", "line 2: unexpected '4'"},
        {"table t\n\n# c\nfield a integer\nindex i b", "line 5: index key 'b' is no field"},
        {"table t\nfield a integer\nindex i a,", "line 3: index key '' is no field"},
        {"table t\nfield a integer\nindex i a clustered",
         "line 3: unknown index option 'clustered'"},
        {"table", "line 1: 'table' takes 1 word"},
        {"table a b", "line 1: 'table' takes 1 word"},
        {"blobcheck on", "line 1: 'blobcheck' takes 0 words"},
        {"table t\nfield a", "line 2: 'field' takes 2 to 4 words"},
        {"encryption Gost 7", "line 1: cipher mode out of 0 to 4"},
        {"encryption Gost -1", "line 1: cipher mode out of 0 to 4"},
        {"encryption Gost", "line 1: 'encryption' takes 2 to 3 words"},
        {"drop table t", "line 1: unknown keyword 'drop'"},
    };
    for (const auto& c : cases) {
        try {
            ParseSchema(c.text);
            ADD_FAILURE() << c.text << ": accepted";
        } catch (const SchemaError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << c.text << " gave: " << e.what();
        }
    }
}

}  // namespace
