#pragma once

#include <string>
#include <string_view>
#include <vector>

// What an author adds to a task's reference answers for the answers students get wrong.
// Texts are CP1251, as the task is kept; problems are UTF-8.

// One line of a task's <FEEDBACK>: "NAME = ANSWER -> текст". A wrong answer to row NAME that
// the judge finds equal to ANSWER (the parameters standing for the variant's values, an
// earlier row's name for its reference) is told the author's text.
struct FeedbackLine {
    std::string line; // as written
    std::string name;
    std::string answer;
    std::string text;
};

struct FeedbackLines {
    std::vector<FeedbackLine> lines;
    std::vector<std::string> problems; // lines that are not NAME = ANSWER -> text
};

FeedbackLines ReadFeedbackLines(std::string_view cp1251Section);

// One rule of a task's <CARRY>: "c: a, b" judges row `row` again, when it is wrong, with the
// student's own answers to the rows `from` put in for their names.
struct CarryRule {
    std::string row;
    std::vector<std::string> from;
};

struct CarryRules {
    std::vector<CarryRule> rules;
    std::vector<std::string> problems;
};

// Reads "b: a; c: a, b;" (the last ";" may be left out) against the requested names, in
// order: a rule's row must be requested, and each name it carries from an earlier row.
CarryRules ReadCarryRules(std::string_view cp1251Section,
                          const std::vector<std::string>& requestedNames);
