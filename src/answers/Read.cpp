// The reader's grammar, from the loosest binding to the tightest:
//   sum      = term { ("+" | "-") term }
//   term     = signed { ("*" | "·" | "/") signed | <implicit product> signed }
//   signed   = ("-" | "+") signed | power
//   power    = operand [ "^" ["-" | "+"] power ]   (a superscript "#" sum "@" in place
//              of "^" and its operand is raised by what follows it in the same way)
// so that a chain of powers reads from the right: 2^2^3 is 2^(2^3).
//   operand  = number | name | function "(" sum ")" | "(" sum ")"
// An implicit product stands where a number or a closing bracket is followed by a name,
// a function or an opening bracket.

#include "answers/Read.h"

#include "answers/Functions.h"
#include "answers/Tokens.h"

#include <algorithm>
#include <cmath>

namespace answers {

namespace {

using Kind = Token::Kind;
using Code = Problem::Code;

struct Failure {
    Problem problem;
};

bool StartsOperand(Kind kind) {
    return kind == Kind::Number || kind == Kind::Word || kind == Kind::Open;
}

// The letters of a key one by one: a letter, "~x", or a run of digits.
std::vector<std::string> LetterUnits(const std::string& letters) {
    std::vector<std::string> units;
    for (std::size_t k = 0; k < letters.size();) {
        std::size_t length = letters[k] == '~' ? 2 : 1;
        if (letters[k] >= '0' && letters[k] <= '9')
            while (k + length < letters.size() && letters[k + length] >= '0' &&
                   letters[k + length] <= '9')
                ++length;
        units.push_back(letters.substr(k, length));
        k += length;
    }
    return units;
}

class Parser {
public:
    Parser(std::vector<Token> tokens, std::vector<std::string> known)
        : tokens_(std::move(tokens)), known_(std::move(known)) {}

    ReadResult Run() {
        ReadResult result;
        try {
            if (OnlyMarkers())
                throw Failure{{Code::Empty, 0, {}, {}}};
            formula_.root = Sum();
            if (Peek().kind == Kind::Close)
                throw Failure{{Code::MissingOpen, Peek().position, ")", {}}};
            if (Peek().kind != Kind::End)
                throw Failure{{Code::MissingOperator, Peek().position, {}, {}}};
        } catch (const Failure& failure) {
            result.problem = failure.problem;
            return result;
        }
        result.formula = std::move(formula_);
        result.problem = unknown_;
        return result;
    }

private:
    bool OnlyMarkers() const {
        return std::all_of(tokens_.begin(), tokens_.end(), [](const Token& token) {
            return token.kind == Kind::ExponentOpen || token.kind == Kind::ExponentClose ||
                   token.kind == Kind::End;
        });
    }

    const Token& Peek() {
        // An exponent already ended by a bracket leaves its closing marker behind.
        while (tokens_[at_].kind == Kind::ExponentClose && unclosedExponents_ > 0) {
            --unclosedExponents_;
            ++at_;
        }
        return tokens_[at_];
    }
    const Token& Take() {
        const Token& token = Peek();
        if (token.kind != Kind::End)
            ++at_;
        return token;
    }

    std::uint32_t Add(Node node) {
        formula_.nodes.push_back(std::move(node));
        return static_cast<std::uint32_t>(formula_.nodes.size() - 1);
    }

    std::uint32_t Chain(NodeKind kind, std::uint32_t first) {
        Node node;
        node.kind = kind;
        node.children.push_back(first);
        return Add(std::move(node));
    }

    void Extend(std::uint32_t chain, char op, std::uint32_t operand) {
        formula_.nodes[chain].ops += op;
        formula_.nodes[chain].children.push_back(operand);
    }

    // Ends a chain: one operand alone is that operand.
    std::uint32_t Close(std::uint32_t chain) {
        Node& node = formula_.nodes[chain];
        if (node.children.size() > 1)
            return chain;
        const std::uint32_t only = node.children.front();
        if (chain + 1 == formula_.nodes.size())
            formula_.nodes.pop_back();
        else
            node.children.clear();
        return only;
    }

    struct Deeper {
        explicit Deeper(int& depth) : depth_(depth) { ++depth_; }
        ~Deeper() { --depth_; }
        int& depth_;
    };

    void CheckDepth(std::size_t position) const {
        if (depth_ > MaxDepth)
            throw Failure{{Code::TooDeep, position, {}, {}}};
    }

    // Empty brackets are told where they open ("()", "sin()"); here a closing bracket
    // follows an operator, as in "(2+)".
    [[noreturn]] void MissingOperand() {
        throw Failure{{Code::MissingOperand, Peek().position, {}, {}}};
    }

    std::uint32_t Sum() {
        std::uint32_t chain = Chain(NodeKind::Sum, Term());
        while (Peek().kind == Kind::Plus || Peek().kind == Kind::Minus) {
            const char op = Take().kind == Kind::Plus ? '+' : '-';
            Extend(chain, op, Term());
        }
        return Close(chain);
    }

