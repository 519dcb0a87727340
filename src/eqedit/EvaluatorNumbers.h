#pragma once

#include <string>
#include <string_view>

namespace eqedit {

// The evaluator reads every operand as a double and computes every result as a double, so
// an operation whose result leaves the range of a double is a fault of that operation, and
// every number text it writes reads back to the same double.
using Real = double;

// Whether the text has the shape of a number text: digits, at most one ".", at most one
// exponent letter "E"/"e", and "+"/"-" only at the front or right after the exponent
// letter. The empty text passes; callers test for emptiness themselves.
bool IsDigitString(std::string_view text);

// The characters a number text is built of besides its digits.
inline bool IsSign(char c) {
    return c == '+' || c == '-';
}
inline bool IsExponentLetter(char c) {
    return c == 'E' || c == 'e';
}

// A copy with the ASCII letters a to z made upper-case.
std::string UpCaseString(std::string_view text);

// The number text of a value: 34 significant digits requested, "." as the decimal
// point, exponent form with "e" below 1e-4 and from 1e34 on, no trailing zeros.
std::string NumberText(Real value);
// The same with "+" in front of a value that is not negative, as results are written
// back into a formula so that a sign taken with the left operand stays right.
std::string SignedNumberText(Real value);

// Reads a number text. It must be non-empty, pass IsDigitString and be read whole by the
// decimal conversion (which never depends on the C locale); so "e", "+", "." or "1e2.5"
// are not numbers. Nor is a text whose value lies beyond the range of a double (1e400):
// it cannot be converted to one.
bool ReadNumber(std::string_view text, Real& value);

} // namespace eqedit
