#pragma once

#include "platform/Canvas.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include <memory>

class QPainter;
class QPaintDevice;

namespace platform {

struct CanvasBox;
class FontCache;
class FontFace;

QColor ToQColor(Color color);

// The Qt font a canvas font request is drawn with: the name as asked (fontconfig
// substitutes), the size in points at 96 pixels per inch so that drawings do not depend on
// the screen. A "Symbol" request gets the family that carries its Greek letters.
QFont ToQFont(const Font& font);

// Text as a canvas font shows it: CP1251 in ordinary fonts, the Symbol font's own
// characters when the font is "Symbol".
QString TextForFont(const Font& font, std::string_view bytes);

// An RGB32 image to draw on that is width x height in drawing coordinates and `ratio`
// device pixels per coordinate (the screen's device pixel ratio), marked with that ratio
// so that painters draw on it, and show it, in drawing coordinates.
QImage SurfaceImage(int width, int height, qreal ratio);

// The canvas on a QPainter. Shapes are drawn without antialiasing so that pixel geometry
// is exact: a line of width 1 leaves its end pixel unpainted, a box (x1, y1)-(x2, y2)
// covers x1..x2-1 and y1..y2-1. Dashed styles are drawn dashed at width 1 and solid when
// the pen is wider, as the toolkit's pens do. A surface marked with a device pixel ratio
// is drawn in its drawing coordinates at its full density: text and lines stay sharp.
//
// Fonts and their metrics come from the application's font cache. A canvas given no cache
// (nullptr) makes them anew for every call: the plain measure the cache must agree with.
class QtCanvas : public Canvas {
public:
    // Paints on the device (a QImage, or a widget inside its paint event) with a painter
    // of its own, active while the canvas lives.
    explicit QtCanvas(QPaintDevice* device, FontCache* fonts = SharedFonts());
    // Paints through a painter that is already active; its state is restored afterwards.
    explicit QtCanvas(QPainter& painter, FontCache* fonts = SharedFonts());
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    // The application's font cache on the application's thread; none (plain measuring)
    // on any other thread, whose canvases must not share it.
    static FontCache* SharedFonts();

    void LineTo(int x, int y) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void FillRect(int x1, int y1, int x2, int y2) override;
    void TextOut(int x, int y, std::string_view text) override;
    int TextWidth(std::string_view text) override;
    int TextHeight(std::string_view text) override;

    QPainter& Painter() { return *painter_; }

private:
    FontFace& Face();

    bool PenDraws() const;
    // The surface has more pixels than drawing coordinates (a high-density screen).
    bool Dense() const;
    void UsePen();
    void UseBrush();
    void OutlineBox(const CanvasBox& box, bool ellipse);
    void FillBox(const CanvasBox& box);
    void ThinLine(int x0, int y0, int x1, int y1);
    bool WideLineMayShow(int x0, int y0, int x1, int y1) const;
    QImage* PlainImage() const;
    QRect VisibleArea() const;

    std::unique_ptr<QPainter> ownPainter_;
    QPainter* painter_;
    FontCache* fonts_;
    std::unique_ptr<FontFace> plainFace_; // the face of the last call without a cache
};

} // namespace platform
