#pragma once

#include "course/TaskVariant.h"

#include "answers/Judge.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The author's tests of a task, from its <TESTS> section (CP1251): one a line,
//   NAME = ANSWER -> VERDICT      e.g.  R!B = F/2 -> верно
// where NAME is a requested name, ANSWER what a student might send (the parameters stand
// for the variant's values) and VERDICT "верно", "неверно" or "не принято". A test of a row
// whose answer may carry earlier errors gives the earlier rows' answers first, and may expect
// "верно с учётом ошибки в" the rows named after it:
//   a = 4; b = 8 -> верно с учётом ошибки в a
// (an earlier row's name in a later answer stands for that row's answer, as the client sends
// it; rows not given are left empty). On a task with
// a drawn answer, NAME may be DRAW and ANSWER a drawing, its objects as the wire carries
// them, each ended by ";" (the last may go without), "{…}" placeholders filled with the
// variant's values and parameters in magnitudes standing for them:
//   DRAW = force {x} 60 270 F; force 50 60 90 R!A F/2 -> верно
// A wrong answer's verdict may be followed by the code of the mistake the judge must name,
// in brackets:
//   X!A = -F/2 -> неверно (sign)
struct AuthorTest {
    std::string line; // as written
    std::string name; // the row tested: the last one given
    std::string answer;
    // The earlier rows' answers given before it: name, answer.
    std::vector<std::pair<std::string, std::string>> earlier;
    answers::Verdict expected = answers::Verdict::Right;
    // A carried verdict's rows, as written after "верно с учётом ошибки в" (the expected
    // verdict is then "неверно" against the reference); empty for any other.
    std::vector<std::string> carriedFrom;
    std::optional<answers::Hint> hint{}; // the hint a wrong answer must get
};

struct AuthorTests {
    std::vector<AuthorTest> tests;
    std::vector<std::string> problems; // lines that are not tests (UTF-8)
};

AuthorTests ReadAuthorTests(std::string_view cp1251Section);

// Runs every test on one variant, judged as the server judges; one line (UTF-8) per test
// that does not get its verdict.
std::vector<std::string> RunAuthorTests(const AuthorTests& tests, const TaskVariant& variant);
