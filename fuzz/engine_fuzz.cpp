// Formula texts from task scripts and from the calculator through the expression
// engine's clean-up, tree building and evaluation.

#include "engine/Engine.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string formula(reinterpret_cast<const char*>(data), size);
    Expression equation;
    equation.SetVariable("t", "1.25");
    equation.SetVariable("x", "-3");
    equation.SetFormula(formula);
    equation.Evaluate(kClientEpsilon);
    return 0;
}
