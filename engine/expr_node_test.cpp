#include "engine/expr_node.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/db_error.h"
#include "engine/expr_parser_base.h"
#include "engine/testing/expr_test_nodes.h"

namespace vesk {
namespace {

using testing::Boolean;
using testing::Constant;
using testing::Text;

TEST(ExprNode, NewNodeStartsZeroFilledAtTheHeadOfTheList) {
    TExprNodes nodes;
    TExprNode* first = nodes.NewNode(enConst, ftInteger, 4, toNOTDEFINED, nullptr, nullptr);
    TExprNode* second = nodes.NewNode(enOperator, ftBoolean, 0, toEQ, first, first);
    EXPECT_EQ(nodes.Head, second);
    EXPECT_EQ(second->Next, first);
    EXPECT_EQ(second->Owner, &nodes);
    EXPECT_EQ(first->ValueSize, 4);
    EXPECT_EQ(testing::ValueOf<std::int32_t>(first), 0);
    EXPECT_EQ(first->PartialLength, -1);
    EXPECT_EQ(second->Value, nullptr);
    EXPECT_FALSE(second->AsBoolean()) << "no value reads as false";
    nodes.Clear();
    EXPECT_EQ(nodes.Head, nullptr);
}

TEST(ExprNode, SetDataSizeRules) {
    TExprNodes nodes;
    TExprNode* node = nodes.NewNode(enConst, ftString, 0, toNOTDEFINED, nullptr, nullptr);
    node->SetDataSize(3);
    EXPECT_EQ(node->ValueSize, 3);
    EXPECT_EQ(std::memcmp(node->Value, "\0\0\0", 3), 0);
    std::memcpy(node->Value, "ab", 3);
    node->SetDataSize(5);
    EXPECT_STREQ(static_cast<const char*>(node->Value), "ab") << "resizing keeps the bytes";
    node->SetDataSize(0);
    EXPECT_EQ(node->Value, nullptr);
    EXPECT_EQ(node->ValueSize, 0);

    char outside[2] = {1, 0};
    node->Value = outside;
    node->ValueLimit = 2;
    node->SetDataSize(2);
    EXPECT_NE(node->Value, static_cast<void*>(outside)) << "a value not owned is never written";
    EXPECT_EQ(static_cast<const char*>(node->Value)[0], 0);
}

TEST(ExprNode, GetFuncKindIgnoresAsciiCase) {
    struct Case {
        const char* name;
        TExprFuncKind kind;
    };
    const Case cases[] = {{"UPPER", fkUpper},
                          {"lower", fkLower},
                          {"SubString", fkSubstring},
                          {"trim", fkTrim},
                          {"TRIMLEFT", fkTrimLeft},
                          {"trimright", fkTrimRight},
                          {"Year", fkYear},
                          {"MONTH", fkMonth},
                          {"day", fkDay},
                          {"HOUR", fkHour},
                          {"minute", fkMinute},
                          {"SECOND", fkSecond},
                          {"getdate", fkGetDate},
                          {"", fkNone},
                          {"COUNT", fkNone},
                          {"UPPERX", fkNone},
                          {"UPPE", fkNone}};
    for (const Case& c : cases)
        EXPECT_EQ(TExprNode::GetFuncKind(c.name), c.kind) << c.name;
}

TEST(ExprNode, LogicOperatorsGiveOneOrZero) {
    struct Case {
        TExprOperator op;
        std::uint8_t left, right;
        bool expected;
    };
    // 2 is a true first byte too: NOT of it must be false.
    const Case cases[] = {
        {toNOT, 0, 0, true}, {toNOT, 1, 0, false}, {toNOT, 2, 0, false}, {toAND, 1, 1, true},
        {toAND, 2, 4, true}, {toAND, 1, 0, false}, {toAND, 0, 1, false}, {toOR, 0, 0, false},
        {toOR, 0, 2, true},  {toOR, 3, 0, true},
    };
    for (const Case& c : cases) {
        TExprNodes nodes;
        TExprNode* right = c.op == toNOT ? nullptr : Boolean(nodes, c.right);
        TExprNode* result = testing::Apply(nodes, c.op, Boolean(nodes, c.left), right);
        EXPECT_EQ(testing::ValueOf<std::uint8_t>(result), c.expected ? 1 : 0)
            << int(c.op) << " " << int(c.left) << " " << int(c.right);
    }
}

// A right operand that must not be evaluated: a function node without a known function.
TEST(ExprNode, AndOrEvaluateTheRightOnlyWhenNeeded) {
    TExprNodes nodes;
    TExprNode* poison = nodes.NewNode(enFunc, ftBoolean, 0, toNOTDEFINED, nullptr, nullptr);
    EXPECT_FALSE(testing::Apply(nodes, toAND, Boolean(nodes, 0), poison)->AsBoolean());
    EXPECT_TRUE(testing::Apply(nodes, toOR, Boolean(nodes, 1), poison)->AsBoolean());
    EXPECT_THROW(testing::Apply(nodes, toAND, Boolean(nodes, 1), poison), EDatabaseError);
    EXPECT_THROW(testing::Apply(nodes, toAND, Text(nodes, "x"), Boolean(nodes, 1)), EDatabaseError)
        << "logic on a text";
}

TEST(ExprNode, InIsTrueAtTheFirstEqualItem) {
    struct Case {
        std::int32_t value;
        bool expected;
    };
    for (const Case& c : {Case{2, true}, Case{7, false}, Case{3, true}}) {
        TExprNodes nodes;
        TExprNode* in = nodes.NewNode(enOperator, ftBoolean, 1, toIN,
                                      Constant<std::int32_t>(nodes, ftInteger, c.value), nullptr);
        in->Args = {Constant<std::int32_t>(nodes, ftInteger, 1),
                    Constant<double>(nodes, ftFloat, 2.0),
                    Constant<std::int16_t>(nodes, ftSmallint, 3)};
        in->Calculate(0);
        EXPECT_EQ(in->AsBoolean(), c.expected) << c.value;
    }
    TExprNodes nodes;
    TExprNode* empty = nodes.NewNode(enOperator, ftBoolean, 1, toIN, Text(nodes, "a"), nullptr);
    empty->Calculate(0);
    EXPECT_FALSE(empty->AsBoolean());
}

class FakeParser : public TExprParserBase {
  public:
    std::int32_t number = 41;
    std::string memo = "first";
    int placeLookups = 0;

