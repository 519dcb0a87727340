#include "Commands.h"

#include "eqedit/Evaluator.h"
#include "eqedit/EvaluatorMessages.h"
#include "eqedit/EvaluatorNumbers.h"

namespace {

// Adds the --var bindings to the evaluator; a value that is no number text is reported
// with the evaluator's own conversion message.
bool AddVariables(const FormulaArgs& args, eqedit::Evaluator& evaluator) {
    for (const auto& [name, text] : args.vars) {
        eqedit::Real value = 0;
        if (!eqedit::ReadNumber(text, value)) {
            PrintErr(eqedit::messages::NotANumber(text));
            return false;
        }
        evaluator.AddVariable(name, value);
    }
    return true;
}

} // namespace

int RunCalc(const FormulaArgs& args) {
    eqedit::Evaluator evaluator;
    if (!AddVariables(args, evaluator))
        return 1;
    std::string equation = args.operands[0];
    const platform::Result<double> result = evaluator.CalculateEquation(equation);
    if (!result) {
        PrintErr(result.Error().message);
        return 1;
    }
    PrintOut(eqedit::NumberText(*result));
    return 0;
}

int RunCompare(const FormulaArgs& args) {
    eqedit::Evaluator evaluator;
    if (!AddVariables(args, evaluator))
        return 1;
    const platform::Result<bool> equal =
        evaluator.CompareEquation(args.operands[0], args.operands[1]);
    if (!equal) {
        PrintErr(equal.Error().message);
        return 1;
    }
    PrintOut(*equal ? "equal" : "different");
    return 0;
}
