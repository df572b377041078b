#include "engine/table_defs.h"

#include <gtest/gtest.h>

#include "engine/db_error.h"

namespace vesk {
namespace {

TEST(TableDefs, IndexOfIgnoresCaseAndTakesTheFirst) {
    TVeskIndexDefs indexes;
    indexes.Add("ById");
    indexes.Add("byid");
    indexes.Add("other");
    EXPECT_EQ(indexes.IndexOf("BYID"), 0);
    EXPECT_EQ(indexes.IndexOf("OTHER"), 2);
    EXPECT_EQ(indexes.IndexOf("none"), -1);
}

TEST(TableDefs, UnnamedItemsAreNamedFromTheirId) {
    TVeskFieldDefs fields;
    fields.Add();
    fields.Add("named");
    fields.Add();
    EXPECT_EQ(fields.GetItem(0).Name, "VeskF1");
    EXPECT_EQ(fields.GetItem(1).Name, "named");
    EXPECT_EQ(fields.GetItem(2).Name, "VeskF3");
    fields.Delete(0);
    EXPECT_EQ(fields.Add().Name, "VeskF4") << "IDs are never reused";
    TVeskIndexDefs indexes;
    EXPECT_EQ(indexes.Add().Name, "VeskI1");
    TVeskTableDefs tables;
    EXPECT_EQ(tables.Add().Name, "") << "table definitions keep an empty name";
    const TVeskFieldDef& fresh = fields.Add("x");
    EXPECT_EQ(fresh.FieldType, ftUnknown);
    EXPECT_EQ(fresh.DataSize, 0);
    EXPECT_EQ(fresh.ProcessMode, 0);
}

TEST(TableDefs, AssignCopiesTheDefinitionButNotTheId) {
    TVeskIndexDefs indexes;
    TVeskIndexDef& a = indexes.Add("a");
    a.SetOptions(tiPrimary | tiCaseInsensitive);
    a.FieldNumbers = {2, 0};
    TVeskIndexDef& b = indexes.Add("b");
    b.Assign(a);
    EXPECT_EQ(b.Name, "a");
    EXPECT_EQ(b.Options, tiPrimary | tiCaseInsensitive);
    EXPECT_EQ(b.FieldNumbers, (std::vector<std::int32_t>{2, 0}));
    EXPECT_EQ(b.ID, 1);
    TVeskFieldDefs fields;
    TVeskFieldDef& f = fields.Add("f");
    f.FieldType = ftString;
    f.DataSize = 9;
    f.ProcessMode = 3;
    TVeskFieldDef& g = fields.Add();
    g.Assign(f);
    EXPECT_EQ(g.Name, "f");
    EXPECT_EQ(g.FieldType, ftString);
    EXPECT_EQ(g.DataSize, 9);
    EXPECT_EQ(g.ProcessMode, 3);
}

TEST(TableDefs, StorageSizes) {
    struct Case {
        TFieldType type;
        std::int32_t dataSize;
        std::int32_t size;  // -1: "General error"
    } cases[] = {
        {ftString, 20, 21},
        {ftFixedChar, 0, 1},
        {ftSmallint, 9, 2},
        {ftWord, 0, 2},
        {ftBoolean, 0, 2},
        {ftInteger, 0, 4},
        {ftDate, 0, 4},
        {ftTime, 0, 4},
        {ftAutoInc, 0, 4},
        {ftFloat, 0, 8},
        {ftCurrency, 0, 8},
        {ftDateTime, 0, 8},
        {ftLargeint, 0, 8},
        {ftBlob, 0, 0},
        {ftMemo, 0, 0},
        {ftGraphic, 0, 0},
        {ftFmtMemo, 0, 0},
        {ftUnknown, 0, -1},
        {ftBCD, 0, -1},
        {ftBytes, 0, -1},
        {ftVarBytes, 0, -1},
        {ftParadoxOle, 0, -1},
        {ftDBaseOle, 0, -1},
        {ftTypedBinary, 0, -1},
        {ftCursor, 0, -1},
        {ftWideString, 5, -1},
        {ftADT, 0, -1},
        {ftOraBlob, 0, -1},
        {ftGuid, 0, -1},
        {ftFMTBcd, 0, -1},
        {static_cast<TFieldType>(200), 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        if (c.size >= 0) {
            EXPECT_EQ(GetFieldDataSize(c.type, c.dataSize), c.size);
        } else {
            try {
                GetFieldDataSize(c.type, c.dataSize);
                ADD_FAILURE() << "no error";
            } catch (const EDatabaseError& e) {
                EXPECT_STREQ(e.what(), "General error");
            }
        }
    }
    EXPECT_THROW(GetFieldDataSize(ftString, -1), EDatabaseError);
    EXPECT_THROW(GetFieldDataSize(ftString, INT32_MAX), EDatabaseError);
}

TVeskFieldDefs Fields(std::initializer_list<std::pair<TFieldType, std::int32_t>> list) {
    TVeskFieldDefs fields;
    for (const auto& [type, size] : list) {
        TVeskFieldDef& field = fields.Add();
        field.FieldType = type;
        field.DataSize = size;
    }
    return fields;
}

TEST(TableDefs, RecordLayout) {
    std::vector<std::int32_t> offsets;
    EXPECT_EQ(ComputeRecordLayout(Fields({{ftAutoInc, 0}, {ftString, 30}, {ftBlob, 0}}), offsets),
              55);
    EXPECT_EQ(offsets, (std::vector<std::int32_t>{0, 4, 35}));
    EXPECT_EQ(
        ComputeRecordLayout(Fields({{ftOraBlob, 0}, {ftBoolean, 0}, {ftDateTime, 0}}), offsets), 30)
        << "every blob kind is a 20-byte descriptor";
    EXPECT_EQ(offsets, (std::vector<std::int32_t>{0, 20, 22}));
    EXPECT_THROW(ComputeRecordLayout(Fields({{ftInteger, 0}, {ftWideString, 10}}), offsets),
                 EDatabaseError);
    EXPECT_THROW(ComputeRecordLayout(Fields({{ftString, INT32_MAX - 1}, {ftString, 10}}), offsets),
                 EDatabaseError)
        << "a layout that does not fit 31 bits is refused";
}

}  // namespace
}  // namespace vesk
