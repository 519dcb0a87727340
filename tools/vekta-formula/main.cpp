// vekta-formula: checks formulas the way the client computes them.
//   vekta-formula eval    [--var NAME=VALUE]... FORMULA        the expression engine
//   vekta-formula calc    [--var NAME=VALUE]... FORMULA        the formula editor's evaluator
//   vekta-formula compare [--var NAME=VALUE]... FIRST SECOND   the same, by random trials

#include "Commands.h"

#include "platform/Convert.h"

#include <clocale>
#include <iostream>
#include <stdexcept>

namespace {

int Usage() {
    std::cerr << "usage: vekta-formula eval|calc [--var NAME=VALUE]... FORMULA\n"
                 "       vekta-formula compare [--var NAME=VALUE]... FIRST SECOND\n";
    return 64;
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    platform::InitDecimalChar();
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    FormulaArgs args;
    try {
        args = ParseFormulaArgs(std::vector<std::string>(argv + 2, argv + argc));
    } catch (const std::invalid_argument& error) {
        std::cerr << "vekta-formula: " << error.what() << '\n';
        return Usage();
    }
    if (command == "eval" && args.operands.size() == 1)
        return RunEval(args);
    if (command == "calc" && args.operands.size() == 1)
        return RunCalc(args);
    if (command == "compare" && args.operands.size() == 2)
        return RunCompare(args);
    return Usage();
}
