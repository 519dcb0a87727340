#pragma once

#include "eqedit/EditorVariables.h"
#include "eqedit/EvaluatorNumbers.h"
#include "platform/Result.h"

#include <functional>
#include <random>
#include <string>

namespace eqedit {

// The formula editor's own evaluator. It computes a formula text by rewriting it step by
// step (variables replaced by numbers, exponents computed, brackets resolved) until one
// number is left, and judges two formulas the same function by comparing them at random
// points. Every operation that can fail returns a platform::Result whose failure is the
// message (CP1251). The control holds one evaluator and passes it its own formula text.
class Evaluator {
public:
    // Draws an integer from 0 to 32766; a comparison's test value is the draw minus 16383.
    using TestValueDraw = std::function<int()>;

    Evaluator() = default;

    // The variable list (it starts with the five spellings of pi).
    void AddVariable(const std::string& name, double value) { variables_.AddVariable(name, value); }
    double GetVariable(const std::string& name) const { return variables_.GetVariable(name); }
    void DeleteVariable(const std::string& name) { variables_.DeleteVariable(name); }
    const EditorVariables& Variables() const { return variables_; }

    // Orders the indices of `text` (SetIndexOrder), then puts the values of the known
    // variables into it, newest variable first; a negative value is bracketed only where
    // it is the base of a power.
    platform::Status ReplaceVariables(std::string& text) const;

    // Computes the formula text `equation` (the control's own), which is left filtered
    // in place.
    platform::Result<double> CalculateEquation(std::string& equation) const;

    // The values of two formulas computed at the same point.
    struct TwoValues {
        double first = 0;
        double second = 0;
    };

    // Gives every known variable one random test value (bracketed) in both texts, which
    // are rewritten in place, and computes each of them.
    platform::Result<TwoValues> CalculateTwoEquations(std::string& first, std::string& second);

    // Ten trials of CalculateTwoEquations on copies of `equation` and `other`: they
    // differ (false) as soon as a computed trial differs by more than 0.00001; they are
    // equal (true) if none did and the last trial could be computed (else the failure is
    // the message of that trial).
    platform::Result<bool> CompareEquation(const std::string& equation, const std::string& other);

    // Replaces the time-seeded generator of test values (tests use it to choose the points).
    void SetTestValueDraw(TestValueDraw draw) { draw_ = std::move(draw); }

    static constexpr int kComparisonTrials = 10;
    static constexpr Real kComparisonTolerance = 0.00001;

private:
    Real DrawTestValue();

    EditorVariables variables_;
    TestValueDraw draw_;
    std::mt19937 generator_;
};

} // namespace eqedit
