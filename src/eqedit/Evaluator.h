#pragma once

#include "eqedit/EditorVariables.h"
#include "eqedit/EvaluatorNumbers.h"

#include <functional>
#include <random>
#include <string>

namespace eqedit {

// The formula editor's own evaluator. It computes a formula text by rewriting it step by
// step (variables replaced by numbers, exponents computed, brackets resolved) until one
// number is left, and judges two formulas the same function by comparing them at random
// points. Every operation reports failure as a message text (CP1251); "" means success.
// The control holds one evaluator and passes it its own formula text.
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
    std::string ReplaceVariables(std::string& text) const;

    // Computes the formula text `equation` (the control's own), which is left filtered
    // in place; `result` holds the value when the message is empty.
    std::string CalculateEquation(std::string& equation, double& result) const;

    // Gives every known variable one random test value (bracketed) in both texts, which
    // are rewritten in place, and computes each of them.
    std::string CalculateTwoEquations(std::string& first, std::string& second, double& firstValue,
                                      double& secondValue);

    // Ten trials of CalculateTwoEquations on copies of `equation` and `other`: they
    // differ as soon as a computed trial differs by more than 0.00001; they are equal if
    // none did and the last trial could be computed (else the message of that trial).
    std::string CompareEquation(const std::string& equation, const std::string& other, bool& equal);

    // Replaces the time-seeded generator of test values (tests use it to choose the points).
    void SetTestValueDraw(TestValueDraw draw) { draw_ = std::move(draw); }

    static constexpr int kComparisonTrials = 10;
    static constexpr Real kComparisonTolerance = 0.00001;

private:
    std::string CalculateTwo(std::string& first, std::string& second, Real& firstValue,
                             Real& secondValue);
    Real DrawTestValue();

    EditorVariables variables_;
    TestValueDraw draw_;
    std::mt19937 generator_;
};

} // namespace eqedit
