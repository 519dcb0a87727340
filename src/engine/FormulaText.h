#pragma once

#include "platform/Convert.h"
#include "platform/Result.h"

#include <cstdint>
#include <string>
#include <string_view>

// Text-level operations of the expression engine: clean-up of formula text, numbers
// and function names.

// Function codes of FunctionCode and of the tree's `Function` field.
enum : std::uint8_t {
    fnCos = 0,
    fnSin = 1,
    fnTan = 2,
    fnCotan = 3,
    fnLog = 4,
    fnLn = 5,
    fnExp = 6,
    fnAbs = 7,
    fnSqrt = 8,
    fnNone = 9,
    fnAtan = 10,
    fnUp = 11,
    fnCosh = 12,
    fnSinh = 13,
    fnTanh = 14,
};

// The result of the clean-up: the cleaned text, or on a bracket error (code 4) the empty
// text and the message that goes with it.
struct CleanedText {
    std::string text;
    const std::string* bracketError = nullptr;
};

// Bracket check, removal of spaces and of redundant and trailing level markers.
CleanedText CleanFormula(std::string_view text);

// True when the text, after one trailing "@" is dropped, holds only digits, ".", ",",
// the system decimal separator (platform::DecimalChar) and "-". The empty text is not.
bool IsNumberText(std::string_view text);

// The number of a text: 0 for the empty text and for a text that is not a number. A
// number text that the conversion refuses (1.2.3, a lone minus) fails with the
// conversion's message, a lone "@" with the message of an empty operand.
platform::Result<long double> TextToNumber(std::string_view text);

// The code of a function name, compared in lower case; 9 (fnNone) for any other name.
std::uint8_t FunctionCode(std::string_view name);

// Number texts read the same whatever the separator while the system separator is "."
// or ",", so converted numbers may be kept as long as this holds.
inline bool NumbersMayBeCached() {
    const char separator = platform::DecimalChar();
    return separator == '.' || separator == ',';
}
