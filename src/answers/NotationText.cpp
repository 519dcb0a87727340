#include "answers/NotationText.h"

namespace answers {

namespace {

// How tightly a piece of text holds together, from the loosest to the tightest; an operand
// that holds less tightly than its place wants is bracketed.
enum Binding : int {
    kSum = 0,     // a + b
    kTerm = 1,    // a * b
    kSigned = 2,  // -a
    kPower = 3,   // a#b@
    kOperand = 4, // a number, a name, a call, brackets
};

class Writer {
public:
    Writer(const Formula& formula, const std::map<std::string, std::string>& substitutes)
        : formula_(formula), substitutes_(substitutes) {}

    std::string Text() { return Write(formula_.root, kSum); }

private:
    const Node& At(std::uint32_t index) const { return formula_.nodes[index]; }

    Binding BindingOf(const Node& node) const {
        switch (node.kind) {
        case NodeKind::Sum:
            return node.children.size() > 1 ? kSum : kOperand;
        case NodeKind::Product:
            return node.children.size() > 1 ? kTerm : kOperand;
        case NodeKind::Power:
            return node.children.size() > 1 ? kPower : kOperand;
        case NodeKind::Negate:
            return kSigned;
        default:
            return kOperand;
        }
    }

    // The node's text where an operand binding at least `wanted` may stand.
    std::string Write(std::uint32_t index, Binding wanted) {
        const Node& node = At(index);
        std::string text = Bare(node);
        if (BindingOf(node) < wanted)
            return "(" + text + ")";
        return text;
    }

    std::string Bare(const Node& node) {
        switch (node.kind) {
        case NodeKind::Number:
            return node.text;
        case NodeKind::Name:
            return NameText(formula_.names[node.index]);
        case NodeKind::Call:
            return node.text + "(" + Write(node.children[0], kSum) + ")";
        case NodeKind::Group:
            return "(" + Write(node.children[0], kSum) + ")";
        case NodeKind::Negate:
            return "-" + Write(node.children[0], kSigned);
        case NodeKind::Sum:
            return Chain(node, kTerm);
        case NodeKind::Product:
            return Chain(node, kSigned);
        case NodeKind::Power:
            return Powers(node);
        }
        return {};
    }

    std::string NameText(const std::string& key) const {
        if (const auto found = substitutes_.find(key); found != substitutes_.end())
            return "(" + found->second + ")";
        // "@" ends the subscript where the field would also draw it ending.
        return key.find('!') == std::string::npos ? key : key + "@";
    }

    std::string Chain(const Node& chain, Binding wanted) {
        std::string text;
        for (std::size_t k = 0; k < chain.children.size(); ++k) {
            if (k > 0)
                text += chain.ops[k - 1];
            text += Write(chain.children[k], wanted);
        }
        return text;
    }

    // The base, then each exponent raised in turn. A superscript runs up to the next "@",
    // and inside it a second "#" is dropped: an exponent whose text holds a level marker
    // goes after "^" instead, bracketed unless it is one operand.
    std::string Powers(const Node& chain) {
        std::string text = Write(chain.children[0], kOperand);
        for (std::size_t k = 1; k < chain.children.size(); ++k) {
            const Node& exponentNode = At(chain.children[k]);
            const std::string exponent = Write(chain.children[k], kSum);
            if (exponent.find_first_of("#@!") == std::string::npos)
                text += "#" + exponent + "@";
            else if (BindingOf(exponentNode) == kOperand)
                text += "^" + exponent;
            else
                text += "^(" + exponent + ")";
        }
        return text;
    }

    const Formula& formula_;
    const std::map<std::string, std::string>& substitutes_;
};

} // namespace

std::string NotationText(const Formula& formula,
                         const std::map<std::string, std::string>& substitutes) {
    if (formula.nodes.empty())
        return {};
    return Writer(formula, substitutes).Text();
}

} // namespace answers
