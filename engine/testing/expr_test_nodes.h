#pragma once
// Constant nodes, dates and a fixed clock for the evaluator's tests.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "engine/day_number.h"
#include "engine/expr_node.h"
#include "platform/os/clock.h"

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

inline std::int32_t Day(int year, int month, int day) {
    std::int32_t number = 0;
    EXPECT_TRUE(EncodeDayNumber({year, month, day}, number));
    return number;
}

// Tests that read the clock run on 2026-12-10 11:00 (two-digit years 1976 to 2075).
class FixedClock2026 : public ::testing::Test {
  protected:
    void SetUp() override { os::SetFixedNow(os::LocalDateTime{2026, 12, 10, 11, 0, 0, 0}); }
    void TearDown() override { os::SetFixedNow(std::nullopt); }
};

}  // namespace vesk::testing
