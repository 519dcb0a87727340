#include "platform/Cp1251.h"
#include "platform/QtText.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Cp1251Test, RoundTripsEveryAssignedByte) {
    for (int b = 1; b < 256; ++b) {
        if (b == 0x98)
            continue; // unassigned in CP1251
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(one)), one) << b;
        EXPECT_EQ(ToCp1251(ToQString(one)), one) << b;
    }
}

TEST(Cp1251Test, CyrillicAndSignsMapToTheirCodes) {
    EXPECT_EQ(Utf8ToCp1251("Ошибка"), "\xCE\xF8\xE8\xE1\xEA\xE0");
    EXPECT_EQ(Utf8ToCp1251("ЁёЇ№"), "\xA8\xB8\xAF\xB9");
    EXPECT_EQ(Cp1251ToUtf8("\xC0\xFF"), "Ая");
    EXPECT_EQ(ToQString("\xE2\xE5\xEA\xF2\xE0"), QString::fromUtf8("векта"));
}

TEST(Cp1251Test, UnmappableAndMalformedTextBecomesQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1251("α"), "?");
    EXPECT_EQ(Utf8ToCp1251("a\xFF"
                           "b"),
              "a?b");
    EXPECT_EQ(Utf8ToCp1251("\xD0"), "?");             // truncated sequence
    EXPECT_EQ(Utf8ToCp1251("\xE2\x82"), "??");        // truncated three-byte sequence
    EXPECT_EQ(Utf8ToCp1251("\xF0\x9F\x98\x80"), "?"); // outside the BMP
}
