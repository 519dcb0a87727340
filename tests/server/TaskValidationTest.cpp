// The one validation of a task file, as vekta-task check and the server's start run it:
// each of an author's mistakes is told, and a sound task with variants passes.
#include "validation/TaskValidation.h"
#include "course/TaskBank.h"
#include "validation/AuthorTests.h"

#include "platform/Cp1251.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A sound task with variants and author tests; each case below spoils one section.
struct Sections {
    std::string parameters = "F = 8..14 step 2; a = 30, 45, 60; M = F*2;";
    std::string quest = "Сила {F} кН, момент {M:.2} кН·м.";
    std::string image = "HEIGHT(100);WIDTH(200);LINE(10,10,{F},{a});TEXT(5,5,\"{M:.1}\");";
    std::string request = "R!A;R!B;";
    std::string answer = "F/2*sin(a*pi/180);M*l;";
    std::string variables = "l;";
    std::string animate = "<VAR>t=0;tend=2;</VAR><FUN>x=10+{F}*t;</FUN><OBJ>LINE(0,0,x,20);</OBJ>";
    std::string tests = "R!B = M*l -> верно\nR!B = 2F*l -> верно\nR!B = 2F*l+1 -> неверно\n"
                        "R_B = 2mg -> не принято\nR!A = F -> неверно\n";
    std::string attempts = "3; 10";
    std::string tolerance = "1; 1e-6";
    std::string questClose = "</QUEST>";
    std::string notes; // after the sections, on the lines below them

    BankTask Task() const {
        const std::string text =
            "<CAPTION>Балка</CAPTION><QUEST>" + quest + questClose + "<IMAGE>" + image +
            "</IMAGE><REQUEST>" + request + "</REQUEST><ANSWER>" + answer + "</ANSWER><VARIABLES>" +
            variables + "</VARIABLES><ANIMATE>" + animate + "</ANIMATE><PARAMETERS>" + parameters +
            "</PARAMETERS><TESTS>\n" + tests + "</TESTS><ATTEMPTS>" + attempts +
            "</ATTEMPTS><TOLERANCE>" + tolerance + "</TOLERANCE>" + notes;
        return ParseTaskFile(text, "<STATICA>", "t");
    }
};

std::string Joined(const std::vector<std::string>& problems) {
    std::string text;
    for (const std::string& problem : problems)
        text += problem + "\n";
    return text;
}

TEST(TaskValidationTest, ASoundTaskWithVariantsAndTestsPasses) {
    platform::RecordingCanvas measure;
    const std::vector<std::string> problems = ValidateTask(Sections{}.Task(), 200, &measure);
    EXPECT_TRUE(problems.empty()) << Joined(problems);
    // The drawn answer's sections are sections like the others.
    Sections drawn;
    drawn.notes = "<DRAW>FORCE({F}, 10, 90, F, F/2);</DRAW><DRAWTOL>10; 5</DRAWTOL>";
    drawn.tests += "DRAW = force {F} 10 90 F F/2 -> верно\nDRAW = force {F} 10 90 F F -> неверно\n"
                   "DRAW = force 100 10 90 F; -> неверно\nDRAW = -> не принято\n";
    EXPECT_TRUE(ValidateTask(drawn.Task(), 2, &measure).empty())
        << Joined(ValidateTask(drawn.Task(), 2, &measure));
    // A reference that uses an earlier row, its error carried, the author's texts.
    Sections carried;
    carried.answer = "F/2*sin(a*pi/180);M*l+R!A;";
    carried.notes = "<CARRY>R_B: R_A;</CARRY><FEEDBACK>\nR!A = F/2 -> угол?\n"
                    "R!B = M*l -> забыли R_A\n</FEEDBACK>";
    carried.tests = "R!A = F/2 -> неверно\nR!B = 2F*l+F/2*sin(a*pi/180) -> верно\n"
                    "R!A = F; R!B = M*l+F -> верно с учётом ошибки в R_A\n"
                    "R!A = F; R!B = M*l+R!A -> Верно с учётом ошибки в R!A\n"
                    "R!A = F; R!B = M*l -> неверно\nR!A = mg; R!B = M*l+F -> неверно\n";
    EXPECT_TRUE(ValidateTask(carried.Task(), 20).empty())
        << Joined(ValidateTask(carried.Task(), 20));
    // A test may name the mistake a wrong answer looks like, on every variant.
    Sections hinted;
    hinted.tests += "R!B = -M*l -> неверно (sign)\nR!B = 2*M*l -> неверно (factor 2)\n"
                    "R!B = M*l*1000 -> неверно (power10 3)\n";
    EXPECT_TRUE(ValidateTask(hinted.Task(), 20, &measure).empty())
        << Joined(ValidateTask(hinted.Task(), 20, &measure));
    // A Greek letter both alphabets show alike is no warning.
    Sections greek;
    greek.quest += " <sym>w</sym> = 2 рад/с.";
    greek.variables = "l;~w;";
    EXPECT_TRUE(TaskWarnings(greek.Task()).empty()) << Joined(TaskWarnings(greek.Task()));
}

