#pragma once

#include "engine/EngineError.h"
#include "engine/ExpressionTree.h"
#include "engine/VariableTable.h"

#include <memory>
#include <string>
#include <string_view>

// A formula with its tree and its own variable table (which starts with the constants).
// The last formula that was set successfully stays until the next one is.
class Expression {
public:
    Expression();
    ~Expression();
    Expression(const Expression&) = delete;
    Expression& operator=(const Expression&) = delete;

    // Cleans the text and builds its tree. An empty text changes nothing; a bracket error
    // and text the tree builder cannot read (an empty operand, brackets nested too deep)
    // are returned and leave the previous formula in place.
    EngineError SetFormula(std::string_view text);
    // The value of the formula with the zero tolerance epsilon, 0 while none has been set.
    EngineResult Evaluate(double epsilon) const;

    EngineError SetVariable(std::string_view name, std::string_view valueText) {
        return variables.SetValue(name, valueText);
    }
    EngineError SetNumber(std::string_view name, double value) {
        return variables.SetNumber(name, value);
    }
    EngineError SetNumber(std::string_view name, double value, TableSlot& slot) {
        return variables.SetNumber(name, value, slot);
    }
    EngineResult GetVariable(std::string_view name) const { return variables.GetValue(name); }
    void ResetVariables() { variables.ResetTable(); }

    const std::string& Formula() const { return formula; }
    const ExpressionNode* Root() const { return root; }
    VariableTable& Variables() { return variables; }
    const VariableTable& Variables() const { return variables; }

private:
    std::string formula;
    ExpressionNode* root = nullptr;
    // The steps of the tree, run against this formula's own table.
    std::unique_ptr<EvaluationPlan> plan;
    VariableTable variables;
};
