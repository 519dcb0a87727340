#include "eqedit/EvaluatorBrackets.h"

#include "eqedit/EvaluatorArithmetic.h"
#include "eqedit/EvaluatorFloat.h"
#include "eqedit/EvaluatorFunctions.h"
#include "eqedit/EvaluatorMessages.h"

#include <limits>
#include <string_view>

namespace eqedit {

namespace {

// The function name ends, going left from the "(", at one of these or the text's start.
bool EndsFunctionName(char c) {
    return std::string_view("-+*/^.(").find(c) != std::string_view::npos;
}

// Raises the bracket's value `value` to the exponent that follows the "^" at `caret`;
// `end` becomes the index of the exponent's last character.
platform::Status RaiseBracket(const std::string& text, std::size_t caret, std::string& value,
                              std::size_t& end) {
    const std::string exponentText = GetRightOperand(text, caret, end);
    Real base = 0, exponent = 0, r = 0;
    if (!ReadNumber(value, base))
        return Failed(messages::NotANumber(value));
    if (!ReadNumber(exponentText, exponent))
        return Failed(messages::NotANumber(exponentText));
    if (!CheckedPow(base, exponent, r))
        return Failed(messages::PowerFault());
    if (r == std::numeric_limits<Real>::infinity())
        return Failed(messages::PowerInfinite());
    value = SignedNumberText(r);
    return platform::Done{};
}

// Applies the function `name` to the bracket's value `value`.
platform::Status ApplyNamedFunction(const std::string& name, std::string& value) {
    Real x = 0;
    if (!ReadNumber(value, x))
        return Failed(messages::NotANumber(value));
    const platform::Result<Real> r = ApplyFunction(name, x, value);
    if (!r)
        return r.Error();
    value = NumberText(*r);
    return platform::Done{};
}

// Replaces the innermost bracket pair `open`..`close`, with its power and its function
// name, by its value.
platform::Status ResolveBracket(std::string& text, std::size_t open, std::size_t close) {
    std::string value = text.substr(open + 1, close - open - 1);
    if (platform::Status m = CalculateWithoutBrackets(value); !m)
        return m;
    std::size_t end = close;
    if (close + 1 < text.size() && text[close + 1] == '^')
        if (platform::Status m = RaiseBracket(text, close + 1, value, end); !m)
            return m;
    std::size_t nameStart = open;
    while (nameStart > 0 && !EndsFunctionName(text[nameStart - 1]))
        --nameStart;
    if (nameStart < open)
        if (platform::Status m =
                ApplyNamedFunction(text.substr(nameStart, open - nameStart), value);
            !m)
            return m;
    text.replace(nameStart, end - nameStart + 1, value);
    return platform::Done{};
}

} // namespace

platform::Status DeleteBrackets(std::string& text) {
    for (;;) {
        const std::size_t close = text.find(')');
        if (close == std::string::npos) {
            if (text.find('(') != std::string::npos)
                return Failed(messages::MissingClosingBracket(text));
            return CalculateWithoutBrackets(text);
        }
        const std::size_t open = close == 0 ? std::string::npos : text.rfind('(', close - 1);
        if (open == std::string::npos)
            return Failed(messages::MissingOpeningBracket(text));
        if (platform::Status m = ResolveBracket(text, open, close); !m)
            return m;
    }
}

} // namespace eqedit