    std::uint32_t Term() {
        std::uint32_t chain = Chain(NodeKind::Product, Signed());
        for (;;) {
            const Kind next = Peek().kind;
            if (next == Kind::Times || next == Kind::Divide) {
                Take();
                Extend(chain, next == Kind::Times ? '*' : '/', Signed());
            } else if (StartsOperand(next)) {
                const Kind before = tokens_[at_ - 1].kind;
                if (next == Kind::Number || (before != Kind::Number && before != Kind::Close))
                    throw Failure{{Code::MissingOperator, Peek().position, {}, {}}};
                Extend(chain, '*', Signed());
            } else {
                return Close(chain);
            }
        }
    }

    std::uint32_t Signed() {
        Deeper deeper(depth_);
        CheckDepth(Peek().position);
        const std::optional<Kind> sign = TakeSign();
        const std::uint32_t operand = sign ? Signed() : Power();
        return WithSign(sign, operand);
    }

    std::optional<Kind> TakeSign() {
        const Kind kind = Peek().kind;
        if (kind != Kind::Minus && kind != Kind::Plus)
            return std::nullopt;
        Take();
        return kind;
    }

    // A minus negates its operand; a plus changes nothing.
    std::uint32_t WithSign(std::optional<Kind> sign, std::uint32_t operand) {
        if (sign != Kind::Minus)
            return operand;
        Node node;
        node.kind = NodeKind::Negate;
        node.children.push_back(operand);
        return Add(std::move(node));
    }

    std::uint32_t Power() { return RaisedFrom(Operand()); }

    // A base and the exponents that follow it, read from the right: a^b^c is a^(b^c), as
    // in mathematics. An exponent is "^" with a signed operand or a superscript "#" ... "@".
    std::uint32_t RaisedFrom(std::uint32_t base) {
        for (;;) {
            if (Peek().kind == Kind::Caret) {
                Take();
                Deeper deeper(depth_);
                CheckDepth(Peek().position);
                const std::optional<Kind> sign = TakeSign();
                return Raised(base, WithSign(sign, RaisedFrom(Operand())));
            }
            if (Peek().kind != Kind::ExponentOpen)
                return base;
            Take();
            if (Peek().kind == Kind::ExponentClose) {
                Take(); // an empty superscript raises nothing
                continue;
            }
            Deeper deeper(depth_);
            CheckDepth(Peek().position);
            const std::uint32_t exponent = Sum();
            if (Peek().kind == Kind::ExponentClose)
                Take();
            else
                ++unclosedExponents_;
            return Raised(base, RaisedFrom(exponent));
        }
    }

    std::uint32_t Raised(std::uint32_t base, std::uint32_t exponent) {
        Node node;
        node.kind = NodeKind::Power;
        node.children = {base, exponent};
        node.ops = "^";
        return Add(std::move(node));
    }

    std::uint32_t Operand() {
        const Token& token = Peek();
        switch (token.kind) {
        case Kind::Number: {
            Take();
            Node node;
            node.kind = NodeKind::Number;
            node.value = token.value;
            node.text = token.text;
            return Add(std::move(node));
        }
        case Kind::Open:
            return Bracketed(NodeKind::Group, {});
        case Kind::Word:
            return Word();
        default:
            MissingOperand();
        }
    }

    // "(" sum ")", as brackets of their own or as a function's argument.
    std::uint32_t Bracketed(NodeKind kind, Node node) {
        Deeper deeper(depth_);
        const Token& open = Take();
        CheckDepth(open.position);
        const std::size_t openPosition = open.position;
        if (Peek().kind == Kind::Close)
            throw Failure{{Code::EmptyBrackets, Peek().position, {}, {}}};
        const std::uint32_t inside = Sum();
        if (Peek().kind != Kind::Close) {
            if (Peek().kind == Kind::End)
                throw Failure{{Code::MissingClose, openPosition, "(", {}}};
            throw Failure{{Code::MissingOperator, Peek().position, {}, {}}};
        }
        Take();
        node.kind = kind;
        node.children.push_back(inside);
        return Add(std::move(node));
    }

    bool Known(const std::string& key) const {
        return std::find(known_.begin(), known_.end(), key) != known_.end();
    }

    std::uint32_t Word() {
        const Token& word = Take();
        const std::string key = word.index.empty() ? word.text : word.text + "!" + word.index;
        if (!Known(key) && word.index.empty()) {
            if (const std::optional<Function> function = FunctionOfName(word.text)) {
                if (Peek().kind != Kind::Open)
                    throw Failure{{Code::FunctionBracket, word.position, word.text, {}}};
                Node node;
                node.index = static_cast<std::uint32_t>(*function);
                node.text = word.text;
                return Bracketed(NodeKind::Call, std::move(node));
            }
        }
        if (!Known(key) && !unknown_)
            unknown_ = Problem{Code::UnknownName, word.position, key, Split(word)};
        Node node;
        node.kind = NodeKind::Name;
        node.index = Slot(key);
        return Add(std::move(node));
    }

