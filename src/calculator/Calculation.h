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

// Computes `formula` with the expression engine through `packet`, whose table holds only
// the constants. An empty formula keeps the packet's previous one, so its value comes
// again. Text that cannot be read while evaluating (a malformed number) becomes
// "Переполнение буфера..."; an error found while the formula is read (an empty operand)
// comes back with its own message.
Calculation Calculate(Expression& packet, std::string_view formula);

// The formula without its last byte, even if that splits a Greek letter ("~p" -> "~").
std::string WithoutLastCharacter(std::string formula);

} // namespace calculator
