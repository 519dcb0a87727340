#include "platform/FontCache.h"

#include "platform/QtCanvas.h"

#include <QCoreApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
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
    : request_(font), qfont_(ToQFont(font)), metrics_(MetricsOn(qfont_, device)) {}

FontFace::Shaped& FontFace::Remembered(std::string_view text) {
    if (text.size() == 1)
        return characters_[static_cast<unsigned char>(text[0])];
    std::string key(text);
    if (const auto found = texts_.find(key); found != texts_.end())
        return found->second;
    Weigh(text.size());
    return texts_[std::move(key)];
}

void FontFace::Weigh(std::size_t weight) {
    if (rememberedWeight_ + weight > kMaxRememberedWeight) {
        texts_.clear();
        rememberedWeight_ = 0;
    }
    rememberedWeight_ += weight;
}

int FontFace::TextWidth(std::string_view text) {
    if (text.empty())
        return 0;
    Shaped& shaped = Remembered(text);
    if (shaped.width < 0)
        shaped.width = metrics_.horizontalAdvance(TextForFont(request_, text));
    return shaped.width;
}

// drawText shapes the text as one line and puts each glyph at the pen position plus its
// offset; the layout gives the same glyphs with the line's ascent added to the offsets.
QList<QGlyphRun> FontFace::Shape(std::string_view text) const {
    QTextLayout layout(TextForFont(request_, text), qfont_);
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

bool FontFace::DrawShaped(QPainter& painter, const QPointF& baseline, std::string_view text) {
    const bool printable = std::all_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x20 && byte != 0x7F;
    });
    if (text.empty() || !printable || qfont_.underline())
        return false;
    // A text measured but never drawn may be forgotten while its glyphs are weighed.
    Shaped* shaped = &Remembered(text);
    if (!shaped->drawn) {
        shaped->drawn = true;
        return false;
    }
    if (!shaped->glyphs) {
        if (text.size() > 1) {
            Weigh(text.size() * kGlyphWeight);
            shaped = &Remembered(text);
        }
        shaped->glyphs = std::make_unique<QList<QGlyphRun>>(Shape(text));
    }
    for (const QGlyphRun& run : std::as_const(*shaped->glyphs))
        painter.drawGlyphRun(baseline, run);
    return true;
}

void FontFace::ForgetTexts() {
    characters_ = {};
    texts_.clear();
    rememberedWeight_ = 0;
}

void FontCache::ForgetTexts() {
    for (auto& [key, face] : faces_)
        face->ForgetTexts();
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
