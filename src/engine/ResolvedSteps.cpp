#include "engine/ResolvedSteps.h"

#include "engine/EvaluationPlan.h"
#include "engine/ExpressionTree.h"
#include "engine/StepArithmetic.h"

#include <algorithm>

namespace {

constexpr std::uint8_t OperatorIndex(std::uint8_t op) {
    return op <= opPower ? op : 7;
}

constexpr std::uint8_t kKeepsLeft = 7; // the index of any operator that keeps the left value

} // namespace

// Turns a plan's steps into operations while following where each value is: in the running
// value, on the stack, or still unread, as a known number or a variable's place. A step on
// known numbers that records no error is computed here; an unread value is read by the
// operation that uses it.
class StepResolver {
public:
    StepResolver(const VariableTable& table, double epsilon)
        : table(table), arithmetic{epsilon, scratch} {}

    // The operations and constants, or false when the plan cannot run resolved.
    bool Resolve(const EvaluationPlan& plan, ResolvedSteps& out);

private:
    using Step = EvaluationPlan::Step;
    using Instruction = EvaluationPlan::Instruction;
    using Operation = ResolvedSteps::Operation;

    // Where a value is: Running is the running value, or for a saved value the stack.
    struct Value {
        enum class Kind : std::uint8_t { Running, Known, Place } kind = Kind::Running;
        double number = 0;
        const double* place = nullptr;
    };
    static Value Running() { return Value{Value::Kind::Running}; }
    static Value Known(double number) { return Value{Value::Kind::Known, number}; }
    static Value Place(const double* place) { return Value{Value::Kind::Place, 0, place}; }
    static bool Unread(const Value& v) { return v.kind != Value::Kind::Running; }

    bool Take(const Instruction& in);
    void TakeFunction(std::uint8_t function);
    void TakeSquare();
    void JoinOperand(std::uint8_t op, const Value& right);
    void JoinSaved(std::uint8_t op);
    // Computes a step on known numbers into the running value; false, with nothing changed,
    // when the step records an error, which it must then record when it runs.
    template <typename Compute> bool FoldedInAdvance(Compute compute);
    const double* PlaceOf(const ExpressionNode& node) const;

    // An operation whose operands are unread values.
    void Emit(std::uint8_t code, const Value& a = Running(), const Value& b = Running(),
              std::uint8_t function = 0);
    // Reads an unread running value into the running value.
    void Materialise();
    // The code of an operation emitted, counted back from the last (0); -1 before the first.
    int EmittedCode(std::size_t fromLast) const;

    const VariableTable& table;
    EngineError scratch;
    step::Context arithmetic;

    // An operation, with its operands that are known numbers as indexes into constants.
    struct Pending {
        Operation operation;
        int a = -1;
        int b = -1;
    };
    std::vector<Pending> pending;
    std::vector<double> constants;
    Value current = Known(0);
    std::vector<Value> saved;
    std::size_t depth = 0;
    std::size_t maxDepth = 0;
};

bool StepResolver::Resolve(const EvaluationPlan& plan, ResolvedSteps& out) {
    if (plan.Extended())
        return false;
    for (const Instruction& in : plan.Steps())
        if (!Take(in))
            return false;
    Materialise();
    if (maxDepth > ResolvedSteps::kMaxSaved)
        return false;
    out.constants = std::move(constants);
    out.operations.clear();
    out.operations.reserve(pending.size());
    for (const Pending& p : pending) {
        Operation operation = p.operation;
        if (p.a >= 0)
            operation.a = &out.constants[static_cast<std::size_t>(p.a)];
        if (p.b >= 0)
            operation.b = &out.constants[static_cast<std::size_t>(p.b)];
        out.operations.push_back(operation);
    }
    return true;
}

bool StepResolver::Take(const Instruction& in) {
    switch (in.step) {
    case EvaluationPlan::Code(Step::LoadNumber):
    case EvaluationPlan::Code(Step::LoadVariable):
        break;
    case EvaluationPlan::Code(Step::Save):
        if (!Unread(current)) {
            Emit(ResolvedSteps::kSave);
            maxDepth = std::max(maxDepth, ++depth);
        }
        saved.push_back(current);
        return true;
    case EvaluationPlan::Code(Step::Function):
        TakeFunction(in.code);
        return true;
    case EvaluationPlan::Code(Step::Square):
        TakeSquare();
        return true;
    default:
        if (in.step >= EvaluationPlan::Code(Step::JoinSaved)) {
            JoinSaved(in.code);
            return true;
        }
        break;
    }
    // The steps that read a node's number or variable.
    Value operand;
    if (in.node->Kind == kindVariable) {
        const double* place = PlaceOf(*in.node);
        if (place == nullptr)
            return false;
        operand = Place(place);
    } else if (in.node->HasNumber) {
        operand = Known(in.node->Number);
    } else if (const auto number = TextToNumber(in.node->Text)) {
        operand = Known(static_cast<double>(*number));
    } else {
        return false;
    }
    if (in.step <= EvaluationPlan::Code(Step::LoadVariable))
        current = operand;
    else
        JoinOperand(in.code, operand);
    return true;
}

