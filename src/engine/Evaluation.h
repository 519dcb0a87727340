#pragma once

#include "engine/EngineError.h"
#include "engine/ExpressionTree.h"
#include "engine/VariableTable.h"

#include <cstdint>
#include <string>

// The value of a tree against a variable table, in double precision, with the zero
// tolerance epsilon (see kDefaultEpsilon). An error gives a substitute value, is recorded
// in the result (the first one stays) and evaluation goes on. A number text that is not
// well formed raises platform::Error.
EngineResult EvaluateTree(const ExpressionNode* root, const VariableTable* table, double epsilon);

// The function of a code applied to a value, with the domain checks of tan, cotan, log and
// ln, and results smaller than 3 * epsilon snapped to 0 (code 9 passes the value through
// unchanged): the value and the message of a failed domain check, if any.
struct FunctionResult {
    double value;
    const std::string* error = nullptr;
};
FunctionResult ComputeFunction(std::uint8_t code, double x, double epsilon);

// The atomic function up: 1 at 0, 1/2 at +-1/2, 0 for |x| >= 1.
double UpFunction(double x);
