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
std::string ResolveExponents(std::string& text) {
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
                return messages::ExponentMoreOpening();
            if (depth.Depth() < 0)
                return messages::ExponentMoreClosing();
            const std::size_t end = c == '@' ? i : i + 1;
            std::string exponent = text.substr(hash + 1, end - hash - 1);
            if (std::string m = DeleteBrackets(exponent); !m.empty())
                return m;
            text.replace(hash, end - hash, "^" + exponent);
            replaced = true;
        }
    }
    return {};
}

} // namespace

std::string Evaluator::ReplaceVariables(std::string& text) const {
    if (std::string m = SetIndexOrder(text); !m.empty())
        return m;
    // A negative value that is the base of a power is bracketed, so that x#2@ with x = -3
    // is (-3)^2 and not -(3^2); elsewhere its sign goes into the formula as it is.
    for (const EditorVariable& node : variables_.Nodes()) {
        const std::string value = NumberText(node.Value);
        ReplaceName(text, node.Name, value, node.Value < 0 ? "(" + value + ")" : value);
    }
    return {};
}

// The result keeps its value on failures, except those of the brackets, which clear it.
std::string Evaluator::CalculateEquation(std::string& equation, double& result) const {
    std::string text = Filter(equation);
    if (text.empty())
        return messages::EmptyFormula();
    std::replace(text.begin(), text.end(), ',', '.');
    if (std::string m = ReplaceVariables(text); !m.empty())
        return m;
    if (std::string m = ResolveExponents(text); !m.empty())
        return m;
    std::erase(text, '@');
    if (std::string m = DeleteBrackets(text); !m.empty()) {
        result = 0;
        return m;
    }
    Real value = 0;
    if (!ReadNumber(text, value))
        return messages::NotANumber(text);
    result = value;
    return {};
}

std::string Evaluator::CalculateTwo(std::string& first, std::string& second, Real& firstValue,
                                    Real& secondValue) {
    if (std::string m = SetIndexOrder(first); !m.empty())
        return m;
    if (std::string m = SetIndexOrder(second); !m.empty())
        return m;
    for (const EditorVariable& node : variables_.Nodes()) {
        const std::string value = "(" + NumberText(DrawTestValue()) + ")";
        ReplaceName(first, node.Name, value);
        ReplaceName(second, node.Name, value);
    }
    std::string firstCopy = first, secondCopy = second;
    if (std::string m = CalculateEquation(firstCopy, firstValue); !m.empty())
        return m;
    return CalculateEquation(secondCopy, secondValue);
}

std::string Evaluator::CalculateTwoEquations(std::string& first, std::string& second,
                                             double& firstValue, double& secondValue) {
    Real a = 0, b = 0;
    std::string message = CalculateTwo(first, second, a, b);
    if (message.empty()) {
        firstValue = static_cast<double>(a);
        secondValue = static_cast<double>(b);
    }
    return message;
}

std::string Evaluator::CompareEquation(const std::string& equation, const std::string& other,
                                       bool& equal) {
    equal = false;
    if (!draw_)
        generator_.seed(static_cast<std::mt19937::result_type>(
            std::chrono::system_clock::now().time_since_epoch().count()));
    std::string message;
    for (int trial = 0; trial < kComparisonTrials; ++trial) {
        std::string first = equation, second = other;
        Real firstValue = 0, secondValue = 0;
        message = CalculateTwo(first, second, firstValue, secondValue);
        if (message.empty() && std::fabs(firstValue - secondValue) > kComparisonTolerance)
            return {};
    }
    if (!message.empty())
        return messages::ComparisonFailed(message);
    equal = true;
    return {};
}

Real Evaluator::DrawTestValue() {
    if (draw_)
        return draw_() - 16383;
    return std::uniform_int_distribution<int>(0, 32766)(generator_) - 16383;
}

} // namespace eqedit
