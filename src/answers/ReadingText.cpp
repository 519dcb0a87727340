#include "answers/Read.h"

#include "answers/Functions.h"

#include <algorithm>

namespace answers {

namespace {

bool IsScientific(const Node& node) {
    return node.kind == NodeKind::Number && node.text.find_first_of("eE") != std::string::npos;
}

// A number typed with its power of ten ("1.6e-19") as 1,6·10^(-19): the mantissa with a
// decimal comma, the power as the student would write it.
void AppendScientific(std::string& out, const std::string& text, TextStyle style) {
    const std::size_t e = text.find_first_of("eE");
    std::string mantissa = text.substr(0, e);
    std::replace(mantissa.begin(), mantissa.end(), '.', ',');
    std::string_view power = std::string_view(text).substr(e + 1);
    const bool negative = !power.empty() && power.front() == '-';
    if (!power.empty() && (power.front() == '-' || power.front() == '+'))
        power.remove_prefix(1);
    while (power.size() > 1 && power.front() == '0')
        power.remove_prefix(1);
    AppendCp1251(out, mantissa, style);
    AppendProductSign(out, style);
    out += "10^";
    out += negative ? "(-" + std::string(power) + ")" : std::string(power);
}

class Writer {
public:
    Writer(const Formula& formula, TextStyle style) : formula_(formula), style_(style) {}

    std::string Text() {
        Write(formula_.root);
        return std::move(out_);
    }

private:
    const Node& At(std::uint32_t index) const { return formula_.nodes[index]; }

    void Write(std::uint32_t index) {
        const Node& node = At(index);
        switch (node.kind) {
        case NodeKind::Number:
            if (IsScientific(node))
                AppendScientific(out_, node.text, style_);
            else
                AppendCp1251(out_, node.text, style_);
            return;
        case NodeKind::Name:
            out_ += NameText(formula_.names[node.index], style_);
            return;
        case NodeKind::Call:
            // log is base 10 here, where many read it as natural: the reading says lg.
            AppendCp1251(out_,
                         static_cast<Function>(node.index) == Function::Log ? "lg" : node.text,
                         style_);
            Bracketed(node.children[0]);
            return;
        case NodeKind::Group:
            Bracketed(node.children[0]);
            return;
        case NodeKind::Negate:
            out_ += '-';
            Write(node.children[0]);
            return;
        default:
            Chain(node);
        }
    }

    void Bracketed(std::uint32_t index) {
        out_ += '(';
        Write(index);
        out_ += ')';
    }

    static bool IsAtom(const Node& node) {
        return (node.kind == NodeKind::Number && !IsScientific(node)) ||
               node.kind == NodeKind::Name || node.kind == NodeKind::Call ||
               node.kind == NodeKind::Group;
    }

    // An operand after an operator is bracketed when it starts with a sign, or when it is a
    // number with its power of ten after a division; a power's base and exponent also when
    // they are more than one number, name or bracket, so that 2^2^3 shows as 2^(2^3).
    bool NeedsBrackets(const Node& chain, std::size_t k) const {
        const Node& operand = At(chain.children[k]);
        if (chain.kind == NodeKind::Power)
            return !IsAtom(operand);
        if (k == 0)
            return false;
        return operand.kind == NodeKind::Negate ||
               (chain.ops[k - 1] == '/' && IsScientific(operand));
    }

    void Chain(const Node& chain) {
        for (std::size_t k = 0; k < chain.children.size(); ++k) {
            if (k > 0) {
                const char op = chain.ops[k - 1];
                if (op == '*')
                    AppendProductSign(out_, style_);
                else
                    out_ += op;
            }
            if (NeedsBrackets(chain, k))
                Bracketed(chain.children[k]);
            else
                Write(chain.children[k]);
        }
    }

    const Formula& formula_;
    TextStyle style_;
    std::string out_;
};

} // namespace

std::string ReadingText(const Formula& formula, TextStyle style) {
    if (formula.nodes.empty())
        return {};
    return Writer(formula, style).Text();
}

} // namespace answers
