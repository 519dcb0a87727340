// Formula texts typed by a student through the formula editor's evaluator: computing
// must end with a value or a message, comparing likewise.

#include "eqedit/Evaluator.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 512)
        return 0; // formulas are one line of an editor
    std::string formula(reinterpret_cast<const char*>(data), size);
    const std::size_t split = formula.find('\n');
    eqedit::Evaluator evaluator;
    evaluator.AddVariable("x", 2.5);
    evaluator.SetTestValueDraw([] { return 16384; });
    if (split == std::string::npos)
        (void)evaluator.CalculateEquation(formula);
    else
        (void)evaluator.CompareEquation(formula.substr(0, split), formula.substr(split + 1));
    return 0;
}
