#pragma once

#include "engine/Engine.h"

#include "platform/Convert.h"
#include "platform/Cp1251.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

// The engine's texts are CP1251; tests write them in UTF-8.
inline std::string Cp(const char* utf8) {
    return platform::Utf8ToCp1251(utf8);
}

// The message of an engine error that says text cannot be read, or what else it is.
inline std::string UnreadableText(const EngineError& error) {
    if (error.ok())
        return "(no error)";
    if (!error.Unreadable())
        return "(another error) " + error.text;
    return error.text;
}

// The message of a conversion's failure, or "(no error)".
template <typename T> std::string FailureOf(const platform::Result<T>& result) {
    return result.Ok() ? "(no error)" : result.Error().message;
}

// Whether two values of a library function agree within a few units in the last place: the
// C library's transcendental functions may differ in the last bit between processors.
inline ::testing::AssertionResult WithinUlps(double actual, double expected, int ulps = 4) {
    const double tolerance =
        ulps * std::numeric_limits<double>::epsilon() * std::max(1.0, std::fabs(expected));
    if (std::fabs(actual - expected) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << actual << " is not within " << ulps << " units in the last place of " << expected;
}

// Every test starts with "." as separator and evaluates with the client's epsilon.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override { platform::SetDecimalChar('.'); }
    void TearDown() override { platform::SetDecimalChar('.'); }

    // Evaluates a formula on a fresh formula object with the given bindings; the error
    // of the evaluation is left in `last`.
    double Eval(const std::string& formula,
                std::initializer_list<std::pair<const char*, const char*>> vars = {}) {
        Expression expression;
        for (const auto& [name, value] : vars)
            expression.SetVariable(name, value);
        expression.SetFormula(formula);
        return Keep(expression.Evaluate(epsilon));
    }

    // Evaluates the tree of a text as it stands, without the clean-up of formulas.
    double EvalTree(const std::string& text) {
        ExpressionNode root;
        BuildTree(&root, text);
        VariableTable table;
        const double value = Keep(EvaluateTree(&root, &table, epsilon));
        DestroyTree(root.Sub);
        DestroyTree(root.Next);
        return value;
    }

    // The value of a result, its error kept in `last`.
    double Keep(const EngineResult& result) {
        last = result.error;
        return result.value;
    }

    // The value of a formula as the engine writes it.
    std::string EvalText(const std::string& formula,
                         std::initializer_list<std::pair<const char*, const char*>> vars = {}) {
        return platform::FloatToStr(Eval(formula, vars));
    }

    double epsilon = kClientEpsilon;
    EngineError last;
};