TEST(TaskValidationTest, EachMistakeOfAnAuthorIsTold) {
    struct Case {
        const char* what;
        void (*spoil)(Sections&);
        const char* told;
        std::size_t problems = 0; // how many lines in all, where one slip must give one
        bool warning = false;     // told as a warning, and the task has no problem
    };
    const Case cases[] = {
        {"fewer answers", [](Sections& s) { s.answer = "F;"; }, "1 answers for 2 requested names"},
        {"more answers", [](Sections& s) { s.answer = "F;M*l;1;"; }, "3 answers for 2"},
        {"undeclared name", [](Sections& s) { s.answer = "F;M*L;"; }, "ANSWER R!B: L"},
        {"bad VARIABLES", [](Sections& s) { s.variables = "l = 3..1;"; }, "VARIABLES"},
        {"unknown IMAGE statement", [](Sections& s) { s.image += "FOO(1,2);"; }, "FOO(1,2)"},
        {"unbalanced IMAGE statement", [](Sections& s) { s.image += "LINE(1,2,3,4;"; },
         "brackets do not pair up"},
        {"unknown ANIMATE statement",
         [](Sections& s) { s.animate = "<VAR>t=0;</VAR><OBJ>LINE(0,0,5,5);BLAH(1);</OBJ>"; },
         "ANIMATE: statement not understood (unknown keyword): BLAH(1)"},
        {"placeholder of no parameter", [](Sections& s) { s.quest += "{L}"; },
         "QUEST: {L} names no parameter"},
        {"bad PARAMETERS", [](Sections& s) { s.parameters += "q = 5..1;"; },
         "PARAMETERS: q = 5..1"},
        {"failing author test", [](Sections& s) { s.tests += "R!B = F*l -> верно\n"; },
         "TESTS: R!B = F*l -> верно: got \"неверно\""},
        {"author test of no row", [](Sections& s) { s.tests += "X = 1 -> верно\n"; },
         "no reference answer for X"},
        {"malformed author test", [](Sections& s) { s.tests += "R!B = 1 -> да\n"; }, "TESTS: not"},
        {"author test naming another mistake",
         [](Sections& s) { s.tests += "R!B = -M*l -> неверно (factor 2)\n"; },
         "TESTS: R!B = -M*l -> неверно (factor 2): got hint \"sign\""},
        {"author test naming a mistake not made",
         [](Sections& s) { s.tests += "R!B = M*l+1 -> неверно (sign)\n"; }, "got no hint"},
        {"author test with no hint code",
         [](Sections& s) { s.tests += "R!B = -M*l -> неверно (minus)\n"; }, "TESTS: not"},
        {"bad UNITS", [](Sections& s) { s.notes = "<UNITS>always</UNITS>"; }, "UNITS is not"},
        {"bad SIGFIGS", [](Sections& s) { s.notes = "<SIGFIGS>0</SIGFIGS>"; }, "SIGFIGS is not"},
        {"bad ATTEMPTS", [](Sections& s) { s.attempts = "0"; }, "ATTEMPTS"},
        {"unreadable FEEDBACK line",
         [](Sections& s) { s.notes = "<FEEDBACK>R!B = M*l</FEEDBACK>"; },
         "FEEDBACK: not NAME = ANSWER -> text: R!B = M*l", 1},
        {"FEEDBACK of no row", [](Sections& s) { s.notes = "<FEEDBACK>X = 1 -> ?</FEEDBACK>"; },
         "FEEDBACK: X = 1 -> ?: no reference answer for X", 1},
        {"FEEDBACK with an undeclared name",
         [](Sections& s) { s.notes = "<FEEDBACK>R!B = M*L -> ?</FEEDBACK>"; },
         "FEEDBACK: R!B = M*L -> ?: L", 1},
        {"FEEDBACK for a right answer",
         [](Sections& s) { s.notes = "<FEEDBACK>R!B = 2F*l -> ?</FEEDBACK>"; },
         "FEEDBACK: R!B = 2F*l -> ?: the answer is right: the text is never told", 1},
        {"CARRY from a later row", [](Sections& s) { s.notes = "<CARRY>R!A: R!B</CARRY>"; },
         "CARRY: R!A: R!B: R!B is not a row requested before R!A", 1},
        {"CARRY of no row", [](Sections& s) { s.notes = "<CARRY>X: R!A; R!B R!A</CARRY>"; },
         "CARRY: X: R!A: X is not a requested name", 2},
        {"a carried test that fails",
         [](Sections& s) { s.tests += "R!A = F; R!B = M*l+F -> верно с учётом ошибки в R!A\n"; },
         "got \"неверно\"", 1},
        {"a carried test of another row",
         [](Sections& s) {
             s.answer = "F/2*sin(a*pi/180);M*l+R!A;";
             s.notes = "<CARRY>R!B: R!A</CARRY>";
             s.tests = "R!A = F; R!B = M*l+F -> верно с учётом ошибки в R!B\n";
         },
         "got \"верно с учётом ошибки в R_A\"", 1},
        {"reference without a value", [](Sections& s) { s.answer = "F/(a-a);M*l;"; }, "ANSWER R!A"},
        {"reference with a value at too few points",
         [](Sections& s) { s.answer = "F;(l-4*x)^6000;", s.variables = "l;x;"; },
         "эталонный ответ нельзя проверить: меньше 12 точек, где он вычисляется; измените "
         "диапазоны"},
        {"bad TOLERANCE for zero", [](Sections& s) { s.tolerance = "1; 0"; }, "TOLERANCE"},
        {"more than 50 answers",
         [](Sections& s) {
             s.request.clear();
             s.answer.clear();
             for (int i = 0; i < 51; ++i) {
                 s.request += "R!" + std::to_string(i) + ";";
                 s.answer += "1;";
             }
             s.tests.clear();
         },
         "51 answers"},
        {"unreadable DRAW statement",
         [](Sections& s) { s.notes = "<DRAW>FORCE(10, 10, 90, F);FORCE(1,2,90);</DRAW>"; },
         "DRAW: statement not understood: FORCE(1,2,90)"},
        {"empty DRAW", [](Sections& s) { s.notes = "<DRAW>;</DRAW>"; },
         "DRAW lists no force and no moment"},
        {"a magnitude that does not evaluate",
         [](Sections& s) { s.notes = "<DRAW>FORCE(10, 10, 90, F, sqrt(-F));</DRAW>"; },
         "DRAW F: the magnitude sqrt(-("},
        {"a drawing test that fails",
         [](Sections& s) {
             s.notes = "<DRAW>FORCE(10, 10, 90, F);</DRAW>";
             s.tests += "DRAW = force 10 10 270 F -> верно\n";
         },
         "TESTS: DRAW = force 10 10 270 F -> верно: got \"неверно\" (неверное направление: F"},
        {"an unreadable drawing test",
         [](Sections& s) {
             s.notes = "<DRAW>FORCE(10, 10, 90, F);</DRAW>";
             s.tests += "DRAW = force 10 10 up F -> верно\n";
         },
         "the drawing cannot be read: entry 1: ANGLE is not a number: up"},
        {"a drawing test without DRAW",
         [](Sections& s) { s.tests += "DRAW = force 1 1 0 F -> верно"; },
         "TESTS: DRAW = force 1 1 0 F -> верно: the task has no DRAW section"},
        {"bad DRAWTOL",
         [](Sections& s) {
             s.notes = "<DRAW>FORCE(10, 10, 90, F);</DRAW><DRAWTOL>10; 95</DRAWTOL>";
         },
         "DRAWTOL is not a position in pixels and an angle in degrees above 0"},
        {"misspelt closing tag", [](Sections& s) { s.questClose = "</QEUST>"; },
         "line 1: unknown tag </QEUST> (</QUEST>?)"},
        {"unclosed section", [](Sections& s) { s.questClose = "</QEUST>"; },
         "line 1: <QUEST> is not closed before <IMAGE> on line 1; there is no </QUEST>", 2},
        {"unopened section", [](Sections& s) { s.notes = "\nзаметка\n</IMAGE>"; },
         "line 9: </IMAGE> without its <IMAGE>", 1},
        {"section given twice", [](Sections& s) { s.notes = "\n\n<QUEST>Ещё</QUEST>"; },
         "line 9: <QUEST> given twice (first on line 1); the second is not read", 1},
        {"unknown section", [](Sections& s) { s.notes = "\n<TEST>R!A = F -> верно</TEST>"; },
         "line 8: unknown tag <TEST> (<TESTS>?)"},
        {"section-like text between sections", [](Sections& s) { s.notes = "\nсм. <рисунок>"; },
         "line 8: text between sections looks like a tag: <рисунок>", 1},
        {"decimal commas in a list", [](Sections& s) { s.parameters += "k = 1, 1,5, 2,5, 3;"; },
         "PARAMETERS: k = 1, 1,5, 2,5, 3: десятичная запятая? в списке значений запятая "
         "разделяет значения, пишите 1.5",
         1},
        {"decimal comma in one value", [](Sections& s) { s.parameters += "k = 2,5;"; },
         "PARAMETERS: k = 2,5: десятичная запятая? в списке значений запятая разделяет значения, "
         "пишите 2.5",
         1},
        {"decimal comma in a formula", [](Sections& s) { s.parameters += "k = F*1,5;"; },
         "PARAMETERS: k = F*1,5: десятичная запятая? в списке значений запятая разделяет "
         "значения, пишите 1.5",
         1},
        {"a missing \";\" between items",
         [](Sections& s) { s.parameters = "F = 8..14 step 2 a = 30, 45, 60; M = F*2;"; },
         "PARAMETERS: F = 8..14 step 2 a = 30, 45, 60: \";\" is missing before \"a = 30, 45, "
         "60\"",
         1},
        {"a reference not finite in some variants",
         [](Sections& s) { s.answer = "F*10^308*10^(F-10);M*l;"; },
         "variant F = 12; a = 30; M = 24: ANSWER R!A: эталонный ответ не вычисляется"},
        {"a line off the picture in some variants",
         [](Sections& s) {
             s.parameters += "y = a+45;";
             s.image += "LINE(100,10,{F},{y:.0});";
         },
         "y = 105: IMAGE: drawn outside the 200 × 100 picture: LINE(100,10,", 1},
        {"a label off the picture", [](Sections& s) { s.image += "TEXT(170,5,\"Mmax\");"; },
         "IMAGE: drawn outside the 200 × 100 picture: TEXT(170,5,\"Mmax\"); (x 170..201, y 5..20)",
         1},
        {"an animation that leaves the visible canvas",
         [](Sections& s) {
             s.animate =
                 "<VAR>t=0;tend=2;</VAR><FUN>x=10+{F}*20*t;</FUN><OBJ>LINE(0,0,x,20);</OBJ>";
         },
         "drawn outside the visible 514 × 204 canvas: LINE(0,0,x,20) as LINE(0,0,", 1},
        {"an animation's last frame below the buttons",
         [](Sections& s) { s.animate += "<LASTOBJ>TEXT(10,200,\"Конец\");</LASTOBJ>"; },
         "ANIMATE: at t = 2 drawn outside the visible 514 × 204 canvas: TEXT(10,200,\"Конец\") (x "
         "10..49, "
         "y 200..215)",
         1},
        {"a Greek key the statement shows otherwise",
         [](Sections& s) {
             s.quest += " Угол <sym>q</sym>.";
             s.variables = "l;~q;~w;";
         },
         "Greek letters: the statement shows q as θ, but ~q in VARIABLES \"~q\" is ξ in the "
         "answer notation (θ is ~j there)",
         0, true},
        {"a Greek key of a diagram's label",
         [](Sections& s) {
             s.image += "GREKTEXT(5,20,\"y\");";
             s.variables = "l;~y = 1..2;";
         },
         "the statement shows y as ψ, but ~y in VARIABLES \"~y\" is υ", 0, true},
    };
    for (const Case& c : cases) {
        Sections sections;
        c.spoil(sections);
        platform::RecordingCanvas measure; // 8 pixels a character, 16 a line
        const std::vector<std::string> problems = ValidateTask(sections.Task(), 20, &measure);
        if (c.warning) {
            const std::vector<std::string> warnings = TaskWarnings(sections.Task());
            EXPECT_TRUE(problems.empty()) << c.what << ":\n" << Joined(problems);
            ASSERT_EQ(warnings.size(), 1u) << c.what << ":\n" << Joined(warnings);
            EXPECT_NE(warnings[0].find(c.told), std::string::npos) << c.what << ":\n"
                                                                   << warnings[0];
            continue;
        }
        const std::string told = Joined(problems);
        EXPECT_NE(told.find(c.told), std::string::npos) << c.what << ":\n" << told;
        if (c.problems > 0) {
            EXPECT_EQ(problems.size(), c.problems) << c.what << ":\n" << told;
        }
    }
}