void StepResolver::TakeFunction(std::uint8_t function) {
    if (current.kind == Value::Kind::Known &&
        FoldedInAdvance([&] { return step::FunctionOf(function, current.number, arithmetic); }))
        return;
    const bool unread = Unread(current);
    Emit(static_cast<std::uint8_t>((unread ? ResolvedSteps::kUnaryOf : ResolvedSteps::kUnary) +
                                   function),
         current, Running(), function);
    current = Running();
}

void StepResolver::TakeSquare() {
    if (current.kind == Value::Kind::Known) {
        current = Known(step::Square(current.number, arithmetic));
        return;
    }
    if (arithmetic.epsilon > 2) { // then it is the power, see step::Square
        Materialise();
        Emit(ResolvedSteps::kJoinOperand + opPower, Known(2));
        return;
    }
    constexpr std::uint8_t square = ResolvedSteps::kSquareCode;
    Emit(Unread(current) ? ResolvedSteps::kUnaryOf + square : ResolvedSteps::kUnary + square,
         current, Running(), square);
    current = Running();
}

void StepResolver::JoinOperand(std::uint8_t op, const Value& right) {
    const std::uint8_t index = OperatorIndex(op);
    if (index == kKeepsLeft)
        return; // the operand is not needed; reading it records nothing
    if (current.kind == Value::Kind::Known && right.kind == Value::Kind::Known &&
        FoldedInAdvance([&] { return step::JoinBy(op, current.number, right.number, arithmetic); }))
        return;
    if (Unread(current))
        Emit(ResolvedSteps::kCombine + index, current, right);
    else
        Emit(ResolvedSteps::kJoinOperand + index, right);
    current = Running();
}

void StepResolver::JoinSaved(std::uint8_t op) {
    const std::uint8_t index = OperatorIndex(op);
    const Value left = saved.back();
    saved.pop_back();
    if (Unread(left)) {
        if (!Unread(current))
            Emit(ResolvedSteps::kJoinToOperand + index, left);
        else if (left.kind != Value::Kind::Known || current.kind != Value::Kind::Known ||
                 !FoldedInAdvance(
                     [&] { return step::JoinBy(op, left.number, current.number, arithmetic); }))
            Emit(ResolvedSteps::kCombine + index, left, current);
        else
            return;
        current = Running();
        return;
    }
    --depth;
    if (Unread(current) && EmittedCode(0) == ResolvedSteps::kSave) {
        // The running value is still the saved one.
        pending.pop_back();
        Emit(ResolvedSteps::kJoinOperand + index, current);
    } else if (!Unread(current) && EmittedCode(1) == ResolvedSteps::kSave &&
               EmittedCode(0) >= ResolvedSteps::kUnaryOf &&
               EmittedCode(0) < ResolvedSteps::kJoinUnaryOf) {
        // Save, then a function of an unread value: one operation on the running value.
        Pending unary = pending.back();
        pending.resize(pending.size() - 2);
        unary.operation.code = static_cast<std::uint8_t>(ResolvedSteps::kJoinUnaryOf + index * 16 +
                                                         unary.operation.function);
        pending.push_back(unary);
    } else {
        Materialise();
        Emit(ResolvedSteps::kJoinSaved + index);
    }
    current = Running();
}

template <typename Compute> bool StepResolver::FoldedInAdvance(Compute compute) {
    scratch = EngineError{};
    const double value = compute();
    if (!scratch.ok())
        return false;
    current = Known(value);
    return true;
}

const double* StepResolver::PlaceOf(const ExpressionNode& node) const {
    if (node.TableNameError != nullptr || node.TableName.empty())
        return nullptr;
    return table.NumberPlace(node.TableName, node.Slot);
}

void StepResolver::Emit(std::uint8_t code, const Value& a, const Value& b, std::uint8_t function) {
    Pending p{Operation{code, function, a.place, b.place}};
    if (a.kind == Value::Kind::Known) {
        constants.push_back(a.number);
        p.a = static_cast<int>(constants.size() - 1);
    }
    if (b.kind == Value::Kind::Known) {
        constants.push_back(b.number);
        p.b = static_cast<int>(constants.size() - 1);
    }
    pending.push_back(p);
}

