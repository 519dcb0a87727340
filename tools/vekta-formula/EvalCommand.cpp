#include "Commands.h"

#include <iostream>

int RunEval(const FormulaArgs&) {
    std::cerr << "vekta-formula: eval is not built yet\n";
    return 3;
}
