#include "Commands.h"

#include "platform/Cp1251.h"

#include <iostream>
#include <stdexcept>

FormulaArgs ParseFormulaArgs(const std::vector<std::string>& utf8Args) {
    FormulaArgs args;
    for (std::size_t i = 0; i < utf8Args.size(); ++i) {
        const std::string& arg = utf8Args[i];
        if (arg != "--var") {
            args.operands.push_back(platform::Utf8ToCp1251(arg));
            continue;
        }
        if (i + 1 >= utf8Args.size())
            throw std::invalid_argument("--var needs NAME=VALUE");
        const std::string binding = platform::Utf8ToCp1251(utf8Args[++i]);
        const std::size_t eq = binding.find('=');
        if (eq == std::string::npos || eq == 0)
            throw std::invalid_argument("--var needs NAME=VALUE, got '" + utf8Args[i] + "'");
        args.vars.emplace_back(binding.substr(0, eq), binding.substr(eq + 1));
    }
    return args;
}

void PrintOut(const std::string& cp1251) {
    std::cout << platform::Cp1251ToUtf8(cp1251) << '\n';
}

void PrintErr(const std::string& cp1251) {
    std::cerr << platform::Cp1251ToUtf8(cp1251) << '\n';
}
