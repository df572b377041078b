#include "engine/expr_type_check.h"

#include <cstring>

#include "engine/db_error.h"
#include "engine/expr_functions.h"
#include "engine/expr_value.h"

namespace vesk {

namespace {

const char* const kMismatch = "Type mismatch in expression";

[[noreturn]] void TypeMismatch() {
    throw EDatabaseError(kMismatch);
}

TExprNode& Operand(TExprNode* node) {
    if (node == nullptr)
        TypeMismatch();
    return *node;
}

bool IsNumeric(TFieldType type) {
    return TExprNode::IsNumericType(type);
}
bool IsDateTime(TFieldType type) {
    return TExprNode::IsDateTimeType(type);
}
bool IsText(TFieldType type) {
    return TExprNode::IsStringType(type);
}

// A constant of that type holding a small valid value (1, one day, "1").
TExprNode* SampleOf(TExprNodes& nodes, TFieldType type) {
    TExprNode* node = nodes.NewNode(enConst, type, 0, toNOTDEFINED, nullptr, nullptr);
    switch (ValueClassOf(type)) {
        case TValueClass::Text:
            WriteText(*node, "1");
            break;
        case TValueClass::SmallInt:
        case TValueClass::Word: {
            const std::uint16_t one = 1;
            node->SetDataSize(sizeof one);
            std::memcpy(node->Value, &one, sizeof one);
            break;
        }
        case TValueClass::Integer:
        case TValueClass::Date:
        case TValueClass::Time:
            WriteInt32(*node, 1);
            break;
        case TValueClass::LargeInt:
            WriteInt64(*node, 1);
            break;
        case TValueClass::Float:
            WriteDouble(*node, 1.0);
            break;
        case TValueClass::DateTime:
            WriteDouble(*node, 86400000.0);
            break;
        case TValueClass::Boolean:
            WriteBoolean(*node, true);
            break;
        case TValueClass::None:
            node->SetDataSize(8);
            break;
    }
    node->DataType = type;
    return node;
}

// Evaluates op once on samples of the operand types; refuses what the evaluator refuses and
// answers the type the result has. Other failures of the samples (a division by zero, a value
// out of range) say nothing about the types and are ignored.
TFieldType Probe(TExprOperator op, TFieldType resultType, TFieldType left, TFieldType right) {
    TExprNodes samples;
    TExprNode* result = samples.NewNode(enOperator, resultType, 0, op, nullptr, nullptr);
    TExprNode* leftSample = SampleOf(samples, left);
    TExprNode* rightSample = SampleOf(samples, right);
    try {
        if (op == toIN)
            TExprNode::EvaluateOperator(result, op, leftSample, nullptr, {rightSample}, 0);
        else
            TExprNode::EvaluateOperator(result, op, leftSample, rightSample, {}, 0);
    } catch (const EDatabaseError& error) {
        if (std::strcmp(error.what(), kMismatch) == 0)
            throw;
        return resultType;
    }
    return result->DataType;
}

int NumericRank(TFieldType type) {
    switch (type) {
        case ftSmallint:
            return 1;
        case ftWord:
            return 2;
        case ftInteger:
        case ftAutoInc:
            return 3;
        case ftLargeint:
            return 4;
        case ftFloat:
            return 5;
        case ftCurrency:
            return 6;
        default:
            return 0;
    }
}

TFieldType WiderNumeric(TFieldType left, TFieldType right) {
    const TFieldType wider = NumericRank(right) > NumericRank(left) ? right : left;
    return wider == ftSmallint || wider == ftWord ? ftInteger : wider;
}

// The type of an arithmetic node by the rules, converting date-time text constants.
TFieldType ArithmeticType(TExprNode& node, TExprNode& left, TExprNode& right) {
    const TExprOperator op = node.Operator;
    const TFieldType leftType = left.DataType;
    if (IsNumeric(leftType)) {
        if (!IsNumeric(right.DataType))
            TypeMismatch();
        return op == toDIV ? ftFloat : WiderNumeric(leftType, right.DataType);
    }
    if (IsText(leftType)) {
        if (op == toADD && IsText(right.DataType))
            return ftString;
        if (op == toSUB && IsDateTime(right.DataType) && left.IsDateTimeString()) {
            left.ConvertToDateTime(ftDateTime);
            return ftFloat;
        }
        TypeMismatch();
    }
    if (!IsDateTime(leftType))
        TypeMismatch();
    if (op == toSUB) {
        if (right.IsDateTimeString())
            right.ConvertToDateTime(leftType);
        const TFieldType rightType = right.DataType;
        if ((leftType == ftDate || leftType == ftTime) &&
            (rightType == leftType || IsNumeric(rightType)))
            return ftInteger;
        if (IsDateTime(rightType) || IsNumeric(rightType))
            return ftFloat;
        TypeMismatch();
    }
    if (op == toADD && IsNumeric(right.DataType))
        return leftType;
    TypeMismatch();
}

bool IsIntegerConstant(const TExprNode* node) {
    return node != nullptr && node->Kind == enConst && TExprNode::IsIntegerType(node->DataType);
}

// A calendar or clock part: one argument, of type allowed or a date-time; an integer result.
void CheckPartFunction(TExprNode& node, TFieldType allowed) {
    const std::vector<TExprNode*>& args = node.Args;
    if (args.size() != 1 || (args[0]->DataType != allowed && args[0]->DataType != ftDateTime))
        TypeMismatch();
    node.DataType = ftInteger;
}

}  // namespace

void CheckLogic(TExprNode& node) {
    for (TExprNode* operand : {node.Left, node.Right})
        if (operand != nullptr && operand->DataType != ftBoolean)
            TypeMismatch();
    if (node.Left == nullptr)
        TypeMismatch();
    node.DataType = ftBoolean;
}

void CheckLike(TExprNode& node) {
    if (!IsText(Operand(node.Left).DataType) || !IsText(Operand(node.Right).DataType))
        TypeMismatch();
    node.DataType = ftBoolean;
}

void CheckComparison(TExprNode& node) {
    TExprNode& left = Operand(node.Left);
    TExprNode& right = Operand(node.Right);
    const TFieldType leftType = left.DataType;
    if (IsNumeric(leftType)) {
        if (!IsNumeric(right.DataType))
            TypeMismatch();
    } else if (IsDateTime(leftType)) {
        if (right.IsDateTimeString())
            right.ConvertToDateTime(leftType);
        else if (!IsDateTime(right.DataType))
            TypeMismatch();
    } else if (IsText(leftType)) {
        if (IsDateTime(right.DataType) && left.IsDateTimeString())
            left.ConvertToDateTime(right.DataType);
        else if (!IsText(right.DataType))
            TypeMismatch();
    } else if (TExprNode::IsBooleanType(leftType)) {
        if (!TExprNode::IsBooleanType(right.DataType) ||
            (node.Operator != toEQ && node.Operator != toNE))
            TypeMismatch();
    } else {
        TypeMismatch();
    }
    Probe(node.Operator, ftBoolean, left.DataType, right.DataType);
    node.DataType = ftBoolean;
}

void CheckInList(TExprNode& node) {
    TExprNode& left = Operand(node.Left);
    const TFieldType leftType = left.DataType;
    for (TExprNode* itemNode : node.Args) {
        TExprNode& item = Operand(itemNode);
        bool fits = true;
        if (IsNumeric(leftType)) {
            fits = IsNumeric(item.DataType);
        } else if (IsText(leftType)) {
            fits = IsText(item.DataType);
        } else if (IsDateTime(leftType)) {
            if (item.IsDateTimeString())
                item.ConvertToDateTime(leftType);
            else
                fits = IsDateTime(item.DataType);
        } else if (TExprNode::IsBooleanType(leftType)) {
            fits = TExprNode::IsBooleanType(item.DataType);
        }
        if (!fits)
            TypeMismatch();
        Probe(toIN, ftBoolean, leftType, item.DataType);
    }
    node.DataType = ftBoolean;
}

void CheckArithmetic(TExprNode& node) {
    TExprNode& left = Operand(node.Left);
    TExprNode& right = Operand(node.Right);
    const TFieldType type = ArithmeticType(node, left, right);
    node.DataType = Probe(node.Operator, type, left.DataType, right.DataType);
}

void CheckFunction(TExprNode& node) {
    const std::vector<TExprNode*>& args = node.Args;
    for (const TExprNode* arg : args)
        if (arg == nullptr)
            TypeMismatch();
    switch (node.FuncKind) {
        case fkUpper:
        case fkLower:
        case fkTrim:
        case fkTrimLeft:
        case fkTrimRight:
            if (args.size() != 1 || !IsText(args[0]->DataType))
                TypeMismatch();
            node.DataType = ftString;
            return;
        case fkSubstring:
            if (args.size() != 3 || !IsText(args[0]->DataType) || !IsIntegerConstant(args[1]) ||
                !IsIntegerConstant(args[2]))
                TypeMismatch();
            node.DataType = ftString;
            return;
        case fkYear:
        case fkMonth:
        case fkDay:
            CheckPartFunction(node, ftDate);
            return;
        case fkHour:
        case fkMinute:
        case fkSecond:
            CheckPartFunction(node, ftTime);
            return;
        case fkGetDate:
            if (!args.empty())
                TypeMismatch();
            // The moment of parsing, as a constant.
            EvaluateFunctionNode(node, fkGetDate, args);
            node.Kind = enConst;
            return;
        default:
            TypeMismatch();
    }
}

}  // namespace vesk
