#pragma once

#include "platform/Canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QList>

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

class QPaintDevice;
class QPainter;
class QPointF;

namespace platform {

// A canvas font as Qt draws it on surfaces of one resolution: the QFont, its metrics, and
// the width and glyphs of each single character, shaped the first time they are asked for.
class FontFace {
public:
    FontFace(const Font& font, const QPaintDevice* device);

    const QFont& QtFont() const { return qfont_; }
    int Ascent() const { return metrics_.ascent(); }
    int Height() const { return metrics_.height(); }

    // The advance of a text (CP1251, or the Symbol font's codes) shaped as a whole, as
    // QFontMetrics gives it; a single character's comes from the table.
    int TextWidth(std::string_view text);

    // Draws a single printable character with its pen position on the baseline at
    // `baseline`, from the glyphs shaped the first time, in the painter's pen. The pixels are
    // those of QPainter::drawText in this font, which shapes the text on every call. False
    // (nothing drawn) for any other text, and in an underlined font.
    bool DrawCharacter(QPainter& painter, const QPointF& baseline, std::string_view text);

private:
    static constexpr int kUnknown = -1;

    // The glyph runs of a character as drawText lays them out, at pen position (0, 0).
    QList<QGlyphRun> Shape(unsigned char byte) const;

    Font request_;
    QFont qfont_;
    QFontMetrics metrics_;
    std::array<int, 256> charWidths_;
    std::array<std::unique_ptr<QList<QGlyphRun>>, 256> charGlyphs_;
};

// The faces of the canvas fonts, made once per name, size, style and resolution and kept
// for the whole run. A face stays valid until the next call of Face: a surface that asks
// for more than kMaxFaces different fonts (a diagram may ask for any size) makes the cache
// start afresh rather than grow. The cache belongs to the GUI thread.
class FontCache {
public:
    static constexpr std::size_t kMaxFaces = 64;

    FontFace& Face(const Font& font, const QPaintDevice* device);
    std::size_t Size() const { return faces_.size(); }
    void Clear() { faces_.clear(); }

    // The application's cache. It is emptied when the application object goes, since
    // fonts may not outlive it.
    static FontCache& Shared();

private:
    struct Key {
        std::string name;
        int size;
        int style; // bold, italic and underline as bits
        int dpi;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };

    std::unordered_map<Key, std::unique_ptr<FontFace>, KeyHash> faces_;
    bool emptiedWithApplication_ = false; // the shared cache
    bool emptyingAsked_ = false;          // of the application object that runs now
};

} // namespace platform
