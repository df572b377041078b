// The grammar of filter texts, its constants and the data set's side of the tree (field types,
// places and blob texts).
#include "engine/dataset/filter_parser.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "engine/component_error.h"
#include "engine/dataset/tde_dataset.h"
#include "engine/db_error.h"
#include "engine/expr_type_check.h"
#include "engine/expr_value.h"
#include "engine/message_excerpt.h"

namespace vesk {

namespace {

bool IsComparisonToken(TTokenKind kind) {
    return kind == tkEQ || kind == tkNE || kind == tkGE || kind == tkLE || kind == tkGT ||
           kind == tkLT;
}

TExprOperator OperatorOf(TTokenKind kind) {
    switch (kind) {
        case tkEQ:
            return toEQ;
        case tkNE:
            return toNE;
        case tkGE:
            return toGE;
        case tkLE:
            return toLE;
        case tkGT:
            return toGT;
        case tkLT:
            return toLT;
        case tkPlus:
            return toADD;
        case tkMinus:
            return toSUB;
        case tkMul:
            return toMUL;
        default:
            return toDIV;
    }
}

// The whole text reads as a 32-bit integer: an optional "-", then digits.
bool IsIntegerStr(const std::string& text, std::int32_t& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last && !text.empty();
}

double TextToFloat(const std::string& text) {
    double value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (text.empty() || error != std::errc() || end != last)
        throw EDatabaseError(
            FormatMessage("'%s' is not a valid floating point value", MessageExcerpt(text)));
    return value;
}

// Counts one level of nesting for a scope.
class TNestingGuard {
  public:
    TNestingGuard(int& nesting, int limit) : nesting_(nesting) {
        if (++nesting_ > limit) {
            --nesting_;
            throw EDatabaseError("Filter expression nested too deeply");
        }
    }
    ~TNestingGuard() { --nesting_; }
    TNestingGuard(const TNestingGuard&) = delete;
    TNestingGuard& operator=(const TNestingGuard&) = delete;

