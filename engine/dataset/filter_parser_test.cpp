// The filter parser: how texts group, read and convert, its messages, filters evaluated on a
// table against the same predicates written here, and random and damaged texts.
#include "engine/dataset/filter_parser.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "engine/dataset/filter_test_support.h"
#include "engine/expr_value.h"
#include "platform/os/collation.h"

namespace vesk::testing {
namespace {

const char* OperatorText(TExprOperator op) {
    static const char* const texts[] = {"?",   "=",  "<>", ">", "<", ">=", "<=",   "NOT",
                                        "AND", "OR", "+",  "-", "*", "/",  "LIKE", "IN"};
    return texts[op];
}

// A tree as a nested text: (op left right), fields by name, constants by value.
std::string Describe(const TExprNode* node) {
    if (node == nullptr)
        return "nil";
    std::ostringstream out;
    switch (node->Kind) {
        case enField:
            return node->Name;
        case enConst:
            switch (ValueClassOf(node->DataType)) {
                case TValueClass::Text:
                    return "'" + std::string(ReadText(*node)) + "'";
                case TValueClass::Float:
                    out << "f" << ReadFloat(*node);
                    return out.str();
                case TValueClass::Boolean:
                    return ReadBoolean(*node) ? "true" : "false";
                case TValueClass::Date:
                    return "day" + std::to_string(ReadInt32(*node));
                default:
                    return std::to_string(ReadInteger(*node));
            }
        case enFunc:
            out << node->Name << "(";
            for (size_t i = 0; i < node->Args.size(); ++i)
                out << (i ? " " : "") << Describe(node->Args[i]);
            out << ")";
            return out.str();
        case enOperator:
            out << "(" << OperatorText(node->Operator) << " " << Describe(node->Left);
            if (node->Operator == toIN) {
                for (const TExprNode* item : node->Args)
                    out << " " << Describe(item);
            } else if (node->Right != nullptr) {
                out << " " << Describe(node->Right);
            }
            out << ")";
            return out.str();
    }
    return "?";
}

class FilterParser : public FilterFixture {
  protected:
    void SetUp() override {
        FilterFixture::SetUp();
        table_ = &Table("f");
        table_->Open();
        parser_ = std::make_unique<TFilterParser>(*table_);
    }
    std::string Tree(const std::string& text) {
        parser_->Parse(text);
        return Describe(parser_->Nodes.Root);
    }
    TVeskTable* table_ = nullptr;
    std::unique_ptr<TFilterParser> parser_;
};

TEST_F(FilterParser, GroupsReadsAndConvertsAsTheGrammarSays) {
    const std::int32_t jan2 = DayOf({2024, 1, 2});
    const struct {
        const char* text;
        std::string tree;
    } cases[] = {
        {"name = 'abc'", "(= name 'abc')"},
        {"(a > 1) and not (b < 2) or a = 3", "(OR (AND (> a 1) (NOT (< b 2))) (= a 3))"},
        {"a - -1 = 0", "(= (- a -1) 0)"},
        {"a -1 = 0", "(= (- a 1) 0)"},
        {"2-3 = a", "(= (- 2 3) a)"},
        {"x = 1e-5", "(= x f1e-05)"},
        {"a + b * 2 - 1 = 4", "(= (- (+ a (* b 2)) 1) 4)"},
        {"[order date] >= '1/2/2024'", "(>= order date day" + std::to_string(jan2) + ")"},
        {"'1/2/2024' <= [order date]", "(<= day" + std::to_string(jan2) + " order date)"},
        {"flag = True", "(= flag true)"},
        {"flag <> false", "(<> flag false)"},
        {"name = 'it''s'", "(= name 'it's')"},
        {"/* note */ a = 1", "(= a 1)"},
        {"a=1/* at the end */", "(= a 1)"},
        {"year = 2024", "(= year 2024)"},
        {"YEAR([order date]) = 2024", "(= YEAR(order date) 2024)"},
        {"SUBSTRING(name, 2, 3) = 'bc'", "(= SUBSTRING(name 2 3) 'bc')"},
        {"a IN (1, 2)", "(IN a 1 2)"},
        {"a in(1,2.5)", "(IN a 1 f2.5)"},
        {"name like 'a%'", "(LIKE name 'a%')"},
        {"[year]=1", "(= year 1)"},
        {"NOT flag", "(NOT flag)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Tree(c.text), c.tree);
    }
    // A text constant's partial length: the characters before its first "*".
    parser_->Parse("name = 'ab*c'");
    EXPECT_EQ(parser_->Nodes.Root->Right->PartialLength, 2);
    parser_->Parse("name = 'abc'");
    EXPECT_EQ(parser_->Nodes.Root->Right->PartialLength, -1);
    // GETDATE is a date-time constant of the moment of parsing.
    parser_->Parse("dt < GETDATE()");
    EXPECT_EQ(parser_->Nodes.Root->Right->Kind, enConst);
    EXPECT_EQ(parser_->Nodes.Root->Right->DataType, ftDateTime);
    EXPECT_GT(ReadDateTime(*parser_->Nodes.Root->Right), DayOf({2024, 1, 1}) * 86400000.0);
    // Only the first 256 characters of a text constant are kept.
    parser_->Parse("name = '" + std::string(300, 'q') + "'");
    EXPECT_EQ(ReadText(*parser_->Nodes.Root->Right).size(), 256u);
}

TEST_F(FilterParser, RefusesWithTheMessagesOfItsTable) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"[order date] >= '2024-13-45'", "Type mismatch in expression"},
        {"flag > True", "Type mismatch in expression"},
        {"SUBSTRING(name, 1 + 1, 3) = 'a'", "Type mismatch in expression"},
        {"SUBSTRING(name, 2) = 'a'", "Type mismatch in expression"},
        {"YEAR(a) = 2024", "Type mismatch in expression"},
        {"HOUR([order date]) = 1", "Type mismatch in expression"},
        {"name LIKE 1", "Type mismatch in expression"},
        {"name + 1 = 'a'", "Type mismatch in expression"},
        {"a = 'x'", "Type mismatch in expression"},
        {"a and flag", "Type mismatch in expression"},
        {"a IN ('x')", "Type mismatch in expression"},
        // Allowed by the rules, but the evaluator has no difference of a time and a date.
        {"t - [order date] > 0", "Type mismatch in expression"},
        {"[order date] < t", "Type mismatch in expression"},
        {"a IN ()", "IN predicate list may not be empty"},
        {"a IN (1, 2", "')' or ',' expected but nothing found"},
        {"UPPER(name", "')' or ',' expected but nothing found"},
        {"a IN (1 2)", "')' or ',' expected but '2' found"},
        {"a IN (1,", "')' expected but nothing found"},
        {"UPPER(name,", "')' expected but nothing found"},
        {"a IN 1", "'(' expected but '1' found"},
        {"(a = 1", "')' expected but nothing found"},
        {"a = ", "Expression expected but nothing found"},
        {"a = )", "Expression expected but ')' found"},
        {"", "Expression expected but nothing found"},
        {"a = 1 = 2", "Filter expression incorrectly terminated"},
        {"a = 1)", "Filter expression incorrectly terminated"},
        {"/* 2 * 3 */ a = 1", "Invalid filter expression character: '*'"},
        {"/* open", "Invalid filter expression character: ''"},
        {"a = #", "Invalid filter expression character: '#'"},
        {"a = 1 /* one */ /* two */", "Expression expected but '*' found"},
        {"name = 'abc", "Unterminated string constant"},
        {"[name = 'a'", "Unterminated field name"},
        {"a = -", "'-' is not a valid floating point value"},
        {"x = 1.2.3", "'1.2.3' is not a valid floating point value"},
        {"COUNT(*)", "Tf: Field 'COUNT' not found"},
        {"NOT NOT flag", "Tf: Field 'NOT' not found"},
        {"[no such] = 1", "Tf: Field 'no such' not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ErrorOf([&] { parser_->Parse(c.text); }), c.message);
    }
    // A table that has a field named COUNT reads it, then stops at the "(".
    TVeskTable& g = Table("g");
    g.Open();
    TFilterParser other(g);
    EXPECT_EQ(ErrorOf([&] { other.Parse("COUNT(*)"); }),
              "Filter expression incorrectly terminated");
    // The tree and the stack are bounded: deep nesting and long chains are refused.
    const std::string deep = std::string(400, '(') + "a = 1" + std::string(400, ')');
    EXPECT_EQ(ErrorOf([&] { parser_->Parse(deep); }), "Filter expression nested too deeply");
    std::string chain = "a = 0";
    for (int i = 0; i < 400; ++i)
        chain += " or a = " + std::to_string(i);
    EXPECT_EQ(ErrorOf([&] { parser_->Parse(chain); }), "Filter expression nested too deeply");
    // After a refusal there is no tree to evaluate.
    EXPECT_EQ(ErrorOf([&] { parser_->Calculate(0); }), "Expression expected but nothing found");
}

// Rows with a spread of values; the filters below select among them.
std::vector<FilterRow> FixtureRows() {
    return {
        {"alpha", 1, 5, 1.5, true, {2024, 1, 2}, 2024, "first note"},
        {"beta", 2, 1, -0.5, false, {2023, 12, 31}, 2023, "second"},
        {"gamma", 3, 3, 1e-5, true, {2024, 6, 30}, 2024, ""},
        {"it's", 4, 0, 100, false, {2025, 2, 28}, 2025, "quote"},
        {"Delta", 5, 2, 2.25, true, {2024, 1, 1}, 1999, "first again"},
        {"ab", 6, 4, 0, false, {2024, 1, 3}, 2024, "second"},
    };
}

bool Before(const TCivilDate& a, const TCivilDate& b) {
    return DayOf(a) < DayOf(b);
}

TEST_F(FilterParser, FiltersSelectTheRowsTheirPredicatesSelect) {
    for (const FilterRow& row : FixtureRows())
        AddRow(*table_, row);
    using Predicate = std::function<bool(const FilterRow&)>;
    const TCivilDate jan2{2024, 1, 2};
    const struct {
        const char* text;
        Predicate holds;
        TFilterOptions options = 0;
    } cases[] = {
        {"a > 2", [](const FilterRow& r) { return r.a > 2; }},
        {"(a > 1) and not (b < 2) or a = 3",
         [](const FilterRow& r) { return (r.a > 1 && !(r.b < 2)) || r.a == 3; }},
        {"a - -1 = 3", [](const FilterRow& r) { return r.a == 2; }},
        {"a -1 = 3", [](const FilterRow& r) { return r.a == 4; }},
        {"x = 1e-5", [](const FilterRow& r) { return r.x == 1e-5; }},
        {"x < 0 or x >= 100", [](const FilterRow& r) { return r.x < 0 || r.x >= 100; }},
        {"[order date] >= '1/2/2024'", [&](const FilterRow& r) { return !Before(r.day, jan2); }},
        {"dt < '1/2/2024'", [&](const FilterRow& r) { return Before(r.day, jan2); }},
        {"[order date] + 1 = '1/3/2024'",
         [](const FilterRow& r) {
             return DayOf(r.day) == DayOf({2024, 1, 2});
         }},
        {"flag = True", [](const FilterRow& r) { return r.flag; }},
        {"flag <> False", [](const FilterRow& r) { return r.flag; }},
        {"flag", [](const FilterRow& r) { return r.flag; }},
        {"not flag", [](const FilterRow& r) { return !r.flag; }},
        {"name = 'it''s'", [](const FilterRow& r) { return r.name == "it's"; }},
        {"name = 'a*'", [](const FilterRow& r) { return r.name[0] == 'a'; }},
        {"name = 'a*'", [](const FilterRow& r) { return r.name == "a*"; }, foNoPartialCompare},
        {"name = 'DELTA'", [](const FilterRow& r) { return r.name == "Delta"; }, foCaseInsensitive},
        {"name > 'b'",
         [](const FilterRow& r) { return os::CompareAnsiText(r.name, "b", false) > 0; }},
        {"name LIKE '%ta'",
         [](const FilterRow& r) { return r.name.size() > 2 && r.name.ends_with("ta"); }},
        {"name LIKE '_e%'", [](const FilterRow& r) { return r.name[1] == 'e'; }},
        {"UPPER(name) = 'DELTA'", [](const FilterRow& r) { return r.name == "Delta"; }},
        {"LOWER(name) = 'delta'", [](const FilterRow& r) { return r.name == "Delta"; }},
        {"SUBSTRING(name, 2, 3) = 'lph'", [](const FilterRow& r) { return r.name == "alpha"; }},
        {"SUBSTRING(name, -5, 2) = 'al'", [](const FilterRow& r) { return r.name == "alpha"; }},
        {"SUBSTRING(name, 10, 2) = ''", [](const FilterRow&) { return true; }},
        {"SUBSTRING(name, 1, 0) = ''", [](const FilterRow&) { return true; }},
        {"SUBSTRING(name, 4, 2147483647) = 'ta'",
         [](const FilterRow& r) { return r.name == "Delta"; }},
        {"year = 2024", [](const FilterRow& r) { return r.year == 2024; }},
        {"YEAR([order date]) = 2024", [](const FilterRow& r) { return r.day.Year == 2024; }},
        {"MONTH(dt) = 1 and DAY(dt) > 1",
         [](const FilterRow& r) { return r.day.Month == 1 && r.day.Day > 1; }},
        {"HOUR(t) = 10", [](const FilterRow&) { return true; }},
        {"a IN (1, 3, 5)", [](const FilterRow& r) { return r.a == 1 || r.a == 3 || r.a == 5; }},
        {"name IN ('beta', 'gamma')",
         [](const FilterRow& r) { return r.name == "beta" || r.name == "gamma"; }},
        {"[order date] IN ('1/1/2024', '1/3/2024')",
         [](const FilterRow& r) { return r.name == "Delta" || r.name == "ab"; }},
        {"memo = 'second'", [](const FilterRow& r) { return r.memo == "second"; }},
        {"memo LIKE 'first%'", [](const FilterRow& r) { return r.memo.starts_with("first"); }},
        {"a + b = 6", [](const FilterRow& r) { return r.a + r.b == 6; }},
        {"a * 2 > b + 3", [](const FilterRow& r) { return r.a * 2 > r.b + 3; }},
        {"a / 2 = 1.5", [](const FilterRow& r) { return r.a == 3; }},
        {"s = 0 and TRIM('  x ') = 'x'", [](const FilterRow&) { return true; }},
        {"/* c */ a = 1", [](const FilterRow& r) { return r.a == 1; }},
        {"name + 'z' = 'abz'", [](const FilterRow& r) { return r.name == "ab"; }},
    };
    table_->SetFiltered(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        table_->SetFilterOptions(c.options);
        table_->SetFilter(c.text);
        std::vector<std::string> expected;
        for (const FilterRow& row : FixtureRows())
            if (c.holds(row))
                expected.push_back(row.name);
        std::sort(expected.begin(), expected.end(), [](const std::string& l, const std::string& r) {
            return os::CompareAnsiText(l, r, false) < 0;
        });
        EXPECT_EQ(Names(*table_), expected);
        EXPECT_EQ(table_->RecordCount(), static_cast<std::int32_t>(expected.size()));
    }
}

// Whether a refusal is one the parser, the evaluator or the conversions may give.
bool IsKnownRefusal(const std::string& message) {
    static const char* const exact[] = {
        "Filter expression incorrectly terminated",
        "Unterminated field name",
        "Unterminated string constant",
        "Type mismatch in expression",
        "IN predicate list may not be empty",
        "Filter expression nested too deeply",
        "Division by zero",
        "Value out of range in expression",
    };
    for (const char* text : exact)
        if (message == text)
            return true;
    static const char* const starts[] = {
        "Invalid filter expression character: '",
        "'(' expected but ",
        "')' expected but ",
        "')' or ',' expected but ",
        "Expression expected but ",
        "Tf: Field '",
    };
    for (const char* text : starts)
        if (message.starts_with(text))
            return true;
    return message.ends_with("' is not a valid floating point value") ||
           message.ends_with("' is not a valid date") ||
           message.ends_with("' is not a valid time") ||
           message.ends_with("' is not a valid date and time");
}

TEST_F(FilterParser, RandomAndDamagedTextsAreRefusedCleanly) {
    for (const FilterRow& row : FixtureRows())
        AddRow(*table_, row);
    const std::vector<std::string> fragments = {
        "a",          "b",          "x",        "name",    "[order date]",
        "flag",       "memo",       "t",        "dt",      "year",
        "s",          "=",          "<>",       ">=",      "<",
        "+",          "-",          "*",        "/",       "(",
        ")",          ",",          "and",      "or",      "not",
        "like",       "in",         "True",     "False",   "1",
        "-1",         "2.5",        "1e-5",     "0",       "'x*'",
        "'%a_'",      "'1/2/2024'", "'it''s'",  "'10:00'", "UPPER(",
        "SUBSTRING(", "YEAR(",      "HOUR(",    "TRIM(",   "GETDATE()",
        "/*",         "*/",         "[",        "]",       "'",
        "\x80",       "\xc3\xa9",   "\xe2\x82", "#",       " ",
        "2147483648", "1e400",      "MONTH(",
    };
    std::mt19937 random(20261210);
    const auto pick = [&](size_t n) {
        return std::uniform_int_distribution<size_t>(0, n - 1)(random);
    };
    table_->SetFiltered(true);
    int refused = 0;
    int accepted = 0;
    for (int round = 0; round < 10000; ++round) {
        std::string text;
        const size_t count = 1 + pick(12);
        for (size_t i = 0; i < count; ++i)
            text += fragments[pick(fragments.size())] + (pick(3) ? " " : "");
        // Damage: a byte changed, a cut, or a stray byte.
        switch (pick(4)) {
            case 0:
                text[pick(text.size())] = static_cast<char>(pick(256));
                break;
            case 1:
                text.resize(pick(text.size() + 1));
                break;
            case 2:
                text.insert(pick(text.size() + 1), 1, static_cast<char>(pick(256)));
                break;
            default:
                break;
        }
        const std::string before = table_->Filter();
        const std::string message = ErrorOf([&] { table_->SetFilter(text); });
        if (message == "no error") {
            ++accepted;
            EXPECT_EQ(table_->Filter(), text);
            continue;
        }
        ++refused;
        EXPECT_TRUE(IsKnownRefusal(message)) << "text: " << text << "\nmessage: " << message;
        EXPECT_EQ(table_->Filter(), before) << text;
    }
    EXPECT_GT(accepted, 20);
    EXPECT_GT(refused, 3000);
}

}  // namespace
}  // namespace vesk::testing
