#include "diagram/StatementParams.h"

#include "diagram/DrawingBudget.h"
#include "platform/Convert.h"

#include <cmath>

namespace diagram {

namespace {

platform::Failure RangeError(std::string_view what) {
    return {"Range check error: " + std::string(what) + " is empty", std::string::npos,
            static_cast<int>(ErrorCode::Parameter)};
}

platform::Failure ParameterError(platform::Failure failure) {
    failure.code = static_cast<int>(ErrorCode::Parameter);
    return failure;
}

// An angle must also fit a double: the arithmetic of the arrows is done in doubles.
platform::Result<double> ToAngle(std::string_view text) {
    const platform::Result<long double> value = platform::ReadFloat(text);
    if (!value)
        return ParameterError(value.Error());
    const double angle = static_cast<double>(*value);
    if (!std::isfinite(angle))
        return ParameterError({"'" + std::string(text) + "' is not a valid floating point value"});
    return angle;
}

platform::Result<int> ToInt(std::string_view text) {
    platform::Result<int> value = platform::ReadInt(text);
    if (!value)
        return ParameterError(value.Error());
    return value;
}

} // namespace

platform::Result<char> FirstCharOf(std::string_view text, std::string_view what) {
    if (text.empty())
        return RangeError(what);
    return text.front();
}

platform::Result<std::string> StripStatementEnd(std::string_view afterParenthesis) {
    constexpr std::string_view kWhat = "the parameter text of the statement";
    std::string_view text = afterParenthesis;
    if (text.empty())
        return RangeError(kWhat);
    if (text.back() == ';')
        text.remove_suffix(1);
    if (text.empty())
        return RangeError(kWhat);
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

template <typename T> T StatementParams::Keep(platform::Result<T> read) {
    if (read)
        return *read;
    failed_ = true;
    failure_ = read.Error();
    return T{};
}

int StatementParams::NextInt() {
    return failed_ ? 0 : Keep(ToInt(CutNext()));
}

int StatementParams::LastInt() {
    return failed_ ? 0 : Keep(ToInt(rest_));
}

double StatementParams::NextAngle() {
    return failed_ ? 0 : Keep(ToAngle(CutNext()));
}

double StatementParams::LastAngle() {
    return failed_ ? 0 : Keep(ToAngle(rest_));
}

} // namespace diagram
