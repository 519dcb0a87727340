#pragma once

#include "platform/Result.h"

#include <string>
#include <string_view>

namespace diagram {

struct DrawingContext;

// The parameter text of a statement, the text after its first "(": one final ";" and
// then one final ")" are removed, each at most once, so a quoted text that ends with ")"
// keeps it. Fails with a range error when there is no character left to look at.
platform::Result<std::string> StripStatementEnd(std::string_view afterParenthesis);

// The first character of a text; a range error when the text is empty. `what` names the
// text in the message.
platform::Result<char> FirstCharOf(std::string_view text, std::string_view what);

// Reads the positional parameters of a statement from the front of its parameter text.
// A parameter that is not the last is the text before the first ","; the text up to and
// including that "," is removed (with no "," the parameter is empty and nothing is
// removed). The last parameter is the whole remaining text. Each parameter is converted
// as soon as it is cut off, so a statement fails at its first bad parameter with the
// conversion error of that text: the reader keeps that failure, reads nothing more (each
// later read gives 0) and the primitive checks Ok() before it draws.
class StatementParams {
public:
    explicit StatementParams(std::string_view text) : rest_(text) {}

    int NextInt();
    int LastInt();
    // Angles in degrees, written with "." or the locale's decimal separator.
    double NextAngle();
    double LastAngle();

    std::string_view Rest() const { return rest_; }

    bool Ok() const { return !failed_; }
    // The conversion error of the first bad parameter.
    const platform::Failure& Error() const { return failure_; }

private:
    std::string_view CutNext();
    template <typename T> T Keep(platform::Result<T> read);

    std::string_view rest_;
    bool failed_ = false;
    platform::Failure failure_;
};

} // namespace diagram
