// vekta-formula eval: computes a formula with the expression engine, on a fresh formula
// object whose table holds the constants and then the --var bindings in their order.

#include "Commands.h"

#include "engine/Engine.h"

#include "platform/Convert.h"

namespace {

// The engine's error, if one is recorded: its message and the missing name. The exit
// status is 2 for text the engine cannot read (an empty operand, a malformed number),
// 1 for any other error and 0 when there is none.
int ReportedEngineError(const EngineError& error) {
    if (error.ok())
        return 0;
    PrintErr(error.Message());
    return error.Unreadable() ? 2 : 1;
}

} // namespace

int RunEval(const FormulaArgs& args) {
    Expression packet;
    // The first binding the table refuses is reported.
    EngineError bindings;
    for (const auto& [name, value] : args.vars)
        if (const EngineError error = packet.SetVariable(name, value); bindings.ok())
            bindings = error;
    if (const int status = ReportedEngineError(bindings))
        return status;
    if (const int status = ReportedEngineError(packet.SetFormula(args.operands.at(0))))
        return status;
    const EngineResult result = packet.Evaluate(kDefaultEpsilon);
    if (const int status = ReportedEngineError(result.error))
        return status;
    PrintOut(platform::FloatToStr(result.value));
    return 0;
}
