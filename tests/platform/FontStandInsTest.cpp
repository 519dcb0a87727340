#include "platform/FontStandIns.h"
#include "platform/SymbolFont.h"

#include <QFontInfo>
#include <QRawFont>

#include <gtest/gtest.h>

// Every family the windows ask for resolves to its installed stand-in, and that font
// draws the whole Russian alphabet and the digits itself.
TEST(FontStandInsTest, EveryRequestedFamilyGetsAStandInWithCyrillicAndDigits) {
    QString letters = QString::fromUtf8("ЁёЙй0123456789");
    for (char16_t c = u'А'; c <= u'я'; ++c)
        letters += QChar(c);
    std::vector<std::pair<QString, QString>> asked = {
        {platform::kSymbolSubstituteFamily, platform::kSymbolSubstituteFamily}};
    for (const platform::FontStandIn& font : platform::FontStandIns())
        asked.emplace_back(font.requested, font.standIns.front());
    for (const auto& [requested, expected] : asked) {
        QFont font(requested);
        font.setPixelSize(16);
        EXPECT_EQ(QFontInfo(font).family(), expected) << requested.toStdString();
        // Asked for by the family found at once, the same font comes.
        EXPECT_EQ(platform::InstalledFamily(requested), expected) << requested.toStdString();
        const QRawFont raw = QRawFont::fromFont(font);
        ASSERT_TRUE(raw.isValid()) << requested.toStdString();
        for (QChar c : letters)
            EXPECT_TRUE(raw.supportsCharacter(c)) << requested.toStdString() << " lacks U+"
                                                  << std::hex << static_cast<int>(c.unicode());
    }
}
