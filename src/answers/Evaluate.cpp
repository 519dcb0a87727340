#include "answers/Evaluate.h"

#include <cmath>

namespace answers {

namespace {

// Nodes evaluated between two looks at the clock.
constexpr unsigned kStepsPerClockRead = 256;

class Evaluator {
public:
    Evaluator(const Formula& formula, std::span<const double> values, const Deadline& deadline)
        : formula_(formula), values_(values), deadline_(deadline) {}

    Value Run() {
        const double value = At(formula_.root);
        if (error_ != nullptr)
            return {0, error_};
        if (!std::isfinite(value))
            return {0, "значение не является конечным числом"};
        return {value, nullptr};
    }

private:
    double At(std::uint32_t index) {
        if (OutOfTime())
            return 0;
        const Node& node = formula_.nodes[index];
        switch (node.kind) {
        case NodeKind::Number:
            return node.value;
        case NodeKind::Name:
            return node.index < values_.size() ? values_[node.index] : 0;
        case NodeKind::Call:
            return Call(node);
        case NodeKind::Group:
            return At(node.children[0]);
        case NodeKind::Negate:
            return -At(node.children[0]);
        default:
            return Chain(node);
        }
    }

    double Call(const Node& node) {
        const Value result = Apply(static_cast<Function>(node.index), At(node.children[0]));
        Fail(result.error);
        return result.value;
    }

    double Chain(const Node& node) {
        double value = At(node.children[0]);
        for (std::size_t k = 1; k < node.children.size(); ++k)
            value = Combine(node.ops[k - 1], value, At(node.children[k]));
        return value;
    }

    double Combine(char op, double a, double b) {
        switch (op) {
        case '+':
            return a + b;
        case '-':
            return a - b;
        case '*':
            return a * b;
        case '/':
            if (std::fabs(b) < kZeroTolerance) {
                Fail("деление на нуль");
                return 1;
            }
            return a / b;
        default: // '^'
            if (std::fabs(a) < kZeroTolerance && std::fabs(b) < kZeroTolerance)
                return 1;
            return std::pow(a, b);
        }
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
