#pragma once

#include "engine/VariableTable.h"

#include <cstdint>
#include <vector>

struct EngineError;
class EvaluationPlan;

// The steps of a plan in double, resolved against one variable table and one zero tolerance.
// Each variable is the place where the table keeps its number, so a number stored by
// SetNumber is seen without a lookup; every part that depends on numbers alone is computed
// once, by the same arithmetic, when it records no error; a variable or number is read by the
// operation that uses it, and a function of a variable or a square joins its chain in one
// operation. Running them gives the value and the errors of running the plan step by step,
// as long as the table has neither gained nor lost an entry nor had a value stored as text
// since (VariableTable::Stamp, TextStamp).
class ResolvedSteps {
public:
    // Whether the steps were last resolved for this table in its present state and this
    // tolerance (whether or not that succeeded).
    bool ResolvedFor(const VariableTable& table, double tolerance) const {
        return table.Stamp() == tableStamp && table.TextStamp() == textStamp &&
               tolerance == epsilon;
    }
    // Resolves the plan's steps. It fails, and the plan must run step by step, for a formula
    // in extended precision, when a variable is missing or its text or a number is not a
    // number, when a name cannot be read, or when the values saved at once would be too many.
    void Resolve(const EvaluationPlan& plan, const VariableTable& table, double tolerance);
    bool Usable() const { return usable; }

    // The value; errors are recorded in error as the plan's steps record them.
    double Run(EngineError& error) const;

    // A formula may save this many values at once to run resolved.
    static constexpr std::size_t kMaxSaved = 64;

    // An operation's code: a kind, plus the operator's index (its code, or 7 for any other
    // operator, which keeps the left value) and for the unary kinds a function code, or
    // kSquareCode for the square. a and b are the operands.
    static constexpr std::uint8_t kLoad = 0;           // value := a
    static constexpr std::uint8_t kSave = 1;           // push value
    static constexpr std::uint8_t kJoinOperand = 8;    // value := value <op> a
    static constexpr std::uint8_t kJoinToOperand = 16; // value := a <op> value
    static constexpr std::uint8_t kJoinSaved = 24;     // value := popped <op> value
    static constexpr std::uint8_t kCombine = 32;       // value := a <op> b
    static constexpr std::uint8_t kUnary = 48;         // value := f(value)
    static constexpr std::uint8_t kUnaryOf = 64;       // value := f(a)
    static constexpr std::uint8_t kJoinUnaryOf = 128;  // value := value <op> f(a), + op * 16 + f
    static constexpr std::uint8_t kSquareCode = 15;

    struct Operation {
        std::uint8_t code;
        std::uint8_t function; // the function code of the unary kinds
        const double* a;
        const double* b;
    };

private:
    friend class StepResolver;

    std::vector<Operation> operations;
    // The numbers of the formula and the values computed in advance; operations point into it.
    std::vector<double> constants;
    std::uint64_t tableStamp = 0;
    std::uint64_t textStamp = 0;
    double epsilon = 0;
    bool usable = false;
};
