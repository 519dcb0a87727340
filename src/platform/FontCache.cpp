#include "platform/FontCache.h"

#include "platform/QtCanvas.h"

#include <QCoreApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <functional>

namespace platform {

namespace {

int ResolutionOf(const QPaintDevice* device) {
    return device != nullptr ? device->logicalDpiY() : 0;
}

QFontMetrics MetricsOn(const QFont& font, const QPaintDevice* device) {
    return device != nullptr ? QFontMetrics(font, device) : QFontMetrics(font);
}

} // namespace

FontFace::FontFace(const Font& font, const QPaintDevice* device)
    : request_(font), qfont_(ToQFont(font)), metrics_(MetricsOn(qfont_, device)) {
    charWidths_.fill(kUnknown);
}

int FontFace::TextWidth(std::string_view text) {
    const auto shaped = [this](std::string_view bytes) {
        return metrics_.horizontalAdvance(TextForFont(request_, bytes));
    };
    if (text.size() != 1)
        return shaped(text);
    int& width = charWidths_[static_cast<unsigned char>(text[0])];
    if (width == kUnknown)
        width = shaped(text);
    return width;
}

// drawText shapes the text as one line and puts each glyph at the pen position plus its
// offset; the layout gives the same glyphs with the line's ascent added to the offsets.
QList<QGlyphRun> FontFace::Shape(unsigned char byte) const {
    QTextLayout layout(
        TextForFont(request_, std::string_view(reinterpret_cast<const char*>(&byte), 1)), qfont_);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    QList<QGlyphRun> runs = line.glyphRuns();
    for (QGlyphRun& run : runs) {
        QList<QPointF> positions = run.positions();
        for (QPointF& position : positions)
            position.ry() -= line.ascent();
        run.setPositions(positions);
    }
    return runs;
}

bool FontFace::DrawCharacter(QPainter& painter, const QPointF& baseline, std::string_view text) {
    if (text.size() != 1 || qfont_.underline())
        return false;
    const auto byte = static_cast<unsigned char>(text[0]);
    if (byte < 0x20 || byte == 0x7F) // control characters are left to drawText
        return false;
    std::unique_ptr<QList<QGlyphRun>>& runs = charGlyphs_[byte];
    if (!runs)
        runs = std::make_unique<QList<QGlyphRun>>(Shape(byte));
    for (const QGlyphRun& run : std::as_const(*runs))
        painter.drawGlyphRun(baseline, run);
    return true;
}

std::size_t FontCache::KeyHash::operator()(const Key& key) const {
    std::size_t hash = std::hash<std::string>{}(key.name);
    for (int part : {key.size, key.style, key.dpi})
        hash = hash * 1000003u ^ std::hash<int>{}(part);
    return hash;
}

FontFace& FontCache::Face(const Font& font, const QPaintDevice* device) {
    Key key{font.name, font.size,
            (font.bold ? 1 : 0) | (font.italic ? 2 : 0) | (font.underline ? 4 : 0),
            ResolutionOf(device)};
    if (const auto found = faces_.find(key); found != faces_.end())
        return *found->second;
    if (faces_.size() >= kMaxFaces)
        faces_.clear();
    // The application object calls the routines given to it once, when it goes: the first
    // face made under each application asks it to empty the shared cache.
    if (emptiedWithApplication_ && !emptyingAsked_) {
        emptyingAsked_ = true;
        qAddPostRoutine([] {
            Shared().Clear();
            Shared().emptyingAsked_ = false;
        });
    }
    auto face = std::make_unique<FontFace>(font, device);
    FontFace& made = *face;
    faces_.emplace(std::move(key), std::move(face));
    return made;
}

FontCache& FontCache::Shared() {
    static FontCache cache = [] {
        FontCache shared;
        shared.emptiedWithApplication_ = true;
        return shared;
    }();
    return cache;
}

} // namespace platform
