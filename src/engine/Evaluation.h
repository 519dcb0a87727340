#pragma once

#include "engine/ExpressionTree.h"
#include "engine/PacketData.h"

#include <cstdint>
#include <string>

// The value of a tree against a variable table. Clears EngineStatus first; an error
// gives a substitute value, is recorded (the first one stays) and evaluation goes on.
long double EvaluateTree(const TMyEquation* root, const TMyPacketData* table);

// The function of a code applied to a value, with the domain checks of tan, cotan,
// log and ln, and results smaller than 3 * Epsilon snapped to 0 (code 9 passes the
// value through unchanged).
long double ApplyFunction(std::uint8_t code, long double x);

// ApplyFunction without touching EngineStatus: the value and the message of a failed
// domain check, if any.
struct FunctionResult {
    long double value;
    const std::string* error = nullptr;
};
FunctionResult ComputeFunction(std::uint8_t code, long double x);

// The atomic function up: 1 at 0, 1/2 at +-1/2, 0 for |x| >= 1.
double UpFunction(double x);
