#include "platform/Convert.h"

#include "platform/Error.h"
#include "platform/Trim.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>

namespace platform {

namespace {

char gDecimalChar = '.';

Failure NotValid(std::string_view text, const char* what) {
    return Failure{"'" + std::string(text) + "' is not a valid " + what + " value"};
}

template <typename T> T ValueOrThrow(Result<T> read) {
    if (!read)
        throw Error(read.Error().message);
    return read.Value();
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Checks the shape of a decimal number and rewrites its separator as ".", so that
// std::from_chars can read it; returns false when the text is not a number.
bool CanonicalNumber(std::string_view text, std::string& out) {
    std::size_t i = 0;
    out.clear();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            out += '-';
        ++i;
    }
    std::size_t digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++digits)
        out += text[i];
    if (i < text.size() && (text[i] == '.' || text[i] == ',' || text[i] == gDecimalChar)) {
        out += '.';
        for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits)
            out += text[i];
    }
    if (digits == 0)
        return false;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        out += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            out += text[i++];
        std::size_t expDigits = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i, ++expDigits)
            out += text[i];
        if (expDigits == 0)
            return false;
    }
    return i == text.size();
}

// Clinger's fast path: a number of at most 19 significant digits is an integer m below
// 2^64 times 10^e; when |e| <= 27 both m and 10^|e| are exact in long double, so one
// multiplication or division gives the correctly rounded value, the same that the full
// conversion gives. Returns false when the text needs the full conversion.
bool FastDecimalValue(std::string_view canonical, long double& value) {
    constexpr int kMaxDigits = 19;
    constexpr int kMaxPower = 27;
    std::size_t i = 0;
    const bool negative = !canonical.empty() && canonical[0] == '-';
    if (negative)
        ++i;
    std::uint64_t mantissa = 0;
    int digits = 0;
    int exponent = 0;
    int pendingZeros = 0; // zeros after the last non-zero digit, not yet in the mantissa
    bool inFraction = false;
    for (; i < canonical.size() && canonical[i] != 'e'; ++i) {
        const char c = canonical[i];
        if (c == '.') {
            inFraction = true;
            continue;
        }
        if (inFraction)
            --exponent;
        if (c == '0') {
            if (digits > 0)
                ++pendingZeros;
            continue;
        }
        if (digits + pendingZeros + 1 > kMaxDigits)
            return false;
        for (; pendingZeros > 0; --pendingZeros, ++digits)
            mantissa *= 10;
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
        ++digits;
    }
    exponent += pendingZeros;
    if (i < canonical.size()) {
        int written = 0;
        std::string_view rest = canonical.substr(i + 1);
        if (!rest.empty() && rest.front() == '+')
            rest.remove_prefix(1);
        const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), written);
        if (ec != std::errc() || end != rest.data() + rest.size())
            return false;
        if (written > kMaxPower * 2 || written < -kMaxPower * 2)
            return false;
        exponent += written;
    }
    if (exponent > kMaxPower || exponent < -kMaxPower)
        return false;
    long double power = 1;
    for (int k = 0; k < (exponent < 0 ? -exponent : exponent); ++k)
        power *= 10;
    value = static_cast<long double>(mantissa);
    value = exponent < 0 ? value / power : value * power;
    if (negative)
        value = -value;
    return true;
}

std::string FixedForm(bool negative, const std::string& digits, int exponent) {
    std::string out = negative ? "-" : "";
    if (exponent < 0) {
        out += '0';
        out += gDecimalChar;
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        return out + digits;
    }
    const auto intLength = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= intLength)
        return out + digits + std::string(intLength - digits.size(), '0');
    return out + digits.substr(0, intLength) + gDecimalChar + digits.substr(intLength);
}

std::string ExponentForm(bool negative, const std::string& digits, int exponent) {
    std::string out = negative ? "-" : "";
    out += digits[0];
    if (digits.size() > 1)
        out += gDecimalChar + digits.substr(1);
    return out + "E" + std::to_string(exponent);
}

} // namespace

Result<int> ReadInt(std::string_view text) {
    std::string_view rest = text;
    while (!rest.empty() && IsBlank(rest.front()))
        rest.remove_prefix(1);
    const bool plus = !rest.empty() && rest.front() == '+';
    if (plus)
        rest.remove_prefix(1);
    if (rest.empty() || (plus && rest.front() == '-'))
        return NotValid(text, "integer");
    int value = 0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (ec != std::errc() || end != rest.data() + rest.size())
        return NotValid(text, "integer");
    return value;
}

Result<long double> ReadFloat(std::string_view text) {
    std::string canonical;
    if (!CanonicalNumber(TrimBlanks(text), canonical))
        return NotValid(text, "floating point");
    long double value = 0;
    if (FastDecimalValue(canonical, value))
        return value;
    const char* first = canonical.data();
    const auto [end, ec] = std::from_chars(first, first + canonical.size(), value);
    const bool negativeExponent = canonical.find("e-") != std::string::npos;
    if (ec == std::errc::result_out_of_range && negativeExponent)
        return 0.0L; // an underflow reads as zero, as the toolkit does
    if (ec != std::errc() || end != first + canonical.size() || !std::isfinite(value))
        return NotValid(text, "floating point");
    return value;
}

int StrToInt(std::string_view text) {
    return ValueOrThrow(ReadInt(text));
}

long double StrToFloat(std::string_view text) {
    return ValueOrThrow(ReadFloat(text));
}

std::string FloatToStr(long double value) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0)
        return "0";
    // d.dddddddddddddde[+-]x: 15 significant digits, correctly rounded.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const bool negative = text.front() == '-';
    const std::size_t ePos = text.find('e');
    std::string digits;
    for (char c : text.substr(0, ePos))
        if (IsDigit(c))
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    int exponent = 0;
    std::string_view expText = text.substr(ePos + 1);
    if (expText.front() == '+')
        expText.remove_prefix(1);
    std::from_chars(expText.data(), expText.data() + expText.size(), exponent);
    if (exponent >= -5 && exponent < 15)
        return FixedForm(negative, digits, exponent);
    return ExponentForm(negative, digits, exponent);
}

char DecimalChar() {
    return gDecimalChar;
}

void SetDecimalChar(char separator) {
    gDecimalChar = separator;
}

void InitDecimalChar() {
    const std::lconv* conv = std::localeconv();
    if (conv != nullptr && conv->decimal_point != nullptr && conv->decimal_point[0] != '\0' &&
        conv->decimal_point[1] == '\0')
        gDecimalChar = conv->decimal_point[0];
}

} // namespace platform
