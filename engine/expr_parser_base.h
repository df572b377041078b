#pragma once
// TExprParserBase: a parser that builds an expression tree (expr_node.h) from a text and
// evaluates it. It owns the tree (Nodes); a tree stays valid until the next Parse or the
// parser's end. The tree also asks its parser what it needs: the types of fields and
// functions, where a field's value lives in the data set's active record, and a blob field's
// text. The filter parser derives from this and adds the grammar.
//
// Errors: EDatabaseError with the parser's bare messages; on an error the partly built tree
// stays in Nodes (without a root) until the next Parse.
#include <cstdint>
#include <string>

#include "engine/expr_node.h"
#include "engine/field_type.h"
#include "engine/syntax_parser_base.h"

namespace vesk {

// The bytes of one field inside the data set's active record buffer; the buffer belongs to
// the data set and outlives every evaluation of the tree.
struct TFieldPlace {
    void* Data = nullptr;
    std::int32_t Size = 0;  // bytes readable at Data
};

// A field of the data set, as a field node records it.
struct TFieldInfo {
    std::int32_t Index = -1;  // position among the data set's fields
    TFieldType DataType = ftUnknown;
    bool IsBlob = false;
};

class TExprParserBase : public TSyntaxParserBase {
  public:
    TExprParserBase() : Nodes(this) {}
    ~TExprParserBase() override = default;
    TExprParserBase(const TExprParserBase&) = delete;
    TExprParserBase& operator=(const TExprParserBase&) = delete;

    // Frees the previous tree, reads text and makes its tree, with the root in Nodes.Root. A
    // text whose value is no Boolean raises "Type mismatch in expression".
    void Parse(const std::string& text);
    // Evaluates the tree with these options; the root's Boolean value. Without a tree (the
    // last Parse failed): "Expression expected but nothing found".
    bool Calculate(TFilterOptions options);
    // "Filter expression incorrectly terminated" unless the current token is the end.
    virtual void CheckTerminated();
    // The grammar's top rule from the current token on.
    virtual TExprNode* ParseOrExpr() = 0;
    // Whether a name is a function of this parser's grammar.
    virtual bool TestFuncName(const std::string& /*name*/) { return false; }

    // The field of that name; raises "Field '%s' not found" (with the data set's prefix) when
    // the data set has none.
    virtual TFieldInfo GetFieldInfo(const std::string& name) = 0;
    // The type of the field of that name (raises as GetFieldInfo).
    virtual TFieldType GetFieldDataType(const std::string& name) {
        return GetFieldInfo(name).DataType;
    }
    // The result type of a function name; ftUnknown for a name that is no function.
    virtual TFieldType GetFuncDataType(const std::string& name) = 0;
    // The place of a (non-blob) field in the active record buffer.
    virtual TFieldPlace GetFieldPlace(std::int32_t fieldIndex) = 0;
    // A blob field's value read as text.
    virtual std::string GetFieldText(std::int32_t fieldIndex) = 0;

    TExprNodes Nodes;
    TFilterOptions Options = 0;  // those of the last evaluation
};

}  // namespace vesk
