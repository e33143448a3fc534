#pragma once
// Value of a branch's recognised expression: the text that recognition
// writes over the letters a-f with ~, & and | and parentheses.
#include <optional>

// Value of an expression over the letters a-f with ~, &, | and parentheses
// (& binds tighter than |); bit k of `values` is letter 'a' + k. Empty when
// the text is not such an expression.
std::optional<bool> evaluate_expression(const char* expr, unsigned values);
