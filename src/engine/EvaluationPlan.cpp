#include "engine/EvaluationPlan.h"

#include "engine/EngineMessages.h"
#include "engine/EngineStatus.h"
#include "engine/Evaluation.h"
#include "engine/ExpressionTree.h"
#include "engine/FormulaText.h"
#include "engine/PacketData.h"

#include <cmath>
#include <limits>

namespace {

// The hot path of evaluation keeps its long double values out of calls: what is common
// is inlined, what is rare (errors, conversions, searches) is called.
#define ENGINE_INLINE [[gnu::always_inline]] inline

ENGINE_INLINE long double NumberOf(const TMyEquation& node, bool numbersCached) {
    if (node.HasNumber && numbersCached)
        return node.Number;
    return TextToNumber(node.Text);
}

[[gnu::noinline]] long double VariableLookUp(const TMyEquation& node, const TMyPacketData* table) {
    if (node.TableNameError != nullptr) {
        // The name's bracket error overrides whatever was recorded, as the clean-up does.
        EngineStatus.Code = 4;
        EngineStatus.ErrorText = *node.TableNameError;
        return 0;
    }
    if (node.TableName.empty()) {
        RecordError(3, Messages().emptyTableParameter);
        return 0;
    }
    if (table == nullptr) {
        TMyPacketData::ReportMissing(node.TableName);
        return 0;
    }
    return table->ValueOfNormalised(node.TableName, node.Slot);
}

[[gnu::noinline]] long double DivisionByZero() {
    RecordError(2, Messages().divisionByZero);
    return 1;
}

ENGINE_INLINE long double Divide(long double a, long double b) {
    if (std::fabs(static_cast<double>(b)) >= EngineStatus.Epsilon)
        return a / b;
    return DivisionByZero();
}

// The square of a base with at most 24 significant bits is exact in 48 bits, so it is
// what pow gives in double, without the call.
ENGINE_INLINE bool SquaresExactly(long double a) {
    return std::fabs(a) <= std::numeric_limits<float>::max() &&
           static_cast<long double>(static_cast<float>(a)) == a;
}

// The power operator, in double precision.
ENGINE_INLINE long double Power(long double a, long double b) {
    const long double epsilon = EngineStatus.Epsilon;
    if (std::fabs(a) < epsilon && std::fabs(b) < epsilon)
        return 1;
    if (b == 2 && SquaresExactly(a))
        return a * a;
    return std::pow(static_cast<double>(a), static_cast<double>(b));
}

ENGINE_INLINE long double Square(long double a) {
    if (EngineStatus.Epsilon <= 2 && SquaresExactly(a))
        return a * a;
    return Power(a, 2);
}

template <std::uint8_t Op> ENGINE_INLINE long double JoinAs(long double a, long double b) {
    if constexpr (Op == opAdd)
        return a + b;
    else if constexpr (Op == opSub)
        return a - b;
    else if constexpr (Op == opMul)
        return a * b;
    else if constexpr (Op == opDiv)
        return Divide(a, b);
    else if constexpr (Op == opPower)
        return Power(a, b);
    else
        return a; // any other operator keeps the value; the next one is dropped
}

ENGINE_INLINE long double Join(std::uint8_t op, long double a, long double b) {
    switch (op) {
    case opAdd:
        return JoinAs<opAdd>(a, b);
    case opSub:
        return JoinAs<opSub>(a, b);
    case opMul:
        return JoinAs<opMul>(a, b);
    case opDiv:
        return JoinAs<opDiv>(a, b);
    case opPower:
        return JoinAs<opPower>(a, b);
    default:
        return JoinAs<opNone>(a, b);
    }
}

// The number of a variable when its slot is valid and its text already read, else null.
ENGINE_INLINE const long double* CachedVariable(const TMyEquation& node, const TMyPacketData* table,
                                                bool numbersCached) {
    if (table == nullptr || !numbersCached)
        return nullptr;
    return table->CachedNumber(node.Slot);
}

// The slow paths take the running value and give the new one, so that no call is made
// while the running value is live: it then stays in a register of the x87 unit.
[[gnu::noinline]] long double JoinNumberText(std::uint8_t op, long double value,
                                             const TMyEquation& node) {
    return Join(op, value, TextToNumber(node.Text));
}

[[gnu::noinline]] long double JoinVariableLookUp(std::uint8_t op, long double value,
                                                 const TMyEquation& node,
                                                 const TMyPacketData* table) {
    return Join(op, value, VariableLookUp(node, table));
}

bool IsPlainLeaf(const TMyEquation* node) {
    return node->Sub == nullptr && node->Function == fnNone;
}

} // namespace

EvaluationPlan::EvaluationPlan(const TMyEquation* first) {
    AddChain(first);
}

