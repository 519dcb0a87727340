// Labels: text in the current font, and Greek letters in the Symbol font.

#include "diagram/DrawingContext.h"
#include "diagram/Primitives.h"
#include "diagram/StatementParams.h"

namespace diagram {

namespace {

constexpr int kTextEnlargement = 2;

struct Label {
    int x, y;
};

Label ReadPosition(StatementParams& params) {
    Label label{};
    label.x = params.NextInt();
    label.y = params.NextInt();
    return label;
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

// The text parameter may be enclosed in double or single quotes: an opening quote is
// removed, then the first double quote of the rest (or, with none, its first single
// quote). What follows that quote stays part of the text. An empty text is a range error.
platform::Result<std::string> Unquote(std::string_view rest) {
    const platform::Result<char> first = FirstCharOf(rest, "the text of the label");
    if (!first)
        return first.Error();
    std::string text(rest);
    if (IsQuote(*first))
        text.erase(0, 1);
    std::size_t closing = text.find('"');
    if (closing == std::string::npos)
        closing = text.find('\'');
    if (closing != std::string::npos)
        text.erase(closing, 1);
    return text;
}

} // namespace

platform::Status DrawTextStatement(DrawingContext& context, std::string_view paramText) {
    StatementParams params(paramText);
    const Label label = ReadPosition(params);
    if (!params.Ok())
        return params.Error();
    const platform::Result<std::string> text = Unquote(params.Rest());
    if (!text)
        return text.Error();
    platform::Canvas& canvas = *context.canvas;
    canvas.SetBrushStyle(platform::BrushStyle::Clear);
    canvas.SetFontSize(canvas.GetFont().size + kTextEnlargement);
    canvas.TextOut(label.x, label.y, *text);
    canvas.SetFontSize(canvas.GetFont().size - kTextEnlargement);
    return platform::Done{};
}

// The Symbol font is selected before the text is read, so an empty text leaves it
// selected; after drawing the font returns to the one captured at attach time.
platform::Status DrawGreekText(DrawingContext& context, std::string_view paramText) {
    StatementParams params(paramText);
    const Label label = ReadPosition(params);
    if (!params.Ok())
        return params.Error();
    SelectGreekFont(context);
    const platform::Result<std::string> text = Unquote(params.Rest());
    if (!text)
        return text.Error();
    platform::Canvas& canvas = *context.canvas;
    canvas.SetBrushStyle(platform::BrushStyle::Clear);
    canvas.TextOut(label.x, label.y, *text);
    RestoreFont(context);
    return platform::Done{};
}

} // namespace diagram
