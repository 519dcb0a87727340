#include "platform/Convert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>
#include <optional>
#include <random>

using platform::FloatToStr;

namespace {

// The value read, or nothing when the text is refused.
std::optional<int> IntOf(std::string_view text) {
    const platform::Result<int> read = platform::ReadInt(text);
    return read ? std::optional<int>(*read) : std::nullopt;
}

std::optional<long double> FloatOf(std::string_view text) {
    const platform::Result<long double> read = platform::ReadFloat(text);
    return read ? std::optional<long double>(*read) : std::nullopt;
}

template <typename T> std::string ErrorOf(const platform::Result<T>& read) {
    return read ? "(no error)" : read.Error().message;
}

class ConvertTest : public ::testing::Test {
protected:
    void SetUp() override { platform::SetDecimalChar('.'); }
    void TearDown() override { platform::SetDecimalChar('.'); }
};

} // namespace

TEST_F(ConvertTest, IntegersAcceptSignsBlanksAndThe32BitRange) {
    EXPECT_EQ(IntOf("42"), 42);
    EXPECT_EQ(IntOf("-17"), -17);
    EXPECT_EQ(IntOf("+5"), 5);
    EXPECT_EQ(IntOf("  7"), 7);
    EXPECT_EQ(IntOf("2147483647"), 2147483647);
    EXPECT_EQ(IntOf("-2147483648"), std::numeric_limits<int>::min());
}

TEST_F(ConvertTest, BadIntegersFailWithTheToolkitMessage) {
    for (const char* text : {"", "-", "+-5", "12a", "1.5", "7 ", "2147483648", "0x10", "<5"}) {
        EXPECT_EQ(ErrorOf(platform::ReadInt(text)),
                  std::string("'") + text + "' is not a valid integer value")
            << text;
    }
}

TEST_F(ConvertTest, FloatsReadPointCommaAndExponents) {
    EXPECT_EQ(FloatOf("2.5"), 2.5L);
    EXPECT_EQ(FloatOf("2,5"), 2.5L);
    EXPECT_EQ(FloatOf(" -1E3 "), -1000.0L);
    EXPECT_EQ(FloatOf("1e-2"), FloatOf("0.01"));
    EXPECT_EQ(FloatOf(".5"), 0.5L);
    EXPECT_EQ(FloatOf("5."), 5.0L);
    EXPECT_EQ(FloatOf("1E-6000"), 0.0L);
    for (const char* text : {"", ".", "1E", "1e+", "abc", "1.2.3", "--1", "1E99999"}) {
        EXPECT_EQ(ErrorOf(platform::ReadFloat(text)),
                  std::string("'") + text + "' is not a valid floating point value")
            << text;
    }
}

TEST_F(ConvertTest, GeneralFormatUsesFixedNotationInsideItsRange) {
    EXPECT_EQ(FloatToStr(0), "0");
    EXPECT_EQ(FloatToStr(3.14159265358979323846L), "3.14159265358979");
    EXPECT_EQ(FloatToStr(-2.5L), "-2.5");
    EXPECT_EQ(FloatToStr(100), "100");
    EXPECT_EQ(FloatToStr(0.00001L), "0.00001");
    EXPECT_EQ(FloatToStr(123456789012345.0L), "123456789012345");
    EXPECT_EQ(FloatToStr(1.0L / 3), "0.333333333333333");
}

TEST_F(ConvertTest, GeneralFormatUsesExponentsOutsideItsRange) {
    EXPECT_EQ(FloatToStr(1e-10L), "1E-10");
    EXPECT_EQ(FloatToStr(2.5e-7L), "2.5E-7");
    EXPECT_EQ(FloatToStr(1e15L), "1E15");
    EXPECT_EQ(FloatToStr(-1.5e20L), "-1.5E20");
    EXPECT_EQ(FloatToStr(999999999999999.9L), "1E15"); // rounding carries into the exponent
    EXPECT_EQ(FloatToStr(std::numeric_limits<long double>::infinity()), "INF");
}

TEST_F(ConvertTest, TheSystemSeparatorIsWrittenAndRead) {
    platform::SetDecimalChar(',');
    EXPECT_EQ(FloatToStr(2.5L), "2,5");
    EXPECT_EQ(FloatToStr(2.5e-7L), "2,5E-7");
    EXPECT_EQ(FloatOf("2,5"), 2.5L);
    EXPECT_EQ(FloatOf("2.5"), 2.5L);
}

TEST_F(ConvertTest, TheSeparatorIsReadFromTheUserLocale) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") == nullptr)
        GTEST_SKIP() << "no ru_RU.UTF-8 locale on this machine";
    platform::InitDecimalChar();
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(platform::DecimalChar(), ',');
    EXPECT_EQ(FloatToStr(0.5L), "0,5");
}

// The quick reading of short numbers must give exactly what the full conversion gives.
TEST_F(ConvertTest, ShortNumbersReadExactlyAsTheFullConversionReadsThem) {
    std::mt19937_64 random(20261207);
    auto digitsOf = [&](int count) {
        std::string digits;
        for (int k = 0; k < count; ++k)
            digits += static_cast<char>('0' + random() % 10);
        return digits;
    };
    for (int trial = 0; trial < 200000; ++trial) {
        std::string text = (random() % 2 ? "-" : "") + digitsOf(1 + random() % 12);
        if (random() % 2)
            text += "." + digitsOf(random() % 12);
        if (random() % 3 == 0)
            text += "E" + std::to_string(static_cast<int>(random() % 70) - 35);
        long double expected = 0;
        std::string canonical = text;
        std::replace(canonical.begin(), canonical.end(), 'E', 'e');
        std::from_chars(canonical.data(), canonical.data() + canonical.size(), expected);
        const long double read = FloatOf(text).value_or(NAN);
        ASSERT_TRUE(read == expected && std::signbit(read) == std::signbit(expected)) << text;
    }
    EXPECT_EQ(FloatOf("100000000000000000000001"), 100000000000000000000001.0L);
    EXPECT_EQ(FloatOf("0.1"), 0.1L);
    EXPECT_EQ(FloatOf("1.25000000000000000000000"), 1.25L);
}
