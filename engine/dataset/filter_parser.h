#pragma once
// TFilterParser: the parser of a data set's filter text. It reads the text into an expression
// tree whose field nodes read the data set's active record buffer (in the filter state, the
// row under test), and evaluates it for each row.
//
// Grammar, lowest precedence first (operators of one level associate to the left):
//   or-expr    = and-expr { OR and-expr }
//   and-expr   = not-expr { AND not-expr }
//   not-expr   = [ NOT ] comparison
//   comparison = sum [ ( "=" | "<>" | ">" | "<" | ">=" | "<=" ) sum | LIKE sum
//                      | IN "(" or-expr { "," or-expr } ")" ]
//   sum        = product { ( "+" | "-" ) product }
//   product    = primary { ( "*" | "/" ) primary }
//   primary    = function "(" [ or-expr { "," or-expr } ] ")" | TRUE | FALSE | field | [field]
//                | number | 'text' | "(" or-expr ")"
//
// Errors: EDatabaseError with the parser's bare messages ("Filter expression incorrectly
// terminated", "Unterminated field name", "Unterminated string constant", "Invalid filter
// expression character: '%s'", "'(' expected but %s found", "')' expected but %s found",
// "')' or ',' expected but %s found", "Expression expected but %s found", "Type mismatch in
// expression", "IN predicate list may not be empty"), the data set's "Field '%s' not found"
// (prefixed), the conversions' "'%s' is not a valid floating point value" and date errors,
// "Filter expression nested too deeply" for brackets, NOTs, argument and IN lists nested more
// than kMaxNesting levels (the grammar is read recursively), and "Filter expression too long"
// for a tree deeper than kMaxDepth, which only long chains of operators make (the tree is
// evaluated recursively, so its depth bounds the stack). A token a message names is quoted
// at most some 60 characters long, a byte that is no character escaped (message_excerpt.h).
// A text whose value is no Boolean is refused ("Type mismatch in expression").
#include <cstdint>
#include <string>

#include "engine/expr_parser_base.h"

namespace vesk {

class TTDEDataSet;

class TFilterParser : public TExprParserBase {
  public:
    static constexpr int kMaxNesting = 256;
    static constexpr int kMaxDepth = 4096;

    explicit TFilterParser(TTDEDataSet& dataSet) : DataSet(dataSet) {}

    TExprNode* ParseOrExpr() override;
    TFieldInfo GetFieldInfo(const std::string& name) override;
    TFieldType GetFuncDataType(const std::string& name) override;
    bool TestFuncName(const std::string& name) override;
    TFieldPlace GetFieldPlace(std::int32_t fieldIndex) override;
    std::string GetFieldText(std::int32_t fieldIndex) override;

    TTDEDataSet& DataSet;

  protected:
    std::size_t ReadToken(std::size_t p) override;

  private:
    // A node with the depth of the tree below it.
    struct TParsed {
        TExprNode* Node = nullptr;
        int Depth = 0;
    };
    TParsed OrExpr();
    TParsed AndExpr();
    TParsed NotExpr();
    TParsed Comparison();
    TParsed Sum();
    TParsed Product();
    TParsed Primary();
    TParsed FunctionCall();
    TParsed InList(TParsed left);
    // Reads or-expressions separated by "," up to ")" (the current token is the first one's
    // first token) into args; the depth of the deepest.
    int ArgumentList(std::vector<TExprNode*>& args);
    TParsed Operator(TExprOperator op, TFieldType type, TParsed left, TParsed right);
    TParsed NumberConstant();
    TParsed TextConstant();
    TParsed BooleanConstant(bool value);
    // Raises when a node above a tree of that depth would make the tree too deep.
    static int Deeper(int depth);
    [[noreturn]] void Expected(const char* pattern) const;
    std::size_t ReadNumber(std::size_t p);
    std::size_t ReadTextConstant(std::size_t p);

    int nesting_ = 0;  // open parentheses, NOTs and argument lists being read
};

}  // namespace vesk
