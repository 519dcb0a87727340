#include "diagram/DiagramDocument.h"

#include "platform/Convert.h"

#include <algorithm>

namespace diagram {

namespace {

// Reads KEYWORD(value); off the front of the document when the text before its first "("
// is exactly the keyword. The value is the text up to the first ")"; the ")" and one
// character after it (the header's ";") are cut off with it. Without the keyword the
// value stays as it is.
platform::Status ReadHeaderValue(std::string& document, std::string_view keyword, int& value) {
    const std::size_t open = document.find('(');
    if (open == std::string::npos || std::string_view(document).substr(0, open) != keyword)
        return platform::Done{};
    document.erase(0, open + 1);
    const std::size_t close = document.find(')');
    const platform::Result<int> read =
        platform::ReadInt(close == std::string::npos ? std::string_view()
                                                     : std::string_view(document).substr(0, close));
    if (!read)
        return platform::Failure{read.Error().message, std::string::npos,
                                 static_cast<int>(ErrorCode::Parameter)};
    value = *read;
    document.erase(0, std::min(document.size(), close + 2));
    return platform::Done{};
}

} // namespace

bool IsDrawableSize(DiagramSize size) {
    return size.width >= 1 && size.width <= kMaxDiagramSide && size.height >= 1 &&
           size.height <= kMaxDiagramSide;
}

platform::Result<DiagramSize> ReadDiagramHeader(std::string& document) {
    DiagramSize size;
    if (platform::Status read = ReadHeaderValue(document, "HEIGHT", size.height); !read)
        return read.Error();
    if (platform::Status read = ReadHeaderValue(document, "WIDTH", size.width); !read)
        return read.Error();
    return size;
}

platform::Status DrawDiagramStatements(DrawingContext& context, std::string_view statements) {
    while (!statements.empty()) {
        const std::size_t end = statements.find(';');
        const std::size_t length = end == std::string_view::npos ? statements.size() : end + 1;
        if (platform::Result<bool> drawn = DrawPrimitive(context, statements.substr(0, length));
            !drawn)
            return drawn.Error();
        statements.remove_prefix(length);
    }
    return platform::Done{};
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

platform::Status DrawDiagramDocument(DrawingContext& context, platform::Canvas& canvas,
                                     DiagramSize size, std::string_view statements,
                                     Color windowColor) {
    DrawDiagramFrame(canvas, size, windowColor);
    AttachCanvas(context, canvas);
    return DrawDiagramStatements(context, statements);
}

} // namespace diagram
