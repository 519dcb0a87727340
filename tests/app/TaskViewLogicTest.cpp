// The task view's arithmetic (diagram box, answer rows) and the result payload.

#include "app/AnswerReading.h"
#include "app/ResultPayload.h"
#include "protocol/ResultItems.h"
#include "tasklayout/AnswerRows.h"
#include "tasklayout/QuestImage.h"

#include "platform/Cp1251.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Payload(const std::vector<std::pair<std::string, std::string>>& namesAndAnswers,
                    const std::vector<std::string>& declared = {}, bool namesDeclared = false) {
    std::vector<AnswerRowText> rows;
    for (const auto& [name, answer] : namesAndAnswers)
        rows.push_back({name, answer});
    const ResultPayload result = BuildResultPayload(rows, declared, namesDeclared);
    return result ? *result
                  : "refused row " + std::to_string(result.Error().row) + ": " +
                        platform::Cp1251ToUtf8(result.Error().message);
}

} // namespace

TEST(TaskViewLogicTest, TheDiagramHeaderSizesTheBoxOnlyInItsOrder) {
    const struct {
        std::string script;
        int width, height;
        std::string rest;
        bool hasError;
    } cases[] = {
        {"HEIGHT(200);WIDTH(400);LINE(1,2,3,4);", 400, 200, "LINE(1,2,3,4);", false},
        {"WIDTH(400);HEIGHT(200);", 400, 160, "HEIGHT(200);", false},
        {"", 300, 160, "", false},
        {"HEIGHT(1e3);LINE(1,2,3,4);", 300, 160, "1e3);LINE(1,2,3,4);", true},
        {"HEIGHT(-5);WIDTH(99999);", kMaxQuestImageSide, 1, "", false},
    };
    for (const auto& c : cases) {
        std::string script = c.script;
        const QuestImageHeader header = ReadQuestImageHeader(script);
        EXPECT_EQ(header.size.width, c.width) << c.script;
        EXPECT_EQ(header.size.height, c.height) << c.script;
        EXPECT_EQ(script, c.rest) << c.script;
        EXPECT_EQ(!header.error.empty(), c.hasError) << c.script;
    }
    const QuestImagePlace place = PlaceQuestImage(581, 86, {301, 160});
    EXPECT_EQ(place.x, 290 - 150);
    EXPECT_EQ(place.y, 86);
    EXPECT_EQ(place.pictureHeight, 246);
}

TEST(TaskViewLogicTest, RequestNamesEndWithSemicolonsAndAreBounded) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(ReadRequestNames("X!A;Y!A;R!B;"), (Names{"X!A", "Y!A", "R!B"}));
    EXPECT_EQ(ReadRequestNames("a;b;rest"), (Names{"a", "b"}));
    EXPECT_EQ(ReadRequestNames("no semicolon"), Names{});
    std::string many;
    for (int i = 0; i < 60; ++i)
        many += "n" + std::to_string(i) + ";";
    const Names names = ReadRequestNames(many);
    ASSERT_EQ(names.size(), kMaxAnswerRows);
    EXPECT_EQ(names.back(), "n49");
    EXPECT_EQ(NameFieldText("R!B"), " R!B @=");
}

TEST(TaskViewLogicTest, RowsStand32ApartUnderTheDiagramAndTheButtonUnderThem) {
    const std::vector<RowPlace> rows = LayoutAnswerRows(463, 246, 60, {27, 27, 27});
    ASSERT_EQ(rows.size(), 3u);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        EXPECT_EQ(rows[k].top, 266 + 32 * static_cast<int>(k));
        EXPECT_EQ(rows[k].nameLeft, 15);
        EXPECT_EQ(rows[k].answerLeft, 75);
        EXPECT_EQ(rows[k].answerWidth, 463 - 115);
    }
    const SendPlace send = PlaceSendButton(463, 266 + 64 + 27, 150, 25);
    EXPECT_EQ(send.top, 367);
    EXPECT_EQ(send.left, 156);
    EXPECT_EQ(send.spacerTop, 367 + 25 + 10);

    // With the reading line under each field, a row is 32 plus that line; the first row
    // stays 20 under the diagram and a taller field pushes only the rows under it.
    const std::vector<RowPlace> read = LayoutAnswerRows(463, 246, 60, {27, 40, 27}, 13);
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0].top, 266);
    EXPECT_EQ(read[0].readingTop, 266 + 27);
    EXPECT_EQ(read[1].top, 266 + 32 + 13);
    EXPECT_EQ(read[1].readingTop, 266 + 32 + 13 + 40);
    EXPECT_EQ(read[2].top, 266 + 32 + 13 + 45 + 13);
    EXPECT_EQ(read[2].answerLeft, 75);
}