void StepResolver::Materialise() {
    if (!Unread(current))
        return;
    Emit(ResolvedSteps::kLoad, current);
    current = Running();
}

int StepResolver::EmittedCode(std::size_t fromLast) const {
    if (fromLast >= pending.size())
        return -1;
    return pending[pending.size() - 1 - fromLast].operation.code;
}

void ResolvedSteps::Resolve(const EvaluationPlan& plan, const VariableTable& table,
                            double tolerance) {
    tableStamp = table.Stamp();
    textStamp = table.TextStamp();
    epsilon = tolerance;
    usable = StepResolver(table, tolerance).Resolve(plan, *this);
}

namespace {

// A function of the running value: one of those computed inline, or the square.
template <std::uint8_t Function> ENGINE_INLINE double Unary(double x, const step::Context& run) {
    if constexpr (Function == ResolvedSteps::kSquareCode)
        return x * x;
    else
        return step::FunctionOf<double>(Function, x, run);
}

// The operations with a function that is not computed inline.
[[gnu::noinline]] double RunRare(const ResolvedSteps::Operation& op, double value,
                                 const step::Context& run) {
    const auto f = [&](double x) { return step::CheckedFunction<double>(op.function, x, run); };
    if (op.code >= ResolvedSteps::kJoinUnaryOf) {
        const auto index = static_cast<std::uint8_t>((op.code - ResolvedSteps::kJoinUnaryOf) / 16);
        return step::JoinBy(index, value, f(*op.a), run);
    }
    if (op.code >= ResolvedSteps::kUnaryOf)
        return f(*op.a);
    return f(value);
}

} // namespace

double ResolvedSteps::Run(EngineError& error) const {
    const step::Context run{epsilon, error};
    double stack[kMaxSaved];
    std::size_t top = 0;
    double value = 0;
    for (const Operation& op : operations) {
        switch (op.code) {
        case kLoad:
            value = *op.a;
            break;
        case kSave:
            stack[top++] = value;
            break;
#define ENGINE_JOINS(OP)                                                                           \
    case kJoinOperand + OperatorIndex(OP):                                                         \
        value = step::Join<OP>(value, *op.a, run);                                                 \
        break;                                                                                     \
    case kJoinToOperand + OperatorIndex(OP):                                                       \
        value = step::Join<OP>(*op.a, value, run);                                                 \
        break;                                                                                     \
    case kJoinSaved + OperatorIndex(OP):                                                           \
        value = step::Join<OP>(stack[--top], value, run);                                          \
        break;                                                                                     \
    case kCombine + OperatorIndex(OP):                                                             \
        value = step::Join<OP>(*op.a, *op.b, run);                                                 \
        break;
            ENGINE_JOINS(opAdd)
            ENGINE_JOINS(opSub)
            ENGINE_JOINS(opMul)
            ENGINE_JOINS(opDiv)
            ENGINE_JOINS(opPower)
            ENGINE_JOINS(opNone)
#undef ENGINE_JOINS
#define ENGINE_JOIN_UNARY(F, OP)                                                                   \
    case kJoinUnaryOf + OperatorIndex(OP) * 16 + F:                                                \
        value = step::Join<OP>(value, Unary<F>(*op.a, run), run);                                  \
        break;
#define ENGINE_UNARIES(F)                                                                          \
    case kUnary + F:                                                                               \
        value = Unary<F>(value, run);                                                              \
        break;                                                                                     \
    case kUnaryOf + F:                                                                             \
        value = Unary<F>(*op.a, run);                                                              \
        break;                                                                                     \
        ENGINE_JOIN_UNARY(F, opAdd)                                                                \
        ENGINE_JOIN_UNARY(F, opSub)                                                                \
        ENGINE_JOIN_UNARY(F, opMul)                                                                \
        ENGINE_JOIN_UNARY(F, opDiv)                                                                \
        ENGINE_JOIN_UNARY(F, opPower)                                                              \
        ENGINE_JOIN_UNARY(F, opNone)
            ENGINE_UNARIES(fnCos)
            ENGINE_UNARIES(fnSin)
            ENGINE_UNARIES(fnSqrt)
            ENGINE_UNARIES(fnExp)
            ENGINE_UNARIES(fnAbs)
            ENGINE_UNARIES(kSquareCode)
#undef ENGINE_UNARIES
#undef ENGINE_JOIN_UNARY
        default:
            value = RunRare(op, value, run);
            break;
        }
    }
    return value;
}
