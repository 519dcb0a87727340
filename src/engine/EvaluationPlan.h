#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TMyEquation;
class TMyPacketData;

// A tree flattened into the steps of its evaluation, in the order in which the tree is
// evaluated: each chain folded from left to right, each node's function applied to its
// own value before that value enters its chain. Running the steps gives the value and
// the errors of walking the tree, without recursion.
class EvaluationPlan {
public:
    explicit EvaluationPlan(const TMyEquation* first);

    long double Run(const TMyPacketData* table) const;

private:
    enum class Step : std::uint8_t {
        LoadNumber,   // value := the number of a node
        LoadVariable, // value := the variable of a node
        JoinNumber,   // value := value <op> the number of a node
        JoinVariable, // value := value <op> the variable of a node
        Save,         // push the value
        JoinSaved,    // value := popped value <op> value
        Function,     // value := function <op> of value
    };

    struct Instruction {
        Step step;
        std::uint8_t code;  // operator or function code
        std::uint32_t memo; // of a function step: its entry in memos
        const TMyEquation* node;
    };

    // The last argument and result of a function step. A function of an unchanged
    // argument (under the same Epsilon) gives the same value and message again.
    struct FunctionMemo {
        bool valid = false;
        long double argument = 0;
        double epsilon = 0;
        long double result = 0;
        const std::string* error = nullptr;
    };

    static bool Matches(const FunctionMemo& memo, long double x);
    [[gnu::noinline]] static long double Remember(std::uint8_t code, long double x,
                                                  FunctionMemo& memo);

    void AddChain(const TMyEquation* first);
    void AddValue(const TMyEquation* node);
    void Add(Step step, std::uint8_t code, const TMyEquation* node);

    std::vector<Instruction> steps;
    mutable std::vector<FunctionMemo> memos;
    std::size_t depth = 0;
    std::size_t maxDepth = 0;
};
