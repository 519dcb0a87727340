#pragma once

// Draws diagram statements on a QImage through QtCanvas and probes its pixels.

#include "diagram/DiagramDocument.h"
#include "diagram/DrawingContext.h"
#include "platform/QtCanvas.h"

#include <QImage>
#include <QRect>

#include <memory>
#include <string_view>

namespace diagram_test {

using platform::Color;

constexpr Color kPaper = platform::Rgb(250, 250, 250);
constexpr Color kBlue = platform::Rgb(0, 0, 255);
constexpr Color kRed = platform::Rgb(255, 0, 0);
constexpr Color kWhite = platform::kWhite;
constexpr Color kBlack = platform::kBlack;

// A 200 x 200 surface in the paper colour with a context attached to its canvas; the
// canvas's brush is left clear, as the task view leaves it, so the captured colour is white.
class Surface {
public:
    Surface() : image(200, 200, QImage::Format_RGB32) {
        image.fill(QColor(250, 250, 250));
        canvas = std::make_unique<platform::QtCanvas>(&image);
        canvas->SetBrushStyle(platform::BrushStyle::Clear);
        diagram::InitContext(context);
        diagram::AttachCanvas(context, *canvas);
    }

    // Whether the statement was recognised and drawn.
    bool Draw(std::string_view statement) {
        const platform::Result<bool> drawn = diagram::DrawPrimitive(context, statement);
        return drawn && *drawn;
    }

    // Ends painting; the canvas must not be used afterwards.
    const QImage& Finish() {
        canvas.reset();
        return image;
    }

    QImage image;
    std::unique_ptr<platform::QtCanvas> canvas;
    diagram::DrawingContext context;
};

inline Color At(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return platform::Rgb(qRed(p), qGreen(p), qBlue(p));
}

inline int CountOf(const QImage& image, Color color, QRect area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += At(image, x, y) == color;
    return n;
}

// Pixels in `area` that are not the paper colour.
inline int Inked(const QImage& image, QRect area) {
    return area.width() * area.height() - CountOf(image, kPaper, area);
}

// The smallest rectangle holding every pixel that is not paper (empty when none).
inline QRect InkBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (At(image, x, y) != kPaper)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace diagram_test
