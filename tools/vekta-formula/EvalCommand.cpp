// vekta-formula eval: computes a formula with the expression engine, on a fresh formula
// object whose table holds the constants and then the --var bindings in their order.

#include "Commands.h"

#include "engine/Myequation.h"

#include "platform/Convert.h"

#include <exception>

int RunEval(const FormulaArgs& args) {
    InitEngineStatus();
    try {
        TMyPacketEquation packet;
        for (const auto& [name, value] : args.vars)
            packet.SetVariable(name, value);
        packet.SetFormula(args.operands.at(0));
        long double value = 0;
        if (EngineStatus.ErrorText.empty())
            value = packet.Evaluate();
        if (!EngineStatus.ErrorText.empty()) {
            std::string message = EngineStatus.ErrorText;
            if (!EngineStatus.MissingName.empty())
                message += " " + EngineStatus.MissingName;
            PrintErr(message);
            return 1;
        }
        PrintOut(platform::FloatToStr(value));
        return 0;
    } catch (const std::exception& error) {
        PrintErr(error.what());
        return 2;
    }
}
