#include "AnswerJudge.h"

#include "engine/Engine.h"
#include "platform/Cp1251.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <exception>
#include <map>
#include <optional>

namespace {

// The engine's tolerance for a divisor or a logarithm's argument taken as zero: the value
// the client's calculator works with.
constexpr double kEngineEpsilon = 1e-9;
// Reference values of a formula are sought at this many random points at most before
// the variables are taken as unusable (the reference fails, e.g. a logarithm of zero).
constexpr int kMaxDraws = 200;

struct Evaluation {
    std::optional<long double> value;
    std::string error; // CP1251; empty when value is set
};

using Bindings = std::map<std::string, long double>;

std::string Cp(const char* utf8) {
    return platform::Utf8ToCp1251(utf8);
}

int BracketDepth(std::string_view text) {
    int depth = 0;
    int deepest = 0;
    for (char c : text) {
        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        deepest = std::max(deepest, depth);
    }
    return deepest;
}

// What keeps a text from being a formula the engine may be given, or empty.
std::string ShapeProblem(std::string_view text) {
    if (text.size() > AnswerJudge::MaxAnswerBytes)
        return Cp("ответ слишком длинный");
    if (BracketDepth(text) > AnswerJudge::MaxBracketDepth)
        return Cp("слишком много вложенных скобок");
    const CleanedText cleaned = CleanFormula(text);
    if (cleaned.bracketError != nullptr)
        return *cleaned.bracketError;
    if (cleaned.text.empty())
        return Cp("нет ответа");
    return {};
}

Evaluation Evaluate(std::string_view formula, const Bindings& bindings) {
    try {
        Expression packet;
        for (const auto& [name, value] : bindings) {
            char text[64];
            const auto written = std::to_chars(text, text + sizeof text, value);
            packet.SetVariable(name, std::string_view(text, written.ptr - text));
        }
        if (const EngineError error = packet.SetFormula(formula); !error.ok())
            return {std::nullopt, error.Message()};
        const EngineResult result = packet.Evaluate(kEngineEpsilon);
        if (!result.ok())
            return {std::nullopt, result.error.Message()};
        const long double value = result.value;
        if (!std::isfinite(value))
            return {std::nullopt, Cp("значение не является конечным числом")};
        return {value, {}};
    } catch (const std::exception& error) {
        return {std::nullopt, Cp("не удалось вычислить: ") + error.what()};
    }
}

} // namespace

bool WithinTolerance(long double value, long double reference, double tolerancePercent) {
    const long double allowed = std::fabs(reference) * tolerancePercent / 100.0L;
    // A zero reference admits only what rounding leaves of zero.
    return std::fabs(value - reference) <= std::max(allowed, 1e-12L);
}

AnswerVerdict AnswerJudge::Judge(std::string_view reference, std::string_view answer,
                                 const std::vector<std::string>& variables,
                                 double tolerancePercent) {
    if (std::string problem = ShapeProblem(answer); !problem.empty())
        return {false, problem};
    std::uniform_real_distribution<double> draw(0.5, 5.0);
    int trials = 0;
    for (int draws = 0; trials < (variables.empty() ? 1 : MinTrials) && draws < kMaxDraws;
         ++draws) {
        Bindings bindings;
        for (const std::string& name : variables)
            bindings[name] = draw(random_);
        const Evaluation expected = Evaluate(reference, bindings);
        if (!expected.value)
            continue; // a point where the reference itself has no value
        const Evaluation given = Evaluate(answer, bindings);
        if (!given.value)
            return {false, given.error};
        if (!WithinTolerance(*given.value, *expected.value, tolerancePercent))
            return {false, {}};
        ++trials;
    }
    if (trials == 0)
        return {false, Cp("эталонный ответ не вычисляется")};
    return {true, {}};
}
