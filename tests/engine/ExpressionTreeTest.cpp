#include "EngineTestSupport.h"

#include <memory>
#include <string>

namespace {

struct TreeDeleter {
    void operator()(ExpressionNode* node) const { DestroyTree(node); }
};
using Tree = std::unique_ptr<ExpressionNode, TreeDeleter>;

Tree Build(const std::string& text) {
    Tree root(new ExpressionNode);
    BuildTree(root.get(), text);
    return root;
}

// A compact picture of a chain: nodes in order, each with its operator after it;
// a Sub chain in brackets, a function as "f<code>", a number as "n:", a variable as "v:".
std::string Shape(const ExpressionNode* node) {
    static const char* const operators[] = {"+", "-", "*", "/", "^", "?", ""};
    std::string out;
    for (; node != nullptr; node = node->Next) {
        if (node->Function != 9)
            out += "f" + std::to_string(node->Function);
        if (node->Sub != nullptr) {
            EXPECT_EQ(node->Sub->Owner, node);
            out += "[" + Shape(node->Sub) + "]";
        } else if (node->Kind == kindNumber) {
            out += "n:" + node->Text;
        } else if (node->Kind == kindVariable) {
            out += "v:" + node->Text;
        } else {
            out += "k" + std::to_string(node->Kind);
        }
        if (node->Next != nullptr) {
            EXPECT_EQ(node->Next->Prev, node);
        }
        out += operators[node->Operator];
    }
    return out;
}

} // namespace

TEST_F(EngineTest, TreesBindLooserOperatorsOutside) {
    const std::pair<const char*, const char*> cases[] = {
        {"a*b+c", "[v:a*v:b]+v:c"},
        {"2+3*4", "n:2+[n:3*n:4]"},
        {"2#3#2", "[n:2^n:3^n:2]"},
        {"-x", "n:0-v:x"},
        {"(x+y)", "[v:x+v:y]"},
        {"(x+y)*2", "[[v:x+v:y]*n:2]"},
        {"cos(0)", "f0[n:0]"},
        {"COS(x)", "f0[v:x]"},
        {"cos(x)#2@", "[f0[v:x]^n:2]"},
        {"(cos(x))#2@", "[f0[v:x]^n:2]"},
        {"R!A#2", "[v:R!A^n:2]"},
        {"x!1@", "v:x!1"},
        {"2*-3", "v:2*-n:3"},
        {"12.5", "n:12.5"},
        {"2+", "n:2+"},
        {"y=cos(x)", "v:y=cos(x)"},
        {"2x", "v:2x"},
        {"sin(x)abc", "f1[v:x]"},
        {"((x+1))", "[v:x+n:1]"},
        {"2*((x))", "[n:2*v:x]"},
        {"(())", "v:()"},
        {"((a+b)-(c))", "[[v:a+v:b]-v:c]"},
        {"x#(-2)@+1", "[v:x^[n:0-n:2]]+n:1"},
        {"x#(a)(b)@", "[v:x^v:(a)(b)]"},
        {"-(-3)", "n:0-[n:0-n:3]"},
    };
    for (const auto& [text, shape] : cases)
        EXPECT_EQ(Shape(Build(text).get()), shape) << text;
}

TEST_F(EngineTest, NodesStartAsTheTableSays) {
    const ExpressionNode node;
    EXPECT_EQ(node.Kind, 3);
    EXPECT_EQ(node.Operator, 6);
    EXPECT_EQ(node.Function, 9);
    EXPECT_EQ(node.Text, "?");
    const Tree leaf = Build("cos(x)");
    EXPECT_EQ(leaf->Kind, kindFunction);
    EXPECT_EQ(leaf->Text, "?");
}

TEST_F(EngineTest, EmptyOperandsAreRefusedAndLeaveAFreshNode) {
    const std::string emptyOperand = Cp("Ошибка: пустой операнд в формуле");
    for (const char* text : {"", "+3", "2++3", "2*/3", "()", "cos()", "x*()", "-+1"}) {
        ExpressionNode root;
        EXPECT_EQ(UnreadableText(BuildTree(&root, text)), emptyOperand) << text;
        EXPECT_EQ(root.Sub, nullptr);
        EXPECT_EQ(root.Next, nullptr);
        EXPECT_EQ(root.Text, "?");
    }
}

TEST_F(EngineTest, NestingIsBoundedAndLongChainsAreFine) {
    auto nested = [](int levels) {
        std::string text;
        for (int i = 0; i < levels; ++i)
            text += "cos(1+2*3#";
        text += "x";
        return text + std::string(static_cast<std::size_t>(levels), ')');
    };
    ExpressionNode root;
    EXPECT_TRUE(BuildTree(&root, nested(kMaxNesting)).ok());
    EXPECT_EQ(UnreadableText(BuildTree(&root, nested(kMaxNesting + 1))),
              Cp("Ошибка: слишком глубокая вложенность скобок в формуле (более 256)"));
    EXPECT_EQ(root.Sub, nullptr);
    EXPECT_EQ(UnreadableText(BuildTree(&root, std::string(100000, '(') + std::string(100000, ')'))),
              Cp("Ошибка: слишком глубокая вложенность скобок в формуле (более 256)"));

    std::string sum = "1";
    for (int i = 0; i < 200000; ++i)
        sum += "+1";
    Expression expression;
    expression.SetFormula(sum);
    EXPECT_EQ(Keep(expression.Evaluate(epsilon)), 200001.0);
}
