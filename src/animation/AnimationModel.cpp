#include "animation/AnimationModel.h"

#include "animation/WindowGeometry.h"

#include "platform/Convert.h"
#include "protocol/Sections.h"

#include <algorithm>
#include <cmath>

namespace animation {

namespace {

// Text appended to the notes of loading.
std::string Note(std::string_view what, std::string_view detail) {
    std::string note(what);
    if (!detail.empty()) {
        note += ": ";
        note += detail;
    }
    return note;
}

void SetDefaults(AnimationModel& model) {
    model.Values.ResetTable();
    model.Values.SetValue("t", "0");
    model.Values.SetValue("tend", "5");
    model.Values.SetValue("CANVAS_HEIGHT", "270");
    model.Values.SetValue("CANVAS_WIDTH", "520");
}

void ReadVariables(AnimationModel& model, std::string& script) {
    for (const std::string& statement : SplitStatements(ExtractSection(script, "VAR"))) {
        const NamedText variable = SplitAtEquals(statement);
        model.Values.SetValue(variable.name, variable.text);
    }
}

// One side of the window from its control variable; a value text the engine cannot
// convert keeps the default side.
int ReadWindowSide(AnimationModel& model, const char* name, int fallback) {
    const EngineResult side = model.Values.GetValue(name);
    if (side.error.Unreadable()) {
        model.Notes.push_back(Note(name, side.error.text));
        return fallback;
    }
    return ClampWindowSide(side.value);
}

// The statements of an object section; empty statements draw nothing and are dropped.
std::vector<std::string> ReadObjects(std::string& script, std::string_view key) {
    std::vector<std::string> statements = SplitStatements(ExtractSection(script, key));
    std::erase_if(statements, [](const std::string& statement) { return statement.empty(); });
    return statements;
}

void BuildEquations(AnimationModel& model) {
    ClearEquations(model.Equations);
    std::size_t dropped = 0;
    std::size_t tooLong = 0;
    std::size_t formulaText = 0;
    for (std::string_view statement : model.FunList) {
        if (statement.ends_with(';'))
            statement.remove_suffix(1);
        const NamedText equation = SplitAtEquals(statement);
        if (equation.text.size() > kMaxFormulaText - formulaText) {
            ++tooLong;
            continue;
        }
        formulaText += equation.text.size();
        std::string builderError;
        switch (AddEquation(model.Equations, equation.name, equation.text, &builderError)) {
        case EquationAdded::Stored:
            break;
        case EquationAdded::StoredWithoutTree:
            model.Notes.push_back(
                Note(std::string(equation.name) + "=" + std::string(equation.text), builderError));
            break;
        case EquationAdded::ListFull:
            ++dropped;
            break;
        }
    }
    if (dropped > 0)
        model.Notes.push_back(
            "FUN: " + std::to_string(dropped) + " of " + std::to_string(model.FunList.size()) +
            " equations dropped, at most " + std::to_string(kEquationCapacity) + " are kept");
    if (tooLong > 0)
        model.Notes.push_back("FUN: " + std::to_string(tooLong) + " of " +
                              std::to_string(model.FunList.size()) +
                              " equations dropped, the formulas may hold at most " +
                              std::to_string(kMaxFormulaText) + " bytes in all");
}

} // namespace

AnimationModel::AnimationModel()
    : Width(OuterWidth(kDesignClientWidth)), Height(OuterHeight(kDesignClientHeight)) {}

int ClampWindowSide(long double requested) {
    if (!(requested >= kMinWindowSide))
        return kMinWindowSide;
    if (requested >= kMaxWindowSide)
        return kMaxWindowSide;
    return static_cast<int>(requested);
}

std::vector<std::string> SplitStatements(std::string_view section) {
    std::vector<std::string> statements;
    for (std::size_t end = section.find(';'); end != std::string_view::npos;
         end = section.find(';')) {
        statements.emplace_back(section.substr(0, end));
        section.remove_prefix(end + 1);
    }
    return statements;
}

NamedText SplitAtEquals(std::string_view statement) {
    const std::size_t equals = statement.find('=');
    if (equals == std::string_view::npos)
        return NamedText{{}, statement};
    return NamedText{statement.substr(0, equals), statement.substr(equals + 1)};
}

void LoadAnimation(AnimationModel& model, std::string script) {
    model.Notes.clear();
    SetDefaults(model);
    ReadVariables(model, script);
    model.InitialValues.AssignTable(&model.Values);
    model.Width = ReadWindowSide(model, "CANVAS_WIDTH", 520);
    model.Height = ReadWindowSide(model, "CANVAS_HEIGHT", 270);

    model.FunList = SplitStatements(ExtractSection(script, "FUN"));
    model.ObjList = ReadObjects(script, "OBJ");
    model.DrawList = model.ObjList;
    model.FirstObjList = ReadObjects(script, "FIRSTOBJ");
    model.LastObjList = ReadObjects(script, "LASTOBJ");
    model.DrawList.insert(model.DrawList.end(), model.FirstObjList.begin(),
                          model.FirstObjList.end());

    BuildEquations(model);
    if (const EngineError error = EvaluateFunctions(model); !error.ok())
        model.Notes.push_back(Note("FUN", error.text));
}

EngineError EvaluateFunctions(AnimationModel& model) {
    return EvaluateEquations(model.Equations, model.Values, kClientEpsilon);
}

} // namespace animation
