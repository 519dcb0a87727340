// vekta-formula read / judge: the answer reader and the judge the server uses, so an
// author sees what students get.

#include "Commands.h"

#include "answers/Judge.h"
#include "platform/Cp1251.h"

#include <iostream>
#include <optional>

namespace {

constexpr int kUsage = 64;

struct AnswerArgs {
    std::vector<answers::DeclaredName> names;
    answers::Tolerance tolerance;
    std::vector<std::string> operands; // CP1251
};

// Reads --var NAME[=LOW..HIGH] and, when allowed, --tolerance P and --zero-tolerance Z;
// the rest are operands.
std::optional<AnswerArgs> ParseAnswerArgs(const std::vector<std::string>& utf8Args, bool ranges) {
    AnswerArgs args;
    for (std::size_t i = 0; i < utf8Args.size(); ++i) {
        const std::string& arg = utf8Args[i];
        const bool option =
            arg == "--var" || (ranges && (arg == "--tolerance" || arg == "--zero-tolerance"));
        if (!option) {
            args.operands.push_back(platform::Utf8ToCp1251(arg));
            continue;
        }
        if (i + 1 >= utf8Args.size()) {
            std::cerr << "vekta-formula: " << arg << " needs a value\n";
            return std::nullopt;
        }
        const std::string value = platform::Utf8ToCp1251(utf8Args[++i]);
        if (arg == "--tolerance") {
            const std::optional<double> percent = answers::ReadTolerancePercent(value);
            if (!percent) {
                std::cerr << "vekta-formula: --tolerance needs a percentage above 0\n";
                return std::nullopt;
            }
            args.tolerance.percent = *percent;
            continue;
        }
        if (arg == "--zero-tolerance") {
            const std::optional<double> zero = answers::ReadZeroTolerance(value);
            if (!zero) {
                std::cerr << "vekta-formula: --zero-tolerance wants a number above 0 and at most "
                             "1e6, not \""
                          << utf8Args[i] << "\"\n";
                return std::nullopt;
            }
            args.tolerance.zero = *zero;
            continue;
        }
        std::string problem;
        const auto declared = answers::ReadDeclaredName(value, problem);
        if (!declared || (!ranges && value.find('=') != std::string::npos)) {
            PrintErr(platform::Utf8ToCp1251("vekta-formula: --var ") +
                     (problem.empty() ? value : problem));
            return std::nullopt;
        }
        args.names.push_back(*declared);
    }
    return args;
}

} // namespace

int RunRead(const std::vector<std::string>& utf8Args) {
    const std::optional<AnswerArgs> args = ParseAnswerArgs(utf8Args, false);
    if (!args || args->operands.size() != 1)
        return kUsage;
    const answers::ReadResult read =
        answers::Read(args->operands[0], answers::NamesOf(args->names));
    if (read.problem) {
        std::cerr << answers::Describe(*read.problem, answers::TextStyle::Unicode) << '\n';
        return 1;
    }
    std::cout << answers::ReadingText(*read.formula) << '\n';
    return 0;
}

int RunJudge(const std::vector<std::string>& utf8Args) {
    const std::optional<AnswerArgs> args = ParseAnswerArgs(utf8Args, true);
    if (!args || args->operands.size() != 2)
        return kUsage;
    const answers::Judgement judgement =
        answers::Judge(args->operands[0], args->operands[1], args->names, args->tolerance);
    if (!judgement.referenceProblem.empty()) {
        std::cerr << judgement.referenceProblem << '\n';
        return 3;
    }
    std::cout << answers::VerdictWord(judgement.verdict);
    if (judgement.verdict == answers::Verdict::NotAccepted)
        std::cout << ": " << answers::Reason(judgement, answers::TextStyle::Unicode);
    std::cout << '\n';
    return judgement.verdict == answers::Verdict::Right   ? 0
           : judgement.verdict == answers::Verdict::Wrong ? 1
                                                          : 2;
}
