#pragma once
// Constant nodes for the evaluator's tests.
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/expr_node.h"

namespace vesk::testing {

template <typename T>
TExprNode* Constant(TExprNodes& nodes, TFieldType type, T value) {
    TExprNode* node = nodes.NewNode(enConst, type, static_cast<std::int32_t>(sizeof(T)),
                                    toNOTDEFINED, nullptr, nullptr);
    std::memcpy(node->Value, &value, sizeof(T));
    return node;
}

inline TExprNode* Text(TExprNodes& nodes, const std::string& text, TFieldType type = ftString) {
    TExprNode* node = nodes.NewNode(enConst, type, static_cast<std::int32_t>(text.size() + 1),
                                    toNOTDEFINED, nullptr, nullptr);
    std::memcpy(node->Value, text.c_str(), text.size() + 1);
    return node;
}

inline TExprNode* Boolean(TExprNodes& nodes, std::uint8_t firstByte) {
    return Constant<std::uint8_t>(nodes, ftBoolean, firstByte);
}

// Evaluates `left op right` in a fresh operator node and returns that node.
inline TExprNode* Apply(TExprNodes& nodes, TExprOperator op, TExprNode* left, TExprNode* right,
                        TFilterOptions options = 0, TFieldType resultType = ftUnknown) {
    TExprNode* node = nodes.NewNode(enOperator, resultType, 0, op, left, right);
    node->Calculate(options);
    return node;
}

template <typename T>
T ValueOf(const TExprNode* node) {
    T value{};
    std::memcpy(&value, node->Value, sizeof(T));
    return value;
}

inline std::string TextOf(const TExprNode* node) {
    return std::string(static_cast<const char*>(node->Value));
}

}  // namespace vesk::testing
