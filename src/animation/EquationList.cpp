#include "animation/EquationList.h"

#include "engine/Evaluation.h"
#include "engine/FormulaText.h"

#include "platform/Convert.h"

namespace animation {

EquationAdded AddEquation(EquationList& list, std::string_view name, std::string_view formula,
                          std::string* builderError) {
    if (list.Count >= kEquationCapacity)
        return EquationAdded::ListFull;
    list.Names.emplace_back(name);
    auto& slot = list.Roots[list.Count++];
    slot.reset();
    const std::string cleaned = CleanFormula(formula).text;
    std::unique_ptr<ExpressionNode, TreeDeleter> tree(new ExpressionNode);
    if (const EngineError error = BuildTree(tree.get(), cleaned); !error.ok()) {
        if (builderError != nullptr)
            *builderError = error.text;
        return EquationAdded::StoredWithoutTree;
    }
    slot = std::move(tree);
    return EquationAdded::Stored;
}

void ClearEquations(EquationList& list) {
    list.Names.clear();
    for (auto& root : list.Roots)
        root.reset();
    list.Count = 0;
}

EngineError EvaluateEquations(const EquationList& list, VariableTable& table, double epsilon) {
    for (std::size_t i = 0; i < list.Count; ++i) {
        const ExpressionNode* root = list.Roots[i].get();
        EngineResult result;
        if (root != nullptr)
            result = EvaluateTree(root, &table, epsilon);
        if (result.error.Unreadable())
            return result.error;
        table.SetNumber(list.Names[i], result.value);
    }
    return {};
}

} // namespace animation
