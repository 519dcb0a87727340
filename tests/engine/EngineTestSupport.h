#pragma once

#include "engine/Myequation.h"

#include "platform/Convert.h"
#include "platform/Cp1251.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

// The engine's texts are CP1251; tests write them in UTF-8.
inline std::string Cp(const char* utf8) {
    return platform::Utf8ToCp1251(utf8);
}

// The message of the platform::Error a call raises, or "(no error)".
template <typename Call> std::string ErrorOf(Call&& call) {
    try {
        call();
    } catch (const platform::Error& error) {
        return error.what();
    }
    return "(no error)";
}

// Whether two values of a library function agree within a few units in the last place: the
// C library's transcendental functions may differ in the last bit between processors.
inline ::testing::AssertionResult WithinUlps(long double actual, long double expected,
                                             int ulps = 4) {
    const long double tolerance =
        ulps * std::numeric_limits<long double>::epsilon() * std::max(1.0L, std::fabs(expected));
    if (std::fabs(actual - expected) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << actual << " is not within " << ulps << " units in the last place of " << expected;
}

// Every test starts with a clear status, "." as separator and the calculator's epsilon.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetDecimalChar('.');
        EngineStatus.DecimalChar = '.';
        EngineStatus.Epsilon = 1e-9;
        ResetStatus();
    }
    void TearDown() override {
        platform::SetDecimalChar('.');
        EngineStatus.DecimalChar = '.';
        EngineStatus.Epsilon = 1e-9;
        ResetStatus();
    }

    // Evaluates a formula on a fresh formula object with the given bindings.
    long double Eval(const std::string& formula,
                     std::initializer_list<std::pair<const char*, const char*>> vars = {}) {
        TMyPacketEquation packet;
        for (const auto& [name, value] : vars)
            packet.SetVariable(name, value);
        packet.SetFormula(formula);
        return packet.Evaluate();
    }

    // Evaluates the tree of a text as it stands, without the clean-up of formulas.
    long double EvalTree(const std::string& text) {
        TMyEquation root;
        BuildTree(&root, text);
        TMyPacketData table;
        const long double value = EvaluateTree(&root, &table);
        DestroyTree(root.Sub);
        DestroyTree(root.Next);
        return value;
    }

    // The value of a formula as the engine writes it.
    std::string EvalText(const std::string& formula,
                         std::initializer_list<std::pair<const char*, const char*>> vars = {}) {
        return platform::FloatToStr(Eval(formula, vars));
    }
};
