// The node list and the evaluation of a tree, kind by kind.
//
// SetDataSize: a size equal to ValueSize changes nothing; a size below 1 frees the value; a node
// without a value of its own gets a zero-filled block; otherwise the block is resized (new
// bytes zero). Value then points at the node's own block.
#include "engine/expr_node.h"

#include <cstring>

#include "engine/db_error.h"
#include "engine/expr_arith.h"
#include "engine/expr_compare.h"
#include "engine/expr_functions.h"
#include "engine/expr_parser_base.h"
#include "engine/expr_value.h"
#include "engine/like_match.h"
#include "platform/os/collation.h"

namespace vesk {

namespace {

[[noreturn]] void TypeMismatch() {
    throw EDatabaseError("Type mismatch in expression");
}

TExprNode& Require(TExprNode* node) {
    if (node == nullptr)
        TypeMismatch();
    return *node;
}

bool IsComparison(TExprOperator op) {
    return op == toEQ || op == toNE || op == toGT || op == toLT || op == toGE || op == toLE;
}

void WriteLogicResult(TExprNode& result, bool value) {
    result.DataType = ftBoolean;
    WriteBoolean(result, value);
}

bool ReadLogicOperand(const TExprNode& node) {
    if (node.DataType != ftBoolean)
        TypeMismatch();
    return ReadBoolean(node);
}

struct TFuncName {
    const char* Name;
    TExprFuncKind Kind;
};

constexpr TFuncName kFuncNames[] = {
    {"UPPER", fkUpper},     {"LOWER", fkLower},       {"SUBSTRING", fkSubstring},
    {"TRIM", fkTrim},       {"TRIMLEFT", fkTrimLeft}, {"TRIMRIGHT", fkTrimRight},
    {"YEAR", fkYear},       {"MONTH", fkMonth},       {"DAY", fkDay},
    {"HOUR", fkHour},       {"MINUTE", fkMinute},     {"SECOND", fkSecond},
    {"GETDATE", fkGetDate},
};

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (os::AsciiUpper(a[i]) != os::AsciiUpper(b[i]))
            return false;
    }
    return true;
}

}  // namespace

// ---- TExprNode -----------------------------------------------------------------------------

void TExprNode::SetDataSize(std::int32_t size) {
    if (size == ValueSize)
        return;
    if (size < 1) {
        storage_.clear();
        storage_.shrink_to_fit();
        Value = nullptr;
        ValueSize = 0;
        ValueLimit = 0;
        return;
    }
    if (ValueSize == 0)
        storage_.clear();  // a value not owned is dropped, not copied
    storage_.resize(static_cast<size_t>(size), 0);
    Value = storage_.data();
    ValueSize = size;
    ValueLimit = 0;
}

bool TExprNode::AsBoolean() const {
    return ReadBoolean(*this);
}

TExprFuncKind TExprNode::GetFuncKind(std::string_view name) {
    for (const TFuncName& entry : kFuncNames) {
        if (EqualsIgnoringAsciiCase(name, entry.Name))
            return entry.Kind;
    }
    return fkNone;
}

void TExprNode::Calculate(TFilterOptions options) {
    switch (Kind) {
        case enConst:
            return;
        case enField: {
            TExprParserBase* parser = Owner ? Owner->Parser : nullptr;
            if (parser == nullptr)
                return;  // a value given from outside
            if (IsBlob) {
                // Read anew each time: the row under the tree changes between evaluations.
                BlobText = parser->GetFieldText(FieldIndex);
                Value = BlobText.data();
                ValueSize = 0;
                ValueLimit = static_cast<std::int32_t>(BlobText.size() + 1);
            } else if (Value == nullptr) {
                // The record buffer's place stays valid for the tree's life.
                const TFieldPlace place = parser->GetFieldPlace(FieldIndex);
                Value = place.Data;
                ValueSize = 0;
                ValueLimit = place.Data ? place.Size : 0;
            }
            return;
        }
        case enFunc:
            for (TExprNode* arg : Args)
                Require(arg).Calculate(options);
            EvaluateFunction(this, FuncKind, Args);
            return;
        case enOperator:
            break;
    }

    switch (Operator) {
        case toNOT:
            Require(Left).Calculate(options);
            WriteLogicResult(*this, !ReadLogicOperand(*Left));
            return;
        case toAND: {
            Require(Left).Calculate(options);
            bool value = ReadLogicOperand(*Left);
            if (value) {
                Require(Right).Calculate(options);
                value = ReadLogicOperand(*Right);
            }
            WriteLogicResult(*this, value);
            return;
        }
        case toOR: {
            Require(Left).Calculate(options);
            bool value = ReadLogicOperand(*Left);
            if (!value) {
                Require(Right).Calculate(options);
                value = ReadLogicOperand(*Right);
            }
            WriteLogicResult(*this, value);
            return;
        }
        case toIN:
            Require(Left).Calculate(options);
            for (TExprNode* item : Args)
                Require(item).Calculate(options);
            EvaluateOperator(this, Operator, Left, Right, Args, options);
            return;
        default:
            Require(Left).Calculate(options);
            Require(Right).Calculate(options);
            EvaluateOperator(this, Operator, Left, Right, Args, options);
            return;
    }
}

