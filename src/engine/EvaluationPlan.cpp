#include "engine/EvaluationPlan.h"

#include "engine/EngineError.h"
#include "engine/EngineMessages.h"
#include "engine/Evaluation.h"
#include "engine/ExpressionTree.h"
#include "engine/FormulaText.h"
#include "engine/StepArithmetic.h"
#include "engine/VariableTable.h"

#include <cmath>
#include <limits>
#include <type_traits>

// Everything a step needs besides the running value.
struct RunContext : step::Context {
    const VariableTable* table;
    bool numbersCached;
};

namespace {

template <typename Real>
[[gnu::noinline]] Real ReadNumberText(const std::string& text, EngineError& error) {
    const auto number = TextToNumber(text);
    if (!number) {
        error.RecordUnreadable(number.Error().message);
        return 0;
    }
    return static_cast<Real>(*number);
}

template <typename Real>
ENGINE_INLINE Real NumberOf(const ExpressionNode& node, const RunContext& run) {
    if constexpr (std::is_same_v<Real, double>) {
        if (node.HasNumber && run.numbersCached)
            return node.Number;
    } else {
        if (node.HasNumber && run.numbersCached)
            return node.ExactNumber;
    }
    return ReadNumberText<Real>(node.Text, run.error);
}

template <typename Real>
[[gnu::noinline]] Real VariableLookUp(const ExpressionNode& node, const RunContext& run) {
    if (node.TableNameError != nullptr) {
        // The name's bracket error overrides whatever was recorded, as the clean-up does.
        run.error.Override(EngineErrorCode::Brackets, *node.TableNameError);
        return 0;
    }
    if (node.TableName.empty()) {
        run.error.Record(EngineErrorCode::VariableTable, Messages().emptyTableParameter);
        return 0;
    }
    if (run.table == nullptr) {
        run.error.RecordMissing(Messages().noSuchVariable, node.TableName);
        return 0;
    }
    if constexpr (std::is_same_v<Real, double>)
        return run.table->ValueOfNormalised(node.TableName, node.Slot, run.error);
    else
        return run.table->ExactValueOfNormalised(node.TableName, node.Slot, run.error);
}

template <typename Real>
ENGINE_INLINE Real VariableOf(const ExpressionNode& node, const RunContext& run) {
    if constexpr (std::is_same_v<Real, double>)
        if (run.table != nullptr)
            if (const double* number = run.table->KnownNumber(node.Slot))
                return *number;
    return VariableLookUp<Real>(node, run);
}

bool IsPlainLeaf(const ExpressionNode* node) {
    return node->Sub == nullptr && node->Function == fnNone;
}

} // namespace

EvaluationPlan::EvaluationPlan(const ExpressionNode* first) {
    AddChain(first);
}

void EvaluationPlan::Add(std::uint8_t step, std::uint8_t code, const ExpressionNode* node) {
    if (step == Code(Step::Function) && (code == fnTan || code == fnCotan))
        extended = true;
    steps.push_back(Instruction{step, code, node});
}

void EvaluationPlan::AddValue(const ExpressionNode* node) {
    if (node->Sub != nullptr)
        AddChain(node->Sub);
    else if (node->Kind == kindVariable)
        Add(Code(Step::LoadVariable), 0, node);
    else
        Add(Code(Step::LoadNumber), 0, node);
    if (node->Function != fnNone)
        Add(Code(Step::Function), node->Function, nullptr);
}

void EvaluationPlan::AddChain(const ExpressionNode* first) {
    AddValue(first);
    for (const ExpressionNode* node = first; node->Next != nullptr; node = node->Next) {
        const ExpressionNode* next = node->Next;
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

double EvaluationPlan::RunAfterResolving(const VariableTable* table, double epsilon,
                                         EngineError& error) const {
    if (table != nullptr && NumbersMayBeCached()) {
        if (!resolved.ResolvedFor(*table, epsilon))
            resolved.Resolve(*this, *table, epsilon);
        if (resolved.Usable())
            return resolved.Run(error);
    }
    return RunStepByStep(table, epsilon, error);
}

double EvaluationPlan::RunStepByStep(const VariableTable* table, double epsilon,
                                     EngineError& error) const {
    const RunContext run{{epsilon, error}, table, NumbersMayBeCached()};
    if (extended)
        return static_cast<double>(RunAs<long double>(run));
    return RunAs<double>(run);
}

template <typename Real> Real EvaluationPlan::RunAs(const RunContext& run) const {
    constexpr std::size_t kLocal = 64;
    Real local[kLocal];
    std::unique_ptr<Real[]> heap;
    Real* saved = local;
    if (maxDepth > kLocal) {
        heap = std::make_unique<Real[]>(maxDepth);
        saved = heap.get();
    }
    Real value = 0;
    std::size_t top = 0;
    for (const Instruction& in : steps) {
        switch (in.step) {
        case Code(Step::LoadNumber):
            value = NumberOf<Real>(*in.node, run);
            break;
        case Code(Step::LoadVariable):
            value = VariableOf<Real>(*in.node, run);
            break;
#define ENGINE_JOIN_STEPS(OP)                                                                      \
    case JoinStep(Step::JoinNumber, OP):                                                           \
        value = step::Join<OP, Real>(value, NumberOf<Real>(*in.node, run), run);                   \
        break;                                                                                     \
    case JoinStep(Step::JoinVariable, OP):                                                         \
        value = step::Join<OP, Real>(value, VariableOf<Real>(*in.node, run), run);                 \
        break;                                                                                     \
    case JoinStep(Step::JoinSaved, OP):                                                            \
        value = step::Join<OP, Real>(saved[--top], value, run);                                    \
        break;
            ENGINE_JOIN_STEPS(opAdd)
            ENGINE_JOIN_STEPS(opSub)
            ENGINE_JOIN_STEPS(opMul)
            ENGINE_JOIN_STEPS(opDiv)
            ENGINE_JOIN_STEPS(opPower)
            ENGINE_JOIN_STEPS(opNone)
#undef ENGINE_JOIN_STEPS
        case Code(Step::Square):
            value = step::Square<Real>(value, run);
            break;
        case Code(Step::Save):
            saved[top++] = value;
            break;
        case Code(Step::Function):
            value = step::FunctionOf<Real>(in.code, value, run);
            break;
        default:
            break;
        }
    }
    return value;
}
