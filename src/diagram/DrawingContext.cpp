#include "diagram/DrawingContext.h"

#include "diagram/Primitives.h"
#include "diagram/StatementParams.h"

#include <array>

namespace diagram {

namespace {

using Primitive = platform::Status (*)(DrawingContext&, std::string_view);

struct KeywordEntry {
    std::string_view keyword;
    Primitive draw;
};

// The keywords in the order they are tried.
constexpr std::array<KeywordEntry, 14> kPrimitives = {{
    {"LINE", DrawLineStatement},
    {"CARROW", DrawCircularArrow},
    {"ARROW", DrawForceArrow},
    {"OBJECT_CIRCLE", DrawObjectCircle},
    {"OBJECT_DOUBLE_CIRCLE", DrawObjectDoubleCircle},
    {"GREKTEXT", DrawGreekText},
    {"TEXT", DrawTextStatement},
    {"CIRCLE", DrawCircle},
    {"GROUND", DrawGround},
    {"ADVLINE", DrawAdvancedLine},
    {"VTULKA", DrawSleeve},
    {"RECTANGLE", DrawRectangleBody},
    {"SHARNIR", DrawHinge},
    {"ARROWBL", DrawBlackArrow},
}};

} // namespace

void InitContext(DrawingContext& context) {
    context = DrawingContext{};
}

void AttachCanvas(DrawingContext& context, platform::Canvas& canvas) {
    context.canvas = &canvas;
    context.SavedFontName = canvas.GetFont().name;
    context.SavedFontSize = canvas.GetFont().size;
    context.SavedBrushColor = canvas.BrushColor();
    StartPicture(context);
}

void StartPicture(DrawingContext& context) {
    context.budget = DrawingBudget{};
}

void RestoreFont(DrawingContext& context) {
    if (context.canvas == nullptr || context.SavedFontName.empty())
        return;
    context.canvas->SetFontName(context.SavedFontName);
    context.canvas->SetFontSize(context.SavedFontSize);
}

void SelectGreekFont(DrawingContext& context) {
    if (context.canvas == nullptr)
        return;
    context.canvas->SetFontName("Symbol");
    context.canvas->SetFontSize(context.canvas->GetFont().size + 6);
}

platform::Result<bool> DrawPrimitive(DrawingContext& context, std::string_view statement) {
    if (context.canvas == nullptr)
        return false;
    if (platform::Status paid = context.budget.SpendStatement(statement.size()); !paid)
        return paid.Error();
    return InterpretPrimitive(context, statement);
}

platform::Result<bool> InterpretPrimitive(DrawingContext& context, std::string_view statement) {
    if (context.canvas == nullptr)
        return false;
    const std::size_t open = statement.find('(');
    if (open == std::string_view::npos)
        return false;
    context.keyword = statement.substr(0, open);
    platform::Result<std::string> params = StripStatementEnd(statement.substr(open + 1));
    if (!params)
        return params.Error();
    context.params = std::move(*params);
    for (const KeywordEntry& entry : kPrimitives) {
        if (entry.keyword == context.keyword) {
            if (platform::Status drawn = entry.draw(context, context.params); !drawn)
                return drawn.Error();
            return true;
        }
    }
    return false;
}

} // namespace diagram
