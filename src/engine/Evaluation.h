#pragma once

#include "engine/EngineError.h"
#include "engine/ExpressionTree.h"
#include "engine/VariableTable.h"

#include <cstdint>
#include <string>

// The value of a tree against a variable table with the zero tolerance epsilon (see
// kDefaultEpsilon). It is computed in double, except for formulas with tan or cotan: near
// their poles the last bit of the argument shows in the digits of the value, so these run
// in extended precision as the engine always has. An error gives a substitute value, is recorded
// in the result (the first one stays) and evaluation goes on. A number text that is not
// well formed is unreadable text: its message replaces any other (EngineError::Unreadable).
EngineResult EvaluateTree(const ExpressionNode* root, const VariableTable* table, double epsilon);

// The function of a code applied to a value, with the domain checks of tan, cotan, log and
// ln, and results smaller than 3 * epsilon snapped to 0 (code 9 passes the value through
// unchanged): the value and the message of a failed domain check, if any. In double, and
// in extended precision for the formulas that need it (up, cosh, sinh and tanh are
// computed in double in both).
template <typename Real> struct FunctionResultOf {
    Real value;
    const std::string* error = nullptr;
};
using FunctionResult = FunctionResultOf<double>;
template <typename Real>
FunctionResultOf<Real> ComputeFunction(std::uint8_t code, Real x, double epsilon);
extern template FunctionResultOf<double> ComputeFunction(std::uint8_t, double, double);
extern template FunctionResultOf<long double> ComputeFunction(std::uint8_t, long double, double);

// The atomic function up: 1 at 0, 1/2 at +-1/2, 0 for |x| >= 1.
double UpFunction(double x);
