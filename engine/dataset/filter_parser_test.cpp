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

// A filter's verdict is a Boolean; a value of any other type has none and is refused when the
// text is parsed, the previous filter staying.
TEST_F(FilterParser, AFilterWhoseValueIsNoBooleanIsRefused) {
    for (const FilterRow& row : FixtureRows())
        AddRow(*table_, row);
    table_->SetFilter("a = 3");
    table_->SetFiltered(true);
    const struct {
        const char* text;
        std::vector<std::string> names;  // empty: refused
    } cases[] = {
        {"256", {}},
        {"257", {}},
        {"1.5", {}},
        {"0", {}},
        {"GETDATE()", {}},
        {"'text'", {}},
        {"name", {}},
        {"a", {}},
        {"s", {}},
        {"x", {}},
        {"a + 1", {}},
        {"UPPER(name)", {}},
        {"YEAR(dt)", {}},
        {"[order date]", {}},
        {"t", {}},
        {"dt", {}},
        {"memo", {}},
        {"(a)", {}},
        {"flag", {"alpha", "gamma", "Delta"}},
        {"(flag)", {"alpha", "gamma", "Delta"}},
        {"not flag", {"beta", "it's", "ab"}},
        {"True", {"alpha", "beta", "gamma", "it's", "Delta", "ab"}},
        {"a = 2", {"beta"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string before = table_->Filter();
        if (c.names.empty()) {
            EXPECT_EQ(ErrorOf([&] { table_->SetFilter(c.text); }), "Type mismatch in expression");
            EXPECT_EQ(table_->Filter(), before);
            EXPECT_EQ(ErrorOf([&] { parser_->Parse(c.text); }), "Type mismatch in expression");
            continue;
        }
        table_->SetFilter(c.text);
        std::vector<std::string> names = Names(*table_);
        std::vector<std::string> expected = c.names;
        std::sort(names.begin(), names.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(names, expected);
    }
}

// A message quotes a token as the user can read it: a byte that is no character as an escape
// (a zero byte does not cut the message short), a backslash doubled, a long token cut.
TEST_F(FilterParser, MessagesQuoteTokensEscapedAndShort) {
    const std::string huge(120000, 'q');
    const std::string cut(60, 'q');
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {std::string("a = \0", 5), "Invalid filter expression character: '\\x00'"},
        {std::string("a = 1 and \0 b", 14), "Invalid filter expression character: '\\x00'"},
        {"a = \xFF", "Invalid filter expression character: '\\xFF'"},
        {"a = \x80", "Invalid filter expression character: '\\x80'"},
        {"a = \\", "Invalid filter expression character: '\\\\'"},
        {"a = \x7F", "Invalid filter expression character: '\\x7F'"},
        {"[\xE9t\xE9] = 1", "Tf: Field '\\xE9t\\xE9' not found"},
        {"[\xC3\xA9t\xC3\xA9] = 1", "Tf: Field '\xC3\xA9t\xC3\xA9' not found"},
        {"\xC3 = 1", "Tf: Field '\\xC3' not found"},
        {huge + " = 1", "Tf: Field '" + cut + "...' not found"},
        {"[" + huge + "] = 1", "Tf: Field '" + cut + "...' not found"},
        {"x = " + std::string(120000, '1') + ".5",
         "'" + std::string(60, '1') + "...' is not a valid floating point value"},
        {"a IN " + huge, "'(' expected but '" + cut + "...' found"},
        {"a IN '" + huge + "'", "'(' expected but ''" + cut.substr(1) + "...' found"},
        {"a IN '\xFF'", "'(' expected but ''\\xFF'' found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.substr(0, 80));
        EXPECT_EQ(ErrorOf([&] { parser_->Parse(c.text); }), c.message);
    }
}

// "term op term op ... term" with count terms.
std::string Chain(const std::string& first, const std::string& op, const std::string& term,
                  int count) {
    std::string chain = first;
    for (int i = 1; i < count; ++i)
        chain += " " + op + " " + term;
    return chain;
}

// The stack is bounded twice over: the grammar is read recursively, one level for each
// bracket, NOT, argument or IN list; the tree is evaluated recursively, one level for each
// operator of a chain. A message names what was too much.
TEST_F(FilterParser, NestingAndLengthAreBoundedApart) {
    const auto nested = [](int levels, const std::string& open, const std::string& inner,
                           const std::string& close) {
        std::string text;
        for (int i = 0; i < levels; ++i)
            text += open;
        text += inner;
        for (int i = 0; i < levels; ++i)
            text += close;
        return text;
    };
    using Names = std::vector<std::string>;
    const Names ab = {"ab"};
    const Names gamma = {"gamma"};
    const Names none;
    const std::string tooDeep = "Filter expression nested too deeply";
    const std::string tooLong = "Filter expression too long";
    const struct {
        std::string text;
        std::string message;
        Names names;
    } cases[] = {
        {nested(256, "(", "name = 'ab'", ")"), "no error", ab},
        {nested(257, "(", "name = 'ab'", ")"), tooDeep, {}},
        // A NOT and its bracket are two levels.
        {nested(127, "not (", "name <> 'ab'", ")"), "no error", ab},
        {nested(129, "not (", "name <> 'ab'", ")"), tooDeep, {}},
        {nested(256, "flag in (", "flag", ")"), "no error", {"alpha", "gamma", "Delta"}},
        {nested(257, "flag in (", "flag", ")"), tooDeep, {}},
        {nested(256, "UPPER(", "name", ")") + " = 'AB'", "no error", ab},
        {nested(257, "UPPER(", "name", ")") + " = 'AB'", tooDeep, {}},
        // Flat chains nest nothing: a few thousand terms are one expression.
        {Chain("a = 1000", "or", "a = 1000", 3999) + " or a = 3", "no error", gamma},
        {Chain("a >= 0", "and", "a >= 0", 3999) + " and a = 3", "no error", gamma},
        {Chain("a", "+", "1", 2000) + " = 2002", "no error", gamma},
        {Chain("a = 1000", "or", "a = 3", 5000), tooLong, {}},
        {Chain("a", "-", "1", 5000) + " = 0", tooLong, {}},
    };
    for (const FilterRow& row : FixtureRows())
        AddRow(*table_, row);
    table_->SetFilter("a = 0");
    table_->SetFiltered(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 60) + " (" + std::to_string(c.text.size()) + " bytes)");
        const std::string before = table_->Filter();
        EXPECT_EQ(ErrorOf([&] { table_->SetFilter(c.text); }), c.message);
        if (c.message != "no error") {
            EXPECT_EQ(table_->Filter(), before);
            continue;
        }
        Names names = FilterFixture::Names(*table_);
        std::sort(names.begin(), names.end());
        Names expected = c.names;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(names, expected);
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
        "Filter expression too long",
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
