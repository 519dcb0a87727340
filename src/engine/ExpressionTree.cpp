#include "engine/ExpressionTree.h"

#include "engine/EngineMessages.h"
#include "engine/FormulaText.h"

#include "platform/BracketDepth.h"

#include <algorithm>
#include <vector>

namespace {

// The builder recurses at most five levels per bracket; this bounds it whatever the text.
constexpr int kMaxBuildDepth = 6 * kMaxNesting + 16;

// The first text the builder could not read; once set, the builder stops adding nodes.
struct BuildFailure {
    const std::string* message = nullptr;

    bool Failed() const { return message != nullptr; }
    void Set(const std::string& why) {
        if (message == nullptr)
            message = &why;
    }
};

bool IsOneOf(char c, std::string_view operators) {
    return operators.find(c) != std::string_view::npos;
}

// Cuts the text after each of the operators found at bracket depth 0, except a last
// character; each piece keeps its operator as its last character.
std::vector<std::string_view> CutAt(std::string_view text, std::string_view operators) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    platform::BracketDepth depth;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const char c = text[i];
        if (depth.Step(c))
            continue;
        if (depth.Outside() && IsOneOf(c, operators)) {
            pieces.push_back(text.substr(start, i + 1 - start));
            start = i + 1;
        }
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

bool HasCut(std::string_view text, std::string_view operators) {
    return CutAt(text, operators).size() > 1;
}

std::uint8_t OperatorCode(char c) {
    switch (c) {
    case '#':
        return opPower;
    case '*':
        return opMul;
    case '+':
        return opAdd;
    case '-':
        return opSub;
    case '/':
        return opDiv;
    default:
        return opNone;
    }
}

// True when the text is one bracketed expression: its first "(" closes at its last ")".
bool WrapsWhole(std::string_view text) {
    if (text.size() < 2 || text.front() != '(' || text.back() != ')')
        return false;
    platform::BracketDepth depth;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        depth.Step(text[i]);
        if (depth.Outside())
            return false;
    }
    return true;
}

// The operand inside its outer brackets. Brackets around a text with no "*", "/" or
// "#" outside them go; further brackets that wrap the whole operand go as well, so
// ((x+1)) is x+1, and the "@" that closes a bracketed exponent or index, as in
// x#(-2)@+1, does not hide its brackets. A pair that wraps nothing stays.
std::string_view OperandInBrackets(std::string_view operand) {
    if (operand.size() > 2 && operand.back() == '@' &&
        WrapsWhole(operand.substr(0, operand.size() - 1)))
        operand.remove_suffix(1);
    if (operand.front() != '(' || operand.back() != ')' || HasCut(operand, "*/#"))
        return operand;
    do
        operand = operand.substr(1, operand.size() - 2);
    while (operand.size() > 2 && WrapsWhole(operand));
    return operand;
}

std::string_view DropTrailingBaseline(std::string_view text) {
    if (!text.empty() && text.back() == '@')
        text.remove_suffix(1);
    return text;
}

void BuildNode(ExpressionNode* node, std::string_view text, int depth, BuildFailure& failure);

ExpressionNode* NewSub(ExpressionNode* owner) {
    owner->Sub = new ExpressionNode;
    owner->Sub->Owner = owner;
    return owner->Sub;
}

ExpressionNode* NewNext(ExpressionNode* previous) {
    previous->Next = new ExpressionNode;
    previous->Next->Prev = previous;
    return previous->Next;
}

// Makes each piece a node: the first becomes the owner's Sub, the others follow it.
void BuildSubChain(ExpressionNode* owner, const std::vector<std::string_view>& pieces, int depth,
                   BuildFailure& failure) {
    ExpressionNode* member = NewSub(owner);
    BuildNode(member, pieces[0], depth + 1, failure);
    for (std::size_t i = 1; i < pieces.size() && !failure.Failed(); ++i) {
        member = NewNext(member);
        BuildNode(member, pieces[i], depth + 1, failure);
    }
}

