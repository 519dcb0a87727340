#include "answers/Read.h"

namespace answers {

namespace {

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
            AppendCp1251(out_, node.text, style_);
            return;
        case NodeKind::Name:
            out_ += NameText(formula_.names[node.index], style_);
            return;
        case NodeKind::Call:
            AppendCp1251(out_, node.text, style_);
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

    // An operand after an operator is bracketed when it starts with a sign; an exponent
    // also when it is more than one number, name or bracket.
    bool NeedsBrackets(const Node& chain, std::size_t k) const {
        if (k == 0)
            return false;
        const NodeKind kind = At(chain.children[k]).kind;
        if (kind == NodeKind::Negate)
            return true;
        return chain.kind == NodeKind::Power && kind != NodeKind::Number &&
               kind != NodeKind::Name && kind != NodeKind::Call && kind != NodeKind::Group;
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
