#pragma once

#include <string>
#include <string_view>

class Expression;

namespace calculator {

// What computing the calculator's formula came to: either a value to show in place of
// the formula, or an engine message (CP1251) with the variable it did not find.
struct Calculation {
    bool shown = false;
    std::string resultText;  // the value in the general format, 15 significant digits
    std::string errorText;   // the engine's message when there is no value
    std::string missingName; // shown beside the message as a formula
};

// The calculator's formula as the engine is to read it: numbers in the exponent form the
// calculator prints them ("1,6E-19") and "^" as a power, a chain read from the right as
// answers are ("2^2^3" is 2^8), products and functions as the answer rows read them, an
// angle in degrees ("30°", "30deg") in radians. Text
// the answer reader cannot read (a bracket left open) stays as it is, for the engine's own
// message.
std::string EngineText(std::string_view formula);

// Computes `formula` (after EngineText) with the expression engine through `packet`, whose table
// holds only the constants. An empty formula keeps the packet's previous one, so its value comes
// again. Text that cannot be read while evaluating (a malformed number) becomes
// "Переполнение буфера..."; an error found while the formula is read (an empty operand)
// comes back with its own message.
Calculation Calculate(Expression& packet, std::string_view formula);

// The formula without its last byte, even if that splits a Greek letter ("~p" -> "~").
std::string WithoutLastCharacter(std::string formula);

} // namespace calculator
