#include "engine/expr_parser_base.h"

#include "engine/db_error.h"

namespace vesk {

void TExprParserBase::Parse(const std::string& text) {
    Nodes.Clear();
    SetText(text);
    NextToken();
    TExprNode* root = ParseOrExpr();
    CheckTerminated();
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
