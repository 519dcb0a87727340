#include "calculator/Calculation.h"

#include "engine/Expression.h"
#include "platform/Convert.h"
#include "platform/Cp1251.h"
#include "platform/Error.h"

#include <exception>

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
    EngineError bracketError;
    try {
        bracketError = packet.SetFormula(formula);
    } catch (const platform::Error& error) { // an empty operand, a nesting too deep
        Calculation failed;
        failed.errorText = error.what();
        return failed;
    }
    if (!bracketError.ok())
        return Failure(bracketError);
    EngineResult result;
    try {
        // The calculator's results are exact to nine places.
        result = packet.Evaluate(kClientEpsilon);
    } catch (const std::exception&) {
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
