#pragma once

#include <string>
#include <utility>
#include <vector>

// The arguments of a vekta-formula subcommand, already converted to CP1251:
// the --var NAME=VALUE pairs in order, then the remaining operands.
struct FormulaArgs {
    std::vector<std::pair<std::string, std::string>> vars;
    std::vector<std::string> operands;
};

// Reads "--var NAME=VALUE" options and operands (UTF-8 on the command line).
// Throws std::invalid_argument with a usage message for a malformed option.
FormulaArgs ParseFormulaArgs(const std::vector<std::string>& utf8Args);

// Prints CP1251 text as UTF-8, followed by a line break.
void PrintOut(const std::string& cp1251);
void PrintErr(const std::string& cp1251);

// The subcommands. Each returns the process exit code.
int RunEval(const FormulaArgs& args);                   // the expression engine
int RunCalc(const FormulaArgs& args);                   // the formula editor's evaluator
int RunCompare(const FormulaArgs& args);                // the formula editor's evaluator
int RunRead(const std::vector<std::string>& utf8Args);  // the answer reader
int RunJudge(const std::vector<std::string>& utf8Args); // the server's judge
