#pragma once

#include "engine/FormulaText.h"
#include "engine/ResolvedSteps.h"
#include "engine/VariableTable.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ExpressionNode;
struct RunContext;

// A tree flattened into the steps of its evaluation, in the order in which the tree is
// evaluated: each chain folded from left to right, each node's function applied to its
// own value before that value enters its chain. Running the steps gives the value and
// the errors of walking the tree, without recursion.
class EvaluationPlan {
public:
    explicit EvaluationPlan(const ExpressionNode* first);

    // The value against a table. While the formula runs in double, the table holds a number
    // for each of its variables and numbers keep their values whatever the separator, this
    // runs the steps as resolved for the table and epsilon (ResolvedSteps); otherwise step by
    // step, reading variables and numbers as each step comes.
    double Run(const VariableTable* table, double epsilon, EngineError& error) const {
        if (table != nullptr && resolved.ResolvedFor(*table, epsilon) && resolved.Usable() &&
            NumbersMayBeCached())
            return resolved.Run(error);
        return RunAfterResolving(table, epsilon, error);
    }
    // The same, always step by step.
    double RunStepByStep(const VariableTable* table, double epsilon, EngineError& error) const;

    // The three kinds of join come in one step per operator, JoinNumber + operator code,
    // and JoinNumber + 7 for any other operator (which keeps the value).
    enum class Step : std::uint8_t {
        LoadNumber,        // value := the number of a node
        LoadVariable,      // value := the variable of a node
        Save,              // push the value
        Function,          // value := function <code> of value
        Square,            // value := value <power> 2, the exponent being the number 2
        JoinNumber = 8,    // value := value <op> the number of a node
        JoinVariable = 16, // value := value <op> the variable of a node
        JoinSaved = 24,    // value := popped value <op> value
    };

    static constexpr std::uint8_t Code(Step step) { return static_cast<std::uint8_t>(step); }
    static constexpr std::uint8_t JoinStep(Step join, std::uint8_t op) {
        return static_cast<std::uint8_t>(Code(join) + (op <= 4 ? op : 7));
    }

    struct Instruction {
        std::uint8_t step; // a Step, or a join step
        std::uint8_t code; // operator or function code
        const ExpressionNode* node;
    };

    const std::vector<Instruction>& Steps() const { return steps; }
    // The formula has tan or cotan and runs in extended precision.
    bool Extended() const { return extended; }

private:
    double RunAfterResolving(const VariableTable* table, double epsilon, EngineError& error) const;
    template <typename Real> Real RunAs(const RunContext& run) const;
    void AddChain(const ExpressionNode* first);
    void AddValue(const ExpressionNode* node);
    void Add(std::uint8_t step, std::uint8_t code, const ExpressionNode* node);

    std::vector<Instruction> steps;
    std::size_t depth = 0;
    std::size_t maxDepth = 0;
    bool extended = false;
    // The steps as last resolved, made by the first run against a table in a new state.
    mutable ResolvedSteps resolved;
};
