#include "engine/expr_parser_base.h"

#include "engine/db_error.h"

namespace vesk {

void TExprParserBase::Parse(const std::string& text) {
    Nodes.Clear();
    SetText(text);
    NextToken();
    TExprNode* root = ParseOrExpr();
    CheckTerminated();
    // The tree's verdict is its root's Boolean value: a number, text or date has none, and
    // judging a row by the first byte of one would pass or drop rows by chance.
    if (root == nullptr || root->DataType != ftBoolean)
        throw EDatabaseError("Type mismatch in expression");
    Nodes.Root = root;
}

void TExprParserBase::CheckTerminated() {
    if (TokenKind != tkEnd)
        throw EDatabaseError("Filter expression incorrectly terminated");
}

bool TExprParserBase::Calculate(TFilterOptions options) {
    Options = options;
    if (Nodes.Root == nullptr)
        throw EDatabaseError("Expression expected but nothing found");
    Nodes.Root->Calculate(options);
    return Nodes.Root->AsBoolean();
}

}  // namespace vesk
