#include "engine/PacketEquation.h"

#include "engine/EngineStatus.h"
#include "engine/Evaluation.h"
#include "engine/FormulaText.h"

namespace {

struct TreeDeleter {
    void operator()(TMyEquation* node) const { DestroyTree(node); }
};

} // namespace

TMyPacketEquation::TMyPacketEquation() = default;

TMyPacketEquation::~TMyPacketEquation() {
    DestroyTree(root);
}

void TMyPacketEquation::SetFormula(std::string_view text) {
    if (text.empty())
        return;
    std::string cleaned = NormaliseFormula(text);
    if (!EngineStatus.ErrorText.empty())
        return;
    std::unique_ptr<TMyEquation, TreeDeleter> tree(new TMyEquation);
    BuildTree(tree.get(), cleaned);
    DestroyTree(root);
    root = tree.release();
    formula = std::move(cleaned);
}

long double TMyPacketEquation::Evaluate() {
    if (formula.empty())
        return 0;
    return EvaluateTree(root, &variables);
}

void TMyPacketEquation::SetVariable(std::string_view name, std::string_view valueText) {
    variables.SetValue(name, valueText);
}

long double TMyPacketEquation::GetVariable(std::string_view name) {
    return variables.GetValue(name);
}

void TMyPacketEquation::ResetVariables() {
    variables.ResetTable();
}
