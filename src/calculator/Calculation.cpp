#include "calculator/Calculation.h"

#include "engine/EngineStatus.h"
#include "engine/PacketEquation.h"
#include "platform/Convert.h"
#include "platform/Cp1251.h"
#include "platform/Error.h"

#include <exception>

namespace calculator {

namespace {

Calculation Failure() {
    Calculation failed;
    failed.errorText = EngineStatus.ErrorText;
    failed.missingName = EngineStatus.MissingName;
    return failed;
}

} // namespace

Calculation Calculate(TMyPacketEquation& packet, std::string_view formula) {
    ResetStatus();
    try {
        packet.SetFormula(formula);
    } catch (const platform::Error& error) { // an empty operand, a nesting too deep
        Calculation failed;
        failed.errorText = error.what();
        return failed;
    }
    if (!EngineStatus.ErrorText.empty())
        return Failure(); // a bracket error
    long double value = 0;
    try {
        value = packet.Evaluate();
    } catch (const std::exception&) {
        ResetStatus();
        EngineStatus.ErrorText = platform::Utf8ToCp1251("Переполнение буфера...");
    }
    if (!EngineStatus.ErrorText.empty())
        return Failure();
    Calculation done;
    done.shown = true;
    done.resultText = platform::FloatToStr(value);
    return done;
}

std::string WithoutLastCharacter(std::string formula) {
    if (!formula.empty())
        formula.pop_back();
    return formula;
}

} // namespace calculator
