#pragma once

#include "engine/ExpressionTree.h"
#include "engine/VariableTable.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace animation {

// The equations of an animation: the FUN statements as names with their expression trees,
// evaluated in order into a variable table at every step.

// An equation list holds at most this many equations.
inline constexpr std::size_t kEquationCapacity = 100;

struct TreeDeleter {
    void operator()(ExpressionNode* root) const { DestroyTree(root); }
};

// Slot i holds the tree of Names[i]; a slot whose formula could not be built holds none.
struct EquationList {
    std::vector<std::string> Names;
    std::array<std::unique_ptr<ExpressionNode, TreeDeleter>, kEquationCapacity> Roots;
    std::size_t Count = 0;
};

enum class EquationAdded {
    Stored,            // name and tree stored
    StoredWithoutTree, // the formula cleans up to nothing the tree builder accepts
    ListFull,          // nothing stored: the list holds kEquationCapacity equations
};

// Appends the name, cleans the formula with CleanFormula and stores its tree in the
// next slot. A formula the tree builder refuses leaves that slot empty (`builderError`
// receives the builder's message when given).
EquationAdded AddEquation(EquationList& list, std::string_view name, std::string_view formula,
                          std::string* builderError = nullptr);

// Empties the names and releases every tree.
void ClearEquations(EquationList& list);

// Evaluates the equations in order with the zero tolerance epsilon, each against the
// table as the equations above it left it, and stores each result as a number under its
// name; the engine's messages are not shown. An empty slot gives the value 0, like a
// formula object that holds no formula. A number text the engine cannot convert ends the
// evaluation there: that equation and the ones below it are not stored, and the error
// is returned (EngineError::Unreadable); otherwise no error is returned.
EngineError EvaluateEquations(const EquationList& list, VariableTable& table, double epsilon);

} // namespace animation
