#pragma once

#include "diagram/DrawingBudget.h"
#include "platform/Canvas.h"
#include "platform/Result.h"

#include <string>
#include <string_view>

namespace diagram {

using platform::Color;

// The drawing context of one drawing surface: the task view and the animation window own
// one each. Only the canvas and the three saved values carry over from one statement to
// the next; everything a statement computes is its own.
struct DrawingContext {
    platform::Canvas* canvas = nullptr;
    std::string SavedFontName;
    int SavedFontSize = 0;
    Color SavedBrushColor = platform::kWhite;
    double pi = 3.141592653589793;
    // The statement being interpreted, cut into its keyword and parameter text.
    std::string keyword;
    std::string params;
    // What is left of the work the current picture may cost.
    DrawingBudget budget;
};

// Colour from its three components, one byte each: red + green*256 + blue*65536.
constexpr Color MakeColor(int red, int green, int blue) {
    return platform::Rgb(red, green, blue);
}

// The field and frame of a drawing surface; the light body; the dark rim of a wheel.
constexpr Color FrameColor = MakeColor(195, 220, 98);
constexpr Color BodyColor = MakeColor(206, 228, 195);
constexpr Color RimColor = MakeColor(0, 163, 149);

// No canvas, empty texts.
void InitContext(DrawingContext& context);

// Binds the context to a canvas and captures the canvas's font name, font size and brush
// colour: the primitives return to them after drawing. A new picture starts (see
// StartPicture).
void AttachCanvas(DrawingContext& context, platform::Canvas& canvas);

// Gives the picture about to be drawn its whole work budget: the task view does it for each
// diagram, the animation for each frame.
void StartPicture(DrawingContext& context);

// Font name and size back to the captured ones (when a canvas is attached and a name was
// captured).
void RestoreFont(DrawingContext& context);

// The "Symbol" font, 6 points larger than the current font.
void SelectGreekFont(DrawingContext& context);

// Interprets one statement, keyword(parameters) with or without a final ";", on the
// attached canvas. Returns true when the keyword was recognised and its primitive ran;
// a statement without "(" or with an unknown keyword draws nothing and gives false, as
// does any statement while no canvas is attached. A bad parameter fails the statement
// (ErrorCode::Parameter, with the conversion or range error) and stops it where it
// failed: what it drew and the pen, brush and font it had already set stay. Every
// statement, recognised or not, is paid from the picture's budget: one past it fails with
// kPictureTooComplex (ErrorCode::TooComplex) and draws nothing.
[[nodiscard]] platform::Result<bool> DrawPrimitive(DrawingContext& context,
                                                   std::string_view statement);

// DrawPrimitive for a statement already paid for with SpendStatement: the animation pays
// for the text of a statement before it puts the values of its names in.
[[nodiscard]] platform::Result<bool> InterpretPrimitive(DrawingContext& context,
                                                        std::string_view statement);

} // namespace diagram
