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
// the width and glyphs of each text, shaped the first time they are asked for (a formula
// is drawn a character at a time; a statement is wrapped by measuring its lines'
// beginnings, and wrapped and drawn again whenever the pane changes).
class FontFace {
public:
    FontFace(const Font& font, const QPaintDevice* device);

    const QFont& QtFont() const { return qfont_; }
    int Ascent() const { return metrics_.ascent(); }
    int Height() const { return metrics_.height(); }

    // The advance of a text (CP1251, or the Symbol font's codes) shaped as a whole, as
    // QFontMetrics gives it.
    int TextWidth(std::string_view text);

    // Draws a text of printable characters with its pen position on the baseline at
    // `baseline`, from its glyphs shaped once, in the painter's pen. The pixels are those of
    // QPainter::drawText in this font, which shapes the text on every call. False (nothing
    // drawn) for a text with a control character, in an underlined font, and the first time
    // a text is drawn: shaping it for drawing again costs more than drawText does once, and
    // most texts are drawn once (a statement's lines are wrapped anew when the pane's width
    // changes).
    bool DrawShaped(QPainter& painter, const QPointF& baseline, std::string_view text);

    // Forgets every text measured or shaped; the font and its metrics stay.
    void ForgetTexts();

private:
    // What is known of a text in this font.
    struct Shaped {
        int width = -1; // -1: not measured yet
        bool drawn = false;
        std::unique_ptr<QList<QGlyphRun>> glyphs;
    };
    // Texts other than single characters are forgotten together once they weigh this
    // much: their bytes, and a glyph's worth of memory for each byte drawn.
    static constexpr std::size_t kMaxRememberedWeight = 1 << 19;
    static constexpr std::size_t kGlyphWeight = 32;

    Shaped& Remembered(std::string_view text);
    void Weigh(std::size_t weight);
    // The glyph runs of a text as drawText lays them out, at pen position (0, 0).
    QList<QGlyphRun> Shape(std::string_view text) const;

    Font request_;
    QFont qfont_;
    QFontMetrics metrics_;
    std::array<Shaped, 256> characters_;
    std::unordered_map<std::string, Shaped> texts_;
    std::size_t rememberedWeight_ = 0;
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
    // Forgets the texts of every face and keeps the faces: as for texts never shown.
    void ForgetTexts();

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
