#include "calculator/Calculation.h"

#include "engine/Expression.h"
#include "platform/Convert.h"
#include "platform/Cp1251.h"

namespace calculator {

namespace {

Calculation Failure(const EngineError& error) {
    Calculation failed;
    failed.errorText = error.text;
    failed.missingName = error.missingName;
    return failed;
}

} // namespace

Calculation Calculate(Expression& packet, std::string_view formula) {
    // A bracket error, an empty operand, brackets nested too deep.
    if (const EngineError error = packet.SetFormula(formula); !error.ok())
        return Failure(error);
    // The calculator's results are exact to nine places.
    EngineResult result = packet.Evaluate(kClientEpsilon);
    if (result.error.Unreadable()) { // a malformed number stops the evaluation
        result.error = EngineError{};
        result.error.text = platform::Utf8ToCp1251("Переполнение буфера...");
    }
    if (!result.ok())
        return Failure(result.error);
    Calculation done;
    done.shown = true;
    done.resultText = platform::FloatToStr(result.value);
    return done;
}

std::string WithoutLastCharacter(std::string formula) {
    if (!formula.empty())
        formula.pop_back();
    return formula;
}

} // namespace calculator
