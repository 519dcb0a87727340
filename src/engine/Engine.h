#pragma once

// The expression engine: formulas in the client's notation computed against tables of
// variables. Plain C++; every text is CP1251.
//
//   EngineError, EngineResult  what every operation reports (EngineError.h)
//   CleanFormula               clean-up of formula text, numbers, function names (FormulaText.h)
//   VariableTable              the variable table (VariableTable.h)
//   ExpressionNode             the expression tree, BuildTree, DestroyTree (ExpressionTree.h)
//   EvaluateTree               evaluation, ComputeFunction, UpFunction (Evaluation.h)
//   Expression                 a formula with its tree and table (Expression.h)

#include "engine/EngineError.h"
#include "engine/Evaluation.h"
#include "engine/Expression.h"
#include "engine/ExpressionTree.h"
#include "engine/FormulaText.h"
#include "engine/VariableTable.h"