TEST(TaskValidationTest, AProblemOfSomeVariantsNamesTheValuesOnce) {
    Sections sections;
    // Only the variants with a = 60 have a reference without a value.
    sections.answer = "F/(a-60);M*l;";
    sections.tests = "";
    const std::vector<std::string> problems = ValidateTask(sections.Task(), 100);
    ASSERT_EQ(problems.size(), 1u) << Joined(problems);
    EXPECT_NE(problems.front().find("a = 60"), std::string::npos) << problems.front();
}

TEST(AuthorTestsTest, VerdictWordsInAnyCaseAndTheirLinesAreRead) {
    const AuthorTests read =
        ReadAuthorTests(platform::Utf8ToCp1251("A = 1 -> Верно\n  B!1 = x - y -> НЕВЕРНО \r\n\nC = "
                                               "2mg -> не принято\nD = 1 -> ok\nE 1 -> верно\n"
                                               "F = 5000 -> неверно (power10 3)\n"));
    ASSERT_EQ(read.tests.size(), 4u);
    EXPECT_EQ(read.tests[3].hint, (answers::Hint{answers::Hint::Code::Power10, 3}));
    EXPECT_EQ(read.tests[3].answer, "5000");
    EXPECT_FALSE(read.tests[0].hint);
    EXPECT_EQ(read.tests[0].expected, answers::Verdict::Right);
    EXPECT_EQ(read.tests[1].name, "B!1");
    EXPECT_EQ(read.tests[1].answer, "x - y");
    EXPECT_EQ(read.tests[1].expected, answers::Verdict::Wrong);
    EXPECT_EQ(read.tests[2].expected, answers::Verdict::NotAccepted);
    EXPECT_EQ(read.problems.size(), 2u);

    // Earlier rows' answers first; a carried verdict names its rows; a drawing is one row.
    const AuthorTests rows = ReadAuthorTests(
        platform::Utf8ToCp1251("a = 4; b = 8 ; c = a+b -> верно С УЧЁТОМ ошибки в a, b\n"
                               "DRAW = force 1 1 0 F; force 2 2 0 G -> верно\na = 4; b -> верно\n"
                               "b = 1 -> верно с учётом ошибки в\n"));
    ASSERT_EQ(rows.tests.size(), 2u);
    EXPECT_EQ(rows.tests[0].name, "c");
    EXPECT_EQ(rows.tests[0].answer, "a+b");
    EXPECT_EQ(rows.tests[0].earlier,
              (std::vector<std::pair<std::string, std::string>>{{"a", "4"}, {"b", "8"}}));
    EXPECT_EQ(rows.tests[0].carriedFrom, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(rows.tests[1].answer, "force 1 1 0 F; force 2 2 0 G");
    EXPECT_EQ(rows.problems.size(), 2u);
}

} // namespace
