#include "diagram/StatementParams.h"

#include "platform/Convert.h"
#include "platform/Error.h"

#include <cmath>

namespace diagram {

namespace {

[[noreturn]] void ThrowRangeError(std::string_view what) {
    throw platform::Error("Range check error: " + std::string(what) + " is empty");
}

// An angle must also fit a double: the arithmetic of the arrows is done in doubles.
double ToAngle(std::string_view text) {
    const long double value = platform::StrToFloat(text);
    const double angle = static_cast<double>(value);
    if (!std::isfinite(angle))
        throw platform::Error("'" + std::string(text) + "' is not a valid floating point value");
    return angle;
}

} // namespace

char FirstCharOf(std::string_view text, std::string_view what) {
    if (text.empty())
        ThrowRangeError(what);
    return text.front();
}

std::string StripStatementEnd(std::string_view afterParenthesis) {
    constexpr std::string_view kWhat = "the parameter text of the statement";
    std::string_view text = afterParenthesis;
    if (text.empty())
        ThrowRangeError(kWhat);
    if (text.back() == ';')
        text.remove_suffix(1);
    if (text.empty())
        ThrowRangeError(kWhat);
    if (text.back() == ')')
        text.remove_suffix(1);
    return std::string(text);
}

std::string_view StatementParams::CutNext() {
    const std::size_t comma = rest_.find(',');
    if (comma == std::string_view::npos)
        return {};
    const std::string_view param = rest_.substr(0, comma);
    rest_.remove_prefix(comma + 1);
    return param;
}

int StatementParams::NextInt() {
    return platform::StrToInt(CutNext());
}

int StatementParams::LastInt() {
    return platform::StrToInt(rest_);
}

double StatementParams::NextAngle() {
    return ToAngle(CutNext());
}

double StatementParams::LastAngle() {
    return ToAngle(rest_);
}

} // namespace diagram
