#include "platform/QtCanvas.h"

#include "platform/FontStandIns.h"

#include "platform/DashPattern.h"
#include "platform/FontCache.h"
#include "platform/QtText.h"
#include "platform/SymbolFont.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace platform {

namespace {

// Fonts beyond this many pixels are drawn at this size: nothing on a surface needs more.
constexpr double kMaxPixelSize = 1000;

int PixelSizeForPoints(int points) {
    return static_cast<int>(std::lround(std::clamp(points * 96.0 / 72.0, 1.0, kMaxPixelSize)));
}

} // namespace

// A box in 64 bits, so that its size never overflows whatever the corners.
struct CanvasBox {
    std::int64_t left, top, right, bottom;
    std::int64_t Width() const { return right - left; }
    std::int64_t Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }

    // The box cut down to `area` widened by `margin` on every side: what lies beyond
    // does not show, and what is left fits a QRect.
    CanvasBox ClippedTo(const QRect& area, int margin) const {
        return {std::max<std::int64_t>(left, area.left() - margin),
                std::max<std::int64_t>(top, area.top() - margin),
                std::min<std::int64_t>(right, std::int64_t{area.right()} + 1 + margin),
                std::min<std::int64_t>(bottom, std::int64_t{area.bottom()} + 1 + margin)};
    }
    QRect ToQRect() const {
        return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(Width()),
                     static_cast<int>(Height()));
    }
};

