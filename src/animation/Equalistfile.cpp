#include "animation/Equalistfile.h"

#include "engine/Evaluation.h"
#include "engine/FormulaText.h"

#include "platform/Convert.h"
#include "platform/Error.h"

namespace animation {

EquationAdded EquaListAdd(DVEquationList& list, std::string_view name, std::string_view formula,
                          std::string* builderError) {
    if (list.Count >= kEquationCapacity)
        return EquationAdded::ListFull;
    list.Names.emplace_back(name);
    auto& slot = list.Roots[list.Count++];
    slot.reset();
    const std::string cleaned = NormaliseFormula(formula);
    std::unique_ptr<TMyEquation, TreeDeleter> tree(new TMyEquation);
    try {
        BuildTree(tree.get(), cleaned);
    } catch (const platform::Error& error) {
        if (builderError != nullptr)
            *builderError = error.what();
        return EquationAdded::StoredWithoutTree;
    }
    slot = std::move(tree);
    return EquationAdded::Stored;
}

void EquaListClear(DVEquationList& list) {
    list.Names.clear();
    for (auto& root : list.Roots)
        root.reset();
    list.Count = 0;
}

void EquaListEvaluate(const DVEquationList& list, TMyPacketData& table) {
    for (std::size_t i = 0; i < list.Count; ++i) {
        const TMyEquation* root = list.Roots[i].get();
        const long double value = root != nullptr ? EvaluateTree(root, &table) : 0;
        table.SetValue(list.Names[i], platform::FloatToStr(value));
    }
}

} // namespace animation
