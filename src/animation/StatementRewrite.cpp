#include "animation/StatementRewrite.h"

#include "engine/FormulaText.h"

#include "platform/Convert.h"

#include <algorithm>
#include <cmath>

namespace animation {

namespace {

// Magnitudes from here on are not written as whole numbers.
constexpr long double kLargestWhole = 9.0e18L;

bool NamesNothing(std::string_view token) {
    return token.find_first_not_of(' ') == std::string_view::npos;
}

// What the token stands for in the statement given to the interpreter.
platform::Status AppendParameter(std::string& out, std::string_view token,
                                 const VariableTable& variables) {
    if (NamesNothing(token) || IsNumberText(token)) {
        out += token;
        return platform::Done{};
    }
    const platform::Result<double> value = ValueForFrame(variables, token);
    if (!value)
        return value.Error();
    out += WholeNumberText(*value);
    return platform::Done{};
}

} // namespace

platform::Result<double> ValueForFrame(const VariableTable& variables, std::string_view name) {
    const EngineResult value = variables.GetValue(name);
    if (platform::Status readable = StopFrameIfUnreadable(value.error); !readable)
        return readable.Error();
    return value.value;
}

platform::Status StopFrameIfUnreadable(const EngineError& error) {
    if (error.Unreadable())
        return platform::Failure{error.text, std::string::npos, static_cast<int>(error.code)};
    return platform::Done{};
}

std::string WholeNumberText(long double value) {
    const long double magnitude = std::fabs(value);
    if (!(magnitude < kLargestWhole))
        return platform::FloatToStr(value);
    const auto thousandths = static_cast<long long>((magnitude + 0.001L) * 1000);
    const long long whole = thousandths / 1000;
    return std::to_string(value < 0 ? -whole : whole);
}

platform::Result<std::string> RewriteStatement(std::string_view statement,
                                               const VariableTable& variables) {
    const std::size_t open = statement.find('(');
    if (open == std::string_view::npos)
        return std::string(statement);
    std::string out(statement.substr(0, open + 1));
    // The parameters, each followed by "," once the closing ")" has become one.
    std::string rest(statement.substr(open + 1));
    if (rest.ends_with(';'))
        rest.pop_back();
    const bool closed = rest.ends_with(')');
    if (closed)
        rest.back() = ',';
    for (std::size_t pos = 0; pos < rest.size();) {
        if (rest[pos] == '"') {
            out.append(rest, pos);
            if (!closed)
                out += ',';
            break;
        }
        const std::size_t comma = std::min(rest.find(',', pos), rest.size());
        if (platform::Status appended =
                AppendParameter(out, std::string_view(rest).substr(pos, comma - pos), variables);
            !appended)
            return appended.Error();
        out += ',';
        pos = comma + 1;
    }
    out.back() = ')';
    return out;
}

} // namespace animation
