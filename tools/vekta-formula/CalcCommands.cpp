#include "Commands.h"

#include <iostream>

int RunCalc(const FormulaArgs&) {
    std::cerr << "vekta-formula: calc is not built yet\n";
    return 3;
}

int RunCompare(const FormulaArgs&) {
    std::cerr << "vekta-formula: compare is not built yet\n";
    return 3;
}