  private:
    int& nesting_;
};

}  // namespace

// ---- the data set's side -------------------------------------------------------------------

TFieldInfo TFilterParser::GetFieldInfo(const std::string& name) {
    // The data set's own message, with the name as typed quoted the way the parser quotes.
    const TField* field = DataSet.FindField(name);
    const TFields& fields = DataSet.Fields();
    for (std::int32_t i = 0; field != nullptr && i < fields.Count(); ++i)
        if (&fields.Fields(i) == field)
            return {i, field->DataType(), field->IsBlob()};
    RaiseComponentError(DataSet.Name(),
                        FormatMessage("Field '%s' not found", MessageExcerpt(name)));
}

TFieldType TFilterParser::GetFuncDataType(const std::string& name) {
    switch (TExprNode::GetFuncKind(name)) {
        case fkYear:
        case fkMonth:
        case fkDay:
        case fkHour:
        case fkMinute:
        case fkSecond:
            return ftInteger;
        case fkGetDate:
            return ftDateTime;
        default:
            return ftUnknown;
    }
}

bool TFilterParser::TestFuncName(const std::string& name) {
    return TExprNode::GetFuncKind(name) != fkNone;
}

TFieldPlace TFilterParser::GetFieldPlace(std::int32_t fieldIndex) {
    const TField& field = DataSet.Fields().Fields(fieldIndex);
    TRecordBuffer* buffer = DataSet.GetActiveRecBuf();
    if (buffer == nullptr || field.FieldNo() <= 0)
        return {};
    return {buffer->Data() + DataSet.GetFieldOffset(field.FieldNo()), field.DataSize()};
}

std::string TFilterParser::GetFieldText(std::int32_t fieldIndex) {
    const TField& field = DataSet.Fields().Fields(fieldIndex);
    TRecordBuffer* buffer = DataSet.GetActiveRecBuf();
    if (buffer == nullptr || field.FieldNo() <= 0)
        return {};
    TOptimBlobStream* stream = buffer->BlobStreamAt(DataSet.GetFieldOffset(field.FieldNo()));
    if (stream == nullptr)
        return {};
    stream->LoadBlob();
    std::string text(static_cast<size_t>(stream->Size()), '\0');
    const std::int64_t read =
        stream->ReadAt(text.data(), 0, static_cast<std::int64_t>(text.size()));
    text.resize(static_cast<size_t>(std::max<std::int64_t>(read, 0)));
    return text;
}

// ---- grammar -------------------------------------------------------------------------------

TExprNode* TFilterParser::ParseOrExpr() {
    nesting_ = 0;
    return OrExpr().Node;
}

int TFilterParser::Deeper(int depth) {
    // Nesting is bounded on its own; what makes a tree this deep is a long chain of operators.
    if (depth >= kMaxDepth)
        throw EDatabaseError("Filter expression too long");
    return depth + 1;
}

void TFilterParser::Expected(const char* pattern) const {
    throw EDatabaseError(FormatMessage(pattern, TokenName()));
}

TFilterParser::TParsed TFilterParser::Operator(TExprOperator op, TFieldType type, TParsed left,
                                               TParsed right) {
    const int depth = Deeper(std::max(left.Depth, right.Depth));
    TExprNode* node = Nodes.NewNode(enOperator, type, 0, op, left.Node, right.Node);
    return {node, depth};
}

TFilterParser::TParsed TFilterParser::OrExpr() {
    TParsed left = AndExpr();
    while (TokenSymbolIs("OR")) {
        NextToken();
        left = Operator(toOR, ftBoolean, left, AndExpr());
        CheckLogic(*left.Node);
    }
    return left;
}

TFilterParser::TParsed TFilterParser::AndExpr() {
    TParsed left = NotExpr();
    while (TokenSymbolIs("AND")) {
        NextToken();
        left = Operator(toAND, ftBoolean, left, NotExpr());
        CheckLogic(*left.Node);
    }
    return left;
}

TFilterParser::TParsed TFilterParser::NotExpr() {
    if (!TokenSymbolIs("NOT"))
        return Comparison();
    NextToken();
    TNestingGuard guard(nesting_, kMaxNesting);
    TParsed operand = Comparison();
    TParsed node = Operator(toNOT, ftBoolean, operand, {});
    CheckLogic(*node.Node);
    return node;
}

TFilterParser::TParsed TFilterParser::Comparison() {
    TParsed left = Sum();
    if (IsComparisonToken(TokenKind)) {
        const TExprOperator op = OperatorOf(TokenKind);
        NextToken();
        TParsed node = Operator(op, ftBoolean, left, Sum());
        CheckComparison(*node.Node);
        return node;
    }
    if (TokenKind == tkLike) {
        NextToken();
        TParsed node = Operator(toLIKE, ftBoolean, left, Sum());
        CheckLike(*node.Node);
        return node;
    }
    if (TokenKind == tkIn) {
        NextToken();
        return InList(left);
    }
    return left;
}

TFilterParser::TParsed TFilterParser::InList(TParsed left) {
    if (TokenKind != tkLParen)
        Expected("'(' expected but %s found");
    NextToken();
    if (TokenKind == tkRParen)
        throw EDatabaseError("IN predicate list may not be empty");
    std::vector<TExprNode*> items;
    const int depth = ArgumentList(items);
    TParsed node = Operator(toIN, ftBoolean, left, {nullptr, depth});
    node.Node->Args = std::move(items);
    CheckInList(*node.Node);
    NextToken();
    return node;
}

int TFilterParser::ArgumentList(std::vector<TExprNode*>& args) {
    TNestingGuard guard(nesting_, kMaxNesting);
    int depth = 0;
    for (;;) {
        const TParsed arg = OrExpr();
        args.push_back(arg.Node);
        depth = std::max(depth, arg.Depth);
        if (TokenKind == tkRParen)
            return depth;
        if (TokenKind != tkComma)
            Expected("')' or ',' expected but %s found");
        NextToken();
        if (TokenKind == tkEnd)
            Expected("')' expected but %s found");
    }
}

TFilterParser::TParsed TFilterParser::Sum() {
    TParsed left = Product();
    while (TokenKind == tkPlus || TokenKind == tkMinus) {
        const TExprOperator op = OperatorOf(TokenKind);
        NextToken();
        left = Operator(op, ftUnknown, left, Product());
        CheckArithmetic(*left.Node);
    }
    return left;
}

TFilterParser::TParsed TFilterParser::Product() {
    TParsed left = Primary();
    while (TokenKind == tkMul || TokenKind == tkDiv) {
        const TExprOperator op = OperatorOf(TokenKind);
        NextToken();
        left = Operator(op, ftUnknown, left, Primary());
        CheckArithmetic(*left.Node);
    }
    return left;
}

TFilterParser::TParsed TFilterParser::Primary() {
    TParsed result;
    switch (TokenKind) {
        case tkIdentifier: {
            if (At(SkipBlankBytes(SourcePtr)) == '(' && TestFuncName(Token)) {
                result = FunctionCall();
            } else if (TokenSymbolIs("True") || TokenSymbolIs("False")) {
                result = BooleanConstant(TokenSymbolIs("True"));
            } else {
                result = {Nodes.NewFieldNode(Token), 1};
            }
            break;
        }
        case tkFieldName:
            result = {Nodes.NewFieldNode(Token), 1};
            break;
        case tkNumber:
            result = NumberConstant();
            break;
        case tkString:
            result = TextConstant();
            break;
        case tkLParen: {
            TNestingGuard guard(nesting_, kMaxNesting);
            NextToken();
            result = OrExpr();
            if (TokenKind != tkRParen)
                Expected("')' expected but %s found");
            break;
        }
        default:
            Expected("Expression expected but %s found");
    }
    NextToken();
    return result;
}

TFilterParser::TParsed TFilterParser::FunctionCall() {
    TExprNode* node = Nodes.NewFuncNode(Token);
    NextToken();  // "("
    NextToken();
    int depth = 0;
    if (TokenKind != tkRParen)
        depth = ArgumentList(node->Args);
    CheckFunction(*node);
    return {node, Deeper(depth)};
}

TFilterParser::TParsed TFilterParser::NumberConstant() {
    std::int32_t integer = 0;
    TExprNode* node = nullptr;
    if (IsIntegerStr(Token, integer)) {
        node = Nodes.NewNode(enConst, ftInteger, 0, toNOTDEFINED, nullptr, nullptr);
        WriteInt32(*node, integer);
    } else {
        const double value = TextToFloat(Token);
        node = Nodes.NewNode(enConst, ftFloat, 0, toNOTDEFINED, nullptr, nullptr);
        WriteDouble(*node, value);
    }
    return {node, 1};
}

TFilterParser::TParsed TFilterParser::TextConstant() {
    TExprNode* node = Nodes.NewNode(enConst, ftString, 0, toNOTDEFINED, nullptr, nullptr);
    WriteText(*node, Token);
    const std::size_t star = Token.find('*');
    node->PartialLength = star == std::string::npos ? -1 : static_cast<std::int32_t>(star);
    return {node, 1};
}

TFilterParser::TParsed TFilterParser::BooleanConstant(bool value) {
    TExprNode* node = Nodes.NewNode(enConst, ftBoolean, 0, toNOTDEFINED, nullptr, nullptr);
    WriteBoolean(*node, value);
    return {node, 1};
}

// ---- tokens --------------------------------------------------------------------------------

std::size_t TFilterParser::ReadToken(std::size_t p) {
    if (AtEnd(p)) {
        TokenKind = tkEnd;
        return p;
    }
    const char c = At(p);
    const auto byte = static_cast<unsigned char>(c);
    const auto single = [&](TTokenKind kind, std::size_t length) {
        TokenKind = kind;
        return p + length;
    };
    switch (c) {
        case '(':
            return single(tkLParen, 1);
        case ')':
            return single(tkRParen, 1);
        case ',':
            return single(tkComma, 1);
        case '=':
            return single(tkEQ, 1);
        case '+':
            return single(tkPlus, 1);
        case '*':
            return single(tkMul, 1);
        case '/':
            return single(tkDiv, 1);
        case '<':
            if (At(p + 1) == '=')
                return single(tkLE, 2);
            if (At(p + 1) == '>')
                return single(tkNE, 2);
            return single(tkLT, 1);
        case '>':
            if (At(p + 1) == '=')
                return single(tkGE, 2);
            return single(tkGT, 1);
        case '\'':
            return ReadTextConstant(p);
        case '[': {
            const std::size_t close = Text.find(']', p + 1);
            if (close == std::string::npos)
                throw EDatabaseError("Unterminated field name");
            Token = Text.substr(p + 1, close - p - 1);
            TokenKind = tkFieldName;
            return close + 1;
        }
        default:
            break;
    }
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (letter || c == '_' || (byte >= 0x81 && byte <= 0xFE)) {
        const std::size_t first = byte >= 0x81 ? p + MultiByteLength(p) : p + 1;
        const std::size_t end =
            SkipChars(first, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_.[]");
        Token = Text.substr(p, end - p);
        TokenKind = tkIdentifier;
        if (TokenSymbolIs("LIKE"))
            TokenKind = tkLike;
        else if (TokenSymbolIs("IN"))
            TokenKind = tkIn;
        return end;
    }
    if (c == '-') {
        switch (PrevTokenKind) {
            case tkString:
            case tkNumber:
            case tkFieldName:
            case tkIdentifier:
            case tkRParen:
                return single(tkMinus, 1);
            default:
                return ReadNumber(p);
        }
    }
    if (c >= '0' && c <= '9')
        return ReadNumber(p);
    InvalidCharacter(std::string_view(Text).substr(p, 1));
}

std::size_t TFilterParser::ReadNumber(std::size_t p) {
    // The decimal separator of the program's locale.
    constexpr char kDecimalSeparator = '.';
    std::size_t end = p + 1;
    for (; !AtEnd(end); ++end) {
        const char c = At(end);
        const char before = At(end - 1);
        const bool sign = (c == '+' || c == '-') && (before == 'E' || before == 'e');
        if (!((c >= '0' && c <= '9') || c == 'E' || c == 'e' || c == kDecimalSeparator || sign))
            break;
    }
    Token = Text.substr(p, end - p);
    TokenKind = tkNumber;
    return end;
}

std::size_t TFilterParser::ReadTextConstant(std::size_t p) {
    // Only the first 256 characters are kept; the rest are read and dropped.
    constexpr std::size_t kKept = 256;
    std::size_t at = p + 1;
    std::string text;
    for (;;) {
        if (AtEnd(at))
            throw EDatabaseError("Unterminated string constant");
        const char c = Text[at];
        if (c == '\'') {
            if (At(at + 1) != '\'' || AtEnd(at + 1))
                break;
            ++at;  // a doubled quote stands for one
        }
        if (text.size() < kKept)
            text.push_back(c);
        ++at;
    }
    Token = std::move(text);
    TokenKind = tkString;
    return at + 1;
}

}  // namespace vesk
