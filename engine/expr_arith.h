#pragma once
// "+", "-", "*" and "/" on evaluated operands.
//
// The result type follows from the operand classes (integers 32-bit wrapping, with a large
// integer 64-bit wrapping, with a float f64; "/" always f64; text + text concatenates; date
// and time arithmetic in days and milliseconds). The result node keeps ftCurrency or
// ftAutoInc when the parser chose them for a value of the same form.
//
// Throws EDatabaseError: "Type mismatch in expression" for a pair it cannot compute,
// "Division by zero", "Value out of range in expression" for a number that cannot be a day or
// millisecond count. Nothing is written when it throws.
#include "engine/expr_node.h"

namespace vesk {

void EvaluateArithmetic(TExprNode& result, TExprOperator op, const TExprNode& left,
                        const TExprNode& right);

}  // namespace vesk
