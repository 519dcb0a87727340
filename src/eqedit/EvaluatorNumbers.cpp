#include "eqedit/EvaluatorNumbers.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace eqedit {

namespace {

// The "C" locale, so that reading numbers never follows the user's locale.
locale_t ClassicLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;
}

} // namespace

bool IsDigitString(std::string_view text) {
    bool pointSeen = false;
    bool exponentSeen = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9')
            continue;
        if (c == '.') {
            if (pointSeen)
                return false;
            pointSeen = true;
        } else if (IsExponentLetter(c)) {
            if (exponentSeen)
                return false;
            exponentSeen = true;
        } else if (!IsSign(c) || (i != 0 && !IsExponentLetter(text[i - 1]))) {
            return false;
        }
    }
    return true;
}

std::string UpCaseString(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

std::string NumberText(Real value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 34);
    return std::string(buffer, result.ptr);
}

std::string SignedNumberText(Real value) {
    return value >= 0 ? "+" + NumberText(value) : NumberText(value);
}

bool ReadNumber(std::string_view text, Real& value) {
    if (text.empty() || !IsDigitString(text))
        return false;
    const std::string terminated(text);
    char* end = nullptr;
    value = strtod_l(terminated.c_str(), &end, ClassicLocale());
    return end == terminated.c_str() + terminated.size() && std::isfinite(value);
}

} // namespace eqedit
