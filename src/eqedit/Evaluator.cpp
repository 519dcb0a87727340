#include "eqedit/Evaluator.h"

#include "eqedit/EvaluatorBrackets.h"
#include "eqedit/EvaluatorMessages.h"
#include "eqedit/EvaluatorNormalise.h"

#include "platform/BracketDepth.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace eqedit {

namespace {

// Computes each exponent (the text between a "#" and the next "@" or the end) and writes
// it after a "^" in place of the "#": 2#1+1@ becomes 2^+2@.
platform::Status ResolveExponents(std::string& text) {
    bool replaced = true;
    while (replaced) {
        replaced = false;
        std::size_t hash = std::string::npos;
        platform::BracketDepth depth; // of the exponent read so far
        for (std::size_t i = 0; i < text.size() && !replaced; ++i) {
            const char c = text[i];
            if (c == '#') {
                hash = i;
                depth.Reset();
            } else if (hash != std::string::npos) {
                depth.Step(c);
            }
            if (hash == std::string::npos || (c != '@' && i + 1 != text.size()))
                continue;
            if (depth.Depth() > 0)
                return Failed(messages::ExponentMoreOpening());
            if (depth.Depth() < 0)
                return Failed(messages::ExponentMoreClosing());
            const std::size_t end = c == '@' ? i : i + 1;
            std::string exponent = text.substr(hash + 1, end - hash - 1);
            if (platform::Status m = DeleteBrackets(exponent); !m)
                return m;
            text.replace(hash, end - hash, "^" + exponent);
            replaced = true;
        }
    }
    return platform::Done{};
}

} // namespace

platform::Status Evaluator::ReplaceVariables(std::string& text) const {
    if (platform::Status m = SetIndexOrder(text); !m)
        return m;
    // A negative value that is the base of a power is bracketed, so that x#2@ with x = -3
    // is (-3)^2 and not -(3^2); elsewhere its sign goes into the formula as it is.
    for (const EditorVariable& node : variables_.Nodes()) {
        const std::string value = NumberText(node.Value);
        ReplaceName(text, node.Name, value, node.Value < 0 ? "(" + value + ")" : value);
    }
    return platform::Done{};
}

platform::Result<double> Evaluator::CalculateEquation(std::string& equation) const {
    std::string text = Filter(equation);
    if (text.empty())
        return Failed(messages::EmptyFormula());
    std::replace(text.begin(), text.end(), ',', '.');
    if (platform::Status m = ReplaceVariables(text); !m)
        return m.Error();
    if (platform::Status m = ResolveExponents(text); !m)
        return m.Error();
    std::erase(text, '@');
    if (platform::Status m = DeleteBrackets(text); !m)
        return m.Error();
    Real value = 0;
    if (!ReadNumber(text, value))
        return Failed(messages::NotANumber(text));
    return value;
}

platform::Result<Evaluator::TwoValues> Evaluator::CalculateTwoEquations(std::string& first,
                                                                        std::string& second) {
    if (platform::Status m = SetIndexOrder(first); !m)
        return m.Error();
    if (platform::Status m = SetIndexOrder(second); !m)
        return m.Error();
    for (const EditorVariable& node : variables_.Nodes()) {
        const std::string value = "(" + NumberText(DrawTestValue()) + ")";
        ReplaceName(first, node.Name, value);
        ReplaceName(second, node.Name, value);
    }
    std::string firstCopy = first, secondCopy = second;
    const platform::Result<double> firstValue = CalculateEquation(firstCopy);
    if (!firstValue)
        return firstValue.Error();
    const platform::Result<double> secondValue = CalculateEquation(secondCopy);
    if (!secondValue)
        return secondValue.Error();
    return TwoValues{*firstValue, *secondValue};
}

platform::Result<bool> Evaluator::CompareEquation(const std::string& equation,
                                                  const std::string& other) {
    if (!draw_)
        generator_.seed(static_cast<std::mt19937::result_type>(
            std::chrono::system_clock::now().time_since_epoch().count()));
    platform::Result<TwoValues> trial = TwoValues{};
    for (int n = 0; n < kComparisonTrials; ++n) {
        std::string first = equation, second = other;
        trial = CalculateTwoEquations(first, second);
        if (trial && std::fabs(trial->first - trial->second) > kComparisonTolerance)
            return false;
    }
    if (!trial)
        return Failed(messages::ComparisonFailed(trial.Error().message));
    return true;
}

Real Evaluator::DrawTestValue() {
    if (draw_)
        return draw_() - 16383;
    return std::uniform_int_distribution<int>(0, 32766)(generator_) - 16383;
}

} // namespace eqedit
