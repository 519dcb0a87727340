#include "answers/SignificantFigures.h"

namespace answers {

namespace {

const Node& Inside(const Formula& formula, const Node& node) {
    const Node* inner = &node;
    while ((inner->kind == NodeKind::Negate || inner->kind == NodeKind::Group) &&
           !inner->children.empty())
        inner = &formula.nodes[inner->children[0]];
    return *inner;
}

bool IsNumber(const Formula& formula, std::uint32_t index) {
    return Inside(formula, formula.nodes[index]).kind == NodeKind::Number;
}

} // namespace

int SignificantFigures(std::string_view number) {
    const std::string_view mantissa = number.substr(0, number.find_first_of("eE"));
    bool separator = false;
    std::string digits;
    for (char c : mantissa) {
        if (c == ',' || c == '.')
            separator = true;
        else if (c >= '0' && c <= '9')
            digits += c;
    }
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return 0;
    digits.erase(0, first);
    if (!separator)
        digits.erase(digits.find_last_not_of('0') + 1);
    return static_cast<int>(digits.size());
}

std::optional<int> AnswerFigures(const Formula& formula) {
    const Node& root = Inside(formula, formula.nodes[formula.root]);
    const Node* number = nullptr;
    if (root.kind == NodeKind::Number) {
        number = &root;
    } else if (root.kind == NodeKind::Product && root.children.size() == 2 && root.ops == "*") {
        // A number times a power of ten with a whole exponent: the number's figures.
        const Node& power = formula.nodes[root.children[1]];
        if (power.kind == NodeKind::Power && IsNumber(formula, power.children[1]) &&
            formula.nodes[power.children[0]].kind == NodeKind::Number &&
            formula.nodes[power.children[0]].value == 10 &&
            formula.nodes[root.children[0]].kind == NodeKind::Number)
            number = &formula.nodes[root.children[0]];
    }
    if (number == nullptr || number->value == 0)
        return std::nullopt;
    return SignificantFigures(number->text);
}

} // namespace answers
