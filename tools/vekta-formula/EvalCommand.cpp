// vekta-formula eval: computes a formula with the expression engine, on a fresh formula
// object whose table holds the constants and then the --var bindings in their order.

#include "Commands.h"

#include "engine/Myequation.h"

#include "platform/Convert.h"

#include <exception>

namespace {

// The engine's error, if one is recorded: its message and the missing name.
bool ReportedEngineError() {
    if (EngineStatus.ErrorText.empty())
        return false;
    std::string message = EngineStatus.ErrorText;
    if (!EngineStatus.MissingName.empty())
        message += " " + EngineStatus.MissingName;
    PrintErr(message);
    return true;
}

} // namespace

int RunEval(const FormulaArgs& args) {
    InitEngineStatus();
    try {
        TMyPacketEquation packet;
        ResetStatus();
        // A binding the table refuses is reported before the formula clears the status.
        for (const auto& [name, value] : args.vars)
            packet.SetVariable(name, value);
        if (ReportedEngineError())
            return 1;
        packet.SetFormula(args.operands.at(0));
        if (ReportedEngineError())
            return 1;
        const long double value = packet.Evaluate();
        if (ReportedEngineError())
            return 1;
        PrintOut(platform::FloatToStr(value));
        return 0;
    } catch (const std::exception& error) {
        PrintErr(error.what());
        return 2;
    }
}
