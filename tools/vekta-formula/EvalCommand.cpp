// vekta-formula eval: computes a formula with the expression engine, on a fresh formula
// object whose table holds the constants and then the --var bindings in their order.

#include "Commands.h"

#include "engine/Engine.h"

#include "platform/Convert.h"

#include <exception>

namespace {

// The engine's error, if one is recorded: its message and the missing name.
bool ReportedEngineError(const EngineError& error) {
    if (error.ok())
        return false;
    PrintErr(error.Message());
    return true;
}

} // namespace

int RunEval(const FormulaArgs& args) {
    try {
        Expression packet;
        // The first binding the table refuses is reported.
        EngineError bindings;
        for (const auto& [name, value] : args.vars)
            if (const EngineError error = packet.SetVariable(name, value); bindings.ok())
                bindings = error;
        if (ReportedEngineError(bindings) ||
            ReportedEngineError(packet.SetFormula(args.operands.at(0))))
            return 1;
        const EngineResult result = packet.Evaluate(kDefaultEpsilon);
        if (ReportedEngineError(result.error))
            return 1;
        PrintOut(platform::FloatToStr(result.value));
        return 0;
    } catch (const std::exception& error) {
        PrintErr(error.what());
        return 2;
    }
}