    std::uint32_t Slot(const std::string& key) {
        auto& names = formula_.names;
        const auto found = std::find(names.begin(), names.end(), key);
        if (found != names.end())
            return static_cast<std::uint32_t>(found - names.begin());
        names.push_back(key);
        return static_cast<std::uint32_t>(names.size() - 1);
    }

    // What an unknown word probably meant: a known name with a subscript whose "_" was
    // left out ("vC" -> "v!C"), else the fewest known names (and numbers) it is made of,
    // joined by "*" ("mg" -> "m*g"), the subscript going with the last; empty when there
    // is neither.
    std::string Split(const Token& word) const {
        const std::vector<std::string> units = LetterUnits(word.text);
        if (std::string subscripted = WithoutItsSubscriptMark(units, word); !subscripted.empty())
            return subscripted;
        return Product(units, word);
    }

    std::string WithoutItsSubscriptMark(const std::vector<std::string>& units,
                                        const Token& word) const {
        if (!word.index.empty())
            return {};
        std::string letters;
        for (std::size_t k = 0; k + 1 < units.size(); ++k) {
            letters += units[k];
            std::string rest;
            for (std::size_t r = k + 1; r < units.size(); ++r)
                rest += units[r];
            if (Known(letters + "!" + rest))
                return letters + "!" + rest;
        }
        return {};
    }

    std::string Product(const std::vector<std::string>& units, const Token& word) const {
        const std::size_t n = units.size();
        if (n < 2 || n > 32)
            return {};
        constexpr std::size_t kNone = 1000;
        std::vector<std::size_t> pieces(n + 1, kNone), from(n + 1, 0);
        pieces[0] = 0;
        for (std::size_t end = 1; end <= n; ++end) {
            std::string piece;
            for (std::size_t start = end; start-- > 0;) {
                piece.insert(0, units[start]);
                if (pieces[start] == kNone)
                    continue;
                const bool digits = piece.front() >= '0' && piece.front() <= '9';
                const std::string key =
                    end == n && !word.index.empty() ? piece + "!" + word.index : piece;
                if ((digits && start > 0) || Known(key)) {
                    if (pieces[start] + 1 < pieces[end]) {
                        pieces[end] = pieces[start] + 1;
                        from[end] = start;
                    }
                }
            }
        }
        if (pieces[n] == kNone || pieces[n] < 2)
            return {};
        std::string joined;
        for (std::size_t end = n; end > 0; end = from[end]) {
            std::string piece;
            for (std::size_t k = from[end]; k < end; ++k)
                piece += units[k];
            if (end == n && !word.index.empty())
                piece += "!" + word.index;
            joined.insert(0, joined.empty() ? piece : piece + "*");
        }
        return joined;
    }

    std::vector<Token> tokens_;
    std::vector<std::string> known_;
    std::size_t at_ = 0;
    int depth_ = 0;
    int unclosedExponents_ = 0;
    Formula formula_;
    std::optional<Problem> unknown_;
};

std::vector<std::string> KnownKeys(const KnownNames& names) {
    std::vector<std::string> keys = {"pi", "Pi", "PI", "~p", "g"};
    for (const auto* list : {&names.declared, &names.earlierRows})
        for (const std::string& name : *list)
            if (std::optional<std::string> key = NameKey(name))
                keys.push_back(*std::move(key));
    return keys;
}

} // namespace

ReadResult Read(std::string_view cp1251Text, const KnownNames& names) {
    ReadResult result;
    if (cp1251Text.size() > MaxAnswerBytes) {
        result.problem = Problem{Code::TooLong, MaxAnswerBytes, {}, {}};
        return result;
    }
    std::vector<std::string> known = KnownKeys(names);
    auto tokens = Tokenize(cp1251Text, ExponentLettersBeside(known));
    if (auto* problem = std::get_if<Problem>(&tokens)) {
        result.problem = *std::move(problem);
        return result;
    }
    return Parser(std::get<std::vector<Token>>(std::move(tokens)), std::move(known)).Run();
}

ReadResult Read(std::string_view cp1251Text, const std::vector<std::string>& declaredNames,
                const std::vector<std::string>& earlierRowNames) {
    return Read(cp1251Text, KnownNames{declaredNames, earlierRowNames});
}

bool AngleLooksLikeDegrees(const Formula& formula) {
    constexpr double kFullTurn = 2 * 3.14159265358979323846;
    for (const Node& node : formula.nodes) {
        if (node.kind != NodeKind::Call || node.children.empty())
            continue;
        const auto function = static_cast<Function>(node.index);
        if (function != Function::Sin && function != Function::Cos && function != Function::Tan &&
            function != Function::Cotan)
            continue;
        const Node* argument = &formula.nodes[node.children[0]];
        while ((argument->kind == NodeKind::Negate || argument->kind == NodeKind::Group) &&
               !argument->children.empty())
            argument = &formula.nodes[argument->children[0]];
        if (argument->kind == NodeKind::Number && argument->text.back() != '\xB0' &&
            std::fabs(argument->value) > kFullTurn)
            return true;
    }
    return false;
}

} // namespace answers
