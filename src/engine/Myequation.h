#pragma once

// The expression engine: formulas in the client's notation computed against tables of
// variables. Plain C++; every text is CP1251.
//
//   EngineStatus      the status record every operation reports through (EngineStatus.h)
//   NormaliseFormula  clean-up of formula text, numbers, function names (FormulaText.h)
//   TMyPacketData     the variable table (PacketData.h)
//   TMyEquation       the expression tree, BuildTree, DestroyTree (ExpressionTree.h)
//   EvaluateTree      evaluation, ApplyFunction, UpFunction (Evaluation.h)
//   TMyPacketEquation a formula with its tree and table (PacketEquation.h)

#include "engine/EngineStatus.h"
#include "engine/Evaluation.h"
#include "engine/ExpressionTree.h"
#include "engine/FormulaText.h"
#include "engine/PacketData.h"
#include "engine/PacketEquation.h"
