#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// A colour as the toolkit stores it: 0x00BBGGRR.
using Color = std::uint32_t;

constexpr Color Rgb(int red, int green, int blue) {
    return static_cast<Color>(red & 0xFF) | (static_cast<Color>(green & 0xFF) << 8) |
           (static_cast<Color>(blue & 0xFF) << 16);
}
constexpr int RedOf(Color c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(Color c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(Color c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

constexpr Color kBlack = Rgb(0, 0, 0);
constexpr Color kWhite = Rgb(255, 255, 255);

// Pen style codes: 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 clear
// (nothing drawn), 6 inside-frame.
enum PenStyle : int {
    kPenSolid = 0,
    kPenDash = 1,
    kPenDot = 2,
    kPenDashDot = 3,
    kPenDashDotDot = 4,
    kPenClear = 5,
    kPenInsideFrame = 6,
};

enum class BrushStyle { Solid, Clear, BDiagonal };

// A font request by name and size in points (96 pixels per inch, so 12 points are
// 16 pixels). The name "Symbol" is handled by the canvas itself: text in it is drawn
// and measured as the Greek letters and signs that font shows at those codes.
struct Font {
    std::string name = "MS Sans Serif";
    int size = 8;
    Color color = kBlack;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool operator==(const Font&) const = default;
};

// Points for a font asked for as "N pixels high".
int PointsForPixelHeight(int pixels);

// An abstract drawing surface with the toolkit's canvas semantics. The pen, brush and
// font state and its coupling rules live here once; a backend only draws what the
// state says. All text is CP1251 bytes.
class Canvas {
public:
    virtual ~Canvas() = default;

    // Pen. A negative width is ignored and the width stays.
    void SetPenColor(Color color) { penColor_ = color; }
    Color PenColor() const { return penColor_; }
    void SetPenWidth(int width);
    int PenWidth() const { return penWidth_; }
    void SetPenStyle(int style) { penStyle_ = style; }
    int PenStyle() const { return penStyle_; }

    // Brush. Setting a colour while the style is clear makes the style solid; setting
    // the clear style makes the colour white.
    void SetBrushColor(Color color);
    Color BrushColor() const { return brushColor_; }
    void SetBrushStyle(BrushStyle style);
    BrushStyle GetBrushStyle() const { return brushStyle_; }

    // Font.
    void SetFont(const Font& font) { font_ = font; }
    const Font& GetFont() const { return font_; }
    void SetFontName(const std::string& name) { font_.name = name; }
    void SetFontSize(int points) { font_.size = points; }
    void SetFontColor(Color color) { font_.color = color; }

    // Current position of MoveTo / LineTo.
    int PenX() const { return penX_; }
    int PenY() const { return penY_; }

    // Drawing. LineTo does not paint its end pixel and leaves it as the current
    // position. Rectangle and Ellipse outline with the pen and fill with the brush;
    // their right and bottom edges are exclusive, and swapped corners give the same
    // box. FillRect fills with the brush only. TextOut puts the top-left of the first
    // character cell at (x, y) and draws in the font's colour on the brush (nothing
    // behind the glyphs when the brush is clear).
    void MoveTo(int x, int y);
    virtual void LineTo(int x, int y) = 0;
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
    virtual void FillRect(int x1, int y1, int x2, int y2) = 0;
    virtual void TextOut(int x, int y, std::string_view text) = 0;
    virtual int TextWidth(std::string_view text) = 0;
    virtual int TextHeight(std::string_view text) = 0;

protected:
    void SetPenPosition(int x, int y) {
        penX_ = x;
        penY_ = y;
    }

private:
    Color penColor_ = kBlack;
    int penWidth_ = 1;
    int penStyle_ = kPenSolid;
    Color brushColor_ = kWhite;
    BrushStyle brushStyle_ = BrushStyle::Solid;
    Font font_;
    int penX_ = 0;
    int penY_ = 0;
};

} // namespace platform