void EvaluationPlan::Add(std::uint8_t step, std::uint8_t code, const TMyEquation* node) {
    std::uint32_t memo = 0;
    if (step == Code(Step::Function)) {
        memo = static_cast<std::uint32_t>(memos.size());
        memos.emplace_back();
    }
    steps.push_back(Instruction{step, code, memo, node});
}

bool EvaluationPlan::Matches(const FunctionMemo& memo, long double x) {
    return memo.valid && x == memo.argument && std::signbit(x) == std::signbit(memo.argument) &&
           memo.epsilon == EngineStatus.Epsilon;
}

long double EvaluationPlan::Remember(std::uint8_t code, long double x, FunctionMemo& memo) {
    if (Matches(memo, x)) {
        if (memo.error != nullptr)
            RecordError(2, *memo.error);
        return memo.result;
    }
    const FunctionResult result = ComputeFunction(code, x);
    memo = FunctionMemo{true, x, EngineStatus.Epsilon, result.value, result.error};
    if (result.error != nullptr)
        RecordError(2, *result.error);
    return result.value;
}

void EvaluationPlan::AddValue(const TMyEquation* node) {
    if (node->Sub != nullptr)
        AddChain(node->Sub);
    else if (node->Kind == kindVariable)
        Add(Code(Step::LoadVariable), 0, node);
    else
        Add(Code(Step::LoadNumber), 0, node);
    if (node->Function != fnNone)
        Add(Code(Step::Function), node->Function, nullptr);
}

void EvaluationPlan::AddChain(const TMyEquation* first) {
    AddValue(first);
    for (const TMyEquation* node = first; node->Next != nullptr; node = node->Next) {
        const TMyEquation* next = node->Next;
        if (IsPlainLeaf(next) && node->Operator == opPower && next->Kind == kindNumber &&
            next->HasNumber && next->Number == 2) {
            Add(Code(Step::Square), 0, next);
            continue;
        }
        if (IsPlainLeaf(next)) {
            const bool variable = next->Kind == kindVariable;
            const Step join = variable ? Step::JoinVariable : Step::JoinNumber;
            Add(JoinStep(join, node->Operator), node->Operator, next);
            continue;
        }
        Add(Code(Step::Save), 0, nullptr);
        if (++depth > maxDepth)
            maxDepth = depth;
        AddValue(next);
        Add(JoinStep(Step::JoinSaved, node->Operator), node->Operator, nullptr);
        --depth;
    }
}

long double EvaluationPlan::Run(const TMyPacketData* table) const {
    constexpr std::size_t kLocal = 64;
    long double local[kLocal];
    std::unique_ptr<long double[]> heap;
    long double* saved = local;
    if (maxDepth > kLocal) {
        heap = std::make_unique<long double[]>(maxDepth);
        saved = heap.get();
    }
    const bool numbersCached = NumbersMayBeCached();
    long double value = 0;
    std::size_t top = 0;
    for (const Instruction& in : steps) {
        switch (in.step) {
        case Code(Step::LoadNumber):
            value = NumberOf(*in.node, numbersCached);
            break;
        case Code(Step::LoadVariable):
            if (const long double* number = CachedVariable(*in.node, table, numbersCached))
                value = *number;
            else
                value = VariableLookUp(*in.node, table);
            break;
#define ENGINE_JOIN_STEPS(OP)                                                                      \
    case JoinStep(Step::JoinNumber, OP):                                                           \
        if (in.node->HasNumber && numbersCached)                                                   \
            value = JoinAs<OP>(value, in.node->Number);                                            \
        else                                                                                       \
            value = JoinNumberText(in.code, value, *in.node);                                      \
        break;                                                                                     \
    case JoinStep(Step::JoinVariable, OP):                                                         \
        if (const long double* number = CachedVariable(*in.node, table, numbersCached))            \
            value = JoinAs<OP>(value, *number);                                                    \
        else                                                                                       \
            value = JoinVariableLookUp(in.code, value, *in.node, table);                           \
        break;                                                                                     \
    case JoinStep(Step::JoinSaved, OP):                                                            \
        value = JoinAs<OP>(saved[--top], value);                                                   \
        break;
            ENGINE_JOIN_STEPS(opAdd)
            ENGINE_JOIN_STEPS(opSub)
            ENGINE_JOIN_STEPS(opMul)
            ENGINE_JOIN_STEPS(opDiv)
            ENGINE_JOIN_STEPS(opPower)
            ENGINE_JOIN_STEPS(opNone)
#undef ENGINE_JOIN_STEPS
        case Code(Step::Square):
            if (numbersCached)
                value = Square(value);
            else
                value = JoinNumberText(opPower, value, *in.node);
            break;
        case Code(Step::Save):
            saved[top++] = value;
            break;
        case Code(Step::Function): {
            FunctionMemo& memo = memos[in.memo];
            if (memo.error == nullptr && Matches(memo, value))
                value = memo.result;
            else
                value = Remember(in.code, value, memo);
            break;
        }
        default:
            break;
        }
    }
    return value;
}
