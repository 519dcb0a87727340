#include "platform/FontCache.h"
#include "platform/QtCanvas.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <string>

using namespace platform;

namespace {

// A character drawn alone into a small image, the way a canvas with or without the font
// cache draws it (the plain canvas makes its font anew and shapes the text on every call).
struct Drawn {
    QImage image;
    int width = 0;
    int height = 0;
};

Drawn DrawAlone(const Font& font, const std::string& text, FontCache* fonts) {
    Drawn drawn{QImage(60, 48, QImage::Format_RGB32)};
    drawn.image.fill(Qt::white);
    QtCanvas canvas(&drawn.image, fonts);
    canvas.SetFont(font);
    canvas.SetBrushStyle(BrushStyle::Clear);
    canvas.TextOut(4, 3, text);
    drawn.width = canvas.TextWidth(text);
    drawn.height = canvas.TextHeight(text);
    return drawn;
}

} // namespace

// The cache keeps what the fonts of this machine give: every character of the code page,
// in the fonts the client draws with (Greek letters and the Symbol font's signs among them,
// some from a fallback font), looks and measures the same as drawn plainly.
TEST(FontCacheTest, EveryCharacterDrawsAndMeasuresAsPlainDrawingDoes) {
    FontCache cache;
    const Font fonts[] = {
        {"MS Sans Serif", 14}, {"MS Sans Serif", 10, Rgb(0, 0, 255)},       {"Symbol", 14},
        {"Symbol", 10},        {"Times New Roman", 12, kBlack, true, true},
    };
    for (const Font& font : fonts) {
        for (int code = 0x20; code <= 0xFF; ++code) {
            const std::string text(1, static_cast<char>(code));
            const Drawn cached = DrawAlone(font, text, &cache);
            const Drawn again = DrawAlone(font, text, &cache); // from the glyphs shaped once
            const Drawn plain = DrawAlone(font, text, nullptr);
            EXPECT_TRUE(cached.image == plain.image)
                << font.name << " " << font.size << " " << code;
            EXPECT_TRUE(again.image == plain.image) << font.name << " " << font.size << " " << code;
            EXPECT_EQ(cached.width, plain.width) << font.name << " " << code;
            EXPECT_EQ(cached.height, plain.height) << font.name << " " << code;
        }
        // Longer texts are shaped whole, kerning included.
        DrawAlone(font, "AVA To\xEF\xF0", &cache);
        const Drawn cached = DrawAlone(font, "AVA To\xEF\xF0", &cache);
        const Drawn plain = DrawAlone(font, "AVA To\xEF\xF0", nullptr);
        EXPECT_TRUE(cached.image == plain.image) << font.name;
        EXPECT_EQ(cached.width, plain.width) << font.name;
    }
    // Drawing the same again from the cache changes nothing.
    EXPECT_TRUE(DrawAlone(fonts[0], "g", &cache).image == DrawAlone(fonts[0], "g", &cache).image);
}

TEST(FontCacheTest, OneFacePerFontAndSurfaceResolutionAndTheCacheStaysBounded) {
    FontCache cache;
    QImage surface(4, 4, QImage::Format_RGB32);
    const Font font{"Arial", 12};
    FontFace* face = &cache.Face(font, &surface);
    EXPECT_EQ(&cache.Face(font, &surface), face);
    // The colour is the pen's business, not the font's.
    EXPECT_EQ(&cache.Face(Font{"Arial", 12, Rgb(255, 0, 0)}, &surface), face);
    EXPECT_EQ(cache.Size(), 1u);
    cache.Face(Font{"Arial", 12, kBlack, true}, &surface);
    cache.Face(Font{"Arial", 13}, &surface);
    QImage finer(4, 4, QImage::Format_RGB32);
    finer.setDotsPerMeterY(surface.dotsPerMeterY() * 2);
    cache.Face(font, &finer);
    EXPECT_EQ(cache.Size(), 4u);
    // Forgetting the texts keeps the faces, which measure as before.
    const int width = face->TextWidth("AVA");
    cache.ForgetTexts();
    EXPECT_EQ(&cache.Face(font, &surface), face);
    EXPECT_EQ(face->TextWidth("AVA"), width);
    // A diagram may ask for any number of sizes: the cache starts afresh instead of growing.
    for (int size = 1; size <= 300; ++size) {
        cache.Face(Font{"Arial", size}, &surface);
        EXPECT_LE(cache.Size(), FontCache::kMaxFaces);
    }
}
