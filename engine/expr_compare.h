#pragma once
// The comparison rules of the evaluator. They fix the order of every index in every database
// file (the storage layer compares keys with "=" and "<"), so they are part of the file format.
#include <cstdint>
#include <string_view>

#include "engine/expr_node.h"

namespace vesk {

// The text order of the engine: -1 less, 0 equal, 1 greater. With partial set and a
// partialLength of 0 or more, only the first partialLength bytes of each text count (a shorter
// text counts as it is). Never throws.
int CompareDbString(std::string_view s1, std::string_view s2, bool partial,
                    std::int32_t partialLength, bool caseInsensitive);

enum class TCompareResult : std::uint8_t { Less, Equal, Greater, Unordered /* a NaN */ };

// Compares two evaluated operands by their value classes. Throws
// EDatabaseError("Type mismatch in expression") for a pair that has no order.
TCompareResult CompareNodes(const TExprNode& left, const TExprNode& right, TFilterOptions options);

// The truth of "=", "<>", ">", "<", ">=" or "<=" for a comparison result.
bool ComparisonHolds(TExprOperator op, TCompareResult result);

}  // namespace vesk
