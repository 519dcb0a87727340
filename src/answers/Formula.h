#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace answers {

// An answer as read: a tree of nodes kept in one vector (children are indices), so that
// its size is bounded by the text's and nothing recurses when it is destroyed. Chains of
// one kind (a sum, a product) are one node with all their operands, so that only
// brackets, signs and exponents make the tree deeper.
enum class NodeKind : std::uint8_t {
    Number,  // text: as typed ("0,75"), an angle in degrees ending in "°"; value (radians)
    Name,    // index: the slot in Formula::names
    Call,    // index: the function; text: its name as typed; children: the argument
    Group,   // brackets the student typed; children: the inside
    Negate,  // a minus sign before an operand; children: the operand
    Sum,     // children joined by ops '+' / '-'
    Product, // children joined by ops '*' / '/'
    Power,   // children: the base and its exponent (ops "^"); a^b^c is a^(b^c)
};

struct Node {
    NodeKind kind = NodeKind::Number;
    std::uint32_t index = 0;
    double value = 0;
    std::string text;
    std::vector<std::uint32_t> children;
    std::string ops; // ops[i] joins children[i] and children[i + 1]
};

struct Formula {
    std::vector<Node> nodes;
    std::uint32_t root = 0;
    // The names the formula uses, each once, as keys in the notation: the letters with
    // "~x" for a Greek letter, then "!" and the index if there is one ("v!C", "a!~t").
    std::vector<std::string> names;
};

} // namespace answers