void BuildNumber(ExpressionNode* node, std::string_view operand) {
    node->Kind = kindNumber;
    node->Text = DropTrailingBaseline(operand);
    if (!NumbersMayBeCached())
        return;
    // A malformed number reports its error when it is evaluated.
    if (const auto number = TextToNumber(node->Text)) {
        node->ExactNumber = *number;
        node->Number = static_cast<double>(node->ExactNumber);
        node->HasNumber = true;
    }
}

void BuildVariable(ExpressionNode* node, std::string_view operand) {
    node->Kind = kindVariable;
    node->Text = DropTrailingBaseline(operand);
    CleanedText tableForm = VariableTable::TableForm(node->Text);
    node->TableName = std::move(tableForm.text);
    node->TableNameError = tableForm.bracketError;
}

void BuildLeaf(ExpressionNode* node, std::string_view operand, int depth, BuildFailure& failure) {
    if (operand.empty()) // what a pair of brackets that wraps nothing leaves
        return failure.Set(Messages().emptyOperand);
    if (IsNumberText(operand))
        return BuildNumber(node, operand);
    const std::size_t open = operand.find('(');
    if (open != std::string_view::npos)
        node->Function = FunctionCode(operand.substr(0, open));
    if (node->Function == fnNone)
        return BuildVariable(node, operand);
    node->Kind = kindFunction;
    const std::size_t close = operand.rfind(')');
    if (close != std::string_view::npos && close > open)
        BuildNode(NewSub(node), operand.substr(open, close - open + 1), depth + 1, failure);
}

void BuildNode(ExpressionNode* node, std::string_view source, int depth, BuildFailure& failure) {
    if (depth > kMaxBuildDepth)
        return failure.Set(Messages().nestingTooDeep);
    if (source.empty())
        return failure.Set(Messages().emptyOperand);
    std::string withZero;
    if (source.front() == '-') {
        withZero = "0" + std::string(source);
        source = withZero;
    }
    const std::vector<std::string_view> terms = CutAt(source, "+-");
    std::string_view operand = terms[0];
    node->Operator = OperatorCode(operand.back());
    if (node->Operator != opNone)
        operand.remove_suffix(1);
    if (operand.empty())
        return failure.Set(Messages().emptyOperand);
    operand = OperandInBrackets(operand);
    ExpressionNode* member = node;
    for (std::size_t i = 1; i < terms.size() && !failure.Failed(); ++i) {
        member = NewNext(member);
        BuildNode(member, terms[i], depth + 1, failure);
    }
    if (failure.Failed())
        return;
    if (HasCut(operand, "+-"))
        return BuildNode(NewSub(node), operand, depth + 1, failure);
    for (std::string_view operators : {std::string_view("*/"), std::string_view("#")}) {
        const std::vector<std::string_view> factors = CutAt(operand, operators);
        if (factors.size() > 1)
            return BuildSubChain(node, factors, depth, failure);
    }
    BuildLeaf(node, operand, depth, failure);
}

// Frees what hangs below the node and gives it the values of a new node; the links
// to its chain and owner stay.
void ResetNode(ExpressionNode* node) {
    DestroyTree(node->Sub);
    DestroyTree(node->Next);
    node->Kind = kindCompound;
    node->Operator = opNone;
    node->Function = fnNone;
    node->Text = "?";
    node->Next = nullptr;
    node->Sub = nullptr;
    node->HasNumber = false;
    node->Number = 0;
    node->ExactNumber = 0;
    node->TableName.clear();
    node->TableNameError = nullptr;
    node->Slot = TableSlot{};
    node->Plan.reset();
}

} // namespace

ExpressionNode::ExpressionNode() = default;
ExpressionNode::~ExpressionNode() = default;

EngineError BuildTree(ExpressionNode* node, std::string_view text) {
    EngineError error;
    if (node == nullptr)
        return error;
    ResetNode(node);
    BuildFailure failure;
    if (platform::DeepestBracket(text) > kMaxNesting)
        failure.Set(Messages().nestingTooDeep);
    else
        BuildNode(node, text, 0, failure);
    if (failure.Failed()) {
        ResetNode(node);
        error.RecordUnreadable(*failure.message);
    }
    return error;
}

void DestroyTree(ExpressionNode* node) {
    while (node != nullptr) {
        ExpressionNode* next = node->Next;
        DestroyTree(node->Sub);
        delete node;
        node = next;
    }
}
