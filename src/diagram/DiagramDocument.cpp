#include "diagram/DiagramDocument.h"

#include "platform/Convert.h"

#include <algorithm>

namespace diagram {

namespace {

// Reads KEYWORD(value); off the front of the document when the text before its first "("
// is exactly the keyword. The value is the text up to the first ")"; the ")" and one
// character after it (the header's ";") are cut off with it.
bool ReadHeaderValue(std::string& document, std::string_view keyword, int& value) {
    const std::size_t open = document.find('(');
    if (open == std::string::npos || std::string_view(document).substr(0, open) != keyword)
        return false;
    document.erase(0, open + 1);
    const std::size_t close = document.find(')');
    value = platform::StrToInt(close == std::string::npos
                                   ? std::string_view()
                                   : std::string_view(document).substr(0, close));
    document.erase(0, std::min(document.size(), close + 2));
    return true;
}

} // namespace

bool IsDrawableSize(DiagramSize size) {
    return size.width >= 1 && size.width <= kMaxDiagramSide && size.height >= 1 &&
           size.height <= kMaxDiagramSide;
}

DiagramSize ReadDiagramHeader(std::string& document) {
    DiagramSize size;
    ReadHeaderValue(document, "HEIGHT", size.height);
    ReadHeaderValue(document, "WIDTH", size.width);
    return size;
}

void DrawDiagramStatements(DrawingContext& context, std::string_view statements) {
    while (!statements.empty()) {
        const std::size_t end = statements.find(';');
        if (end == std::string_view::npos) {
            DrawPrimitive(context, statements);
            return;
        }
        DrawPrimitive(context, statements.substr(0, end + 1));
        statements.remove_prefix(end + 1);
    }
}

void DrawDiagramFrame(platform::Canvas& canvas, DiagramSize size, Color windowColor) {
    canvas.SetBrushColor(windowColor);
    canvas.FillRect(0, 0, size.width, size.height);
    canvas.SetBrushColor(FrameColor);
    canvas.SetPenWidth(3);
    canvas.Rectangle(0, 0, size.width, size.height);
    canvas.SetPenWidth(1);
    canvas.Rectangle(3, 3, size.width - 3, size.height - 3);
    canvas.SetBrushStyle(platform::BrushStyle::Clear);
}

void DrawDiagramDocument(DrawingContext& context, platform::Canvas& canvas, DiagramSize size,
                         std::string_view statements, Color windowColor) {
    DrawDiagramFrame(canvas, size, windowColor);
    AttachCanvas(context, canvas);
    DrawDiagramStatements(context, statements);
}

} // namespace diagram
