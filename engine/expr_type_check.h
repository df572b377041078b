#pragma once
// The type checks of the filter parser: each takes an operator or function node whose
// operands are already checked, converts text constants that meet a date or time where the
// rules say so, and gives the node the type its evaluation will have.
//
// Beyond the rules of each check, every operator node is tried once on sample values of its
// operand types: a pair that the evaluator cannot compute is refused here, at parse time,
// rather than when the first row is tested.
//
// Errors: EDatabaseError("Type mismatch in expression") when a check fails; a text constant
// that reads as a date-time but not as the type it must become raises the conversion's own
// error. A node that was refused may have had an operand converted.
#include "engine/expr_node.h"

namespace vesk {

void CheckLogic(TExprNode& node);       // OR, AND, NOT
void CheckLike(TExprNode& node);        // LIKE
void CheckComparison(TExprNode& node);  // =, <>, >, <, >=, <=
void CheckInList(TExprNode& node);      // IN with its items in Args
void CheckArithmetic(TExprNode& node);  // +, -, *, /
void CheckFunction(TExprNode& node);    // a function node with its arguments in Args

}  // namespace vesk
