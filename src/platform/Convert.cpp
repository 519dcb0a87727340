#include "platform/Convert.h"

#include "platform/Error.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>

namespace platform {

namespace {

char gDecimalChar = '.';

[[noreturn]] void ThrowNotValid(std::string_view text, const char* what) {
    throw Error("'" + std::string(text) + "' is not a valid " + what + " value");
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
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

int StrToInt(std::string_view text) {
    std::string_view rest = text;
    while (!rest.empty() && IsBlank(rest.front()))
        rest.remove_prefix(1);
    const bool plus = !rest.empty() && rest.front() == '+';
    if (plus)
        rest.remove_prefix(1);
    if (rest.empty() || (plus && rest.front() == '-'))
        ThrowNotValid(text, "integer");
    int value = 0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (ec != std::errc() || end != rest.data() + rest.size())
        ThrowNotValid(text, "integer");
    return value;
}

long double StrToFloat(std::string_view text) {
    std::string canonical;
    if (!CanonicalNumber(TrimBlanks(text), canonical))
        ThrowNotValid(text, "floating point");
    long double value = 0;
    const char* first = canonical.data();
    const auto [end, ec] = std::from_chars(first, first + canonical.size(), value);
    const bool negativeExponent = canonical.find("e-") != std::string::npos;
    if (ec == std::errc::result_out_of_range && negativeExponent)
        return 0; // an underflow reads as zero, as the toolkit does
    if (ec != std::errc() || end != first + canonical.size() || !std::isfinite(value))
        ThrowNotValid(text, "floating point");
    return value;
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
