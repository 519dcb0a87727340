// vekta-formula: checks formulas the way the client computes them.
//   vekta-formula eval    [--var NAME=VALUE]... FORMULA        the expression engine
//   vekta-formula calc    [--var NAME=VALUE]... FORMULA        the formula editor's evaluator
//   vekta-formula compare [--var NAME=VALUE]... FIRST SECOND   the same, by random trials
//   vekta-formula read    [--var NAME]... ANSWER               an answer as the server reads it,
//                                                              a unit at its end with the SI value
//   vekta-formula judge   [--var NAME[=LOW..HIGH]]... [--tolerance P] [--zero-tolerance Z]
//                         [--units required|optional] [--sigfigs N] [--why] REFERENCE ANSWER
//                                                  the server's verdict: exit 0, 1, 2 (3: bad
//                                                  reference); --why adds a line with the
//                                                  code of the mistake a wrong answer looks like

#include "Commands.h"

#include "platform/Convert.h"

#include <clocale>
#include <iostream>
#include <stdexcept>

namespace {

int Usage() {
    std::cerr
        << "usage: vekta-formula eval|calc [--var NAME=VALUE]... FORMULA\n"
           "       vekta-formula compare [--var NAME=VALUE]... FIRST SECOND\n"
           "       vekta-formula read [--var NAME]... ANSWER\n"
           "       vekta-formula judge [--var NAME[=LOW..HIGH]]... [--tolerance P] "
           "[--zero-tolerance Z]\n"
           "             [--units required|optional] [--sigfigs N] [--why] REFERENCE ANSWER\n";
    return 64;
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    platform::InitDecimalChar();
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    const std::vector<std::string> rest(argv + 2, argv + argc);
    if (command == "read" || command == "judge") {
        const int code = command == "read" ? RunRead(rest) : RunJudge(rest);
        return code == 64 ? Usage() : code;
    }
    FormulaArgs args;
    try {
        args = ParseFormulaArgs(rest);
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
