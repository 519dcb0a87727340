// vekta-formula read / judge: the answer reader and the judge the server uses, so an
// author sees what students get.

#include "Commands.h"

#include "answers/Judge.h"
#include "answers/Quantity.h"
#include "platform/Cp1251.h"

#include <charconv>
#include <iostream>
#include <optional>

namespace {

constexpr int kUsage = 64;

struct AnswerArgs {
    std::vector<answers::DeclaredName> names;
    answers::JudgeOptions options;
    bool why = false;
    std::vector<std::string> operands; // CP1251
};

// Reads judge's --units required|optional, --sigfigs N and --why; false after telling
// what is wrong with a value, or when `arg` is none of them.
bool ReadJudgeOption(const std::string& arg, const std::vector<std::string>& utf8Args,
                     std::size_t& i, AnswerArgs& args, bool& failed) {
    if (arg == "--why") {
        args.why = true;
        return true;
    }
    if (arg != "--units" && arg != "--sigfigs")
        return false;
    if (i + 1 >= utf8Args.size()) {
        std::cerr << "vekta-formula: " << arg << " needs a value\n";
        failed = true;
        return true;
    }
    const std::string& value = utf8Args[++i];
    if (arg == "--units") {
        failed = value != "required" && value != "optional";
        args.options.unitsRequired = value == "required";
        if (failed)
            std::cerr << "vekta-formula: --units is required or optional\n";
        return true;
    }
    int figures = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), figures);
    failed =
        error != std::errc() || end != value.data() + value.size() || figures < 1 || figures > 15;
    args.options.significantFigures = figures;
    if (failed)
        std::cerr << "vekta-formula: --sigfigs wants a number of figures from 1 to 15\n";
    return true;
}

// Reads --var NAME[=LOW..HIGH] and, when allowed, --tolerance P and --zero-tolerance Z and
// the judge's options; the rest are operands.
std::optional<AnswerArgs> ParseAnswerArgs(const std::vector<std::string>& utf8Args, bool ranges) {
    AnswerArgs args;
    for (std::size_t i = 0; i < utf8Args.size(); ++i) {
        const std::string& arg = utf8Args[i];
        bool failed = false;
        if (ranges && ReadJudgeOption(arg, utf8Args, i, args, failed)) {
            if (failed)
                return std::nullopt;
            continue;
        }
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
            args.options.tolerance.percent = *percent;
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
            args.options.tolerance.zero = *zero;
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
    // The quantity: a unit at the end is read, and shown with the SI value.
    const answers::QuantityRead quantity =
        answers::ReadAnswerQuantity(args->operands[0], {answers::NamesOf(args->names), {}});
    if (!quantity.unitProblem.empty()) {
        std::cerr << quantity.unitProblem << '\n';
        return 1;
    }
    const answers::ReadResult& read = quantity.read;
    if (read.problem) {
        std::cerr << answers::Describe(*read.problem, answers::TextStyle::Unicode) << '\n';
        return 1;
    }
    std::cout << answers::QuantityReadingText(quantity, nullptr) << '\n';
    return 0;
}

int RunJudge(const std::vector<std::string>& utf8Args) {
    const std::optional<AnswerArgs> args = ParseAnswerArgs(utf8Args, true);
    if (!args || args->operands.size() != 2)
        return kUsage;
    const answers::Judgement judgement =
        answers::JudgeAnswer(args->operands[0], args->operands[1], args->names, args->options);
    if (!judgement.referenceProblem.empty()) {
        std::cerr << judgement.referenceProblem << '\n';
        return 3;
    }
    std::cout << answers::VerdictWord(judgement.verdict);
    if (judgement.verdict == answers::Verdict::NotAccepted)
        std::cout << ": " << answers::Reason(judgement, answers::TextStyle::Unicode);
    else if (judgement.verdict == answers::Verdict::Wrong && !judgement.quantityProblem.empty())
        std::cout << ": " << judgement.quantityProblem;
    std::cout << '\n';
    // The mistake the wrong answer looks like, by its code; no line without one.
    if (args->why && judgement.verdict == answers::Verdict::Wrong &&
        judgement.hint.code != answers::Hint::Code::None)
        std::cout << answers::HintCode(judgement.hint) << '\n';
    return judgement.verdict == answers::Verdict::Right   ? 0
           : judgement.verdict == answers::Verdict::Wrong ? 1
                                                          : 2;
}
