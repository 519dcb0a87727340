#pragma once

#include <string>

// A parameter's value as text. With decimals >= 0: exactly that many decimals; otherwise
// at most six, without trailing zeros ("8", "0,25"). Never in exponent form.
std::string NumberText(double value, int decimals, char decimalChar);

// The value as the shortest fixed-point text that reads back as the same double, with a
// decimal point: how a value enters a formula.
std::string ExactNumberText(double value);
