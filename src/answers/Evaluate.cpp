#include "answers/Evaluate.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace answers {

namespace {

// Nodes evaluated between two looks at the clock.
constexpr unsigned kStepsPerClockRead = 256;

constexpr const char* kTooSmall = "значение слишком мало для вычисления";

// A value in the making, with the scale of its rounding (see Value).
struct Scaled {
    double value = 0;
    double scale = 0;
};

Scaled Exact(double value) {
    return {value, std::fabs(value)};
}

class Evaluator {
public:
    Evaluator(const Formula& formula, std::span<const double> values, const Deadline& deadline)
        : formula_(formula), values_(values), deadline_(deadline) {}

    Value Run() {
        const Scaled result = At(formula_.root);
        if (error_ != nullptr)
            return {0, error_, 0};
        if (!std::isfinite(result.value))
            return {0, "значение не является конечным числом", 0};
        return {result.value, nullptr, result.scale};
    }

private:
    Scaled At(std::uint32_t index) {
        if (OutOfTime())
            return {};
        const Node& node = formula_.nodes[index];
        switch (node.kind) {
        case NodeKind::Number:
            return Exact(node.value);
        case NodeKind::Name:
            return Exact(node.index < values_.size() ? values_[node.index] : 0);
        case NodeKind::Call:
            return Call(node);
        case NodeKind::Group:
            return At(node.children[0]);
        case NodeKind::Negate: {
            const Scaled operand = At(node.children[0]);
            return {-operand.value, operand.scale};
        }
        default:
            return Chain(node);
        }
    }

    Scaled Call(const Node& node) {
        const Scaled argument = At(node.children[0]);
        const auto function = static_cast<Function>(node.index);
        const Value result = Apply(function, argument.value, argument.scale);
        Fail(result.error);
        if (result.value == 0 ? function == Function::Exp : std::fabs(result.value) < DBL_MIN)
            Fail(kTooSmall);
        return {result.value, result.scale};
    }

    // A product, quotient or power of numbers other than zero that comes out below the
    // smallest normal double has lost its digits: it is no value to compare with.
    Scaled NotUnderflowed(Scaled result, bool fromNonZero) {
        if (fromNonZero && std::fabs(result.value) < DBL_MIN)
            Fail(kTooSmall);
        return result;
    }

    Scaled Chain(const Node& node) {
        Scaled value = At(node.children[0]);
        for (std::size_t k = 1; k < node.children.size(); ++k)
            value = Combine(node.ops[k - 1], value, At(node.children[k]));
        return value;
    }

    // The scale never falls below the value itself; one that overflows says nothing more.
    static Scaled Made(double value, double scale) {
        return {value, std::isfinite(scale) ? std::max(std::fabs(value), scale) : std::fabs(value)};
    }

    Scaled Combine(char op, Scaled a, Scaled b) {
        switch (op) {
        case '+':
            return Made(a.value + b.value, std::max(a.scale, b.scale));
        case '-':
            return Made(a.value - b.value, std::max(a.scale, b.scale));
        case '*':
            return NotUnderflowed(Made(a.value * b.value, a.scale * b.scale),
                                  a.value != 0 && b.value != 0);
        case '/':
            if (IsRoundingZero(b.value, b.scale)) {
                Fail("деление на нуль");
                return Exact(1);
            }
            return NotUnderflowed(Made(a.value / b.value, a.scale / std::fabs(b.value)),
                                  a.value != 0);
        default: // '^'
            if (IsRoundingZero(a.value, a.scale) && IsRoundingZero(b.value, b.scale))
                return Exact(1);
            return NotUnderflowed(Power(a, b), a.value != 0);
        }
    }

    // A base that is zero but for rounding carries that rounding into a positive power.
    static Scaled Power(Scaled a, Scaled b) {
        const double value = std::pow(a.value, b.value);
        const double carried = b.value > 0 ? std::pow(a.scale, b.value) : 0;
        return Made(value, carried);
    }

    bool OutOfTime() {
        if (error_ == kOutOfTime)
            return true;
        if (++steps_ % kStepsPerClockRead != 0 || !deadline_.Passed())
            return false;
        // Running out of time overrides an error found before: the verdict is not known.
        error_ = kOutOfTime;
        return true;
    }

    // The first error of an evaluation is the one that stays.
    void Fail(const char* error) {
        if (error_ == nullptr)
            error_ = error;
    }

    const Formula& formula_;
    std::span<const double> values_;
    const Deadline& deadline_;
    unsigned steps_ = 0;
    const char* error_ = nullptr;
};

} // namespace

Value Evaluate(const Formula& formula, std::span<const double> values, const Deadline& deadline) {
    if (formula.nodes.empty())
        return {0, "нет ответа"};
    return Evaluator(formula, values, deadline).Run();
}

} // namespace answers