TEST(TaskViewLogicTest, EarlierAnswersAreSubstitutedAsWholeNamesAndSentAsRead) {
    const std::vector<std::string> point = {}; // a task with numbers only
    const std::vector<std::string> wheel = {"v!C", "R"};
    const struct {
        std::vector<std::pair<std::string, std::string>> rows;
        std::string payload;
        std::vector<std::string> declared = {};
        bool namesDeclared = false;
    } cases[] = {
        {{{"X", "10"}, {"Y", "2*X"}}, " X @=10; Y @=2*(10);"},
        {{{"a", "3"}, {"b", "a+1"}}, " a @=3; b @=(3)+1;"},
        // Every row goes as it reads: spaces and idle markers go, implicit products are
        // written out.
        {{{"a", " 1 + 2 "}, {"b", " 1 + 2 "}}, " a @=1+2; b @=1+2;"},
        {{{"a", "2(1+1)"}, {"b", "a#2@@@"}}, " a @=2*(1+1); b @=(2*(1+1))#2@;"},
        // Chains resolve to the end: c gets b as b is sent, with a's answer in it.
        {{{"a", "1"}, {"b", "a*2"}, {"c", "b+1"}}, " a @=1; b @=(1)*2; c @=((1)*2)+1;"},
        // Whole names only: not inside a function, a longer name or a subscript.
        {{{"t", "2"}, {"s", "tan(t)"}}, " t @=2; s @=tan((2));"},
        {{{"a", "2"}, {"b", "ab+a_1+sin(a)"}}, " a @=2; b @=ab+a!1@+sin((2));"},
        // A value holding its own name is inserted once per occurrence.
        {{{"a", "tan(1)"}, {"b", "a+a"}}, " a @=tan(1); b @=(tan(1))+(tan(1));"},
        {{{"v!A", "5"}, {"w", "v!A@/2"}}, " v!A @=5; w @=(5)/2;"},
        // The moving point: the line reads v^2/sqrt(a^2-a_τ^2), the server gets numbers.
        {{{"v", "2"}, {"a", "3"}, {"a!~t", "1"}, {"~r", "v#2@/sqrt(a#2@-a!~t#2@)"}},
         " v @=2; a @=3; a!~t @=1; ~r @=(2)#2@/sqrt((3)#2@-(1)#2@);",
         point,
         true},
        // Declared names stay names; a subscript in an exponent goes after "^".
        {{{"~w", "v_C/R"}, {"X", "~w*R*x^v_C"}},
         " ~w @=v!C@/R; X @=(v!C@/R)*R*x^v!C@;",
         {"v!C", "R", "x"},
         true},
        {{{"V", "2v_C"}}, " V @=2*v!C@;", wheel, true},
        // Powers chain from the right; an exponent that holds a power goes after "^", as a
        // superscript cannot hold another.
        {{{"a", "2#2@#3@"}, {"b", "2^2^3"}, {"c", "(2^2)^3"}, {"d", "b^a"}},
         " a @=2^(2#3@); b @=2^(2#3@); c @=(2#2@)#3@; d @=(2^(2#3@))^(2^(2#3@));"},
        {{{"q", "1,6e-19"}, {"E", "q/1E-3"}}, " q @=1,6e-19; E @=(1,6e-19)/1E-3;"},
        // A blank row sends nothing, and its name stays for the server to refuse.
        {{{"a", "  "}, {"b", "a+1"}}, " a @=; b @=a+1;"},
        {{}, ""},
        {{{"a", "(1"}}, "refused row 0: не хватает закрывающей скобки (знак 1)"},
        {{{"a", "1"}, {"b", "2)"}}, "refused row 1: лишняя закрывающая скобка (знак 2)"},
        // With the names declared (even none), an undeclared name stops the sending; pi,
        // g and earlier rows' names are always known.
        {{{"M", "q*L#2@/2+F*L"}}, "refused row 0: q: нет такого обозначения", {"F", "L"}, true},
        {{{"M", "q*L#2@/2+F*L"}}, " M @=q*L#2@/2+F*L;", {"F", "L"}, false},
        {{{"a", "pi*g*~p"}, {"b", "2a"}}, " a @=pi*g*~p; b @=2*(pi*g*~p);", point, true},
        {{{"a", "1"}, {"b", "c"}}, "refused row 1: c: нет такого обозначения", point, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Payload(c.rows, c.declared, c.namesDeclared), c.payload) << c.payload;
}

TEST(TaskViewLogicTest, ARefusedAnswerCarriesTheReadersMessage) {
    const ResultPayload result = BuildResultPayload({{"a", "1"}, {"b", "(b"}});
    ASSERT_FALSE(result.Ok());
    EXPECT_EQ(result.Error().row, 1u);
    EXPECT_EQ(platform::Cp1251ToUtf8(result.Error().message),
              "не хватает закрывающей скобки (знак 1)");

    // A name that is not one name is no name of the answers below.
    const ResultPayload unbalanced = BuildResultPayload({{"(", "2"}, {"b", "(1)"}});
    ASSERT_TRUE(unbalanced.Ok());
    EXPECT_EQ(*unbalanced, " ( @=2; b @=(1);");

    // An answer's unit goes after its formula and "*", so that no clean-up of spaces joins
    // them; an earlier row stands in a later one without its unit.
    std::vector<AnswerRowText> quantities = {{"a", platform::Utf8ToCp1251("2x кН"), ""},
                                             {"b", "a/2", ""}};
    quantities[0].unit = platform::Utf8ToCp1251("Н");
    const ResultPayload withUnits = BuildResultPayload(quantities, {"x"}, true);
    ASSERT_TRUE(withUnits.Ok());
    EXPECT_EQ(platform::Cp1251ToUtf8(*withUnits), " a @=2*x*кН; b @=(2*x)/2;");

    // Chains of one name cannot make the answers grow without bound.
    const std::vector<AnswerRowText> rows(50, {"x", "x*x*x*x"});
    const ResultPayload bounded = BuildResultPayload(rows);
    ASSERT_FALSE(bounded.Ok());
    EXPECT_EQ(platform::Cp1251ToUtf8(bounded.Error().message),
              "Ответ слишком длинный после подстановки ответов выше.");
}

TEST(TaskViewLogicTest, TheLineUnderAnAnswerReadsItOrSaysWhatIsWrong) {
    using Kind = AnswerReading::Kind;
    const RowNames declared{{"v!C", "m", "~w", "R"}, {"V"}, true};
    const auto Cp = [](const char* utf8) { return platform::Utf8ToCp1251(utf8); };
    const RowNames kilonewtons{{"v!C", "m", "~w", "R"}, {"V"}, true, Cp("кН")};
    struct Row {
        std::string answer; // CP1251, as the field holds it
        RowNames names;
        Kind kind;
        std::string line; // UTF-8
    };
    const std::vector<Row> rows = {
        {"  ", declared, Kind::Blank, ""},
        {"2v!C", declared, Kind::Read, "2·v_C"},
        {"~w*R+V", declared, Kind::Read, "ω·R+V"},
        {"0,75*m", declared, Kind::Read, "0,75·m"},
        {"mR", declared, Kind::UnknownName, "mR: нет такого обозначения; возможно, m*R?"},
        {"V", {{"m"}, {}, true}, Kind::UnknownName, "V: нет такого обозначения"},
        // Without declared names every name is left to the server.
        {"mR", {}, Kind::Read, "mR"},
        {"(m", declared, Kind::Unreadable, "не хватает закрывающей скобки (знак 1)"},
        // A sine of what looks like degrees: the line asks.
        {"m*sin(55)", declared, Kind::Read, "m·sin(55) — угол в радианах?"},
        {"cos(-(90))", declared, Kind::Read, "cos(-(90)) — угол в радианах?"},
        {"m*sin(55\xB0)", declared, Kind::Read, "m·sin(55°)"},
        {"m*sin(6)+sqrt(55)", declared, Kind::Read, "m·sin(6)+sqrt(55)"},
        {"tan(m*55)", declared, Kind::Read, "tan(m·55)"},
        // In a row with a unit: the quantity and its SI value, a bare number in the row's
        // unit, a declared name never a unit, a unit not known told.
        {Cp("-5кН"), kilonewtons, Kind::Read, "-5 кН = -5000 Н"},
        {"-5", kilonewtons, Kind::Read, "-5 кН = -5000 Н"},
        {Cp("5000 Н"), kilonewtons, Kind::Read, "5000 Н"},
        {"5m", kilonewtons, Kind::Read, "5·m кН"},
        {Cp("5 кх"), kilonewtons, Kind::UnknownName, "кх: нет такой единицы"},
        {Cp("5 кH"), kilonewtons, Kind::UnknownName, "Н — русская или латинская?"},
        {Cp("5 кН"), declared, Kind::UnknownName, "кН: нет такого обозначения"},
    };
    for (const Row& row : rows) {
        const AnswerReading reading = ReadAnswerRow(row.answer, row.names);
        EXPECT_EQ(reading.kind, row.kind) << row.answer;
        EXPECT_EQ(reading.line, row.line) << row.answer;
        EXPECT_EQ(reading.refusal.empty(), row.kind == Kind::Read || row.kind == Kind::Blank)
            << row.answer;
        EXPECT_EQ(reading.formula.has_value(), row.kind == Kind::Read) << row.answer;
    }
    // The message box takes CP1251, which has no Greek letters: they go as Russian words.
    const AnswerReading greek = ReadAnswerRow("~w+", declared);
    ASSERT_EQ(greek.kind, Kind::Unreadable);
    EXPECT_EQ(greek.refusal, platform::Utf8ToCp1251(greek.line));
}