    TExprNode* ParseOrExpr() override { return nullptr; }
    std::size_t ReadToken(std::size_t p) override { return p; }
    TFieldInfo GetFieldInfo(const std::string& name) override {
        if (name == "n")
            return {0, ftInteger, false};
        if (name == "m")
            return {1, ftMemo, true};
        throw EDatabaseError("T: Field '" + name + "' not found");
    }
    TFieldType GetFuncDataType(const std::string& name) override {
        return TExprNode::GetFuncKind(name) == fkYear ? ftInteger : ftUnknown;
    }
    TFieldPlace GetFieldPlace(std::int32_t index) override {
        ++placeLookups;
        EXPECT_EQ(index, 0);
        return {&number, 4};
    }
    std::string GetFieldText(std::int32_t index) override {
        EXPECT_EQ(index, 1);
        return memo;
    }
};

TEST(ExprNode, FieldNodesReadInPlaceAndBlobsAnew) {
    FakeParser parser;
    TExprNodes nodes(&parser);
    TExprNode* n = nodes.NewFieldNode("n");
    TExprNode* m = nodes.NewFieldNode("m");
    EXPECT_EQ(n->DataType, ftInteger);
    EXPECT_TRUE(m->IsBlob);
    EXPECT_EQ(m->FieldIndex, 1);
    EXPECT_THROW(nodes.NewFieldNode("zz"), EDatabaseError);

    TExprNode* numberTest = nodes.NewNode(enOperator, ftBoolean, 1, toEQ, n,
                                          Constant<std::int32_t>(nodes, ftInteger, 42));
    numberTest->Calculate(0);
    EXPECT_FALSE(numberTest->AsBoolean());
    parser.number = 42;  // the next row, in the same record buffer
    numberTest->Calculate(0);
    EXPECT_TRUE(numberTest->AsBoolean());
    EXPECT_EQ(parser.placeLookups, 1);

    TExprNode* memoTest = nodes.NewNode(enOperator, ftBoolean, 1, toEQ, m, Text(nodes, "second"));
    memoTest->Calculate(foNoPartialCompare);
    EXPECT_FALSE(memoTest->AsBoolean());
    parser.memo = "second";
    memoTest->Calculate(foNoPartialCompare);
    EXPECT_TRUE(memoTest->AsBoolean());

    TExprNode* func = nodes.NewFuncNode("year");
    EXPECT_EQ(func->FuncKind, fkYear);
    EXPECT_EQ(func->DataType, ftInteger);
    EXPECT_EQ(func->Name, "year");
}

}  // namespace
}  // namespace vesk

namespace vesk {
namespace {

TEST(ExprNode, TypeTestsOfTheParser) {
    struct Case {
        TFieldType type;
        bool integer, large, floating, dateTime, boolean, text;
    };
    const Case cases[] = {
        {ftSmallint, true, false, false, false, false, false},
        {ftWord, true, false, false, false, false, false},
        {ftAutoInc, true, false, false, false, false, false},
        {ftLargeint, false, true, false, false, false, false},
        {ftCurrency, false, false, true, false, false, false},
        {ftBCD, false, false, false, false, false, false},
        {ftTime, false, false, false, true, false, false},
        {ftBoolean, false, false, false, false, true, false},
        {ftGuid, false, false, false, false, false, true},
        {ftTypedBinary, false, false, false, false, false, true},
        {ftOraClob, false, false, false, false, false, true},
        {ftCursor, false, false, false, false, false, false},
        {ftBytes, false, false, false, false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TExprNode::IsIntegerType(c.type), c.integer) << int(c.type);
        EXPECT_EQ(TExprNode::IsLargeIntType(c.type), c.large) << int(c.type);
        EXPECT_EQ(TExprNode::IsFloatType(c.type), c.floating) << int(c.type);
        EXPECT_EQ(TExprNode::IsNumericType(c.type), c.integer || c.large || c.floating)
            << int(c.type);
        EXPECT_EQ(TExprNode::IsDateTimeType(c.type), c.dateTime) << int(c.type);
        EXPECT_EQ(TExprNode::IsBooleanType(c.type), c.boolean) << int(c.type);
        EXPECT_EQ(TExprNode::IsStringType(c.type), c.text) << int(c.type);
    }
}

}  // namespace
}  // namespace vesk
