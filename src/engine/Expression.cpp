#include "engine/Expression.h"

#include "engine/Evaluation.h"
#include "engine/FormulaText.h"

#include <memory>

namespace {

struct TreeDeleter {
    void operator()(ExpressionNode* node) const { DestroyTree(node); }
};

} // namespace

Expression::Expression() = default;

Expression::~Expression() {
    DestroyTree(root);
}

EngineError Expression::SetFormula(std::string_view text) {
    EngineError error;
    if (text.empty())
        return error;
    CleanedText cleaned = CleanFormula(text);
    if (cleaned.bracketError != nullptr) {
        error.Override(EngineErrorCode::Brackets, *cleaned.bracketError);
        return error;
    }
    std::unique_ptr<ExpressionNode, TreeDeleter> tree(new ExpressionNode);
    error = BuildTree(tree.get(), cleaned.text);
    if (!error.ok())
        return error;
    plan = std::make_unique<EvaluationPlan>(tree.get());
    DestroyTree(root);
    root = tree.release();
    formula = std::move(cleaned.text);
    return error;
}

EngineResult Expression::Evaluate(double epsilon) const {
    EngineResult result;
    if (plan != nullptr)
        result.value = plan->Run(&variables, epsilon, result.error);
    return result;
}
