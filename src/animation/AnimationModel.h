#pragma once

#include "animation/EquationList.h"

#include "engine/VariableTable.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace animation {

// The animation of a task as its script describes it: variables with their initial values,
// the equations recomputed at every step, and the diagram statements drawn in every frame
// (OBJ), in the still picture only (FIRSTOBJ) and in the final frame only (LASTOBJ).
struct AnimationModel {
    // The current values; the values every run starts from.
    VariableTable Values;
    VariableTable InitialValues;
    EquationList Equations;
    std::vector<std::string> FunList;
    std::vector<std::string> ObjList;
    std::vector<std::string> FirstObjList;
    std::vector<std::string> LastObjList;
    // The statements the next frame draws.
    std::vector<std::string> DrawList;
    // The window's outer size, which is also the size of its drawing bitmap.
    int Width;
    int Height;
    // What loading had to leave out or could not build, for task authors (CP1251). The
    // window does not show these; vekta-animate prints them.
    std::vector<std::string> Notes;

    AnimationModel();
};

// The formulas of the equations are evaluated at every frame: all of them together may
// hold this many bytes, so that no script makes each frame slow (real ones hold a few
// hundred). An equation past it is left out like one past kEquationCapacity.
inline constexpr std::size_t kMaxFormulaText = 64 * 1024;

// Parses a script (CP1251) into the model, replacing what it held: the control variables
// t = 0, tend = 5, CANVAS_HEIGHT = 270, CANVAS_WIDTH = 520, then the VAR section (which
// may override them), saved as the initial values; the window size; the FUN, OBJ,
// FIRSTOBJ and LASTOBJ statements; the equations, evaluated once. The next frame draws
// OBJ and FIRSTOBJ. Never raises: what cannot be read is noted in Notes.
void LoadAnimation(AnimationModel& model, std::string script);

// The equations evaluated in order into the current values, with the client's zero
// tolerance. A number text the engine cannot convert ends it and is returned.
EngineError EvaluateFunctions(AnimationModel& model);

// The statements of a section: each ends with ";", which is dropped; text after the last
// ";" is ignored; nothing is trimmed.
std::vector<std::string> SplitStatements(std::string_view section);

// A VAR or FUN statement split at its first "=": without "=" the name is empty and the
// value is the whole statement.
struct NamedText {
    std::string_view name;
    std::string_view text;
};
NamedText SplitAtEquals(std::string_view statement);

} // namespace animation