void TExprNode::EvaluateOperator(TExprNode* resultNode, TExprOperator op, TExprNode* left,
                                 TExprNode* right, const std::vector<TExprNode*>& args,
                                 TFilterOptions options) {
    TExprNode& result = Require(resultNode);
    if (IsComparison(op)) {
        const bool holds =
            ComparisonHolds(op, CompareNodes(Require(left), Require(right), options));
        WriteLogicResult(result, holds);
        return;
    }
    switch (op) {
        case toADD:
        case toSUB:
        case toMUL:
        case toDIV:
            EvaluateArithmetic(result, op, Require(left), Require(right));
            return;
        case toLIKE: {
            const TExprNode& text = Require(left);
            const TExprNode& pattern = Require(right);
            if (ValueClassOf(text.DataType) != TValueClass::Text ||
                ValueClassOf(pattern.DataType) != TValueClass::Text) {
                TypeMismatch();
            }
            const bool caseSensitive = (options & foCaseInsensitive) == 0;
            WriteLogicResult(result,
                             MatchLikePattern(ReadText(text), ReadText(pattern), caseSensitive));
            return;
        }
        case toIN: {
            const TExprNode& value = Require(left);
            bool found = false;
            for (TExprNode* item : args) {
                if (CompareNodes(value, Require(item), options) == TCompareResult::Equal) {
                    found = true;
                    break;
                }
            }
            WriteLogicResult(result, found);
            return;
        }
        case toNOT:
            WriteLogicResult(result, !ReadLogicOperand(Require(left)));
            return;
        case toAND:
            WriteLogicResult(result,
                             ReadLogicOperand(Require(left)) && ReadLogicOperand(Require(right)));
            return;
        case toOR:
            WriteLogicResult(result,
                             ReadLogicOperand(Require(left)) || ReadLogicOperand(Require(right)));
            return;
        default:
            TypeMismatch();
    }
}

void TExprNode::EvaluateFunction(TExprNode* resultNode, TExprFuncKind kind,
                                 const std::vector<TExprNode*>& args) {
    EvaluateFunctionNode(Require(resultNode), kind, args);
}

bool TExprNode::IsIntegerType(TFieldType type) {
    return type == ftSmallint || type == ftInteger || type == ftWord || type == ftAutoInc;
}
bool TExprNode::IsLargeIntType(TFieldType type) {
    return type == ftLargeint;
}
bool TExprNode::IsFloatType(TFieldType type) {
    return type == ftFloat || type == ftCurrency;
}
bool TExprNode::IsNumericType(TFieldType type) {
    return IsIntegerType(type) || IsLargeIntType(type) || IsFloatType(type);
}
bool TExprNode::IsDateTimeType(TFieldType type) {
    return type == ftDate || type == ftTime || type == ftDateTime;
}
bool TExprNode::IsBooleanType(TFieldType type) {
    return type == ftBoolean;
}
bool TExprNode::IsStringType(TFieldType type) {
    return IsTextKind(type) || (type >= ftBlob && type <= ftTypedBinary) || type == ftOraBlob ||
           type == ftOraClob;
}

// ---- TExprNodes ----------------------------------------------------------------------------

TExprNodes::~TExprNodes() {
    Clear();
}

TExprNode* TExprNodes::NewNode(TExprNodeKind kind, TFieldType dataType, std::int32_t valueSize,
                               TExprOperator op, TExprNode* left, TExprNode* right) {
    auto node = std::make_unique<TExprNode>();
    node->Owner = this;
    node->Kind = kind;
    node->DataType = dataType;
    node->Operator = op;
    node->Left = left;
    node->Right = right;
    node->SetDataSize(valueSize);
    node->Next = Head;
    Head = node.release();
    return Head;
}

TExprNode* TExprNodes::NewFuncNode(const std::string& name) {
    const TFieldType type = Parser ? Parser->GetFuncDataType(name) : ftUnknown;
    TExprNode* node = NewNode(enFunc, type, 0, toNOTDEFINED, nullptr, nullptr);
    node->Name = name;
    node->FuncKind = TExprNode::GetFuncKind(name);
    return node;
}

TExprNode* TExprNodes::NewFieldNode(const std::string& name) {
    if (Parser == nullptr)
        throw EDatabaseError(FormatMessage("Field '%s' not found", name));
    const TFieldInfo field = Parser->GetFieldInfo(name);
    TExprNode* node = NewNode(enField, field.DataType, 0, toNOTDEFINED, nullptr, nullptr);
    node->Name = name;
    node->FieldIndex = field.Index;
    node->IsBlob = field.IsBlob;
    return node;
}

void TExprNodes::Clear() {
    // Iterative, so a long list cannot exhaust the stack.
    while (Head != nullptr) {
        std::unique_ptr<TExprNode> node(Head);
        Head = node->Next;
    }
    Root = nullptr;
}

}  // namespace vesk
