#include "answers/Evaluate.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace answers {

namespace {

// Nodes evaluated between two looks at the clock.
constexpr unsigned kStepsPerClockRead = 256;

constexpr const char* kTooSmall = "значение слишком мало для вычисления";

// A value in the making, with the scale of its rounding (see Value). The evaluation fills
// one in place rather than returning it: a pair of doubles returned by value is stored in
// halves and read back whole, which stalls the processor at every node.
struct Scaled {
    double value = 0;
    double scale = 0;
};

void SetExact(Scaled& out, double value) {
    out.value = value;
    out.scale = std::fabs(value);
}

class Evaluator {
public:
    Evaluator(const Formula& formula, std::span<const double> values, const Deadline& deadline)
        : formula_(formula), values_(values), deadline_(deadline) {}

    Value Run() {
        Scaled result;
        At(formula_.root, result);
        if (error_ != nullptr)
            return {0, error_, 0};
        if (!std::isfinite(result.value))
            return {0, "значение не является конечным числом", 0};
        return {result.value, nullptr, result.scale};
    }

private:
    void At(std::uint32_t index, Scaled& out) {
        if (OutOfTime())
            return SetExact(out, 0);
        const Node& node = formula_.nodes[index];
        switch (node.kind) {
        case NodeKind::Number:
            return SetExact(out, node.value);
        case NodeKind::Name:
            return SetExact(out, node.index < values_.size() ? values_[node.index] : 0);
        case NodeKind::Call:
            return Call(node, out);
        case NodeKind::Group:
            return At(node.children[0], out);
        case NodeKind::Negate:
            At(node.children[0], out);
            out.value = -out.value;
            return;
        default:
            return Chain(node, out);
        }
    }

    void Call(const Node& node, Scaled& out) {
        At(node.children[0], out);
        const auto function = static_cast<Function>(node.index);
        const Value result = Apply(function, out.value, out.scale);
        Fail(result.error);
        if (result.value == 0 ? function == Function::Exp : std::fabs(result.value) < DBL_MIN)
            Fail(kTooSmall);
        out.value = result.value;
        out.scale = result.scale;
    }

    void Chain(const Node& node, Scaled& out) {
        At(node.children[0], out);
        Scaled next;
        for (std::size_t k = 1; k < node.children.size(); ++k) {
            At(node.children[k], next);
            Combine(node.ops[k - 1], out, next);
        }
    }

    // The scale never falls below the value itself; one that overflows says nothing more.
    static void Set(Scaled& out, double value, double scale) {
        out.value = value;
        out.scale = std::isfinite(scale) ? std::max(std::fabs(value), scale) : std::fabs(value);
    }

    // A product, quotient or power of numbers other than zero that comes out below the
    // smallest normal double has lost its digits: it is no value to compare with.
    void CheckUnderflow(const Scaled& result, bool fromNonZero) {
        if (fromNonZero && std::fabs(result.value) < DBL_MIN)
            Fail(kTooSmall);
    }

    // a := a op b.
    void Combine(char op, Scaled& a, const Scaled& b) {
        switch (op) {
        case '+':
            return Set(a, a.value + b.value, std::max(a.scale, b.scale));
        case '-':
            return Set(a, a.value - b.value, std::max(a.scale, b.scale));
        case '*': {
            const bool fromNonZero = a.value != 0 && b.value != 0;
            Set(a, a.value * b.value, a.scale * b.scale);
            return CheckUnderflow(a, fromNonZero);
        }
        case '/': {
            if (IsRoundingZero(b.value, b.scale)) {
                Fail("деление на нуль");
                return SetExact(a, 1);
            }
            const bool fromNonZero = a.value != 0;
            Set(a, a.value / b.value, a.scale / std::fabs(b.value));
            return CheckUnderflow(a, fromNonZero);
        }
        default: { // '^'
            if (IsRoundingZero(a.value, a.scale) && IsRoundingZero(b.value, b.scale))
                return SetExact(a, 1);
            const bool fromNonZero = a.value != 0;
            Power(a, b);
            return CheckUnderflow(a, fromNonZero);
        }
        }
    }

    // A base that is zero but for rounding carries that rounding into a positive power.
    static void Power(Scaled& a, const Scaled& b) {
        const double value = std::pow(a.value, b.value);
        // Only a base whose scale exceeds it (one made by a sum) carries more than the value.
        const double carried =
            b.value > 0 && a.scale > std::fabs(a.value) ? std::pow(a.scale, b.value) : 0;
        Set(a, value, carried);
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