namespace {

CanvasBox NormalBox(int x1, int y1, int x2, int y2) {
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

} // namespace

QColor ToQColor(Color color) {
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

QFont ToQFont(const Font& font) {
    QFont qfont(IsSymbolFontName(font.name) ? QString(kSymbolSubstituteFamily)
                                            : InstalledFamily(ToQString(font.name)));
    qfont.setPixelSize(PixelSizeForPoints(font.size));
    qfont.setBold(font.bold);
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    return qfont;
}

QString TextForFont(const Font& font, std::string_view bytes) {
    if (!IsSymbolFontName(font.name))
        return ToQString(bytes);
    const std::u32string unicode = SymbolTextToUnicode(bytes);
    return QString::fromUcs4(unicode.data(), static_cast<qsizetype>(unicode.size()));
}

QImage SurfaceImage(int width, int height, qreal ratio) {
    if (ratio == 1.0)
        return QImage(width, height, QImage::Format_RGB32);
    QImage image(static_cast<int>(std::ceil(width * ratio)),
                 static_cast<int>(std::ceil(height * ratio)), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return image;
}

QtCanvas::QtCanvas(QPaintDevice* device, FontCache* fonts)
    : ownPainter_(std::make_unique<QPainter>(device)), painter_(ownPainter_.get()), fonts_(fonts) {
    painter_->setRenderHint(QPainter::Antialiasing, false);
}

QtCanvas::QtCanvas(QPainter& painter, FontCache* fonts) : painter_(&painter), fonts_(fonts) {
    painter_->save();
    painter_->setRenderHint(QPainter::Antialiasing, false);
}

QtCanvas::~QtCanvas() {
    if (!ownPainter_)
        painter_->restore();
}

// The shared cache belongs to the application's thread. A canvas drawn on another thread
// (the server draws task pictures for its web pages on workers) measures and draws
// plainly, with the same pixels.
FontCache* QtCanvas::SharedFonts() {
    const QCoreApplication* application = QCoreApplication::instance();
    if (application != nullptr && QThread::currentThread() != application->thread())
        return nullptr;
    return &FontCache::Shared();
}

// The face of the canvas's font on this surface.
FontFace& QtCanvas::Face() {
    if (fonts_ != nullptr)
        return fonts_->Face(GetFont(), painter_->device());
    plainFace_ = std::make_unique<FontFace>(GetFont(), painter_->device());
    return *plainFace_;
}

bool QtCanvas::PenDraws() const {
    return PenStyle() != kPenClear;
}

// The pen for outlines and wide lines (one-pixel lines are stepped by ThinLine): width 0
// and 1 are the one-pixel cosmetic pen with the toolkit's dashes; wider pens are solid
// with round ends and joins.
void QtCanvas::UsePen() {
    QPen pen(ToQColor(PenColor()));
    const int width = std::max(1, PenWidth());
    if (width == 1) {
        if (Dense()) {
            // On a surface denser than its drawing coordinates the pen covers one drawing
            // pixel, scaled as the pens of every other width are, with square corners.
            pen.setWidth(1);
            pen.setJoinStyle(Qt::MiterJoin);
        } else {
            pen.setWidth(0);
            pen.setCosmetic(true);
        }
        pen.setCapStyle(Qt::FlatCap);
        const QList<qreal> dashes = DashPattern(PenStyle());
        if (!dashes.isEmpty())
            pen.setDashPattern(dashes);
    } else {
        pen.setWidth(width);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }
    painter_->setPen(PenDraws() ? pen : QPen(Qt::NoPen));
}

void QtCanvas::UseBrush() {
    switch (GetBrushStyle()) {
    case BrushStyle::Solid:
        painter_->setBrush(ToQColor(BrushColor()));
        break;
    case BrushStyle::BDiagonal:
        painter_->setBrush(QBrush(ToQColor(BrushColor()), Qt::BDiagPattern));
        break;
    case BrushStyle::Clear:
        painter_->setBrush(Qt::NoBrush);
        break;
    }
    painter_->setBackgroundMode(Qt::TransparentMode);
}

void QtCanvas::LineTo(int x, int y) {
    if (PenDraws() && (x != PenX() || y != PenY())) {
        if (PenWidth() <= 1) {
            ThinLine(PenX(), PenY(), x, y);
        } else if (WideLineMayShow(PenX(), PenY(), x, y)) {
            UsePen();
            painter_->drawLine(PenX(), PenY(), x, y);
        }
    }
    SetPenPosition(x, y);
}

bool QtCanvas::Dense() const {
    const QPaintDevice* device = painter_->device();
    return device != nullptr && device->devicePixelRatio() != 1.0;
}

// The part of the surface that can show anything, in drawing coordinates.
QRect QtCanvas::VisibleArea() const {
    const QPaintDevice* device = painter_->device();
    if (device == nullptr)
        return {};
    // A surface denser than its drawing coordinates is that many times fewer of them.
    const qreal ratio = device->devicePixelRatio();
    const QRect surface(0, 0, static_cast<int>(std::ceil(device->width() / ratio)),
                        static_cast<int>(std::ceil(device->height() / ratio)));
    if (painter_->transform().isIdentity())
        return surface.adjusted(-1, -1, 1, 1);
    bool invertible = false;
    const QTransform back = painter_->transform().inverted(&invertible);
    if (!invertible)
        return {};
    return back.mapRect(surface).adjusted(-1, -1, 1, 1);
}

// Whether a wide line can touch the surface: the box of its ends, grown by half the pen
// and its round cap, meets what the surface shows. A picture may draw thousands of short
// wide segments far off the surface (an arc of a huge radius); each would otherwise cost
// the painter a whole stroke.
bool QtCanvas::WideLineMayShow(int x0, int y0, int x1, int y1) const {
    const QRect area = VisibleArea();
    if (area.isEmpty())
        return false;
    const std::int64_t reach = PenWidth() / 2 + 2;
    return std::int64_t{std::min(x0, x1)} - reach <= area.right() &&
           std::int64_t{std::max(x0, x1)} + reach >= area.left() &&
           std::int64_t{std::min(y0, y1)} - reach <= area.bottom() &&
           std::int64_t{std::max(y0, y1)} + reach >= area.top();
}

// A one-pixel line, pixel by pixel from its start, without its end pixel, whichever way
// it runs. Along the major axis step i lies at start + i; the minor axis follows the
// rounded slope, so each pixel is found from i alone: only the steps that fall on the
// surface are visited, however long the line, and dashes keep their phase. A half step
// rounds toward the start, so no pixel but the unpainted end lies on the end's row or
// column.
void QtCanvas::ThinLine(int x0, int y0, int x1, int y1) {
    const QRect area = VisibleArea();
    if (area.isEmpty())
        return;
    const std::int64_t dx = std::int64_t{x1} - x0, dy = std::int64_t{y1} - y0;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const std::int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    const std::int64_t steps = std::llabs(major), minorSpan = std::llabs(minor);
    const int majorSign = major > 0 ? 1 : -1, minorSign = minor >= 0 ? 1 : -1;
    const std::int64_t majorStart = xMajor ? x0 : y0, minorStart = xMajor ? y0 : x0;
    const std::int64_t low = xMajor ? area.left() : area.top();
    const std::int64_t high = xMajor ? area.right() : area.bottom();
    const std::int64_t first =
        std::max<std::int64_t>(0, majorSign > 0 ? low - majorStart : majorStart - high);
    const std::int64_t last =
        std::min<std::int64_t>(steps - 1, majorSign > 0 ? high - majorStart : majorStart - low);
    const QList<qreal> dashes = DashPattern(PenStyle());
    qreal period = 0;
    for (qreal d : dashes)
        period += d;

    QList<QPoint> pixels;
    pixels.reserve(static_cast<qsizetype>(std::max<std::int64_t>(0, last - first + 1)));
    for (std::int64_t i = first; i <= last; ++i) {
        if (period > 0 && !DashIsOn(dashes, static_cast<qreal>(i % static_cast<int>(period))))
            continue;
        const __int128 twice = static_cast<__int128>(2) * i * minorSpan + steps - 1;
        const auto offset = static_cast<std::int64_t>(twice / (2 * static_cast<__int128>(steps)));
        const std::int64_t m = majorStart + majorSign * i;
        const std::int64_t n = minorStart + minorSign * offset;
        const QPoint pixel(static_cast<int>(xMajor ? m : n), static_cast<int>(xMajor ? n : m));
        if (area.contains(pixel))
            pixels.push_back(pixel);
    }
    if (QImage* image = PlainImage()) {
        // What drawing the points gives, written straight into the image.
        const QRgb colour = ToQColor(PenColor()).rgba();
        const QRect bounds = image->rect();
        for (const QPoint& pixel : std::as_const(pixels))
            if (bounds.contains(pixel))
                reinterpret_cast<QRgb*>(
                    const_cast<uchar*>(image->constScanLine(pixel.y())))[pixel.x()] = colour;
        return;
    }
    if (Dense()) {
        // Each drawing pixel is a square of the denser surface's pixels.
        QList<QRect> squares;
        squares.reserve(pixels.size());
        for (const QPoint& pixel : std::as_const(pixels))
            squares.push_back(QRect(pixel, QSize(1, 1)));
        painter_->setPen(Qt::NoPen);
        painter_->setBrush(ToQColor(PenColor()));
        painter_->drawRects(squares.constData(), static_cast<int>(squares.size()));
        return;
    }
    QPen pen(ToQColor(PenColor()), 0);
    pen.setCapStyle(Qt::SquareCap);
    painter_->setPen(pen);
    painter_->drawPoints(pixels.constData(), static_cast<int>(pixels.size()));
}

// The painter's own image when opaque pixels may be written into it directly with the
// result the painter would give: 32-bit pixels, one per drawing pixel, no transform, no clipping,
// no antialiasing, full opacity, source-over. The pixels are written where the painter writes,
// without detaching the image. Null for any other painter.
QImage* QtCanvas::PlainImage() const {
    QPaintDevice* device = painter_->device();
    if (device == nullptr || device->devType() != QInternal::Image)
        return nullptr;
    auto* image = static_cast<QImage*>(device);
    const QImage::Format format = image->format();
    const bool plainFormat = format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
                             format == QImage::Format_ARGB32_Premultiplied;
    const bool plainPainter = image->devicePixelRatio() == 1.0 &&
                              painter_->transform().isIdentity() && !painter_->hasClipping() &&
                              painter_->opacity() == 1.0 &&
                              !painter_->testRenderHint(QPainter::Antialiasing) &&
                              painter_->compositionMode() == QPainter::CompositionMode_SourceOver;
    return plainFormat && plainPainter ? image : nullptr;
}

// The outline runs through the outermost pixels of the box; an inside-frame pen is
// pulled in so that its outer edge stays on the box. A rectangle's outline is cut to the
// visible area with room for the pen, so that its hidden edges stay hidden.
void QtCanvas::OutlineBox(const CanvasBox& box, bool ellipse) {
    const int width = std::max(1, PenWidth());
    const std::int64_t inset = PenStyle() == kPenInsideFrame ? (width - 1) / 2 : 0;
    CanvasBox path{box.left + inset, box.top + inset, box.right - 1 - inset,
                   box.bottom - 1 - inset};
    if (path.right < path.left || path.bottom < path.top)
        return;
    UsePen();
    painter_->setBrush(Qt::NoBrush);
    // On a denser surface the one-pixel pen is centred on the drawing pixels it covers.
    const qreal centre = Dense() && width == 1 ? 0.5 : 0.0;
    if (ellipse) {
        painter_->drawEllipse(
            QRectF(static_cast<qreal>(path.left) + centre, static_cast<qreal>(path.top) + centre,
                   static_cast<qreal>(path.Width()), static_cast<qreal>(path.Height())));
        return;
    }
    path = path.ClippedTo(VisibleArea(), width + 2);
    if (path.right < path.left || path.bottom < path.top)
        return;
    if (centre == 0.0)
        painter_->drawRect(path.ToQRect());
    else
        painter_->drawRect(QRectF(path.ToQRect()).translated(centre, centre));
}

void QtCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    const CanvasBox box = NormalBox(x1, y1, x2, y2);
    if (box.IsEmpty())
        return;
    FillBox(box);
    if (PenDraws())
        OutlineBox(box, false);
}

void QtCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    const CanvasBox box = NormalBox(x1, y1, x2, y2);
    const int margin = std::max(1, PenWidth()) + 2;
    if (box.IsEmpty() || box.ClippedTo(VisibleArea(), margin).IsEmpty())
        return;
    if (GetBrushStyle() != BrushStyle::Clear) {
        painter_->setPen(Qt::NoPen);
        UseBrush();
        QPainterPath path;
        path.addEllipse(QRectF(static_cast<qreal>(box.left), static_cast<qreal>(box.top),
                               static_cast<qreal>(box.Width()), static_cast<qreal>(box.Height())));
        painter_->drawPath(path);
    }
    if (PenDraws())
        OutlineBox(box, true);
}

void QtCanvas::FillRect(int x1, int y1, int x2, int y2) {
    FillBox(NormalBox(x1, y1, x2, y2));
}

void QtCanvas::FillBox(const CanvasBox& box) {
    const CanvasBox shown = box.ClippedTo(VisibleArea(), 0);
    if (shown.IsEmpty() || GetBrushStyle() == BrushStyle::Clear)
        return;
    UseBrush();
    painter_->fillRect(shown.ToQRect(), painter_->brush());
}

// The text cell is the font's ascent plus descent high; a solid brush paints behind it.
// Text that starts beyond the surface is not drawn.
void QtCanvas::TextOut(int x, int y, std::string_view text) {
    FontFace& face = Face();
    const CanvasBox cell{x, y, std::int64_t{x} + face.TextWidth(text),
                         std::int64_t{y} + face.Height()};
    const QRect visible = VisibleArea();
    if (cell.ClippedTo(visible, 0).IsEmpty())
        return;
    if (GetBrushStyle() == BrushStyle::Solid)
        painter_->fillRect(cell.ClippedTo(visible, 0).ToQRect(), ToQColor(BrushColor()));
    painter_->setPen(ToQColor(GetFont().color));
    const QPointF baseline(x, static_cast<qreal>(y) + face.Ascent());
    // A cached face draws a text drawn before from the glyphs it shaped then; a text drawn
    // the first time, and every text of the plain measure, is shaped as it is drawn.
    if (fonts_ != nullptr && face.DrawShaped(*painter_, baseline, text))
        return;
    painter_->setFont(face.QtFont());
    painter_->drawText(baseline, TextForFont(GetFont(), text));
}

int QtCanvas::TextWidth(std::string_view text) {
    return Face().TextWidth(text);
}

int QtCanvas::TextHeight(std::string_view) {
    return Face().Height();
}

} // namespace platform
