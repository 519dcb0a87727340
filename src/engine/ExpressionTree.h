#pragma once

#include "engine/EngineError.h"
#include "engine/EvaluationPlan.h"
#include "engine/VariableTable.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Kinds of a tree node.
enum : std::uint8_t { kindFunction = 0, kindVariable = 1, kindNumber = 2, kindCompound = 3 };

// Operators that join a node's value with the value of its Next node.
enum : std::uint8_t { opAdd = 0, opSub = 1, opMul = 2, opDiv = 3, opPower = 4, opNone = 6 };

// Formulas may nest brackets this deep; BuildTree refuses deeper ones.
inline constexpr int kMaxNesting = 256;

// One node of an expression tree. A chain of nodes linked by Next is folded from left
// to right with each node's Operator; a node's value is its Sub chain's, else its
// variable or number Text, with its Function applied. A node owns its Sub and its Next.
struct ExpressionNode {
    ExpressionNode();
    ~ExpressionNode();
    ExpressionNode(const ExpressionNode&) = delete;
    ExpressionNode& operator=(const ExpressionNode&) = delete;

    std::uint8_t Kind = kindCompound;
    std::uint8_t Operator = opNone;
    std::uint8_t Function = fnNone;
    std::string Text = "?";
    ExpressionNode* Next = nullptr;
    ExpressionNode* Prev = nullptr;
    ExpressionNode* Sub = nullptr;
    ExpressionNode* Owner = nullptr;

    // Filled by BuildTree from Text, which stays fixed afterwards: the number of a
    // number node, and the table form of a variable's name.
    bool HasNumber = false;
    double Number = 0;
    long double ExactNumber = 0; // in extended precision, for formulas that need it
    std::string TableName;
    const std::string* TableNameError = nullptr;
    mutable TableSlot Slot;
    // The steps of evaluating the chain that starts here, made by the first evaluation.
    mutable std::unique_ptr<EvaluationPlan> Plan;
};

// The plan of the chain that starts at a node, made on first use.
inline const EvaluationPlan& PlanOf(const ExpressionNode& first) {
    if (!first.Plan)
        first.Plan = std::make_unique<EvaluationPlan>(&first);
    return *first.Plan;
}

// Builds the tree of a normalised formula text into a fresh node. An empty operand
// and nesting deeper than kMaxNesting are unreadable text (EngineErrorCode::Unreadable,
// with their messages); the node is then left as a fresh node again.
EngineError BuildTree(ExpressionNode* node, std::string_view text);

// Frees the node with its Sub and Next nodes. A null node is ignored.
void DestroyTree(ExpressionNode* node);
