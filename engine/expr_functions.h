#pragma once
// The filter functions on evaluated arguments: UPPER, LOWER, SUBSTRING, TRIM, TRIMLEFT,
// TRIMRIGHT (text results, ftString), YEAR, MONTH, DAY, HOUR, MINUTE, SECOND (ftInteger) and
// GETDATE (the clock's date-time, ftDateTime).
//
// SUBSTRING (text, start, length) counts positions from 1; a start below 1 counts as 1, a
// start beyond the end or a length below 1 gives the empty text, and the result never runs
// past the text.
//
// Throws EDatabaseError("Type mismatch in expression") for a wrong number or type of
// arguments or an unknown function; nothing is written then.
#include <vector>

#include "engine/expr_node.h"

namespace vesk {

void EvaluateFunctionNode(TExprNode& result, TExprFuncKind kind,
                          const std::vector<TExprNode*>& args);

}  // namespace vesk
