#include "eqedit/EvaluatorArithmetic.h"

#include "eqedit/EvaluatorFloat.h"
#include "eqedit/EvaluatorMessages.h"
#include "eqedit/EvaluatorNumbers.h"

#include <limits>
#include <optional>

namespace eqedit {

namespace {

// A sign that belongs to the exponent of a number such as 1e-3.
bool IsExponentSign(const std::string& text, std::size_t i) {
    return IsSign(text[i]) && i > 0 && IsExponentLetter(text[i - 1]);
}

bool EndsLeftOperand(char c) {
    return c == '*' || c == '/' || c == '^' || c == '(';
}

bool EndsRightOperand(char c) {
    return c == '*' || c == '/' || c == '^' || c == ')';
}

// One binary operation on the operands around `pos`: cuts them out, computes, writes the
// signed result at the left operand's place and folds the signs.
template <class Compute>
platform::Status ApplyOperator(std::string& text, std::size_t pos, bool signApart, Compute compute,
                               const std::string& faultMessage) {
    std::size_t start = 0, end = 0;
    const std::string left = GetLeftOperand(text, pos, start, signApart);
    const std::string right = GetRightOperand(text, pos, end);
    text.erase(start, end - start + 1);
    Real a = 0, b = 0, r = 0;
    if (!ReadNumber(left, a))
        return Failed(messages::NotANumber(left));
    if (!ReadNumber(right, b))
        return Failed(messages::NotANumber(right));
    if (!compute(a, b, r))
        return Failed(faultMessage);
    text.insert(start, SignedNumberText(r));
    FoldDoubleSigns(text);
    return platform::Done{};
}

// Index of the first operator of the level, or nothing.
template <class IsOperator>
std::optional<std::size_t> FindOperator(const std::string& text, IsOperator isOperator) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (isOperator(i))
            return i;
    return std::nullopt;
}

bool Power(Real a, Real b, Real& r) {
    return CheckedPower(a, b, r) && r != std::numeric_limits<Real>::infinity();
}

platform::Status ReducePowers(std::string& text) {
    for (;;) {
        std::optional<std::size_t> pos;
        for (std::size_t i = 0; i < text.size() && !pos; ++i) {
            if (text[i] == '(' || text[i] == ')')
                return Failed(messages::MisplacedBracket(i + 1));
            if (text[i] == '^')
                pos = i;
        }
        if (!pos)
            return platform::Done{};
        if (platform::Status m = ApplyOperator(text, *pos, true, Power, messages::PowerFault()); !m)
            return m;
    }
}

platform::Status ReduceProducts(std::string& text) {
    for (;;) {
        const auto pos =
            FindOperator(text, [&](std::size_t i) { return text[i] == '*' || text[i] == '/'; });
        if (!pos)
            return platform::Done{};
        const bool product = text[*pos] == '*';
        platform::Status m =
            product ? ApplyOperator(text, *pos, false, CheckedProduct, messages::ProductFault())
                    : ApplyOperator(text, *pos, false, CheckedQuotient, messages::QuotientFault());
        if (!m)
            return m;
    }
}

platform::Status ReduceSums(std::string& text) {
    for (;;) {
        const auto pos = FindOperator(text, [&](std::size_t i) {
            return IsSign(text[i]) && i != 0 && !IsExponentSign(text, i);
        });
        if (!pos)
            return platform::Done{};
        const bool sum = text[*pos] == '+';
        platform::Status m =
            sum ? ApplyOperator(text, *pos, false, CheckedSum, messages::SumFault())
                : ApplyOperator(text, *pos, false, CheckedDifference, messages::DifferenceFault());
        if (!m)
            return m;
    }
}

} // namespace

void FoldDoubleSigns(std::string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const char a = text[i], b = text[i + 1];
        if (IsSign(a) && IsSign(b))
            text.replace(i, 2, a == b ? "+" : "-");
    }
}

std::string GetLeftOperand(const std::string& text, std::size_t pos, std::size_t& start,
                           bool signApart) {
    start = pos;
    for (std::size_t k = pos; k-- > 0;) {
        const char c = text[k];
        if (EndsLeftOperand(c))
            break;
        if (!IsSign(c) || IsExponentSign(text, k)) {
            start = k;
            continue;
        }
        if (!signApart)
            start = k;
        break;
    }
    return text.substr(start, pos - start);
}

std::string GetRightOperand(const std::string& text, std::size_t pos, std::size_t& end) {
    end = pos;
    for (std::size_t e = pos + 1; e < text.size(); ++e) {
        const char c = text[e];
        if (EndsRightOperand(c))
            break;
        if (IsSign(c) && e != pos + 1 && !IsExponentSign(text, e))
            break;
        end = e;
    }
    return text.substr(pos + 1, end - pos);
}

platform::Status CalculateWithoutBrackets(std::string& text) {
    FoldDoubleSigns(text);
    if (platform::Status m = ReducePowers(text); !m)
        return m;
    if (platform::Status m = ReduceProducts(text); !m)
        return m;
    return ReduceSums(text);
}

} // namespace eqedit
